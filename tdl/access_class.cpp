#include "access_class.h"

#include <cstdint>
#include <cstring>
#include <unordered_map>

namespace orlin_detail {
namespace {

enum class AccessClass : uint8_t { Id, Cal, Usr };

using Classes = std::unordered_map<const CTDLProperty*, AccessClass>;

// Created on first use and released at unload; a plain pointer, so that the property
// destructors the unload of the templates runs find it either alive or null.
Classes* gClasses = nullptr;

__attribute__((destructor)) void releaseAtUnload() {
  Classes* classes = gClasses;
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
  if (gClasses == nullptr) gClasses = new Classes;
  (*gClasses)[p] = found;
}

const char* accessClassOf(const CTDLProperty* p) {
  if (gClasses == nullptr) return "";
  const auto at = gClasses->find(p);
  if (at == gClasses->end()) return "";
  switch (at->second) {
    case AccessClass::Id:
      return "ID";
    case AccessClass::Cal:
      return "CAL";
    case AccessClass::Usr:
      return "USR";
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
