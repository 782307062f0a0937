// A small JSON reader for the tests: enough to parse the tool's --json output back and
// to fail loudly on anything that is not JSON.
#ifndef TEDSKIT_TESTS_CLI_JSON_CHECK_H
#define TEDSKIT_TESTS_CLI_JSON_CHECK_H

#include <cstdlib>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace teds_test {

struct Json {
  enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
  bool boolean = false;
  double number = 0;
  std::string text;
  std::vector<Json> items;
  std::map<std::string, Json> members;

  const Json& operator[](const std::string& key) const {
    const auto found = members.find(key);
    if (type != Type::Object || found == members.end()) throw std::runtime_error("no member " + key);
    return found->second;
  }
  const Json& operator[](std::size_t index) const {
    if (type != Type::Array || index >= items.size())
      throw std::runtime_error("no item " + std::to_string(index));
    return items[index];
  }
  bool has(const std::string& key) const { return type == Type::Object && members.count(key) != 0; }
};

class JsonParser {
 public:
  explicit JsonParser(const std::string& text) : text_(text) {}

  Json parseDocument() {
    Json value = parseValue();
    skipBlanks();
    if (pos_ != text_.size()) fail("text after the value");
    return value;
  }

 private:
  [[noreturn]] void fail(const std::string& why) {
    throw std::runtime_error("JSON: " + why + " at offset " + std::to_string(pos_));
  }
  void skipBlanks() {
    while (pos_ < text_.size() &&
           (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\t' || text_[pos_] == '\r')) {
      ++pos_;
    }
  }
  bool take(char c) {
    skipBlanks();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  void expect(char c) {
    if (!take(c)) fail(std::string("expected '") + c + "'");
  }
  bool takeWord(const char* word) {
    const std::string w = word;
    if (text_.compare(pos_, w.size(), w) != 0) return false;
    pos_ += w.size();
    return true;
  }
  std::string parseString() {
    expect('"');
    std::string out;
    while (pos_ < text_.size() && text_[pos_] != '"') {
      const char c = text_[pos_++];
      if (static_cast<unsigned char>(c) < 0x20) fail("raw control character in a string");
      if (c != '\\') {
        out += c;
        continue;
      }
      if (pos_ >= text_.size()) fail("cut escape");
      const char e = text_[pos_++];
      switch (e) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'u': {
          if (pos_ + 4 > text_.size()) fail("cut \\u escape");
          const long code = std::strtol(text_.substr(pos_, 4).c_str(), nullptr, 16);
          pos_ += 4;
          if (code < 0x80) {
            out += static_cast<char>(code);
          } else {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
          }
          break;
        }
        default:
          fail("bad escape");
      }
    }
    if (pos_ >= text_.size()) fail("unterminated string");
    ++pos_;
    return out;
  }
  Json parseValue() {
    skipBlanks();
    if (pos_ >= text_.size()) fail("no value");
    Json value;
    const char c = text_[pos_];
    if (c == '{') {
      ++pos_;
      value.type = Json::Type::Object;
      if (take('}')) return value;
      do {
        skipBlanks();
        std::string key = parseString();
        expect(':');
        value.members[key] = parseValue();
      } while (take(','));
      expect('}');
    } else if (c == '[') {
      ++pos_;
      value.type = Json::Type::Array;
      if (take(']')) return value;
      do {
        value.items.push_back(parseValue());
      } while (take(','));
      expect(']');
    } else if (c == '"') {
      value.type = Json::Type::String;
      value.text = parseString();
    } else if (takeWord("true")) {
      value.type = Json::Type::Bool;
      value.boolean = true;
    } else if (takeWord("false")) {
      value.type = Json::Type::Bool;
    } else if (takeWord("null")) {
      value.type = Json::Type::Null;
    } else {
      char* end = nullptr;
      value.number = std::strtod(text_.c_str() + pos_, &end);
      if (end == text_.c_str() + pos_) fail("not a value");
      pos_ = static_cast<std::size_t>(end - text_.c_str());
      value.type = Json::Type::Number;
    }
    return value;
  }

  const std::string& text_;
  std::size_t pos_ = 0;
};

inline Json parseJson(const std::string& text) { return JsonParser(text).parseDocument(); }

// The shown value of the field with this label in a decode's "fields".
inline std::string fieldValue(const Json& decoded, const std::string& label) {
  for (const auto& field : decoded["fields"].items) {
    if (field["label"].text == label) return field["display"].text;
  }
  throw std::runtime_error("no field " + label);
}

}  // namespace teds_test

#endif  // TEDSKIT_TESTS_CLI_JSON_CHECK_H
