// The struct arrays of a template. The parser lays their members into the template's
// property list like any other property, and the object model has no member for the
// array or its count, so what each array repeats is kept beside the template, keyed by
// its address.
#ifndef TEDSKIT_TDL_STRUCT_ARRAYS_H
#define TEDSKIT_TDL_STRUCT_ARRAYS_H

#include <string_view>
#include <vector>

#include "tedskit/orlin.hpp"

namespace orlin_detail {

void noteStructArray(const CTDLTemplate* t, TDLStructArray array, std::string_view description);
// Outer arrays before the arrays they hold; empty for a template without any.
std::vector<TDLStructArray> structArraysOf(const CTDLTemplate* t);
// Called by the destructor, so that a later template at the same address starts without any.
void forgetStructArrays(const CTDLTemplate* t);

}  // namespace orlin_detail

#endif
