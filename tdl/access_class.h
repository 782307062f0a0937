// The access class (ID, CAL, USR) a TDL file gives a property or a select case. The
// property's own access member keeps only fixed or user access, and its members are
// binary interface, so the class is kept beside the object, keyed by its address.
#ifndef TEDSKIT_TDL_ACCESS_CLASS_H
#define TEDSKIT_TDL_ACCESS_CLASS_H

class CTDLProperty;

namespace orlin_detail {

// text is the keyword as written ("ID", "CAL", "USR"); any other text, the empty one
// included, leaves the object without a class.
void noteAccessClass(const CTDLProperty* p, const char* text);
// "ID", "CAL", "USR", or "" for an object without a class.
const char* accessClassOf(const CTDLProperty* p);
void copyAccessClass(const CTDLProperty* from, const CTDLProperty* to);
// Called by the destructor, so that a later object at the same address starts without one.
void forgetAccessClass(const CTDLProperty* p);

}  // namespace orlin_detail

#endif
