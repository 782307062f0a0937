#include "image.h"

#include <algorithm>
#include <numeric>

#include "text.h"

namespace teds {
namespace {

constexpr std::size_t kPage = 32;

uint8_t checksumOf(std::span<const uint8_t> bytes) {
  const unsigned sum = std::accumulate(bytes.begin(), bytes.end(), 0u);
  return static_cast<uint8_t>((256 - sum % 256) % 256);
}

bool pagePasses(std::span<const uint8_t> page) {
  return std::accumulate(page.begin(), page.end(), 0u) % 256 == 0;
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool isHexLine(std::string_view line) {
  bool any = false;
  for (const char c : line) {
    if (c == ' ' || c == '\t') continue;
    if (hexDigit(c) < 0) return false;
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

void appendPageData(std::span<const uint8_t> chip, std::vector<uint8_t>& body) {
  for (std::size_t page = kPage; page + kPage <= chip.size(); page += kPage) {
    body.insert(body.end(), chip.begin() + page + 1, chip.begin() + page + kPage);
  }
}

}  // namespace

int TedsImage::selector() const { return body.empty() ? 0 : body[0] & 3; }

int TedsImage::templateId() const {
  const int low = body.empty() ? 0 : body[0] >> 2;
  const int high = body.size() < 2 ? 0 : body[1] & 3;
  return low | (high << 6);
}

bool TedsImage::isLms() const { return selector() == 3 && (templateId() == 117 || templateId() == 118); }

bool TedsImage::wantsV10Engine() const {
  return (selector() == 0 && templateId() >= 25) || (selector() == 1 && templateId() == 4);
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
  memory[0] = checksumOf(std::span(memory).subspan(1, std::min<std::size_t>(31, memory.size() - 1)));
  return memory;
}

std::vector<uint8_t> v10Memory(const TedsImage& image) {
  std::vector<uint8_t> memory(kEngineMemorySize, 0);
  std::copy_n(image.body.begin(), std::min(image.body.size(), kEngineMemorySize - 1), memory.begin() + 1);
  const unsigned sum = std::accumulate(image.basic.begin(), image.basic.end(), 0u) +
                       std::accumulate(memory.begin() + 1, memory.begin() + kPage, 0u);
  memory[0] = static_cast<uint8_t>((256 - sum % 256) % 256);
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
  image.checksumOk = pagePasses(memory.first(std::min<std::size_t>(kPage, memory.size())));
  return image;
}

TedsImage fromV10Images(std::span<const uint8_t> reg, std::span<const uint8_t> memory) {
  TedsImage image;
  std::copy_n(reg.begin(), std::min<std::size_t>(8, reg.size()), image.basic.begin());
  if (!memory.empty()) image.body.assign(memory.begin() + 1, memory.end());
  const unsigned sum = std::accumulate(reg.begin(), reg.end(), 0u) +
                       std::accumulate(memory.begin(), memory.begin() + std::min(kPage, memory.size()), 0u);
  image.checksumOk = sum % 256 == 0;
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
  TedsImage image;
  bool pagesPass = true;
  for (std::size_t page = kPage; page < chip.size(); page += kPage) {
    pagesPass = pagesPass && pagePasses(chip.subspan(page, kPage));
  }
  const bool layoutB = std::all_of(chip.begin() + 1, chip.begin() + 9, [](uint8_t b) { return b == 0xFF; });
  const int selector = chip[8] & 3;
  const int id = (chip[8] >> 2) | ((chip[9] & 3) << 6);
  if (layoutB) {
    std::copy_n(chip.begin() + 9, 8, image.basic.begin());
    image.body.assign(chip.begin() + 17, chip.begin() + kPage);
    image.origin = "chip layout B";
    image.checksumOk = pagesPass && pagePasses(chip.first(kPage));
  } else if (selector == 3 && (id == 117 || id == 118)) {
    // The LMS layout has no checksum in page 0.
    std::copy_n(chip.begin(), 8, image.basic.begin());
    image.body.assign(chip.begin() + 8, chip.begin() + kPage);
    image.origin = "chip, unchecked LMS layout";
    image.checksumOk = pagesPass;
  } else {
    std::copy_n(chip.begin() + 1, 8, image.basic.begin());
    image.body.assign(chip.begin() + 9, chip.begin() + kPage);
    image.origin = "chip layout A";
    image.checksumOk = pagesPass && pagePasses(chip.first(kPage));
  }
  appendPageData(chip, image.body);
  return image;
}

std::vector<uint8_t> parseHex(std::string_view text) {
  std::vector<uint8_t> bytes;
  int high = -1;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    const int digit = hexDigit(c);
    if (digit < 0) throw ImageError(std::string("'") + c + "' is not a hexadecimal digit");
    if (high < 0) {
      high = digit;
    } else {
      bytes.push_back(static_cast<uint8_t>(high << 4 | digit));
      high = -1;
    }
  }
  if (high >= 0) throw ImageError("odd number of hexadecimal digits");
  return bytes;
}

std::string toHex(std::span<const uint8_t> bytes) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const uint8_t b : bytes) {
    out += kDigits[b >> 4];
    out += kDigits[b & 15];
  }
  return out;
}

TedsImage parseImage(std::string_view content) {
  if (looksBinary(content)) {
    const auto* data = reinterpret_cast<const uint8_t*>(content.data());
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
  while (!content.empty()) {
    const auto end = content.find('\n');
    std::string line = trim(content.substr(0, end));
    content = end == std::string_view::npos ? std::string_view{} : content.substr(end + 1);
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
    return fromMemoryImage(parseHex(memory));
  }
  if (firstBadNumber != 0) {
    throw ImageError("line " + std::to_string(firstBadNumber) +
                     " is not hexadecimal: " + latin1ToUtf8(firstBadLine.substr(0, 40)));
  }
  if (untagged.empty()) throw ImageError("no image in the input");
  if (untagged.size() == 2 && parseHex(untagged[1]).size() == 8) {
    return fromMemoryImage(parseHex(untagged[0]));
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
