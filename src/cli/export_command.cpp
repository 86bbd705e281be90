#include "cli/export_command.h"

#include <algorithm>
#include <ostream>
#include <vector>

#include "cli/cli.h"
#include "core/json_writer.h"
#include "core/numbers.h"
#include "spc/mef_writer.h"

namespace mv::cli {
namespace {

struct ExportArgs {
  std::string file;
  std::string mef;
  std::string blocksText;  // as typed; empty: every block
};

// "1,3": block positions of the dataset, each once.
bool ParseBlockList(std::string_view text, int blockCount, std::vector<int>& blocks) {
  std::size_t pos = 0;
  for (;;) {
    const std::size_t end = std::min(text.find(',', pos), text.size());
    const auto n = ParseInteger(text.substr(pos, end - pos), 1, blockCount);
    if (!n || std::find(blocks.begin(), blocks.end(), *n) != blocks.end()) return false;
    blocks.push_back(static_cast<int>(*n));
    if (end == text.size()) return true;
    pos = end + 1;
  }
}

bool ParseExportArgs(Args args, ExportArgs& a, std::string& error) {
  static constexpr std::string_view kWithValue[] = {"--mef", "--blocks"};
  const auto take = [&a](const std::string& option, const std::string& value, std::string&) {
    (option == "--mef" ? a.mef : a.blocksText) = value;
    return true;
  };
  if (!ParseCommandLine(args, kWithValue, {}, a.file, take, error)) return false;
  if (a.file.empty()) {
    error = "expected FILE.mvl";
    return false;
  }
  if (a.mef.empty()) {
    error = "expected --mef OUT.mef";
    return false;
  }
  return true;
}

}  // namespace

int RunExport(Args args, std::ostream& out, std::ostream& err) {
  ExportArgs a;
  std::string error;
  if (!ParseExportArgs(args, a, error)) {
    err << "export: " << error << "\n";
    return kExitUsage;
  }
  const auto dataset = ReadDataFile("export", a.file, err);
  if (!dataset) return kExitFailed;
  MefExportOptions options;
  if (!a.blocksText.empty() && !ParseBlockList(a.blocksText, dataset->BlockCount(), options.blocks)) {
    err << "export: --blocks expects block positions 1.." << dataset->BlockCount()
        << " separated by commas, each once, got '" << SafeUtf8(a.blocksText) << "'\n";
    return kExitUsage;
  }
  MefExportResult result;
  MessageCapture messages;
  if (!ExportDataset(*dataset, a.mef, options, result, false)) {
    err << "export: " << messages.First("cannot write " + a.mef) << "\n";
    return kExitFailed;
  }
  JsonWriter w(out);
  w.BeginObject();
  w.Field("file", SafeUtf8(a.file));
  w.Field("mef", SafeUtf8(a.mef));
  w.Field("size", static_cast<std::int64_t>(result.size));
  w.Key("blocksWritten");
  w.BeginArray();
  if (options.blocks.empty()) {
    for (int b = 1; b <= dataset->BlockCount(); ++b) w.Value(b);
  } else {
    for (const int b : options.blocks) w.Value(b);
  }
  w.EndArray();
  w.Key("counts");
  w.BeginObject();
  w.Field("parameters", result.parameters);
  w.Field("blocks", result.blocks);
  w.Field("samples", result.samples);
  w.Field("points", result.points);
  w.Field("values", result.values);
  w.EndObject();
  w.Key("changes");
  w.BeginArray();
  for (const MefTextChange& change : result.changes) {
    w.BeginObject();
    w.Field("place", SafeUtf8(change.place));
    w.Field("change", change.change);
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  w.Done();
  return kExitOk;
}

const std::string_view kExportDetails =
    "      Writes the dataset as an exchange file (Windows-1251, CR LF): every parameter and\n"
    "      the blocks of --blocks (positions in the order given; default every block). The\n"
    "      JSON names the texts written otherwise than they are held: characters outside\n"
    "      Windows-1251 written as '?', and a text cut to fit its line.\n";

}  // namespace mv::cli
