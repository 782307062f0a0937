// Encoding a field array into both images, and one sensor's whole road through the
// exports: decode, convert to a field array, edit a field, convert back, encode.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <memory>
#include <string>

#include "tedskit/dorvia.h"
#include "tedskit/tedsinfo.hpp"

namespace {

struct Images {
  std::array<uint8_t, 8> appreg{};
  std::array<uint8_t, kTedsMemorySize> memory{};
};

std::unique_ptr<TEDSTemplateFieldArrayStruct> newArray() {
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), 0, sizeof *array);
  return array;
}

// A field array for the template with the given ID, its values filled in and its
// select cases on the given values.
void fillArray(CTEDSInfo& info, TEDSTemplateFieldArrayStruct& array, int32_t templateID,
               const sccontrolstruct& scc) {
  info.SetSCCObj(&scc);
  array.templateID = templateID;
  info.CreateTEDSTemplateFieldArrayStruct(&array, false);
  const std::pair<const char*, const char*> values[] = {
      {"Serial no.", "123456"},      {"Model number", "42"},           {"Version letter", "B"},
      {"Cal Period", "365"},         {"Calibration date", "3/1/2020"}, {"Cal Initials", "ABC"},
      {"Meas. position ID", "17"},   {"Sensitivity @ Fref", "0.01"},   {"Sensitivity direction (x,y,z)", "z"},
      {"Min physical value", "1.5"}, {"User data (ascii)", "bench"}};
  for (auto [label, text] : values) DORVIA_SetTEDSDataToTemplateFieldArray(&array, label, 5, text);
}

void BM_EncodeFieldArray(benchmark::State& state) {
  CTEDSInfo info;
  info.CreateTemplateStructure((std::string(TEDSKIT_SOURCE_DIR) + "/data/ieee_temp_v10.tdl").c_str(), 0, 0);
  auto array = newArray();
  const auto templateID = static_cast<int32_t>(state.range(0));
  fillArray(info, *array, templateID, sccontrolstruct{3, 0, {1, 0, 1}});
  Images out;
  for (auto _ : state) {
    benchmark::DoNotOptimize(info.CreateFromTEDSTemplateFieldArrayStruct(array.get()));
    info.getAppregData(out.appreg.data());
    info.getMemoryData(out.memory.data());
    benchmark::DoNotOptimize(out.memory.data());
  }
}
BENCHMARK(BM_EncodeFieldArray)->Arg(25)->Arg(33);

void BM_DecodeEditEncodeCycle(benchmark::State& state) {
  char previous[4096];
  if (getcwd(previous, sizeof previous) == nullptr ||
      chdir((std::string(TEDSKIT_SOURCE_DIR) + "/data").c_str()) != 0 ||
      DORVIA_SetTEDSV10SupportState(1) != 0 || chdir(previous) != 0) {
    state.SkipWithError("V1.0 engine not started");
    return;
  }
  // The sensor's image: template 25, made once by the engine itself.
  auto array = newArray();
  fillArray(*gTedsinfoptr, *array, 25, sccontrolstruct{3, 0, {1, 0, 1}});
  DORVIA_FormatTEDSV10FromFieldArray(array.get());
  Images sensor;
  getV10APPandMemory(sensor.appreg.data(), sensor.memory.data());

  int32_t period = 0;
  for (auto _ : state) {
    const char* form = nullptr;
    int32_t valid = 0;
    DORVIA_DecodeRawTEDSToTemplateForm("", sensor.memory.data(), sensor.appreg.data(), 1, &form, &valid);
    DORVIA_ConvertTemplateFormTEDSToTemplateFieldArray(form, array.get(), 1);
    const std::string text = std::to_string(period++ & 0xFFF);
    DORVIA_SetTEDSDataToTemplateFieldArray(array.get(), "Cal Period", 5, text.c_str());
    char none[1];
    DORVIA_ConvertTemplateFieldArrayTEDSToTemplateForm(array.get(), none, sizeof none);
    const char* image = nullptr;
    benchmark::DoNotOptimize(DORVIA_EncodeTemplateFormToRawTEDS(none, &image, 1));
    benchmark::DoNotOptimize(image);
  }
  DORVIA_SetTEDSV10SupportState(0);
}
BENCHMARK(BM_DecodeEditEncodeCycle);

}  // namespace
