#include <cstring>

#include "tedskit/orlin.hpp"

namespace {
constexpr int32_t kMaxValues = 16;

// A count outside 0..16 (left by a refused load) means the record holds no values.
int32_t validCount(const sccontrolstruct& r) { return (r.count >= 0 && r.count <= kMaxValues) ? r.count : 0; }
}  // namespace

CSCcontrol::CSCcontrol() { std::memset(&m_control, 0, sizeof m_control); }
CSCcontrol::~CSCcontrol() = default;
CSCcontrol::CSCcontrol(const CSCcontrol&) = default;
CSCcontrol& CSCcontrol::operator=(const CSCcontrol&) = default;

sccontrolstruct* CSCcontrol::getSCControl() { return &m_control; }

bool CSCcontrol::loadSCC(const sccontrolstruct* src) {
  if (src == nullptr) return false;
  m_control.count = src->count;
  if (src->count < 1 || src->count > kMaxValues) return false;
  for (int32_t i = 0; i < src->count; ++i) m_control.values[i] = src->values[i] == -1 ? 0 : src->values[i];
  m_control.current = 0;
  return true;
}

int32_t CSCcontrol::getCurrentSCValue() {
  const int32_t at = m_control.current;
  if (at < 0 || at >= validCount(m_control)) return ORLIN_SC_NO_VALUE;
  m_control.current = at + 1;
  return m_control.values[at];
}

bool CSCcontrol::setCurrentSCValue(int32_t v) {
  const int32_t at = m_control.current;
  if (at < 0 || at >= kMaxValues) return false;
  m_control.values[at] = v;
  m_control.current = at + 1;
  if (m_control.current > validCount(m_control)) m_control.count = m_control.current;
  return true;
}

bool CSCcontrol::setCurrentSCPtr(int32_t i) {
  m_control.current = i;
  return true;
}

bool CSCcontrol::resetCurrentSCPtr() {
  m_control.current = 0;
  return true;
}
