// liborlin object model: a parsed TDL file as templates, properties, select cases and
// enumerations. The TEDS engine reads and writes the public data members directly, so the
// set, order and types of the members below are binary interface: do not reorder them.
//
// Copies are shallow: copy construction and assignment copy every member, pointers and
// the pointers held in lists included; the objects pointed to are shared, not duplicated.
// Destroy only one of two copies that share owned pointers.
#ifndef TEDSKIT_ORLIN_HPP
#define TEDSKIT_ORLIN_HPP

#include <cstdint>
#include <vector>

#include "tedskit/orlin.h"
#include "tedskit/records.h"

class CTDLEnumeration;
class CTDLCase;

enum eDataType : int32_t {
  DT_UNINT = 0,
  DT_ENUMERATION = 1,
  DT_CONRES = 2,
  DT_CONRELRES = 3,
  DT_CHR5 = 4,
  DT_DATE = 7,
  DT_ASCII = 8,
  DT_SINGLE = 9
};

enum eAccessCode : int32_t { ACCESS_FIXED = 0, ACCESS_USER = 1 };

// Property type codes: the row of the property's label in the label table.
enum ePropertyType : int32_t {
  PT_CALDATE = 0,
  PT_SENS_AT_REF = 1,
  PT_REFFREQ = 2,
  PT_TF_HP_S = 3,
  PT_SIGN = 4,
  PT_DIRECTION = 5,
  PT_MEASID = 6,
  PT_USER = 7,
  PT_TF_SP = 8,
  PT_TF_KPR = 9,
  PT_TF_KPQ = 10,
  PT_TF_SL = 11,
  PT_PHASE_CORRECTION = 12,
  PT_TEMPCOEF = 13,
  PT_SELECTCASE = 14,
  PT_ELEC_SIG_TYPE = 15,
  PT_MAP_METH = 16,
  PT_WEIGHT = 17,
  PT_ACDC_COUPLING = 18,
  PT_CAL_INITIALS = 19,
  PT_CAL_PERIOD = 20,
  PT_REF_TEMP = 21,
  PT_EQUI_VOL = 22,
  PT_MIC_SIZE = 23,
  PT_MIC_TYPE = 24,
  PT_REF_POL = 25,
  PT_RESP_TYPE = 26,
  PT_TF_SZM = 27,
  PT_GAIN = 28,
  PT_STIFFNESS = 29,
  PT_MASS_BELOW = 30,
  PT_RIN = 31,
  PT_ROUT = 32,
  PT_CIN = 33,
  PT_REFPRESS = 34,
  PT_GATE = 35,
  PT_ATTACHED_MFGR_ID = 36,
  PT_ATTACHED_MODEL_NUM = 37,
  PT_ATTACHED_VERSION_LETTER = 38,
  PT_ATTACHED_VERSION_NUM = 39,
  PT_ATTACHED_SERIAL_NUM = 40,
  PT_MEASURAND = 41,
  PT_RESP_TIME = 42,
  PT_EXCITE_AMPL_NOM = 43,
  PT_EXCITE_AMPL_MIN = 44,
  PT_EXCITE_AMPL_MAX = 45,
  PT_SENSOR_IMPED = 46,
  PT_BRIDGE_TYPE = 47,
  PT_MIN_ELEC_VAL = 48,
  PT_MAX_ELEC_VAL = 49,
  PT_EXCITE_TYPE = 50,
  // Rows 51 to 60 stand for a data type (51 + eDataType): reached when the label is not
  // in the table and the property falls back to its type keyword.
  PT_TYPE_UNINT = 51,
  PT_TYPE_ENUMERATION = 52,
  PT_TYPE_CONRES = 53,
  PT_TYPE_CONRELRES = 54,
  PT_TYPE_CHR5 = 55,
  PT_TYPE_5 = 56,
  PT_TYPE_6 = 57,
  PT_TYPE_DATE = 58,
  PT_TYPE_ASCII = 59,
  PT_TYPE_SINGLE = 60
};

enum eMachineDatatype : int32_t {
  MD_INTEGER = 0,
  MD_NUMBER = 1,
  MD_TEXT = 2,
  MD_ENUMERATION = 3,
  MD_CHR5 = 4
};

// Conversion parameters of a property, read according to its data type: the range form
// (startValue, resolution) for ConRes, ConRelRes and Single, the table form (enumeration,
// sharing the first 8 bytes) for enumerations.
struct dUnion {
  union {
    double startValue;
    CTDLEnumeration* enumeration;
  };
  double resolution;
};

class ORLIN_API CTDLEnumeration {
 public:
  char* m_name;
  // Item texts; an item's index is its value. addEnumerate keeps the pointer as given:
  // a caller's items are neither copied nor freed. Items the parser allocated are
  // released with the enumeration.
  std::vector<char*> m_items;

  CTDLEnumeration();
  ~CTDLEnumeration();
  CTDLEnumeration(const CTDLEnumeration&);
  CTDLEnumeration& operator=(const CTDLEnumeration&);

  void setDescription(const char* name);
  char* getDescription();
  void addEnumerate(char* text);
  // Null for an index outside the list.
  char* getEnumerate(int i);
  int32_t getNumberEnumerations();
  // Index of the first item equal to text ignoring ASCII case; 0 when none matches.
  int getEnumerateValue(const unsigned char* text);
};

class ORLIN_API CTDLProperty {
 public:
  bool m_valueCleared;
  eDataType m_dataType;
  dUnion m_dataDef;
  fielddataholder m_value;   // the engine's current value; never touched here
  uint8_t m_rawData[10240];  // the engine's raw bits; never touched here
  ePropertyType m_propertyType;
  eAccessCode m_access;
  int32_t m_bitWidth;   // -1: open length, to the end of the TEDS memory
  char* m_format;       // as written in the file, double quotes included
  char* m_units;        // as written, double quotes included
  char* m_description;  // as written, double quotes included
  char* m_structLabel;  // the description without double quotes: the field's label

  CTDLProperty();
  ~CTDLProperty();
  CTDLProperty(const CTDLProperty&);
  CTDLProperty& operator=(const CTDLProperty&);

  char* getDescription();
  char* getFormat();
  char* getUnits();
  char* getStructLabel();
  char* findStringForProperty();
  int32_t getBitWidth();
  void setBitWidth(int width);
  eAccessCode getAccess();
  // 0 when text is a substring of "CAL" or of "ID", 1 otherwise. The exact keywords
  // "ID", "CAL" and "USR" are also kept as the access class.
  void setAccess(const char* text);
  // The access class the TDL file gives ("ID", "CAL", "USR"; for a select case its
  // block's keyword), or "" when it gives none. Copies carry it along.
  const char* getAccessClass() const;
  ePropertyType getPropertyType();
  void setType(ePropertyType type);
  bool setPropertyTypeFromString(const char* label);
  eDataType getDataypeFromString(const char* name);
  void setDatadefinition(eDataType type, dUnion def);
  void setDescription(const char* text);
  void setFormat(const char* text);
  void setUnits(const char* text);
  void setStructLabel(const char* text);

  // Display name of the property type (types 0 to 22); the empty text for the others.
  char* getKnownPropertyLabel();
  eMachineDatatype getPropertyDatatype();
  int getVLMFieldStructDatatype();
  // Writes the property's one-line template string into out, which must hold 256 bytes;
  // the line is cut to fit.
  bool createVLMTemplateString(char* out);
};

class ORLIN_API CTDLSelectCase : public CTDLProperty {
 public:
  std::vector<CTDLCase*> m_cases;
  int32_t m_sccLevel;
  int32_t m_bitValue;

  CTDLSelectCase();
  // Destroys every case with its description and the properties it holds (nested
  // select cases too).
  ~CTDLSelectCase();
  CTDLSelectCase(const CTDLSelectCase&);
  CTDLSelectCase& operator=(const CTDLSelectCase&);

  void addCase(CTDLCase* c);
  bool IsBinary();
  int32_t GetSCCLevel();
  void SetSCCLevel(int32_t level);
  void setBitvalue(int32_t value);
};

// A constant of a template or of one of its cases: a property with a value that takes no
// bits, so it has no place in the property lists. It stands before the list's property
// `before` (at the end when that is the list's size). Its texts are as the file gives
// them, without double quotes, and live as long as the template.
struct TDLConstant {
  int32_t before;
  eDataType dataType;
  CTDLEnumeration* enumeration;  // for DT_ENUMERATION, else null
  const char* description;
  const char* value;
  const char* units;
  const char* accessClass;  // "ID", "CAL", "USR" or ""
};

class ORLIN_API CTDLCase {
 public:
  std::vector<CTDLProperty*> m_properties;
  int32_t m_bitValue;
  char* m_description;

  CTDLCase();
  // Releases only the list storage: neither the properties nor the description (the
  // select case that holds the case destroys those).
  ~CTDLCase();
  CTDLCase(const CTDLCase&);
  CTDLCase& operator=(const CTDLCase&);

  void addProperty(CTDLProperty* p);
  void addDescription(const char* text);
  char* getDescription();
  void setbitvalue(int value);
  bool IsBinaryCase();
  // The case's constants in the order of the file; a copy of a case has none.
  std::vector<TDLConstant> getConstants() const;
};

// A struct array of a template: its count (countBitWidth bits) stands in the TEDS where
// the template's property `first` begins, and the `count` properties from there on repeat
// once for each element. An array nested in another lies within the outer one's run.
struct TDLStructArray {
  int32_t first;
  int32_t count;
  int32_t countBitWidth;
  const char* description;  // without double quotes; lives as long as the template
};

class ORLIN_API CTDLTemplate {
 public:
  int32_t m_firstNumber;
  int32_t m_templateID;
  int32_t m_idBitWidth;
  char* m_description;
  std::vector<CTDLProperty*> m_properties;
  std::vector<CTDLEnumeration*> m_enumerations;

  CTDLTemplate();
  // Destroys the description, the properties (type 14 as select cases) and the
  // enumerations.
  ~CTDLTemplate();
  CTDLTemplate(const CTDLTemplate&);
  CTDLTemplate& operator=(const CTDLTemplate&);

  void addDescription(const char* text);
  void addProperty(CTDLProperty* p);
  void addEnumeration(CTDLEnumeration* e);
  // The enumeration added last; null when there is none.
  CTDLEnumeration* getCurrentEnumeration();
  CTDLEnumeration* getEnumeration(const char* name);
  // First property, depth first through select cases, whose description (quotes
  // removed) equals name; null when none does.
  CTDLProperty* getPropertyByName(const char* name);
  // The template's struct arrays, outer ones first; a copy of a template has none.
  std::vector<TDLStructArray> getStructArrays() const;
  // The template's own constants (not its cases') in the order of the file; a copy has none.
  std::vector<TDLConstant> getConstants() const;
};

class ORLIN_API CTDLTemplateCollection {
 public:
  char* m_fileName;
  std::vector<CTDLTemplate*> m_templates;

  CTDLTemplateCollection();
  // Releases the list storage, and the file name of a collection made by orlin();
  // the templates stay allocated.
  ~CTDLTemplateCollection();
  CTDLTemplateCollection(const CTDLTemplateCollection&);
  CTDLTemplateCollection& operator=(const CTDLTemplateCollection&);

  int SetTemplateFilename(const char* path);
  CTDLTemplate* findTemplate(int32_t id);
};

// The select-case values of one TEDS with a shared read/write cursor.
class ORLIN_API CSCcontrol {
 public:
  sccontrolstruct m_control;

  // Starts zero-filled: no values, cursor 0.
  CSCcontrol();
  ~CSCcontrol();
  CSCcontrol(const CSCcontrol&);
  CSCcontrol& operator=(const CSCcontrol&);

  sccontrolstruct* getSCControl();
  // Refuses (false) a count outside 1..16, but keeps that count; otherwise copies the
  // values (-1 read as 0) and resets the cursor.
  bool loadSCC(const sccontrolstruct* src);
  // The value at the cursor, advancing it; -5 when no value is left.
  int32_t getCurrentSCValue();
  // Stores v at the cursor and advances it; false (nothing stored) when the cursor is
  // outside the 16 entries.
  bool setCurrentSCValue(int32_t v);
  bool setCurrentSCPtr(int32_t i);
  bool resetCurrentSCPtr();
};

static_assert(sizeof(dUnion) == 16, "dUnion is 16 bytes");
static_assert(sizeof(CSCcontrol) == sizeof(sccontrolstruct), "CSCcontrol is the record");

#endif
