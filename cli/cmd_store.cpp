#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>

#include <unistd.h>

#include "base/c_file.h"
#include "base/fixed_meanings.h"
#include "capture.h"
#include "commands.h"
#include "engine.h"
#include "field_model.h"
#include "report.h"
#include "store/record_file_scan.h"
#include "template_files.h"
#include "tedskit/calden.h"
#include "tedskit/dorvia.h"
#include "value_check.h"

namespace teds {
namespace {

std::string storeError(int code) {
  char text[128] = "";
  GetErrorCodeString(code, text, sizeof text - 1);
  return text[0] != '\0' ? std::string(text) : describeCode(code);
}

int newHandle() {
  const int32_t handle = CreateNewStoredDataStruct();
  if (handle < 0) throw Failure("cannot create a record store");
  return handle;
}

const char* descriptorName(int descriptor) {
  switch (descriptor) {
    case 1:
      return "manufacturer";
    case 3:
      return "lms";
    default:
      return "standard";
  }
}

int optionalNumber(const Args& args, const std::string& name) {
  const auto text = args.value(name);
  if (!text) return CALDEN_NO_NUMBER;
  const int value = parseInt(*text, "--" + name);
  if (value < 0) throw UsageError("--" + name + " must not be negative");
  return value;
}

namespace fs = std::filesystem;

// A save replaces a file only when told to, and adds records only to a record file: a
// README given by mistake stays as it was.
void refuseUnsafeSave(const std::string& file, bool append, bool force) {
  std::error_code error;
  if (!fs::exists(fs::symlink_status(file, error)) || fs::is_directory(file, error)) return;
  if (!append) {
    if (force) return;
    throw Failure(file + ": the file exists; give --append to add the record to it or --force to replace it");
  }
  const auto stream = tedskit::base::openFile(file.c_str(), "r");
  if (stream && !tedskit::store::holdsRecordsOnly(stream.get())) {
    throw Failure(file + ": not a record file; the record was not appended");
  }
}

int save(const Context& context, const Args& args) {
  const auto& positional = args.positional();
  if (positional.size() < 3) throw UsageError("give the record FILE and an IMAGE");
  const std::string file = positional[1];
  refuseUnsafeSave(file, args.has("append"), args.has("force"));
  const TedsImage image = imageFromArguments({positional.begin() + 2, positional.end()});
  Engine engine(context.templatesDir);
  refuseBlankInput(image);
  Teds teds = engine.decode(image, args.has("v10"));
  const int handle = newHandle();
  const int32_t stored = Calden(handle, teds.fields->kind, &teds.fields->array,
                                optionalNumber(args, "channel"), optionalNumber(args, "unit"));
  if (stored != 0) throw Failure("cannot keep the record: " + storeError(stored));
  sccontrolstruct scc{};
  const bool v10 = teds.engine == EngineKind::V10;
  if (v10) getTemplateSCC(&scc);
  CapturedOutput quiet(STDOUT_FILENO);
  const int32_t result = SaveTEDSReadToFile(handle, file.c_str(), args.has("append") ? 1 : 0,
                                            context.templatesDir.c_str(), v10 ? 1 : 0, scc);
  quiet.finish();
  if (result != 0) throw Failure(file + ": cannot save the record: " + storeError(result));
  if (context.json) {
    std::cout << "{\"saved\": " << jsonString(file) << ", \"template\": " << teds.fields->array.templateID
              << "}\n";
  } else {
    std::cout << "Saved template " << teds.fields->array.templateID << " ("
              << latin1ToUtf8(teds.fields->array.templateName) << ") to " << file << ".\n";
  }
  return 0;
}

struct Record {
  Teds teds;
  int channel = CALDEN_NO_NUMBER;
  int unit = CALDEN_NO_NUMBER;
};

EngineKind engineOf(const TaggedFieldArray& fields) {
  if (fields.kind == CALDEN_DESCRIPTOR_LMS) return EngineKind::Lms;
  return fields.array.templateID >= tedskit::base::kFirstV10Template ? EngineKind::V10
                                                                     : EngineKind::Description;
}

// A value read back is held to what an edit of that field may set; the first one it
// could not hold, or nothing. The LMS layouts keep their values in texts of their own
// ("0.000" for a whole number of millimetres), which edits do not take as they stand.
std::optional<std::string> refusedValue(const Teds& teds) {
  if (teds.engine == EngineKind::Lms) return std::nullopt;
  for (const FieldModel& field : fieldModels(teds)) {
    try {
      checkValue(field, trim(latin1ToUtf8(rawValueText(teds, field.index))));
    } catch (const ValueRefused& refused) {
      return refused.what();
    }
  }
  return std::nullopt;
}

// The good records of a file; each broken block, and each record with a value its field
// cannot hold, is reported as "FILE:LINE: reason" and passed over.
std::vector<Record> loadRecords(Engine& engine, const std::string& file, int& skipped) {
  // Records of V1.0 templates need the TDL engine; load its templates from the template
  // directory before the reader switches to it.
  engine.enterV10();
  engine.leaveV10();
  std::error_code error;
  const auto stream =
      fs::is_directory(file, error) ? tedskit::base::CFile{} : tedskit::base::openFile(file.c_str(), "r");
  if (!stream) throw Failure(file + ": cannot read the records: " + storeError(CALDEN_FILE_NOT_FOUND));
  std::vector<Record> records;
  std::vector<tedskit::store::BrokenBlock> broken;
  // The MTS template file of MTS records is opened relative to the working directory:
  // the template directory's, else the shipped one.
  const struct BackTo {
    fs::path dir;
    ~BackTo() {
      std::error_code ignored;
      fs::current_path(dir, ignored);
    }
  } back{fs::current_path(error)};
  const fs::path mts = mtsTemplateFile(engine.templatesDir());
  fs::current_path(mts.empty() ? engine.templatesDir() : mts.parent_path(), error);
  CapturedOutput quiet(STDOUT_FILENO);
  tedskit::store::readRecordBlocks(
      stream.get(), engine.templatesDir().c_str(), tedskit::store::OnBroken::PassOver,
      [&](const tedskit::store::ReadBlock& block) {
        Record record;
        record.teds.fields->kind = block.descriptor;
        record.teds.fields->array = block.array;
        record.teds.engine = engineOf(*record.teds.fields);
        record.channel = block.channelNumber;
        record.unit = block.unitNumber;
        if (const auto refused = refusedValue(record.teds)) {
          broken.push_back({block.firstLine, "the record of template " +
                                                 std::to_string(block.array.templateID) +
                                                 " holds a value it cannot: " + *refused});
          return;
        }
        records.push_back(std::move(record));
      },
      broken);
  quiet.finish();
  std::sort(broken.begin(), broken.end(), [](const auto& a, const auto& b) { return a.line < b.line; });
  for (const auto& block : broken)
    std::cerr << "teds: " << file << ":" << block.line << ": " << block.reason << "\n";
  skipped = static_cast<int>(broken.size());
  if (skipped > 0) {
    std::cerr << "teds: " << file << ": " << skipped << " broken block" << (skipped == 1 ? "" : "s")
              << " skipped, " << records.size() << " record" << (records.size() == 1 ? "" : "s") << " read\n";
  }
  return records;
}

// The record as an image that teds write and decode take.
int writeRecord(const Context& context, Engine& engine, Record& record, const std::string& output) {
  const std::string text = formatImage(engine.encode(record.teds));
  if (output == "-") {
    std::cout << text;
    return 0;
  }
  auto stream = tedskit::base::openFile(output.c_str(), "w");
  if (!stream) throw Failure(output + ": cannot write: " + std::strerror(errno));
  const bool written = std::fwrite(text.data(), 1, text.size(), stream.get()) == text.size();
  if (!written || std::fclose(stream.release()) != 0) {
    throw Failure(output + ": cannot write: " + std::strerror(errno));
  }
  if (context.json) {
    std::cout << "{\"written\": " << jsonString(output)
              << ", \"template\": " << record.teds.fields->array.templateID << "}\n";
  } else {
    std::cout << "Wrote the record of template " << record.teds.fields->array.templateID << " ("
              << latin1ToUtf8(record.teds.fields->array.templateName) << ") to " << output << ".\n";
  }
  return 0;
}

std::string numberText(int number) { return number == CALDEN_NO_NUMBER ? "-" : std::to_string(number); }

int load(const Context& context, const Args& args, bool listOnly) {
  if (args.positional().size() != 2) throw UsageError("give one record FILE");
  const std::string file = args.positional()[1];
  Engine engine(context.templatesDir);
  int skipped = 0;
  auto records = loadRecords(engine, file, skipped);
  if (const auto output = args.value("output")) {
    if (listOnly) throw UsageError("--output goes with store load");
    const auto wanted = args.value("record");
    if (!wanted) throw UsageError("--output needs --record N");
    const int index = parseInt(*wanted, "--record");
    if (index < 0 || static_cast<std::size_t>(index) >= records.size()) {
      throw Failure(file + ": no record " + *wanted + "; the file holds " + std::to_string(records.size()) +
                    " good record" + (records.size() == 1 ? "" : "s"));
    }
    writeRecord(context, engine, records[static_cast<std::size_t>(index)], *output);
    return skipped > 0 ? 1 : 0;
  }
  if (args.value("record")) throw UsageError("--record goes with --output");
  if (context.json) std::cout << "[";
  for (std::size_t i = 0; i < records.size(); ++i) {
    auto& record = records[i];
    const auto& array = record.teds.fields->array;
    const Facts facts = {{"Record", std::to_string(i)},
                         {"Channel", numberText(record.channel)},
                         {"Unit", numberText(record.unit)}};
    if (listOnly) {
      if (context.json) {
        std::cout << (i == 0 ? "\n" : ",\n") << "  {\"record\": " << i
                  << ", \"kind\": " << jsonString(descriptorName(record.teds.fields->kind))
                  << ", \"template\": " << array.templateID
                  << ", \"name\": " << jsonString(latin1ToUtf8(array.templateName))
                  << ", \"channel\": " << record.channel << ", \"unit\": " << record.unit << "}";
      } else {
        std::cout << i << "  " << padRight(descriptorName(record.teds.fields->kind), 12) << " template "
                  << array.templateID << "  channel " << numberText(record.channel) << "  unit "
                  << numberText(record.unit) << "  " << latin1ToUtf8(array.templateName) << "\n";
      }
      continue;
    }
    if (context.json) std::cout << (i == 0 ? "\n" : ",\n");
    if (!context.json && i > 0) std::cout << "\n";
    printTeds(context, engine, record.teds, nullptr, facts);
  }
  if (context.json) std::cout << "\n]\n";
  return skipped > 0 ? 1 : 0;
}

}  // namespace

int runStore(std::span<char* const> argv) {
  const Args args(argv, withCommonOptions({{"channel", 'c', true},
                                           {"unit", 'u', true},
                                           {"append", 'a', false},
                                           {"force", 'f', false},
                                           {"v10", 0, false},
                                           {"record", 'r', true},
                                           {"output", 'o', true}}));
  if (args.has("help")) {
    printHelp(helpOf("store"));
    return 0;
  }
  if (args.positional().empty()) throw UsageError("give save, load or list");
  const Context context = makeContext(args);
  const std::string action = args.positional()[0];
  if (action == "save") return save(context, args);
  if (action == "load") return load(context, args, false);
  if (action == "list") return load(context, args, true);
  throw UsageError("unknown store action '" + action + "'; give save, load or list");
}

}  // namespace teds
