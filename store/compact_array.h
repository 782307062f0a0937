// A field array kept without its long runs of zero bytes. Most of a record's 391440
// bytes are unused text rows, abstract text and items, so a stored record costs a few
// kilobytes instead of the whole block, and copying it in and out stays linear.
#ifndef TEDSKIT_STORE_COMPACT_ARRAY_H
#define TEDSKIT_STORE_COMPACT_ARRAY_H

#include <cstdint>
#include <vector>

#include "tedskit/records.h"

namespace tedskit::store {

class CompactArray {
 public:
  // scratch is working space the caller keeps between calls, so that no record needs a
  // block-sized allocation of its own.
  CompactArray(const TEDSTemplateFieldArrayStruct& array, std::vector<uint64_t>& scratch);

  // Writes all 391440 bytes of the array back.
  void expandInto(TEDSTemplateFieldArrayStruct& array) const;
  // The same for an array that holds previous's expansion: only the words either of the
  // two holds are written, so a run of records costs what they hold, not 391440 bytes each.
  void expandOver(const CompactArray& previous, TEDSTemplateFieldArrayStruct& array) const;

  std::size_t storedBytes() const { return runs_.size() * sizeof(uint64_t); }

 private:
  // Runs of 8-byte words: a header word (zero words to skip in the high half, literal
  // words that follow in the low half), then the literal words.
  std::vector<uint64_t> runs_;
};

}  // namespace tedskit::store

#endif
