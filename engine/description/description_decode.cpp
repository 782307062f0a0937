#include "description/description_decode.h"

#include <cstdio>
#include <cstdlib>

#include "base/calendar.h"
#include "base/chr5.h"
#include "description/field_positions.h"
#include "description/description_tokens.h"
#include "description/description_values.h"
#include "common/text_util.h"

namespace dorvia {

namespace {

constexpr int32_t kMalformed = 1;
constexpr int32_t kUnknownWord = 2;

// Where "ASCII" fields stop reading: the 8-bit text runs to bit 2560, the 7-bit text of
// template 24 to bit 249.
constexpr int64_t kAsciiLastPosition = 2560;
constexpr int64_t kSevenBitLastPosition = 249;

class Decoder {
 public:
  Decoder(std::string_view description, std::span<const uint8_t> image, int32_t templateID, std::string& form)
      : cursor_(description), image_(image), sevenBit_(templateID == kSevenBitTemplateID), form_(form) {}

  int32_t run() {
    for (;;) {
      const std::size_t lineStart = cursor_.position();
      const Token first = cursor_.next();
      switch (first.kind) {
        case TokenKind::LineEnd:
          continue;
        case TokenKind::End:
          return kMalformed;
        case TokenKind::Quoted: {
          const int32_t result = fieldLine(first.text);
          if (result != 0) return result;
          continue;
        }
        case TokenKind::Word:
          break;
        case TokenKind::Comma:
          std::fputs("Error\n", stdout);
          return kUnknownWord;
      }
      const std::string_view word = first.text;
      if (word == "EndTemplate") {
        form_ += "EndTemplate";
        return 0;
      }
      int64_t advance = 0;
      if (word == "selector") {
        const Token width = cursor_.next();
        long long bits = 0;
        if (width.kind == TokenKind::Word && parseCInteger(width.text, bits)) {
          advance = boundedWidth(bits);
        }
      } else if (word == "crc8") {
        advance = 8;
      } else if (word == "align") {
        advance = alignToByte(position_) - position_;
      } else if (word != "Template" && word != "abstract" && word != "spacing") {
        std::fputs("Error\n", stdout);
        return kUnknownWord;
      }
      if (!appendWholeLine(lineStart)) return kMalformed;
      position_ += advance;
    }
  }

 private:
  // Copies the line that starts at lineStart, with its newline, and moves past it.
  bool appendWholeLine(std::size_t lineStart) {
    std::string_view rest;
    const std::size_t here = cursor_.position();
    // The line may already be consumed up to its newline by the token just read.
    if (here > lineStart && cursor_.text()[here - 1] == '\n') {
      form_ += cursor_.text().substr(lineStart, here - lineStart);
      return true;
    }
    if (!cursor_.restOfLine(rest)) {
      form_ += cursor_.text().substr(lineStart);
      form_ += '\n';
      return true;
    }
    form_ += cursor_.text().substr(lineStart, cursor_.position() - lineStart);
    if (form_.back() != '\n') form_ += '\n';
    return true;
  }

  // Reads the token after a comma; false when the line is cut off or malformed.
  bool itemAfterComma(Token& item) {
    if (cursor_.next().kind != TokenKind::Comma) return false;
    item = cursor_.next();
    return item.kind == TokenKind::Word || item.kind == TokenKind::Quoted;
  }

  bool number(double& value) {
    Token item;
    if (!itemAfterComma(item)) return false;
    value = std::strtod(std::string(item.text).c_str(), nullptr);
    return true;
  }

  // The rest of the description line with its line end replaced by a comma.
  bool appendRestAsItems() {
    std::string_view rest;
    if (!cursor_.restOfLine(rest)) return false;
    if (!rest.empty() && rest.back() == '\n') rest.remove_suffix(1);
    form_ += rest;
    form_ += ',';
    return true;
  }

  int32_t fieldLine(std::string_view labelText) {
    Token access;
    Token width;
    Token type;
    if (!itemAfterComma(access) || !itemAfterComma(width)) return kMalformed;
    if (cursor_.next().kind != TokenKind::Comma) return kMalformed;
    type = cursor_.next();
    if (type.kind != TokenKind::Quoted) return kMalformed;
    long long parsedWidth = 0;
    parseCInteger(width.text, parsedWidth);
    const int64_t bits = boundedWidth(parsedWidth);

    form_ += '"';
    form_ += labelText;
    form_ += "\",\"";
    form_ += access.text;
    form_ += "\",\"";
    form_ += width.text;
    form_ += "\",\"";
    form_ += type.text;
    form_ += '"';

    const std::string_view kind = type.text;
    std::string value;
    if (kind == "UNINT" || kind == "Direction" || kind == "Manufacturer") {
      value = std::to_string(static_cast<int32_t>(readBits(image_, position_, bits)));
    } else if (kind == "Chr5") {
      value = std::string(1, tedskit::base::chr5Char(readBits(image_, position_, bits)));
    } else if (kind == "DATE") {
      value = tedskit::base::dateText(static_cast<uint32_t>(readBits(image_, position_, bits)));
    } else if (kind == "ConRelRes") {
      double start = 0;
      double tolerance = 0;
      double offset = 0;
      if (!number(start) || !number(tolerance) || !number(offset)) return kMalformed;
      for (const double number : {start, tolerance, offset}) {
        form_ += ',';
        appendReal(form_, number, start < 0.00001, 6);
      }
      value = formatValue(conRelResValue(readBits(image_, position_, bits), start, tolerance, offset));
    } else if (kind == "ConRes") {
      double start = 0;
      double step = 0;
      if (!number(start) || !number(step)) return kMalformed;
      for (const double number : {start, step}) {
        form_ += ',';
        appendReal(form_, number, start < 0.00001 || step < 0.00001, 6);
      }
      value = formatValue(conResValue(readBits(image_, position_, bits), start, step));
    } else if (kind == "ASCII") {
      if (!appendRestAsItems()) return kMalformed;
      form_ += "DATA,\"";
      appendText();
      form_ += "\"\n";
      return 0;
    } else {
      // An unknown type takes no bits; its line is kept whole so the text stays one
      // line per field.
      std::string_view rest;
      if (!cursor_.restOfLine(rest)) return kMalformed;
      form_ += rest;
      if (form_.back() != '\n') form_ += '\n';
      return 0;
    }
    if (!appendRestAsItems()) return kMalformed;
    form_ += "DATA,";
    form_ += value;
    form_ += '\n';
    position_ += bits;
    return 0;
  }

  // The characters of an "ASCII" field, up to the end of the text area; zero bytes
  // contribute nothing.
  void appendText() {
    const int64_t step = sevenBit_ ? 7 : 8;
    const int64_t last = sevenBit_ ? kSevenBitLastPosition : kAsciiLastPosition;
    int64_t at = position_;
    // Characters wholly before the image read as zeros: skip them.
    if (at <= -step) at += ((-step - at) / step + 1) * step;
    for (; at <= last; at += step) {
      const auto c = static_cast<char>(readBits(image_, at, step));
      if (c != '\0') form_ += c;
    }
  }

  TokenCursor cursor_;
  std::span<const uint8_t> image_;
  bool sevenBit_;
  std::string& form_;
  int64_t position_ = 0;
};

}  // namespace

int32_t decodeAgainstDescription(std::string_view description, std::span<const uint8_t> image,
                                 int32_t templateID, std::string& form) {
  return Decoder(description, image, templateID, form).run();
}

}  // namespace dorvia
