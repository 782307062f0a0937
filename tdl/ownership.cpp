#include "ownership.h"

#include <cstring>
#include <memory>
#include <unordered_set>

#include "tedskit/orlin.hpp"

namespace orlin_detail {
namespace {

struct Kept {
  std::unordered_set<CTDLTemplateCollection*> collections;
  std::unordered_set<CTDLTemplate*> templates;
  std::unordered_set<char*> itemTexts;
  CTDLTemplateCollection* last = nullptr;
};

// Created on first use and released by the unload hook below; a plain pointer rather
// than a static object, so destructors that run during unload find it either alive or
// null, never half destroyed.
Kept* gKept = nullptr;

Kept& kept() {
  if (gKept == nullptr) gKept = new Kept;
  return *gKept;
}

__attribute__((destructor)) void releaseAtUnload() {
  Kept* k = gKept;
  if (k == nullptr) return;
  gKept = nullptr;  // the destructors below must not touch the sets being drained
  for (CTDLTemplate* t : k->templates) delete t;
  for (CTDLTemplateCollection* c : k->collections) {
    delete[] c->m_fileName;
    delete c;
  }
  for (char* text : k->itemTexts) delete[] text;
  delete k;
}

}  // namespace

void adoptCollection(CTDLTemplateCollection* c) { kept().collections.insert(c); }
void adoptTemplate(CTDLTemplate* t) { kept().templates.insert(t); }

char* adoptItemText(std::string_view text) {
  auto copy = std::make_unique<char[]>(text.size() + 1);
  std::memcpy(copy.get(), text.data(), text.size());
  kept().itemTexts.insert(copy.get());
  return copy.release();
}

bool forgetCollection(CTDLTemplateCollection* c) {
  if (gKept == nullptr) return false;
  if (gKept->last == c) gKept->last = nullptr;
  return gKept->collections.erase(c) != 0;
}

void forgetTemplate(CTDLTemplate* t) {
  if (gKept != nullptr) gKept->templates.erase(t);
}

void releaseItemText(char* text) {
  if (gKept != nullptr && gKept->itemTexts.erase(text) != 0) delete[] text;
}

void setLastCollection(CTDLTemplateCollection* c) { kept().last = c; }
CTDLTemplateCollection* lastCollection() { return gKept == nullptr ? nullptr : gKept->last; }

}  // namespace orlin_detail
