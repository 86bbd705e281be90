#include "cli/capability_command.h"

#include <algorithm>
#include <nlohmann/json.hpp>
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
#include "core/messages.h"
#include "core/numbers.h"

namespace mv::cli {
namespace {

// --- capability ---

struct CapabilityArgs {
  std::string file;
  SelectionArgs selection{SampleRangeCheck::kCommandLine};
  int bins = 0;
};

bool ParseCapabilityArgs(Args args, CapabilityArgs& a, std::string& error) {
  static constexpr std::string_view kWithValue[] = {"--param", "--block", "--blocks", "--samples", "--bins"};
  const auto take = [&a](const std::string& option, const std::string& value, std::string& e) {
    if (IsSelectionOption(option)) return TakeSelectionOption(option, value, a.selection, e);
    // --bins
    const auto k = ParseInteger(value, 1, 1000);
    if (!k) return BadValue(option, "a whole number of bins (limited to 5..20)", value, e);
    a.bins = static_cast<int>(*k);
    return true;
  };
  if (!ParseCommandLine(args, kWithValue, {}, a.file, take, error)) return false;
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

Json IndexJson(const TCapIndex& index) {
  return {{"value", index.status == cap_status::kComputed ? Json(index.value) : Json(nullptr)},
          {"status", index.status},
          {"statusText", CapIndexText(index, 2, Lang::Ru, true)}};
}

Json NormalityJson(const TNormality& n) {
  return {{"computed", n.computed},
          {"enoughData", n.enoughData},
          {"normal", n.normal},
          {"statistic", n.computed && n.enoughData ? Json(n.statistic) : Json(nullptr)},
          {"criticalValue", n.computed && n.enoughData ? Json(n.critical) : Json(nullptr)},
          {"text", NormalityText(n, Lang::Ru, true)}};
}

Json WhiskerJson(const BoxPlotWhisker& w) {
  Json outliers = Json::array();
  for (const BoxPlotOutlier& o : w.outliers) outliers.push_back({{"value", o.value}, {"count", o.multiplicity}});
  return {{"end", w.end}, {"fence", w.fence}, {"length", w.length}, {"outliers", outliers}};
}

Json BoxPlotJson(const TBoxPlot& b, int decimals) {
  Json json = {{"computed", b.computed}, {"text", BoxPlotText(b, decimals)}};
  if (!b.computed) return json;
  json["valueCount"] = b.count;
  json["mean"] = b.mean;
  json["q1"] = b.q1;
  json["median"] = b.median;
  json["q3"] = b.q3;
  json["interquartileRange"] = b.iqr;
  json["outlierCount"] = b.outlierCount;
  json["lowerWhisker"] = WhiskerJson(b.lower);
  json["upperWhisker"] = WhiskerJson(b.upper);
  return json;
}

Json HistogramJson(const THistogram& h) {
  Json edges = Json::array(), counts = Json::array(), shares = Json::array(), densities = Json::array(),
       normal = Json::array();
  for (int i = 1; i <= h.binCount; ++i) {
    const HistogramBin& b = *h.Bin(i);
    edges.push_back(b.lower);
    counts.push_back(b.count);
    shares.push_back(h.valueCount ? static_cast<double>(b.count) / h.valueCount : 0.0);
    densities.push_back(b.shareDensity);
    normal.push_back(b.normalDensity);
  }
  if (h.binCount > 0) edges.push_back(h.Bin(h.binCount)->upper);
  return {{"valueCount", h.valueCount},
          {"binCount", h.binCount},
          {"binWidth", h.binWidth},
          {"edges", edges},
          {"counts", counts},
          {"shares", shares},
          {"shareDensities", densities},
          {"normalDensityAtCentres", normal},
          {"uniqueValues",
           {{"count", h.uniqueValues.size()}, {"overflow", h.uniqueOverflow}, {"text", UniqueValuesText(h)}}}};
}

int RunCapabilityChecked(const CapabilityArgs& a, std::ostream& out, std::ostream& err) {
  const auto dataset = ReadDataFile("capability", a.file, err);
  if (!dataset) return kExitFailed;
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
    err << "capability: " << messages.First("Нет данных для построения гистограммы") << "\n";
    return kExitFailed;
  }
  THistogram histogram;
  histogram.Compute(data, a.bins);
  // Values near the limits of a double: refused rather than printed as figures that are not numbers.
  if (!st.finite || !histogram.FiguresFinite()) {
    err << "capability: " << (st.finite ? HistogramNotFiniteText() : ParamStatNotFiniteText()) << "\n";
    return kExitFailed;
  }

  Json json = {{"file", SafeUtf8(a.file)}};
  json["parameter"] = {{"position", position},
                       {"name", SafeUtf8(param.name)},
                       {"kind", KindCode(param.kind)},
                       {"unit", SafeUtf8(param.unit)},
                       {"decimals", param.decimals},
                       {"tolerance", {{"lsl", Optional(param.Lsl())}, {"usl", Optional(param.Usl())},
                                      {"nominal", Optional(param.Nominal())}}}};
  json["selection"] = {{"blocks", blocks},
                       {"firstSample", st.block ? Json(st.firstSample) : Json(nullptr)},
                       {"lastSample", st.block ? Json(st.lastSample) : Json(nullptr)},
                       {"individualValues", st.individual}};
  json["samplesSeen"] = st.samplesSeen;
  json["samplesUsed"] = st.samplesUsed;
  json["valueCount"] = st.pointCount;
  json["smallestSampleSize"] = st.minPoints;
  json["largestSampleSize"] = st.maxPoints;
  json["minimum"] = st.minValue;
  json["maximum"] = st.maxValue;
  json["meanOfSampleMeans"] = st.xDoubleBar;
  const bool attribute = param.kind == DataKind::Attr;
  if (!attribute) {
    json["averageSampleSize"] = st.averagePoints;
    json["averageSampleSizeRounded"] = st.nBar;
    json["grandMean"] = st.grandMean;
    json[st.individual ? "averageMovingRange" : "averageRange"] = st.rBar;
    json["averageStandardDeviation"] = st.sBar;
    json["sigmaFromAverageStandardDeviation"] = st.sigmaFromS;
    json["sigmaWithin"] = st.sigmaWithin;
    json["sigmaOverall"] = st.sigmaOverall;
    json["capability"] = {{"cp", IndexJson(st.cp)},
                          {"cpk", IndexJson(st.cpk)},
                          {"pp", IndexJson(st.pp)},
                          {"ppk", IndexJson(st.ppk)},
                          {"cpm", IndexJson(st.cpm)}};
    json["nonconformity"] = {
        {"estimated", st.hasPercents},
        {"percentBelowLsl", st.hasPercents ? Json(st.percentBelow) : Json(nullptr)},
        {"percentAboveUsl", st.hasPercents ? Json(st.percentAbove) : Json(nullptr)},
        {"percentTotal", st.hasPercents ? Json(st.percentTotal) : Json(nullptr)},
        {"levelText", st.hasPercents ? Json(LevelText(st.percentTotal, st.normality.normal, Lang::Ru, true))
                                     : Json(nullptr)}};
    json["normality"] = NormalityJson(st.normality);
  } else {
    json["attribute"] = {{"nonconformityLevel", st.attrLevel},
                         {"qualityLimit", Optional(param.Usl())},
                         {"samplesAboveQualityLimit", st.hasQualityLimit ? Json(st.samplesAboveQualityLimit)
                                                                         : Json(nullptr)}};
  }
  json["boxPlot"] = BoxPlotJson(histogram.boxPlot, param.decimals);
  json["histogram"] = HistogramJson(histogram);
  out << json.dump(2) << "\n";
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
  out << Json{{"targetLevelPpm", *q},
              {"toleranceWidth", Optional(w)},
              {"widthInSigmas", t.z},
              {"targetIndex", t.index},
              {"targetIndexText", t.indexText},
              {"targetSigma", t.hasSigma ? Json(t.sigma) : Json(nullptr)},
              {"targetSigmaText", t.sigmaText},
              {"note", std::string(kQualityCalculatorNote)}}
             .dump(2)
      << "\n";
  return kExitOk;
}

const std::string_view kCapabilityDetails =
    "      The parameter by name, short name or position (see info). Blocks by position: --block N\n"
    "      (with --samples FROM-TO for part of it) or --blocks N,M,... (whole blocks); default every\n"
    "      block of the parameter's kind. --bins K asks for K bins (limited to 5..20); default\n"
    "      round(3.3 log10 N) + 1. Prints the sample statistics, sigmas, Cp/Cpk/Pp/Ppk/Cpm with\n"
    "      their statuses, the estimated nonconformity, the normality test, the box plot and the\n"
    "      histogram; for alternative parameters the nonconformity level and the samples above\n"
    "      the quality limit.\n";

const std::string_view kQualityDetails =
    "      Q: target nonconformity level in PPM (0.001..500000); W: tolerance width USL-LSL\n"
    "      (0.00001..1000000). Prints the index Cp (or Pp) and the sigma the process needs.\n";

}  // namespace mv::cli
