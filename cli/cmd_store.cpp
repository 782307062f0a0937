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
#include "commands.h"
#include "engine.h"
#include "field_model.h"
#include "report.h"
#include "records/record_files.h"
#include "tedskit/calden.h"

namespace teds {
namespace {

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
  refuseUnsafeSave(file, args.has("append"), args.has("force"));
  const TedsImage image = imageFromArguments({positional.begin() + 2, positional.end()});
  Engine engine(context.templatesDir);
  refuseBlankInput(image);
  Teds teds = engine.decode(image, args.has("v10"));
  saveRecord(engine, teds, file, args.has("append"), optionalNumber(args, "channel"), optionalNumber(args, "unit"));
  if (context.json) {
    std::cout << "{\"saved\": " << jsonString(file) << ", \"template\": " << teds.fields->array.templateID
              << "}\n";
  } else {
    std::cout << "Saved template " << teds.fields->array.templateID << " ("
              << latin1ToUtf8(teds.fields->array.templateName) << ") to " << file << ".\n";
  }
  return 0;
}

// The good records of a file; each broken block, and each record with a value its field
// cannot hold, is reported as "FILE:LINE: reason" and passed over.
std::vector<Record> loadReported(Engine& engine, const std::string& file, int& skipped) {
  RecordLoad load = loadRecords(engine, file);
  for (const auto& block : load.skipped)
    std::cerr << "teds: " << file << ":" << block.line << ": " << block.reason << "\n";
  skipped = static_cast<int>(load.skipped.size());
  if (skipped > 0) {
    std::cerr << "teds: " << file << ": " << skipped << " broken block" << (skipped == 1 ? "" : "s")
              << " skipped, " << load.records.size() << " record" << (load.records.size() == 1 ? "" : "s")
              << " read\n";
  }
  return std::move(load.records);
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
  auto records = loadReported(engine, file, skipped);
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
