#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "tedskit/orlin.hpp"

namespace {

CTDLProperty* property(const char* description) {
  auto* p = new CTDLProperty;
  p->setDescription(description);
  return p;
}

TEST(Collection, FindTemplateTakesTheFirstOfEqualIds) {
  CTDLTemplateCollection c;
  CTDLTemplate first, second, other;
  first.m_templateID = 25;
  second.m_templateID = 25;
  other.m_templateID = 33;
  c.m_templates = {&other, &first, &second};
  EXPECT_EQ(c.findTemplate(25), &first);
  EXPECT_EQ(c.findTemplate(33), &other);
  EXPECT_EQ(c.findTemplate(26), nullptr);
  c.m_templates.clear();
}

TEST(Collection, KeepsItsOwnCopyOfTheFileName) {
  CTDLTemplateCollection c;
  EXPECT_EQ(c.m_fileName, nullptr);
  char path[] = "a.tdl";
  EXPECT_EQ(c.SetTemplateFilename(path), 0);
  path[0] = 'b';
  EXPECT_STREQ(c.m_fileName, "a.tdl");
  c.SetTemplateFilename("c.tdl");
  EXPECT_STREQ(c.m_fileName, "c.tdl");
  // A collection built by its caller leaves the file name to the caller.
  delete[] c.m_fileName;
}

TEST(Template, EnumerationLookupIgnoresCaseAndMissesGiveNull) {
  CTDLTemplate t;
  EXPECT_EQ(t.getCurrentEnumeration(), nullptr);
  auto* types = new CTDLEnumeration;
  types->setDescription("Types");
  auto* modes = new CTDLEnumeration;
  modes->setDescription("Modes");
  t.addEnumeration(types);
  t.addEnumeration(modes);
  EXPECT_EQ(t.getEnumeration("TYPES"), types);
  EXPECT_EQ(t.getEnumeration("modes"), modes);
  EXPECT_EQ(t.getEnumeration("Kinds"), nullptr);
  EXPECT_EQ(t.getCurrentEnumeration(), modes);
}

TEST(Template, PropertyByNameSearchesSelectCasesDepthFirst) {
  CTDLTemplate t;
  auto* sc = new CTDLSelectCase;
  auto* c = new CTDLCase;
  CTDLProperty* inner = property("\"Gain\"");
  c->addProperty(inner);
  sc->addCase(c);
  t.addProperty(property("\"Fref\""));
  t.addProperty(sc);
  t.addProperty(property("\"Gain\""));
  EXPECT_EQ(t.getPropertyByName("Gain"), inner);
  EXPECT_EQ(t.getPropertyByName("Fref"), t.m_properties[0]);
  EXPECT_EQ(t.getPropertyByName("Weight"), nullptr);
}

TEST(Template, CopySharesPropertiesWithTheSource) {
  CTDLTemplate source;
  source.addProperty(property("\"Gain\""));
  CTDLTemplate copy(source);
  copy.m_properties[0]->setBitWidth(12);
  EXPECT_EQ(source.m_properties[0]->getBitWidth(), 12);
  CTDLTemplate assigned;
  assigned = source;
  EXPECT_EQ(assigned.m_properties[0], source.m_properties[0]);
  // Only the source owns what they share.
  copy.m_properties.clear();
  copy.m_description = nullptr;
  assigned.m_properties.clear();
  assigned.m_description = nullptr;
}

TEST(SelectCase, IsBinaryUpToTwoCases) {
  CTDLSelectCase sc;
  EXPECT_EQ(sc.getPropertyType(), PT_SELECTCASE);
  const bool expected[] = {true, true, true, false};
  for (bool binary : expected) {
    EXPECT_EQ(sc.IsBinary(), binary) << sc.m_cases.size() << " cases";
    sc.addCase(new CTDLCase);
  }
}

TEST(SelectCase, CaseIsBinaryCaseFromThreeProperties) {
  CTDLCase c;
  CTDLProperty a, b, d;
  c.addProperty(&a);
  c.addProperty(&b);
  EXPECT_FALSE(c.IsBinaryCase());
  c.addProperty(&d);
  EXPECT_TRUE(c.IsBinaryCase());
  c.m_properties.clear();
}

TEST(SelectCase, LevelAndValues) {
  CTDLSelectCase sc;
  sc.SetSCCLevel(3);
  sc.setBitvalue(7);
  EXPECT_EQ(sc.GetSCCLevel(), 3);
  EXPECT_EQ(sc.m_bitValue, 7);
}

TEST(Enumeration, ValueOfAMissIsZeroLikeItemZero) {
  CTDLEnumeration e;
  char x[] = "x", y[] = "y";
  e.addEnumerate(x);
  e.addEnumerate(y);
  EXPECT_EQ(e.getNumberEnumerations(), 2);
  EXPECT_EQ(e.getEnumerate(1), y);
  EXPECT_EQ(e.getEnumerate(2), nullptr);
  EXPECT_EQ(e.getEnumerate(-1), nullptr);
  EXPECT_EQ(e.getEnumerateValue(reinterpret_cast<const unsigned char*>("Y")), 1);
  EXPECT_EQ(e.getEnumerateValue(reinterpret_cast<const unsigned char*>("x")), 0);
  EXPECT_EQ(e.getEnumerateValue(reinterpret_cast<const unsigned char*>("z")), 0);
}

struct AccessCase {
  const char* text;
  eAccessCode expected;
};

TEST(Property, AccessIsFixedForFragmentsOfCalOrId) {
  const AccessCase cases[] = {{"USR", ACCESS_USER}, {"CAL", ACCESS_FIXED}, {"ID", ACCESS_FIXED},
                              {"", ACCESS_FIXED},   {"A", ACCESS_FIXED},   {"D", ACCESS_FIXED},
                              {"cal", ACCESS_USER}, {"CALX", ACCESS_USER}, {nullptr, ACCESS_FIXED}};
  for (const AccessCase& c : cases) {
    CTDLProperty p;
    p.setAccess(c.text);
    EXPECT_EQ(p.getAccess(), c.expected) << (c.text ? c.text : "(null)");
  }
}

// The class keeps what the fixed/user access merges: ID and CAL stay apart.
TEST(Property, KeepsTheAccessClassBesideTheAccess) {
  const struct {
    const char* text;
    const char* expected;
  } cases[] = {{"ID", "ID"}, {"CAL", "CAL"}, {"USR", "USR"}, {"", ""}, {"cal", ""}, {nullptr, ""}};
  for (const auto& c : cases) {
    CTDLProperty p;
    p.setAccess(c.text);
    EXPECT_STREQ(p.getAccessClass(), c.expected) << (c.text ? c.text : "(null)");
  }
  CTDLProperty original;
  EXPECT_STREQ(original.getAccessClass(), "");
  original.setAccess("CAL");
  original.setBitWidth(12);
  const CTDLProperty copy(original);
  CTDLProperty assigned;
  assigned.setAccess("USR");
  assigned = original;
  EXPECT_STREQ(copy.getAccessClass(), "CAL");
  EXPECT_STREQ(assigned.getAccessClass(), "CAL");
  EXPECT_EQ(assigned.m_bitWidth, 12);
  EXPECT_EQ(assigned.getAccess(), ACCESS_FIXED);
  original.setAccess("ID");
  EXPECT_STREQ(original.getAccessClass(), "ID");
  EXPECT_STREQ(copy.getAccessClass(), "CAL");
}

// Enough objects for the classes to outgrow and then shrink their store, destroyed out of
// the order they were made: each keeps its own class to the end.
TEST(Property, ManyObjectsKeepTheirAccessClassesWhileOthersGo) {
  constexpr int kObjects = 2000;
  const char* const classes[] = {"ID", "CAL", "USR", ""};
  std::vector<std::unique_ptr<CTDLProperty>> objects;
  for (int i = 0; i < kObjects; ++i) {
    objects.push_back(std::make_unique<CTDLProperty>());
    objects.back()->setAccess(classes[i % 4]);
  }
  for (int i = 0; i < kObjects; i += 3) objects[static_cast<std::size_t>(i)].reset();
  for (int i = kObjects - 1; i >= 0; i -= 2) objects[static_cast<std::size_t>(i)].reset();
  int left = 0;
  for (int i = 0; i < kObjects; ++i) {
    if (const auto& p = objects[static_cast<std::size_t>(i)]) {
      ++left;
      EXPECT_STREQ(p->getAccessClass(), classes[i % 4]) << "object " << i;
    }
  }
  EXPECT_EQ(left, 666);
  for (auto& p : objects) p.reset();
  // Objects made where the old ones were start without a class.
  for (int i = 0; i < 100; ++i) EXPECT_STREQ(CTDLProperty().getAccessClass(), "");
  const auto fresh = std::make_unique<CTDLProperty>();
  EXPECT_STREQ(fresh->getAccessClass(), "");
}

TEST(Property, StartsEmptyAndCopiesWhatItIsGiven) {
  CTDLProperty p;
  EXPECT_FALSE(p.m_valueCleared);
  EXPECT_EQ(p.getBitWidth(), 0);
  EXPECT_EQ(p.m_dataDef.enumeration, nullptr);
  EXPECT_EQ(p.getDescription(), nullptr);
  EXPECT_EQ(p.getFormat(), nullptr);
  EXPECT_EQ(p.getUnits(), nullptr);
  EXPECT_EQ(p.getStructLabel(), nullptr);
  char text[] = "\"Gain\"";
  p.setDescription(text);
  p.setStructLabel("Gain");
  text[1] = 'X';
  EXPECT_STREQ(p.getDescription(), "\"Gain\"");
  EXPECT_STREQ(p.findStringForProperty(), "Gain");
}

TEST(Property, CopyAssignmentCopiesTheValueBuffers) {
  CTDLProperty a, b;
  a.m_value.i = 42;
  a.m_rawData[10239] = 0x5A;
  a.m_bitWidth = 9;
  b = a;
  EXPECT_EQ(b.m_value.i, 42);
  EXPECT_EQ(b.m_rawData[10239], 0x5A);
  EXPECT_EQ(b.m_bitWidth, 9);
}

// The engine reads these members directly: their layout must not drift.
TEST(Property, LayoutOfTheEngineFacingMembers) {
  EXPECT_EQ(offsetof(dUnion, enumeration), 0u);
  EXPECT_EQ(offsetof(dUnion, resolution), 8u);
  EXPECT_EQ(sizeof(CTDLProperty().m_rawData), 10240u);
  EXPECT_EQ(sizeof(CSCcontrol), 72u);
}

}  // namespace
