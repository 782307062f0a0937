// Handles and stored records.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "tedskit/calden.h"

namespace {

std::unique_ptr<TEDSTemplateFieldArrayStruct> newArray(uint8_t fill) {
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), fill, sizeof *array);
  return array;
}

struct Retrieved {
  int32_t result;
  int32_t descriptor = 77;
  int32_t channel = 77;
  int32_t unit = 77;
  std::unique_ptr<TEDSTemplateFieldArrayStruct> array = newArray(0xEE);
};

Retrieved retrieve(int32_t handle, int32_t position) {
  Retrieved r{0};
  r.result = RetrieveTedsData(handle, position, r.array.get(), &r.descriptor, &r.channel, &r.unit);
  return r;
}

bool sameBytes(const TEDSTemplateFieldArrayStruct& a, const TEDSTemplateFieldArrayStruct& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

TEST(CaldenStore, RecordsComeBackWholeWithTheirOwnNumbers) {
  const int32_t handle = CreateNewStoredDataStruct();
  ASSERT_GE(handle, 0);
  EXPECT_EQ(0, GetNumberOfSavedItems(handle));

  struct Stored {
    int32_t descriptor;
    int32_t channel;
    int32_t unit;
    uint8_t fill;
  };
  const std::vector<Stored> stored = {{0, 0, 0, 0x11}, {1, 5, -1, 0x22}, {3, -1, 7, 0x33}};
  for (const Stored& s : stored) {
    auto array = newArray(s.fill);
    array->validMarker = TEDS_FIELD_ARRAY_VALID;
    ASSERT_EQ(0, Calden(handle, s.descriptor, array.get(), s.channel, s.unit));
  }
  EXPECT_EQ(3, GetNumberOfSavedItems(handle));

  for (std::size_t i = 0; i < stored.size(); ++i) {
    SCOPED_TRACE(i);
    const Retrieved r = retrieve(handle, static_cast<int32_t>(i));
    ASSERT_EQ(0, r.result);
    EXPECT_EQ(stored[i].descriptor, r.descriptor);
    EXPECT_EQ(stored[i].channel, r.channel);
    EXPECT_EQ(stored[i].unit, r.unit);
    auto expected = newArray(stored[i].fill);
    expected->validMarker = TEDS_FIELD_ARRAY_VALID;
    EXPECT_TRUE(sameBytes(*expected, *r.array));
  }
}

// Records are kept without their long zero runs; every pattern of zeros must come back.
TEST(CaldenStore, RecordsWithAnyPatternOfZerosComeBackByteForByte) {
  const int32_t handle = CreateNewStoredDataStruct();
  std::mt19937 random(1451);
  std::vector<std::unique_ptr<TEDSTemplateFieldArrayStruct>> stored;
  for (int pattern = 0; pattern < 8; ++pattern) {
    auto array = newArray(0);
    auto* bytes = reinterpret_cast<unsigned char*>(array.get());
    // Runs of non-zero and zero bytes of every length from 1 to 80, from either end.
    std::size_t at = pattern % 2 == 0 ? 0 : random() % 80;
    while (at < sizeof *array) {
      const std::size_t filled = 1 + random() % 80;
      for (std::size_t i = at; i < at + filled && i < sizeof *array; ++i) {
        bytes[i] = static_cast<unsigned char>(1 + random() % 255);
      }
      at += filled + 1 + random() % (pattern < 4 ? 80 : 2000);
    }
    if (pattern == 7) bytes[sizeof *array - 1] = 0x7F;
    ASSERT_EQ(0, Calden(handle, 0, array.get(), pattern, pattern));
    stored.push_back(std::move(array));
  }
  for (std::size_t i = 0; i < stored.size(); ++i) {
    EXPECT_TRUE(sameBytes(*stored[i], *retrieve(handle, static_cast<int32_t>(i)).array)) << i;
  }
}

TEST(CaldenStore, ARecordIsACopyNotTheCallersArray) {
  const int32_t handle = CreateNewStoredDataStruct();
  auto array = newArray(0x5A);
  ASSERT_EQ(0, Calden(handle, 0, array.get(), 1, 1));
  std::memset(array.get(), 0, sizeof *array);

  const Retrieved r = retrieve(handle, 0);
  ASSERT_EQ(0, r.result);
  EXPECT_TRUE(sameBytes(*newArray(0x5A), *r.array));
}

TEST(CaldenStore, PositionsOutsideTheRecordsGiveItemNotFoundAndWriteNothing) {
  const int32_t handle = CreateNewStoredDataStruct();
  for (uint8_t fill : {0x01, 0x02}) {
    ASSERT_EQ(0, Calden(handle, 0, newArray(fill).get(), 0, 0));
  }
  for (const int32_t position : {2, 3, -1, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(position);
    const Retrieved r = retrieve(handle, position);
    EXPECT_EQ(CALDEN_ITEM_NOT_FOUND, r.result);
    EXPECT_EQ(77, r.descriptor);
    EXPECT_EQ(77, r.channel);
    EXPECT_EQ(77, r.unit);
    EXPECT_TRUE(sameBytes(*newArray(0xEE), *r.array));
  }
  EXPECT_EQ(0, retrieve(handle, 1).result);
}

TEST(CaldenStore, ClearEmptiesTheHandleWhichStaysUsable) {
  const int32_t handle = CreateNewStoredDataStruct();
  for (int i = 0; i < 3; ++i) {
    ASSERT_EQ(0, Calden(handle, 0, newArray(0x10).get(), i, i));
  }
  EXPECT_EQ(0, ClearStoredTedsDataStruct(handle));
  EXPECT_EQ(0, GetNumberOfSavedItems(handle));
  EXPECT_EQ(CALDEN_ITEM_NOT_FOUND, retrieve(handle, 0).result);

  ASSERT_EQ(0, Calden(handle, 3, newArray(0x20).get(), 9, 8));
  EXPECT_EQ(1, GetNumberOfSavedItems(handle));
  const Retrieved r = retrieve(handle, 0);
  EXPECT_EQ(3, r.descriptor);
  EXPECT_EQ(9, r.channel);
  EXPECT_EQ(8, r.unit);
  EXPECT_TRUE(sameBytes(*newArray(0x20), *r.array));
}

TEST(CaldenStore, HandlesKeepTheirRecordsApart) {
  const int32_t first = CreateNewStoredDataStruct();
  const int32_t second = CreateNewStoredDataStruct();
  EXPECT_EQ(first + 1, second);
  ASSERT_EQ(0, Calden(first, 1, newArray(0x01).get(), 0, 0));
  ASSERT_EQ(0, Calden(second, 3, newArray(0x02).get(), 0, 0));
  ASSERT_EQ(0, Calden(second, 3, newArray(0x03).get(), 0, 0));
  EXPECT_EQ(0, ClearStoredTedsDataStruct(second));

  EXPECT_EQ(1, GetNumberOfSavedItems(first));
  EXPECT_EQ(0, GetNumberOfSavedItems(second));
  EXPECT_TRUE(sameBytes(*newArray(0x01), *retrieve(first, 0).array));
}

TEST(CaldenStore, UnknownHandlesAreInvalidForEveryExport) {
  const int32_t last = CreateNewStoredDataStruct();
  auto array = newArray(0x44);
  for (const int32_t handle : {-1, last + 1, last + 1000, INT32_MIN}) {
    SCOPED_TRACE(handle);
    EXPECT_EQ(CALDEN_INVALID_HANDLE, Calden(handle, 0, array.get(), 0, 0));
    EXPECT_EQ(CALDEN_INVALID_HANDLE, GetNumberOfSavedItems(handle));
    EXPECT_EQ(CALDEN_INVALID_HANDLE, ClearStoredTedsDataStruct(handle));
    const Retrieved r = retrieve(handle, 0);
    EXPECT_EQ(CALDEN_INVALID_HANDLE, r.result);
    EXPECT_EQ(77, r.descriptor);
  }
  EXPECT_EQ(0, GetNumberOfSavedItems(last));
}

TEST(CaldenStore, NullPointersAreInvalidParametersAndChangeNothing) {
  const int32_t handle = CreateNewStoredDataStruct();
  EXPECT_EQ(CALDEN_INVALID_PARAMETER, Calden(handle, 0, nullptr, 0, 0));
  EXPECT_EQ(0, GetNumberOfSavedItems(handle));

  ASSERT_EQ(0, Calden(handle, 1, newArray(0x01).get(), 2, 3));
  auto array = newArray(0xEE);
  int32_t a = 77;
  int32_t b = 77;
  int32_t c = 77;
  EXPECT_EQ(CALDEN_INVALID_PARAMETER, RetrieveTedsData(handle, 0, nullptr, &a, &b, &c));
  EXPECT_EQ(CALDEN_INVALID_PARAMETER, RetrieveTedsData(handle, 0, array.get(), nullptr, &b, &c));
  EXPECT_EQ(CALDEN_INVALID_PARAMETER, RetrieveTedsData(handle, 0, array.get(), &a, nullptr, &c));
  EXPECT_EQ(CALDEN_INVALID_PARAMETER, RetrieveTedsData(handle, 0, array.get(), &a, &b, nullptr));
  EXPECT_EQ(77, a);
  EXPECT_EQ(77, b);
  EXPECT_EQ(77, c);
  EXPECT_TRUE(sameBytes(*newArray(0xEE), *array));
}

TEST(CaldenStore, ChangeDelimiterRefusesCharactersThatCannotSeparateValues) {
  for (const char refused : {'\0', '\n', '\r', '"', '-', '0', '7'}) {
    EXPECT_EQ(CALDEN_INVALID_PARAMETER, ChangeDelimiter(refused)) << int{refused};
  }
  for (const char taken : {';', '\t', ' ', '|', ','}) {
    EXPECT_EQ(0, ChangeDelimiter(taken)) << int{taken};
  }
}

}  // namespace
