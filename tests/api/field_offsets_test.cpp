// Where each field lies in the memory image: the bits at a field's offset hold the number
// it stores, also in TDL templates whose select cases keep selector bits between fields.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "tedskit/tedskit.h"
#include "teds_handle.h"

namespace {

const char* const kTemplates = TEDSKIT_SOURCE_DIR "/data";

using Handle = tedskittest::TedsHandle;

std::vector<uint8_t> memoryOf(const tedskit_teds* teds) {
  char* hex = nullptr;
  EXPECT_EQ(tedskit_teds_memory_hex(teds, &hex), TEDSKIT_OK);
  std::vector<uint8_t> bytes;
  for (const char* at = hex; at[0] != '\0' && at[1] != '\0'; at += 2)
    bytes.push_back(static_cast<uint8_t>(std::stoi(std::string(at, 2), nullptr, 16)));
  tedskit_string_free(hex);
  return bytes;
}

uint64_t bitsAt(const std::vector<uint8_t>& memory, int32_t first, int32_t width) {
  uint64_t value = 0;
  for (int32_t k = 0; k < width; ++k) {
    const auto bit = static_cast<std::size_t>(first + k);
    if (bit / 8 < memory.size() && (memory[bit / 8] >> (bit % 8)) & 1u) value |= uint64_t{1} << k;
  }
  return value;
}

struct Placed {
  std::string label;
  int32_t offset = -1, bits = 0;
};

// Every field's place; each integer and enumeration read back at its offset. Returns the
// places in field order.
std::vector<Placed> expectNumbersAtTheirOffsets(const tedskit_teds* teds) {
  const auto memory = memoryOf(teds);
  int32_t count = 0;
  tedskit_teds_field_count(teds, &count);
  std::vector<Placed> places;
  for (int32_t i = 0; i < count; ++i) {
    Placed place;
    const char* label = "";
    tedskit_field_label(teds, i, &label);
    place.label = label;
    EXPECT_EQ(tedskit_field_bit_offset(teds, i, &place.offset), TEDSKIT_OK) << tedskit_last_error();
    tedskit_field_bit_width(teds, i, &place.bits);
    tedskit_value_kind kind{};
    tedskit_field_kind(teds, i, &kind);
    int64_t stored = 0;
    if ((kind == TEDSKIT_VALUE_INTEGER || kind == TEDSKIT_VALUE_ENUMERATION) && place.bits > 0 &&
        tedskit_field_integer(teds, i, &stored) == TEDSKIT_OK) {
      EXPECT_EQ(bitsAt(memory, place.offset, place.bits), static_cast<uint64_t>(stored))
          << place.label << " at bit " << place.offset;
    }
    if (!places.empty() && places.back().bits > 0) {
      EXPECT_GE(place.offset, places.back().offset + places.back().bits) << place.label << " overlaps";
    }
    places.push_back(std::move(place));
  }
  return places;
}

void set(tedskit_teds* teds, const char* label, const char* value) {
  ASSERT_EQ(tedskit_teds_set(teds, label, value, nullptr), TEDSKIT_OK) << label << ": " << tedskit_last_error();
}

Placed placeOf(const std::vector<Placed>& places, const std::string& label) {
  for (const Placed& place : places)
    if (place.label == label) return place;
  ADD_FAILURE() << "no field " << label;
  return {};
}

// In template 39 the data choose the electrical signal precision: its selector bit lies
// between the physical range and the sensor impedance, and is no field.
TEST(FieldOffsets, SelectorBitsSitBetweenTheFieldsOfATdlTemplate) {
  Handle made;
  ASSERT_EQ(tedskit_teds_new(kTemplates, 0, 39, 0, 0, &made.teds), TEDSKIT_OK) << tedskit_last_error();
  set(made.teds, "Serial no.", "123456");
  set(made.teds, "Cal Period", "365");
  set(made.teds, "Meas. position ID", "1234");
  const auto places = expectNumbersAtTheirOffsets(made.teds);
  ASSERT_GE(places.size(), 6u);
  EXPECT_EQ(places[0].offset, 8);   // the Basic TEDS follows the checksum byte
  EXPECT_EQ(places[5].offset, 82);  // and the template data the selector and template ID
  const Placed range = placeOf(places, "Max physical value");
  EXPECT_EQ(placeOf(places, "Sensor impedance").offset, range.offset + range.bits + 1);
}

// In template 33 the user chooses the precision: a field whose change lays the fields
// after it out anew, and their offsets with them.
TEST(FieldOffsets, AChosenCaseMovesTheFieldsAfterIt) {
  Handle made;
  ASSERT_EQ(tedskit_teds_new(kTemplates, 0, 33, 0, 0, &made.teds), TEDSKIT_OK) << tedskit_last_error();
  set(made.teds, "Meas. position ID", "1234");
  const int32_t before = placeOf(expectNumbersAtTheirOffsets(made.teds), "Bridge type").offset;
  set(made.teds, "Electrical signal precision", "uV/V");
  const auto after = expectNumbersAtTheirOffsets(made.teds);
  // Two values of 19 bits where there were two of 11.
  EXPECT_EQ(placeOf(after, "Bridge type").offset, before + 16);
  EXPECT_EQ(placeOf(after, "Min electrical value").bits, 19);
}

// A chained calibration table lies between the first template's fields and its user data:
// its fields have their places there, and the user data moves behind it.
TEST(FieldOffsets, ChainedTemplatesLieBeforeTheUserData) {
  Handle made;
  ASSERT_EQ(tedskit_teds_new(kTemplates, 0, 25, 0, 0, &made.teds), TEDSKIT_OK) << tedskit_last_error();
  set(made.teds, "User data (ascii)", "AXIS");
  int32_t alone = -1, user = -1;
  ASSERT_EQ(tedskit_teds_field_index(made.teds, "User data (ascii)", &user), TEDSKIT_OK);
  tedskit_field_bit_offset(made.teds, user, &alone);
  ASSERT_EQ(tedskit_teds_add_template(made.teds, 40), TEDSKIT_OK) << tedskit_last_error();
  set(made.teds, "Calibration domain", "Physical");
  set(made.teds, "Calibration table", "3");
  const auto memory = memoryOf(made.teds);
  int32_t first = 0, count = 0, all = 0;
  tedskit_teds_template_at(made.teds, 1, nullptr, nullptr, nullptr, &first, &count);
  tedskit_teds_field_count(made.teds, &all);
  ASSERT_EQ(first + count, all);
  int32_t at = -1, bits = 0, end = 0;
  for (int32_t i = first; i < all; ++i) {
    tedskit_field_bit_offset(made.teds, i, &at);
    tedskit_field_bit_width(made.teds, i, &bits);
    EXPECT_GE(at, i == first ? alone + 10 : end);  // behind the selector and template ID
    tedskit_value_kind kind{};
    tedskit_field_kind(made.teds, i, &kind);
    int64_t stored = 0;
    if (kind == TEDSKIT_VALUE_INTEGER || kind == TEDSKIT_VALUE_ENUMERATION) {
      ASSERT_EQ(tedskit_field_integer(made.teds, i, &stored), TEDSKIT_OK);
      EXPECT_EQ(bitsAt(memory, at, bits), static_cast<uint64_t>(stored)) << "field " << i;
    }
    end = at + bits;
  }
  int32_t moved = -1;
  tedskit_field_bit_offset(made.teds, user, &moved);
  EXPECT_EQ(moved, end);
  EXPECT_EQ(bitsAt(memory, moved, 3), 7u);  // the end selector and the mark of user text
}

TEST(FieldOffsets, DescriptionFieldsFollowTheirTemplateLines) {
  std::ifstream in(std::string(TEDSKIT_SOURCE_DIR) + "/examples/accelerometer.hex");
  std::stringstream text;
  text << in.rdbuf();
  const std::string input = text.str();
  Handle opened;
  ASSERT_EQ(tedskit_teds_open(kTemplates, input.data(), input.size(), TEDSKIT_INPUT_AUTO, 0, &opened.teds),
            TEDSKIT_OK);
  const auto places = expectNumbersAtTheirOffsets(opened.teds);
  // The selector and template ID lines hold bits 72 to 81; the text starts at a byte.
  EXPECT_EQ(places[5].offset, 82);
  EXPECT_EQ(places.back().offset % 8, 0) << places.back().label;
  int32_t offset = 0;
  EXPECT_EQ(tedskit_field_bit_offset(opened.teds, static_cast<int32_t>(places.size()), &offset),
            TEDSKIT_ERR_ARGUMENT);
}

}  // namespace
