#include <iostream>

#include <unistd.h>

#include "capture.h"
#include "base/fixed_meanings.h"
#include "commands.h"
#include "engine.h"
#include "report.h"
#include "tedskit/calden.h"
#include "tedskit/dorvia.h"

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

int save(const Context& context, const Args& args) {
  const auto& positional = args.positional();
  if (positional.size() < 3) throw UsageError("give the record FILE and an IMAGE");
  const std::string file = positional[1];
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

std::vector<Record> loadRecords(const Context& context, Engine& engine, const std::string& file) {
  // Records of V1.0 templates need the TDL engine; load its templates from the template
  // directory before the reader switches to it.
  engine.enterV10();
  engine.leaveV10();
  const int handle = newHandle();
  int32_t v10 = 0;
  sccontrolstruct scc{};
  CapturedOutput quiet(STDOUT_FILENO);
  const int32_t result = ReadTEDSDataFromFile(handle, file.c_str(), context.templatesDir.c_str(), &v10, &scc);
  quiet.finish();
  if (result != 0) throw Failure(file + ": cannot read the records: " + storeError(result));
  std::vector<Record> records;
  const int count = GetNumberOfSavedItems(handle);
  for (int i = 0; i < count; ++i) {
    Record record;
    int32_t descriptor = 0;
    int32_t channel = 0, unit = 0;
    if (RetrieveTedsData(handle, i, &record.teds.fields->array, &descriptor, &channel, &unit) != 0) continue;
    record.teds.fields->kind = descriptor;
    record.teds.engine = descriptor == CALDEN_DESCRIPTOR_LMS ? EngineKind::Lms
                         : record.teds.fields->array.templateID >= tedskit::base::kFirstV10Template
                             ? EngineKind::V10
                             : EngineKind::Description;
    record.channel = channel;
    record.unit = unit;
    records.push_back(std::move(record));
  }
  ClearStoredTedsDataStruct(handle);
  return records;
}

std::string numberText(int number) { return number == CALDEN_NO_NUMBER ? "-" : std::to_string(number); }

int load(const Context& context, const Args& args, bool listOnly) {
  if (args.positional().size() != 2) throw UsageError("give one record FILE");
  const std::string file = args.positional()[1];
  Engine engine(context.templatesDir);
  auto records = loadRecords(context, engine, file);
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
  return 0;
}

}  // namespace

int runStore(std::span<char* const> argv) {
  const Args args(
      argv, withCommonOptions(
                {{"channel", 'c', true}, {"unit", 'u', true}, {"append", 'a', false}, {"v10", 0, false}}));
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
