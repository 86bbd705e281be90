#pragma once
// Control limits of every chart kind and regulation limits, set on a chart's data set; the own
// limits of p and u samples whose size lies outside the size band; the marking of points
// beyond the limits; and the rule for when limits are shown.
//
// The centre line is always the data set's mean of the analysed plotted values. Every limit
// operation sets UCL, LCL and their presence and recomputes the zones.

#include <cstdint>
#include <optional>

#include "analysis/chart_data.h"
#include "analysis/data_set.h"

namespace mv {

// X̄ (median = false) or median chart: CL ± A2(n)·R̄ or CL ± Ã2(n)·R̄, both limits; no limits
// when n < 2. The X̄ chart takes A2·R̄ also when its lower chart is the S chart.
void SetMeanLimits(CDataSet& set, int n, bool median, double rBar);
// R chart: D3(n)·CL .. D4(n)·CL; the LCL exists from n = 7 on; no limits when n < 2.
void SetRangeLimits(CDataSet& set, int n);
// S chart: B3(n)·CL .. B4(n)·CL; the LCL exists from n = 6 on; no limits when n < 2.
void SetStdDevLimits(CDataSet& set, int n);
// Individuals chart: CL ± E2(w)·MR̄, always both.
void SetIndividualsLimits(CDataSet& set, int w, double mrBar);
// Moving-range chart: D3(w)·CL .. D4(w)·CL; the LCL exists from w = 7 on.
void SetMovingRangeLimits(CDataSet& set, int w);
// Attribute charts with scale k and mean sample size n (k = 1 for np and c). A negative LCL
// becomes 0 and the chart has no LCL. n <= 0 gives no limits; a negative radicand (counts
// above the sizes) counts as 0.
void SetPLimits(CDataSet& set, double k, double n);
void SetNpLimits(CDataSet& set, double n);
void SetCLimits(CDataSet& set);
void SetULimits(CDataSet& set, double k, double n);
// Regulation limits of the mean and median charts: LCL = LRL, UCL = URL, each only when the
// parameter has it. No zones.
void SetRegulationLimits(CDataSet& set, std::optional<double> lrl, std::optional<double> url);
// No limits (and no zones).
void ClearLimits(CDataSet& set);

// The limits of an attribute chart from its centre line `cl` (in the chart's scale k) and a
// sample size n; what the limit operations set, and what an own-limits entry gets.
struct AttributeLimitPair {
  bool computed = false;  // n > 0 (c charts need no size)
  double lcl = 0;         // 0 when the formula gives a negative value
  double ucl = 0;
  bool hasLcl = false;  // the formula's LCL was not negative
};
AttributeLimitPair AttributeLimitsFor(ChartKind kind, double k, double cl, double n);

// p and u charts: every entry analysed in `set` whose sample size lies outside the size band
// n̄ − b .. n̄ + b gets the own-limits flag and limits computed with its own size. Clears the
// flag of every other entry. True when some entry has own limits (the chart then uses them).
bool ApplyOwnLimits(TChartDataX& data, const CDataSet& set, const SampleSelection& selection, ChartKind kind,
                    double k);

// Marks (flag 4) and counts the analysed points beyond the limits: an entry with own limits
// (when `data` is given and ownLimitsUsed) against those, every other point when it is above a
// present UCL or below a present LCL. A value equal to a limit is not beyond. The same pass
// fills the zone statistics of the analysed points (special_causes.h, where it is defined).
std::uint32_t MarkBeyondLimits(CDataSet& set, const TChartDataX* data = nullptr, bool ownLimitsUsed = false);

// At least one limit and not two that coincide (|UCL − LCL| < 1e-12).
bool LimitsShown(const CDataSet& set);

}  // namespace mv
