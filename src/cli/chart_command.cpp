#include "cli/chart_command.h"

#include <algorithm>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <ostream>
#include <vector>

#include "analysis/chart_kinds.h"
#include "analysis/control_chart.h"
#include "analysis/special_causes.h"
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "core/numbers.h"
#include "core/text.h"

namespace mv::cli {
namespace {

struct ChartArgs {
  std::string file;
  // A sample range is checked against its block as the selection dialog checks it.
  SelectionArgs selection{SampleRangeCheck::kSelectionDialog};
  std::string kindText;
  std::optional<ChartKind> upper;
  std::optional<ChartKind> lower;
  TChartOptions options;
  bool criteriaGiven = false;
  bool all = false;  // every point of the selection, not a window's first 1000
};

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

// One option of chart other than the selection.
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

Json Number(double value, bool present) { return present ? Json(value) : Json(nullptr); }

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

Json EntryFlags(std::uint16_t flags) {
  static constexpr std::pair<std::uint16_t, std::string_view> kNames[] = {
      {chart_point_flag::kExcluded, "excluded"},     {chart_point_flag::kNote, "note"},
      {chart_point_flag::kBlockStart, "blockStart"}, {chart_point_flag::kOwnLimits, "ownLimits"},
      {chart_point_flag::kFiltered, "filtered"},
  };
  Json names = Json::array();
  for (const auto& [bit, name] : kNames) {
    if ((flags & bit) != 0) names.push_back(name);
  }
  return names;
}

Json ZonesJson(const CDataSet& set) {
  Json zones = {{"valid", set.zones.valid}};
  if (!set.zones.valid) return zones;
  zones["sigma"] = set.zones.sigma;
  Json bands = Json::array();
  const auto band = [&](const ChartZone& z, const ZoneBand& b, std::string_view side) {
    bands.push_back({{"label", b.label},
                     {"zone", std::string(1, z.letter)},
                     {"side", side},
                     {"from", b.lowerEdge},
                     {"to", b.upperEdge}});
  };
  for (const ChartZone& z : set.zones.zones) band(z, z.upper, "upper");  // A, B, C
  for (auto z = set.zones.zones.rbegin(); z != set.zones.zones.rend(); ++z) band(*z, z->lower, "lower");  // C, B, A
  zones["bands"] = std::move(bands);
  return zones;
}

Json ZoneStatisticsJson(const CDataSet& set) {
  const TZoneStat& st = set.zoneStat;
  Json zones = Json::array();
  static constexpr std::string_view kZoneKeys[] = {"outside", "A", "B", "C"};
  for (int zone = 0; zone <= 3; ++zone) {
    const auto& cells = st.cells[static_cast<std::size_t>(zone)];
    zones.push_back({{"zone", kZoneKeys[zone]},
                     {"code", ZoneCode(zone)},
                     {"name", ZoneName(zone)},
                     {"count", cells[0].count},
                     {"percent", cells[0].percent},
                     {"upperCount", cells[1].count},
                     {"lowerCount", cells[2].count},
                     {"expectedPercent", ZoneExpectedPercent(zone)}});
  }
  return {{"total", st.total}, {"zones", std::move(zones)}};
}

Json HitsJson(const CDataSet& set) {
  Json hits = Json::array();
  for (const TCriterionHit& h : set.signals) {
    hits.push_back({{"criterion", h.criterion},
                    {"code", CriterionCode(h.criterion)},
                    {"first", h.first},
                    {"last", h.last},
                    {"count", h.count},
                    {"side", h.side},
                    {"mean", h.mean},
                    {"text", CriterionHitText(h, false)},
                    {"longText", CriterionHitText(h, true)}});
  }
  return hits;
}

Json PointsJson(const TChart& chart, const CDataSet& set, const TDatasetSPC& ds) {
  Json points = Json::array();
  for (std::uint32_t i = 1; i <= set.Count(); ++i) {
    const TDataSetPoint& p = *set.Point(i);
    const TChartPoint& e = chart.data.points[i - 1];
    const bool present = (p.flags & dsp_flag::kPresent) != 0;
    // Before the first index (the first span - 1 points of a moving-range chart) a point has
    // no plotted value.
    const bool plotted = present && i >= set.FirstIndex();
    Json point = {{"index", i},
                  {"block", p.block},
                  {"sample", p.sample},
                  {"point", p.point},
                  {"value", Number(p.value, plotted)},
                  {"present", present},
                  {"active", (p.flags & dsp_flag::kActive) != 0},
                  {"analysed", plotted && p.Analysed()},
                  {"beyond", (p.flags & dsp_flag::kBeyond) != 0},
                  {"inSeries", (p.flags & dsp_flag::kSeries) != 0}};
    if (set.zones.valid && i >= set.FirstIndex()) {
      static constexpr std::string_view kZones[] = {"outside", "A", "B", "C"};
      const ZonePlace place = set.ZoneOf(i);
      point["zone"] = kZones[place.zone & 3];
      point["side"] = place.side == 1 ? "upper" : "lower";
      point["sigmaDistance"] = set.ZoneDistance(i);
    }
    point["entryFlags"] = EntryFlags(e.flags);
    if (chart.attribute) {
      const TSPCBlock* b = ds.Block(e.block);
      const TSPCSample* s = b ? b->Sample(e.sample) : nullptr;
      point["sampleSize"] = s ? s->sampleSize : 0;
    }
    if ((e.flags & chart_point_flag::kOwnLimits) != 0) {
      point["ownLimits"] = {{"lower", e.ownLower}, {"upper", e.ownUpper}};
    }
    points.push_back(std::move(point));
  }
  return points;
}

Json ChartJson(const TChart& chart, std::string_view role, const TDatasetSPC& ds) {
  const ChartSeries& s = *chart.Current();
  const CDataSet& set = s.set;
  Json json = {{"role", role},
               {"kind", ChartKindNumber(chart.kind)},
               {"code", chart.code},
               {"title", chart.title},
               {"titleEnglish", ChartKindTitle(chart.kind, Lang::En, chart.span)},
               {"unit", SafeUtf8(chart.unit)},
               {"decimals", chart.decimals},
               {"pointCount", set.Count()},
               {"selectionPoints", chart.data.selectionCount},
               {"limited", chart.data.Limited()},
               {"limitMode", ModeName(chart.limitMode)}};
  switch (chart.kind) {
    case ChartKind::Mean:
    case ChartKind::Range:
    case ChartKind::StdDev:
    case ChartKind::Median:
      json["subgroups"] = {{"meanSize", s.meanSubgroupSize},
                           {"largestSize", s.largestSubgroupSize},
                           {"averageRange", s.averageRange}};
      if (chart.kind == ChartKind::StdDev) json["subgroups"]["averageStdDev"] = set.mean;
      break;
    case ChartKind::Individuals:
      json["movingRanges"] = {
          {"span", chart.span}, {"averageMovingRange", s.averageMovingRange}, {"sigmaWithin", s.sigmaWithin}};
      break;
    case ChartKind::MovingRange:
      json["movingRanges"] = {{"span", chart.span}, {"averageMovingRange", set.mean}};
      break;
    default: {
      const TChartDataX& d = chart.data;
      json["attribute"] = {{"meanSampleSize", d.meanSize},
                           {"sizeBand", {{"low", d.BandLow()}, {"high", d.BandHigh()}}},
                           {"smallestSampleSize", d.minSize},
                           {"largestSampleSize", d.maxSize},
                           {"limitsComputable", chart.limitsComputable},
                           {"scale", chart.scaled ? ScaleCode(chart.attrScale) : "share"},
                           {"scaleFactor", chart.scale}};
      break;
    }
  }
  json["centralLine"] = {{"code", ChartAlias(chart_alias::kCl)},
                         {"title", CentralLineTitle(chart.lang)},
                         {"value", set.mean},
                         {"shown", chart.centralLineShown}};
  json["upperLimit"] = {{"code", chart.upperCode},
                        {"title", chart.upperTitle},
                        {"present", set.hasUcl},
                        {"value", Number(set.ucl, set.hasUcl)}};
  json["lowerLimit"] = {{"code", chart.lowerCode},
                        {"title", chart.lowerTitle},
                        {"present", set.hasLcl},
                        {"value", Number(set.lcl, set.hasLcl)}};
  json["limitsShown"] = chart.limitsShown;
  json["ownLimitsUsed"] = chart.ownLimitsUsed;
  json["beyondCount"] = chart.beyondCount;
  json["statistics"] = {{"present", set.presentCount}, {"analysed", set.activeCount}, {"firstIndex", set.FirstIndex()},
                        {"mean", set.mean},            {"stdDev", set.stdDev},       {"min", set.min},
                        {"max", set.max}};
  Json lines = Json::array();
  for (const ChartLine& line : chart.lines) {
    lines.push_back({{"code", line.code}, {"title", line.title}, {"value", line.value}});
  }
  json["lines"] = std::move(lines);
  json["axis"] = {{"min", chart.axisMin}, {"max", chart.axisMax}};
  json["zones"] = ZonesJson(set);
  json["zoneStatistics"] = ZoneStatisticsJson(set);
  Json found = Json::array();
  for (int c = 1; c <= 10; ++c) {
    if (set.criterionFound[static_cast<std::size_t>(c - 1)]) found.push_back(CriterionCode(c));
  }
  json["criteriaFound"] = std::move(found);
  json["hitCount"] = set.signals.size();
  json["hits"] = HitsJson(set);
  json["points"] = PointsJson(chart, set, ds);
  return json;
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

  Json charts = Json::array();
  std::optional<std::uint32_t> limitedFrom;  // the selection's points when a chart left some out
  for (const auto& [kind, role] : {std::pair{a.upper, "upper"}, std::pair{a.lower, "lower"}}) {
    if (!kind) continue;
    TChart chart;
    const std::size_t limit = a.all ? std::numeric_limits<std::size_t>::max() : kMaxChartPoints;
    const ChartBuildResult built = BuildChart(chart, task, *kind, a.options, limit);
    if (!built.ok) {
      err << "chart: " << OneLine(built.message, built.details) << "\n";
      return kExitFailed;
    }
    if (chart.data.Limited() && !limitedFrom) limitedFrom = chart.data.selectionCount;
    charts.push_back(ChartJson(chart, role, ds));
  }
  if (limitedFrom) {
    err << "chart: the selection holds " << *limitedFrom << " points; the chart shows the first " << kMaxChartPoints
        << " of them, as a chart window does (--all charts every point)\n";
  }

  Json blockList = Json::array();
  for (const int b : blocks) blockList.push_back({{"position", b}, {"name", SafeUtf8(ds.Block(b)->name)}});
  Json samples = "all";
  if (!task.selection.wholeBlocks) samples = {{"from", task.selection.from}, {"to", task.selection.to}};
  Json inForce = Json::array();
  for (int c = 1; c <= 10; ++c) {
    if ((a.options.criteria.mask & CriterionBit(c)) != 0) inForce.push_back(CriterionCode(c));
  }
  Json json = {{"file", SafeUtf8(a.file)}};
  json["parameter"] = {{"position", parameter},        {"name", SafeUtf8(param.name)},
                       {"unit", SafeUtf8(param.unit)}, {"decimals", param.decimals},
                       {"kind", KindCode(param.kind)}};
  json["selection"] = {{"blocks", std::move(blockList)}, {"samples", std::move(samples)}};
  json["kind"] = a.kindText;
  json["criteria"] = {{"set", a.options.criteria.set},
                      {"name", CriteriaChoiceText(a.options.criteria)},
                      {"mask", a.options.criteria.mask},
                      {"inForce", std::move(inForce)}};
  json["options"] = {{"span", a.options.span},
                     {"scale", ScaleCode(a.options.pScale)},
                     {"regulation", a.options.regulationLimits}};
  json["charts"] = std::move(charts);
  out << json.dump(2) << "\n";
  return kExitOk;
}

}  // namespace mv::cli
