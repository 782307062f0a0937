#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <algorithm>
#include <unistd.h>

#include "base/hex.h"
#include "busfile.h"
#include "ds2406.h"
#include "ds2430a.h"

namespace owbus {

namespace {

constexpr size_t kMaxFileSize = 1 << 20;
constexpr size_t kBytesPerLine = 16;

using tedskit::base::appendHex;

void appendBytes(std::string& out, std::span<const uint8_t> bytes) {
  tedskit::base::appendHex(out, bytes, ' ');
}

}  // namespace

std::string formatBusFile(const ChipList& chips) {
  std::string out =
      "# Simulated 1-Wire bus. The bus rewrites this file when a chip's EEPROM or register\n"
      "# changes; comments are not kept.\n";
  for (const auto& chip : chips) {
    if (!chip->persistent()) continue;
    const Rom& rom = chip->rom();
    out += "\ndevice ";
    out += chip->typeName();
    out += "\n  serial ";
    for (size_t i = 6; i >= 1; --i) appendHex(out, rom[i]);
    out += "  # ROM";
    appendBytes(out, rom);
    out += '\n';
    if (rom[0] != chip->defaultFamily()) {
      out += "  family ";
      appendHex(out, rom[0]);
      out += '\n';
    }
    if (chip->channel != 0) out += "  channel " + std::to_string(chip->channel) + "\n";
    const std::span<uint8_t> memory = chip->memory();
    for (size_t a = 0; a < memory.size(); a += kBytesPerLine) {
      out += "  memory ";
      appendHex(out, static_cast<uint8_t>(a >> 8));
      appendHex(out, static_cast<uint8_t>(a & 0xFF));
      appendBytes(out, memory.subspan(a, std::min(kBytesPerLine, memory.size() - a)));
      out += '\n';
    }
    if (auto* a = dynamic_cast<Ds2430a*>(chip.get())) {
      out += "  register";
      appendBytes(out, a->applicationRegister());
      out += a->locked() ? "\n  locked yes\n" : "\n  locked no\n";
    }
    if (auto* sw = dynamic_cast<Ds2406*>(chip.get())) {
      out += "  status";
      appendBytes(out, sw->powerUpStatus());
      out += '\n';
    }
    out += "end\n";
  }
  return out;
}

bool loadBusFile(const std::string& path, ChipList& chips, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = path + ": cannot open the bus file: " + std::strerror(errno);
    return false;
  }
  std::string text;
  text.resize(kMaxFileSize + 1);
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  if (text.size() > kMaxFileSize) {
    error = path + ": bus file larger than " + std::to_string(kMaxFileSize) + " bytes";
    return false;
  }
  return parseBusFile(text, path, chips, error);
}

bool saveBusFile(const std::string& path, const ChipList& chips, std::string& error) {
  const std::string text = formatBusFile(chips);
  const std::string temp = path + ".tmp" + std::to_string(::getpid());
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  bool ok = f != nullptr;
  if (ok) {
    ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
  }
  if (ok) ok = std::rename(temp.c_str(), path.c_str()) == 0;
  if (!ok) {
    error = path + ": cannot write the bus file back: " + std::strerror(errno);
    std::remove(temp.c_str());
  }
  return ok;
}

}  // namespace owbus
