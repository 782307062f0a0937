// A field array kept without its long runs of zero bytes. Most of a record's 391440
// bytes are unused text rows, abstract text and items, so a stored record costs a few
// kilobytes instead of the whole block, and copying it in and out stays linear.
// Records laid out by one template differ only in a few values: such a record shares the
// words of the one it resembles and keeps only the words it holds differently.
#ifndef TEDSKIT_STORE_COMPACT_ARRAY_H
#define TEDSKIT_STORE_COMPACT_ARRAY_H

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "tedskit/records.h"

namespace tedskit::store {

// Words first to end (not included) of a field array, counted in 8-byte words.
struct WordRange {
  std::size_t first;
  std::size_t end;
};

class CompactArray {
 public:
  // scratch is working space the caller keeps between calls, so that no record needs a
  // block-sized allocation of its own. like, when given, is a record this one may share
  // its words with (the one stored before it).
  CompactArray(const TEDSTemplateFieldArrayStruct& array, std::vector<uint64_t>& scratch,
               const CompactArray* like = nullptr);

  // A record that holds like's bytes except, perhaps, in the changed ranges (in order,
  // apart): mostly only those words are read, which is what makes reading a record file
  // fast, where each block changes only the values of its template's layout.
  CompactArray(const TEDSTemplateFieldArrayStruct& array, const CompactArray& like,
               std::span<const WordRange> changed, std::vector<uint64_t>& scratch);

  // Writes all 391440 bytes of the array back.
  void expandInto(TEDSTemplateFieldArrayStruct& array) const;
  // The same for an array that holds previous's expansion: only the words either of the
  // two holds are written, so a run of records costs what they hold, not 391440 bytes each.
  void expandOver(const CompactArray& previous, TEDSTemplateFieldArrayStruct& array) const;

 private:
  // A word of the record that differs from the shared runs.
  struct Patch {
    uint64_t value;
    uint32_t word;  // position in the array
    uint32_t slot;  // position in runs_ of the word it replaces
  };

  bool sharesRunsOf(const CompactArray& like, const std::vector<uint64_t>& scratch, std::size_t size);
  bool patchesLike(const TEDSTemplateFieldArrayStruct& array, const CompactArray& like,
                   std::span<const WordRange> changed);
  void compactAnew(const TEDSTemplateFieldArrayStruct& array, std::vector<uint64_t>& scratch,
                   const CompactArray* like);

  // Runs of 8-byte words: a header word (zero words to skip in the high half, literal
  // words that follow in the low half), then the literal words. Shared by the records
  // whose zero runs fall in the same places.
  std::shared_ptr<const std::vector<uint64_t>> runs_;
  // The words where this record differs from runs_; they lie inside its literal runs.
  std::vector<Patch> patches_;
};

}  // namespace tedskit::store

#endif
