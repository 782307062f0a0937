#include "engine.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <new>
#include <optional>
#include <type_traits>
#include <vector>

#include "base/fixed_meanings.h"
#include "base/scratch_dir.h"
#include "base/template_notes.h"
#include "failure.h"
#include "capture.h"
#include "tedskit/dorvia.h"
#include "tedskit/orlin.hpp"
#include "tedskit/tedsinfo.hpp"
#include "tedskit/quillon.h"
#include "latin1.h"
#include "template_files.h"

namespace teds {
namespace {

namespace fs = std::filesystem;

// Form texts hold at most 256 rows of 256 bytes, plus the abstract.
constexpr std::size_t kFormTextSize = 1 << 18;
constexpr std::size_t kDescriptionImageSize = 128;
constexpr std::size_t kV10ExchangeSize = 2560;
constexpr std::size_t kLmsImageSize = 32;
// The field array begins with the five Basic TEDS rows.
constexpr int kBasicTedsItems = 5;

// The V1.0 templates file is opened relative to the working directory: load it from the
// template directory and come back.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const fs::path& dir) {
    std::error_code error;
    previous_ = fs::current_path(error);
    fs::current_path(dir, error);
    if (error) throw Failure("cannot enter " + dir.string() + ": " + error.message());
  }
  ~WorkingDirectory() {
    std::error_code error;
    fs::current_path(previous_, error);
  }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  fs::path previous_;
};

// A link to a file under another name, in a scratch directory of its own, removed with it.
tedskit::base::ScratchDir scratchLink(const fs::path& target, const std::string& name) {
  auto made = tedskit::base::ScratchDir::make("teds-tdl");
  if (!made) throw Failure("cannot make a scratch folder for " + target.string());
  std::error_code error;
  fs::create_symlink(target, made->path() / name, error);
  if (error) throw Failure("cannot link " + target.string() + ": " + error.message());
  return std::move(*made);
}

bool allDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
  });
}

// An enumeration field holds the number of its enumerate; it may be given as the
// enumerate's text (any letter case) or as that number.
std::string enumerateValue(int fieldIndex, const std::string& value, const std::string& label) {
  const int count = QUILLON_getEnumerationCount(fieldIndex);
  if (count <= 0) return value;
  std::string choices;
  for (int i = 0; i < count; ++i) {
    const std::string item = QUILLON_getIndexedEnumeration(fieldIndex, i);
    if (equalsIgnoreCase(item, value) || (allDigits(value) && value.size() < 6 && std::stoi(value) == i)) {
      return std::to_string(i);
    }
    choices += (i == 0 ? "" : ", ") + latin1ToUtf8(item);
  }
  throw Failure("\"" + latin1ToUtf8(value) + "\" is not a value of \"" + label +
                "\"; choose one of: " + choices);
}

// A select case the user chooses: the engine's table lists it without case texts. The
// encoder takes its case by the case's text, not its number.
bool isUserChosenSelectCase(const std::string& latinLabel) {
  const int rows = getSCCStructure();
  for (int i = 0; i < rows; ++i) {
    std::array<char, 256> description{}, case0{}, case1{};
    if (getSCCData(i, description.data(), case0.data(), case1.data()) != 0) break;
    if (latinLabel == description.data() && case0[0] == '\0' && case1[0] == '\0') return true;
  }
  return false;
}

// An enumeration whose property the encoder takes by its enumerate's text (as it shows
// it after a decode), not by the enumerate's number: the number would be read as no
// enumerate and the field left at its first one.
bool takesEnumerateText(int fieldIndex) {
  if (gTedsinfoptr == nullptr) return false;
  CTDLProperty* property = gTedsinfoptr->getPropertyByIndex(fieldIndex - kBasicTedsItems);
  return property != nullptr && property->getPropertyType() != PT_SELECTCASE &&
         property->m_dataType == DT_ENUMERATION && property->getPropertyDatatype() == MD_ENUMERATION;
}

// What the engine printed, to go with a failure message.
std::string engineSaid(CapturedOutput& output) {
  const std::string text = trim(output.finish());
  return text.empty() ? std::string{} : " (" + latin1ToUtf8(text) + ")";
}

// Standard output caught while an engine works on a TEDS. Only the description engine
// prints; the TDL engine says nothing, and catching a stream costs more than one of its
// decodes.
std::optional<CapturedOutput> quietUnlessV10(bool v10) {
  if (v10) return std::nullopt;
  return std::optional<CapturedOutput>(std::in_place, STDOUT_FILENO);
}

std::string engineSaid(std::optional<CapturedOutput>& output) { return output ? engineSaid(*output) : std::string{}; }

// The access classes of the fields the TDL engine just laid out: the Basic TEDS
// identifies the sensor; every other field has the class its property was given.
std::vector<std::string> v10AccessClasses(const TEDSTemplateFieldArrayStruct& array) {
  const int count = std::clamp(array.numItems, 0, TEDS_MAX_ITEMS);
  std::vector<std::string> classes(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (i < kBasicTedsItems) {
      classes[static_cast<std::size_t>(i)] = "ID";
    } else if (CTDLProperty* property =
                   gTedsinfoptr != nullptr ? gTedsinfoptr->getPropertyByIndex(i - kBasicTedsItems) : nullptr) {
      classes[static_cast<std::size_t>(i)] = property->getAccessClass();
    }
  }
  return classes;
}

}  // namespace

std::string enumerateText(const Teds& teds, int fieldIndex) {
  const auto& item = teds.fields->array.items[fieldIndex];
  if (teds.engine != EngineKind::V10 || fieldIndex < 5 || !allDigits(item.value) ||
      std::strlen(item.value) > 5) {
    return {};
  }
  const int index = std::stoi(item.value);
  if (index >= QUILLON_getEnumerationCount(fieldIndex)) return {};
  const char* text = QUILLON_getIndexedEnumeration(fieldIndex, index);
  return text != nullptr ? latin1ToUtf8(text) : std::string{};
}

void FieldArrayRelease::operator()(TaggedFieldArray* array) const noexcept { std::free(array); }

static_assert(std::is_trivially_default_constructible_v<TaggedFieldArray> &&
                  std::is_trivially_destructible_v<TaggedFieldArray>,
              "the field array is a plain C record");

FieldArrayPtr newFieldArray() {
  // A C record with no constructor: zeroed storage is a zeroed array.
  auto* array = static_cast<TaggedFieldArray*>(std::calloc(1, sizeof(TaggedFieldArray)));
  if (array == nullptr) throw std::bad_alloc();
  return FieldArrayPtr(array);
}

const char* engineName(EngineKind engine) {
  switch (engine) {
    case EngineKind::V10:
      return "TDL";
    case EngineKind::Lms:
      return "LMS";
    case EngineKind::Description:
      break;
  }
  return "description";
}

Engine::Engine(fs::path templatesDir) : dir_(std::move(templatesDir)), dirText_(dir_.string()) {}

namespace {

// The engine looks templates up in the collection it loaded first, which holds the
// standard templates only; the MTS template (ID 199, stored on the chip as selector 1 with
// ID 4) joins it from its own file, so MTS chips decode and encode like the others. The
// reader keeps every template it made until the process ends, so the collections may
// share one.
void joinMtsTemplate(const fs::path& templatesDir, std::string& loadFault) {
  CTDLTemplateCollection* standard =
      gTedsinfoptr != nullptr ? gTedsinfoptr->GetTemplateCollection(0) : nullptr;
  if (standard == nullptr || standard->findTemplate(tedskit::base::kMtsTemplate) != nullptr) return;
  const fs::path file = mtsTemplateFile(templatesDir);
  if (file.empty()) return;
  CapturedOutput parser(STDERR_FILENO);
  const int32_t parsed = orlin(file.c_str());
  const std::string printed = parser.finish();
  if (!trim(printed).empty()) {
    QUILLON_SetTEDSV10SupportState(0);
    loadFault = tdlFault(file, printed);
    throw Failure(loadFault);
  }
  CTDLTemplateCollection* mts = getTDLCollection();
  if (parsed != ORLIN_OK || mts == nullptr || mts->m_templates.empty()) return;
  CTDLTemplate* tmpl = mts->m_templates.front();
  tmpl->m_firstNumber = 0;
  tmpl->m_templateID = tedskit::base::kMtsTemplate;
  standard->m_templates.push_back(tmpl);
}

}  // namespace

void Engine::enterV10() {
  if (getTEDSCurrentFormat() == 1) return;
  // The engine reads its file once per process: a file that did not parse stays refused.
  static std::string loadFault;
  if (!loadFault.empty()) throw Failure(loadFault);
  const fs::path file = v10TemplateFile(dir_);
  CapturedOutput quiet(STDOUT_FILENO);
  CapturedOutput parser(STDERR_FILENO);
  int32_t result = 0;
  {
    // The engine opens its file by name in the working directory; a file of another
    // name is reached through a link of that name in a scratch folder.
    std::optional<tedskit::base::ScratchDir> link;
    if (file.filename() != kV10TemplateFileName) link.emplace(scratchLink(fs::absolute(file), kV10TemplateFileName));
    WorkingDirectory inTemplates(link ? link->path() : file.parent_path());
    result = QUILLON_SetTEDSV10SupportState(1);
  }
  const std::string printed = parser.finish();
  if (!trim(printed).empty()) {
    QUILLON_SetTEDSV10SupportState(0);
    loadFault = tdlFault(file, printed);
    throw Failure(loadFault);
  }
  if (result < 0 || getCurrentTemplates() <= 0) {
    QUILLON_SetTEDSV10SupportState(0);
    throw Failure("cannot load the V1.0 templates from " + file.string() + engineSaid(quiet));
  }
  joinMtsTemplate(dir_, loadFault);
}

void Engine::leaveV10() {
  if (getTEDSCurrentFormat() != 0) QUILLON_SetTEDSV10SupportState(0);
}

MissingTemplate::MissingTemplate(int id)
    : std::runtime_error(tedskit::base::missingTemplateNote(id)), templateId(id) {}

namespace {

bool v10TemplateLoaded(int templateId) {
  char name[256];
  int32_t id = -1;
  for (int32_t i = 0; i < getCurrentTemplates(); ++i) {
    if (getTemplateItem(i, name, &id) == 0 && id == templateId) return true;
  }
  return false;
}

}  // namespace

Teds Engine::decode(const TedsImage& image, bool forceV10) {
  // Switched before the output is caught: loading the templates reports on its own.
  if (forceV10 || (image.wantsV10Engine() && !image.isLms())) enterV10();
  const bool lms = image.isLms() && !forceV10;
  auto quiet = quietUnlessV10(!lms && (forceV10 || image.wantsV10Engine()));
  Teds teds;
  const char* form = nullptr;
  int32_t valid = 0;
  int32_t result = 0;
  if (lms) {
    leaveV10();
    teds.engine = EngineKind::Lms;
    const auto memory = lmsMemory(image);
    result = QUILLON_DecodeRAWTedsToTemplateForm(dirText_.c_str(), memory.data(), image.basic.data(), 1,
                                                 &form, &valid, 1);
  } else if (forceV10 || image.wantsV10Engine()) {
    teds.engine = EngineKind::V10;
    // Never a layout of another template: a standard template we do not hold is named.
    if (image.selector() == tedskit::base::kStandardSelector && !v10TemplateLoaded(image.templateId())) {
      leaveV10();
      throw MissingTemplate(image.templateId());
    }
    const auto memory = v10Memory(image);
    result = QUILLON_DecodeRAWTedsToTemplateForm(dirText_.c_str(), memory.data(), image.basic.data(), 1,
                                                 &form, &valid, 0);
  } else {
    leaveV10();
    const auto memory = memoryImage(image, kEngineMemorySize);
    result = QUILLON_DecodeRAWTedsToTemplateForm(dirText_.c_str(), memory.data(), image.basic.data(), 1,
                                                 &form, &valid, 0);
  }
  const std::string what = "template " + std::to_string(image.templateId()) + " (selector " +
                           std::to_string(image.selector()) + ")";
  if (result < 0 || valid == 0) {
    throw Failure("cannot decode the image: no " + std::string(engineName(teds.engine)) + " template for " +
                  what + engineSaid(quiet));
  }
  teds.formText = form != nullptr ? form : "";
  const int32_t converted =
      QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(teds.formText.c_str(), teds.fields.get(), 1);
  // The LMS fills answer with the LMS state's selector and leave the marker alone.
  const bool filled = teds.engine == EngineKind::Lms
                          ? converted >= 0
                          : converted == 0 && teds.fields->array.validMarker == TEDS_FIELD_ARRAY_VALID;
  if (!filled) {
    throw Failure("cannot decode the image with " + what + ": " + describeCode(converted) +
                  engineSaid(quiet));
  }
  if (teds.engine == EngineKind::V10) {
    teds.formText.clear();
    teds.accessClasses = v10AccessClasses(teds.fields->array);
  }
  return teds;
}

Teds Engine::layout(const TemplateChoice& choice) {
  if (choice.v10 && choice.kind != 3) enterV10();
  auto quiet = quietUnlessV10(choice.v10 && choice.kind != 3);
  Teds teds;
  auto& tagged = *teds.fields;
  int32_t result = 0;
  if (choice.kind == 3) {
    leaveV10();
    teds.engine = EngineKind::Lms;
    result = QUILLON_SetTEDSTemplate(&tagged, dirText_.c_str(), 3, choice.templateId, 0);
  } else if (choice.v10) {
    teds.engine = EngineKind::V10;
    tagged.array.templateID = choice.templateId;
    result = DORVIA_FormatTEDSV10FromTemplateOnly(&tagged.array);
  } else {
    leaveV10();
    result = QUILLON_SetTEDSTemplate(&tagged, dirText_.c_str(), choice.kind, choice.templateId,
                                     choice.manufacturerId);
  }
  const bool filled = teds.engine == EngineKind::Lms
                          ? result >= 0
                          : result == 0 && tagged.array.validMarker == TEDS_FIELD_ARRAY_VALID;
  if (!filled) {
    std::string which = "template " + std::to_string(choice.templateId);
    if (choice.kind == 1) which += " of manufacturer " + std::to_string(choice.manufacturerId);
    throw Failure("no " + std::string(engineName(teds.engine)) + " " + which + " in " + dirText_ +
                  engineSaid(quiet));
  }
  tagged.kind = choice.v10 ? 0 : choice.kind;
  if (teds.engine == EngineKind::V10) teds.accessClasses = v10AccessClasses(tagged.array);
  if (choice.kind == 1) DORVIA_SetTEDSManufacturerIndex(&tagged.array, choice.manufacturerId);
  return teds;
}

void Engine::setField(Teds& teds, const std::string& label, const std::string& value) {
  auto& array = teds.fields->array;
  const std::string latinLabel = utf8ToLatin1(label);
  std::string latinValue = utf8ToLatin1(value);
  const int index = DORVIA_GetIndexFromTemplateFieldArray(&array, latinLabel.c_str());
  if (index < 0 || index >= array.numItems) {
    std::string labels;
    for (int i = 0; i < std::min(array.numItems, TEDS_MAX_ITEMS); ++i) {
      labels += (i == 0 ? "\"" : ", \"") + latin1ToUtf8(array.items[i].label) + "\"";
    }
    throw Failure("no field labelled \"" + label + "\" in template \"" + latin1ToUtf8(array.templateName) +
                  "\"; its fields are " + labels);
  }
  if (latinValue.size() >= TEDS_VALUE_SIZE) {
    throw Failure("the value of \"" + label + "\" is longer than " + std::to_string(TEDS_VALUE_SIZE - 1) +
                  " characters");
  }
  const auto& item = array.items[index];
  int32_t result = 0;
  if (item.datatype == TEDS_DT_MANUFACTURER && !allDigits(latinValue)) {
    result = DORVIA_SetTEDSManufacturerStr(&array, dirText_.c_str(), latinValue.c_str());
    if (result < 0) throw Failure("unknown manufacturer \"" + value + "\" (see teds manufacturers)");
    return;
  }
  if (teds.engine == EngineKind::V10 && index >= 5) {
    latinValue = enumerateValue(index, latinValue, label);
    if (allDigits(latinValue) && (isUserChosenSelectCase(latinLabel) || takesEnumerateText(index))) {
      const char* text = QUILLON_getIndexedEnumeration(index, std::stoi(latinValue));
      latinValue = text != nullptr ? text : latinValue;
    }
  }
  result = DORVIA_SetTEDSDataToTemplateFieldArray(&array, latinLabel.c_str(), DORVIA_VALUE_TEXT,
                                                  latinValue.c_str());
  if (result < 0) throw Failure("cannot set \"" + label + "\": " + describeCode(result));
}

TedsImage Engine::encode(Teds& teds) {
  if (teds.engine == EngineKind::V10) {
    enterV10();
  } else {
    leaveV10();
  }
  auto quiet = quietUnlessV10(teds.engine == EngineKind::V10);
  std::vector<char> text(kFormTextSize, '\0');
  const int32_t converted = QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(
      teds.fields.get(), text.data(), static_cast<int32_t>(text.size()));
  if (converted != 0 && teds.engine != EngineKind::Lms) {
    throw Failure("cannot encode the fields: " + describeCode(converted) + engineSaid(quiet));
  }
  const char* out = nullptr;
  const int32_t encoded = QUILLON_EncodeTemplateFormToRawTEDS(text.data(), &out, 1);
  if (out == nullptr || encoded < 0)
    throw Failure("cannot encode the fields: " + describeCode(encoded) + engineSaid(quiet));
  const auto* bytes = reinterpret_cast<const uint8_t*>(out);
  switch (teds.engine) {
    case EngineKind::V10:
      return fromV10Images(std::span(bytes, 8), std::span(bytes + 8, kV10ExchangeSize - 8));
    case EngineKind::Lms:
      return fromLmsImage(std::span(bytes, kLmsImageSize));
    case EngineKind::Description:
      break;
  }
  return fromMemoryImage(std::span(bytes, kDescriptionImageSize));
}

std::string Engine::formText(const Teds& teds) const {
  // The TDL engine decodes straight into the field array: its arrays carry no form
  // lines for the conversion to fill in.
  if (teds.engine == EngineKind::V10) {
    throw Failure("the V1.0 (TDL) engine has no template form text for template " +
                  std::to_string(teds.fields->array.templateID) + "; use the table or --json");
  }
  return teds.formText;
}

TedsImage freshImage(Engine& engine, const TemplateChoice& choice) {
  Teds teds = engine.layout(choice);
  if (choice.v10) teds = engine.decode(engine.encode(teds), true);
  return engine.encode(teds);
}

}  // namespace teds
