#include "analysis/stability.h"

#include <algorithm>

#include "analysis/chart_data.h"
#include "analysis/chart_limits.h"
#include "analysis/data_set.h"
#include "analysis/special_causes.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "spc/dataset_spc.h"

namespace mv {
namespace {

constexpr int kStabilitySpan = 2;
constexpr int kStabilityCriteriaSet = 2;

bool Checkable(int kind) { return kind == 1 || kind == 2 || kind == 3 || kind == 5 || kind == 6; }

// False only when the memory for the points could not be had.
bool CheckOneChart(const TDatasetSPC& ds, const TSPCBlock& block, int b, int from, int to, int parameter,
                   StabilityKindResult& result) {
  const bool perPoint = result.kind == 5 || result.kind == 6;
  CDataSet set;
  double sumRanges = 0;
  double totalPoints = 0;
  if (perPoint) {
    if (!LoadMeasuredPoints(set, ds, b, from, to, parameter)) {
      ShowError("Out of memory: CheckOneChart");
      return false;
    }
  } else {
    set.BindParameter(ds, parameter);
    if (!set.Allocate(to - from + 1)) {
      ShowError("Out of memory: CheckOneChart");
      return false;
    }
    for (int s = from; s <= to; ++s) {
      const TSPCSample& sample = *block.Sample(s);
      if (!sample.IsActive() || sample.countedPoints == 0) continue;
      const SampleStats st = sample.Stats(parameter);
      if (st.n == 0) continue;  // no value of the parameter in analysis
      const double value = result.kind == 1 ? st.mean : result.kind == 2 ? st.range : st.stdDev;
      set.AddPoint(0, static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(s), 1, true, true, value);
      sumRanges += st.range;
      totalPoints += st.n;
    }
  }
  if (result.kind == 6) {
    set.ToMovingRanges(kStabilitySpan);  // with the statistics of the ranges
  } else {
    set.ComputeStatistics(result.kind == 5 ? kStabilitySpan : 0);
  }
  if (set.activeCount == 0) return true;  // nothing to judge: not done

  const double points = set.activeCount;
  const int n = static_cast<int>(RoundHalfEven(totalPoints / points));
  const double rBar = sumRanges / points;
  switch (result.kind) {
    case 1: SetMeanLimits(set, n, false, rBar); break;
    case 2: SetRangeLimits(set, n); break;
    case 3: SetStdDevLimits(set, n); break;
    case 5: SetIndividualsLimits(set, kStabilitySpan, set.averageMovingRange); break;
    default: SetMovingRangeLimits(set, kStabilitySpan); break;
  }
  // As on the chart, limits that are not shown (none, or UCL = LCL) run no tests: the kind
  // cannot be judged stable.
  // Limits that are not numbers (values near the limits of a double) judge nothing either.
  result.done = LimitsShown(set) && set.FiguresFinite();
  if (!result.done) return true;
  // C1 reports exactly the points marked beyond, which the same pass counts; leaving it out of
  // the mask keeps the list for the runs.
  const auto runs = static_cast<std::uint16_t>(CriteriaSetMask(kStabilityCriteriaSet) & ~CriterionBit(1));
  result.beyondCount = EvaluateChart(set, runs);
  result.seriesCount = static_cast<std::uint32_t>(set.signals.size());
  result.signalCount = result.beyondCount + result.seriesCount;
  result.stable = result.beyondCount == 0 && CriteriaFoundCount(set) == 0;
  result.lcl = set.lcl;
  result.ucl = set.ucl;
  result.hasLcl = set.hasLcl;
  result.hasUcl = set.hasUcl;
  return true;
}

}  // namespace

StabilityCheck CheckStability(const TDatasetSPC& dataset, int block, int from, int to, int parameter,
                              std::span<const int> kinds) {
  StabilityCheck check;
  check.ok = true;
  const TSPCBlock* b = dataset.Block(block);
  const bool validParameter = dataset.Parameter(parameter) != nullptr;
  const int first = std::max(from, 1);
  const int last = b ? std::min(to, b->SampleCount()) : 0;
  for (const int kind : kinds) {
    if (kind == 0) continue;
    const bool seen = std::any_of(check.kinds.begin(), check.kinds.end(),
                                  [kind](const StabilityKindResult& r) { return r.kind == kind; });
    if (seen) continue;
    StabilityKindResult result;
    result.kind = kind;
    if (Checkable(kind) && b && validParameter && first <= last) {
      if (!CheckOneChart(dataset, *b, block, first, last, parameter, result)) result.done = false;
    }
    if (!result.done) check.ok = false;
    check.kinds.push_back(result);
  }
  return check;
}

}  // namespace mv
