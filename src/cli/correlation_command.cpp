#include "cli/correlation_command.h"

#include <algorithm>
#include <ostream>
#include <vector>

#include "analysis/correlation.h"
#include "analysis/sample_selection.h"
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "core/json_writer.h"
#include "core/numbers.h"
#include "core/text.h"

namespace mv::cli {
namespace {

struct CorrelationArgs {
  std::string file;
  SelectionArgs selection{SampleRangeCheck::kCommandLine};
  std::vector<std::string> params;  // as typed, in order
  CorrelationMode mode = CorrelationMode::Values;
  bool manualCritical = false;
  std::string criticalText;
};

bool ParseCorrelationArgs(Args args, CorrelationArgs& a, std::string& error) {
  static constexpr std::string_view kWithValue[] = {"--params", "--block", "--blocks", "--samples", "--mode",
                                                    "--critical"};
  const auto take = [&a](const std::string& option, const std::string& value, std::string& e) {
    if (option == "--block" || option == "--blocks" || option == "--samples") {
      return TakeSelectionOption(option, value, a.selection, e);
    }
    if (option == "--params") {
      a.params.clear();
      std::size_t pos = 0;
      for (;;) {
        const std::size_t end = std::min(value.find(',', pos), value.size());
        const std::string item(Trim(std::string_view(value).substr(pos, end - pos)));
        if (item.empty()) return BadValue(option, "parameter positions or names separated by commas", value, e);
        a.params.push_back(item);
        if (end == value.size()) return true;
        pos = end + 1;
      }
    }
    if (option == "--mode") {
      if (value != "values" && value != "means") return BadValue(option, "values or means", value, e);
      a.mode = value == "values" ? CorrelationMode::Values : CorrelationMode::Means;
      return true;
    }
    // --critical: checked against its range with the dataset's message later.
    if (!TypedNumberValue(value)) return BadValue(option, "a number (0.1..0.9)", value, e);
    a.manualCritical = true;
    a.criticalText = value;
    return true;
  };
  if (!ParseCommandLine(args, kWithValue, {}, a.file, take, error)) return false;
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

const char* ModeCode(CorrelationMode mode) { return mode == CorrelationMode::Values ? "values" : "means"; }

void WriteParameter(JsonWriter& w, const TDatasetSPC& ds, const CorrelationMatrix& m, std::size_t i) {
  const CorrParameter& p = m.Parameter(i);
  const TSPCParameter& param = *ds.Parameter(p.position);
  w.BeginObject();
  w.Field("position", p.position);
  w.Field("name", SafeUtf8(param.name));
  w.Field("unit", SafeUtf8(param.unit));
  w.Field("valueCount", p.data.activeCount);
  w.Key("normality");
  WriteNormality(w, p.normality);
  w.Field("normalityCell", NormalityCellText(p.normality));
  if (m.Mode() == CorrelationMode::Values) {
    w.Key("boxPlot");
    WriteBoxPlot(w, p.boxPlot, param.decimals);
  }
  w.EndObject();
}

void WritePair(JsonWriter& w, const CorrelationMatrix& m, std::size_t i, std::size_t j) {
  const CorrPair& p = m.Pair(i, j);
  const PairStatistics& s = p.stats;
  const PairRowCounts rows = m.RowCounts(i, j);
  w.BeginObject();
  w.Field("i", m.Parameter(i).position);
  w.Field("j", m.Parameter(j).position);
  w.Field("n", s.n);
  w.Field("inactive", rows.Inactive());
  w.Field("filtered", rows.filtered);
  w.Field("computed", s.computed);
  w.Optional("r", s.r, s.computed);
  w.Field("critical", p.critical);
  w.Field("significance", static_cast<int>(p.significance));
  w.Field("significanceText", SignificanceText(p.significance));
  w.Field("line", s.hasLine);
  w.Optional("slope", s.slope, s.hasLine);
  w.Optional("intercept", s.intercept, s.hasLine);
  w.Field("pairLine", m.PairLine(i, j));
  w.Field("pointsLine", m.PointsLine(i, j));
  w.EndObject();
}

int RunCorrelationChecked(const CorrelationArgs& a, std::ostream& out, std::ostream& err) {
  const auto dataset = ReadDataFile("correlation", a.file, err);
  if (!dataset) return kExitFailed;
  const TDatasetSPC& ds = *dataset;

  CorrelationRequest request;
  request.mode = a.mode;
  const std::vector<int> qualifying = CorrelationParameters(ds);
  for (const std::string& text : a.params) {
    const int position = FindParameterArg(ds, text);
    if (position == 0) {
      err << "correlation: " << NoParameterText(a.file, text) << " (give its name, short name or position; see info)\n";
      return kExitFailed;
    }
    if (std::find(qualifying.begin(), qualifying.end(), position) == qualifying.end()) {
      err << "correlation: parameter '" << SafeUtf8(ds.Parameter(position)->name)
          << "' is not a quantitative parameter (or is a tag)\n";
      return kExitFailed;
    }
    request.parameters.push_back(position);
  }
  const std::vector<int>& chosen = request.parameters.empty() ? qualifying : request.parameters;
  if (chosen.size() < 2) {
    err << "correlation: " << kTooFewCorrParameters << "\n";
    return kExitFailed;
  }
  if (a.manualCritical) {
    request.manualCritical = true;
    request.critical = *TypedNumberValue(a.criticalText);
  }

  SampleSelection selection;
  std::string error;
  if (!ResolveSelection(ds, a.file, *ds.Parameter(chosen.front()), a.selection, selection, error)) {
    err << "correlation: " << error << "\n";
    return kExitFailed;
  }
  CorrelationMatrix m;
  if (const std::string message = m.Compute(selection, request); !message.empty()) {
    err << "correlation: " << OneLine(message) << "\n";
    return kExitFailed;
  }
  for (std::size_t i = 0; i < m.ParameterCount(); ++i) {
    if (!m.Parameter(i).data.FiguresFinite()) {
      err << "correlation: " << kValuesTooLarge << "\n";
      return kExitFailed;
    }
  }

  JsonWriter w(out);
  w.BeginObject();
  w.Field("file", SafeUtf8(a.file));
  w.Field("mode", ModeCode(m.Mode()));
  w.Field("title", m.Title());
  w.Key("selection");
  w.BeginObject();
  w.Key("blocks");
  w.BeginArray();
  for (const int b : selection.blocks) w.Value(b);
  w.EndArray();
  w.Optional("firstSample", selection.from, !selection.wholeBlocks);
  w.Optional("lastSample", selection.to, !selection.wholeBlocks);
  w.EndObject();
  WriteFilterField(w, ds, DataKind::Var, false);
  w.Key("critical");
  w.BeginObject();
  w.Field("value", m.Critical());
  w.Field("automatic", !m.ManualCritical());
  w.Field("text", m.CriticalText());
  w.EndObject();
  w.Key("rows");
  w.BeginObject();
  w.Field("all", m.RowCount());
  w.Field("active", m.ActiveRowCount());
  w.Field("inactive", m.RowCount() - m.ActiveRowCount());
  w.Field("filtered", m.FilteredRowCount());
  w.EndObject();
  w.Key("parameters");
  w.BeginArray();
  for (std::size_t i = 0; i < m.ParameterCount(); ++i) WriteParameter(w, ds, m, i);
  w.EndArray();
  w.Key("matrix");
  w.BeginArray();
  for (std::size_t i = 0; i < m.ParameterCount(); ++i) {
    w.BeginArray();
    for (std::size_t j = 0; j < m.ParameterCount(); ++j) {
      const PairStatistics& s = m.Pair(i, j).stats;
      w.BeginObject();
      w.Optional("r", s.r, i != j && s.computed);
      w.Field("text", m.CellText(i, j));
      w.EndObject();
    }
    w.EndArray();
  }
  w.EndArray();
  w.Key("pairs");
  w.BeginArray();
  for (std::size_t i = 0; i < m.ParameterCount(); ++i) {
    for (std::size_t j = 0; j < m.ParameterCount(); ++j) {
      if (i != j) WritePair(w, m, i, j);
    }
  }
  w.EndArray();
  w.EndObject();
  w.Done();
  return kExitOk;
}

}  // namespace

int RunCorrelation(Args args, std::ostream& out, std::ostream& err) {
  CorrelationArgs a;
  std::string error;
  if (!ParseCorrelationArgs(args, a, error)) {
    err << "correlation: " << error << "\n";
    return kExitUsage;
  }
  return RunCorrelationChecked(a, out, err);
}

const std::string_view kCorrelationDetails =
    "      The quantitative parameters that are not tags (default all of them; --params by\n"
    "      position, name or short name), over blocks by position: --block N (with --samples\n"
    "      FROM-TO for part of it) or --blocks N,M,... (whole blocks); default every block of\n"
    "      quantitative data. --mode values (default) makes every measured point a row, --mode\n"
    "      means every sample's mean. --critical R (0.1..0.9) replaces the automatic critical\n"
    "      value. Prints the row counts, each parameter's normality (and box plot by values), the\n"
    "      matrix and every ordered pair: n, r, its significance, the regression line and the\n"
    "      texts the window shows. The dataset's own sample filter applies.\n";

}  // namespace mv::cli
