#include "analysis/control_chart.h"

#include <algorithm>
#include <cmath>

#include "analysis/chart_constants.h"
#include "analysis/chart_limits.h"
#include "analysis/special_causes.h"
#include "analysis/value_list.h"
#include "core/numbers.h"
#include "spc/dataset_spc.h"

namespace mv {
namespace {

constexpr std::string_view kNoDisplayableParameter = "Не выбраны параметры, которые могут отображаться на данной карте";

void SetUpKind(TChart& chart, ChartKind kind, const TChartOptions& options) {
  chart.kind = kind;
  chart.lang = options.language;
  chart.span = std::clamp<int>(options.span, 2, 10);
  chart.title = ChartKindTitle(kind, chart.lang, chart.span);
  chart.code = std::string(ChartKindCode(kind));
  chart.attribute = IsAttributeChart(kind);
  chart.individual = IsPointChart(kind);
  chart.characteristic = IsCharacteristicChart(kind);
  chart.scaled = IsPerUnitChart(kind);
  chart.attrScale = chart.scaled ? options.ScaleOf(kind) : AttrScale::Share;
  chart.scale = chart.scaled ? ScaleFactor(chart.attrScale) : 1;
}

// R̄, n̄ and the largest n over the entries analysed in the data set, from the samples'
// statistics of the parameter (points in analysis only).
void SubgroupFigures(ChartSeries& s, const TChartDataX& data, const SampleSelection& selection) {
  double sumRanges = 0;
  double sumPoints = 0;
  int largest = 0;
  for (std::uint32_t i = 1; i <= s.set.Count() && i <= data.points.size(); ++i) {
    if (!s.set.IsAnalysed(i)) continue;
    const TChartPoint& e = data.points[i - 1];
    const TSPCBlock* block = selection.dataset->Block(e.block);
    const TSPCSample* sample = block ? block->Sample(e.sample) : nullptr;
    if (!sample) continue;
    const SampleStats st = sample->Stats(s.parameter);
    sumRanges += st.range;
    sumPoints += st.n;
    largest = std::max<int>(largest, st.n);
  }
  const std::uint32_t active = s.set.activeCount;
  s.averageRange = active > 0 ? sumRanges / active : 0;
  s.meanSubgroupSize = active > 0 ? static_cast<int>(RoundHalfEven(sumPoints / active)) : 0;
  s.largestSubgroupSize = largest;
}

void IndividualsFigures(ChartSeries& s, int span) {
  const CDataSet& set = s.set;
  s.averageMovingRange = set.AverageMovingRange(span);
  s.sigmaWithin = s.averageMovingRange / ConstD2(span);
  const CapTolerance tolerance{set.tolerance.Get(ValueRange::kLower), set.tolerance.Get(ValueRange::kUpper),
                               set.tolerance.Get(ValueRange::kTarget)};
  s.capability = Capability(tolerance, static_cast<int>(set.activeCount), s.sigmaWithin, set.stdDev, set.mean, set.mean);
  TValueList list;
  if (set.activeCount > 0 && list.Allocate(set.activeCount)) {
    for (std::uint32_t i = set.FirstIndex(); i <= set.Count(); ++i) {
      if (set.IsAnalysed(i)) list.Add(set.Value(i));
    }
    list.SetMeanAndSigma(set.mean, set.stdDev);
    s.normality = TestNormality(list);
  }
}

// Limits of the current parameter by the kind and the limit mode.
void ComputeLimits(TChart& chart, ChartSeries& s, const TSPCParameter& parameter, const SampleSelection& selection) {
  CDataSet& set = s.set;
  chart.ownLimitsUsed = false;
  if (chart.limitMode == LimitMode::Regulation) {
    SetRegulationLimits(set, parameter.Lrl(), parameter.Url());
    return;
  }
  if (chart.limitMode == LimitMode::None) {
    ClearLimits(set);
    return;
  }
  const TChartDataX& data = chart.data;
  switch (chart.kind) {
    case ChartKind::Mean: SetMeanLimits(set, s.meanSubgroupSize, false, s.averageRange); break;
    case ChartKind::Median: SetMeanLimits(set, s.meanSubgroupSize, true, s.averageRange); break;
    case ChartKind::Range: SetRangeLimits(set, s.meanSubgroupSize); break;
    case ChartKind::StdDev: SetStdDevLimits(set, s.meanSubgroupSize); break;
    case ChartKind::Individuals: SetIndividualsLimits(set, chart.span, s.averageMovingRange); break;
    case ChartKind::MovingRange: SetMovingRangeLimits(set, chart.span); break;
    case ChartKind::P:
    case ChartKind::U:
      if (chart.kind == ChartKind::P) {
        SetPLimits(set, chart.scale, data.meanSize);
      } else {
        SetULimits(set, chart.scale, data.meanSize);
      }
      if (set.hasUcl) chart.ownLimitsUsed = ApplyOwnLimits(chart.data, set, selection, chart.kind, chart.scale);
      break;
    case ChartKind::Np:
    case ChartKind::C:
      if (!chart.limitsComputable) {
        ClearLimits(set);
      } else if (chart.kind == ChartKind::Np) {
        SetNpLimits(set, data.meanSize);
      } else {
        SetCLimits(set);
      }
      break;
  }
}

void AddLines(TChart& chart, const ChartSeries& s, const TSPCParameter& parameter, const TChartOptions& options) {
  chart.lines.clear();
  const ValueRange& t = s.set.tolerance;
  const auto lsl = t.Get(ValueRange::kLower);
  const auto usl = t.Get(ValueRange::kUpper);
  const auto nominal = t.Get(ValueRange::kTarget);
  const bool en = chart.lang == Lang::En;
  if (options.toleranceLines && chart.characteristic) {
    const std::string nom(ChartAlias(chart_alias::kNominal));
    const auto label = [&](int alias, double value) {
      std::string code(ChartAlias(alias));
      if (nominal && SameValue(value, *nominal)) code += "=" + nom;
      return code;
    };
    if (usl) chart.lines.push_back({label(chart_alias::kUsl, *usl), "", *usl});
    if (lsl) chart.lines.push_back({label(chart_alias::kLsl, *lsl), "", *lsl});
    if (nominal) chart.lines.push_back({nom, "", *nominal});
  }
  if (chart.kind == ChartKind::Range && options.toleranceWidth && options.toleranceLines && lsl && usl) {
    chart.lines.push_back({"USL-LSL", en ? "Specification Interval" : "Ширина допуска", *usl - *lsl});
  }
  const bool qualityLimit = (chart.kind == ChartKind::P && options.pQualityLimit) ||
                            (chart.kind == ChartKind::U && options.uQualityLimit);
  if (qualityLimit) {
    if (const auto limit = parameter.Usl()) {
      chart.lines.push_back({en ? "QL" : "ПУН",
                             en ? "Quality Limit (for nonconformity)" : "Предельный уровень несоответствий",
                             chart.scale * *limit});
    }
  }
}

// Every figure of every parameter and the limits of the current one (own limits included) are
// finite numbers.
bool FiguresFinite(const TChart& chart) {
  for (const ChartSeries& s : chart.series) {
    if (!s.set.FiguresFinite() || !AllFinite({s.averageRange, s.averageMovingRange, s.sigmaWithin}) ||
        !CapabilityFinite(s.capability)) {
      return false;
    }
  }
  return std::all_of(chart.data.points.begin(), chart.data.points.end(), [](const TChartPoint& e) {
    return (e.flags & chart_point_flag::kOwnLimits) == 0 || AllFinite({e.ownLower, e.ownUpper});
  });
}

void ComputeAxis(TChart& chart, const ChartSeries& s, bool absoluteScale) {
  const CDataSet& set = s.set;
  bool any = set.presentCount > 0;
  double lo = set.presentMin;
  double hi = set.presentMax;
  const auto take = [&](double v) {
    lo = any ? std::min(lo, v) : v;
    hi = any ? std::max(hi, v) : v;
    any = true;
  };
  if (chart.centralLineShown) take(set.mean);
  if (set.hasUcl) take(set.ucl);
  if (set.hasLcl) take(set.lcl);
  if (chart.ownLimitsUsed) {
    for (const TChartPoint& e : chart.data.points) {
      if ((e.flags & chart_point_flag::kOwnLimits) == 0) continue;
      take(e.ownLower);
      take(e.ownUpper);
    }
  }
  for (const ChartLine& line : chart.lines) take(line.value);
  const AxisSpan axis = ChartAxis(lo, hi, absoluteScale);
  chart.axisMin = axis.min;
  chart.axisMax = axis.max;
}

// Every analysed individual value of the current parameter on the chart's samples: the x chart
// plots them itself; the X and M charts take the measured points of the samples of their
// entries, block by block (the entries of one block are in sample order).
bool ChartBoxPlot(TChart& chart, const ChartSeries& s, const SampleSelection& selection) {
  std::vector<double> values;
  if (chart.kind == ChartKind::Individuals) {
    values.reserve(s.set.activeCount);
    for (std::uint32_t i = s.set.FirstIndex(); i <= s.set.Count(); ++i) {
      if (s.set.IsAnalysed(i)) values.push_back(s.set.Value(i));
    }
  } else {
    const auto& points = chart.data.points;
    CDataSet samples;
    for (std::size_t from = 0; from < points.size();) {
      std::size_t to = from;
      while (to + 1 < points.size() && points[to + 1].block == points[from].block) ++to;
      if (!LoadMeasuredPoints(samples, *selection.dataset, points[from].block, points[from].sample,
                              points[to].sample, s.parameter)) {
        return false;
      }
      for (std::uint32_t i = 1; i <= samples.Count(); ++i) {
        if (samples.IsAnalysed(i)) values.push_back(samples.Value(i));
      }
      from = to + 1;
    }
  }
  TValueList list;
  if (values.empty()) return true;  // nothing to show: not computed
  if (!list.Allocate(static_cast<std::int64_t>(values.size()))) return false;
  double sum = 0;
  for (const double v : values) {
    (void)list.Add(v);
    sum += v;
  }
  list.SetMeanAndSigma(sum / static_cast<double>(values.size()), 0);
  chart.boxPlot = ComputeBoxPlot(list);
  return true;
}

}  // namespace

bool ParameterFitsChart(const TSPCParameter& parameter, ChartKind kind) {
  if (parameter.IsTag()) return false;
  if (!IsAttributeChart(kind)) return parameter.kind == DataKind::Var;
  if (parameter.kind != DataKind::Attr) return false;
  const bool countsNonconformities = parameter.Type() == AttrType::Nonconformities;
  return (kind == ChartKind::C || kind == ChartKind::U) == countsNonconformities;
}

AxisSpan ChartAxis(double lo, double hi, bool absoluteScale) {
  if (absoluteScale) {
    lo = std::min(lo, 0.0);
    hi = std::max(hi, 0.0);
  }
  const double span = hi - lo;
  double margin = span / 20;
  if (!(span > 0)) margin = std::fabs(hi) / 5;
  if (!(margin > 0)) margin = 1;  // every value 0: an axis of height 0 cannot be drawn
  AxisSpan axis{lo - margin, hi + margin};
  if (lo >= 0 && axis.min < 0) axis.min = 0;
  return axis;
}

ChartBuildResult BuildChart(TChart& chart, const TChartTask& task, ChartKind kind, const TChartOptions& options,
                            std::size_t pointLimit) {
  chart = TChart{};
  SetUpKind(chart, kind, options);
  const SampleSelection& selection = task.selection;
  if (!selection.dataset) return {false, std::string(kNoDisplayableParameter), {}};
  const TDatasetSPC& ds = *selection.dataset;

  std::vector<int> parameters;
  for (const int p : task.parameters) {
    const TSPCParameter* parameter = ds.Parameter(p);
    if (parameter && ParameterFitsChart(*parameter, kind) && parameters.size() < TChartTask::kMaxParameters) {
      parameters.push_back(p);
    }
  }
  std::size_t current = 0;
  if (task.current < task.parameters.size()) {
    const auto at = std::find(parameters.begin(), parameters.end(), task.parameters[task.current]);
    if (at != parameters.end()) current = static_cast<std::size_t>(at - parameters.begin());
  }
  if (parameters.empty()) return {false, std::string(kNoDisplayableParameter), {}};

  // The point list of the current parameter decides whether the chart can be built.
  chart.data = BuildChartData(selection, kind, parameters[current], pointLimit);
  if (const auto refusal = CheckChartData(chart.data, selection, kind, chart.title)) {
    return {false, refusal->text, refusal->details};
  }
  if (kind == ChartKind::MovingRange && chart.span >= static_cast<int>(chart.data.Count())) {
    return {false,
            "Объем выборки (" + FormatInt(chart.span) + ") должен быть меньше количества точек на карте (" +
                FormatInt(chart.data.Count()) + "). Карта скользящих размахов не может быть построена",
            {}};
  }
  chart.limitsComputable = !chart.attribute || AttributeLimitsComputed(kind, chart.data);

  chart.series.resize(parameters.size());
  chart.current = current;
  for (std::size_t i = 0; i < parameters.size(); ++i) {
    ChartSeries& s = chart.series[i];
    s.parameter = parameters[i];
    // Entries have a value or not by parameter; activity and sizes are the same for all.
    const TChartDataX own = i == current ? TChartDataX{} : BuildChartData(selection, kind, s.parameter, pointLimit);
    const TChartDataX& data = i == current ? chart.data : own;
    if (!LoadChartDataSet(s.set, data, selection, kind, s.parameter, chart.span, chart.attrScale)) {
      return {false, "Out of memory: Chart init", {}};
    }
    if (!chart.attribute && !chart.individual) SubgroupFigures(s, data, selection);
    if (kind == ChartKind::Individuals) IndividualsFigures(s, chart.span);
    ClearLimits(s.set);
  }

  ChartSeries& s = chart.series[current];
  const TSPCParameter& parameter = *ds.Parameter(s.parameter);
  chart.decimals = parameter.decimals + ChartExtraDecimals(kind);
  if (chart.scaled) chart.decimals = AttributeDecimals(chart.data.maxSize, chart.attrScale);
  chart.unit = chart.scaled ? std::string(AttrScaleUnit(chart.attrScale, kind)) : s.set.unit;

  if (options.controlLimits) {
    const bool regulation =
        options.regulationLimits && (kind == ChartKind::Mean || kind == ChartKind::Median);
    chart.limitMode = regulation ? LimitMode::Regulation : LimitMode::Control;
  }
  const bool regulation = chart.limitMode == LimitMode::Regulation;
  chart.lowerCode = std::string(regulation ? kLrlCode : ChartAlias(chart_alias::kLcl));
  chart.upperCode = std::string(regulation ? kUrlCode : ChartAlias(chart_alias::kUcl));
  chart.lowerTitle = std::string(LowerLimitTitle(chart.limitMode, chart.lang));
  chart.upperTitle = std::string(UpperLimitTitle(chart.limitMode, chart.lang));

  ComputeLimits(chart, s, parameter, selection);
  // Values near the limits of a double overflow the sums: such a chart would put every point
  // beyond limits that are not numbers.
  if (!FiguresFinite(chart)) {
    const ChartRefusal refusal = FiguresNotFiniteRefusal(chart.title);
    return {false, refusal.text, refusal.details};
  }
  chart.hasUcl = s.set.hasUcl;
  chart.hasLcl = s.set.hasLcl;
  chart.limitsShown = LimitsShown(s.set);
  chart.centralLineShown = chart.limitsShown || options.centralLineAlways;
  chart.conclusionShown = options.conclusion && chart.limitsShown;
  const bool tests = chart.limitMode == LimitMode::Control && chart.limitsShown;
  chart.beyondCount =
      EvaluateChart(s.set, tests ? options.criteria.mask : std::uint16_t{0}, &chart.data, chart.ownLimitsUsed);

  AddLines(chart, s, parameter, options);
  ComputeAxis(chart, s, options.absoluteScale);
  if (!AllFinite({chart.axisMin, chart.axisMax})) {  // the margins of values near the limit
    const ChartRefusal refusal = FiguresNotFiniteRefusal(chart.title);
    return {false, refusal.text, refusal.details};
  }
  if (options.histogram) chart.histogram.Compute(s.set);
  if (options.boxPlot && chart.characteristic && !ChartBoxPlot(chart, s, selection)) {
    return {false, "Out of memory: Chart init", {}};
  }
  return {true, {}, {}};
}

}  // namespace mv
