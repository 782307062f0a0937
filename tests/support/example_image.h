// Reading the examples/*.hex files, shared by the test suites that decode them.
#ifndef TEDSKIT_TESTS_SUPPORT_EXAMPLE_IMAGE_H
#define TEDSKIT_TESTS_SUPPORT_EXAMPLE_IMAGE_H

#include <fstream>
#include <string>

namespace tedskittest {

// The memory and application register lines of an example file.
struct ExampleImage {
  std::string memory;
  std::string appRegister;
};

// The first two lines of an example file that are neither empty nor comments.
inline ExampleImage readExample(const std::string& name) {
  std::ifstream in(std::string(TEDSKIT_SOURCE_DIR) + "/examples/" + name);
  ExampleImage image;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    (image.memory.empty() ? image.memory : image.appRegister) = line;
    if (!image.appRegister.empty()) break;
  }
  return image;
}

}  // namespace tedskittest

#endif  // TEDSKIT_TESTS_SUPPORT_EXAMPLE_IMAGE_H
