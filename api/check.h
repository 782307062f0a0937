// Whether a TEDS is sound, judged by its template and the rules every TEDS follows, and
// when its sensor is due for calibration.
#ifndef TEDSKIT_API_CHECK_H
#define TEDSKIT_API_CHECK_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document.h"
#include "image.h"

namespace teds {

enum class Severity { Note, Warning, Error };
const char* severityName(Severity severity);  // "note", "warning", "error"

struct Finding {
  Severity severity = Severity::Error;
  std::string code;     // a short stable name: "checksum", "range", "not-defined", ...
  std::string field;    // the label it concerns, UTF-8; empty for the TEDS as a whole
  std::string message;  // UTF-8
};

// Days count from 1 January 1998 on the TEDS calendar.
struct CalibrationState {
  int64_t lastDay = 0;
  int64_t periodDays = 0;
  int64_t dueDay = 0;
  int64_t daysLeft = 0;  // negative: overdue
};

struct CheckResult {
  std::vector<Finding> findings;
  std::optional<CalibrationState> calibration;  // when the template has a calibration date

  int count(Severity severity) const;
  Severity worst() const;  // Note when there is no finding
};

// What the image shows before any template is applied: its checksums, its application
// register against the Basic TEDS in memory, the manufacturer ID.
std::vector<Finding> imageFindings(const TedsImage& image);

// Bits the template's fields take after the Basic TEDS, the selector and template ID included.
int64_t templateBits(const Document& document);

// Bits a virtual TEDS file of the document holds at least: the Basic TEDS and every field.
std::size_t tedStreamBits(const Document& document);

// An image given as text or as a virtual TEDS file that ends before its template's fields
// do: the decoders read the missing bits as zeros and would show them as values.
std::optional<Finding> shortImageFinding(const Document& document);

// Every finding of a decoded TEDS, the image's included. today: days since 1998.
CheckResult checkDocument(const Document& document, int64_t today);

// Today on the TEDS calendar.
int64_t todayOnTedsCalendar();
// "yyyy-mm-dd" or "m/d/y" as days since 1998; throws ValueRefused naming what.
int64_t dayOfText(const std::string& what, const std::string& text);
// "yyyy-mm-dd".
std::string isoDate(int64_t days);
// "due in 36 days", "due today", "overdue by 271 days".
std::string dueText(int64_t daysLeft);

}  // namespace teds

#endif
