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

void putWord(unsigned char* bytes, std::size_t index, uint64_t word) {
  std::memcpy(bytes + index * sizeof word, &word, sizeof word);
}

// Large enough that the zero test of a block, not the loop around it, is the cost.
constexpr std::size_t kBlockWords = 32;

bool blockIsZero(const unsigned char* bytes, std::size_t index) {
  uint64_t any = 0;
  for (std::size_t k = 0; k < kBlockWords; ++k) any |= wordAt(bytes, index + k);
  return any == 0;
}

// Index onward past whole zero blocks. The scan of the zero stretches is most of what
// storing a record costs, so where the processor has them it runs on 32-byte registers.
std::size_t skipZeroBlocksPlain(const unsigned char* bytes, std::size_t i) {
  while (i + kBlockWords <= kWords && blockIsZero(bytes, i)) i += kBlockWords;
  return i;
}

#if defined(__x86_64__)
// Both compilers keep to 256-bit registers unless told to use the wider ones, each in its own words.
#if defined(__clang__)
#define TEDSKIT_WIDEST_REGISTERS __attribute__((target("avx512f"), min_vector_width(512)))
#else
#define TEDSKIT_WIDEST_REGISTERS __attribute__((target("avx512f,prefer-vector-width=512")))
#endif
TEDSKIT_WIDEST_REGISTERS std::size_t skipZeroBlocksWidest(const unsigned char* bytes, std::size_t i) {
  while (i + kBlockWords <= kWords && blockIsZero(bytes, i)) i += kBlockWords;
  return i;
}

__attribute__((target("avx2"))) std::size_t skipZeroBlocksWide(const unsigned char* bytes, std::size_t i) {
  while (i + kBlockWords <= kWords && blockIsZero(bytes, i)) i += kBlockWords;
  return i;
}

std::size_t skipZeroBlocks(const unsigned char* bytes, std::size_t i) {
  static const int width = __builtin_cpu_supports("avx512f") ? 2 : __builtin_cpu_supports("avx2") ? 1 : 0;
  if (width == 2) return skipZeroBlocksWidest(bytes, i);
  return width == 1 ? skipZeroBlocksWide(bytes, i) : skipZeroBlocksPlain(bytes, i);
}
#else
std::size_t skipZeroBlocks(const unsigned char* bytes, std::size_t i) { return skipZeroBlocksPlain(bytes, i); }
#endif

// The runs of the array into scratch; the number of words they take.
std::size_t compact(const TEDSTemplateFieldArrayStruct& array, std::vector<uint64_t>& scratch) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&array);
  // The worst case, no zero run at all, is one header and every word.
  scratch.resize(kWords + 1);
  std::size_t out = 0;
  std::size_t i = 0;
  while (i < kWords) {
    const std::size_t zeroStart = i;
    // Most of a record is long zero stretches: passed over a block at a time.
    i = skipZeroBlocks(bytes, i);
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
  return out;
}

// Calls write(first word, runs slot of the first literal, count) for each literal run.
template <typename Write>
void forEachLiteralRun(const std::vector<uint64_t>& runs, Write write) {
  std::size_t word = 0;
  for (std::size_t r = 0; r < runs.size();) {
    const uint64_t header = runs[r++];
    word += static_cast<std::size_t>(header >> 32);
    const auto literals = static_cast<std::size_t>(header & 0xFFFFFFFFu);
    write(word, r, literals);
    r += literals;
    word += literals;
  }
}

// Patches beyond this share of a record's literal words cost more than runs of its own.
constexpr std::size_t kPatchShare = 8;

}  // namespace

CompactArray::CompactArray(const TEDSTemplateFieldArrayStruct& array, std::vector<uint64_t>& scratch,
                           const CompactArray* like) {
  compactAnew(array, scratch, like);
}

CompactArray::CompactArray(const TEDSTemplateFieldArrayStruct& array, const CompactArray& like,
                           std::span<const WordRange> changed, std::vector<uint64_t>& scratch) {
  if (like.runs_ && patchesLike(array, like, changed)) return;
  compactAnew(array, scratch, &like);
}

bool CompactArray::patchesLike(const TEDSTemplateFieldArrayStruct& array, const CompactArray& like,
                               std::span<const WordRange> changed) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&array);
  const std::vector<uint64_t>& runs = *like.runs_;
  const auto outsideChanged = [changed](std::size_t word) {
    for (const WordRange& range : changed) {
      if (word >= range.first && word < range.end) return false;
    }
    return true;
  };
  // What like holds differently from the shared runs outside the ranges, this record holds too.
  for (const Patch& patch : like.patches_) {
    if (outsideChanged(patch.word)) patches_.push_back(patch);
  }
  const std::size_t most = runs.size() / kPatchShare;
  // The literal run at or after the word being compared: its first word, end and slot.
  std::size_t next = 0;
  std::size_t first = 0;
  std::size_t end = 0;
  std::size_t slot = 0;
  const auto nextRun = [&runs, &next, &first, &end, &slot] {
    const uint64_t header = runs[next++];
    first = end + static_cast<std::size_t>(header >> 32);
    end = first + static_cast<std::size_t>(header & 0xFFFFFFFFu);
    slot = next;
    next += end - first;
  };
  bool runLeft = !runs.empty();
  if (runLeft) nextRun();
  for (const WordRange& range : changed) {
    for (std::size_t word = range.first; word < range.end; ++word) {
      while (runLeft && end <= word) {
        runLeft = next < runs.size();
        if (runLeft) nextRun();
      }
      const uint64_t value = wordAt(bytes, word);
      if (runLeft && word >= first) {
        const std::size_t at = slot + (word - first);
        if (value == runs[at]) continue;
        if (patches_.size() < most) {
          patches_.push_back({value, static_cast<uint32_t>(word), static_cast<uint32_t>(at)});
          continue;
        }
      } else if (value == 0) {
        continue;
      }
      // A word the shared runs hold as zero run, or too many words differ.
      patches_.clear();
      return false;
    }
  }
  patches_.shrink_to_fit();
  runs_ = like.runs_;
  return true;
}

void CompactArray::compactAnew(const TEDSTemplateFieldArrayStruct& array, std::vector<uint64_t>& scratch,
                               const CompactArray* like) {
  const std::size_t size = compact(array, scratch);
  if (like != nullptr && like->runs_ && sharesRunsOf(*like, scratch, size)) return;
  runs_ = std::make_shared<const std::vector<uint64_t>>(scratch.begin(),
                                                        scratch.begin() + static_cast<std::ptrdiff_t>(size));
}

bool CompactArray::sharesRunsOf(const CompactArray& like, const std::vector<uint64_t>& scratch, std::size_t size) {
  const std::vector<uint64_t>& runs = *like.runs_;
  if (runs.size() != size) return false;
  const std::size_t most = size / kPatchShare;
  std::size_t word = 0;
  for (std::size_t r = 0; r < size;) {
    if (runs[r] != scratch[r]) {
      patches_.clear();
      return false;
    }
    const uint64_t header = runs[r++];
    word += static_cast<std::size_t>(header >> 32);
    const auto literals = static_cast<std::size_t>(header & 0xFFFFFFFFu);
    for (std::size_t k = 0; k < literals; ++k, ++r, ++word) {
      if (runs[r] == scratch[r]) continue;
      if (patches_.size() == most) {
        patches_.clear();
        return false;
      }
      patches_.push_back({scratch[r], static_cast<uint32_t>(word), static_cast<uint32_t>(r)});
    }
  }
  patches_.shrink_to_fit();
  runs_ = like.runs_;
  return true;
}

void CompactArray::expandInto(TEDSTemplateFieldArrayStruct& array) const {
  auto* bytes = reinterpret_cast<unsigned char*>(&array);
  const std::vector<uint64_t>& runs = *runs_;
  // Each byte written once: the zeros before a literal run, then the run.
  std::size_t written = 0;
  forEachLiteralRun(runs, [bytes, &runs, &written](std::size_t word, std::size_t slot, std::size_t count) {
    std::memset(bytes + written * sizeof(uint64_t), 0, (word - written) * sizeof(uint64_t));
    std::memcpy(bytes + word * sizeof(uint64_t), &runs[slot], count * sizeof(uint64_t));
    written = word + count;
  });
  std::memset(bytes + written * sizeof(uint64_t), 0, (kWords - written) * sizeof(uint64_t));
  for (const Patch& patch : patches_) putWord(bytes, patch.word, patch.value);
}

void CompactArray::expandOver(const CompactArray& previous, TEDSTemplateFieldArrayStruct& array) const {
  auto* bytes = reinterpret_cast<unsigned char*>(&array);
  const std::vector<uint64_t>& runs = *runs_;
  if (previous.runs_ == runs_) {
    // The shared words are in place: only the ones either record changes are written.
    for (const Patch& patch : previous.patches_) putWord(bytes, patch.word, runs[patch.slot]);
  } else {
    forEachLiteralRun(*previous.runs_, [bytes](std::size_t word, std::size_t, std::size_t count) {
      std::memset(bytes + word * sizeof(uint64_t), 0, count * sizeof(uint64_t));
    });
    forEachLiteralRun(runs, [bytes, &runs](std::size_t word, std::size_t slot, std::size_t count) {
      std::memcpy(bytes + word * sizeof(uint64_t), &runs[slot], count * sizeof(uint64_t));
    });
  }
  for (const Patch& patch : patches_) putWord(bytes, patch.word, patch.value);
}

}  // namespace tedskit::store
