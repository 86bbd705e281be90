#include "cli/cli.h"

#include <nlohmann/json.hpp>
#include <ostream>
#include <span>
#include <string_view>

#include "core/cp1251.h"
#include "core/file_routines.h"
#include "spc/gages.h"

namespace mv::cli {
namespace {

using Json = nlohmann::ordered_json;
using Args = std::span<const std::string>;

struct Command {
  std::string_view name;
  std::string_view usage;
  std::string_view summary;
  int (*run)(Args args, std::ostream& out, std::ostream& err);
};

// Text read from files may hold anything; JSON output must stay valid UTF-8.
std::string SafeUtf8(const std::string& text) { return Cp1251ToUtf8(Utf8ToCp1251(text)); }

int RunGages(Args args, std::ostream& out, std::ostream& err) {
  if (args.size() != 1) {
    err << "gages: expected one file name\n";
    return kExitUsage;
  }
  std::string bytes;
  if (!LoadFileToString(args[0], bytes, true)) {
    err << "gages: cannot read " << args[0] << " (missing, unreadable or larger than " << kMaxFileStringSize
        << " bytes)\n";
    return kExitFailed;
  }
  TGageSet list;
  if (!list.LoadFromString(bytes)) {
    err << "gages: " << args[0] << ": " << list.LastError << "\n";
    return kExitFailed;
  }
  Json gauges = Json::array();
  for (int i = 1; i <= list.Count(); ++i) {
    const TGage& g = *list.Item(i);
    Json item = {{"id", g.id},
                 {"name", SafeUtf8(g.name)},
                 {"fullName", SafeUtf8(g.fullName)},
                 {"serialNumber", SafeUtf8(g.serialNumber)},
                 {"deviceId", SafeUtf8(g.deviceId)},
                 {"unit", SafeUtf8(g.unit)},
                 {"decimals", g.decimals},
                 {"note", SafeUtf8(g.note)}};
    Json range = Json::object();
    if (const auto lower = g.range.Get(ValueRange::kLower)) range["min"] = *lower;
    if (const auto upper = g.range.Get(ValueRange::kUpper)) range["max"] = *upper;
    item["range"] = range;
    item["rangeText"] = SafeUtf8(g.range.BoundsText());
    gauges.push_back(std::move(item));
  }
  out << Json{{"file", SafeUtf8(args[0])}, {"count", list.Count()}, {"gauges", gauges}}.dump(2) << "\n";
  return kExitOk;
}

const Command kCommands[] = {
    {"gages", "gages <file.ggs>", "list the gauges of a gauge file", RunGages},
};

void PrintHelp(std::ostream& out) {
  out << "Usage: morvalen-cli <command> [arguments]\n"
         "       morvalen-cli --version | --help\n\n"
         "Batch commands of Morvalen, statistical quality control. Each prints JSON.\n\n"
         "Commands:\n";
  for (const Command& c : kCommands) out << "  " << c.usage << "\n      " << c.summary << "\n";
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    PrintHelp(err);
    return kExitUsage;
  }
  const std::string& first = args[0];
  if (first == "--help" || first == "-h") {
    PrintHelp(out);
    return kExitOk;
  }
  if (first == "--version") {
    out << "morvalen-cli " << MV_VERSION << "\n";
    return kExitOk;
  }
  for (const Command& c : kCommands) {
    if (first == c.name) return c.run(Args(args).subspan(1), out, err);
  }
  err << "morvalen-cli: unknown command '" << SafeUtf8(first) << "' (see --help)\n";
  return kExitUsage;
}

}  // namespace mv::cli
