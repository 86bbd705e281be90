#pragma once
// The point list of a control chart (`TChartDataX`): one entry per measured point on the
// individuals and moving-range charts, one per sample on the others, with the flags the chart
// draws by; the refusal when fewer than two entries are active; the sample-size figures of the
// attribute charts; and the loading of the chart's data set from the list.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/data_set.h"
#include "analysis/sample_selection.h"
#include "platform/clock.h"

namespace mv {

// Chart kinds; the number is the kind's identity in options, report kinds and stored settings.
enum class ChartKind : std::uint8_t {
  Mean = 1,         // X
  Range = 2,        // R
  StdDev = 3,       // S
  Median = 4,       // M
  Individuals = 5,  // x
  MovingRange = 6,  // MR
  P = 7,
  Np = 8,
  C = 9,
  U = 10,
};

// One entry per measured point (x, MR) rather than per sample.
bool IsPointChart(ChartKind kind);
// p, np, c, u.
bool IsAttributeChart(ChartKind kind);
// p and u: the plotted value is divided by the sample size.
bool IsPerUnitChart(ChartKind kind);

namespace chart_point_flag {
inline constexpr std::uint16_t kExcluded = 1;  // inactive sample or inactive measured point
inline constexpr std::uint16_t kNote = 2;      // the sample has a note (first entry of the sample)
inline constexpr std::uint16_t kBlockStart = 16;
inline constexpr std::uint16_t kOwnLimits = 32;  // p and u charts with unequal sizes
inline constexpr std::uint16_t kFiltered = 64;   // filtered point, sample without points in analysis,
                                                 // or a p/u sample without a size
}  // namespace chart_point_flag

struct TChartPoint {
  TDateTime date = 0;  // the point's own date, else the sample's; 0 when the block keeps no dates
  std::uint16_t block = 0;
  std::uint16_t sample = 0;
  std::uint16_t point = 1;  // 1 on sample charts
  std::uint16_t flags = 0;  // chart_point_flag
  bool hasValue = false;    // the parameter has a value here (the data set's "present")
  double ownLower = 0;      // with kOwnLimits
  double ownUpper = 0;
  MarkRect mark;  // where the mark was drawn, for pointing with the mouse

  bool Active() const { return (flags & (chart_point_flag::kExcluded | chart_point_flag::kFiltered)) == 0; }
};

inline constexpr std::size_t kMaxChartPoints = 1000;

// Scale of the p and u charts: share (k = 1), percent or per 100 units (k = 100), PPM (k = 1e6).
enum class AttrScale : std::uint8_t { Share = 0, Percent = 1, Ppm = 2 };
double ScaleFactor(AttrScale scale);

struct TChartDataX {
  bool withTime = false;            // the first sample's date carries a time of day
  std::vector<TChartPoint> points;  // entry i is points[i - 1]; at most the list's limit
  // Entries the selection holds, the ones beyond the limit included.
  std::uint32_t selectionCount = 0;
  // Over the stored entries only.
  std::uint32_t activeCount = 0;
  // Attribute charts: sizes of the active samples (p and u: of those with a size above 0).
  double sizeSum = 0;
  int minSize = 0;
  int maxSize = 0;
  // Attribute charts with at least two active entries: n̄ = sizeSum / activeCount and
  // b = n̄ / 4, each rounded half to even; the size band is n̄ - b .. n̄ + b.
  bool hasSizeBand = false;
  double meanSize = 0;
  double bandHalf = 0;
  double BandLow() const { return meanSize - bandHalf; }
  double BandHigh() const { return meanSize + bandHalf; }

  std::uint32_t Count() const { return static_cast<std::uint32_t>(points.size()); }
  // The selection holds more entries than the list keeps.
  bool Limited() const { return selectionCount > points.size(); }
};

// Builds the list of a chart of `kind` over `parameter` (position 1..20): the first `limit`
// entries of the selection (a window shows at most 1000), counting them all.
TChartDataX BuildChartData(const SampleSelection& selection, ChartKind kind, int parameter,
                           std::size_t limit = kMaxChartPoints);

// Decimals of the plotted p or u values: 1 for a largest size up to 10, 2 up to 100, ... 7 above
// 1000000; 2 fewer in percent, 6 fewer in PPM, never below 0.
int AttributeDecimals(int largestSize, AttrScale scale);
// p and u charts always compute limits; np and c only when every sample has the same size.
bool AttributeLimitsComputed(ChartKind kind, const TChartDataX& data);

struct ChartRefusal {
  std::string text;
  std::string details;  // only for a sample chart over a range of one block
};
// Nothing when at least two entries are active; otherwise the message that the chart cannot be
// built ("Ошибка при при создании графика "<title>": ..." with the system's doubled word).
std::optional<ChartRefusal> CheckChartData(const TChartDataX& data, const SampleSelection& selection, ChartKind kind,
                                           std::string_view title);
// The message that the chart cannot be built because its figures (mean, sigma, limits, axis)
// are not finite numbers.
ChartRefusal FiguresNotFiniteRefusal(std::string_view title);
// CheckChartData and, when it refuses, the error window. True when the chart can be built.
bool ConfirmChartData(const TChartDataX& data, const SampleSelection& selection, ChartKind kind,
                      std::string_view title);

// Binds and fills `set` with every measured value of the parameter in samples from..to of
// block b, one point each in order (samples that are not active add nothing): present, and
// active when the point counts. The individuals and moving-range charts of a whole block are
// built on it. No statistics. False only when the memory for the points cannot be had.
[[nodiscard]] bool LoadMeasuredPoints(CDataSet& set, const TDatasetSPC& dataset, int b, int from, int to,
                                      int parameter);

// Binds and fills `set` from the list: entry i becomes point i with the value the kind plots
// (k x mean / size on p and u charts), present when the entry has a value and active when it is
// neither excluded nor filtered; the moving-range chart then forms its ranges of `span`; the
// statistics follow. False, with "Out of memory: Chart init", when the array cannot be had.
bool LoadChartDataSet(CDataSet& set, const TChartDataX& data, const SampleSelection& selection, ChartKind kind,
                      int parameter, int span = 2, AttrScale scale = AttrScale::Share);

}  // namespace mv
