#include "access_class.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace orlin_detail {
namespace {

enum class AccessClass : uint8_t { None, Id, Cal, Usr };

// The classes by object address, in one open-addressed array: every property a parse
// builds is noted here and forgotten when it is destroyed, so neither may allocate or
// chase a pointer per object. Linear probing; erasing shifts the run after the slot
// back, so that no tombstones build up.
class ClassTable {
 public:
  void put(const CTDLProperty* key, AccessClass value) {
    if ((size_ + 1) * 2 > slots_.size()) resize(slots_.empty() ? kMinSlots : slots_.size() * 2);
    std::size_t i = home(key);
    while (slots_[i].key != nullptr && slots_[i].key != key) i = (i + 1) & mask();
    if (slots_[i].key == nullptr) ++size_;
    slots_[i] = Slot{key, value};
  }

  AccessClass find(const CTDLProperty* key) const {
    if (size_ == 0) return AccessClass::None;
    for (std::size_t i = home(key);; i = (i + 1) & mask()) {
      if (slots_[i].key == key) return slots_[i].value;
      if (slots_[i].key == nullptr) return AccessClass::None;
    }
  }

  void erase(const CTDLProperty* key) {
    if (size_ == 0) return;
    std::size_t i = home(key);
    while (slots_[i].key != key) {
      if (slots_[i].key == nullptr) return;
      i = (i + 1) & mask();
    }
    // Moves back every later entry of the run that may sit at i, then empties the hole.
    for (std::size_t j = (i + 1) & mask(); slots_[j].key != nullptr; j = (j + 1) & mask()) {
      const std::size_t h = home(slots_[j].key);
      const bool reachesHole = ((j - h) & mask()) >= ((j - i) & mask());
      if (reachesHole) {
        slots_[i] = slots_[j];
        i = j;
      }
    }
    slots_[i] = Slot{};
    --size_;
    // A table left nearly empty after a large parse is released gives its room back;
    // destructors call this, so without memory for the smaller table it keeps the larger.
    if (slots_.size() > kMinSlots && size_ * 8 < slots_.size()) {
      try {
        resize(slots_.size() / 2);
      } catch (const std::bad_alloc&) {
      }
    }
  }

 private:
  struct Slot {
    const CTDLProperty* key = nullptr;
    AccessClass value = AccessClass::None;
  };
  static constexpr std::size_t kMinSlots = 64;

  std::size_t mask() const { return slots_.size() - 1; }

  // Objects lie at least 16 bytes apart: drop those bits, then spread the rest.
  std::size_t home(const CTDLProperty* key) const {
    const auto bits = static_cast<uint64_t>(reinterpret_cast<uintptr_t>(key)) >> 4;
    return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> 32) & mask();
  }

  void resize(std::size_t slots) {
    const std::vector<Slot> previous = std::exchange(slots_, std::vector<Slot>(slots));
    size_ = 0;
    for (const Slot& s : previous) {
      if (s.key != nullptr) put(s.key, s.value);
    }
  }

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
};

// Created on first use and released at unload; a plain pointer, so that the property
// destructors the unload of the templates runs find it either alive or null.
ClassTable* gClasses = nullptr;

__attribute__((destructor)) void releaseAtUnload() {
  ClassTable* classes = gClasses;
  gClasses = nullptr;
  delete classes;
}

}  // namespace

void noteAccessClass(const CTDLProperty* p, const char* text) {
  const char* t = text == nullptr ? "" : text;
  AccessClass found;
  if (std::strcmp(t, "ID") == 0) {
    found = AccessClass::Id;
  } else if (std::strcmp(t, "CAL") == 0) {
    found = AccessClass::Cal;
  } else if (std::strcmp(t, "USR") == 0) {
    found = AccessClass::Usr;
  } else {
    forgetAccessClass(p);
    return;
  }
  if (gClasses == nullptr) gClasses = new ClassTable;
  gClasses->put(p, found);
}

const char* accessClassOf(const CTDLProperty* p) {
  if (gClasses == nullptr) return "";
  switch (gClasses->find(p)) {
    case AccessClass::Id:
      return "ID";
    case AccessClass::Cal:
      return "CAL";
    case AccessClass::Usr:
      return "USR";
    case AccessClass::None:
      break;
  }
  return "";
}

void copyAccessClass(const CTDLProperty* from, const CTDLProperty* to) {
  if (from != to) noteAccessClass(to, accessClassOf(from));
}

void forgetAccessClass(const CTDLProperty* p) {
  if (gClasses != nullptr) gClasses->erase(p);
}

}  // namespace orlin_detail
