#include "cli/capability_command.h"

#include <algorithm>
#include <optional>
#include <ostream>
#include <vector>

#include "analysis/data_set.h"
#include "analysis/histogram.h"
#include "analysis/histogram_data.h"
#include "analysis/param_stat.h"
#include "analysis/quality_calculator.h"
#include "analysis/sample_selection.h"
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "core/json_writer.h"
#include "core/messages.h"
#include "core/numbers.h"

namespace mv::cli {
namespace {

// --- capability ---

struct CapabilityArgs {
  std::string file;
  SelectionArgs selection{SampleRangeCheck::kCommandLine};
  int bins = 0;
  bool noFilter = false;
};

bool ParseCapabilityArgs(Args args, CapabilityArgs& a, std::string& error) {
  static constexpr std::string_view kWithValue[] = {"--param", "--block", "--blocks", "--samples", "--bins"};
  const auto take = [&a](const std::string& option, const std::string& value, std::string& e) {
    if (IsSelectionOption(option)) return TakeSelectionOption(option, value, a.selection, e);
    if (option == kNoFilterOption) {
      a.noFilter = true;
      return true;
    }
    // --bins
    const auto k = ParseInteger(value, 1, 1000);
    if (!k) return BadValue(option, "a whole number of bins (limited to 5..20)", value, e);
    a.bins = static_cast<int>(*k);
    return true;
  };
  static constexpr std::string_view kFlags[] = {kNoFilterOption};
  if (!ParseCommandLine(args, kWithValue, kFlags, a.file, take, error)) return false;
  if (a.file.empty() || a.selection.param.empty()) {
    error = "expected FILE.mvl --param NAME|POSITION";
    return false;
  }
  if (a.selection.SamplesWithoutOneBlock()) {
    error = "--samples needs one block: --block N";
    return false;
  }
  return true;
}

void WriteIndex(JsonWriter& w, std::string_view key, const TCapIndex& index) {
  w.Key(key);
  w.BeginObject();
  w.Optional("value", index.value, index.status == cap_status::kComputed);
  w.Field("status", index.status);
  w.Field("statusText", CapIndexText(index, 2, Lang::Ru, true));
  w.EndObject();
}

// One array of a figure of every bin.
template <typename Figure>
void WriteBins(JsonWriter& w, std::string_view key, const THistogram& h, Figure figure) {
  w.Key(key);
  w.BeginArray();
  for (int i = 1; i <= h.binCount; ++i) w.Value(figure(*h.Bin(i)));
  w.EndArray();
}

void WriteHistogram(JsonWriter& w, const THistogram& h) {
  w.BeginObject();
  w.Field("valueCount", h.valueCount);
  w.Field("binCount", h.binCount);
  w.Field("binWidth", h.binWidth);
  w.Key("edges");
  w.BeginArray();
  for (int i = 1; i <= h.binCount; ++i) w.Value(h.Bin(i)->lower);
  if (h.binCount > 0) w.Value(h.Bin(h.binCount)->upper);
  w.EndArray();
  WriteBins(w, "counts", h, [](const HistogramBin& b) { return b.count; });
  WriteBins(w, "shares", h, [&h](const HistogramBin& b) {
    return h.valueCount ? static_cast<double>(b.count) / h.valueCount : 0.0;
  });
  WriteBins(w, "shareDensities", h, [](const HistogramBin& b) { return b.shareDensity; });
  WriteBins(w, "normalDensityAtCentres", h, [](const HistogramBin& b) { return b.normalDensity; });
  w.Key("uniqueValues");
  w.BeginObject();
  w.Field("count", h.uniqueValues.size());
  w.Field("overflow", h.uniqueOverflow);
  w.Field("text", UniqueValuesText(h));
  w.EndObject();
  w.EndObject();
}

int RunCapabilityChecked(const CapabilityArgs& a, std::ostream& out, std::ostream& err) {
  const auto dataset = ReadDataFile("capability", a.file, err);
  if (!dataset) return kExitFailed;
  if (a.noFilter) SwitchFiltersOff(*dataset);
  const TDatasetSPC& ds = *dataset;
  const int position = FindParameterArg(ds, a.selection.param);
  if (position == 0) {
    err << "capability: " << NoParameterText(a.file, a.selection.param)
        << " (give its name, short name or position; see info)\n";
    return kExitFailed;
  }
  const TSPCParameter& param = *ds.Parameter(position);
  SampleSelection selection;
  std::string error;
  if (!ResolveSelection(ds, a.file, param, a.selection, selection, error)) {
    err << "capability: " << error << "\n";
    return kExitFailed;
  }
  const std::vector<int>& blocks = selection.blocks;

  MessageCapture messages;
  const TParamStat st = ComputeParamStat(ds, position, blocks, selection.wholeBlocks ? 1 : selection.from,
                                         selection.wholeBlocks ? 0 : selection.to);
  CDataSet data;
  HistoExtract extract;
  if (!ExtractHistogramData(selection, position, data, extract)) {
    err << "capability: " << messages.First(kNoHistogramData) << "\n";
    return kExitFailed;
  }
  THistogram histogram;
  histogram.Compute(data, a.bins);
  // Values near the limits of a double: refused rather than printed as figures that are not numbers.
  if (!st.finite || !histogram.FiguresFinite()) {
    err << "capability: " << (st.finite ? HistogramNotFiniteText() : ParamStatNotFiniteText()) << "\n";
    return kExitFailed;
  }

  JsonWriter w(out);
  w.BeginObject();
  w.Field("file", SafeUtf8(a.file));
  w.Key("parameter");
  w.BeginObject();
  w.Field("position", position);
  w.Field("name", SafeUtf8(param.name));
  w.Field("kind", KindCode(param.kind));
  w.Field("unit", SafeUtf8(param.unit));
  w.Field("decimals", param.decimals);
  w.Key("tolerance");
  WriteTolerance(w, param);
  w.EndObject();
  WriteFilterField(w, ds, param.kind, a.noFilter);
  w.Key("selection");
  w.BeginObject();
  w.Key("blocks");
  w.BeginArray();
  for (const int b : blocks) w.Value(b);
  w.EndArray();
  w.Optional("firstSample", st.firstSample, st.block != 0);
  w.Optional("lastSample", st.lastSample, st.block != 0);
  w.Field("individualValues", st.individual);
  w.EndObject();
  w.Field("samplesSeen", st.samplesSeen);
  w.Field("samplesUsed", st.samplesUsed);
  w.Field("valueCount", st.pointCount);
  w.Field("smallestSampleSize", st.minPoints);
  w.Field("largestSampleSize", st.maxPoints);
  w.Field("minimum", st.minValue);
  w.Field("maximum", st.maxValue);
  w.Field("meanOfSampleMeans", st.xDoubleBar);
  const bool attribute = param.kind == DataKind::Attr;
  if (!attribute) {
    w.Field("averageSampleSize", st.averagePoints);
    w.Field("averageSampleSizeRounded", st.nBar);
    w.Field("grandMean", st.grandMean);
    w.Field(st.individual ? "averageMovingRange" : "averageRange", st.rBar);
    w.Field("averageStandardDeviation", st.sBar);
    w.Field("sigmaFromAverageStandardDeviation", st.sigmaFromS);
    w.Field("sigmaWithin", st.sigmaWithin);
    w.Field("sigmaOverall", st.sigmaOverall);
    w.Key("capability");
    w.BeginObject();
    WriteIndex(w, "cp", st.cp);
    WriteIndex(w, "cpk", st.cpk);
    WriteIndex(w, "pp", st.pp);
    WriteIndex(w, "ppk", st.ppk);
    WriteIndex(w, "cpm", st.cpm);
    w.EndObject();
    w.Key("nonconformity");
    w.BeginObject();
    w.Field("estimated", st.hasPercents);
    w.Optional("percentBelowLsl", st.percentBelow, st.hasPercents);
    w.Optional("percentAboveUsl", st.percentAbove, st.hasPercents);
    w.Optional("percentTotal", st.percentTotal, st.hasPercents);
    w.Key("levelText");
    if (st.hasPercents) {
      w.String(LevelText(st.percentTotal, st.normality.normal, Lang::Ru, true));
    } else {
      w.Null();
    }
    w.EndObject();
    w.Key("normality");
    WriteNormality(w, st.normality);
  } else {
    w.Key("attribute");
    w.BeginObject();
    w.Field("nonconformityLevel", st.attrLevel);
    WriteOptional(w, "qualityLimit", param.Usl());
    w.Key("samplesAboveQualityLimit");
    if (st.hasQualityLimit) {
      w.Value(st.samplesAboveQualityLimit);
    } else {
      w.Null();
    }
    w.EndObject();
  }
  w.Key("boxPlot");
  WriteBoxPlot(w, histogram.boxPlot, param.decimals);
  w.Key("histogram");
  WriteHistogram(w, histogram);
  w.EndObject();
  w.Done();
  return kExitOk;
}

}  // namespace

int RunCapability(Args args, std::ostream& out, std::ostream& err) {
  CapabilityArgs a;
  std::string error;
  if (!ParseCapabilityArgs(args, a, error)) {
    err << "capability: " << error << "\n";
    return kExitUsage;
  }
  return RunCapabilityChecked(a, out, err);
}

int RunQuality(Args args, std::ostream& out, std::ostream& err) {
  std::optional<std::string> ppm, width;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg != "--ppm" && arg != "--width") {
      err << "quality: unexpected argument '" << SafeUtf8(arg) << "' (expected --ppm Q [--width W])\n";
      return kExitUsage;
    }
    if (i + 1 >= args.size()) {
      err << "quality: " << arg << " needs a value\n";
      return kExitUsage;
    }
    (arg == "--ppm" ? ppm : width) = args[++i];
  }
  if (!ppm) {
    err << "quality: expected --ppm Q [--width W]\n";
    return kExitUsage;
  }
  // The same checks and messages as the calculator's window, without its 9-character fields.
  MessageCapture messages;
  const auto q = ValidateNumber(kQualityLevelLabel, *ppm, kMinQualityLevel, kMaxQualityLevel);
  std::optional<double> w;
  if (q && width) w = ValidateNumber(kToleranceWidthLabel, *width, kMinToleranceWidth, kMaxToleranceWidth);
  if (!q || (width && !w)) {
    err << "quality: " << messages.First("bad input") << "\n";
    return kExitFailed;
  }
  const QualityTarget t = ComputeQualityTarget(*q, w);
  JsonWriter json(out);
  json.BeginObject();
  json.Field("targetLevelPpm", *q);
  WriteOptional(json, "toleranceWidth", w);
  json.Field("widthInSigmas", t.z);
  json.Field("targetIndex", t.index);
  json.Field("targetIndexText", t.indexText);
  json.Optional("targetSigma", t.sigma, t.hasSigma);
  json.Field("targetSigmaText", t.sigmaText);
  json.Field("note", kQualityCalculatorNote);
  json.EndObject();
  json.Done();
  return kExitOk;
}

const std::string_view kCapabilityDetails =
    "      The parameter by name, short name or position (see info). Blocks by position: --block N\n"
    "      (with --samples FROM-TO for part of it) or --blocks N,M,... (whole blocks); default every\n"
    "      block of the parameter's kind. --bins K asks for K bins (limited to 5..20); default\n"
    "      round(3.3 log10 N) + 1. Prints the sample statistics, sigmas, Cp/Cpk/Pp/Ppk/Cpm with\n"
    "      their statuses, the estimated nonconformity, the normality test, the box plot and the\n"
    "      histogram; for alternative parameters the nonconformity level and the samples above\n"
    "      the quality limit. The dataset's sample filter of the parameter's kind applies (\"filter\"\n"
    "      names it); --no-filter computes as if both filters were off.\n";

const std::string_view kQualityDetails =
    "      Q: target nonconformity level in PPM (0.001..500000); W: tolerance width USL-LSL\n"
    "      (0.00001..1000000). Prints the index Cp (or Pp) and the sigma the process needs.\n";

}  // namespace mv::cli
