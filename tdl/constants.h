// The constants of a template: properties with a value and no bits. They enter no
// property list of the object model, so each one is kept beside the template or case
// whose list it stands in, keyed by that owner's address.
#ifndef TEDSKIT_TDL_CONSTANTS_H
#define TEDSKIT_TDL_CONSTANTS_H

#include <string>
#include <vector>

#include "tedskit/orlin.hpp"

namespace orlin_detail {

struct ConstantText {
  std::string description, value, units, accessClass;
};

void noteConstant(const void* owner, TDLConstant constant, const ConstantText& text);
// In the order of the file; empty for an owner without any.
std::vector<TDLConstant> constantsOf(const void* owner);
// Called by the destructors, so that a later owner at the same address starts without any.
void forgetConstants(const void* owner);

}  // namespace orlin_detail

#endif
