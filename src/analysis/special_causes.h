#pragma once
// Tests for special causes on a control chart's data set: the ten criteria and the five
// criteria sets, the criteria choice of the chart options, the zones A/B/C with their
// statistics, the evaluation that fills the data set's signal list and marks its points, and
// the texts of the hits.
//
// Order on a data set: limits (chart_limits.h, which also computes the zones), beyond marking,
// then EvaluateCriteria (or EvaluateChart for the two). C1 reports exactly the points that carry the beyond mark, so the
// conclusion's count of points beyond the limits and the C1 hits always agree, own limits of
// p and u charts included.

#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/chart_data.h"
#include "analysis/data_set.h"

namespace mv {

// --- criteria C1..C10 ---

inline constexpr std::uint16_t kAllCriteriaMask = 0x3FF;
// Criterion c (1..10) is bit 2^(c-1) of a mask; 0 outside.
constexpr std::uint16_t CriterionBit(int c) {
  return c >= 1 && c <= 10 ? static_cast<std::uint16_t>(1U << (c - 1)) : std::uint16_t{0};
}
// "C1".."C10"; "" outside 1..10.
std::string_view CriterionCode(int c);
// The criterion's text ("Точка за пределами контрольных границ", ...); "" outside 1..10.
std::string_view CriterionText(int c);
// The number of points a run or window of the criterion must reach (1, 7, 7, 6, 14, 3, 5, 15,
// 8, 9); 0 outside.
int CriterionLength(int c);
// Number of criteria in a mask (bits 1..10 only).
int CriteriaInMask(std::uint16_t mask);
// Every chart kind admits all ten criteria and the zones.
std::uint16_t AdmittedCriteria(ChartKind kind);

// --- criteria sets 1..5 ---

inline constexpr int kCriteriaSetCount = 5;
inline constexpr int kCustomCriteriaSet = 5;  // "Произвольный выбор": the mask as edited
// C1 / C1-C3 / C1-C9 / C1, C2, C4-C10; 0 for the custom set and outside 1..4.
std::uint16_t CriteriaSetMask(int set);
// "Точки вне границ", "SPC, 1 изд.", ...; "???" outside 1..5.
std::string_view CriteriaSetShortName(int set);
// "Только точки вне контрольных границ", ...; "???" outside 1..5.
std::string_view CriteriaSetLongName(int set);

// Display flags of the criteria choice.
namespace criteria_display {
inline constexpr std::uint8_t kSeriesLines = 1;   // series as connecting lines, labelled at the first point
inline constexpr std::uint8_t kRibbons = 2;       // series as ribbons under the chart
inline constexpr std::uint8_t kPointNumbers = 4;  // with the numbers of the points in the series
inline constexpr std::uint8_t kZones = 32;        // show the zones
inline constexpr std::uint8_t kZoneAnalysis = 64;  // show the zone statistics
inline constexpr std::uint8_t kAll = kSeriesLines | kRibbons | kPointNumbers | kZones | kZoneAnalysis;
}  // namespace criteria_display

// The criteria in force on a chart (part of the chart options; one for all chart kinds).
struct TCriteriaChoice {
  std::uint8_t display = criteria_display::kSeriesLines;
  std::uint8_t set = 2;
  std::uint16_t mask = CriterionBit(1) | CriterionBit(2) | CriterionBit(3);

  // Sets 1..4 copy their mask; set 5 keeps the mask as edited. Other numbers change nothing.
  void ChooseSet(int newSet);
  int CriteriaCount() const { return CriteriaInMask(mask); }
  bool operator==(const TCriteriaChoice&) const = default;
};
// The set's long name, followed for the custom set by " (" + number of criteria + ")".
std::string CriteriaChoiceText(const TCriteriaChoice& choice);

// --- zones ---

// The lower zone bands stop at 0 on charts whose values cannot be negative (R, S, MR and the
// attribute charts). Mean, median and individuals charts may plot negative values (deviations
// from nominal, relative values), so their bands are not clamped.
bool ZonesClampedAtZero(ChartKind kind);
// Zones from the data set's CL (its mean) and UCL when it has a UCL above the CL; a point's
// zone, side and distance follow from its value (CDataSet::ZoneOf, ZoneDistance). Otherwise no
// zones: every point is in zone 0 with side 0. The zone statistics are emptied; the pass that
// marks the points beyond the limits counts them.
void ComputeZones(CDataSet& set, bool clampAtZero);
// No zones (regulation limits, no limits).
void ClearZones(CDataSet& set);

// Zone 0 (outside), 1 (A), 2 (B), 3 (C): "вне", "A", "B", "C" / "Вне границ", "Зона A", ... and
// the share expected of a stable normal process, in percent (0.27, 4.29, 27.18, 68.26).
std::string_view ZoneCode(int zone);
std::string_view ZoneName(int zone);
double ZoneExpectedPercent(int zone);

// --- evaluation and hits ---

// Clears the signal list and the series marks, then runs the criteria of the choice's mask
// in their fixed order: C1 (the points marked beyond), the one-side runs (C2, or C10 when C2
// is not in force), C3, C4, C5, then the zone windows C6..C10 (only with valid zones).
void EvaluateCriteria(CDataSet& set, std::uint16_t mask);
inline void EvaluateCriteria(CDataSet& set, const TCriteriaChoice& choice) { EvaluateCriteria(set, choice.mask); }
// MarkBeyondLimits (chart_limits.h) and EvaluateCriteria in one pass over the points, as a
// chart and the stability check run them after the limits; returns the number of points beyond.
std::uint32_t EvaluateChart(CDataSet& set, std::uint16_t mask, const TChartDataX* data = nullptr,
                            bool ownLimitsUsed = false);

// "Точка 5. Критерий C1: ..." or "Серия из 7 точек, с 1 по 7. Критерий C2: ..."; the long form
// of a C2 hit adds ". Среднее=" and the mean with one decimal more than the parameter's.
std::string CriterionHitText(const TCriterionHit& hit, bool longForm);
// The text of hit `number` (1-based); "" outside the list.
std::string CriterionHitText(const CDataSet& set, std::size_t number, bool longForm);
// Hits whose first..last contains point `index`, with or without the C1 hits.
int HitsContainingPoint(const CDataSet& set, std::uint32_t index, bool withC1);
// Number of distinct criteria found (hits dropped from a full list count too).
int CriteriaFoundCount(const CDataSet& set);

}  // namespace mv
