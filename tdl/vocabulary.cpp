// The property vocabulary: label table, data type names, field-struct datatype codes,
// and the one-line template string of a property.
#include <array>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "tedskit/orlin.hpp"
#include "text_util.h"

namespace {

struct LabelRow {
  const char* label;
  eMachineDatatype machine;
  const char* displayName;  // rows 0 to 22 only
};

constexpr int kLabelRows = 61;

// Indexed by ePropertyType. The degree signs of row 4 are the byte 0xB0.
constexpr LabelRow kLabels[kLabelRows] = {
    {"%CalDate", MD_TEXT, "Calibration date"},
    {"%Sens@Ref", MD_NUMBER, "Sensitivity @ Fref"},
    {"%Reffreq", MD_NUMBER, "Fref"},
    {"%TF_HP_S", MD_NUMBER, "F hp electrical"},
    {"%Sign", MD_INTEGER, "Phase invertion (0: 0\xB0, 1: 180\xB0)"},
    {"%Direction", MD_INTEGER, "Sensitivity direction (x,y,z)"},
    {"%MeasID", MD_INTEGER, "Meas. position ID"},
    {"%User", MD_TEXT, "User data (ascii)"},
    {"%TF_SP", MD_NUMBER, "F lp electrical"},
    {"%TF_KPr", MD_NUMBER, "F mounted resonance"},
    {"%TF_KPq", MD_NUMBER, "Mounted   Q"},
    {"%TF_SL", MD_NUMBER, "Amplitude slope"},
    {"%PhaseCorrection", MD_NUMBER, "Phase correction @ Fref."},
    {"%TempCoef", MD_NUMBER, "Temperature coefficient"},
    {"SC", MD_INTEGER, "SelectCase"},
    {"%ElecSigType", MD_ENUMERATION, "Electrical Signal Type"},
    {"%MapMeth", MD_ENUMERATION, "Mapping Method"},
    {"%Weight", MD_NUMBER, "Weight"},
    {"%ACDCCoupling", MD_ENUMERATION, "AC/DC Coupling"},
    {"%CalInitials", MD_CHR5, "Cal Initials"},
    {"%CalPeriod", MD_INTEGER, "Cal Period"},
    {"%RefTemp", MD_NUMBER, "Reference Temperature"},
    {"%Equi_Vol", MD_NUMBER, "Reference pressure"},
    {"%MicSize", MD_ENUMERATION, nullptr},
    {"%MicType", MD_ENUMERATION, nullptr},
    {"%RefPol", MD_ENUMERATION, nullptr},
    {"%Resp_Type", MD_ENUMERATION, nullptr},
    {"%TF_SZm", MD_NUMBER, nullptr},
    {"%Gain", MD_NUMBER, nullptr},
    {"%Stiffness", MD_NUMBER, nullptr},
    {"%Mass_below", MD_NUMBER, nullptr},
    {"%Rin", MD_NUMBER, nullptr},
    {"%Rout", MD_NUMBER, nullptr},
    {"%Cin", MD_NUMBER, nullptr},
    {"%Refpress", MD_NUMBER, nullptr},
    {"%Gate", MD_ENUMERATION, nullptr},
    {"%Attached_MfgrID", MD_INTEGER, nullptr},
    {"%Attached_ModelNum", MD_INTEGER, nullptr},
    {"%Attached_VersionLetter", MD_CHR5, nullptr},
    {"%Attached_VersionNum", MD_INTEGER, nullptr},
    {"%Attached_SerialNum", MD_INTEGER, nullptr},
    {"%Measurand", MD_ENUMERATION, nullptr},
    {"%RespTime", MD_NUMBER, nullptr},
    {"%ExciteAmplNom", MD_NUMBER, nullptr},
    {"%ExciteAmplMin", MD_NUMBER, nullptr},
    {"%ExciteAmplMax", MD_NUMBER, nullptr},
    {"%SensorImped", MD_NUMBER, nullptr},
    {"%BridgeType", MD_ENUMERATION, nullptr},
    {"%MinElecVal", MD_NUMBER, nullptr},
    {"%MaxElecVal", MD_NUMBER, nullptr},
    {"%ExciteType", MD_ENUMERATION, nullptr},
    {"UNINT", MD_INTEGER, nullptr},
    {"", MD_INTEGER, nullptr},
    {"", MD_NUMBER, nullptr},
    {"", MD_NUMBER, nullptr},
    {"CHR5", MD_CHR5, nullptr},
    {"", MD_TEXT, nullptr},
    {"", MD_TEXT, nullptr},
    {"DATE", MD_TEXT, nullptr},
    {"ASCII", MD_TEXT, nullptr},
    {"Single", MD_NUMBER, nullptr},
};

// The labels in lower case, grouped by length: every property statement looks its label
// up here, so it is lowered once and compared bytewise with the rows as long as it only.
constexpr std::size_t kLongestLabel = 23;

struct LoweredLabels {
  std::array<std::array<char, kLongestLabel>, kLabelRows> text{};
  std::array<uint8_t, kLabelRows> order{};         // rows by length, each length in row order
  std::array<uint8_t, kLongestLabel + 2> start{};  // order[start[n]] onwards have length n
};

constexpr LoweredLabels kLoweredLabels = [] {
  LoweredLabels t;
  for (int code = 0; code < kLabelRows; ++code) {
    const std::string_view label = kLabels[code].label;
    for (std::size_t i = 0; i < label.size() && i < kLongestLabel; ++i)
      t.text[code][i] = tedskit::base::lowerAscii(label[i]);
  }
  std::size_t next = 0;
  for (std::size_t length = 0; length <= kLongestLabel; ++length) {
    t.start[length] = static_cast<uint8_t>(next);
    for (int code = 0; code < kLabelRows; ++code) {
      if (std::string_view(kLabels[code].label).size() == length) t.order[next++] = static_cast<uint8_t>(code);
    }
  }
  t.start[kLongestLabel + 1] = static_cast<uint8_t>(next);
  return t;
}();
static_assert(kLoweredLabels.start[kLongestLabel + 1] == kLabelRows, "a label is longer than kLongestLabel");

constexpr int kDataTypes = 10;

// Indexed by eDataType.
constexpr const char* kDataTypeNames[kDataTypes] = {"UNINT", "", "",     "",      "CHR5",
                                                    "",      "", "DATE", "ASCII", "Single"};

// The item datatype code of a field array item, indexed by eDataType.
constexpr int kFieldStructDatatypes[kDataTypes] = {2, 199, 6, 5, 8, 8, 8, 4, 8, 6};

// The largest single-precision float, and the step that spreads 2^32 codes over
// the whole range from its negative to it.
constexpr double kSingleMax = 3.4028234663852886e38;
constexpr double kSingleStep = kSingleMax / 4294967295.0 * 2.0;

// Rows of a caller's template line buffer.
constexpr std::size_t kTemplateLineSize = 256;

bool isEmpty(const char* text) { return text == nullptr || *text == '\0'; }

// A number as printf's "%e" prints it, and the delimiter after it. to_chars with a
// precision prints exactly that, without printf's cost: every decode writes these lines.
void appendScientific(std::string& line, double x) {
  char piece[kTemplateLineSize];
  const auto written = std::to_chars(piece, piece + sizeof piece, x, std::chars_format::scientific, 6);
  if (written.ec == std::errc{}) {
    line.append(piece, written.ptr);
  } else {
    std::snprintf(piece, sizeof piece, "%e", x);
    line += piece;
  }
  line += ',';
}

}  // namespace

bool CTDLProperty::setPropertyTypeFromString(const char* label) {
  if (label == nullptr) return false;
  const std::string_view wanted(label);
  const std::size_t n = wanted.size();
  if (n > kLongestLabel) return false;
  char lowered[kLongestLabel];
  for (std::size_t i = 0; i < n; ++i) lowered[i] = tedskit::base::lowerAscii(wanted[i]);
  for (std::size_t i = kLoweredLabels.start[n]; i < kLoweredLabels.start[n + 1]; ++i) {
    const int code = kLoweredLabels.order[i];
    if (std::memcmp(kLoweredLabels.text[code].data(), lowered, n) == 0) {
      m_propertyType = static_cast<ePropertyType>(code);
      return true;
    }
  }
  return false;
}

char* CTDLProperty::getKnownPropertyLabel() {
  static char empty[1] = "";
  if (m_propertyType < 0 || m_propertyType >= kLabelRows || kLabels[m_propertyType].displayName == nullptr)
    return empty;
  // Callers take the text as char* but only read it.
  return const_cast<char*>(kLabels[m_propertyType].displayName);
}

eDataType CTDLProperty::getDataypeFromString(const char* name) {
  if (name == nullptr) return DT_UNINT;
  for (int row = 0; row < kDataTypes; ++row) {
    if (std::strstr(kDataTypeNames[row], name) != nullptr) {
      m_dataType = static_cast<eDataType>(row);
      return m_dataType;
    }
  }
  return DT_UNINT;
}

eMachineDatatype CTDLProperty::getPropertyDatatype() {
  if (m_propertyType == PT_SELECTCASE) return MD_ENUMERATION;
  if (m_dataType == DT_SINGLE) {
    m_dataDef.startValue = -kSingleMax;
    m_dataDef.resolution = kSingleStep;
    return MD_NUMBER;
  }
  if (m_propertyType < 0 || m_propertyType >= kLabelRows) return MD_INTEGER;
  return kLabels[m_propertyType].machine;
}

int CTDLProperty::getVLMFieldStructDatatype() {
  switch (m_propertyType) {
    case PT_SIGN:
      return 2;
    case PT_DIRECTION:
      return 7;
    case PT_ATTACHED_VERSION_LETTER:
      return 3;
    case PT_ATTACHED_MFGR_ID:
      return 1;
    default:
      break;
  }
  if (m_dataType < 0 || m_dataType >= kDataTypes) return kFieldStructDatatypes[DT_UNINT];
  return kFieldStructDatatypes[m_dataType];
}

bool CTDLProperty::createVLMTemplateString(char* out) {
  if (out == nullptr) return false;
  std::string line = m_description == nullptr ? std::string() : std::string(m_description);
  line += ",\"RW\",\"" + std::to_string(m_bitWidth) + "\",";
  const std::string format = isEmpty(m_format) ? std::string() : std::string(m_format);
  const std::string units = isEmpty(m_units) ? std::string() : std::string(m_units);
  switch (m_dataType) {
    case DT_UNINT:
      line += "\"UNINT\",";
      line += format.empty() ? "\"\"" : format;
      break;
    case DT_ENUMERATION:
    case DT_ASCII:
      line += "\"ASCII\"";
      break;
    case DT_CONRES:
      line += "\"ConRes\",";
      appendScientific(line, m_dataDef.startValue);
      appendScientific(line, m_dataDef.resolution);
      line += format.empty() ? "\"\"," : format + ",";
      line += "\"" + units + "\"";
      break;
    case DT_CONRELRES:
      line += "\"ConRelRes\",";
      appendScientific(line, m_dataDef.startValue);
      appendScientific(line, m_dataDef.resolution);
      line += "0,";
      line += format.empty() ? "\"\"," : format + ",";
      line += units.empty() ? "\"\"" : units;
      break;
    case DT_SINGLE:
      line += "\"Single\"";
      break;
    default:
      break;
  }
  // The caller's row holds 256 bytes: cut the line to fit rather than overrun it.
  const std::size_t n = line.size() < kTemplateLineSize ? line.size() : kTemplateLineSize - 1;
  std::memcpy(out, line.data(), n);
  out[n] = '\0';
  return true;
}
