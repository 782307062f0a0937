// The template list: the templates of a description file, the two LMS templates, or
// the templates the V1.0 engine holds.
#include <cstring>
#include <string>
#include <string_view>

#include "base/c_file.h"
#include "base/description_paths.h"
#include "base/guard.h"
#include "base/line_reader.h"
#include "base/selector_line.h"
#include "engine_format.h"
#include "lms_names.h"
#include "state.h"
#include "tedskit/dorvia.h"
#include "tedskit/quillon.h"
#include "text_scan.h"

namespace quillon {

namespace {

namespace base = tedskit::base;

constexpr int32_t kNoID = -1;
// "Template " comes before the name.
constexpr std::size_t kTemplateNameStart = 9;

// The template ID a "selector" line carries: its value when its width is 8.
std::optional<int32_t> selectorTemplateID(std::string_view line) {
  return base::templateIdOf(base::parseSelectorLine(line.substr(std::string_view("selector").size())));
}

// One node per "Template" line, named by the rest of that line; its ID is the value of
// the first "selector" line of width 8 that follows, the same line the engine finds
// the template by. A template without one is listed with ID -1.
int32_t listDescriptionTemplates(std::FILE* file, NameList& list) {
  int32_t count = 0;
  IDNameNode* current = nullptr;
  bool idFound = false;
  base::LineReader lines(file, kMaxLineLength, base::LineReader::Overlong::Cut);
  std::string line;
  while (lines.next(line) == base::LineReader::Result::Line) {
    const std::string_view word = firstWord(line);
    if (word == "Template") {
      const std::string_view name =
          line.size() > kTemplateNameStart ? std::string_view(line).substr(kTemplateNameStart) : "";
      current = &list.add(kNoID, name);
      idFound = false;
      ++count;
    } else if (current != nullptr && !idFound && word == "selector") {
      if (const auto id = selectorTemplateID(line)) {
        current->id = *id;
        idFound = true;
      }
    }
  }
  return count;
}

constexpr struct {
  int32_t id;
  const char* name;
} kLmsTemplates[] = {{kLmsFreeTemplateID, "LMS Free Format"},
                     {kLmsGeometryTemplateID, "LMS Geometry Format"}};

// The engine's templates follow the first node, which stays empty.
int32_t listV10Templates(NameList& list) {
  const int32_t count = getCurrentTemplates();
  int32_t listed = 0;
  for (int32_t index = 0; index < count; ++index) {
    char name[256] = {};
    int32_t id = kNoID;
    if (getTemplateItem(index, name, &id) < 0) continue;
    list.append(id, std::string_view(name, strnlen(name, sizeof name)));
    ++listed;
  }
  return listed;
}

// The LMS templates do not depend on the engine, so kind 3 lists them in either state.
int32_t listTemplates(const char* templateDir, int32_t kind, int32_t manufacturerID, NameList& list) {
  if (inV10State() && kind != QUILLON_KIND_LMS) return listV10Templates(list);
  if (kind == QUILLON_KIND_LMS) {
    for (const auto& lms : kLmsTemplates) list.add(lms.id, lms.name);
    return static_cast<int32_t>(std::size(kLmsTemplates));
  }
  std::string path;
  if (kind == QUILLON_KIND_STANDARD) {
    path = base::standardDescriptionPath(templateDir);
  } else if (kind == QUILLON_KIND_MANUFACTURER) {
    path = base::manufacturerDescriptionPath(templateDir, manufacturerID);
  } else {
    return QUILLON_ERR_BAD_LIST_KIND;
  }
  const auto file = base::openFile(path.c_str(), "r");
  if (!file) return QUILLON_ERR_FILE_NOT_OPENED;
  return listDescriptionTemplates(file.get(), list);
}

int32_t templateNames(const char* templateDir, int32_t kind, int32_t manufacturerID, IDNameNode** first) {
  if (first == nullptr) return QUILLON_ERR_MISSING_ARGUMENT;
  NameList& list = state().templates;
  list.clear();
  *first = list.first();
  return listTemplates(templateDir, kind, manufacturerID, list);
}

}  // namespace

}  // namespace quillon

extern "C" {

QUILLON_API int32_t QUILLON_GetTemplateIDNames(const char* templateDir, int32_t kind, int32_t manufacturerID,
                                               IDNameNode** first) {
  return tedskit::base::guard(QUILLON_ERR_MISSING_ARGUMENT, [&] {
    return quillon::templateNames(templateDir, kind, manufacturerID, first);
  });
}

}  // extern "C"
