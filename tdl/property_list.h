// Destruction of property lists, shared by templates and select cases.
#ifndef TEDSKIT_TDL_PROPERTY_LIST_H
#define TEDSKIT_TDL_PROPERTY_LIST_H

#include <vector>

class CTDLProperty;

namespace orlin_detail {

// Destroys every property of the list (type 14 as a select case) and empties it.
void destroyPropertyList(std::vector<CTDLProperty*>& list);

}  // namespace orlin_detail

#endif
