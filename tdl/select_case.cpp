#include "constants.h"
#include "property_list.h"
#include "tedskit/orlin.hpp"
#include "text_util.h"

CTDLSelectCase::CTDLSelectCase() : m_sccLevel(0), m_bitValue(0) { m_propertyType = PT_SELECTCASE; }

// The select case owns its cases and their descriptions as well: nothing else would
// ever release them. A case itself releases nothing, so copies of a case stay harmless.
CTDLSelectCase::~CTDLSelectCase() {
  for (CTDLCase* c : m_cases) {
    orlin_detail::destroyPropertyList(c->m_properties);
    delete[] c->m_description;
    delete c;
  }
}

CTDLSelectCase::CTDLSelectCase(const CTDLSelectCase&) = default;
CTDLSelectCase& CTDLSelectCase::operator=(const CTDLSelectCase&) = default;

void CTDLSelectCase::addCase(CTDLCase* c) { m_cases.push_back(c); }
bool CTDLSelectCase::IsBinary() { return m_cases.size() <= 2; }
int32_t CTDLSelectCase::GetSCCLevel() { return m_sccLevel; }
void CTDLSelectCase::SetSCCLevel(int32_t level) { m_sccLevel = level; }
void CTDLSelectCase::setBitvalue(int32_t value) { m_bitValue = value; }

CTDLCase::CTDLCase() : m_bitValue(0), m_description(nullptr) {}
CTDLCase::~CTDLCase() { orlin_detail::forgetConstants(this); }
CTDLCase::CTDLCase(const CTDLCase&) = default;

std::vector<TDLConstant> CTDLCase::getConstants() const { return orlin_detail::constantsOf(this); }
CTDLCase& CTDLCase::operator=(const CTDLCase&) = default;

void CTDLCase::addProperty(CTDLProperty* p) { m_properties.push_back(p); }
void CTDLCase::addDescription(const char* text) { orlin_detail::replaceText(m_description, text); }
char* CTDLCase::getDescription() { return m_description; }
void CTDLCase::setbitvalue(int value) { m_bitValue = value; }
bool CTDLCase::IsBinaryCase() { return m_properties.size() >= 3; }
