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
#include "core/cp1251.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/text.h"
#include "platform/messages.h"
#include "platform/services.h"
#include "spc/spc_file.h"

namespace mv::cli {
namespace {

using Json = nlohmann::ordered_json;
using Args = std::span<const std::string>;

// Text from files may hold anything; JSON output must stay valid UTF-8.
std::string SafeUtf8(const std::string& text) { return Cp1251ToUtf8(Utf8ToCp1251(text)); }

// A message of the system as one line, its lines joined as the other commands join them.
std::string OneLine(std::string_view text) {
  std::string out;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t end = std::min(text.find_first_of("\r\n", pos), text.size());
    const std::string_view line = Trim(text.substr(pos, end - pos));
    if (!line.empty()) {
      if (!out.empty()) out += out.back() == ':' ? " " : ": ";
      out += line;
    }
    pos = end + 1;
  }
  return SafeUtf8(out);
}

// Catches the message windows the logic shows while a command runs, so their texts reach the
// error stream instead of a window.
class MessageCapture final : public platform::IMessageWindows {
 public:
  MessageCapture() : m_previous(platform::Install<platform::IMessageWindows>(this)) {}
  ~MessageCapture() override { platform::Install<platform::IMessageWindows>(m_previous); }
  MessageCapture(const MessageCapture&) = delete;
  MessageCapture& operator=(const MessageCapture&) = delete;

  bool Show(platform::TMsgWinParams& request) override {
    m_texts.push_back(request.text);
    request.result = platform::MsgResult::Ok;
    return request.kind != platform::MsgKind::Question;
  }
  // The first message, or `fallback` when none was shown.
  std::string First(std::string_view fallback) const {
    return OneLine(m_texts.empty() ? fallback : std::string_view(m_texts.front()));
  }

 private:
  platform::IMessageWindows* m_previous;
  std::vector<std::string> m_texts;
};

Json Optional(const std::optional<double>& value) { return value ? Json(*value) : Json(nullptr); }

// --- capability ---

struct CapabilityArgs {
  std::string file;
  std::string param;
  std::vector<int> blocks;  // empty: every block of the parameter's kind
  bool severalBlocksOption = false;
  std::optional<SampleRange> samples;
  std::string samplesText;
  int bins = 0;
};

// "1,3,7": positive whole numbers, no repeats.
bool ParseBlockList(std::string_view text, std::vector<int>& blocks) {
  std::size_t pos = 0;
  for (;;) {
    const std::size_t end = std::min(text.find(',', pos), text.size());
    const auto n = ParseInteger(text.substr(pos, end - pos), 1, kMaxBlocks);
    if (!n || std::find(blocks.begin(), blocks.end(), *n) != blocks.end()) return false;
    blocks.push_back(static_cast<int>(*n));
    if (end == text.size()) return true;
    pos = end + 1;
  }
}

bool ParseCapabilityArgs(Args args, CapabilityArgs& a, std::string& error) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!arg.starts_with("--")) {
      if (!a.file.empty()) {
        error = "unexpected argument '" + SafeUtf8(arg) + "'";
        return false;
      }
      a.file = arg;
      continue;
    }
    static constexpr std::string_view kOptions[] = {"--param", "--block", "--blocks", "--samples", "--bins"};
    if (std::find(std::begin(kOptions), std::end(kOptions), arg) == std::end(kOptions)) {
      error = "unknown option '" + SafeUtf8(arg) + "' (see --help)";
      return false;
    }
    if (i + 1 >= args.size()) {
      error = arg + " needs a value";
      return false;
    }
    const std::string& value = args[++i];
    const auto bad = [&](std::string_view form) {
      error = arg + " expects " + std::string(form) + ", got '" + SafeUtf8(value) + "'";
      return false;
    };
    if (arg == "--param") {
      if (Trim(value).empty()) return bad("a parameter's name or position");
      a.param = value;
    } else if (arg == "--block" || arg == "--blocks") {
      if (!a.blocks.empty()) {
        error = "give the blocks once (--block N or --blocks N,M,...)";
        return false;
      }
      if (!ParseBlockList(value, a.blocks) || (arg == "--block" && a.blocks.size() != 1)) {
        return bad(arg == "--block" ? "a block position" : "block positions separated by commas");
      }
      a.severalBlocksOption = arg == "--blocks";
    } else if (arg == "--samples") {
      const std::size_t dash = value.find('-');
      const auto from = dash == std::string::npos ? std::nullopt : ParseInteger(value.substr(0, dash), 1, kMaxSamples);
      const auto to = dash == std::string::npos ? std::nullopt : ParseInteger(value.substr(dash + 1), 1, kMaxSamples);
      if (!from || !to || *from > *to) return bad("FROM-TO with 1 <= FROM <= TO");
      a.samples = SampleRange{static_cast<std::uint16_t>(*from), static_cast<std::uint16_t>(*to)};
      a.samplesText = value;
    } else {  // --bins
      const auto k = ParseInteger(value, 1, 1000);
      if (!k) return bad("a whole number of bins (limited to 5..20)");
      a.bins = static_cast<int>(*k);
    }
  }
  if (a.file.empty() || a.param.empty()) {
    error = "expected FILE.mvl --param NAME|POSITION";
    return false;
  }
  if (a.samples && (a.blocks.size() != 1 || a.severalBlocksOption)) {
    error = "--samples needs one block: --block N";
    return false;
  }
  return true;
}

// The parameter by position (a whole number) or by name or short name.
int FindParameterArg(const TDatasetSPC& ds, const std::string& text) {
  if (const auto n = ParseInteger(text, 1, ds.ParameterCount())) return static_cast<int>(*n);
  return ds.FindParameter(Trim(text));
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
  const SpcReadResult read = ReadSpcFile(a.file);
  if (!read.Ok()) {
    err << "capability: " << OneLine(read.message);
    if (!read.details.empty()) err << " (" << OneLine(read.details) << ")";
    err << "\n";
    return kExitFailed;
  }
  const TDatasetSPC& ds = *read.dataset;
  const int position = FindParameterArg(ds, a.param);
  if (position == 0) {
    err << "capability: " << SafeUtf8(a.file) << " has no parameter '" << SafeUtf8(a.param)
        << "' (give its name, short name or position; see info)\n";
    return kExitFailed;
  }
  const TSPCParameter& param = *ds.Parameter(position);
  std::vector<int> blocks = a.blocks;
  if (blocks.empty()) blocks = ds.BlockList(param.kind);
  if (blocks.empty()) {
    err << "capability: " << SafeUtf8(a.file) << " has no block of " << KindCode(param.kind) << " data\n";
    return kExitFailed;
  }
  for (const int b : blocks) {
    const TSPCBlock* block = ds.Block(b);
    if (!block) {
      err << "capability: " << SafeUtf8(a.file) << " has no block " << b << " (it has " << ds.BlockCount() << ")\n";
      return kExitFailed;
    }
    if (block->kind != param.kind) {
      err << "capability: block " << b << " holds " << KindCode(block->kind) << " data, parameter '"
          << SafeUtf8(param.name) << "' is " << KindCode(param.kind) << "\n";
      return kExitFailed;
    }
    if (a.samples && a.samples->to > block->SampleCount()) {
      err << "capability: --samples " << a.samplesText << ": block " << b << " has " << block->SampleCount()
          << " samples\n";
      return kExitFailed;
    }
  }

  MessageCapture messages;
  const TParamStat st = ComputeParamStat(ds, position, blocks, a.samples ? a.samples->from : 1,
                                         a.samples ? a.samples->to : 0);
  CDataSet data;
  HistoExtract extract;
  const SampleSelection selection{&ds, blocks, !a.samples.has_value(), a.samples ? a.samples->from : std::uint16_t{1},
                                  a.samples ? a.samples->to : std::uint16_t{1}};
  if (!ExtractHistogramData(selection, position, data, extract)) {
    err << "capability: " << messages.First("Нет данных для построения гистограммы") << "\n";
    return kExitFailed;
  }
  THistogram histogram;
  histogram.Compute(data, a.bins);

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
              {"z", t.z},
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
