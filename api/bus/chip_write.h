// Writing a TEDS image to the chosen chip: everything that can be known to fail is
// refused before the first byte goes out (a corrupt image, no room, page protection,
// EPROM mode, a locked register holding another Basic TEDS), and what the write would
// change is known before it is made.
#ifndef TEDSKIT_API_BUS_CHIP_WRITE_H
#define TEDSKIT_API_BUS_CHIP_WRITE_H

#include <filesystem>
#include <memory>
#include <string>

#include "base/chip_image.h"
#include "base/chip_layout.h"
#include "bus_scan.h"
#include "chip_read.h"
#include "field_diff.h"
#include "document.h"
#include "image.h"

namespace teds {

// An image whose checksum did not match its bytes may be corrupt: refused (BusFailure
// Refused) unless forced; forceOption names the way to force it in the message.
void refuseCorruptImage(const TedsImage& image, bool force, const std::string& forceOption = "--force");

// An image that ends before its template's fields do would go onto the chip with zeros for
// what is missing, under a good checksum: refused (BusFailure Refused); the caller skips
// this when forced (forceOption names how; empty: there is no way). An image no template
// lays out is not measured.
void refuseCutImage(const Document& document, const std::string& forceOption = "--force");
void refuseCutImage(const std::filesystem::path& templatesDir, const TedsImage& image,
                    const std::string& forceOption = "--force");

// The write planned on the chip, whose session stays open until it is committed or goes.
class PreparedWrite {
 public:
  // Reads the chip and refuses (BusFailure Refused) what cannot succeed on it.
  PreparedWrite(const std::string& busName, const BusScan& scan, const BusChip& target, TedsImage image,
                const std::filesystem::path& templatesDir);

  // "template 25 to the DS2431 2DE1A5E10D0000FE on BUS in layout A".
  const std::string& what() const { return what_; }
  // The write locks a DS2430A's application register for good.
  bool locks() const { return locks_; }
  const FieldDiff& diff() const { return diff_; }
  const ChipRead& now() const { return now_; }
  const TedsImage& image() const { return image_; }
  const BusChip& target() const { return target_; }
  const BusSession& session() const { return *bus_; }
  tedskit::base::ChipLayout layout() const { return plan_.layout; }

  // Writes and verifies; throws BusFailure (WriteFailed, NoChip, Unavailable).
  void commit();

 private:
  BusChip target_;
  TedsImage image_;
  std::unique_ptr<BusSession> bus_;
  ChipRead now_;
  bool lockedWrite_ = false;
  bool locks_ = false;
  tedskit::base::ChipWrite plan_;
  std::string what_;
  FieldDiff diff_;
};

}  // namespace teds

#endif
