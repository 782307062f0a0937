#include "ownership.h"
#include "tedskit/orlin.hpp"
#include "text_util.h"

CTDLEnumeration::CTDLEnumeration() : m_name(nullptr) {}

CTDLEnumeration::~CTDLEnumeration() {
  delete[] m_name;
  // Items the parser allocated go with their enumeration; a caller's items stay theirs.
  for (char* item : m_items) orlin_detail::releaseItemText(item);
}

CTDLEnumeration::CTDLEnumeration(const CTDLEnumeration&) = default;
CTDLEnumeration& CTDLEnumeration::operator=(const CTDLEnumeration&) = default;

void CTDLEnumeration::setDescription(const char* name) { orlin_detail::replaceText(m_name, name); }
char* CTDLEnumeration::getDescription() { return m_name; }
void CTDLEnumeration::addEnumerate(char* text) { m_items.push_back(text); }

char* CTDLEnumeration::getEnumerate(int i) {
  if (i < 0 || static_cast<std::size_t>(i) >= m_items.size()) return nullptr;
  return m_items[static_cast<std::size_t>(i)];
}

int32_t CTDLEnumeration::getNumberEnumerations() { return static_cast<int32_t>(m_items.size()); }

int CTDLEnumeration::getEnumerateValue(const unsigned char* text) {
  if (text == nullptr) return 0;
  const char* wanted = reinterpret_cast<const char*>(text);
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    if (m_items[i] != nullptr && orlin_detail::equalsIgnoreCase(m_items[i], wanted))
      return static_cast<int>(i);
  }
  return 0;
}
