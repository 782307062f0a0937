// Helpers for the record file tests: records of every template kind, throw-away
// files, and the parts of a record that a file carries.
#ifndef TEDSKIT_TESTS_STORE_RECORD_FILE_FIXTURE_H
#define TEDSKIT_TESTS_STORE_RECORD_FILE_FIXTURE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../support/scratch_dir.h"
#include "tedskit/calden.h"
#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"
#include "tedskit/tedsinfo.hpp"

namespace storetest {

using tedskittest::InDirectory;
using tedskittest::ScratchDir;

inline const std::string kDataDir = std::string(TEDSKIT_SOURCE_DIR) + "/data";

inline std::unique_ptr<TaggedFieldArray> newTagged() {
  auto tagged = std::make_unique<TaggedFieldArray>();
  std::memset(tagged.get(), 0, sizeof *tagged);
  return tagged;
}

// A template laid out by the front end (description-engine and LMS templates).
inline std::unique_ptr<TaggedFieldArray> laidOut(int32_t kind, int32_t templateID,
                                                 int32_t manufacturerID = 0) {
  auto tagged = newTagged();
  tagged->kind = kind;
  EXPECT_EQ(0, QUILLON_SetTEDSTemplate(tagged.get(), kDataDir.c_str(), kind, templateID, manufacturerID));
  return tagged;
}

// A template of the V1.0 engine with the given select-case values. The engine lays a
// template other than its last one out by that template's first select-case row, so the
// values are set again for a second layout.
inline std::unique_ptr<TaggedFieldArray> laidOutV10(int32_t templateID, const sccontrolstruct& selectCases) {
  auto tagged = newTagged();
  EXPECT_EQ(0, DORVIA_SetTEDSV10SupportState(1));
  for (int pass = 0; pass < 2; ++pass) {
    setTemplateSCC(&selectCases);
    tagged->array.templateID = templateID;
    EXPECT_EQ(0, DORVIA_FormatTEDSV10FromTemplateOnly(&tagged->array));
  }
  DORVIA_SetTEDSV10SupportState(0);
  return tagged;
}

inline sccontrolstruct selectCases(std::vector<int32_t> values) {
  sccontrolstruct scc{};
  scc.count = static_cast<int32_t>(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) scc.values[i] = values[i];
  return scc;
}

// A value every item can hold and a file carries back unchanged, distinct per item.
inline void fillValues(TEDSTemplateFieldArrayStruct& array, int32_t manufacturerID) {
  for (int32_t i = 0; i < array.numItems; ++i) {
    TEDSTemplateFieldStruct& item = array.items[i];
    std::string value;
    switch (item.datatype) {
      case 1:
        value = std::to_string(manufacturerID);
        break;
      case 7:
        value = std::to_string(i % 4);
        break;
      case 201:
      case 202:
        value = std::to_string(i % 2);
        break;
      default:
        value = "v";
        value.append(std::to_string(i)).append(" x");
        break;
    }
    std::snprintf(item.value, sizeof item.value, "%s", value.c_str());
  }
}

// The MTS template laid out with the given select-case values by an engine loaded with
// the MTS template file (run from the data folder), marked as an MTS record (template
// ID 999) and filled.
inline std::unique_ptr<TEDSTemplateFieldArrayStruct> mtsRecord(const sccontrolstruct& scc) {
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  std::memset(array.get(), 0, sizeof *array);
  CTEDSInfo engine;
  EXPECT_EQ(0, engine.CreateTemplateStructure("MTS-SWIFT.tdl", 0, 0));
  engine.SetSCCObj(&scc);
  array->templateID = 199;
  EXPECT_EQ(0, engine.CreateTEDSTemplateFieldArrayStruct(array.get(), false));
  array->templateID = 999;
  fillValues(*array, 18);
  return array;
}

// What a record file carries of a record.
struct Carried {
  int32_t descriptor;
  int32_t channel;
  int32_t unit;
  int32_t templateID;
  std::vector<std::string> labels, values, units;

  bool operator==(const Carried&) const = default;
};

inline void PrintTo(const Carried& c, std::ostream* os) {
  *os << "descriptor " << c.descriptor << " channel " << c.channel << " unit " << c.unit << " template "
      << c.templateID << " items";
  for (std::size_t i = 0; i < c.labels.size(); ++i)
    *os << " [" << c.labels[i] << "=" << c.values[i] << " " << c.units[i] << "]";
}

inline Carried carried(int32_t descriptor, int32_t channel, int32_t unit,
                       const TEDSTemplateFieldArrayStruct& array) {
  Carried c{descriptor, channel, unit, array.templateID, {}, {}, {}};
  for (int32_t i = 0; i < array.numItems; ++i) {
    c.labels.emplace_back(array.items[i].label);
    c.values.emplace_back(array.items[i].value);
    c.units.emplace_back(array.items[i].units);
  }
  return c;
}

inline std::vector<Carried> storedRecords(int32_t handle) {
  std::vector<Carried> records;
  auto array = std::make_unique<TEDSTemplateFieldArrayStruct>();
  for (int32_t i = 0; i < GetNumberOfSavedItems(handle); ++i) {
    int32_t descriptor = 0, channel = 0, unit = 0;
    EXPECT_EQ(0, RetrieveTedsData(handle, i, array.get(), &descriptor, &channel, &unit));
    records.push_back(carried(descriptor, channel, unit, *array));
  }
  return records;
}

inline std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

inline int32_t save(int32_t handle, const std::string& path, int32_t append = 0, int32_t v10 = 0,
                    sccontrolstruct scc = {}) {
  return SaveTEDSReadToFile(handle, path.c_str(), append, kDataDir.c_str(), v10, scc);
}

inline int32_t read(int32_t handle, const std::string& path) {
  return ReadTEDSDataFromFile(handle, path.c_str(), kDataDir.c_str(), nullptr, nullptr);
}

}  // namespace storetest

#endif
