#include "compact_array.h"

#include <cstring>

namespace tedskit::store {

namespace {

constexpr std::size_t kWords = sizeof(TEDSTemplateFieldArrayStruct) / sizeof(uint64_t);
static_assert(kWords * sizeof(uint64_t) == sizeof(TEDSTemplateFieldArrayStruct),
              "the field array is a whole number of words");

// Shorter zero runs stay inside a literal run: a run header costs a word of its own.
constexpr std::size_t kShortestSkippedRun = 4;

uint64_t wordAt(const unsigned char* bytes, std::size_t index) {
  uint64_t word;
  std::memcpy(&word, bytes + index * sizeof word, sizeof word);
  return word;
}

// Large enough that the zero test of a block, not the loop around it, is the cost.
constexpr std::size_t kBlockWords = 32;

bool blockIsZero(const unsigned char* bytes, std::size_t index) {
  uint64_t any = 0;
  for (std::size_t k = 0; k < kBlockWords; ++k) any |= wordAt(bytes, index + k);
  return any == 0;
}

}  // namespace

CompactArray::CompactArray(const TEDSTemplateFieldArrayStruct& array, std::vector<uint64_t>& scratch) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&array);
  // The worst case, no zero run at all, is one header and every word.
  scratch.resize(kWords + 1);
  std::size_t out = 0;
  std::size_t i = 0;
  while (i < kWords) {
    const std::size_t zeroStart = i;
    // Most of a record is long zero stretches: passed over a block at a time.
    while (i + kBlockWords <= kWords && blockIsZero(bytes, i)) i += kBlockWords;
    while (i < kWords && wordAt(bytes, i) == 0) ++i;
    const std::size_t zeros = i - zeroStart;
    if (i == kWords) break;  // trailing zeros need no run

    // The literal run ends at the next zero run long enough to skip, or at the end.
    const std::size_t literalStart = i;
    std::size_t literalEnd = i;
    std::size_t zeroRun = 0;
    for (; i < kWords; ++i) {
      if (wordAt(bytes, i) != 0) {
        zeroRun = 0;
        literalEnd = i + 1;
      } else if (++zeroRun == kShortestSkippedRun) {
        break;
      }
    }
    i = literalEnd;
    const std::size_t literals = literalEnd - literalStart;
    scratch[out++] = (static_cast<uint64_t>(zeros) << 32) | literals;
    std::memcpy(&scratch[out], bytes + literalStart * sizeof(uint64_t), literals * sizeof(uint64_t));
    out += literals;
  }
  runs_.assign(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(out));
}

// Calls write(first word, literal words, count) for each literal run.
template <typename Write>
void forEachLiteralRun(const std::vector<uint64_t>& runs, Write write) {
  std::size_t word = 0;
  for (std::size_t r = 0; r < runs.size();) {
    const uint64_t header = runs[r++];
    word += static_cast<std::size_t>(header >> 32);
    const auto literals = static_cast<std::size_t>(header & 0xFFFFFFFFu);
    write(word, &runs[r], literals);
    r += literals;
    word += literals;
  }
}

void CompactArray::expandInto(TEDSTemplateFieldArrayStruct& array) const {
  auto* bytes = reinterpret_cast<unsigned char*>(&array);
  std::memset(bytes, 0, sizeof array);
  forEachLiteralRun(runs_, [bytes](std::size_t word, const uint64_t* literals, std::size_t count) {
    std::memcpy(bytes + word * sizeof(uint64_t), literals, count * sizeof(uint64_t));
  });
}

void CompactArray::expandOver(const CompactArray& previous, TEDSTemplateFieldArrayStruct& array) const {
  auto* bytes = reinterpret_cast<unsigned char*>(&array);
  forEachLiteralRun(previous.runs_, [bytes](std::size_t word, const uint64_t*, std::size_t count) {
    std::memset(bytes + word * sizeof(uint64_t), 0, count * sizeof(uint64_t));
  });
  forEachLiteralRun(runs_, [bytes](std::size_t word, const uint64_t* literals, std::size_t count) {
    std::memcpy(bytes + word * sizeof(uint64_t), literals, count * sizeof(uint64_t));
  });
}

}  // namespace tedskit::store
