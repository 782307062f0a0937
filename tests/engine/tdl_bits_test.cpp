#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "teds_info/tdl_bits.h"

namespace {

using dorvia::copyBits;
using dorvia::imageChecksum;
using dorvia::readBitField;
using dorvia::writeBitField;

// Manufacturer 43, model 1, version letter A, version 2, serial 1234.
std::array<uint8_t, 8> workedExampleAppreg() {
  std::array<uint8_t, 8> appreg{};
  int32_t cursor = 0;
  writeBitField(43, 14, cursor, appreg);
  writeBitField(1, 15, cursor, appreg);
  writeBitField(1, 5, cursor, appreg);
  writeBitField(2, 6, cursor, appreg);
  writeBitField(1234, 24, cursor, appreg);
  EXPECT_EQ(cursor, 64);
  return appreg;
}

TEST(TdlBits, WorkedBasicTedsExampleAndChecksum) {
  const std::array<uint8_t, 8> appreg = workedExampleAppreg();
  EXPECT_EQ(appreg, (std::array<uint8_t, 8>{0x2B, 0x40, 0x00, 0x20, 0x08, 0xD2, 0x04, 0x00}));
  std::vector<uint8_t> memory(2568, 0);
  EXPECT_EQ(imageChecksum(appreg, memory), 0x97);

  int32_t cursor = 0;
  const std::array<uint32_t, 5> fields = {43, 1, 1, 2, 1234};
  const std::array<int, 5> widths = {14, 15, 5, 6, 24};
  for (size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(readBitField(appreg, widths[i], cursor), fields[i]);
}

TEST(TdlBits, ChecksumCoversExactlyFortyBytesAndIgnoresItsOwnByte) {
  const std::array<uint8_t, 8> appreg = workedExampleAppreg();
  std::vector<uint8_t> memory(2568, 0);
  memory[0] = 0x55;   // the checksum byte itself counts as 0
  memory[32] = 0x77;  // beyond the covered range
  EXPECT_EQ(imageChecksum(appreg, memory), 0x97);
  memory[31] = 0x01;
  EXPECT_EQ(imageChecksum(appreg, memory), 0x96);
}

TEST(TdlBits, FieldStraddlingThreeBytesKeepsItsTopBit) {
  std::array<uint8_t, 8> buffer{};
  int32_t cursor = 14;
  writeBitField(0x7FFF, 15, cursor, buffer);  // bits 14..28: top bit lands in byte 3
  EXPECT_EQ(buffer[1], 0xC0);
  EXPECT_EQ(buffer[2], 0xFF);
  EXPECT_EQ(buffer[3], 0x1F);
  cursor = 14;
  EXPECT_EQ(readBitField(buffer, 15, cursor), 0x7FFFu);
  EXPECT_EQ(cursor, 29);
}

TEST(TdlBits, WriteKeepsOnlyLowBitsAndNeighbours) {
  std::array<uint8_t, 8> buffer;
  buffer.fill(0xFF);
  int32_t cursor = 40;
  writeBitField(1u << 24, 24, cursor, buffer);  // a serial number of 2^24 is written as 0
  EXPECT_EQ(buffer[4], 0xFF);
  EXPECT_EQ(buffer[5], 0x00);
  EXPECT_EQ(buffer[6], 0x00);
  EXPECT_EQ(buffer[7], 0x00);
}

TEST(TdlBits, CopyBetweenUnalignedCursorsLeavesOtherBits) {
  const std::array<uint8_t, 3> source = {0b1011'0110, 0b0000'1101, 0xFF};
  std::array<uint8_t, 3> destination = {0xFF, 0x00, 0xFF};
  int32_t from = 3;
  int32_t to = 6;
  copyBits(source, from, destination, to, 9);  // source bits 3..11 = 1 1011 0110 >> 3
  EXPECT_EQ(from, 12);
  EXPECT_EQ(to, 15);
  int32_t check = 6;
  EXPECT_EQ(readBitField(destination, 9, check), (0b1101'1011'0110u >> 3) & 0x1FF);
  EXPECT_EQ(destination[0] & 0x3F, 0x3F);
  EXPECT_EQ(destination[1] & 0x80, 0x00);
  EXPECT_EQ(destination[2], 0xFF);
}

TEST(TdlBits, ZeroOrNegativeCountCopiesNothing) {
  const std::array<uint8_t, 1> source = {0xFF};
  std::array<uint8_t, 1> destination = {0x00};
  for (int64_t n : {int64_t{0}, int64_t{-4}}) {
    int32_t from = 1;
    int32_t to = 2;
    copyBits(source, from, destination, to, n);
    EXPECT_EQ(from, 1);
    EXPECT_EQ(to, 2);
    EXPECT_EQ(destination[0], 0x00);
  }
}

TEST(TdlBits, NeverTouchesBytesOutsideTheBuffers) {
  std::array<uint8_t, 4> storage = {0xAA, 0xFF, 0xFF, 0xAA};
  const std::span<uint8_t> buffer(storage.data() + 1, 2);  // guard bytes on both sides
  int32_t cursor = 12;
  EXPECT_EQ(readBitField(buffer, 32, cursor), 0xFu);  // only 4 bits exist past bit 12
  EXPECT_EQ(cursor, 44);
  cursor = 12;
  writeBitField(0, 32, cursor, buffer);
  EXPECT_EQ(storage, (std::array<uint8_t, 4>{0xAA, 0xFF, 0x0F, 0xAA}));

  // A huge copy is bounded by the destination and still moves the cursors in full.
  int32_t from = 0;
  int32_t to = 0;
  copyBits(buffer, from, buffer, to, int64_t{1} << 40);
  EXPECT_EQ(from, dorvia::kBitCursorLimit);
  EXPECT_EQ(to, dorvia::kBitCursorLimit);
  EXPECT_EQ(storage[0], 0xAA);
  EXPECT_EQ(storage[3], 0xAA);
}

}  // namespace
