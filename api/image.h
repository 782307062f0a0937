// A TEDS image as the tool handles it, whatever form it arrived in: the 64-bit Basic TEDS
// and the bytes that follow it (selector byte first, then the template data), without
// checksum bytes. From it the tool forms what each engine and each chip layout expects.
#ifndef TEDSKIT_API_IMAGE_H
#define TEDSKIT_API_IMAGE_H

#include <array>
#include <cstdint>
#include <span>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace tedskit::base {
struct ChipContents;
}

namespace teds {

// Input that is not a TEDS image; the message says why.
class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Bytes of the engines' memory images (the V1.0 engine's memoryData; enough for any
// description-engine image in byte form).
inline constexpr std::size_t kEngineMemorySize = 2568;

struct TedsImage {
  std::array<uint8_t, 8> basic{};
  std::vector<uint8_t> body;  // selector byte, template ID byte, template data
  // Where the image came from, for the reader: "image", "chip layout A", ...
  std::string origin = "image";
  // The checksum that came with the image matched (absent checksums count as matching).
  bool checksumOk = true;
  // The application register given beside a memory image that holds the Basic TEDS too.
  std::optional<std::array<uint8_t, 8>> applicationRegister;
  // Bytes of body the chip it came from holds, when it came from a chip.
  std::optional<std::size_t> chipRoom;
  // Bits of the stream a virtual TEDS file held (its zero padding included); 0 otherwise.
  std::size_t streamBits = 0;

  int selector() const;
  // The 8-bit template ID after the selector.
  int templateId() const;
  bool isLms() const;  // selector 3 with template 117 or 118
  // Template IDs the V1.0 (TDL) engine decodes: IEEE templates from 25 on, and the MTS
  // template (selector 1, template ID 4).
  bool wantsV10Engine() const;
  // 00h or FFh when every byte is that one: a chip nobody wrote a TEDS to.
  std::optional<uint8_t> blankByte() const;
  // body without its trailing zero bytes.
  std::size_t usedBodySize() const;
};

// An image given by a user that is blank (every byte 00h or FFh) holds no TEDS: decoded, it
// would pass for template 0 with a good checksum. A new layout of template 0 is all zeros
// too, so only inputs are checked, never the tool's own images.
void refuseBlankInput(const TedsImage& image);

// The memory image of the description engine and of the tool's text form: checksum byte
// (bytes 0 to 31 sum to 0), Basic TEDS, body; at least minSize bytes.
std::vector<uint8_t> memoryImage(const TedsImage& image, std::size_t minSize = 40);
// The V1.0 engine's images: memory is 2568 bytes, checksum byte then body; the checksum
// makes the register and the first 32 memory bytes sum to 0.
std::vector<uint8_t> v10Memory(const TedsImage& image);
// The LMS layout: Basic TEDS then body, no checksum; 2568 bytes.
std::vector<uint8_t> lmsMemory(const TedsImage& image);

// From the engines' outputs.
TedsImage fromMemoryImage(std::span<const uint8_t> memory);  // checksum, Basic TEDS, body
TedsImage fromV10Images(std::span<const uint8_t> reg, std::span<const uint8_t> memory);
TedsImage fromLmsImage(std::span<const uint8_t> memory);  // Basic TEDS, body

// A whole chip image with its page checksums (32-byte pages): layout A, layout B or the
// unchecked LMS layout, recognised as the chips store them.
TedsImage fromChipImage(std::span<const uint8_t> chip);
// What the chip-layout conversions found on a chip.
TedsImage fromChipContents(const tedskit::base::ChipContents& contents);

// Reads the text (or binary) forms the tool accepts:
//  - "memory:" and "register:" lines (what teds read, new and edit print), "chip:" lines
//    (a whole chip with page checksums);
//  - untagged hex lines: a memory line and a register line (the example files), one memory
//    line, or the rows of a whole chip dump;
//  - a binary file holding a whole chip image, or a virtual TEDS file (.ted).
// Lines starting with '#' are comments; blanks inside hex are ignored.
TedsImage parseImage(std::string_view content);

std::vector<uint8_t> parseHex(std::string_view text);  // throws ImageError
std::string toHex(std::span<const uint8_t> bytes);     // upper case, no blanks

// The tool's text form: "memory: ..." and "register: ..." lines.
std::string formatImage(const TedsImage& image);

}  // namespace teds

#endif
