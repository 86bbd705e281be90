#pragma once
// The values of one parameter held for an analysis (a chart series, a histogram): a 1-based
// point array with presence and activity flags, their statistics, and the slots that the limit,
// zone, signal and normality computations fill.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/chart_zones.h"
#include "analysis/normality.h"
#include "core/value_range.h"

namespace mv {

class TDatasetSPC;

// Why an analysis refuses figures that are not finite numbers: values near the limits of a
// double overflow the sums (ten values of 1.7e308 have no finite mean).
inline constexpr std::string_view kValuesTooLarge = "значения параметра слишком велики для вычислений";

// True when every value is a finite number.
inline bool AllFinite(std::initializer_list<double> values) {
  return std::all_of(values.begin(), values.end(), [](double v) { return std::isfinite(v); });
}

namespace dsp_flag {
inline constexpr std::uint8_t kPresent = 1;  // a value exists
inline constexpr std::uint8_t kActive = 2;   // in analysis
inline constexpr std::uint8_t kBeyond = 4;   // beyond the control limits
inline constexpr std::uint8_t kSeries = 8;   // part of a signalled series
inline constexpr std::uint8_t kAnalysed = kPresent | kActive;
}  // namespace dsp_flag

struct MarkRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// One value of the data set. What a drawing needs to remember of a point (where its mark went)
// lives with the drawn chart points, and the zone of a point and its distance from the centre
// line follow from its value and the zones (ZoneOf, ZoneDistance): every computation passes
// over these, so they are kept to 16 bytes.
struct TDataSetPoint {
  double value = 0;
  std::uint8_t flags = 0;  // dsp_flag
  std::uint16_t block = 0;
  std::uint16_t sample = 0;
  std::uint16_t point = 0;  // 0 or 1 for values that summarise a sample

  bool Analysed() const { return (flags & dsp_flag::kAnalysed) == dsp_flag::kAnalysed; }
};
static_assert(sizeof(TDataSetPoint) == 16);

// Counts and indexes are 32-bit: a histogram takes every analysed value of up to 200 blocks of
// 1000 samples of 200 points, far beyond 65535.
class CDataSet {
 public:
  static constexpr std::size_t kUnitMax = 10;

  // --- bound from the parameter ---
  std::string unit;  // at most 10 characters
  ValueRange tolerance;
  std::uint8_t decimals = 0;
  bool twoSided = false;
  bool limited = false;

  // --- statistics (ComputeStatistics) ---
  bool valid = false;
  std::uint32_t presentCount = 0;
  std::uint32_t activeCount = 0;
  std::uint32_t outOfToleranceCount = 0;
  double percentOutOfTolerance = 0;
  double presentMin = 0, presentMax = 0;
  double min = 0, max = 0;  // of analysed points
  std::uint32_t minIndex = 0, maxIndex = 0;
  double mean = 0, range = 0, stdDev = 0;
  double averageMovingRange = 0;  // of the span given to ComputeStatistics; 0 without one

  // --- filled by the limit, zone, signal and normality computations ---
  double ucl = 0, lcl = 0;
  bool hasUcl = false, hasLcl = false;
  std::vector<TCriterionHit> signals;                  // at most kMaxCriterionHits
  std::array<bool, kCriterionCount> criterionFound{};  // criteria 1..10
  TChartZones zones;
  TZoneStat zoneStat;
  TNormality normality;

  // Copies unit, tolerance, decimals and the tolerance flags of parameter `position`; the first
  // index becomes 1. An invalid position leaves an unbound, empty tolerance.
  void BindParameter(const TDatasetSPC& dataset, int position);
  // n equal to the capacity clears every point; otherwise the array is released and n points
  // are obtained. Count becomes 0. False (capacity 0) when the memory cannot be had.
  [[nodiscard]] bool Allocate(std::int64_t n);
  void Release();

  // Index 0 means Count() + 1. False outside 1..Capacity(); otherwise the point is written and
  // the count becomes the larger of count and index.
  bool AddPoint(std::uint32_t index, std::uint16_t block, std::uint16_t sample, std::uint16_t point, bool active,
                bool present, double value) {
    if (index == 0) index = m_count + 1;
    if (index < 1 || index > Capacity()) return false;
    TDataSetPoint& p = m_points[index - 1];
    p = TDataSetPoint{};
    p.value = value;
    p.block = block;
    p.sample = sample;
    p.point = point;
    p.flags = static_cast<std::uint8_t>((present ? dsp_flag::kPresent : 0) | (active ? dsp_flag::kActive : 0));
    m_count = std::max(m_count, index);
    return true;
  }

  std::uint32_t Count() const { return m_count; }
  std::uint32_t Capacity() const { return static_cast<std::uint32_t>(m_points.size()); }
  std::uint32_t FirstIndex() const { return m_firstIndex; }
  // 0 / false / nothing outside 1..Capacity().
  double Value(std::uint32_t index) const;
  bool HasFlag(std::uint32_t index, std::uint16_t flag) const;
  void SetFlag(std::uint32_t index, std::uint16_t flag, bool on);
  bool IsAnalysed(std::uint32_t index) const {
    return HasFlag(index, dsp_flag::kPresent) && HasFlag(index, dsp_flag::kActive);
  }
  const TDataSetPoint* Point(std::uint32_t index) const;  // nullptr outside 1..Capacity()
  TDataSetPoint* MutablePoint(std::uint32_t index) {  // nullptr outside 1..Capacity()
    return index >= 1 && index <= Capacity() ? &m_points[index - 1] : nullptr;
  }

  // Counts, extremes, mean, range, standard deviation (n - 1) and the out-of-tolerance share
  // over points FirstIndex()..Count(); the first of equal extremes keeps the index. With a
  // span w (2..10) also averageMovingRange = AverageMovingRange(w), summed beside the mean in
  // the same pass (one pass less for an individuals chart).
  void ComputeStatistics(int movingRangeSpan = 0);
  // Mean of the ranges of span w (2..10). A point from index w on contributes only when it has
  // w - 1 analysed points before it: a point whose predecessors are excluded has no moving
  // range. 0 when count < w or nothing contributes.
  double AverageMovingRange(int w) const;
  // Replaces every value from index w on by its moving range of span w and makes w the first
  // index. A point without w - 1 analysed predecessors stops being analysed. The statistics of
  // the ranges are computed on the way, as ComputeStatistics() would.
  void ToMovingRanges(int w);
  // Point `index`'s zone and side; zone 0 and side 0 without zones or outside
  // FirstIndex()..Capacity().
  ZonePlace ZoneOf(std::uint32_t index) const;
  // Point `index`'s distance from the centre line in zone sigmas; 0 without zones or outside
  // FirstIndex()..Capacity().
  double ZoneDistance(std::uint32_t index) const;
  // mean + k x standard deviation.
  double ValueAtSigmas(double k) const { return mean + k * stdDev; }
  // 0 without a UCL; else the analysed points above the UCL plus, with an LCL, those below it.
  std::uint32_t CountBeyondLimits() const;
  // The statistics (extremes, mean, range, standard deviation, average moving range) and the
  // present limits are finite numbers.
  bool FiguresFinite() const {
    return AllFinite({presentMin, presentMax, min, max, mean, range, stdDev, averageMovingRange}) &&
           (!hasUcl || std::isfinite(ucl)) && (!hasLcl || std::isfinite(lcl));
  }

 private:
  struct Tally;
  void StoreStatistics(const Tally& tally);

  std::vector<TDataSetPoint> m_points;  // index i is m_points[i - 1]
  std::uint32_t m_count = 0;
  std::uint32_t m_firstIndex = 1;
};

}  // namespace mv
