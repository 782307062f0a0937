// What every libtedskit export shares: the handle of a TEDS, the one lock over the
// libraries' process-wide state, and failures turned into result codes with the
// calling thread's message.
#ifndef TEDSKIT_API_EXPORT_SUPPORT_H
#define TEDSKIT_API_EXPORT_SUPPORT_H

#include <cstring>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/guard.h"
#include "bus/bus_failure.h"
#include "document.h"
#include "failure.h"
#include "image.h"
#include "select_cases.h"
#include "tedskit/tedskit.h"
#include "value_check.h"

struct tedskit_teds {
  tedskit_teds(const char* dir, teds::TedsImage image, bool forceV10)
      : document(dir, std::move(image), forceV10) {}
  teds::Document document;
  std::string templateName;
  std::string note;
  std::vector<teds::SelectCase> selectCases;  // as last counted
  std::vector<teds::TemplateSection> templates;  // as last asked for
  // Each field's first bit, found on first asking and forgotten when a field is set.
  std::optional<std::vector<int>> bitOffsets;
};

namespace teds {

std::string& lastErrorText();
std::recursive_mutex& libraryLock();

inline int32_t busResult(BusFault fault) {
  switch (fault) {
    case BusFault::Request:
      return TEDSKIT_ERR_ARGUMENT;
    case BusFault::Unavailable:
      return TEDSKIT_ERR_BUS;
    case BusFault::NoChip:
    case BusFault::NoTeds:
      return TEDSKIT_ERR_NO_CHIP;
    case BusFault::SeveralChips:
      return TEDSKIT_ERR_SEVERAL_CHIPS;
    case BusFault::Refused:
      return TEDSKIT_ERR_REFUSED;
    case BusFault::WriteFailed:
      return TEDSKIT_ERR_WRITE;
  }
  return TEDSKIT_ERR_INTERNAL;
}

// Runs body under the lock; exceptions become result codes with their message.
template <typename Body>
int32_t run(Body&& body) noexcept {
  return tedskit::base::guard(int32_t{TEDSKIT_ERR_INTERNAL}, [&]() -> int32_t {
    std::lock_guard hold(libraryLock());
    std::string& lastError = lastErrorText();
    lastError.clear();
    try {
      return body();
    } catch (const ValueRefused& error) {
      lastError = error.what();
      return TEDSKIT_ERR_VALUE;
    } catch (const ImageError& error) {
      lastError = error.what();
      return TEDSKIT_ERR_INPUT;
    } catch (const BusFailure& error) {
      lastError = error.what();
      return busResult(error.fault());
    } catch (const FileFailure& error) {
      lastError = error.what();
      return TEDSKIT_ERR_FILE;
    } catch (const EncodeFailure& error) {
      lastError = error.what();
      return TEDSKIT_ERR_ENCODE;
    } catch (const Failure& error) {
      lastError = error.what();
      return std::strncmp(error.what(), "no field labelled", 17) == 0 ? TEDSKIT_ERR_LABEL : TEDSKIT_ERR_DECODE;
    } catch (const std::bad_alloc&) {
      lastError = "out of memory";
      return TEDSKIT_ERR_INTERNAL;
    } catch (const std::exception& error) {
      lastError = error.what();
      return TEDSKIT_ERR_INTERNAL;
    }
  });
}

inline int32_t argumentError(const std::string& message) {
  lastErrorText() = message;
  return TEDSKIT_ERR_ARGUMENT;
}

}  // namespace teds

#endif
