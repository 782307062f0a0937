#include "base/guard.h"
#include "ownership.h"
#include "tedskit/orlin.hpp"
#include "text_util.h"

using orlin_detail::replaceText;

CTDLTemplateCollection::CTDLTemplateCollection() : m_fileName(nullptr) {}

// Only a collection made by orlin() owns its file name: a copy, or a collection a
// caller built, leaves it alone.
CTDLTemplateCollection::~CTDLTemplateCollection() {
  if (orlin_detail::forgetCollection(this)) delete[] m_fileName;
}

CTDLTemplateCollection::CTDLTemplateCollection(const CTDLTemplateCollection&) = default;
CTDLTemplateCollection& CTDLTemplateCollection::operator=(const CTDLTemplateCollection&) = default;

int CTDLTemplateCollection::SetTemplateFilename(const char* path) {
  replaceText(m_fileName, path);
  return 0;
}

CTDLTemplate* CTDLTemplateCollection::findTemplate(int32_t id) {
  for (CTDLTemplate* t : m_templates) {
    if (t->m_templateID == id) return t;
  }
  return nullptr;
}

CTDLTemplateCollection* getTDLCollection(void) {
  return tedskit::base::guard<CTDLTemplateCollection*>(nullptr,
                                                       [] { return orlin_detail::lastCollection(); });
}
