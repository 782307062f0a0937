#include "description/description_encode.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "base/calendar.h"
#include "base/chr5.h"
#include "base/page_checksum.h"
#include "base/selector_line.h"
#include "description/field_positions.h"
#include "description/description_decode.h"
#include "description/description_tokens.h"
#include "description/description_values.h"
#include "common/text_util.h"

namespace dorvia {

namespace {

constexpr int32_t kUnknownWord = 1;
constexpr int32_t kNotQuoted = 2;
constexpr int32_t kEndedEarly = 3;

class Encoder {
 public:
  Encoder(std::string_view form, int32_t& templateID, std::array<uint8_t, kEncodedImageSize>& image)
      : cursor_(form), templateID_(templateID), image_(image) {}

  int32_t run() {
    image_.fill(0);
    for (;;) {
      const Token first = cursor_.next();
      switch (first.kind) {
        case TokenKind::LineEnd:
          continue;
        case TokenKind::End:
          return kEndedEarly;
        case TokenKind::Quoted: {
          const int32_t result = fieldLine();
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
        finish();
        return 0;
      }
      if (word == "selector") {
        selectorLine();
      } else if (word == "crc8") {
        checksumPosition_ = position_;
        position_ += 8;
      } else if (word == "align") {
        position_ = alignToByte(position_);
      } else if (word != "Template" && word != "abstract" && word != "spacing") {
        std::fputs("Error\n", stdout);
        return kUnknownWord;
      }
      if (!skipRestOfLine()) return kEndedEarly;
    }
  }

 private:
  bool skipRestOfLine() {
    std::string_view rest;
    return cursor_.restOfLine(rest);
  }

  void selectorLine() {
    // "selector <width>, <value>": the rest of the line read as two C integer literals.
    const std::size_t from = cursor_.position();
    std::string_view line = cursor_.text().substr(from);
    line = line.substr(0, line.find('\n'));
    const auto selector = tedskit::base::parseSelectorLine(line);
    const long long width = selector ? selector->width : 0;
    const long long value = selector ? selector->value.value_or(0) : 0;
    const int64_t bits = boundedWidth(width);
    if (bits == 8) templateID_ = static_cast<int32_t>(value);
    writeBits(image_, position_, bits, static_cast<uint64_t>(value));
    position_ += bits;
  }

  // One comma-separated item of a field line; nothing when the line or text ends.
  std::optional<Token> itemAfterComma() {
    const Token comma = cursor_.next();
    if (comma.kind != TokenKind::Comma) {
      pending_ = comma;
      return std::nullopt;
    }
    const Token item = cursor_.next();
    if (item.kind == TokenKind::Word || item.kind == TokenKind::Quoted) return item;
    pending_ = item;
    return std::nullopt;
  }

  float numberAfterComma() {
    const std::optional<Token> item = itemAfterComma();
    return item ? std::strtof(std::string(item->text).c_str(), nullptr) : 0.0f;
  }

  int32_t fieldLine() {
    pending_.reset();
    const std::optional<Token> access = itemAfterComma();
    if (!access || access->kind != TokenKind::Quoted) return lineFailure(kNotQuoted);
    const std::optional<Token> width = itemAfterComma();
    if (!width) return lineFailure(kNotQuoted);
    const std::optional<Token> type = itemAfterComma();
    if (!type || type->kind != TokenKind::Quoted) return lineFailure(kNotQuoted);
    long long parsedWidth = 0;
    parseCInteger(width->text, parsedWidth);
    const int64_t bits = boundedWidth(parsedWidth);
    const std::string_view kind = type->text;

    float start = 0.0f;
    float step = 0.0f;
    float offset = 0.0f;
    if (kind == "ConRelRes") {
      start = numberAfterComma();
      step = numberAfterComma();
      offset = numberAfterComma();
    } else if (kind == "ConRes") {
      start = numberAfterComma();
      step = numberAfterComma();
    }
    // Skip to the word "DATA" (or the line end), then one comma and the value.
    std::optional<Token> value;
    for (;;) {
      const Token token = takeToken();
      if (token.kind == TokenKind::End) return kEndedEarly;
      if (token.kind == TokenKind::LineEnd) break;
      if (token.kind == TokenKind::Word && token.text == "DATA") {
        Token next = cursor_.next();
        if (next.kind == TokenKind::Comma) next = cursor_.next();
        if (next.kind == TokenKind::End) return kEndedEarly;
        if (next.kind == TokenKind::LineEnd) break;
        value = next;
        if (!cursor_.skipLine()) return kEndedEarly;
        break;
      }
    }
    const std::string text = value ? std::string(value->text) : std::string();
    writeValue(kind, bits, text, start, step, offset);
    return 0;
  }

  Token takeToken() {
    if (pending_) {
      const Token token = *pending_;
      pending_.reset();
      return token;
    }
    return cursor_.next();
  }

  int32_t lineFailure(int32_t code) {
    if (pending_ && pending_->kind == TokenKind::End) return kEndedEarly;
    return code;
  }

  void writeValue(std::string_view kind, int64_t bits, const std::string& text, float start, float step,
                  float offset) {
    uint64_t raw = 0;
    if (kind == "UNINT" || kind == "Direction" || kind == "Manufacturer") {
      raw = static_cast<uint32_t>(std::strtoll(text.c_str(), nullptr, 0));
    } else if (kind == "Chr5") {
      // This engine takes a lower-case letter as its capital.
      raw = text.empty() ? 0 : tedskit::base::chr5Code(text[0], tedskit::base::LowerCase::AsUpperCase);
    } else if (kind == "DATE") {
      const auto days = tedskit::base::daysOfDateText(text, tedskit::base::DateReading::Held);
      if (days) raw = static_cast<uint64_t>(*days);
    } else if (kind == "ConRelRes") {
      raw = conRelResIndex(std::strtod(text.c_str(), nullptr), start, step, offset, bits);
    } else if (kind == "ConRes") {
      raw = conResIndex(std::strtod(text.c_str(), nullptr), start, step, bits);
    } else if (kind == "ASCII") {
      writeText(text);
      return;
    } else {
      return;  // an unknown type writes nothing
    }
    writeBits(image_, position_, bits, raw);
    position_ += bits;
  }

  // Characters of 8 bits, the count rounded up to even (an odd text also writes its
  // terminating zero) and cut to what fits before the end of the image.
  void writeText(const std::string& text) {
    const int64_t step = templateID_ == kSevenBitTemplateID ? 7 : 8;
    int64_t count = static_cast<int64_t>(text.size());
    count += count % 2;
    const int64_t room = static_cast<int64_t>(kEncodedImageSize) * 8 - position_;
    while (count > 0 && (count - 1) * step + 8 > room) --count;
    for (int64_t i = 0; i < count; ++i) {
      const auto c = static_cast<std::size_t>(i) < text.size()
                         ? static_cast<uint8_t>(text[static_cast<std::size_t>(i)])
                         : uint8_t{0};
      writeBits(image_, position_, 8, c);
      position_ += step;
    }
  }

  void finish() {
    if (!checksumPosition_) return;
    writeBits(image_, *checksumPosition_, 8, tedskit::base::checksumFor(std::span(image_).subspan(1, 31)));
  }

  TokenCursor cursor_;
  int32_t& templateID_;
  std::array<uint8_t, kEncodedImageSize>& image_;
  int64_t position_ = 0;
  std::optional<int64_t> checksumPosition_;
  std::optional<Token> pending_;
};

}  // namespace

int32_t encodeFormText(std::string_view form, int32_t& templateID,
                       std::array<uint8_t, kEncodedImageSize>& image) {
  return Encoder(form, templateID, image).run();
}

}  // namespace dorvia
