#include <algorithm>
#include <cctype>
#include <optional>

#include "base/ascii_case.h"
#include "base/hex.h"
#include "busfile.h"
#include "ds2406.h"
#include "ds2430a.h"
#include "ds2431.h"
#include "paged32.h"

namespace owbus {

namespace {

constexpr size_t kMaxDevices = 64;

std::vector<std::string_view> tokens(std::string_view line) {
  std::vector<std::string_view> out;
  size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    const size_t start = i;
    while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
    if (i > start) out.push_back(line.substr(start, i - start));
  }
  return out;
}

std::string quoted(std::string_view word) {
  std::string out(1, '\'');
  out.append(word);
  out += '\'';
  return out;
}

using tedskit::base::equalsIgnoreCase;

std::optional<uint64_t> hexNumber(std::string_view text, size_t maxDigits) {
  if (text.size() > maxDigits) return std::nullopt;
  return tedskit::base::hexNumber(text);
}

// Hex bytes given as two-digit groups, separately or run together.
std::optional<std::vector<uint8_t>> hexBytes(std::span<const std::string_view> words) {
  std::vector<uint8_t> bytes;
  for (std::string_view w : words) {
    const auto group = tedskit::base::hexBytes(w);
    if (!group) return std::nullopt;
    bytes.insert(bytes.end(), group->begin(), group->end());
  }
  return bytes;
}

std::unique_ptr<Chip> makeChip(std::string_view type) {
  const Serial none{};  // set at the end of the block
  if (equalsIgnoreCase(type, "DS2430A")) return std::make_unique<Ds2430a>(none);
  if (equalsIgnoreCase(type, "DS2431")) return std::make_unique<Ds2431>(none);
  if (equalsIgnoreCase(type, "DS2433")) return std::make_unique<Paged32>(Paged32::kDs2433, none);
  if (equalsIgnoreCase(type, "DS28EC20")) return std::make_unique<Paged32>(Paged32::kDs28ec20, none);
  if (equalsIgnoreCase(type, "DS2406")) return std::make_unique<Ds2406>(none);
  return nullptr;
}

// A chip being read; its ROM is built at 'end', once serial and family are known.
struct Pending {
  std::unique_ptr<Chip> chip;
  std::optional<Serial> serial;
  std::optional<uint8_t> family;
  std::optional<std::vector<uint8_t>> reg;
  bool locked = false;
  size_t line = 0;
};

class Parser {
 public:
  Parser(std::string_view name, ChipList& chips, std::string& error)
      : name_(name), chips_(chips), error_(error) {}

  bool run(std::string_view text) {
    size_t start = 0;
    while (start < text.size() && ok_) {
      size_t end = text.find('\n', start);
      if (end == std::string_view::npos) end = text.size();
      ++lineNo_;
      std::string_view line = text.substr(start, end - start);
      if (const size_t hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
      if (const auto words = tokens(line); !words.empty()) statement(words);
      start = end + 1;
    }
    if (ok_ && current_)
      fail("device block opened at line " + std::to_string(current_->line) + " has no 'end'");
    return ok_;
  }

 private:
  void fail(const std::string& reason) {
    if (!ok_) return;
    ok_ = false;
    error_ = std::string(name_) + ":" + std::to_string(lineNo_) + ": " + reason;
  }

  void statement(const std::vector<std::string_view>& w) {
    const std::string_view key = w[0];
    const std::span<const std::string_view> args(w.data() + 1, w.size() - 1);
    if (key == "device") return openDevice(args);
    if (!current_) return fail(quoted(key).append(" outside a device block"));
    if (key == "end") return args.empty() ? closeDevice() : fail("'end' takes no value");
    if (key == "serial") return setSerial(args);
    if (key == "family") return setFamily(args);
    if (key == "channel") return setChannel(args);
    if (key == "memory") return setMemory(args);
    if (key == "register") return setRegister(args);
    if (key == "locked") return setLocked(args);
    if (key == "status") return setStatus(args);
    fail("unknown keyword " + quoted(key));
  }

  void openDevice(std::span<const std::string_view> args) {
    if (current_)
      return fail("'device' inside the device block opened at line " + std::to_string(current_->line));
    if (args.size() != 1) return fail("'device' needs one chip type");
    if (chips_.size() == kMaxDevices) return fail("more than " + std::to_string(kMaxDevices) + " devices");
    auto chip = makeChip(args[0]);
    if (!chip)
      return fail("unknown chip type '" + std::string(args[0]) +
                  "' (DS2430A, DS2431, DS2433, DS28EC20 or DS2406)");
    current_ = Pending{std::move(chip), {}, {}, {}, false, lineNo_};
  }

  void setSerial(std::span<const std::string_view> args) {
    const auto value = args.size() == 1 && args[0].size() == 12 ? hexNumber(args[0], 12) : std::nullopt;
    if (!value) return fail("'serial' needs 12 hex digits");
    Serial serial{};
    for (size_t i = 0; i < serial.size(); ++i) serial[i] = static_cast<uint8_t>(*value >> (8 * i));
    current_->serial = serial;
  }

  void setFamily(std::span<const std::string_view> args) {
    const auto value = args.size() == 1 ? hexNumber(args[0], 2) : std::nullopt;
    if (!value) return fail("'family' needs one hex byte");
    current_->family = static_cast<uint8_t>(*value);
  }

  void setChannel(std::span<const std::string_view> args) {
    if (args.size() != 1 || args[0].size() != 1 || args[0][0] < '1' || args[0][0] > '3')
      return fail("'channel' needs 1, 2 or 3");
    current_->chip->channel = args[0][0] - '0';
  }

  void setMemory(std::span<const std::string_view> args) {
    const std::span<uint8_t> memory = current_->chip->memory();
    if (memory.empty()) return fail(std::string(current_->chip->typeName()) + " has no memory to fill");
    const auto address = args.empty() ? std::nullopt : hexNumber(args[0], 4);
    if (!address) return fail("'memory' needs a hex address, then hex bytes");
    const auto bytes = hexBytes(args.subspan(1));
    if (!bytes || bytes->empty()) return fail("'memory' needs hex bytes after the address");
    if (*address + bytes->size() > memory.size())
      return fail("memory past the end of the " + std::string(current_->chip->typeName()) + " (" +
                  std::to_string(memory.size()) + " bytes)");
    std::copy(bytes->begin(), bytes->end(), memory.begin() + static_cast<std::ptrdiff_t>(*address));
  }

  void setRegister(std::span<const std::string_view> args) {
    if (!dynamic_cast<Ds2430a*>(current_->chip.get())) return fail("'register' belongs to a DS2430A");
    const auto bytes = hexBytes(args);
    if (!bytes || bytes->size() != 8) return fail("'register' needs 8 hex bytes");
    current_->reg = *bytes;
  }

  void setLocked(std::span<const std::string_view> args) {
    if (!dynamic_cast<Ds2430a*>(current_->chip.get())) return fail("'locked' belongs to a DS2430A");
    if (args.size() != 1 || (args[0] != "yes" && args[0] != "no")) return fail("'locked' needs yes or no");
    current_->locked = args[0] == "yes";
  }

  void setStatus(std::span<const std::string_view> args) {
    auto* sw = dynamic_cast<Ds2406*>(current_->chip.get());
    if (!sw) return fail("'status' belongs to a DS2406");
    const auto bytes = hexBytes(args);
    if (!bytes || bytes->size() != Ds2406::kStatusSize) return fail("'status' needs 8 hex bytes");
    std::array<uint8_t, Ds2406::kStatusSize> status{};
    std::copy(bytes->begin(), bytes->end(), status.begin());
    sw->setPowerUpStatus(status);
  }

  void closeDevice() {
    Pending p = std::move(*current_);
    current_.reset();
    if (!p.serial) return fail("device without 'serial'");
    std::unique_ptr<Chip> chip = std::move(p.chip);
    chip->setIdentity(p.family.value_or(chip->defaultFamily()), *p.serial);
    if (auto* a = dynamic_cast<Ds2430a*>(chip.get())) {
      std::array<uint8_t, 8> reg{};
      if (p.reg) std::copy(p.reg->begin(), p.reg->end(), reg.begin());
      a->load(reg, p.locked);
    }
    for (const auto& other : chips_) {
      if (other->rom() == chip->rom()) return fail("two devices with the same ROM");
    }
    chips_.push_back(std::move(chip));
  }

  std::string_view name_;
  ChipList& chips_;
  std::string& error_;
  std::optional<Pending> current_;
  size_t lineNo_ = 0;
  bool ok_ = true;
};

}  // namespace

bool parseBusFile(std::string_view text, std::string_view name, ChipList& chips, std::string& error) {
  ChipList parsed;
  if (!Parser(name, parsed, error).run(text)) return false;
  chips = std::move(parsed);
  return true;
}

}  // namespace owbus
