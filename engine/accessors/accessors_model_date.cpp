// The model string (number, version letter, version number as one text) and the
// calibration date as calendar time.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <string_view>

#include "accessors/accessors.h"
#include "tedskit/dorvia.h"
#include "common/text_util.h"

namespace dorvia {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isLowerLetter(char c) { return c >= 'a' && c <= 'z'; }

// Splits "352-c-03": a digit run, at least one character that is not a lower-case
// letter, a lower-case run, at least one character that is not a digit, a digit run.
bool splitModel(std::string_view text, std::string parts[3]) {
  std::size_t i = 0;
  auto run = [&](bool (*accept)(char)) {
    const std::size_t from = i;
    while (i < text.size() && accept(text[i])) ++i;
    return text.substr(from, i - from);
  };
  auto gap = [&](bool (*stop)(char)) {
    const std::size_t from = i;
    while (i < text.size() && !stop(text[i])) ++i;
    return i > from;
  };
  parts[0] = run(isDigit);
  if (parts[0].empty() || !gap(isLowerLetter)) return false;
  parts[1] = run(isLowerLetter);
  if (parts[1].empty() || !gap(isDigit)) return false;
  parts[2] = run(isDigit);
  return !parts[2].empty();
}

// Splits "month/day/year": three non-empty parts, each separated by one character.
bool splitDate(std::string_view text, std::string parts[3]) {
  std::size_t i = 0;
  for (int k = 0; k < 3; ++k) {
    const std::size_t from = i;
    while (i < text.size() && text[i] != '/') ++i;
    if (i == from) return false;
    parts[k] = text.substr(from, i - from);
    if (k < 2) {
      if (i >= text.size()) return false;
      ++i;  // the separator
    }
  }
  return true;
}

// A date part as a number, held to a range mktime can take without overflow.
int partNumber(const std::string& part) {
  const long value = std::strtol(part.c_str(), nullptr, 10);
  return static_cast<int>(value < -100000 ? -100000 : value > 100000 ? 100000 : value);
}

}  // namespace

int64_t calibrationTime(const TEDSTemplateFieldArrayStruct& array) {
  char text[30];
  const int32_t got = getFieldValue(array, label::kCalibrationDate, DORVIA_VALUE_TEXT, text, sizeof text);
  // A longer text is read as its first 29 characters.
  if (got < 0 && got != kBufferTooSmall) return got;
  std::string parts[3];
  if (!splitDate(text, parts)) return kNotThreeParts;
  std::tm day{};
  int year = partNumber(parts[2]);
  if (year <= 100) year += 1900;
  day.tm_mon = partNumber(parts[0]) - 1;
  day.tm_mday = partNumber(parts[1]);
  day.tm_year = year - 1900;
  day.tm_hour = 12;
  day.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&day));
}

int32_t getModelText(const TEDSTemplateFieldArrayStruct& array, char separator, char* buffer, int32_t size) {
  char model[20];
  char letter[3];
  char number[20];
  int32_t result = getFieldValue(array, label::kModelNumber, DORVIA_VALUE_TEXT, model, 20);
  if (result < 0) return result;
  result = getFieldValue(array, label::kVersionLetter, DORVIA_VALUE_TEXT, letter, 3);
  if (result < 0) return result;
  result = getFieldValue(array, label::kVersionNumber, DORVIA_VALUE_TEXT, number, 20);
  if (result < 0) return result;
  char joined[64];
  std::snprintf(joined, sizeof joined, "%s%c%s%c%s", model, separator, letter, separator, number);
  return copyOut(joined, buffer, size);
}

int32_t setModelText(TEDSTemplateFieldArrayStruct& array, std::string_view text) {
  std::string parts[3];
  if (!splitModel(text, parts)) return kNotThreeParts;
  const char* labels[3] = {label::kModelNumber, label::kVersionLetter, label::kVersionNumber};
  for (int k = 0; k < 3; ++k) {
    const int32_t result = setFieldValue(array, labels[k], DORVIA_VALUE_TEXT, parts[k].c_str());
    if (result != 0) return result;
  }
  return 0;
}

int32_t setCalibrationTime(TEDSTemplateFieldArrayStruct& array, int64_t calendarTime) {
  const auto when = static_cast<std::time_t>(calendarTime);
  std::tm day{};
  if (localtime_r(&when, &day) == nullptr) return kNotThreeParts;
  char text[48];
  std::snprintf(text, sizeof text, "%i/%i/%i", day.tm_mon + 1, day.tm_mday, day.tm_year + 1900);
  return setFieldValue(array, label::kCalibrationDate, DORVIA_VALUE_TEXT, text);
}

}  // namespace dorvia
