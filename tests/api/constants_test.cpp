// The constants of a TDL template (values that take no bits) as read-only fields: those of
// the template and of the cases in force, never set, and through JSON and back unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tedskit/tedskit.h"
#include "teds_handle.h"

namespace {

const char* const kTemplates = TEDSKIT_SOURCE_DIR "/data";

using Handle = tedskittest::TedsHandle;

struct Shown {
  std::string display, access;
  int32_t bits = -1;
};

Shown shown(const tedskit_teds* teds, const char* label) {
  int32_t index = -1;
  if (tedskit_teds_field_index(teds, label, &index) != TEDSKIT_OK) return {"(no field)", "", -1};
  Shown out;
  const char* text = nullptr;
  tedskit_field_display(teds, index, &text);
  out.display = text;
  tedskit_field_access(teds, index, &text);
  out.access = text;
  tedskit_field_bit_width(teds, index, &out.bits);
  return out;
}

std::string owned(char* text) {
  std::string out = text != nullptr ? text : "";
  tedskit_string_free(text);
  return out;
}

TEST(Constants, TheTemplatesAndTheCasesInForceAreFieldsWithoutBits) {
  Handle teds;
  ASSERT_EQ(tedskit_teds_new(kTemplates, 0, 30, 0, 0, &teds.teds), TEDSKIT_OK) << tedskit_last_error();
  const Shown mapping = shown(teds.teds, "Mapping Method");
  EXPECT_EQ(mapping.display, "Linear");
  EXPECT_EQ(mapping.access, "ID");
  EXPECT_EQ(mapping.bits, 0);
  EXPECT_EQ(shown(teds.teds, "Electrical Signal Type").display, "Voltage Sensor");
  // The fixed range of the first precision case, until another case lays out real fields.
  EXPECT_EQ(shown(teds.teds, "Min electrical value").bits, 0);
  EXPECT_EQ(shown(teds.teds, "Min electrical value").display, "0");
  ASSERT_EQ(tedskit_teds_set(teds.teds, "Electrical signal precision", "-10 to 10 V", nullptr), TEDSKIT_OK)
      << tedskit_last_error();
  EXPECT_EQ(shown(teds.teds, "Min electrical value").display, "-10");
  ASSERT_EQ(tedskit_teds_set(teds.teds, "Electrical signal precision", "11 bit", nullptr), TEDSKIT_OK)
      << tedskit_last_error();
  EXPECT_EQ(shown(teds.teds, "Min electrical value").bits, 11);

  char* text = nullptr;
  ASSERT_EQ(tedskit_teds_text(teds.teds, &text), TEDSKIT_OK);
  const std::string image = owned(text);
  EXPECT_EQ(tedskit_teds_set(teds.teds, "Mapping Method", "linear", nullptr), TEDSKIT_OK);
  EXPECT_EQ(tedskit_teds_set(teds.teds, "Mapping Method", "Other", nullptr), TEDSKIT_ERR_VALUE);
  EXPECT_NE(std::string(tedskit_last_error()).find("\"Mapping Method\" is a constant of the template"),
            std::string::npos)
      << tedskit_last_error();
  ASSERT_EQ(tedskit_teds_text(teds.teds, &text), TEDSKIT_OK);
  EXPECT_EQ(owned(text), image);

  // JSON lists the constants, and reading it back changes nothing.
  char* json = nullptr;
  ASSERT_EQ(tedskit_teds_json(teds.teds, &json), TEDSKIT_OK);
  const std::string document = owned(json);
  EXPECT_NE(document.find("\"Mapping Method\""), std::string::npos);
  Handle again;
  ASSERT_EQ(
      tedskit_teds_open(kTemplates, document.data(), document.size(), TEDSKIT_INPUT_JSON, 0, &again.teds),
      TEDSKIT_OK)
      << tedskit_last_error();
  ASSERT_EQ(tedskit_teds_text(again.teds, &text), TEDSKIT_OK);
  EXPECT_EQ(owned(text), image);
  ASSERT_EQ(tedskit_teds_json(again.teds, &json), TEDSKIT_OK);
  std::string read = owned(json);
  const std::string from = "\"source\": \"JSON\"";
  ASSERT_NE(read.find(from), std::string::npos);
  read.replace(read.find(from), from.size(), "\"source\": \"image\"");
  EXPECT_EQ(read, document);
}

}  // namespace
