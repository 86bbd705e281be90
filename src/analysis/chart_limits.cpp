#include "analysis/chart_limits.h"

#include <algorithm>
#include <cmath>

#include "analysis/chart_constants.h"
#include "analysis/special_causes.h"
#include "core/numbers.h"
#include "spc/dataset_spc.h"

namespace mv {
namespace {

void Set(CDataSet& set, ChartKind kind, double lcl, bool hasLcl, double ucl, bool hasUcl) {
  set.lcl = lcl;
  set.ucl = ucl;
  set.hasLcl = hasLcl;
  set.hasUcl = hasUcl;
  ComputeZones(set, ZonesClampedAtZero(kind));
}

double RootOfNonNegative(double x) { return x > 0 ? std::sqrt(x) : 0; }

void SetAttribute(CDataSet& set, ChartKind kind, double k, double n) {
  const AttributeLimitPair pair = AttributeLimitsFor(kind, k, set.mean, n);
  if (!pair.computed) {
    ClearLimits(set);
    return;
  }
  Set(set, kind, pair.lcl, pair.hasLcl, pair.ucl, true);
}

}  // namespace

void SetMeanLimits(CDataSet& set, int n, bool median, double rBar) {
  if (n < 2) {
    ClearLimits(set);
    return;
  }
  const double half = (median ? ConstA2Median(n) : ConstA2(n)) * rBar;
  Set(set, median ? ChartKind::Median : ChartKind::Mean, set.mean - half, true, set.mean + half, true);
}

void SetRangeLimits(CDataSet& set, int n) {
  if (n < 2) {
    ClearLimits(set);
    return;
  }
  Set(set, ChartKind::Range, ConstD3(n) * set.mean, n >= 7, ConstD4(n) * set.mean, true);
}

void SetStdDevLimits(CDataSet& set, int n) {
  if (n < 2) {
    ClearLimits(set);
    return;
  }
  Set(set, ChartKind::StdDev, ConstB3(n) * set.mean, n >= 6, ConstB4(n) * set.mean, true);
}

void SetIndividualsLimits(CDataSet& set, int w, double mrBar) {
  const double half = ConstE2(w) * mrBar;
  Set(set, ChartKind::Individuals, set.mean - half, true, set.mean + half, true);
}

void SetMovingRangeLimits(CDataSet& set, int w) {
  Set(set, ChartKind::MovingRange, ConstD3(w) * set.mean, w >= 7, ConstD4(w) * set.mean, true);
}

void SetPLimits(CDataSet& set, double k, double n) { SetAttribute(set, ChartKind::P, k, n); }
void SetNpLimits(CDataSet& set, double n) { SetAttribute(set, ChartKind::Np, 1, n); }
void SetCLimits(CDataSet& set) { SetAttribute(set, ChartKind::C, 1, 0); }
void SetULimits(CDataSet& set, double k, double n) { SetAttribute(set, ChartKind::U, k, n); }

void SetRegulationLimits(CDataSet& set, std::optional<double> lrl, std::optional<double> url) {
  set.lcl = lrl.value_or(0);
  set.ucl = url.value_or(0);
  set.hasLcl = lrl.has_value();
  set.hasUcl = url.has_value();
  ClearZones(set);
}

void ClearLimits(CDataSet& set) {
  set.lcl = set.ucl = 0;
  set.hasLcl = set.hasUcl = false;
  ClearZones(set);
}

AttributeLimitPair AttributeLimitsFor(ChartKind kind, double k, double cl, double n) {
  AttributeLimitPair pair;
  if (k <= 0) k = 1;
  double half = 0;
  switch (kind) {
    case ChartKind::P: {
      if (n <= 0) return pair;
      const double p = cl / k;
      half = k * 3 * RootOfNonNegative(p * (1 - p) / n);
      break;
    }
    case ChartKind::Np:
      if (n <= 0) return pair;
      half = 3 * RootOfNonNegative(cl * (1 - cl / n));
      break;
    case ChartKind::C: half = 3 * RootOfNonNegative(cl); break;
    case ChartKind::U:
      if (n <= 0) return pair;
      half = k * 3 * RootOfNonNegative(cl / k / n);
      break;
    default: return pair;
  }
  pair.computed = true;
  pair.ucl = cl + half;
  const double lcl = cl - half;
  pair.hasLcl = lcl >= 0;
  pair.lcl = pair.hasLcl ? lcl : 0;
  return pair;
}

bool ApplyOwnLimits(TChartDataX& data, const CDataSet& set, const SampleSelection& selection, ChartKind kind,
                    double k) {
  bool any = false;
  for (std::size_t i = 0; i < data.points.size(); ++i) {
    TChartPoint& e = data.points[i];
    e.flags = static_cast<std::uint16_t>(e.flags & ~chart_point_flag::kOwnLimits);
    e.ownLower = e.ownUpper = 0;
    if (!IsPerUnitChart(kind) || !data.hasSizeBand || !selection.dataset) continue;
    if (!set.IsAnalysed(static_cast<std::uint32_t>(i + 1))) continue;
    const TSPCBlock* block = selection.dataset->Block(e.block);
    const TSPCSample* sample = block ? block->Sample(e.sample) : nullptr;
    if (!sample) continue;
    const double size = sample->sampleSize;
    if (size >= data.BandLow() && size <= data.BandHigh()) continue;
    const AttributeLimitPair own = AttributeLimitsFor(kind, k, set.mean, size);
    if (!own.computed) continue;
    e.flags |= chart_point_flag::kOwnLimits;
    e.ownLower = own.lcl;
    e.ownUpper = own.ucl;
    any = true;
  }
  return any;
}

bool LimitsShown(const CDataSet& set) {
  if (!set.hasUcl && !set.hasLcl) return false;
  return !(set.hasUcl && set.hasLcl && std::fabs(set.ucl - set.lcl) < kSameEpsilon);
}

}  // namespace mv
