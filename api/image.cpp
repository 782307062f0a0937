#include "image.h"

#include <algorithm>
#include <optional>

#include "base/chip_image.h"
#include "base/hex.h"
#include "base/line_reader.h"
#include "base/page_checksum.h"
#include "latin1.h"
#include "ted_file.h"

namespace teds {
namespace {

using tedskit::base::checksumFor;
using tedskit::base::checksumPasses;
using tedskit::base::hexValue;
using tedskit::base::kPage;

bool isHexLine(std::string_view line) {
  bool any = false;
  for (const char c : line) {
    if (c == ' ' || c == '\t') continue;
    if (hexValue(c) < 0) return false;
    any = true;
  }
  return any;
}

// Text (ASCII or UTF-8, as the tool prints it) holds no control characters besides
// blanks and line ends; a chip image has at least its zero padding.
bool looksBinary(std::string_view content) {
  return std::any_of(content.begin(), content.end(), [](char ch) {
    const auto c = static_cast<unsigned char>(ch);
    return c < 0x20 && ch != '\n' && ch != '\r' && ch != '\t';
  });
}

const char* originOf(tedskit::base::ChipLayout layout) {
  switch (layout) {
    case tedskit::base::ChipLayout::B:
      return "chip layout B";
    case tedskit::base::ChipLayout::UncheckedLms:
      return "chip, unchecked LMS layout";
    case tedskit::base::ChipLayout::LockedRegister:
      return "DS2430A with locked application register";
    case tedskit::base::ChipLayout::A:
      break;
  }
  return "chip layout A";
}

tedskit::base::Selection selectionOf(const TedsImage& image) {
  return tedskit::base::selectionOf(image.body.empty() ? 0 : image.body[0],
                                    image.body.size() < 2 ? 0 : image.body[1]);
}

// A register line beside a memory image is kept, so that a reader can compare the two
// copies of the Basic TEDS.
TedsImage withRegister(TedsImage image, std::string_view registerHex) {
  if (registerHex.empty()) return image;
  const auto bytes = parseHex(registerHex);
  if (bytes.size() == 8) {
    image.applicationRegister.emplace();
    std::copy(bytes.begin(), bytes.end(), image.applicationRegister->begin());
  }
  return image;
}

}  // namespace

int TedsImage::selector() const { return selectionOf(*this).selector; }

int TedsImage::templateId() const { return selectionOf(*this).templateId; }

bool TedsImage::isLms() const {
  return selector() == tedskit::base::kLmsSelector && tedskit::base::isLmsTemplate(templateId());
}

bool TedsImage::wantsV10Engine() const {
  const auto sel = selectionOf(*this);
  return (sel.selector == tedskit::base::kStandardSelector &&
          sel.templateId >= tedskit::base::kFirstV10Template) ||
         tedskit::base::isMtsPair(sel);
}

std::optional<uint8_t> TedsImage::blankByte() const {
  const uint8_t first = basic[0];
  if (first != 0x00 && first != 0xFF) return std::nullopt;
  const auto same = [first](uint8_t b) { return b == first; };
  if (!std::all_of(basic.begin(), basic.end(), same) || !std::all_of(body.begin(), body.end(), same))
    return std::nullopt;
  return first;
}

void refuseBlankInput(const TedsImage& image) {
  if (const auto blank = image.blankByte()) {
    throw ImageError(std::string("the image is blank (every byte ") + (*blank == 0 ? "00h" : "FFh") +
                     "): it holds no TEDS");
  }
}

std::size_t TedsImage::usedBodySize() const {
  std::size_t used = body.size();
  while (used > 0 && body[used - 1] == 0) --used;
  return used;
}

std::vector<uint8_t> memoryImage(const TedsImage& image, std::size_t minSize) {
  std::vector<uint8_t> memory(std::max(minSize, 9 + image.usedBodySize()), 0);
  std::copy(image.basic.begin(), image.basic.end(), memory.begin() + 1);
  std::copy_n(image.body.begin(), image.usedBodySize(), memory.begin() + 9);
  memory[0] = checksumFor(std::span(memory).subspan(1, std::min<std::size_t>(31, memory.size() - 1)));
  return memory;
}

std::vector<uint8_t> v10Memory(const TedsImage& image) {
  std::vector<uint8_t> memory(kEngineMemorySize, 0);
  std::copy_n(image.body.begin(), std::min(image.body.size(), kEngineMemorySize - 1), memory.begin() + 1);
  memory[0] = checksumFor({image.basic, std::span(memory).subspan(1, kPage - 1)});
  return memory;
}

std::vector<uint8_t> lmsMemory(const TedsImage& image) {
  std::vector<uint8_t> memory(kEngineMemorySize, 0);
  std::copy(image.basic.begin(), image.basic.end(), memory.begin());
  std::copy_n(image.body.begin(), std::min(image.body.size(), kEngineMemorySize - 8), memory.begin() + 8);
  return memory;
}

TedsImage fromMemoryImage(std::span<const uint8_t> memory) {
  if (memory.size() < 10) {
    throw ImageError("a memory image needs at least 10 bytes (checksum, Basic TEDS, selector)");
  }
  TedsImage image;
  std::copy_n(memory.begin() + 1, 8, image.basic.begin());
  image.body.assign(memory.begin() + 9, memory.end());
  image.checksumOk = checksumPasses(memory.first(std::min<std::size_t>(kPage, memory.size())));
  return image;
}

TedsImage fromV10Images(std::span<const uint8_t> reg, std::span<const uint8_t> memory) {
  TedsImage image;
  std::copy_n(reg.begin(), std::min<std::size_t>(8, reg.size()), image.basic.begin());
  if (!memory.empty()) image.body.assign(memory.begin() + 1, memory.end());
  image.checksumOk = checksumPasses({reg, memory.first(std::min(kPage, memory.size()))});
  return image;
}

TedsImage fromLmsImage(std::span<const uint8_t> memory) {
  TedsImage image;
  std::copy_n(memory.begin(), std::min<std::size_t>(8, memory.size()), image.basic.begin());
  if (memory.size() > 8) image.body.assign(memory.begin() + 8, memory.end());
  return image;
}

TedsImage fromChipImage(std::span<const uint8_t> chip) {
  if (chip.size() < kPage || chip.size() % kPage != 0) {
    throw ImageError("a chip image is made of whole 32-byte pages; this one has " +
                     std::to_string(chip.size()) + " bytes");
  }
  if (chip.size() > tedskit::base::kMaxChipImage) {
    throw ImageError("a chip image holds at most " + std::to_string(tedskit::base::kMaxChipImage) +
                     " bytes; this one has " + std::to_string(chip.size()));
  }
  return fromChipContents(tedskit::base::contentsOfChip(chip));
}

TedsImage fromChipContents(const tedskit::base::ChipContents& contents) {
  TedsImage image;
  image.basic = contents.basic;
  image.body = contents.body;
  image.origin = originOf(contents.layout);
  image.checksumOk = contents.checksumsPass;
  image.chipRoom = contents.body.size();
  return image;
}

std::vector<uint8_t> parseHex(std::string_view text) {
  std::string digits;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (hexValue(c) < 0) throw ImageError(std::string("'") + c + "' is not a hexadecimal digit");
    digits += c;
  }
  auto bytes = tedskit::base::hexBytes(digits);
  if (!bytes) throw ImageError("odd number of hexadecimal digits");
  return *std::move(bytes);
}

std::string toHex(std::span<const uint8_t> bytes) { return tedskit::base::toHex(bytes); }

TedsImage parseImage(std::string_view content) {
  if (looksBinary(content)) {
    const auto* data = reinterpret_cast<const uint8_t*>(content.data());
    if (isTedFile(std::span(data, content.size()))) return fromTedFile(std::span(data, content.size()));
    TedsImage image = fromChipImage(std::span(data, content.size()));
    image.origin += " (binary)";
    return image;
  }
  std::string memory, reg, chip;
  std::vector<std::string> untagged;
  bool tagged = false;
  std::size_t lineNumber = 0;
  std::string firstBadLine;
  std::size_t firstBadNumber = 0;
  tedskit::base::TextLines lines(content);
  std::string_view text;
  while (lines.next(text)) {
    std::string line = trim(text);
    ++lineNumber;
    if (line.empty() || line[0] == '#') continue;
    const auto colon = line.find(':');
    if (colon != std::string::npos) {
      const std::string tag = trim(std::string_view(line).substr(0, colon));
      const std::string rest = line.substr(colon + 1);
      std::string* target = equalsIgnoreCase(tag, "memory")     ? &memory
                            : equalsIgnoreCase(tag, "register") ? &reg
                            : equalsIgnoreCase(tag, "chip")     ? &chip
                                                                : nullptr;
      if (target != nullptr && isHexLine(rest)) {
        tagged = true;
        *target += rest;
        continue;
      }
    }
    if (isHexLine(line)) {
      untagged.push_back(line);
    } else if (firstBadNumber == 0) {
      firstBadNumber = lineNumber;
      firstBadLine = line;
    }
  }
  if (tagged) {
    if (!chip.empty()) {
      TedsImage image = fromChipImage(parseHex(chip));
      return image;
    }
    if (memory.empty()) throw ImageError("no \"memory:\" line in the input");
    return withRegister(fromMemoryImage(parseHex(memory)), reg);
  }
  if (firstBadNumber != 0) {
    throw ImageError("line " + std::to_string(firstBadNumber) +
                     " is not hexadecimal: " + latin1ToUtf8(firstBadLine.substr(0, 40)));
  }
  if (untagged.empty()) throw ImageError("no image in the input");
  if (untagged.size() == 2 && parseHex(untagged[1]).size() == 8) {
    return withRegister(fromMemoryImage(parseHex(untagged[0])), untagged[1]);
  }
  std::string all;
  for (const auto& line : untagged) all += line;
  auto bytes = parseHex(all);
  if (untagged.size() > 1 || (bytes.size() >= 2 * kPage && bytes.size() % kPage == 0)) {
    return fromChipImage(bytes);
  }
  return fromMemoryImage(bytes);
}

std::string formatImage(const TedsImage& image) {
  return "memory: " + toHex(memoryImage(image)) + "\nregister: " + toHex(image.basic) + "\n";
}

}  // namespace teds
