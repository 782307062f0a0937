// The exports of chained templates.
#include "export_support.h"

int32_t tedskit_teds_template_count(const tedskit_teds* teds, int32_t* count) {
  return teds::run([&]() -> int32_t {
    if (teds == nullptr || count == nullptr)
      return teds::argumentError("no handle or no place for the result");
    *count = static_cast<int32_t>(teds->document.chained().size()) + 1;
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_template_at(const tedskit_teds* teds, int32_t position, int32_t* template_id,
                                 const char** name, int32_t* provisional, int32_t* first_field,
                                 int32_t* field_count) {
  return teds::run([&]() -> int32_t {
    if (teds == nullptr) return teds::argumentError("no handle");
    auto& held = const_cast<tedskit_teds*>(teds)->templates;
    held = teds->document.templates();
    if (position < 0 || position >= static_cast<int32_t>(held.size())) {
      return teds::argumentError("no template " + std::to_string(position) + ": the TEDS has " +
                                 std::to_string(held.size()));
    }
    const teds::TemplateSection& section = held[static_cast<std::size_t>(position)];
    if (template_id != nullptr) *template_id = section.id;
    if (name != nullptr) *name = section.name.c_str();
    if (provisional != nullptr) *provisional = section.provisional ? 1 : 0;
    if (first_field != nullptr) *first_field = section.firstField;
    if (field_count != nullptr) *field_count = section.fieldCount;
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_add_template(tedskit_teds* teds, int32_t template_id) {
  return teds::run([&]() -> int32_t {
    if (teds == nullptr) return teds::argumentError("no handle");
    teds->bitOffsets.reset();
    teds->document.addTemplate(template_id);
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_remove_template(tedskit_teds* teds, int32_t position) {
  return teds::run([&]() -> int32_t {
    if (teds == nullptr) return teds::argumentError("no handle");
    teds->bitOffsets.reset();
    teds->document.removeTemplate(position);
    return TEDSKIT_OK;
  });
}
