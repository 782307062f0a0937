// No export of any library lets an exception out. Every export is called again and again
// while one allocation fails, the first one on the first call, the second on the next and
// so on, until a call runs through without reaching the failing allocation; an exception
// that leaves the export fails the test with the export's name.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"
#include "tedskit/calden.h"
#include "tedskit/dorvia.h"
#include "tedskit/ferrun.h"
#include "tedskit/orlin.h"
#include "tedskit/owbus.h"
#include "tedskit/pellam.h"
#include "tedskit/quillon.h"

namespace {

// Allocations left before the one that fails; below zero none fails.
long gAllocationsBeforeFailure = -1;
bool gFailed = false;

bool failThisAllocation() {
  if (gAllocationsBeforeFailure < 0) return false;
  if (gAllocationsBeforeFailure-- > 0) return false;
  gFailed = true;
  return true;
}

void* allocate(std::size_t size) {
  if (failThisAllocation()) throw std::bad_alloc();
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t alignment) {
  if (failThisAllocation()) throw std::bad_alloc();
  const auto align = static_cast<std::size_t>(alignment);
  if (void* p = std::aligned_alloc(align, (size + align - 1) / align * align)) return p;
  throw std::bad_alloc();
}

}  // namespace

// The replacements must be seen by the libraries too, whatever visibility the build
// gives the test's own symbols.
#define REPLACEMENT __attribute__((visibility("default")))

REPLACEMENT void* operator new(std::size_t size) { return allocate(size); }
REPLACEMENT void* operator new[](std::size_t size) { return allocate(size); }
REPLACEMENT void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return failThisAllocation() ? nullptr : std::malloc(size == 0 ? 1 : size);
}
REPLACEMENT void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
REPLACEMENT void* operator new(std::size_t size, std::align_val_t alignment) {
  return allocateAligned(size, alignment);
}
REPLACEMENT void* operator new[](std::size_t size, std::align_val_t alignment) {
  return allocateAligned(size, alignment);
}
REPLACEMENT void operator delete(void* p) noexcept { std::free(p); }
REPLACEMENT void operator delete[](void* p) noexcept { std::free(p); }
REPLACEMENT void operator delete(void* p, std::size_t) noexcept { std::free(p); }
REPLACEMENT void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
REPLACEMENT void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
REPLACEMENT void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
REPLACEMENT void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
REPLACEMENT void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

namespace fs = std::filesystem;

struct Export {
  const char* name;
  std::function<void()> call;
};

// Calls an export with the n-th allocation failing, for every n the call reaches.
void callWhileAllocationsFail(const Export& e) {
  for (long n = 0;; ++n) {
    gFailed = false;
    gAllocationsBeforeFailure = n;
    bool escaped = false;
    try {
      e.call();
    } catch (...) {
      escaped = true;
    }
    gAllocationsBeforeFailure = -1;
    EXPECT_FALSE(escaped) << e.name << " let an exception out when allocation " << n << " failed";
    if (!gFailed || escaped) return;
  }
}

// The data directory as the current one, so that the V1.0 engine finds its templates;
// a scratch directory beside it for files the exports write.
class Boundary : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::copy_file(fs::path(TEDSKIT_SOURCE_DIR) / "examples" / "sensor.bus", scratch("sensor.bus"));
  }
  std::string scratch(const char* name) const { return scratch_.file(name); }

  tedskittest::ScratchDir scratch_{"tedskit-boundary"};
  tedskittest::InDirectory inData_{fs::path(TEDSKIT_SOURCE_DIR) / "data"};
};

constexpr char kMemory[] = "2D12C066440819001000EC041A89C9426793D5160C0042524B542D37000000000000000000000000";
constexpr char kRegister[] = "12C0664408190010";

TEST_F(Boundary, NoExportLetsAnExceptionOut) {
  const std::string dir = (fs::path(TEDSKIT_SOURCE_DIR) / "data").string();
  const char* data = dir.c_str();
  auto tagged = std::make_unique<TaggedFieldArray>();
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  const char* form = nullptr;
  int32_t valid = 0;
  ASSERT_EQ(QUILLON_DecodeRAWTedsToTemplateForm(data, kMemory, kRegister, 0, &form, &valid, 0), 0);
  const std::string formText = form;
  ASSERT_EQ(QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(formText.c_str(), tagged.get(), 1), 0);
  ASSERT_EQ(DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(formText.c_str(), array.get(), 1), 0);
  const std::string bus = "sim:" + scratch("sensor.bus");
  const std::string records = scratch("records.txt");
  // Every text an export is given is made here: a call's own allocations must be the
  // export's.
  const std::string description = dir + "/TemplateDescription.txt";
  // A small template file: every parse of it is repeated once per allocation it makes.
  const std::string tdl = (fs::path(TEDSKIT_SOURCE_DIR) / "data" / "MTS-SWIFT.tdl").string();
  const int32_t handle = CreateNewStoredDataStruct();
  ASSERT_GE(handle, 0);

  char text[8192];
  const char* out = nullptr;
  int32_t number = 0, other = 0, third = 0;
  IDNameNode* first = nullptr;
  std::vector<uint8_t> image(2568, 0), reg(8, 0), lms(PELLAM_IMAGE_SIZE, 0);
  std::vector<int32_t> flags(FERRUN_PAGE_FLAGS, 0);
  std::vector<unsigned char> state(OWBUS_STATE_BUFFER_SIZE, 0);
  int16_t rom[8] = {};
  sccontrolstruct scc{};
  owbus_adapter_info adapter{};
  long trafficEvents = 0;
  const owbus_traffic_sink countEvents = [](void* context, const owbus_traffic*) {
    ++*static_cast<long*>(context);
  };
  const float sensitivity = 1.5f;
  char caseDescription[256], case0[256], case1[256];

  const Export exports[] = {
      // orlin
      {"orlin", [&] { orlin(tdl.c_str()); }},
      {"getTDLCollection", [&] { getTDLCollection(); }},
      // pellam
      {"PELLAM_DecodeFreeTEDS", [&] { PELLAM_DecodeFreeTEDS(lms.data()); }},
      {"PELLAM_EncodeFreeTEDS", [&] { PELLAM_EncodeFreeTEDS(lms.data()); }},
      {"PELLAM_FillFieldArrayStructWithFree", [&] { PELLAM_FillFieldArrayStructWithFree(array.get(), 1); }},
      {"PELLAM_ReadFreeFieldArrayStruct", [&] { PELLAM_ReadFreeFieldArrayStruct(array.get()); }},
      {"PELLAM_DecodeGeometryLMSTeds", [&] { PELLAM_DecodeGeometryLMSTeds(lms.data()); }},
      {"PELLAM_EncodeGeometryTEDS", [&] { PELLAM_EncodeGeometryTEDS(lms.data()); }},
      {"PELLAM_FillFieldArrayStructWithGeometry",
       [&] { PELLAM_FillFieldArrayStructWithGeometry(array.get(), 1); }},
      {"PELLAM_ReadGeometryFieldArrayStruct", [&] { PELLAM_ReadGeometryFieldArrayStruct(array.get()); }},
      // dorvia: description engine, form text, field arrays and accessors
      {"DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray",
       [&] { DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(formText.c_str(), array.get(), 1); }},
      {"DORVIA_DecodeRawTEDSToTemplateForm",
       [&] { DORVIA_DecodeRawTEDSToTemplateForm(data, kMemory, kRegister, 0, &out, &valid); }},
      {"DORVIA_EncodeTemplateFormToRawTEDS",
       [&] { DORVIA_EncodeTemplateFormToRawTEDS(formText.c_str(), &out, 0); }},
      {"DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm",
       [&] { DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), text, sizeof text); }},
      {"DORVIA_SetTEDSFieldArrayStructToTemplate",
       [&] { DORVIA_SetTEDSFieldArrayStructToTemplate(description.c_str(), 0, 0, 0, array.get()); }},
      {"DORVIA_GetIndexFromTemplateFieldArray",
       [&] { DORVIA_GetIndexFromTemplateFieldArray(array.get(), "Serial no."); }},
      {"DORVIA_GetTEDSDataFromTemplateFieldArray",
       [&] {
         DORVIA_GetTEDSDataFromTemplateFieldArray(array.get(), "Serial no.", DORVIA_VALUE_TEXT, text, 64);
       }},
      {"DORVIA_SetTEDSDataToTemplateFieldArray",
       [&] { DORVIA_SetTEDSDataToTemplateFieldArray(array.get(), "Serial no.", DORVIA_VALUE_TEXT, "4711"); }},
      {"DORVIA_GetTEDSTemplateName", [&] { DORVIA_GetTEDSTemplateName(array.get(), text, 64); }},
      {"DORVIA_GetTEDSTemplateIndex", [&] { DORVIA_GetTEDSTemplateIndex(array.get()); }},
      {"DORVIA_GetTEDSAbstractStr", [&] { DORVIA_GetTEDSAbstractStr(array.get(), text, 64); }},
      {"DORVIA_GetTEDSManufacturerIndex", [&] { DORVIA_GetTEDSManufacturerIndex(array.get()); }},
      {"DORVIA_GetTEDSManufacturerStr", [&] { DORVIA_GetTEDSManufacturerStr(array.get(), data, text, 64); }},
      {"DORVIA_ConvertTEDSManufactureIndexToString",
       [&] { DORVIA_ConvertTEDSManufactureIndexToString(data, 19, text, 64); }},
      {"DORVIA_SetTEDSManufacturerIndex", [&] { DORVIA_SetTEDSManufacturerIndex(array.get(), 19); }},
      {"DORVIA_SetTEDSManufacturerStr", [&] { DORVIA_SetTEDSManufacturerStr(array.get(), data, "Unknown"); }},
      {"DORVIA_GetTEDSModelNumberStr", [&] { DORVIA_GetTEDSModelNumberStr(array.get(), text, 64); }},
      {"DORVIA_GetTEDSVersionLetterStr", [&] { DORVIA_GetTEDSVersionLetterStr(array.get(), text, 64); }},
      {"DORVIA_GetTEDSVersionNumberStr", [&] { DORVIA_GetTEDSVersionNumberStr(array.get(), text, 64); }},
      {"DORVIA_GetTEDSSerialNumberStr", [&] { DORVIA_GetTEDSSerialNumberStr(array.get(), text, 64); }},
      {"DORVIA_GetTEDSCalibrationDateStr", [&] { DORVIA_GetTEDSCalibrationDateStr(array.get(), text, 64); }},
      {"DORVIA_GetTEDSSensitivityStr", [&] { DORVIA_GetTEDSSensitivityStr(array.get(), text, 64); }},
      {"DORVIA_GetTEDSUserDataStr", [&] { DORVIA_GetTEDSUserDataStr(array.get(), text, 64); }},
      {"DORVIA_GetTEDSModelStr", [&] { DORVIA_GetTEDSModelStr(array.get(), '-', text, 64); }},
      {"DORVIA_SetTEDSModelNumberStr", [&] { DORVIA_SetTEDSModelNumberStr(array.get(), "2201"); }},
      {"DORVIA_SetTEDSVersionLetterStr", [&] { DORVIA_SetTEDSVersionLetterStr(array.get(), "B"); }},
      {"DORVIA_SetTEDSVersionNumberStr", [&] { DORVIA_SetTEDSVersionNumberStr(array.get(), "2"); }},
      {"DORVIA_SetTEDSSerialNumberStr", [&] { DORVIA_SetTEDSSerialNumberStr(array.get(), "101010"); }},
      {"DORVIA_SetTEDSCalibrationDateStr",
       [&] { DORVIA_SetTEDSCalibrationDateStr(array.get(), "3/1/2020"); }},
      {"DORVIA_SetTEDSSensitivityStr", [&] { DORVIA_SetTEDSSensitivityStr(array.get(), "0.01"); }},
      {"DORVIA_SetTEDSUserDataStr", [&] { DORVIA_SetTEDSUserDataStr(array.get(), "BRKT-7"); }},
      {"DORVIA_SetTEDSModelStr", [&] { DORVIA_SetTEDSModelStr(array.get(), "2201-B-2"); }},
      {"DORVIA_GetTEDSCalibrationDateTimeT", [&] { DORVIA_GetTEDSCalibrationDateTimeT(array.get()); }},
      {"DORVIA_SetTEDSCalibrationDateTimeT",
       [&] { DORVIA_SetTEDSCalibrationDateTimeT(array.get(), 1600000000); }},
      {"DORVIA_GetTEDSSensitivity", [&] { DORVIA_GetTEDSSensitivity(array.get()); }},
      {"DORVIA_GetTEDSFreqReference", [&] { DORVIA_GetTEDSFreqReference(array.get()); }},
      {"DORVIA_GetTEDSFreqHPElectrical", [&] { DORVIA_GetTEDSFreqHPElectrical(array.get()); }},
      {"DORVIA_GetTEDSSensitivityDirection", [&] { DORVIA_GetTEDSSensitivityDirection(array.get()); }},
      {"DORVIA_GetTEDSPhaseInversionID", [&] { DORVIA_GetTEDSPhaseInversionID(array.get()); }},
      {"DORVIA_GetTEDSMeasPosID", [&] { DORVIA_GetTEDSMeasPosID(array.get()); }},
      {"DORVIA_SetTEDSSensitivity", [&] { DORVIA_SetTEDSSensitivity(array.get(), sensitivity); }},
      {"DORVIA_SetTEDSFreqReference", [&] { DORVIA_SetTEDSFreqReference(array.get(), 100.0f); }},
      {"DORVIA_SetTEDSFreqHPElectrical", [&] { DORVIA_SetTEDSFreqHPElectrical(array.get(), 1.0f); }},
      {"DORVIA_SetTEDSSensitivityDirection", [&] { DORVIA_SetTEDSSensitivityDirection(array.get(), 1); }},
      {"DORVIA_SetTEDSPhaseInversionID", [&] { DORVIA_SetTEDSPhaseInversionID(array.get(), 0); }},
      {"DORVIA_SetTEDSMeasPosID", [&] { DORVIA_SetTEDSMeasPosID(array.get(), 3); }},
      // dorvia: the V1.0 engine
      {"initTEDSV10Support", [&] { initTEDSV10Support(); }},
      {"DORVIA_SetTEDSV10SupportState", [&] { DORVIA_SetTEDSV10SupportState(1); }},
      {"getTEDSCurrentFormat", [&] { getTEDSCurrentFormat(); }},
      {"setOldFilenameForV10", [&] { setOldFilenameForV10(description.c_str()); }},
      {"setV10APPandMemory", [&] { setV10APPandMemory(reg.data(), image.data()); }},
      {"getV10APPandMemory", [&] { getV10APPandMemory(reg.data(), image.data()); }},
      {"DORVIA_FormatTEDSV10FromTemplateOnly",
       [&] {
         array->templateID = 25;
         DORVIA_FormatTEDSV10FromTemplateOnly(array.get());
       }},
      {"DORVIA_FormatTEDSV10FromFieldArray", [&] { DORVIA_FormatTEDSV10FromFieldArray(array.get()); }},
      {"DORVIA_FormatTEDSV10FromRaw", [&] { DORVIA_FormatTEDSV10FromRaw(array.get()); }},
      {"getCurrentTemplates", [&] { getCurrentTemplates(); }},
      {"getTemplateItem", [&] { getTemplateItem(0, text, &number); }},
      {"DORVIA_GetAlternateTemplate", [&] { DORVIA_GetAlternateTemplate(3); }},
      {"DORVIA_SetTemplateState", [&] { DORVIA_SetTemplateState(5, 0); }},
      {"getTemplateSCC", [&] { getTemplateSCC(&scc); }},
      {"setTemplateSCC", [&] { setTemplateSCC(&scc); }},
      {"getSCCStructure", [&] { getSCCStructure(); }},
      {"getSCCData", [&] { getSCCData(0, caseDescription, case0, case1); }},
      {"DORVIA_getEnumerationCount", [&] { DORVIA_getEnumerationCount(6); }},
      {"DORVIA_getIndexedEnumeration", [&] { DORVIA_getIndexedEnumeration(6, 0); }},
      {"DORVIA_getEnumerationDescription", [&] { DORVIA_getEnumerationDescription(6); }},
      // quillon, in both engine states
      {"QUILLON_SetTEDSV10SupportState", [&] { QUILLON_SetTEDSV10SupportState(1); }},
      {"QUILLON_getEnumerationCount", [&] { QUILLON_getEnumerationCount(6); }},
      {"QUILLON_getIndexedEnumeration", [&] { QUILLON_getIndexedEnumeration(6, 0); }},
      {"QUILLON_getEnumerationDescription", [&] { QUILLON_getEnumerationDescription(6); }},
      {"QUILLON_GetTemplateIDNames (V1.0)", [&] { QUILLON_GetTemplateIDNames(data, 0, 0, &first); }},
      {"back to the description engine", [&] { QUILLON_SetTEDSV10SupportState(0); }},
      {"QUILLON_DecodeRAWTedsToTemplateForm",
       [&] { QUILLON_DecodeRAWTedsToTemplateForm(data, kMemory, kRegister, 0, &out, &valid, 0); }},
      {"QUILLON_EncodeTemplateFormToRawTEDS",
       [&] { QUILLON_EncodeTemplateFormToRawTEDS("LMS Free", &out, 0); }},
      {"QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray",
       [&] { QUILLON_ConvertTemplateFormTEDSToTemplateFieldArray(formText.c_str(), tagged.get(), 1); }},
      {"QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm",
       [&] { QUILLON_ConvertTemplateFieldArrayTEDSToTemplateForm(tagged.get(), text, sizeof text); }},
      {"QUILLON_SetTEDSTemplate", [&] { QUILLON_SetTEDSTemplate(tagged.get(), data, 0, 0, 0); }},
      {"QUILLON_GetTemplateIDNames", [&] { QUILLON_GetTemplateIDNames(data, 0, 0, &first); }},
      {"QUILLON_GetManufacturerNameLookupTable",
       [&] { QUILLON_GetManufacturerNameLookupTable(data, &first); }},
      {"QUILLON_ConvertTEDSManufactureIndexToString",
       [&] { QUILLON_ConvertTEDSManufactureIndexToString(data, 19, text, 64); }},
      {"QUILLON_GetTEDSManufacturerStr",
       [&] { QUILLON_GetTEDSManufacturerStr(tagged.get(), data, text, 64); }},
      {"QUILLON_GetTEDSTemplateName", [&] { QUILLON_GetTEDSTemplateName(tagged.get(), text, 64); }},
      {"QUILLON_SetTEDSUserDataStr", [&] { QUILLON_SetTEDSUserDataStr(tagged.get(), "BRKT-7"); }},
      // calden
      {"CreateNewStoredDataStruct", [&] { CreateNewStoredDataStruct(); }},
      {"Calden", [&] { Calden(handle, 0, &tagged->array, 1, 1); }},
      {"RetrieveTedsData", [&] { RetrieveTedsData(handle, 0, array.get(), &number, &other, &third); }},
      {"GetNumberOfSavedItems", [&] { GetNumberOfSavedItems(handle); }},
      {"ChangeDelimiter", [&] { ChangeDelimiter(';'); }},
      {"GetErrorCodeString", [&] { GetErrorCodeString(-1, text, 64); }},
      {"SaveTEDSReadToFile", [&] { SaveTEDSReadToFile(handle, records.c_str(), 0, data, 0, scc); }},
      {"ReadTEDSDataFromFile",
       [&] { ReadTEDSDataFromFile(handle, records.c_str(), data, nullptr, nullptr); }},
      {"ClearStoredTedsDataStruct", [&] { ClearStoredTedsDataStruct(handle); }},
      // owbus and ferrun, on a copy of the bundled sensor's bus
      {"owbus_configure", [&] { owbus_configure(bus.c_str()); }},
      {"owbus_last_error", [&] { owbus_last_error(); }},
      {"owbus_sleep_ms", [&] { owbus_sleep_ms(1); }},
      {"owbus_bus_time_us", [&] { owbus_bus_time_us(); }},
      {"owbus_transactions", [&] { owbus_transactions(); }},
      {"owbus_reset_counters", [&] { owbus_reset_counters(); }},
      {"owbus_last_port", [&] { owbus_last_port(&rom[0], &rom[1]); }},
      {"owbus_set_fault", [&] { owbus_set_fault(0, 0, 0); }},
      {"owbus_clear_faults", [&] { owbus_clear_faults(); }},
      {"owbus_set_programming_waits", [&] { owbus_set_programming_waits(OWBUS_WAITS_DATASHEET); }},
      {"owbus_programming_waits", [&] { owbus_programming_waits(); }},
      {"owbus_set_traffic_sink", [&] { owbus_set_traffic_sink(countEvents, &trafficEvents); }},
      {"stdcdll_OpenCom", [&] { stdcdll_OpenCom(1); }},
      {"stdcdll_triax_enabled", [&] { stdcdll_triax_enabled(); }},
      {"stdcdll_read_family", [&] { stdcdll_read_family(&number); }},
      {"stdcdll_read_appreg", [&] { stdcdll_read_appreg(reg.data(), &number); }},
      {"stdcdll_read_memory",
       [&] { stdcdll_read_memory(reg.data(), image.data(), &number, flags.data(), 0); }},
      {"stdcdll_read_memory_extended",
       [&] { stdcdll_read_memory_extended(reg.data(), image.data(), &number, flags.data(), &other, 0); }},
      {"stdcdll_write_memory", [&] { stdcdll_write_memory(image.data(), 0, 0); }},
      {"stdcdll_write_appreg", [&] { stdcdll_write_appreg(reg.data()); }},
      {"stdcdll_write_v1_memory", [&] { stdcdll_write_v1_memory(image.data()); }},
      {"stdcdll_ds2406_channel", [&] { stdcdll_ds2406_channel(1); }},
      {"stdcdll_CloseCom", [&] { stdcdll_CloseCom(); }},
      {"TMExtendedStartSession", [&] { number = TMExtendedStartSession(1, 5, nullptr); }},
      {"TMSetup", [&] { TMSetup(number); }},
      {"owbus_get_adapter_info", [&] { owbus_get_adapter_info(&adapter); }},
      {"owbus_adapter_description", [&] { owbus_adapter_description(); }},
      {"TMValidSession", [&] { TMValidSession(number); }},
      {"TMTouchReset", [&] { TMTouchReset(number); }},
      {"TMTouchByte", [&] { TMTouchByte(number, 0xFF); }},
      {"TMBlockStream", [&] { TMBlockStream(number, reg.data(), 8); }},
      {"TMFamilySearchSetup", [&] { TMFamilySearchSetup(number, state.data(), 0x2D); }},
      {"TMNext", [&] { TMNext(number, state.data()); }},
      {"TMRom", [&] { TMRom(number, state.data(), rom); }},
      {"TMAccess", [&] { TMAccess(number, state.data()); }},
      {"TMCRC", [&] { TMCRC(8, reg.data(), 0, OWBUS_CRC16); }},
      {"TMClose", [&] { TMClose(number); }},
      {"TMEndSession", [&] { TMEndSession(number); }},
      {"owbus_set_traffic_sink (none)", [&] { owbus_set_traffic_sink(nullptr, nullptr); }},
  };
  for (const Export& e : exports) callWhileAllocationsFail(e);
}

}  // namespace
