// The soundness checks: each broken image shows exactly its own finding, and a sound TEDS
// of every shipped template shows none.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "check.h"
#include "document.h"
#include "engine.h"
#include "image.h"
#include "ted_file.h"
#include "value_check.h"
#include "base/chip_image.h"

namespace teds {
namespace {

const std::filesystem::path kTemplates = TEDSKIT_SOURCE_DIR "/data";
const int64_t kOn = dayOfText("test day", "2026-12-10");

TedsImage layoutImage(const TemplateChoice& choice) {
  Engine engine(kTemplates);
  Teds teds = engine.layout(choice);
  return engine.encode(teds);
}

// A TEDS of the template with every value a sound sensor would hold: a real manufacturer,
// ranges from low to high, a calibration period.
TedsImage soundImage(const TemplateChoice& choice) {
  Document document(kTemplates, layoutImage(choice), choice.v10);
  document.set("Manufacturer", std::to_string(choice.kind == 1 ? choice.manufacturerId : 18));
  for (const auto& field : document.fields()) {
    const FieldModel& model = field.model;
    if (model.label.find("Cal") != std::string::npos && model.label.find("eriod") != std::string::npos) {
      document.set(model.label, "365");
    }
  }
  for (std::size_t i = 0; i < document.fields().size(); ++i) {
    const FieldModel low = document.fields()[i].model;
    if (!low.label.starts_with("Min")) continue;
    const int high = document.indexOf("Max" + low.label.substr(3));
    if (high < 0) continue;
    const FieldModel& top = document.fields()[static_cast<std::size_t>(high)].model;
    if (top.bitWidth == 0) continue;  // a constant range
    const double middle = low.scale == NumberScale::Single ? 100 : top.minimum + (top.maximum - top.minimum) / 2;
    document.set(top.label, formatNumber(top, middle, false));
  }
  return document.image();
}

std::vector<std::string> codesOf(const CheckResult& result) {
  std::vector<std::string> codes;
  for (const auto& finding : result.findings) codes.push_back(finding.code);
  return codes;
}

std::vector<std::string> codesOf(const TedsImage& image, bool v10) {
  return codesOf(checkDocument(Document(kTemplates, image, v10), kOn));
}

// Sets the bits of a field to ones, found where two values of the field differ.
TedsImage withFieldAllOnes(Document& document, const std::string& label, const std::string& a,
                           const std::string& b) {
  document.set(label, a);
  const TedsImage first = document.image();
  document.set(label, b);
  TedsImage image = document.image();
  const int width = document.fields()[static_cast<std::size_t>(document.indexOf(label))].model.bitWidth;
  image.body.resize(std::max(image.body.size(), first.body.size()), 0);
  for (std::size_t bit = 0; bit < image.body.size() * 8; ++bit) {
    const bool one = (image.body[bit / 8] >> (bit % 8)) & 1;
    const bool other = bit / 8 < first.body.size() && ((first.body[bit / 8] >> (bit % 8)) & 1);
    if (one == other) continue;
    for (std::size_t at = bit; at < bit + static_cast<std::size_t>(width); ++at) {
      image.body[at / 8] = static_cast<uint8_t>(image.body[at / 8] | (1u << (at % 8)));
    }
    break;
  }
  return image;
}

// An image of the first shipped template with a plain enumeration whose bits leave codes
// unused, holding such a code; and whether that template is provisional.
std::pair<TedsImage, bool> enumerationOutOfItsChoices() {
  for (int id = 25; id <= 39; ++id) {
    if (id == 29) continue;
    Document document(kTemplates, soundImage({0, id, 0, true}), true);
    std::vector<FieldModel> models;
    for (const auto& field : document.fields()) models.push_back(field.model);
    for (const auto& model : models) {
      if (model.kind != ValueKind::Enumeration || model.choices.size() < 2 ||
          model.choices.size() >= (std::size_t{1} << model.bitWidth))
        continue;
      TedsImage image;
      try {
        image = withFieldAllOnes(document, model.label, model.choices[0], model.choices[1]);
      } catch (const ValueRefused&) {
        continue;  // a select case the layout keeps as it is
      }
      try {
        Document broken(kTemplates, image, true);
        const int at = broken.indexOf(model.label);
        if (at >= 0 && broken.fields()[static_cast<std::size_t>(at)].value.text.empty())
          return {image, id != 25};
      } catch (const Failure&) {
        // a select case: its unused codes leave no layout
      }
    }
  }
  ADD_FAILURE() << "no shipped template has an enumeration with unused codes";
  return {};
}

const TemplateChoice kAccelerometer{0, 0, 0, false};
const TemplateChoice kTemplate25{0, 25, 0, true};

TEST(Check, ASoundTedsOfEveryShippedTemplateHasNoFinding) {
  std::vector<TemplateChoice> choices = {kAccelerometer, {0, 12, 0, false}, {0, 24, 0, false}, {1, 3, 17, false},
                                         kTemplate25};
  for (int id = 26; id <= 39; ++id) {
    if (id != 29) choices.push_back({0, id, 0, true});
  }
  for (const auto& choice : choices) {
    SCOPED_TRACE("template " + std::to_string(choice.templateId));
    const TedsImage sound = soundImage(choice);
    const Document document(kTemplates, sound, choice.v10);
    // As the tool writes it out and reads it back: text drops trailing zeros, a virtual
    // TEDS file its trailing zero bits, and neither may then look cut short.
    for (const TedsImage& image : {sound, parseImage(formatImage(sound)),
                                   fromTedFile(tedFile(sound, tedStreamBits(document)))}) {
      const CheckResult result = checkDocument(Document(kTemplates, image, choice.v10), kOn);
      std::vector<std::string> codes = codesOf(result);
      std::erase(codes, "provisional");  // a property of the shipped layout, not of the TEDS
      EXPECT_EQ(codes, std::vector<std::string>{}) << (result.findings.empty() ? "" : result.findings[0].message);
    }
  }
}

TEST(Check, EachBrokenTedsShowsItsOwnFindingOnly) {
  struct Case {
    const char* name;
    TedsImage image;
    bool v10;
    std::vector<std::string> codes;
  };
  std::vector<Case> cases;
  {
    TedsImage image = soundImage(kAccelerometer);
    image.checksumOk = false;
    cases.push_back({"checksum", image, false, {"checksum"}});
  }
  {
    TedsImage image = parseImage(formatImage(soundImage(kAccelerometer)));
    image.applicationRegister->at(7) ^= 0x01;
    cases.push_back({"application register", image, false, {"register"}});
  }
  for (const char* id : {"0", "16", "16382"}) {
    Document document(kTemplates, soundImage(kAccelerometer), false);
    document.set("Manufacturer", id);
    cases.push_back({"reserved manufacturer", document.image(), false, {"manufacturer"}});
  }
  // The accelerometer example cut after 20 bytes, its checksum made to fit what is left.
  cases.push_back({"cut short", parseImage("memory: D012C066440819001000EC041A89C9426793D516\n"), false, {"short"}});
  {
    Document document(kTemplates, soundImage(kAccelerometer), false);
    document.set("Meas. position ID", "2047");
    cases.push_back({"not defined", document.image(), false, {"not-defined"}});
  }
  {
    Document document(kTemplates, soundImage(kAccelerometer), false);
    document.set("Calibration date", "2027-01-01");
    cases.push_back({"future date", document.image(), false, {"date"}});
  }
  {
    Document document(kTemplates, soundImage(kTemplate25), true);
    document.set("Cal Period", "0");
    cases.push_back({"period 0", document.image(), true, {"period"}});
  }
  {
    Document document(kTemplates, soundImage({0, 30, 0, true}), true);
    document.set("Min physical value", "500");
    cases.push_back({"minimum above maximum", document.image(), true, {"provisional", "range"}});
  }
  {
    const auto [image, provisional] = enumerationOutOfItsChoices();
    cases.push_back({"enumeration", image, true, {"enumeration"}});
    if (provisional) cases.back().codes.insert(cases.back().codes.begin(), "provisional");
  }
  {
    // Every bit of template 30's physical measurand set: no select case takes 63.
    Document document(kTemplates, soundImage({0, 30, 0, true}), true);
    TedsImage image = document.image();
    image.body.at(1) |= 0xFC;
    EXPECT_THROW(Document(kTemplates, image, true), Failure);
  }
  for (const auto& test : cases) {
    SCOPED_TRACE(test.name);
    EXPECT_EQ(codesOf(test.image, test.v10), test.codes);
  }
}

TEST(Check, FieldsPastTheEndOfTheChip) {
  // Template 38's data takes more than the 31 bytes a DS2430A holds after the register.
  const TedsImage sound = soundImage({0, 38, 0, true});
  ASSERT_GT(sound.usedBodySize(), tedskit::base::kLockedDs2430aRoom);
  const auto locked = tedskit::base::lockedDs2430aImage(sound.basic, sound.body);
  const TedsImage cut = fromChipContents(tedskit::base::contentsOfLockedDs2430a(
      std::span<const uint8_t, 8>(locked.data(), 8), std::span<const uint8_t, 32>(locked.data() + 8, 32)));
  struct Case {
    const char* name;
    const TedsImage& image;
    bool pastEnd;
  };
  for (const Case& test : {Case{"on the DS2430A", cut, true}, Case{"as a file", sound, false}}) {
    const auto codes = codesOf(checkDocument(Document(kTemplates, test.image, true), kOn));
    EXPECT_EQ(std::find(codes.begin(), codes.end(), "past-end") != codes.end(), test.pastEnd) << test.name;
  }
}

TEST(Check, CalibrationStateAgainstTheDay) {
  Document document(kTemplates, soundImage(kTemplate25), true);
  document.set("Calibration date", "2026-01-15");
  struct Case {
    const char* on;
    int64_t daysLeft;
    const char* text;
  };
  for (const Case& test : {Case{"2026-12-10", 36, "due in 36 days"}, Case{"2027-01-15", 0, "due today"},
                           Case{"2027-01-16", -1, "overdue by 1 day"}}) {
    const CheckResult result = checkDocument(document, dayOfText("--on", test.on));
    ASSERT_TRUE(result.calibration);
    EXPECT_EQ(isoDate(result.calibration->dueDay), "2027-01-15");
    EXPECT_EQ(result.calibration->daysLeft, test.daysLeft) << test.on;
    EXPECT_EQ(dueText(result.calibration->daysLeft), test.text);
  }
  EXPECT_THROW(dayOfText("--on", "2026-02-30"), ValueRefused);
}

}  // namespace
}  // namespace teds
