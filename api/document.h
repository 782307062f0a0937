// One TEDS as libtedskit holds it: the image, the decoded fields and their models, and
// the checked road for setting a field.
#ifndef TEDSKIT_API_DOCUMENT_H
#define TEDSKIT_API_DOCUMENT_H

#include <string>
#include <string_view>
#include <vector>

#include "chain.h"
#include "engine.h"
#include "field_model.h"
#include "image.h"

namespace teds {

struct FieldView {
  FieldModel model;
  TypedValue value;
};

// One template of the TEDS and its run of fields: the first template holds the Basic
// TEDS and the engine's fields; each chained template follows with its own.
struct TemplateSection {
  int id = 0;
  std::string name;  // UTF-8
  bool provisional = false;
  int firstField = 0;
  int fieldCount = 0;
};

// The TDL template with the ID among those the engine has loaded; null when none is.
const CTDLTemplate* loadedTemplate(int templateId);

class Document {
 public:
  Document(std::filesystem::path templatesDir, TedsImage image, bool forceV10);

  const Engine& engine() const { return engine_; }
  // The first template as the engine decoded it.
  const Teds& teds() const { return teds_; }
  // The whole image, chained templates included.
  const TedsImage& image() const { return image_; }
  // The image without its chained templates: what the engine decodes (the same as image()
  // when nothing is chained).
  const TedsImage& engineImage() const { return base_; }
  // The first template, then each chained one.
  std::vector<TemplateSection> templates() const;
  const std::vector<ChainedTemplate>& chained() const { return chain_.templates; }
  // Bits the chained templates take, selectors and template IDs included.
  int64_t chainBits() const { return chain_.bits.size(); }
  // Where the chained templates begin: a bit of the image's body.
  int64_t chainStart() const { return cut_; }
  // The fields the engine decoded: the first ones, before the template's constants.
  int engineFieldCount() const { return engineFields_; }
  // Where each of the template's constants stands (a bit of the engine image's body): the
  // fields after the engine's.
  const std::vector<int64_t>& constantPlaces() const { return constantPlaces_; }
  const std::vector<FieldView>& fields() const { return fields_; }
  // -1 when no field has the label (UTF-8).
  int indexOf(std::string_view label) const;

  // Checks and sets a value (UTF-8); returns the notes for the user. Throws
  // ValueRefused (the TEDS stays as it was) or Failure.
  std::vector<std::string> set(std::string_view label, std::string_view value);

  // Chains a new template after the last one, every field 0 and one element in each of
  // its arrays; only after a TDL template. Throws Failure.
  void addTemplate(int templateId);
  // Takes the chained template at position (1 for the first chained one) out. Throws Failure.
  void removeTemplate(int position);

 private:
  void refresh();
  // Cuts the chained templates of image_ out into base_, then decodes base_.
  Teds splitAndDecode(bool forceV10);
  // base with chainBits put back at the end of its first template (found in cut); throws
  // Failure when the whole does not fit a TEDS memory.
  TedsImage joined(const TedsImage& base, const BitString& chainBits, int64_t& cut);
  // The body bit where the first template of base ends its own fields; -1 when its TDL
  // template is not loaded.
  static int64_t firstTemplateEnd(const TedsImage& base);
  std::vector<std::string> setChained(const FieldView& field, std::string_view value);
  void replaceChain(BitString bits);

  // In this order: the chain is cut out of the image before the engine decodes the rest.
  Engine engine_;
  TedsImage image_;
  TedsImage base_;
  Chain chain_;
  int64_t cut_ = 0;
  Teds teds_;
  int engineFields_ = 0;  // the engine's fields come first,
  int chainFirst_ = 0;    // then the first template's constants, then the chained fields
  std::vector<int64_t> constantPlaces_;
  std::vector<FieldView> fields_;
};

}  // namespace teds

#endif
