// The plain Python decoder in bench/ that the engine is timed against must read the same
// values from the same images, or the comparison measures nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "tedskit/dorvia.h"

namespace {

const std::string kSource = TEDSKIT_SOURCE_DIR;

struct Example {
  std::string memory;
  std::string appRegister;
};

Example example(const std::string& name) {
  std::ifstream in(kSource + "/examples/" + name);
  Example read;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    (read.memory.empty() ? read.memory : read.appRegister) = line;
  }
  return read;
}

// "label<TAB>value" for every field line of a form text.
std::string fieldsOfForm(const std::string& form) {
  std::istringstream lines(form);
  std::string out;
  std::string line;
  while (std::getline(lines, line)) {
    const std::size_t data = line.rfind(",DATA,");
    if (line.empty() || line[0] != '"' || data == std::string::npos) continue;
    out += line.substr(1, line.find('"', 1) - 1) + '\t' + line.substr(data + 6) + '\n';
  }
  return out;
}

std::string pythonFields(const std::string& hex) {
  const std::string command = "/usr/bin/python3 " + kSource + "/bench/description_decoder.py " + kSource +
                              "/data/TemplateDescription.txt " + hex;
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string out;
  char buffer[4096];
  for (std::size_t n; pipe && (n = std::fread(buffer, 1, sizeof buffer, pipe.get())) > 0;)
    out.append(buffer, n);
  return out;
}

TEST(PythonDecoder, ReadsTheEngineValuesFromEachBundledImage) {
  for (const char* name : {"accelerometer.hex", "microphone.hex", "loadcell.hex"}) {
    SCOPED_TRACE(name);
    const Example image = example(name);
    const char* form = nullptr;
    int32_t valid = 0;
    ASSERT_EQ(DORVIA_DecodeRawTEDSToTemplateForm((kSource + "/data").c_str(), image.memory.c_str(),
                                                 image.appRegister.c_str(), 0, &form, &valid),
              0);
    const std::string engine = fieldsOfForm(form);
    ASSERT_FALSE(engine.empty());
    EXPECT_EQ(pythonFields(image.memory), engine);
  }
}

}  // namespace
