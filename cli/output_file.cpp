#include "output_file.h"

#include <fstream>
#include <iostream>
#include <memory>

#include "app.h"
#include "check.h"
#include "document.h"
#include "engine.h"
#include "json_form.h"
#include "ted_file.h"

namespace teds {

OutputForm outputFormOf(const std::string& path) {
  const std::string suffix = std::filesystem::path(path).extension().string();
  if (equalsIgnoreCase(suffix, ".ted")) return OutputForm::Ted;
  if (equalsIgnoreCase(suffix, ".json")) return OutputForm::Json;
  return OutputForm::Text;
}

void writeOutputFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
  out.close();
  if (!out) throw Failure("cannot write " + path);
}

std::string encodedAs(const tedskit_teds* teds, OutputForm form) {
  char* bytes = nullptr;
  size_t size = 0;
  int32_t result = TEDSKIT_OK;
  switch (form) {
    case OutputForm::Ted:
      result = tedskit_teds_ted(teds, &bytes, &size);
      break;
    case OutputForm::Json:
      result = tedskit_teds_json(teds, &bytes);
      break;
    case OutputForm::Text:
      result = tedskit_teds_text(teds, &bytes);
      break;
  }
  if (result != TEDSKIT_OK) throw Failure(tedskit_last_error());
  const std::unique_ptr<char, void (*)(char*)> hold(bytes, tedskit_string_free);
  return form == OutputForm::Ted ? std::string(bytes, size) : std::string(bytes);
}

void printNotes(std::string_view notes) {
  while (!notes.empty()) {
    const auto end = notes.find('\n');
    std::cerr << "teds: note: " << notes.substr(0, end) << "\n";
    notes = end == std::string_view::npos ? std::string_view{} : notes.substr(end + 1);
  }
}

std::string imageDocumentJson(const TedsImage& image, const std::filesystem::path& templatesDir, bool forceV10) {
  Engine engine(templatesDir);
  const Teds teds = engine.decode(image, forceV10);
  return tedsJson(engine, teds, &image, {{"source", image.origin}});
}

void writeImageFile(const std::string& path, const TedsImage& image,
                    const std::filesystem::path& templatesDir, bool forceV10) {
  switch (outputFormOf(path)) {
    case OutputForm::Ted: {
      std::size_t minBits = 0;
      try {
        minBits = tedStreamBits(Document(templatesDir, image, forceV10));
      } catch (const std::exception&) {
        // no template to measure: the stream is written as far as it holds bits
      }
      const auto file = tedFile(image, minBits);
      writeOutputFile(path, std::string(file.begin(), file.end()));
      return;
    }
    case OutputForm::Json:
      writeOutputFile(path, imageDocumentJson(image, templatesDir, forceV10));
      return;
    case OutputForm::Text:
      break;
  }
  writeOutputFile(path, formatImage(image));
}

}  // namespace teds
