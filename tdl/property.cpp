#include <algorithm>
#include <cstring>

#include "access_class.h"
#include "tedskit/orlin.hpp"
#include "text_util.h"

using orlin_detail::replaceText;

CTDLProperty::CTDLProperty()
    : m_valueCleared(false),
      m_dataType(DT_UNINT),
      m_dataDef{},
      m_value{},
      m_rawData{},
      m_propertyType(PT_TYPE_UNINT),
      m_access(ACCESS_FIXED),
      m_bitWidth(0),
      m_format(nullptr),
      m_units(nullptr),
      m_description(nullptr),
      m_structLabel(nullptr) {
  m_dataDef.startValue = 0.0;
  m_dataDef.resolution = 0.0;
}

CTDLProperty::~CTDLProperty() {
  orlin_detail::forgetAccessClass(this);
  delete[] m_format;
  delete[] m_units;
  delete[] m_description;
  delete[] m_structLabel;
}

// Every member, as a default copy would, and the access class kept beside them.
CTDLProperty::CTDLProperty(const CTDLProperty& other) : CTDLProperty() { *this = other; }

CTDLProperty& CTDLProperty::operator=(const CTDLProperty& other) {
  m_valueCleared = other.m_valueCleared;
  m_dataType = other.m_dataType;
  m_dataDef = other.m_dataDef;
  m_value = other.m_value;
  std::copy(std::begin(other.m_rawData), std::end(other.m_rawData), std::begin(m_rawData));
  m_propertyType = other.m_propertyType;
  m_access = other.m_access;
  m_bitWidth = other.m_bitWidth;
  m_format = other.m_format;
  m_units = other.m_units;
  m_description = other.m_description;
  m_structLabel = other.m_structLabel;
  orlin_detail::copyAccessClass(&other, this);
  return *this;
}

char* CTDLProperty::getDescription() { return m_description; }
char* CTDLProperty::getFormat() { return m_format; }
char* CTDLProperty::getUnits() { return m_units; }
char* CTDLProperty::getStructLabel() { return m_structLabel; }
char* CTDLProperty::findStringForProperty() { return m_structLabel; }

int32_t CTDLProperty::getBitWidth() { return m_bitWidth; }
void CTDLProperty::setBitWidth(int width) { m_bitWidth = width; }

eAccessCode CTDLProperty::getAccess() { return m_access; }

void CTDLProperty::setAccess(const char* text) {
  // Any fragment of "CAL" or "ID" (the empty text included) is fixed access.
  const char* t = text == nullptr ? "" : text;
  m_access =
      (std::strstr("CAL", t) != nullptr || std::strstr("ID", t) != nullptr) ? ACCESS_FIXED : ACCESS_USER;
  orlin_detail::noteAccessClass(this, t);
}

const char* CTDLProperty::getAccessClass() const { return orlin_detail::accessClassOf(this); }

ePropertyType CTDLProperty::getPropertyType() { return m_propertyType; }
void CTDLProperty::setType(ePropertyType type) { m_propertyType = type; }

void CTDLProperty::setDatadefinition(eDataType type, dUnion def) {
  m_dataType = type;
  m_dataDef = def;
}

void CTDLProperty::setDescription(const char* text) { replaceText(m_description, text); }
void CTDLProperty::setFormat(const char* text) { replaceText(m_format, text); }
void CTDLProperty::setUnits(const char* text) { replaceText(m_units, text); }
void CTDLProperty::setStructLabel(const char* text) { replaceText(m_structLabel, text); }
