// What the library itself keeps alive: the collections made by orlin(), the templates
// its parser built, and the enumeration item texts the parser allocated (an enumeration
// never owns its items). Callers may destroy any of these themselves; whatever is left
// is released when the library unloads, so that leak checkers stay quiet.
#ifndef TEDSKIT_TDL_OWNERSHIP_H
#define TEDSKIT_TDL_OWNERSHIP_H

#include <string_view>

class CTDLTemplateCollection;
class CTDLTemplate;

namespace orlin_detail {

void adoptCollection(CTDLTemplateCollection* c);
void adoptTemplate(CTDLTemplate* t);
// A parser-owned copy of text, released with the enumeration that holds it or at unload.
char* adoptItemText(std::string_view text);

// Called by the destructors, so that nothing is released twice.
// forgetCollection answers whether c was a collection made by orlin().
bool forgetCollection(CTDLTemplateCollection* c);
void forgetTemplate(CTDLTemplate* t);
void releaseItemText(char* text);

// The collection getTDLCollection() answers.
void setLastCollection(CTDLTemplateCollection* c);
CTDLTemplateCollection* lastCollection();

}  // namespace orlin_detail

#endif
