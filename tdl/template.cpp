#include "constants.h"
#include "ownership.h"
#include "property_list.h"
#include "struct_arrays.h"
#include "tedskit/orlin.hpp"
#include "text_util.h"

using orlin_detail::replaceText;

namespace {

// Properties of type 14 are select cases; nothing else tells them apart.
void destroyProperty(CTDLProperty* p) {
  if (p->getPropertyType() == PT_SELECTCASE) {
    delete static_cast<CTDLSelectCase*>(p);
  } else {
    delete p;
  }
}

CTDLProperty* findByName(const std::vector<CTDLProperty*>& list, std::string_view name) {
  for (CTDLProperty* p : list) {
    if (p->m_description != nullptr && orlin_detail::withoutQuotes(p->m_description) == name) return p;
    if (p->getPropertyType() == PT_SELECTCASE) {
      for (CTDLCase* c : static_cast<CTDLSelectCase*>(p)->m_cases) {
        if (CTDLProperty* found = findByName(c->m_properties, name)) return found;
      }
    }
  }
  return nullptr;
}

}  // namespace

namespace orlin_detail {
void destroyPropertyList(std::vector<CTDLProperty*>& list) {
  for (CTDLProperty* p : list) destroyProperty(p);
  list.clear();
}
}  // namespace orlin_detail

CTDLTemplate::CTDLTemplate() : m_firstNumber(0), m_templateID(0), m_idBitWidth(0), m_description(nullptr) {}

CTDLTemplate::~CTDLTemplate() {
  orlin_detail::forgetTemplate(this);
  orlin_detail::forgetStructArrays(this);
  orlin_detail::forgetConstants(this);
  delete[] m_description;
  orlin_detail::destroyPropertyList(m_properties);
  for (CTDLEnumeration* e : m_enumerations) delete e;
}

CTDLTemplate::CTDLTemplate(const CTDLTemplate&) = default;
CTDLTemplate& CTDLTemplate::operator=(const CTDLTemplate&) = default;

std::vector<TDLConstant> CTDLTemplate::getConstants() const { return orlin_detail::constantsOf(this); }

std::vector<TDLStructArray> CTDLTemplate::getStructArrays() const { return orlin_detail::structArraysOf(this); }

void CTDLTemplate::addDescription(const char* text) { replaceText(m_description, text); }
void CTDLTemplate::addProperty(CTDLProperty* p) { m_properties.push_back(p); }
void CTDLTemplate::addEnumeration(CTDLEnumeration* e) { m_enumerations.push_back(e); }

CTDLEnumeration* CTDLTemplate::getCurrentEnumeration() {
  return m_enumerations.empty() ? nullptr : m_enumerations.back();
}

CTDLEnumeration* CTDLTemplate::getEnumeration(const char* name) {
  if (name == nullptr) return nullptr;
  for (CTDLEnumeration* e : m_enumerations) {
    if (e->m_name != nullptr && orlin_detail::equalsIgnoreCase(e->m_name, name)) return e;
  }
  return nullptr;
}

CTDLProperty* CTDLTemplate::getPropertyByName(const char* name) {
  if (name == nullptr) return nullptr;
  return findByName(m_properties, name);
}
