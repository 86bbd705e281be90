#include "cli/chart_command.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <ostream>
#include <vector>

#include "analysis/chart_kinds.h"
#include "analysis/chart_texts.h"
#include "analysis/control_chart.h"
#include "analysis/special_causes.h"
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "core/json_writer.h"
#include "core/numbers.h"
#include "core/text.h"

namespace mv::cli {
namespace {

// "X-R", "x-MR", "p": the upper kind and an optional lower one.
bool ParseKinds(const std::string& text, ChartArgs& a) {
  const std::size_t dash = text.find('-');
  a.upper = ChartKindOfCode(text.substr(0, dash));
  if (!a.upper || !UpperKindAllowed(*a.upper)) return false;
  if (dash == std::string::npos) return true;
  a.lower = ChartKindOfCode(text.substr(dash + 1));
  return a.lower && LowerKindAllowed(*a.upper, *a.lower);
}

// "1".."4", or criteria codes "C1,C3,C10" for a choice of its own.
bool ParseCriteria(const std::string& text, TCriteriaChoice& choice) {
  if (const auto set = ParseInteger(text, 1, kCriteriaSetCount - 1)) {
    choice.ChooseSet(static_cast<int>(*set));
    return true;
  }
  std::uint16_t mask = 0;
  std::size_t pos = 0;
  while (pos <= text.size()) {
    const std::size_t end = std::min(text.find(',', pos), text.size());
    const std::string_view code = Trim(std::string_view(text).substr(pos, end - pos));
    int found = 0;
    for (int c = 1; c <= 10; ++c) {
      if (SameText(code, CriterionCode(c))) found = c;
    }
    if (found == 0) return false;
    mask |= CriterionBit(found);
    pos = end + 1;
  }
  choice.ChooseSet(kCustomCriteriaSet);
  choice.mask = mask;
  return true;
}

}  // namespace

bool TakeChartOption(const std::string& option, const std::string& value, ChartArgs& a, std::string& error) {
  const auto bad = [&](std::string_view form) { return BadValue(option, form, value, error); };
  if (option == "--regulation") {
    a.options.regulationLimits = true;
  } else if (option == "--all") {
    a.all = true;
  } else if (option == "--kind") {
    a.kindText = value;
    if (!ParseKinds(value, a)) return bad("X-R, X-S, X, M-R, x-MR, x, p, np, c or u");
  } else if (option == "--criteria") {
    if (!ParseCriteria(value, a.options.criteria)) return bad("a set 1..4 or criteria like C1,C2,C5");
    a.criteriaGiven = true;
  } else if (option == "--span") {
    const auto n = ParseInteger(value, 2, 10);
    if (!n) return bad("a span from 2 to 10");
    a.options.span = static_cast<std::uint8_t>(*n);
  } else {  // --scale
    AttrScale scale = AttrScale::Share;
    if (value == "percent") {
      scale = AttrScale::Percent;
    } else if (value == "ppm") {
      scale = AttrScale::Ppm;
    } else if (value != "share") {
      return bad("share, percent or ppm");
    }
    a.options.pScale = a.options.uScale = scale;
  }
  return true;
}

namespace {

bool ParseChartArgs(Args args, ChartArgs& a, std::string& error) {
  static constexpr std::string_view kWithValue[] = {"--param", "--block",    "--blocks", "--samples",
                                                    "--kind",  "--criteria", "--span",   "--scale"};
  static constexpr std::string_view kFlags[] = {"--regulation", "--all"};
  const auto take = [&a](const std::string& option, const std::string& value, std::string& e) {
    if (IsSelectionOption(option)) return TakeSelectionOption(option, value, a.selection, e);
    return TakeChartOption(option, value, a, e);
  };
  if (!ParseCommandLine(args, kWithValue, kFlags, a.file, take, error)) return false;
  if (a.file.empty() || a.selection.param.empty() || !a.upper) {
    error = "expected FILE.mvl --param NAME|POSITION --kind KIND";
    return false;
  }
  if (a.selection.SamplesWithoutOneBlock()) {
    error = "--samples needs --block";
    return false;
  }
  return true;
}

std::string_view ScaleCode(AttrScale scale) {
  switch (scale) {
    case AttrScale::Percent: return "percent";
    case AttrScale::Ppm: return "ppm";
    case AttrScale::Share: break;
  }
  return "share";
}

std::string_view ModeName(LimitMode mode) {
  switch (mode) {
    case LimitMode::Control: return "control";
    case LimitMode::Regulation: return "regulation";
    case LimitMode::None: break;
  }
  return "none";
}

void WriteEntryFlags(JsonWriter& w, std::uint16_t flags) {
  static constexpr std::pair<std::uint16_t, std::string_view> kNames[] = {
      {chart_point_flag::kExcluded, "excluded"},     {chart_point_flag::kNote, "note"},
      {chart_point_flag::kBlockStart, "blockStart"}, {chart_point_flag::kOwnLimits, "ownLimits"},
      {chart_point_flag::kFiltered, "filtered"},
  };
  w.BeginArray();
  for (const auto& [bit, name] : kNames) {
    if ((flags & bit) != 0) w.String(name);
  }
  w.EndArray();
}

void WriteZones(JsonWriter& w, const CDataSet& set) {
  w.BeginObject();
  w.Field("valid", set.zones.valid);
  if (set.zones.valid) {
    w.Field("sigma", set.zones.sigma);
    w.Key("bands");
    w.BeginArray();
    const auto band = [&](const ChartZone& z, const ZoneBand& b, std::string_view side) {
      w.BeginObject();
      w.Field("label", b.label);
      w.Field("zone", std::string(1, z.letter));
      w.Field("side", side);
      w.Field("from", b.lowerEdge);
      w.Field("to", b.upperEdge);
      w.EndObject();
    };
    for (const ChartZone& z : set.zones.zones) band(z, z.upper, "upper");  // A, B, C
    for (auto z = set.zones.zones.rbegin(); z != set.zones.zones.rend(); ++z) band(*z, z->lower, "lower");  // C, B, A
    w.EndArray();
  }
  w.EndObject();
}

void WriteZoneStatistics(JsonWriter& w, const CDataSet& set) {
  const TZoneStat& st = set.zoneStat;
  static constexpr std::string_view kZoneKeys[] = {"outside", "A", "B", "C"};
  w.BeginObject();
  w.Field("total", st.total);
  w.Key("zones");
  w.BeginArray();
  for (int zone = 0; zone <= 3; ++zone) {
    const auto& cells = st.cells[static_cast<std::size_t>(zone)];
    w.BeginObject();
    w.Field("zone", kZoneKeys[zone]);
    w.Field("code", ZoneCode(zone));
    w.Field("name", ZoneName(zone));
    w.Field("count", cells[0].count);
    w.Field("percent", cells[0].percent);
    w.Field("upperCount", cells[1].count);
    w.Field("lowerCount", cells[2].count);
    w.Field("expectedPercent", ZoneExpectedPercent(zone));
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
}

void WriteHits(JsonWriter& w, const CDataSet& set) {
  w.BeginArray();
  for (const TCriterionHit& h : set.signals) {
    w.BeginObject();
    w.Field("criterion", h.criterion);
    w.Field("code", CriterionCode(h.criterion));
    w.Field("first", h.first);
    w.Field("last", h.last);
    w.Field("count", h.count);
    w.Field("side", h.side);
    w.Field("mean", h.mean);
    w.Field("text", CriterionHitText(h, false));
    w.Field("longText", CriterionHitText(h, true));
    w.EndObject();
  }
  w.EndArray();
}

void WritePoints(JsonWriter& w, const TChart& chart, const CDataSet& set, const TDatasetSPC& ds) {
  static constexpr std::string_view kZones[] = {"outside", "A", "B", "C"};
  w.BeginArray();
  for (std::uint32_t i = 1; i <= set.Count(); ++i) {
    const TDataSetPoint& p = *set.Point(i);
    const TChartPoint& e = chart.data.points[i - 1];
    const bool present = (p.flags & dsp_flag::kPresent) != 0;
    // Before the first index (the first span - 1 points of a moving-range chart) a point has
    // no plotted value.
    const bool plotted = present && i >= set.FirstIndex();
    w.BeginObject();
    w.Field("index", i);
    w.Field("block", p.block);
    w.Field("sample", p.sample);
    w.Field("point", p.point);
    w.Optional("value", p.value, plotted);
    w.Field("present", present);
    w.Field("active", (p.flags & dsp_flag::kActive) != 0);
    w.Field("analysed", plotted && p.Analysed());
    w.Field("beyond", (p.flags & dsp_flag::kBeyond) != 0);
    w.Field("inSeries", (p.flags & dsp_flag::kSeries) != 0);
    if (set.zones.valid && i >= set.FirstIndex()) {
      const ZonePlace place = set.ZoneOf(i);
      w.Field("zone", kZones[place.zone & 3]);
      w.Field("side", place.side == 1 ? "upper" : "lower");
      w.Field("sigmaDistance", set.ZoneDistance(i));
    }
    w.Key("entryFlags");
    WriteEntryFlags(w, e.flags);
    if (chart.attribute) {
      const TSPCBlock* b = ds.Block(e.block);
      const TSPCSample* s = b ? b->Sample(e.sample) : nullptr;
      w.Field("sampleSize", s ? s->sampleSize : 0);
    }
    if ((e.flags & chart_point_flag::kOwnLimits) != 0) {
      w.Key("ownLimits");
      w.BeginObject();
      w.Field("lower", e.ownLower);
      w.Field("upper", e.ownUpper);
      w.EndObject();
    }
    w.EndObject();
  }
  w.EndArray();
}

void WriteLimit(JsonWriter& w, std::string_view key, const std::string& code, const std::string& title, bool present,
                double value) {
  w.Key(key);
  w.BeginObject();
  w.Field("code", code);
  w.Field("title", title);
  w.Field("present", present);
  w.Optional("value", value, present);
  w.EndObject();
}

void WriteChart(JsonWriter& w, const TChart& chart, std::string_view role, const TDatasetSPC& ds,
                int criteriaInForce) {
  const ChartSeries& s = *chart.Current();
  const CDataSet& set = s.set;
  w.BeginObject();
  w.Field("role", role);
  w.Field("kind", ChartKindNumber(chart.kind));
  w.Field("code", chart.code);
  w.Field("title", chart.title);
  w.Field("titleEnglish", ChartKindTitle(chart.kind, Lang::En, chart.span));
  w.Field("unit", SafeUtf8(chart.unit));
  w.Field("decimals", chart.decimals);
  w.Field("pointCount", set.Count());
  w.Field("selectionPoints", chart.data.selectionCount);
  w.Field("limited", chart.data.Limited());
  w.Field("limitMode", ModeName(chart.limitMode));
  switch (chart.kind) {
    case ChartKind::Mean:
    case ChartKind::Range:
    case ChartKind::StdDev:
    case ChartKind::Median:
      w.Key("subgroups");
      w.BeginObject();
      w.Field("meanSize", s.meanSubgroupSize);
      w.Field("largestSize", s.largestSubgroupSize);
      w.Field("averageRange", s.averageRange);
      if (chart.kind == ChartKind::StdDev) w.Field("averageStdDev", set.mean);
      w.EndObject();
      break;
    case ChartKind::Individuals:
      w.Key("movingRanges");
      w.BeginObject();
      w.Field("span", chart.span);
      w.Field("averageMovingRange", s.averageMovingRange);
      w.Field("sigmaWithin", s.sigmaWithin);
      w.EndObject();
      break;
    case ChartKind::MovingRange:
      w.Key("movingRanges");
      w.BeginObject();
      w.Field("span", chart.span);
      w.Field("averageMovingRange", set.mean);
      w.EndObject();
      break;
    default: {
      const TChartDataX& d = chart.data;
      w.Key("attribute");
      w.BeginObject();
      w.Field("meanSampleSize", d.meanSize);
      w.Key("sizeBand");
      w.BeginObject();
      w.Field("low", d.BandLow());
      w.Field("high", d.BandHigh());
      w.EndObject();
      w.Field("smallestSampleSize", d.minSize);
      w.Field("largestSampleSize", d.maxSize);
      w.Field("limitsComputable", chart.limitsComputable);
      w.Field("scale", chart.scaled ? ScaleCode(chart.attrScale) : "share");
      w.Field("scaleFactor", chart.scale);
      w.EndObject();
      break;
    }
  }
  w.Key("centralLine");
  w.BeginObject();
  w.Field("code", ChartAlias(chart_alias::kCl));
  w.Field("title", CentralLineTitle(chart.lang));
  w.Field("value", set.mean);
  w.Field("shown", chart.centralLineShown);
  w.EndObject();
  WriteLimit(w, "upperLimit", chart.upperCode, chart.upperTitle, set.hasUcl, set.ucl);
  WriteLimit(w, "lowerLimit", chart.lowerCode, chart.lowerTitle, set.hasLcl, set.lcl);
  w.Field("limitsShown", chart.limitsShown);
  w.Field("ownLimitsUsed", chart.ownLimitsUsed);
  w.Field("beyondCount", chart.beyondCount);
  w.Key("statistics");
  w.BeginObject();
  w.Field("present", set.presentCount);
  w.Field("analysed", set.activeCount);
  w.Field("firstIndex", set.FirstIndex());
  w.Field("mean", set.mean);
  w.Field("stdDev", set.stdDev);
  w.Field("min", set.min);
  w.Field("max", set.max);
  w.EndObject();
  w.Key("lines");
  w.BeginArray();
  for (const ChartLine& line : chart.lines) {
    w.BeginObject();
    w.Field("code", line.code);
    w.Field("title", line.title);
    w.Field("value", line.value);
    w.EndObject();
  }
  w.EndArray();
  w.Key("axis");
  w.BeginObject();
  w.Field("min", chart.axisMin);
  w.Field("max", chart.axisMax);
  w.EndObject();
  w.Key("zones");
  WriteZones(w, set);
  w.Key("zoneStatistics");
  WriteZoneStatistics(w, set);
  w.Key("criteriaFound");
  w.BeginArray();
  for (int c = 1; c <= 10; ++c) {
    if (set.criterionFound[static_cast<std::size_t>(c - 1)]) w.String(CriterionCode(c));
  }
  w.EndArray();
  w.Field("hitCount", set.signals.size());
  w.Key("hits");
  WriteHits(w, set);
  // The texts the chart window shows under the chart.
  const ChartConclusion conclusion = ConclusionLine(chart, criteriaInForce);
  w.Key("conclusion");
  w.BeginObject();
  w.Field("text", conclusion.text);
  w.Field("mark", conclusion.mark == ConclusionMark::Good  ? "good"
                  : conclusion.mark == ConclusionMark::Bad ? "bad"
                                                           : "none");
  w.EndObject();
  w.Field("zoneAnalysis", set.zones.valid ? ZoneAnalysisFull(set.zoneStat) : std::string());
  w.Key("points");
  WritePoints(w, chart, set, ds);
  w.EndObject();
}

}  // namespace

const std::string_view kChartDetails =
    "      Options:\n"
    "        --param NAME|POSITION        the parameter (required)\n"
    "        --kind KIND                  X-R, X-S, X, M-R, x-MR, x, p, np, c, u, or any upper\n"
    "                                     kind with an allowed lower one (required)\n"
    "        --block N | --blocks 1,3     the blocks (default: every block of the parameter's kind)\n"
    "        --samples FROM-TO            samples of the one --block\n"
    "        --criteria SET               1 out of limits, 2 (default), 3, 4, or C1,C2,... of one's own\n"
    "        --span W                     span of the moving ranges, 2..10 (default 2)\n"
    "        --scale share|percent|ppm    scale of the p and u charts (default share)\n"
    "        --regulation                 X and M charts: the regulation limits LRL/URL\n"
    "        --all                        every point of the selection (a chart window, and\n"
    "                                     the command without it, show the first 1000)\n";

int RunChart(Args args, std::ostream& out, std::ostream& err) {
  ChartArgs a;
  std::string error;
  if (!ParseChartArgs(args, a, error)) {
    err << "chart: " << error << "\n";
    return kExitUsage;
  }
  const auto dataset = ReadDataFile("chart", a.file, err);
  if (!dataset) return kExitFailed;
  const TDatasetSPC& ds = *dataset;
  const int parameter = FindParameterArg(ds, a.selection.param);
  if (parameter == 0) {
    err << "chart: " << NoParameterText(a.file, a.selection.param) << "\n";
    return kExitFailed;
  }
  const TSPCParameter& param = *ds.Parameter(parameter);
  for (const auto kind : {a.upper, a.lower}) {
    if (kind && !ParameterFitsChart(param, *kind)) {
      err << "chart: the parameter '" << SafeUtf8(param.name) << "' cannot be shown on a " << ChartKindCode(*kind)
          << " chart\n";
      return kExitFailed;
    }
  }

  TChartTask task;
  task.parameters = {parameter};
  if (!ResolveSelection(ds, a.file, param, a.selection, task.selection, error)) {
    err << "chart: " << error << "\n";
    return kExitFailed;
  }
  const std::vector<int>& blocks = task.selection.blocks;

  // Every chart is built before anything is printed: a chart that cannot be built prints none.
  std::vector<std::pair<TChart, std::string_view>> charts;
  std::optional<std::uint32_t> limitedFrom;  // the selection's points when a chart left some out
  for (const auto& [kind, role] : {std::pair{a.upper, "upper"}, std::pair{a.lower, "lower"}}) {
    if (!kind) continue;
    TChart& chart = charts.emplace_back(TChart{}, role).first;
    const std::size_t limit = a.all ? std::numeric_limits<std::size_t>::max() : kMaxChartPoints;
    const ChartBuildResult built = BuildChart(chart, task, *kind, a.options, limit);
    if (!built.ok) {
      err << "chart: " << OneLine(built.message, built.details) << "\n";
      return kExitFailed;
    }
    if (chart.data.Limited() && !limitedFrom) limitedFrom = chart.data.selectionCount;
  }
  if (limitedFrom) {
    err << "chart: the selection holds " << *limitedFrom << " points; the chart shows the first " << kMaxChartPoints
        << " of them, as a chart window does (--all charts every point)\n";
  }

  JsonWriter w(out);
  w.BeginObject();
  w.Field("file", SafeUtf8(a.file));
  w.Key("parameter");
  w.BeginObject();
  w.Field("position", parameter);
  w.Field("name", SafeUtf8(param.name));
  w.Field("unit", SafeUtf8(param.unit));
  w.Field("decimals", param.decimals);
  w.Field("kind", KindCode(param.kind));
  w.EndObject();
  w.Key("selection");
  w.BeginObject();
  w.Key("blocks");
  w.BeginArray();
  for (const int b : blocks) {
    w.BeginObject();
    w.Field("position", b);
    w.Field("name", SafeUtf8(ds.Block(b)->name));
    w.EndObject();
  }
  w.EndArray();
  w.Key("samples");
  if (task.selection.wholeBlocks) {
    w.String("all");
  } else {
    w.BeginObject();
    w.Field("from", task.selection.from);
    w.Field("to", task.selection.to);
    w.EndObject();
  }
  w.EndObject();
  w.Field("kind", a.kindText);
  w.Key("criteria");
  w.BeginObject();
  w.Field("set", a.options.criteria.set);
  w.Field("name", CriteriaChoiceText(a.options.criteria));
  w.Field("mask", a.options.criteria.mask);
  w.Key("inForce");
  w.BeginArray();
  for (int c = 1; c <= 10; ++c) {
    if ((a.options.criteria.mask & CriterionBit(c)) != 0) w.String(CriterionCode(c));
  }
  w.EndArray();
  w.EndObject();
  w.Key("options");
  w.BeginObject();
  w.Field("span", a.options.span);
  w.Field("scale", ScaleCode(a.options.pScale));
  w.Field("regulation", a.options.regulationLimits);
  w.EndObject();
  w.Key("charts");
  w.BeginArray();
  for (const auto& [chart, role] : charts) WriteChart(w, chart, role, ds, a.options.criteria.CriteriaCount());
  w.EndArray();
  w.EndObject();
  w.Done();
  return kExitOk;
}

}  // namespace mv::cli
