// Helpers for the encoding and V1.0 tests: images made field by field from a loaded
// template with random but valid values, and where each field landed.
#ifndef TEDSKIT_TESTS_ENGINE_V10_FIXTURE_H
#define TEDSKIT_TESTS_ENGINE_V10_FIXTURE_H

#include <array>
#include <cstdint>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine_fixture.h"
#include "tedskit/orlin.hpp"

namespace engine_test {

inline std::string dataPath(const char* name) { return std::string(TEDSKIT_SOURCE_DIR) + "/data/" + name; }

struct FieldSpot {
  int position;
  int width;
};

// The checksum byte: the 8 register bytes and memory bytes 0 to 31 sum to 0 mod 256.
inline void setChecksum(const std::array<uint8_t, 8>& appreg, std::vector<uint8_t>& memory) {
  unsigned sum = 0;
  for (uint8_t b : appreg) sum += b;
  for (size_t i = 1; i < 32; ++i) sum += memory[i];
  memory[0] = static_cast<uint8_t>((256 - sum % 256) % 256);
}

// Walks a template the way a decoder does and writes a value every decoder can read
// back exactly: a case that exists for each select case, an enumerate that exists,
// exactly representable singles, and user data as marked 7-bit text.
class ImageGenerator {
 public:
  // forced: the case of the n-th select case met, where given; the others are random.
  ImageGenerator(const CTDLTemplate& tdl, uint32_t seed, uint32_t selector, uint32_t storedID,
                 std::map<size_t, uint32_t> forced = {})
      : tdl_(tdl), rng_(seed), image_(storedID, selector), forced_(std::move(forced)) {
    for (int i = 0; i < 8; ++i) appreg_[static_cast<size_t>(i)] = static_cast<uint8_t>(rng_());
    image_.at(18);
    for (CTDLProperty* p : tdl_.m_properties) property(p);
    setChecksum(appreg_, image_.memory());
  }

  const std::array<uint8_t, 8>& appreg() const { return appreg_; }
  std::vector<uint8_t>& memory() { return image_.memory(); }
  const std::map<std::string, FieldSpot>& spots() const { return spots_; }
  const std::vector<int32_t>& selectCaseValues() const { return selectCaseValues_; }
  // The number of cases of each select case met, in order.
  const std::vector<uint32_t>& caseCounts() const { return caseCounts_; }

 private:
  uint32_t random(uint32_t below) { return below == 0 ? 0 : static_cast<uint32_t>(rng_() % below); }

  bool userChosen(CTDLSelectCase* sc) const {
    static const std::set<int32_t> kUserChosen = {30, 31, 32, 33, 34, 37, 39};
    return kUserChosen.count(tdl_.m_templateID) != 0 && !sc->IsBinary();
  }

  void property(CTDLProperty* p) {
    if (p->getPropertyType() == PT_SELECTCASE) {
      auto* sc = static_cast<CTDLSelectCase*>(p);
      const auto count = static_cast<uint32_t>(sc->m_cases.size());
      const auto at = forced_.find(caseCounts_.size());
      const uint32_t v = at != forced_.end() && at->second < count ? at->second : random(count);
      caseCounts_.push_back(count);
      selectCaseValues_.push_back(static_cast<int32_t>(v));
      image_.put(v, sc->getBitWidth());
      for (CTDLProperty* inner : sc->m_cases[v]->m_properties) {
        if (userChosen(sc)) {
          plainField(inner);
        } else {
          property(inner);
        }
      }
      return;
    }
    if (p->getBitWidth() == -1) {
      std::string text;
      for (uint32_t n = random(12); n > 0; --n) text += static_cast<char>('A' + random(26));
      image_.putUserText(text);
      return;
    }
    plainField(p);
  }

  void plainField(CTDLProperty* p) {
    const int width = p->getBitWidth();
    spots_.emplace(p->findStringForProperty(), FieldSpot{image_.cursor(), width});
    const int type = p->getPropertyType();
    const bool carriesNoValue = type == PT_MEASURAND || (type >= PT_TYPE_5 && type != PT_TYPE_SINGLE);
    if (p->m_dataType == DT_SINGLE) {
      static const float kSingles[] = {0.0f, 1.5f, -273.25f, 1000.0f, 0.125f, 12345.5f, -0.0625f};
      image_.putFloat(kSingles[random(7)]);
    } else if (p->m_dataType == DT_ENUMERATION) {
      const int32_t count = p->m_dataDef.enumeration ? p->m_dataDef.enumeration->getNumberEnumerations() : 1;
      image_.put(random(static_cast<uint32_t>(count)), width);
    } else if (carriesNoValue && !inUserChosenCase(p)) {
      image_.put(0, width);  // these items carry no value through the array
    } else {
      image_.put(rng_() & ((1ull << std::min(width, 30)) - 1), width);
    }
  }

  // Properties of a user-chosen case travel by data type, whatever their label.
  bool inUserChosenCase(CTDLProperty* p) const {
    for (CTDLProperty* top : tdl_.m_properties) {
      if (top->getPropertyType() != PT_SELECTCASE || !userChosen(static_cast<CTDLSelectCase*>(top))) continue;
      for (CTDLCase* c : static_cast<CTDLSelectCase*>(top)->m_cases) {
        for (CTDLProperty* q : c->m_properties) {
          if (q == p) return true;
        }
      }
    }
    return false;
  }

  const CTDLTemplate& tdl_;
  std::mt19937 rng_;
  ImageBuilder image_;
  std::array<uint8_t, 8> appreg_{};
  std::map<std::string, FieldSpot> spots_;
  std::vector<int32_t> selectCaseValues_;
  std::map<size_t, uint32_t> forced_;
  std::vector<uint32_t> caseCounts_;
};

}  // namespace engine_test

#endif
