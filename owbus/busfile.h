// The bus file: a text description of the chips on a simulated bus and their contents.
//
//   device DS2431                 one block per chip: DS2430A, DS2431, DS2433, DS28EC20, DS2406
//     serial 0000A1B2C3D4         ROM serial number, 12 hex digits, most significant first
//     family 0D                   optional: another family code for the same command set
//     channel 2                   optional: behind channel 1-3 of the bus's DS2406 switch
//     memory 0000 7E 01 02 ...    hex bytes from a hex address of the chip's memory map
//     register 00 11 ...          DS2430A: the 8-byte application register
//     locked yes                  DS2430A: the register is copied and locked
//     status FF FF ...            DS2406: the 8 bytes of status memory
//   end
//
// '#' starts a comment. Memory not listed keeps the chip's blank state. A DS2431's page
// protection (55h write-protect, AAh EPROM mode) and copy protection are its memory bytes
// 0080-0084, as the chip addresses them.
#ifndef TEDSKIT_OWBUS_BUSFILE_H
#define TEDSKIT_OWBUS_BUSFILE_H

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "chip.h"

namespace owbus {

using ChipList = std::vector<std::unique_ptr<Chip>>;

// Parses bus-file text. On failure returns false with "NAME:LINE: reason" in error.
bool parseBusFile(std::string_view text, std::string_view name, ChipList& chips, std::string& error);
std::string formatBusFile(const ChipList& chips);

// A bus file as this process last read or wrote it.
class BusFile {
 public:
  explicit BusFile(std::string path) : path_(std::move(path)) {}
  const std::string& path() const { return path_; }

  bool load(ChipList& chips, std::string& error);
  // Saves as a real device would keep its state: under an exclusive lock, only if nobody
  // changed or removed the file since this process read or wrote it, never over a
  // read-only file; through a temporary file renamed over the old one (a reader sees
  // the old contents or the new, never a mix) that keeps its mode and owner, and through
  // a symbolic link to the file it names. A failure leaves the file as it was.
  bool save(const ChipList& chips, std::string& error);

 private:
  std::string path_;
  std::string known_;  // the text read or written last
};

}  // namespace owbus

#endif  // TEDSKIT_OWBUS_BUSFILE_H
