#include "struct_arrays.h"

#include <algorithm>
#include <memory>
#include <string>
#include <unordered_map>

namespace orlin_detail {
namespace {

struct Noted {
  std::vector<TDLStructArray> arrays;
  std::vector<std::unique_ptr<std::string>> descriptions;  // what the arrays point into
};
using Arrays = std::unordered_map<const CTDLTemplate*, Noted>;

// Created on first use and released at unload; a plain pointer, so that the template
// destructors the unload runs find it either alive or null.
Arrays* gArrays = nullptr;

__attribute__((destructor)) void releaseAtUnload() {
  Arrays* arrays = gArrays;
  gArrays = nullptr;
  delete arrays;
}

}  // namespace

void noteStructArray(const CTDLTemplate* t, TDLStructArray array, std::string_view description) {
  if (gArrays == nullptr) gArrays = new Arrays;
  auto& noted = (*gArrays)[t];
  noted.descriptions.push_back(std::make_unique<std::string>(description));
  array.description = noted.descriptions.back()->c_str();
  auto& list = noted.arrays;
  list.push_back(array);
  // An array is complete only after the arrays nested in it: keep outer ones first.
  std::stable_sort(list.begin(), list.end(), [](const TDLStructArray& a, const TDLStructArray& b) {
    return a.first != b.first ? a.first < b.first : a.count > b.count;
  });
}

std::vector<TDLStructArray> structArraysOf(const CTDLTemplate* t) {
  if (gArrays == nullptr) return {};
  const auto at = gArrays->find(t);
  return at == gArrays->end() ? std::vector<TDLStructArray>{} : at->second.arrays;
}

void forgetStructArrays(const CTDLTemplate* t) {
  if (gArrays != nullptr) gArrays->erase(t);
}

}  // namespace orlin_detail
