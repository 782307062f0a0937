// A small description template that uses every field type, and images for it.
#ifndef TEDSKIT_TESTS_ENGINE_PROBE_FIXTURE_H
#define TEDSKIT_TESTS_ENGINE_PROBE_FIXTURE_H

#include <string>

#include "engine_test_support.h"

namespace enginetest {

inline const char* kProbeTemplate =
    "Template Probe, test fixture\n"
    "abstract For the engine tests.\n"
    "crc8\n"
    "\"Manufacturer\",\"RO\",\"14\",\"Manufacturer\"\n"
    "\"Model number\",\"RO\",\"15\",\"UNINT\", \"00000\"\n"
    "\"Version letter\",\"RO\",\"5\",\"Chr5\"\n"
    "\"Version number\",\"RO\",\"6\",\"UNINT\", \"00\"\n"
    "\"Serial no.\",\"RO\",\"24\",\"UNINT\", \"00000000\"\n"
    "selector 2, 0\n"
    "selector 8, 5\n"
    "\"Day\",\"RW\",\"16\",\"DATE\"\n"
    "\"Initial\",\"RW\",\"5\",\"Chr5\"\n"
    "\"Step\",\"RW\",\"4\",\"ConRes\", 0, 0.5, \"0.0\", \"V\"\n"
    "\"Gain\",\"RW\",\"8\",\"ConRelRes\", 1, 0.5, 2, \"0.00\", \"dB\"\n"
    "\"Axis\",\"RW\",\"2\",\"Direction\"\n"
    "spacing\n"
    "align\n"
    "\"Note\",\"RW\",\"8\",\"ASCII\"\n"
    "EndTemplate\n";

struct ProbeValues {
  uint64_t day = 1095;
  uint64_t initial = 1;
  uint64_t step = 3;
  uint64_t gain = 2;
  uint64_t axis = 3;
  std::string note = "Hi";
};

inline ImageBuilder probeImage(const ProbeValues& v = {}) {
  ImageBuilder image = ImageBuilder::withHeader(5);
  image.put(16, v.day).put(5, v.initial).put(4, v.step).put(8, v.gain).put(2, v.axis).alignByte();
  for (char c : v.note) image.put(8, static_cast<uint8_t>(c));
  return image.checksum();
}

// The form text the engine gives for probeImage() with the default values.
inline const char* kProbeForm =
    "Template Probe, test fixture\n"
    "abstract For the engine tests.\n"
    "crc8\n"
    "\"Manufacturer\",\"RO\",\"14\",\"Manufacturer\",DATA,18\n"
    "\"Model number\",\"RO\",\"15\",\"UNINT\", \"00000\",DATA,4507\n"
    "\"Version letter\",\"RO\",\"5\",\"Chr5\",DATA,B\n"
    "\"Version number\",\"RO\",\"6\",\"UNINT\", \"00\",DATA,2\n"
    "\"Serial no.\",\"RO\",\"24\",\"UNINT\", \"00000000\",DATA,1048601\n"
    "selector 2, 0\n"
    "selector 8, 5\n"
    "\"Day\",\"RW\",\"16\",\"DATE\",DATA,12/31/2000\n"
    "\"Initial\",\"RW\",\"5\",\"Chr5\",DATA,A\n"
    "\"Step\",\"RW\",\"4\",\"ConRes\",0.000000e+00,5.000000e-01, \"0.0\", \"V\",DATA,1.5000000000\n"
    "\"Gain\",\"RW\",\"8\",\"ConRelRes\",1.000000,0.500000,2.000000, \"0.00\", \"dB\",DATA,"
    "6.0000000000\n"
    "\"Axis\",\"RW\",\"2\",\"Direction\",DATA,3\n"
    "spacing\n"
    "align\n"
    "\"Note\",\"RW\",\"8\",\"ASCII\",DATA,\"Hi\"\n"
    "EndTemplate";

// A scratch template directory whose "TemplateDescription.txt" holds the probe.
class ProbeDir : public ScratchDir {
 public:
  ProbeDir() { write("TemplateDescription.txt", kProbeTemplate); }
};

struct Decoded {
  int32_t result = 0;
  int32_t valid = -1;
  std::string form;
  bool hasForm = false;
};

inline Decoded decodeHex(const std::string& dir, const std::string& memory,
                         const std::string& appRegister = kAppRegisterHex) {
  Decoded out;
  const char* form = "unchanged";
  out.result = DORVIA_DecodeRawTEDSToTemplateForm(dir.c_str(), memory.c_str(), appRegister.c_str(), 0, &form,
                                                  &out.valid);
  out.hasForm = form != nullptr;
  if (form != nullptr) out.form = form;
  return out;
}

}  // namespace enginetest

#endif  // TEDSKIT_TESTS_ENGINE_PROBE_FIXTURE_H
