// The C face of the road. Every export takes the one lock (the libraries below keep
// process-wide state), runs inside the guard and leaves its message for the thread.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <span>
#include <string>

#include "base/fixed_meanings.h"
#include "check.h"
#include "chip_dump.h"
#include "export_support.h"
#include "document.h"
#include "image.h"
#include "field_offsets.h"
#include "json_form.h"
#include "latin1.h"
#include "select_cases.h"
#include "ted_file.h"
#include "tedskit/tedskit.h"
#include "value_check.h"

using teds::argumentError;
using teds::run;

struct tedskit_check {
  teds::CheckResult result;
  std::string lastDate, dueDate;
};

namespace {

const teds::FieldView* fieldAt(const tedskit_teds* teds, int32_t index) {
  if (teds == nullptr) return nullptr;
  const auto& fields = teds->document.fields();
  if (index < 0 || static_cast<std::size_t>(index) >= fields.size()) return nullptr;
  return &fields[static_cast<std::size_t>(index)];
}

template <typename Out, typename Get>
int32_t fieldPart(const tedskit_teds* teds, int32_t index, Out* out, Get&& get) {
  return run([&]() -> int32_t {
    const auto* field = fieldAt(teds, index);
    if (field == nullptr || out == nullptr) {
      return argumentError("no field " + std::to_string(index) +
                           " (or no handle or no place for the result)");
    }
    return get(*field, *out);
  });
}

char* copied(const std::string& text) {
  char* out = static_cast<char*>(std::malloc(text.size() + 1));
  if (out == nullptr) throw std::bad_alloc();
  std::memcpy(out, text.c_str(), text.size() + 1);
  return out;
}

// Bytes for the caller, released with tedskit_string_free.
void handOver(std::span<const uint8_t> data, char** bytes, size_t* size) {
  auto* out = static_cast<char*>(std::malloc(std::max<std::size_t>(data.size(), 1)));
  if (out == nullptr) throw std::bad_alloc();
  std::memcpy(out, data.data(), data.size());
  *bytes = out;
  *size = data.size();
}

teds::TedsImage imageOf(const void* input, size_t size, tedskit_input kind) {
  const auto* bytes = static_cast<const uint8_t*>(input);
  const std::string_view text(static_cast<const char*>(input), size);
  switch (kind) {
    case TEDSKIT_INPUT_TED:
      return teds::fromTedFile(std::span(bytes, size));
    case TEDSKIT_INPUT_JSON:
    case TEDSKIT_INPUT_BYTES:
      return teds::fromMemoryImage(std::span(bytes, size));
    case TEDSKIT_INPUT_CHIP:
      return teds::fromChipImage(std::span(bytes, size));
    case TEDSKIT_INPUT_HEX:
      return teds::fromMemoryImage(teds::parseHex(text));
    case TEDSKIT_INPUT_TEXT: {
      teds::TedsImage image = teds::parseImage(text);
      if (image.origin.ends_with("(binary)")) {
        throw teds::ImageError("expected text (\"memory:\" lines or hex), but the input is binary");
      }
      return image;
    }
    case TEDSKIT_INPUT_AUTO:
      break;
  }
  return teds::parseImage(text);
}

std::string joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : "\n") + line;
  return text;
}

// A JSON input is its raw images with its fields set on them; every other kind is an image.
tedskit_teds* opened(const char* dir, const void* input, size_t size, tedskit_input kind, bool forceV10) {
  const std::string_view text(static_cast<const char*>(input), size);
  if (kind == TEDSKIT_INPUT_JSON || (kind == TEDSKIT_INPUT_AUTO && teds::looksLikeJson(text))) {
    teds::JsonInput json = teds::readJsonInput(text);
    auto teds = std::make_unique<tedskit_teds>(dir, std::move(json.image), forceV10 || json.tdl);
    teds->note = joined(teds::applyJsonFields(teds->document, json));
    return teds.release();
  }
  return std::make_unique<tedskit_teds>(dir, imageOf(input, size, kind), forceV10).release();
}

}  // namespace

extern "C" {

const char* tedskit_last_error(void) { return teds::lastErrorText().c_str(); }

void tedskit_string_free(char* text) { std::free(text); }

int32_t tedskit_teds_open(const char* templates_dir, const void* input, size_t size, tedskit_input kind,
                          int32_t force_tdl, tedskit_teds** teds) {
  return run([&]() -> int32_t {
    if (teds == nullptr || templates_dir == nullptr || (input == nullptr && size != 0)) {
      return argumentError(
          "tedskit_teds_open needs a template directory, an input and a place for the handle");
    }
    *teds = nullptr;
    if (kind < TEDSKIT_INPUT_AUTO || kind > TEDSKIT_INPUT_TED) return argumentError("unknown input kind");
    *teds = opened(templates_dir, input == nullptr ? "" : input, size, kind, force_tdl != 0);
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_new(const char* templates_dir, int32_t kind, int32_t template_id, int32_t manufacturer_id,
                         int32_t force_tdl, tedskit_teds** teds) {
  return run([&]() -> int32_t {
    if (teds == nullptr || templates_dir == nullptr) {
      return argumentError("tedskit_teds_new needs a template directory and a place for the handle");
    }
    *teds = nullptr;
    if (kind != 0 && kind != 1 && kind != 3) return argumentError("kind is 0, 1 or 3, not " + std::to_string(kind));
    if (template_id < 0 || template_id > 255) {
      return argumentError("a template ID is 0 to 255, not " + std::to_string(template_id));
    }
    teds::TemplateChoice choice{kind, template_id, manufacturer_id, force_tdl != 0 || (kind == 0 && template_id >= tedskit::base::kFirstV10Template)};
    teds::Engine engine(templates_dir);
    *teds = new tedskit_teds(templates_dir, teds::freshImage(engine, choice), choice.v10);
    return TEDSKIT_OK;
  });
}

void tedskit_teds_free(tedskit_teds* teds) {
  tedskit::base::guard([&] {
    std::lock_guard hold(teds::libraryLock());
    delete teds;
  });
}

int32_t tedskit_teds_template(const tedskit_teds* teds, int32_t* kind, int32_t* template_id,
                              const char** name, tedskit_engine* engine) {
  return run([&]() -> int32_t {
    if (teds == nullptr) return argumentError("no handle");
    const auto& t = teds->document.teds();
    if (kind != nullptr) *kind = t.fields->kind;
    if (template_id != nullptr) *template_id = t.fields->array.templateID;
    if (name != nullptr) {
      auto& held = const_cast<tedskit_teds*>(teds)->templateName;
      held = teds::latin1ToUtf8(std::string(t.fields->array.templateName,
                                            strnlen(t.fields->array.templateName, TEDS_TEMPLATE_NAME_SIZE)));
      *name = held.c_str();
    }
    if (engine != nullptr) {
      *engine = t.engine == teds::EngineKind::V10   ? TEDSKIT_ENGINE_TDL
                : t.engine == teds::EngineKind::Lms ? TEDSKIT_ENGINE_LMS
                                                    : TEDSKIT_ENGINE_DESCRIPTION;
    }
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_checksum_ok(const tedskit_teds* teds, int32_t* ok) {
  return run([&]() -> int32_t {
    if (teds == nullptr || ok == nullptr) return argumentError("no handle or no place for the result");
    *ok = teds->document.image().checksumOk ? 1 : 0;
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_field_count(const tedskit_teds* teds, int32_t* count) {
  return run([&]() -> int32_t {
    if (teds == nullptr || count == nullptr) return argumentError("no handle or no place for the result");
    *count = static_cast<int32_t>(teds->document.fields().size());
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_field_index(const tedskit_teds* teds, const char* label, int32_t* index) {
  return run([&]() -> int32_t {
    if (teds == nullptr || label == nullptr || index == nullptr) {
      return argumentError("no handle, label or place for the result");
    }
    *index = teds->document.indexOf(label);
    if (*index >= 0) return TEDSKIT_OK;
    teds::lastErrorText() = std::string("no field labelled \"") + label + "\"";
    return TEDSKIT_ERR_LABEL;
  });
}

int32_t tedskit_field_label(const tedskit_teds* teds, int32_t index, const char** label) {
  return fieldPart(teds, index, label, [](const teds::FieldView& f, const char*& out) {
    out = f.model.label.c_str();
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_units(const tedskit_teds* teds, int32_t index, const char** units) {
  return fieldPart(teds, index, units, [](const teds::FieldView& f, const char*& out) {
    out = f.model.units.c_str();
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_access(const tedskit_teds* teds, int32_t index, const char** access) {
  return fieldPart(teds, index, access, [](const teds::FieldView& f, const char*& out) {
    out = f.model.access.c_str();
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_kind(const tedskit_teds* teds, int32_t index, tedskit_value_kind* kind) {
  return fieldPart(teds, index, kind, [](const teds::FieldView& f, tedskit_value_kind& out) {
    out = static_cast<tedskit_value_kind>(f.model.kind);
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_bit_width(const tedskit_teds* teds, int32_t index, int32_t* bits) {
  return fieldPart(teds, index, bits, [](const teds::FieldView& f, int32_t& out) {
    out = f.model.bitWidth;
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_bit_offset(const tedskit_teds* teds, int32_t index, int32_t* offset) {
  return fieldPart(teds, index, offset, [teds](const teds::FieldView& f, int32_t& out) {
    auto& held = const_cast<tedskit_teds*>(teds)->bitOffsets;
    if (!held) held = teds::fieldBitOffsets(teds->document);
    out = (*held)[static_cast<std::size_t>(f.model.index)];
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_display(const tedskit_teds* teds, int32_t index, const char** text) {
  return fieldPart(teds, index, text, [](const teds::FieldView& f, const char*& out) {
    out = f.value.display.c_str();
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_integer(const tedskit_teds* teds, int32_t index, int64_t* value) {
  return fieldPart(teds, index, value, [](const teds::FieldView& f, int64_t& out) {
    if (f.model.kind == teds::ValueKind::Real || f.model.kind == teds::ValueKind::Text) {
      return argumentError("\"" + f.model.label + "\" holds no integer");
    }
    out = f.value.integer;
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_real(const tedskit_teds* teds, int32_t index, double* value) {
  return fieldPart(teds, index, value, [](const teds::FieldView& f, double& out) {
    if (f.model.kind != teds::ValueKind::Real)
      return argumentError("\"" + f.model.label + "\" holds no number");
    out = f.value.real;
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_text(const tedskit_teds* teds, int32_t index, const char** text) {
  return fieldPart(teds, index, text, [](const teds::FieldView& f, const char*& out) {
    if (f.model.kind == teds::ValueKind::Real || f.model.kind == teds::ValueKind::Integer) {
      return argumentError("\"" + f.model.label + "\" holds no text");
    }
    out = f.value.text.c_str();
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_range(const tedskit_teds* teds, int32_t index, double* minimum, double* maximum,
                            double* resolution) {
  return run([&]() -> int32_t {
    const auto* f = fieldAt(teds, index);
    if (f == nullptr) return argumentError("no field " + std::to_string(index));
    const bool text = f->model.kind == teds::ValueKind::Text;
    if (minimum != nullptr) *minimum = text ? 0 : f->model.minimum;
    if (maximum != nullptr) *maximum = text ? 0 : f->model.maximum;
    if (resolution != nullptr) *resolution = text ? 0 : teds::resolutionAt(f->model, f->model.minimum);
    return TEDSKIT_OK;
  });
}

int32_t tedskit_field_choice_count(const tedskit_teds* teds, int32_t index, int32_t* count) {
  return fieldPart(teds, index, count, [](const teds::FieldView& f, int32_t& out) {
    out = static_cast<int32_t>(f.model.choices.size());
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_field_choice(const tedskit_teds* teds, int32_t index, int32_t choice, const char** text) {
  return fieldPart(teds, index, text, [&](const teds::FieldView& f, const char*& out) {
    if (choice < 0 || static_cast<std::size_t>(choice) >= f.model.choices.size()) {
      return argumentError("\"" + f.model.label + "\" has no choice " + std::to_string(choice));
    }
    out = f.model.choices[static_cast<std::size_t>(choice)].c_str();
    return int32_t{TEDSKIT_OK};
  });
}

int32_t tedskit_teds_set(tedskit_teds* teds, const char* label, const char* value, const char** note) {
  return run([&]() -> int32_t {
    if (teds == nullptr || label == nullptr || value == nullptr) {
      return argumentError("tedskit_teds_set needs a handle, a label and a value");
    }
    teds->bitOffsets.reset();
    teds->note = joined(teds->document.set(label, value));
    if (note != nullptr) *note = teds->note.c_str();
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_text(const tedskit_teds* teds, char** text) {
  return run([&]() -> int32_t {
    if (teds == nullptr || text == nullptr) return argumentError("no handle or no place for the result");
    *text = copied(teds::formatImage(teds->document.image()));
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_memory_hex(const tedskit_teds* teds, char** hex) {
  return run([&]() -> int32_t {
    if (teds == nullptr || hex == nullptr) return argumentError("no handle or no place for the result");
    *hex = copied(teds::toHex(teds::memoryImage(teds->document.image())));
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_note(const tedskit_teds* teds, const char** note) {
  return run([&]() -> int32_t {
    if (teds == nullptr || note == nullptr) return argumentError("no handle or no place for the result");
    *note = teds->note.c_str();
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_json(const tedskit_teds* teds, char** json) {
  return run([&]() -> int32_t {
    if (teds == nullptr || json == nullptr) return argumentError("no handle or no place for the result");
    *json = copied(teds::tedsJson(teds->document, {}));
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_ted(const tedskit_teds* teds, char** bytes, size_t* size) {
  return run([&]() -> int32_t {
    if (teds == nullptr || bytes == nullptr || size == nullptr)
      return argumentError("no handle or no place for the result");
    handOver(teds::tedFile(teds->document.image(), teds::tedStreamBits(teds->document)), bytes, size);
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_chip_image(const tedskit_teds* teds, const char* model, char** bytes, size_t* size) {
  return run([&]() -> int32_t {
    if (teds == nullptr || bytes == nullptr || size == nullptr)
      return argumentError("no handle or no place for the result");
    const tedskit::base::ChipModel* chip = nullptr;
    if (model != nullptr) {
      chip = teds::dumpModelNamed(model);
      if (chip == nullptr)
        return argumentError("no chip model \"" + std::string(model) + "\": " + teds::kDumpModels);
    }
    handOver(teds::chipDump(teds->document.image(), chip), bytes, size);
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_check(const tedskit_teds* teds, const char* on_date, tedskit_check** check) {
  return run([&]() -> int32_t {
    if (teds == nullptr || check == nullptr) return argumentError("no handle or no place for the result");
    const int64_t today = on_date == nullptr ? teds::todayOnTedsCalendar() : teds::dayOfText("on_date", on_date);
    auto made = std::make_unique<tedskit_check>();
    made->result = teds::checkDocument(teds->document, today);
    if (const auto& state = made->result.calibration) {
      made->lastDate = teds::isoDate(state->lastDay);
      if (state->periodDays > 0) made->dueDate = teds::isoDate(state->dueDay);
    }
    *check = made.release();
    return TEDSKIT_OK;
  });
}

void tedskit_check_free(tedskit_check* check) {
  tedskit::base::guard([&] { delete check; });
}

int32_t tedskit_check_count(const tedskit_check* check, int32_t* count) {
  return run([&]() -> int32_t {
    if (check == nullptr || count == nullptr) return argumentError("no check or no place for the result");
    *count = static_cast<int32_t>(check->result.findings.size());
    return TEDSKIT_OK;
  });
}

int32_t tedskit_check_finding(const tedskit_check* check, int32_t index, tedskit_severity* severity,
                              const char** code, const char** field, const char** message) {
  return run([&]() -> int32_t {
    if (check == nullptr || index < 0 || static_cast<std::size_t>(index) >= check->result.findings.size()) {
      return argumentError("no finding " + std::to_string(index));
    }
    const auto& finding = check->result.findings[static_cast<std::size_t>(index)];
    if (severity != nullptr) *severity = static_cast<tedskit_severity>(finding.severity);
    if (code != nullptr) *code = finding.code.c_str();
    if (field != nullptr) *field = finding.field.c_str();
    if (message != nullptr) *message = finding.message.c_str();
    return TEDSKIT_OK;
  });
}

int32_t tedskit_check_calibration(const tedskit_check* check, int32_t* known, const char** last_date,
                                  int32_t* period_days, const char** due_date, int32_t* days_left) {
  return run([&]() -> int32_t {
    if (check == nullptr || known == nullptr) return argumentError("no check or no place for the result");
    const auto& state = check->result.calibration;
    *known = state ? 1 : 0;
    if (!state) return TEDSKIT_OK;
    if (last_date != nullptr) *last_date = check->lastDate.c_str();
    if (period_days != nullptr) *period_days = static_cast<int32_t>(state->periodDays);
    if (due_date != nullptr) *due_date = check->dueDate.c_str();
    if (days_left != nullptr) *days_left = static_cast<int32_t>(state->daysLeft);
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_select_case_count(const tedskit_teds* teds, int32_t* count) {
  return run([&]() -> int32_t {
    if (teds == nullptr || count == nullptr) return argumentError("no handle or no place for the result");
    auto& held = const_cast<tedskit_teds*>(teds)->selectCases;
    held = teds::selectCasesOf(teds->document);
    *count = static_cast<int32_t>(held.size());
    return TEDSKIT_OK;
  });
}

int32_t tedskit_teds_select_case(const tedskit_teds* teds, int32_t index, const char** description, int32_t* value,
                                 const char** case_text, int32_t* field) {
  return run([&]() -> int32_t {
    if (teds == nullptr || index < 0 || static_cast<std::size_t>(index) >= teds->selectCases.size())
      return argumentError("no select case " + std::to_string(index) + " (count them first)");
    const teds::SelectCase& one = teds->selectCases[static_cast<std::size_t>(index)];
    if (description != nullptr) *description = one.description.c_str();
    if (value != nullptr) *value = one.value;
    if (case_text != nullptr) *case_text = one.caseText.c_str();
    if (field != nullptr) *field = one.field;
    return TEDSKIT_OK;
  });
}

}  // extern "C"
