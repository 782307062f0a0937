// Reading the blocks of a record file one after another. The library's read stops at the
// first broken block; the tool passes over a broken block to the next type line, so that
// every good record of a damaged file can still be listed, and says where each broken
// block is and why.
#ifndef TEDSKIT_STORE_RECORD_FILE_SCAN_H
#define TEDSKIT_STORE_RECORD_FILE_SCAN_H

#include <cstdint>
#include <cstdio>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "compact_array.h"
#include "tedskit/records.h"

namespace tedskit::store {

struct ReadBlock {
  int64_t firstLine;  // the block's type line, counted from 1
  int32_t descriptor;
  int32_t channelNumber;
  int32_t unitNumber;
  const TEDSTemplateFieldArrayStruct& array;
  // When not empty: the only words in which array may differ from the array of the block
  // handed over before (the values of one layout).
  std::span<const WordRange> changedWords = {};
};

struct BrokenBlock {
  int64_t line;  // the line at which the block could not be read
  std::string reason;
};

enum class OnBroken { Stop, PassOver };

using BlockSink = std::function<void(const ReadBlock&)>;

// Hands every good block to sink. CALDEN_SUCCESS, or CALDEN_FILE_MALFORMED when a block
// is broken: with Stop reading ends there, with PassOver only at the end of the file.
// broken receives each broken block. The engine's state is as it was when this returns.
int32_t readRecordBlocks(std::FILE* file, const char* templateDirectory, OnBroken onBroken,
                         const BlockSink& sink, std::vector<BrokenBlock>& broken);

// Whether a file can take more record blocks: it holds nothing but short lines, or its
// first other line is a type line.
bool holdsRecordsOnly(std::FILE* file);

}  // namespace tedskit::store

#endif
