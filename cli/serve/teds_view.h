// TEDS documents for the page, over libtedskit. The server keeps no document: the page
// holds the TEDS as its text form ("memory:" and "register:" lines) and sends it with
// every change, so two tabs or a restarted server never disagree about what is edited.
#ifndef TEDSKIT_CLI_SERVE_TEDS_VIEW_H
#define TEDSKIT_CLI_SERVE_TEDS_VIEW_H

#include <filesystem>
#include <string>

#include <nlohmann/json.hpp>

#include "tedskit/tedskit.h"

namespace teds::serve {

// Owns one libtedskit handle.
class TedsHandle {
 public:
  TedsHandle() = default;
  explicit TedsHandle(tedskit_teds* teds) : teds_(teds) {}
  ~TedsHandle() { tedskit_teds_free(teds_); }
  TedsHandle(TedsHandle&& other) noexcept : teds_(std::exchange(other.teds_, nullptr)) {}
  TedsHandle& operator=(TedsHandle&&) = delete;
  tedskit_teds* get() const { return teds_; }

 private:
  tedskit_teds* teds_ = nullptr;
};

struct Templates {
  std::filesystem::path dir;
};

// Any input the tool reads (hex, memory: lines, chip dump, .ted, JSON); v10 forces the TDL
// engine. A failure is an ApiError 422 with libtedskit's message.
TedsHandle openTeds(const Templates& templates, const std::string& input, bool v10);
// kind "standard", "manufacturer" or "lms".
TedsHandle newTeds(const Templates& templates, const std::string& kind, int templateId, int manufacturer,
                   bool v10);
// Sets one field; a refusal is an ApiError 422 naming the field. Returns the note.
std::string setField(TedsHandle& teds, const std::string& label, const std::string& value);

// The JSON form of docs/json.md with, for the page, the text form ("text"), each field's
// kind details (range, choices, first bit), the check findings and the last note.
nlohmann::json viewOf(const TedsHandle& teds);

// The encoded TEDS: format "hex" (memory: and register: lines), "ted" or "json".
std::string encodeTeds(const TedsHandle& teds, const std::string& format);

}  // namespace teds::serve

#endif
