// Walks a TDL template over the TDL engine's memory (the checksum byte, then the template
// data) as its decoder does, so that the places the engine keeps no record of can be
// found: where each property begins and where the template's own data ends.
#ifndef TEDSKIT_API_TDL_WALK_H
#define TEDSKIT_API_TDL_WALK_H

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "tedskit/orlin.hpp"

namespace teds {

// Engine-memory bit where the template data begins: after the checksum byte, the
// selector and the template ID.
inline constexpr int64_t kTdlTemplateDataStart = 18;

class TdlWalk {
 public:
  // onProperty hears each property met, with its first engine-memory bit; readAsPlain
  // answers whether a select case's chosen properties are read as plain bits (the select
  // cases the user chooses) rather than walked.
  TdlWalk(std::span<const uint8_t> memory, std::function<void(const CTDLProperty*, int64_t)> onProperty,
          std::function<bool(const CTDLSelectCase*)> readAsPlain);

  // Walks the list from the cursor on; with untilUserData, stops before a trailing
  // open-length user-data property, at the end of the template's own fields.
  void properties(const std::vector<CTDLProperty*>& list, bool untilUserData = false);

  int64_t cursor = kTdlTemplateDataStart;

 private:
  bool done() const;
  uint64_t take(int64_t bits);
  bool zerosFrom(int64_t at) const;
  void one(CTDLProperty* property);
  void userData(int64_t bits);

  std::span<const uint8_t> memory_;
  std::function<void(const CTDLProperty*, int64_t)> onProperty_;
  std::function<bool(const CTDLSelectCase*)> readAsPlain_;
};

}  // namespace teds

#endif
