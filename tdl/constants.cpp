#include "constants.h"

#include <memory>
#include <unordered_map>

namespace orlin_detail {
namespace {

struct Noted {
  std::vector<TDLConstant> constants;
  std::vector<std::unique_ptr<ConstantText>> texts;  // what the constants point into
};
using Constants = std::unordered_map<const void*, Noted>;

// Created on first use and released at unload; a plain pointer, so that the destructors
// the unload runs find it either alive or null.
Constants* gConstants = nullptr;

__attribute__((destructor)) void releaseAtUnload() {
  Constants* constants = gConstants;
  gConstants = nullptr;
  delete constants;
}

}  // namespace

void noteConstant(const void* owner, TDLConstant constant, const ConstantText& text) {
  if (gConstants == nullptr) gConstants = new Constants;
  auto& noted = (*gConstants)[owner];
  noted.texts.push_back(std::make_unique<ConstantText>(text));
  const ConstantText& kept = *noted.texts.back();
  constant.description = kept.description.c_str();
  constant.value = kept.value.c_str();
  constant.units = kept.units.c_str();
  constant.accessClass = kept.accessClass.c_str();
  noted.constants.push_back(constant);
}

std::vector<TDLConstant> constantsOf(const void* owner) {
  if (gConstants == nullptr) return {};
  const auto at = gConstants->find(owner);
  return at == gConstants->end() ? std::vector<TDLConstant>{} : at->second.constants;
}

void forgetConstants(const void* owner) {
  if (gConstants != nullptr) gConstants->erase(owner);
}

}  // namespace orlin_detail
