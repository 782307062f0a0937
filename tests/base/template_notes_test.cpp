#include "base/template_notes.h"

#include <gtest/gtest.h>

namespace {

using tedskit::base::provisionalNote;
using tedskit::base::templateName;

TEST(TemplateNotes, OnlyTheTrailingMarkMakesALayoutProvisional) {
  EXPECT_EQ(provisionalNote(37, "RTD (provisional)"), "template 37 (RTD): layout partly provisional");
  EXPECT_EQ(provisionalNote(25, "Accelerometer & Force"), std::nullopt);
  EXPECT_EQ(provisionalNote(30, "(provisional) voltage"), std::nullopt);
  EXPECT_EQ(templateName("Thermistor (provisional)"), "Thermistor");
  EXPECT_EQ(templateName("Bridge Sensor"), "Bridge Sensor");
}

}  // namespace
