#include "cli/params_command.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <vector>

#include "analysis/param_columns.h"
#include "analysis/param_stat.h"
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "core/json_writer.h"
#include "core/numbers.h"

namespace mv::cli {
namespace {

struct ParamsArgs {
  std::string file;
  SelectionArgs selection{SampleRangeCheck::kCommandLine};
  std::optional<DataKind> kind;
  std::vector<int> columns;  // empty: every column offered to the kind's reports
  ColumnValueSettings settings;
  bool noFilter = false;
};

// "1,2,12": catalogue numbers, each once.
bool ParseColumnList(std::string_view text, std::vector<int>& columns) {
  std::size_t pos = 0;
  for (;;) {
    const std::size_t end = std::min(text.find(',', pos), text.size());
    const auto n = ParseInteger(text.substr(pos, end - pos), 1, TColPrototypeSet::kCount);
    if (!n || std::find(columns.begin(), columns.end(), *n) != columns.end()) return false;
    columns.push_back(static_cast<int>(*n));
    if (end == text.size()) return true;
    pos = end + 1;
  }
}

bool ParseParamsArgs(Args args, ParamsArgs& a, std::string& error) {
  static constexpr std::string_view kWithValue[] = {"--block", "--blocks", "--samples", "--kind",
                                                    "--columns", "--lang", "--scale"};
  static constexpr std::string_view kFlags[] = {kNoFilterOption};
  const auto take = [&a](const std::string& option, const std::string& value, std::string& e) {
    if (IsSelectionOption(option)) return TakeSelectionOption(option, value, a.selection, e);
    if (option == kNoFilterOption) {
      a.noFilter = true;
      return true;
    }
    if (option == "--kind") {
      if (value != "var" && value != "attr") return BadValue(option, "var or attr", value, e);
      a.kind = value == "attr" ? DataKind::Attr : DataKind::Var;
      return true;
    }
    if (option == "--columns") {
      a.columns.clear();
      if (!ParseColumnList(value, a.columns)) {
        a.columns.clear();
        return BadValue(option, "column numbers 1..26 separated by commas, each once", value, e);
      }
      return true;
    }
    if (option == "--lang") {
      if (value != "ru" && value != "en") return BadValue(option, "ru or en", value, e);
      a.settings.lang = value == "en" ? Lang::En : Lang::Ru;
      return true;
    }
    // --scale
    if (value == "share") {
      a.settings.valueScale = AttrScale::Share;
    } else if (value == "percent") {
      a.settings.valueScale = AttrScale::Percent;
    } else if (value == "ppm") {
      a.settings.valueScale = AttrScale::Ppm;
    } else {
      return BadValue(option, "share, percent or ppm", value, e);
    }
    return true;
  };
  if (!ParseCommandLine(args, kWithValue, kFlags, a.file, take, error)) return false;
  if (a.file.empty()) {
    error = "expected FILE.mvl";
    return false;
  }
  if (a.selection.SamplesWithoutOneBlock()) {
    error = "--samples needs one block: --block N";
    return false;
  }
  return true;
}

// The data kind of the table: as asked, else that of the first block given, else quantitative
// when the dataset has such a parameter.
DataKind KindOf(const TDatasetSPC& ds, const ParamsArgs& a) {
  if (a.kind) return *a.kind;
  if (!a.selection.blocks.empty()) {
    if (const TSPCBlock* block = ds.Block(a.selection.blocks.front())) return block->kind;
  }
  for (int p = 1; p <= ds.ParameterCount(); ++p) {
    if (ds.Parameter(p)->kind == DataKind::Var) return DataKind::Var;
  }
  return ds.ParameterCount() > 0 ? DataKind::Attr : DataKind::Var;
}

int RunParamsChecked(const ParamsArgs& a, std::ostream& out, std::ostream& err) {
  const auto dataset = ReadDataFile("params", a.file, err);
  if (!dataset) return kExitFailed;
  if (a.noFilter) SwitchFiltersOff(*dataset);
  const TDatasetSPC& ds = *dataset;
  const DataKind kind = KindOf(ds, a);
  std::vector<int> parameters;
  for (int p = 1; p <= ds.ParameterCount(); ++p) {
    if (ds.Parameter(p)->kind == kind) parameters.push_back(p);
  }
  if (parameters.empty()) {
    err << "params: " << SafeUtf8(a.file) << " has no parameter of " << KindCode(kind) << " data\n";
    return kExitFailed;
  }
  // Every parameter of the kind reads the same blocks, so one resolves them for all.
  SampleSelection selection;
  std::string error;
  if (!ResolveSelection(ds, a.file, *ds.Parameter(parameters.front()), a.selection, selection, error)) {
    err << "params: " << error << "\n";
    return kExitFailed;
  }
  const int first = selection.wholeBlocks ? 1 : selection.from;
  const int last = selection.wholeBlocks ? 0 : selection.to;
  std::vector<TParamStat> stats;
  stats.reserve(parameters.size());
  for (const int p : parameters) stats.push_back(ComputeParamStat(ds, p, selection.blocks, first, last));
  const std::vector<int> columns =
      a.columns.empty() ? TColPrototypeSet::ParameterTable().Offered(ReportOffer(kind)) : a.columns;
  const ParamTable table = BuildParamTable(ds, columns, stats, a.settings);

  JsonWriter w(out);
  w.BeginObject();
  w.Field("file", SafeUtf8(a.file));
  w.Field("kind", KindCode(kind));
  w.Field("language", a.settings.lang == Lang::En ? "en" : "ru");
  WriteFilterField(w, ds, kind, a.noFilter);
  w.Key("selection");
  w.BeginObject();
  w.Key("blocks");
  w.BeginArray();
  for (const int b : selection.blocks) w.Value(b);
  w.EndArray();
  const bool oneBlock = selection.blocks.size() == 1;
  w.Optional("firstSample", stats.front().firstSample, oneBlock);
  w.Optional("lastSample", stats.front().lastSample, oneBlock);
  w.EndObject();
  w.Key("columns");
  w.BeginArray();
  for (const ParamTable::Column& c : table.columns) {
    w.BeginObject();
    w.Field("number", c.number);
    w.Field("caption", c.caption);
    w.EndObject();
  }
  w.EndArray();
  w.Key("rows");
  w.BeginArray();
  for (std::size_t r = 0; r < table.rows.size(); ++r) {
    w.BeginObject();
    w.Field("position", parameters[r]);
    w.Field("samplesUsed", stats[r].samplesUsed);
    // Values near the limits of a double leave the figures blank.
    w.Field("finite", stats[r].finite);
    w.Key("values");
    w.BeginArray();
    for (const std::string& text : table.rows[r]) w.Value(SafeUtf8(text));
    w.EndArray();
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  w.Done();
  return kExitOk;
}

}  // namespace

int RunParams(Args args, std::ostream& out, std::ostream& err) {
  ParamsArgs a;
  std::string error;
  if (!ParseParamsArgs(args, a, error)) {
    err << "params: " << error << "\n";
    return kExitUsage;
  }
  return RunParamsChecked(a, out, err);
}

const std::string_view kParamsDetails =
    "      One row per parameter of one data kind (--kind; default the kind of the first block\n"
    "      given, else quantitative), over the blocks chosen as for capability (default every\n"
    "      block of the kind). --columns lists catalogue columns 1..26 in the order wanted\n"
    "      (default every column the kind's reports offer): 1 #, 2 name, 3 unit, 4 tolerance,\n"
    "      5 scale, 6 sigma within, 7 sigma overall, 8 mean of the sample means, 9 mean range,\n"
    "      12 Cp, 13 Cpk, 14 Pp, 15 Ppk, 16 counting type, 17 mean, 18 Cpm, 19 and 20 the\n"
    "      nonconformity level (in the --scale, and in PPM), 21 distribution, 22 estimated\n"
    "      nonconformity, 23 quality limit, 24 samples above it, 25 Cm (Pp), 26 Cmk (Ppk).\n"
    "      Captions and texts in --lang (default ru); the dataset's sample filter of the kind\n"
    "      applies unless --no-filter.\n";

}  // namespace mv::cli
