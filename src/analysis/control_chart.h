#pragma once
// One control chart built from a chart task: its point list, one data set per parameter,
// R̄ and n̄, the limits of the current parameter with the beyond marks, the tests for special
// causes, the extra lines and the span of the value axis. The chart window draws it; the
// batch command prints it.

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/capability.h"
#include "analysis/chart_data.h"
#include "analysis/chart_kinds.h"
#include "analysis/chart_options.h"
#include "analysis/box_plot.h"
#include "analysis/data_set.h"
#include "analysis/histogram.h"
#include "analysis/normality.h"
#include "analysis/sample_selection.h"

namespace mv {

class TSPCParameter;

// What a chart window shows: the samples, up to 7 parameters of one data kind, and which of
// them is the current one (whose limits, zones and signals are computed).
struct TChartTask {
  static constexpr std::size_t kMaxParameters = 7;
  SampleSelection selection;
  std::vector<int> parameters;  // positions in the dataset
  std::size_t current = 0;      // index into parameters
};

// Kinds 1..6 take quantitative parameters; p and np alternative parameters that count
// nonconforming units, c and u those that count nonconformities. Tags take none.
bool ParameterFitsChart(const TSPCParameter& parameter, ChartKind kind);

// A line drawn besides CL and the limits (tolerance lines, the tolerance width, the quality
// limit), for the current parameter.
struct ChartLine {
  std::string code;   // "USL", "LSL=Nom", "USL-LSL", "ПУН", ...
  std::string title;  // empty for the tolerance limits
  double value = 0;
};

// One parameter of a chart.
struct ChartSeries {
  int parameter = 0;
  CDataSet set;
  // Sample charts: mean number of analysed measured points per analysed sample (rounded half
  // to even), the largest such number, and the mean of the sample ranges.
  int meanSubgroupSize = 0;
  int largestSubgroupSize = 0;
  double averageRange = 0;
  // Individuals chart: MR̄ of the span, σ within = MR̄ / d2(span), capability and normality.
  double averageMovingRange = 0;
  double sigmaWithin = 0;
  CapabilityFigures capability;
  TNormality normality;
};

class TChart {
 public:
  ChartKind kind = ChartKind::Mean;
  std::string title;
  std::string code;
  std::string unit;  // the scale's unit on p and u charts, else the parameter's
  double scale = 1;  // k of the p and u charts
  AttrScale attrScale = AttrScale::Share;
  int span = 2;      // of the moving ranges (individuals and MR charts)
  int decimals = 0;  // of the plotted values
  Lang lang = Lang::Ru;

  bool attribute = false;       // kinds 7..10
  bool individual = false;      // kinds 5, 6
  bool characteristic = false;  // kinds 1, 4, 5: tolerance lines apply
  bool scaled = false;          // kinds 7, 10

  LimitMode limitMode = LimitMode::None;
  bool hasUcl = false;
  bool hasLcl = false;
  bool limitsShown = false;
  bool centralLineShown = false;
  bool conclusionShown = false;  // the conclusion option is on and limits are shown
  bool ownLimitsUsed = false;
  bool limitsComputable = true;  // np and c charts: false when the sample sizes differ
  std::uint32_t beyondCount = 0;
  std::string lowerCode, upperCode;    // "LCL"/"UCL" or "LRL"/"URL"
  std::string lowerTitle, upperTitle;  // "Нижняя контрольная граница", ...

  TChartDataX data;
  std::vector<ChartSeries> series;  // one per parameter of the task, in its order
  std::size_t current = 0;
  std::vector<ChartLine> lines;
  double axisMin = 0, axisMax = 0;  // the value axis with its margins

  // With the histogram option: the histogram of the current parameter's plotted values.
  THistogram histogram;
  // With the box-plot option on the X, M and x charts: the box plot of every analysed
  // individual value of the current parameter on the chart's samples (not computed otherwise).
  TBoxPlot boxPlot;

  const ChartSeries* Current() const { return current < series.size() ? &series[current] : nullptr; }
};

// Nothing in `message` when the chart was built.
struct ChartBuildResult {
  bool ok = false;
  std::string message;
  std::string details;
};

// Builds `chart` as `kind` over the task under the options: the point list (refused with the
// system's message below two active entries), the MR span check, the data sets, the limits of
// the current parameter, the beyond marks and, with control limits shown, the tests of the
// options' criteria, then with their options the histogram of the plotted values and the box
// plot of the individual values. Messages are returned, not shown. A chart whose figures (statistics,
// limits, axis) are not finite numbers is refused too. The chart holds the selection's first
// `pointLimit` entries (a window's 1000).
ChartBuildResult BuildChart(TChart& chart, const TChartTask& task, ChartKind kind, const TChartOptions& options,
                            std::size_t pointLimit = kMaxChartPoints);

// The value axis over the values, lines and limits from lo to hi: a margin of a twentieth of
// the span on each side (a fifth of |value| when the span is 0, and 1 when that is 0 too);
// a lower end that was not negative does not go below 0; the absolute scale always holds 0.
struct AxisSpan {
  double min = 0;
  double max = 0;
};
AxisSpan ChartAxis(double lo, double hi, bool absoluteScale);

}  // namespace mv
