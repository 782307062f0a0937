// The tool's road through the libraries: decode an image into a field array (description
// engine, V1.0 TDL engine or LMS, through the front end), lay out a field array for a
// template, change fields by label, and encode the array back into an image.
#ifndef TEDSKIT_API_ENGINE_H
#define TEDSKIT_API_ENGINE_H

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "image.h"
#include "tedskit/records.h"

namespace teds {

enum class EngineKind { Description, V10, Lms };

const char* engineName(EngineKind engine);

// An image for a V1.0 template that is not loaded: nothing but its Basic TEDS can be read.
class MissingTemplate : public std::runtime_error {
 public:
  explicit MissingTemplate(int templateId);
  int templateId;
};

// The field array is large (about 391 KB) and mostly unused. Zeroed pages from calloc
// are only touched as the engine fills them, where a value-initialised new clears (and
// so faults in) every page of it on each decode.
struct FieldArrayRelease {
  void operator()(TaggedFieldArray* array) const noexcept;
};
using FieldArrayPtr = std::unique_ptr<TaggedFieldArray, FieldArrayRelease>;
// A zeroed field array; throws std::bad_alloc.
FieldArrayPtr newFieldArray();

// A decoded or newly laid-out TEDS.
struct Teds {
  FieldArrayPtr fields = newFieldArray();
  EngineKind engine = EngineKind::Description;
  std::string formText;  // the description engine's form text, ISO-8859-1
  // The TDL engine's access class of each field ("ID", "CAL", "USR"; "" when the
  // template gives none), filled while the engine still holds the properties.
  std::vector<std::string> accessClasses;
};

// The text of the enumerate an enumeration field of a V1.0 TEDS holds, or "".
std::string enumerateText(const Teds& teds, int fieldIndex);

// Which template a new TEDS is laid out for.
struct TemplateChoice {
  int kind = 0;  // 0 standard, 1 manufacturer's, 3 LMS
  int templateId = 0;
  int manufacturerId = 0;  // kind 1
  bool v10 = false;        // lay out with the TDL engine
};

class Engine {
 public:
  explicit Engine(std::filesystem::path templatesDir);
  Engine(const Engine&) = delete;
  Engine& operator=(const Engine&) = delete;

  const std::filesystem::path& templatesDir() const { return dir_; }

  // forceV10 decodes with the TDL engine whatever the template ID says.
  Teds decode(const TedsImage& image, bool forceV10);
  Teds layout(const TemplateChoice& choice);
  // Sets a field by its label; label and value are UTF-8. Throws Failure.
  void setField(Teds& teds, const std::string& label, const std::string& value);
  TedsImage encode(Teds& teds);
  // The template form text the image was decoded into (not for the V1.0 engine).
  std::string formText(const Teds& teds) const;

  // Switches the V1.0 engine on, loading its templates on first use. Throws Failure.
  void enterV10();
  void leaveV10();

 private:
  std::filesystem::path dir_;
  std::string dirText_;
};

// The image of a new TEDS for a template, every field at its default. A bare V1.0 layout
// holds no select-case choices, so the fields of the cases are missing and the encoder
// would place the others differently from the decoder: it goes once through an image, so
// that the default cases are chosen and every field is there.
TedsImage freshImage(Engine& engine, const TemplateChoice& choice);

}  // namespace teds

#endif
