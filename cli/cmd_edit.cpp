#include <iostream>
#include <memory>

#include "base/fixed_meanings.h"
#include "commands.h"
#include "document.h"
#include "engine.h"
#include "output_file.h"
#include "report.h"
#include "tedskit/tedskit.h"

namespace teds {
namespace {

std::vector<OptionSpec> editOptions() {
  return withCommonOptions(
      {{"set", 's', true},
       {"manufacturer", 'm', true},
       {"v10", 0, false},
       {"output", 'o', true},
       {"add-template", 0, true},
       {"remove-template", 0, true}});
}

namespace base = tedskit::base;

TemplateChoice parseTemplate(const std::string& text, const Args& args) {
  TemplateChoice choice;
  if (equalsIgnoreCase(text, "lms-free")) {
    choice.kind = QUILLON_KIND_LMS;
    choice.templateId = base::kLmsFreeFormatTemplate;
    return choice;
  }
  if (equalsIgnoreCase(text, "lms-geometry")) {
    choice.kind = QUILLON_KIND_LMS;
    choice.templateId = base::kLmsGeometryTemplate;
    return choice;
  }
  choice.templateId = parseInt(text, "TEMPLATE");
  if (choice.templateId < 0 || choice.templateId > 255) throw UsageError("TEMPLATE must be 0 to 255");
  if (const auto manufacturer = args.value("manufacturer")) {
    choice.kind = 1;
    choice.manufacturerId = parseInt(*manufacturer, "--manufacturer");
  } else if (base::isLmsTemplate(choice.templateId)) {
    choice.kind = QUILLON_KIND_LMS;
  }
  choice.v10 = args.has("v10") ||
               (choice.kind == QUILLON_KIND_STANDARD && choice.templateId >= base::kFirstV10Template);
  return choice;
}

// Settings go through libtedskit, which checks each value against its field the same way
// in both engines; its notes (a value stored as a nearby one, a changed identification
// field) go to standard error.
// Takes out the first chained template with the ID.
void removeChained(tedskit_teds* teds, const std::string& text) {
  const int wanted = parseInt(text, "--remove-template");
  int32_t count = 0;
  tedskit_teds_template_count(teds, &count);
  for (int32_t position = 1; position < count; ++position) {
    int32_t id = 0;
    if (tedskit_teds_template_at(teds, position, &id, nullptr, nullptr, nullptr, nullptr) != TEDSKIT_OK)
      throw Failure(tedskit_last_error());
    if (id != wanted) continue;
    if (tedskit_teds_remove_template(teds, position) != TEDSKIT_OK) throw Failure(tedskit_last_error());
    return;
  }
  throw Failure("no template " + std::to_string(wanted) + " is chained in the TEDS");
}

// Removals first, then the templates added, then the settings, so that the fields of an
// added template can be set in the same run.
TedsImage applySettings(const Context& context, const TedsImage& image, bool forceV10, const Args& args) {
  const auto settings = args.values("set");
  const auto added = args.values("add-template");
  const auto removed = args.values("remove-template");
  if (settings.empty() && added.empty() && removed.empty()) return image;
  const std::string text = formatImage(image);
  tedskit_teds* raw = nullptr;
  if (tedskit_teds_open(context.templatesDir.c_str(), text.data(), text.size(), TEDSKIT_INPUT_TEXT,
                        forceV10 ? 1 : 0, &raw) != TEDSKIT_OK) {
    throw Failure(tedskit_last_error());
  }
  const std::unique_ptr<tedskit_teds, void (*)(tedskit_teds*)> teds(raw, tedskit_teds_free);
  for (const auto& id : removed) removeChained(teds.get(), id);
  for (const auto& id : added) {
    if (tedskit_teds_add_template(teds.get(), parseInt(id, "--add-template")) != TEDSKIT_OK)
      throw Failure(tedskit_last_error());
  }
  for (const auto& setting : settings) {
    const auto eq = setting.find('=');
    if (eq == std::string::npos || eq == 0) {
      throw UsageError("--set takes \"LABEL=VALUE\", not '" + setting + "'");
    }
    const char* note = nullptr;
    if (tedskit_teds_set(teds.get(), trim(setting.substr(0, eq)).c_str(),
                         trim(setting.substr(eq + 1)).c_str(), &note) != TEDSKIT_OK) {
      throw Failure(tedskit_last_error());
    }
    printNotes(note == nullptr ? "" : note);
  }
  char* encoded = nullptr;
  if (tedskit_teds_text(teds.get(), &encoded) != TEDSKIT_OK) throw Failure(tedskit_last_error());
  const std::unique_ptr<char, void (*)(char*)> hold(encoded, tedskit_string_free);
  TedsImage result = parseImage(encoded);
  return result;
}

void printEncoded(const Context& context, const Args& args, const TedsImage& image, bool v10) {
  if (const auto output = args.value("output")) {
    writeImageFile(*output, image, context.templatesDir, v10);
  } else if (context.json) {
    std::cout << imageDocumentJson(image, context.templatesDir, v10);
  } else {
    std::cout << formatImage(image);
  }
}

}  // namespace

int runNew(std::span<char* const> argv) {
  const Args args(argv, editOptions());
  if (args.has("help")) {
    printHelp(helpOf("new"));
    return 0;
  }
  if (args.positional().size() != 1) throw UsageError("give one TEMPLATE");
  const Context context = makeContext(args);
  Engine engine(context.templatesDir);
  const TemplateChoice choice = parseTemplate(args.positional()[0], args);
  printEncoded(context, args, applySettings(context, freshImage(engine, choice), choice.v10, args), choice.v10);
  return 0;
}

int runEdit(std::span<char* const> argv) {
  const Args args(argv, editOptions());
  if (args.has("help")) {
    printHelp(helpOf("edit"));
    return 0;
  }
  const Context context = makeContext(args);
  const TedsImage image = imageFromArguments(args.positional(), context.templatesDir);
  refuseBlankInput(image);
  Engine engine(context.templatesDir);
  Teds teds = engine.decode(image, args.has("v10"));
  // The engine encodes the first template only: an image that chains more keeps its bits.
  const bool chained =
      teds.engine == EngineKind::V10 && !Document(context.templatesDir, image, true).chained().empty();
  printEncoded(context, args,
               applySettings(context, chained ? image : engine.encode(teds), args.has("v10"), args),
               teds.engine == EngineKind::V10);
  return 0;
}

}  // namespace teds
