// Helpers for tests that parse TDL text through orlin().
#ifndef TEDSKIT_TESTS_TDL_TDL_TEST_UTIL_H
#define TEDSKIT_TESTS_TDL_TDL_TEST_UTIL_H

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"
#include "tedskit/orlin.hpp"

namespace tdltest {

inline std::string fixture(const std::string& name) {
  return std::string(TEDSKIT_TEST_DIR) + "/fixtures/" + name;
}

// A TDL file holding text, in a scratch directory removed when the object goes.
class TempTdl {
 public:
  explicit TempTdl(const std::string& text) { dir_.write("template.tdl", text); }
  std::string path() const { return dir_.file("template.tdl"); }

 private:
  tedskittest::ScratchDir dir_{"orlin"};
};

// The result of one orlin() call: its code, what it wrote to stderr and the collection.
struct Parsed {
  int32_t result = 0;
  std::string errors;
  CTDLTemplateCollection* collection = nullptr;

  CTDLTemplate& tmpl(std::size_t i) const { return *collection->m_templates.at(i); }
};

inline Parsed parseFile(const std::string& path) {
  Parsed p;
  ::testing::internal::CaptureStderr();
  p.result = orlin(path.c_str());
  p.errors = ::testing::internal::GetCapturedStderr();
  p.collection = getTDLCollection();
  return p;
}

inline Parsed parseText(const std::string& text) {
  TempTdl file(text);
  return parseFile(file.path());
}

// A one-template file around the given statements.
inline std::string inTemplate(const std::string& statements) {
  return "TEMPLATE 0, 8, 25, \"T\"\n" + statements + "ENDTEMPLATE\nVALIDATION_KEYCODE 1\n";
}

inline std::string str(const char* s) { return s == nullptr ? std::string("(null)") : std::string(s); }

inline CTDLSelectCase& asSelectCase(CTDLProperty* p) {
  EXPECT_EQ(p->getPropertyType(), PT_SELECTCASE);
  return *static_cast<CTDLSelectCase*>(p);
}

}  // namespace tdltest

#endif
