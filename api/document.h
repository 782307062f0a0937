// One TEDS as libtedskit holds it: the image, the decoded fields and their models, and
// the checked road for setting a field.
#ifndef TEDSKIT_API_DOCUMENT_H
#define TEDSKIT_API_DOCUMENT_H

#include <string>
#include <string_view>
#include <vector>

#include "engine.h"
#include "field_model.h"
#include "image.h"

namespace teds {

struct FieldView {
  FieldModel model;
  TypedValue value;
};

class Document {
 public:
  Document(std::filesystem::path templatesDir, TedsImage image, bool forceV10);

  const Engine& engine() const { return engine_; }
  const Teds& teds() const { return teds_; }
  const TedsImage& image() const { return image_; }
  const std::vector<FieldView>& fields() const { return fields_; }
  // -1 when no field has the label (UTF-8).
  int indexOf(std::string_view label) const;

  // Checks and sets a value (UTF-8); returns the notes for the user. Throws
  // ValueRefused (the TEDS stays as it was) or Failure.
  std::vector<std::string> set(std::string_view label, std::string_view value);

 private:
  void refresh();

  Engine engine_;
  TedsImage image_;
  Teds teds_;
  std::vector<FieldView> fields_;
};

}  // namespace teds

#endif
