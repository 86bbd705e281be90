#include "analysis/special_causes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "analysis/chart_limits.h"

namespace mv {
namespace {

// A data set of the values (all analysed except the 1-based indexes in `inactive`) with the
// centre line `cl` and symmetric limits cl ± 3·sigma, zones unclamped, beyond points marked.
CDataSet SetOf(const std::vector<double>& values, double cl, double sigma, std::vector<std::uint32_t> inactive = {}) {
  CDataSet set;
  EXPECT_TRUE(set.Allocate(static_cast<std::int64_t>(values.size())));
  for (std::size_t i = 0; i < values.size(); ++i) {
    const auto index = static_cast<std::uint32_t>(i + 1);
    const bool active = std::find(inactive.begin(), inactive.end(), index) == inactive.end();
    set.AddPoint(index, 1, static_cast<std::uint16_t>(index), 1, active, true, values[i]);
  }
  set.ComputeStatistics();
  set.decimals = 2;
  set.mean = cl;  // the centre line under test, whatever the values' mean
  set.ucl = cl + 3 * sigma;
  set.lcl = cl - 3 * sigma;
  set.hasUcl = set.hasLcl = true;
  ComputeZones(set, false);
  MarkBeyondLimits(set);
  return set;
}

std::vector<double> Repeat(const std::vector<double>& pattern, std::size_t n) {
  std::vector<double> v;
  for (std::size_t i = 0; i < n; ++i) v.push_back(pattern[i % pattern.size()]);
  return v;
}

TEST(SpecialCauses, ZonesOfAMeanChart) {
  CDataSet set = SetOf({10, 13, 13.5, 6.5, 8.5, 7}, 10, 1);
  const TChartZones& z = set.zones;
  ASSERT_TRUE(z.valid);
  EXPECT_EQ(z.sigma, 1);
  const struct {
    const ZoneBand& band;
    double upper, lower;
    const char* label;
  } kBands[] = {
      {z.zones[0].upper, 13, 12, "A (+3s)"}, {z.zones[1].upper, 12, 11, "B (+2s)"}, {z.zones[2].upper, 11, 10, "C (+1s)"},
      {z.zones[2].lower, 10, 9, "C (-1s)"},  {z.zones[1].lower, 9, 8, "B (-2s)"},   {z.zones[0].lower, 8, 7, "A (-3s)"},
  };
  for (const auto& b : kBands) {
    SCOPED_TRACE(b.label);
    EXPECT_EQ(b.band.upperEdge, b.upper);
    EXPECT_EQ(b.band.lowerEdge, b.lower);
    EXPECT_EQ(b.band.label, b.label);
  }
  const struct {
    std::uint32_t index;
    int zone, side;
  } kPoints[] = {{1, 3, 1}, {2, 1, 1}, {3, 0, 1}, {4, 0, 2}, {5, 2, 2}, {6, 1, 2}};
  for (const auto& p : kPoints) {
    SCOPED_TRACE(p.index);
    EXPECT_EQ(set.Point(p.index)->zone, p.zone);
    EXPECT_EQ(set.Point(p.index)->side, p.side);
  }
  EXPECT_DOUBLE_EQ(set.Point(4)->zoneDistance, -3.5);
  // Zone statistics: 2 outside (one each side), 2 in A, 1 in B, 1 in C.
  const TZoneStat& st = set.zoneStat;
  EXPECT_EQ(st.total, 6u);
  EXPECT_EQ(st.cells[0][0].count, 2u);
  EXPECT_EQ(st.cells[0][1].count, 1u);
  EXPECT_EQ(st.cells[0][2].count, 1u);
  EXPECT_EQ(st.cells[1][0].count, 2u);
  EXPECT_DOUBLE_EQ(st.cells[3][0].percent, 100.0 / 6);
  EXPECT_EQ(ZoneCode(0), "вне");
  EXPECT_EQ(ZoneName(1), "Зона A");
  EXPECT_EQ(ZoneExpectedPercent(3), 68.26);
}

TEST(SpecialCauses, LowerBandsStopAtZeroOnlyWhereValuesCannotBeNegative) {
  // A mean chart of deviations: CL 0.5, UCL 1.4. A point at -0.05 lies inside the limits.
  CDataSet mean = SetOf({-0.05, 0.5}, 0.5, 0.3);
  EXPECT_NEAR(mean.zones.zones[2].lower.lowerEdge, 0.2, 1e-12);
  EXPECT_NEAR(mean.zones.zones[1].lower.lowerEdge, -0.1, 1e-12);
  EXPECT_NEAR(mean.zones.zones[0].lower.lowerEdge, -0.4, 1e-12);
  EXPECT_EQ(mean.Point(1)->zone, 2);  // B, below
  EXPECT_EQ(mean.Point(1)->side, 2);

  // The same figures on a range chart: the bands are clamped at 0.
  ComputeZones(mean, true);
  EXPECT_NEAR(mean.zones.zones[1].lower.lowerEdge, 0, 1e-12);
  EXPECT_EQ(mean.zones.zones[0].lower.upperEdge, 0);
  EXPECT_EQ(mean.zones.zones[0].lower.lowerEdge, 0);
  EXPECT_EQ(mean.Point(1)->zone, 0);

  // No UCL, or a UCL on the centre line: no zones, every point in zone 0 with no side.
  mean.ucl = mean.mean;
  ComputeZones(mean, false);
  EXPECT_FALSE(mean.zones.valid);
  EXPECT_EQ(mean.Point(2)->zone, 0);
  EXPECT_EQ(mean.Point(2)->side, 0);
  EXPECT_EQ(mean.zoneStat.total, 0u);
}

struct Hit {
  int criterion;
  std::uint32_t first, last, count;
  bool operator==(const Hit&) const = default;
};

std::vector<Hit> HitsOf(const CDataSet& set) {
  std::vector<Hit> hits;
  for (const TCriterionHit& h : set.signals) hits.push_back({h.criterion, h.first, h.last, h.count});
  return hits;
}

void PrintTo(const Hit& h, std::ostream* os) {
  *os << "C" << h.criterion << " " << h.first << ".." << h.last << " (" << h.count << ")";
}

TEST(SpecialCauses, EachCriterionFiresOnItsSeriesAndNotOnePointEarlier) {
  // Centre line 0, zone sigma 1: zone C within ±1, B ±1..2, A ±2..3, beyond ±3.
  const std::vector<double> above7 = Repeat({1, 0.5}, 7);
  const std::vector<double> aboveInactive = Repeat({1, 0.5}, 8);
  // 1, 2, 3, 2, 3, ...: two rising steps, then 14 points alternating from the second on.
  const std::vector<double> alternating = {1, 2, 3, 2, 3, 2, 3, 2, 3, 2, 3, 2, 3, 2, 3};
  const std::vector<double> alternating14(alternating.begin(), alternating.end() - 1);
  const std::vector<double> onTheLine = {1, 0.5, 1, 0.5, 1, 0.5, 1, 0, 1};

  const struct {
    const char* name;
    std::vector<double> values;
    std::uint16_t mask;
    std::vector<Hit> hits;
    std::vector<std::uint32_t> inactive = {};
  } kCases[] = {
      {"C1", {0, 3, 3.01, -3.5}, CriterionBit(1), {{1, 3, 3, 1}, {1, 4, 4, 1}}},
      {"C2", above7, CriterionBit(2), {{2, 1, 7, 7}}},
      {"C2 six", std::vector<double>(above7.begin(), above7.end() - 1), CriterionBit(2), {}},
      {"C2 ends on the line", onTheLine, CriterionBit(2), {{2, 1, 7, 7}}},
      {"C2 over an inactive point", aboveInactive, CriterionBit(2), {{2, 1, 8, 7}}, {4}},
      {"C3 and C4", {1, 2, 3, 4, 5, 6, 7}, CriterionBit(3) | CriterionBit(4), {{3, 1, 7, 7}, {4, 1, 7, 7}}},
      {"C3 with a tie, C4 restarts", {1, 2, 2, 3, 4, 5, 6}, CriterionBit(3) | CriterionBit(4), {{3, 1, 7, 7}}},
      {"C3 six", {1, 2, 3, 4, 5, 6}, CriterionBit(3), {}},
      {"C3 falling", {6, 5, 4, 3, 2, 1, 0, 1}, CriterionBit(3), {{3, 1, 7, 7}}},
      {"C4", {0, 1, 2, 3, 4, 5}, CriterionBit(4), {{4, 1, 6, 6}}},
      {"C4 five", {0, 1, 2, 3, 4}, CriterionBit(4), {}},
      {"C5 after two steps the same way", alternating, CriterionBit(5), {{5, 2, 15, 14}}},
      {"C5 thirteen", alternating14, CriterionBit(5), {}},
      {"C6", {0.5, 2.5, -0.5, 2.5}, CriterionBit(6), {{6, 2, 4, 3}}},
      {"C6 one point earlier", {0.5, 2.5, -0.5}, CriterionBit(6), {}},
      {"C6 opposite sides", {2.5, -2.5, 0.5}, CriterionBit(6), {}},
      {"C6 below", {-2.5, -0.5, -3.5}, CriterionBit(6), {{6, 1, 3, 3}}},
      {"C6 below needs zone A too", {-0.5, -0.5, 0.5}, CriterionBit(6), {}},
      {"C7 below needs zone B too", {-0.5, -0.5, -1.5, -0.5, 0.5}, CriterionBit(7), {}},
      {"C7", {1.5, 0.5, 1.5, 1.5, 1.5}, CriterionBit(7), {{7, 1, 5, 5}}},
      {"C7 four", {1.5, 0.5, 1.5, 1.5}, CriterionBit(7), {}},
      {"C7 mixed sides", {1.5, -1.5, 1.5, 1.5, 0.5}, CriterionBit(7), {}},
      {"C8", Repeat({0.5, -0.5}, 15), CriterionBit(8), {{8, 1, 15, 15}}},
      {"C8 fourteen", Repeat({0.5, -0.5}, 14), CriterionBit(8), {}},
      {"C8 sixteen", Repeat({0.5, -0.5}, 16), CriterionBit(8), {{8, 1, 15, 15}}},
      {"C8 thirty", Repeat({0.5, -0.5}, 30), CriterionBit(8), {{8, 1, 15, 15}, {8, 16, 30, 15}}},
      {"C9", Repeat({1.5, -2.5}, 8), CriterionBit(9), {{9, 1, 8, 8}}},
      {"C9 seven", Repeat({1.5, -2.5}, 7), CriterionBit(9), {}},
      {"C10 in zone C", Repeat({0.5, -0.5}, 9), CriterionBit(10), {{10, 1, 9, 9}}},
      {"C10 eight", Repeat({0.5, -0.5}, 8), CriterionBit(10), {}},
      {"C10 on one side", Repeat({1.5, 2.5}, 9), CriterionBit(10), {{10, 1, 9, 9}}},
      {"C2 takes the one-side runs from C10", Repeat({1.5, 2.5}, 9),
       CriterionBit(2) | CriterionBit(10), {{2, 1, 9, 9}}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    CDataSet set = SetOf(c.values, 0, 1, c.inactive);
    EvaluateCriteria(set, c.mask);
    EXPECT_EQ(HitsOf(set), c.hits);
    for (int k = 1; k <= 10; ++k) {
      const bool found = std::any_of(c.hits.begin(), c.hits.end(), [k](const Hit& h) { return h.criterion == k; });
      EXPECT_EQ(set.criterionFound[static_cast<std::size_t>(k - 1)], found) << "C" << k;
    }
  }
}

TEST(SpecialCauses, SeriesMarksAndTheSkippedPoint) {
  CDataSet set = SetOf(Repeat({1, 0.5}, 8), 0, 1, {4});
  EvaluateCriteria(set, CriterionBit(2));
  for (std::uint32_t i = 1; i <= 8; ++i) EXPECT_EQ(set.HasFlag(i, dsp_flag::kSeries), i != 4) << i;
  EXPECT_EQ(HitsContainingPoint(set, 4, true), 1);
  // C1 does not mark series; a new evaluation clears the old marks.
  CDataSet beyond = SetOf({0, 4, 0}, 0, 1);
  EvaluateCriteria(beyond, CriterionBit(1));
  EXPECT_FALSE(beyond.HasFlag(2, dsp_flag::kSeries));
  EXPECT_EQ(HitsContainingPoint(beyond, 2, true), 1);
  EXPECT_EQ(HitsContainingPoint(beyond, 2, false), 0);
  EvaluateCriteria(set, 0);
  EXPECT_TRUE(set.signals.empty());
  EXPECT_FALSE(set.HasFlag(1, dsp_flag::kSeries));
}

TEST(SpecialCauses, ZoneTestsNeedZones) {
  // A UCL on the centre line (an R chart of zero ranges): the zone tests find nothing, though
  // every window of 8 has no point in zone C.
  CDataSet set = SetOf(Repeat({1.5, -1.5}, 16), 0, 1);
  set.ucl = 0;
  ComputeZones(set, true);
  EvaluateCriteria(set, 0x3E0);  // C6..C10
  EXPECT_TRUE(set.signals.empty());
}

TEST(SpecialCauses, AFullListDropsHitsButMarksTheirPoints) {
  std::vector<double> values = Repeat({5, -5}, 120);
  for (int i = 0; i < 7; ++i) values.push_back(0.5);
  CDataSet set = SetOf(values, 0, 1);
  EXPECT_EQ(MarkBeyondLimits(set), 120u);
  EvaluateCriteria(set, CriterionBit(1) | CriterionBit(2));
  EXPECT_EQ(set.signals.size(), kMaxCriterionHits);
  EXPECT_EQ(set.signals.back().criterion, 1);
  EXPECT_TRUE(set.criterionFound[1]);  // the C2 run was found, its hit dropped
  EXPECT_EQ(CriteriaFoundCount(set), 2);
  for (std::uint32_t i = 121; i <= 127; ++i) EXPECT_TRUE(set.HasFlag(i, dsp_flag::kSeries)) << i;
  std::uint32_t beyond = 0;
  for (std::uint32_t i = 1; i <= set.Count(); ++i) beyond += set.HasFlag(i, dsp_flag::kBeyond) ? 1 : 0;
  EXPECT_EQ(beyond, 120u);
}

TEST(SpecialCauses, HitTexts) {
  CDataSet set = SetOf({10, 11, 10, 11, 10, 11, 10.5, 5, 12, 9.9}, 9.9, 0.5);
  EvaluateCriteria(set, CriterionBit(1) | CriterionBit(2));
  ASSERT_EQ(set.signals.size(), 3u);  // C1 on 8, C1 on 9, C2 1..7
  EXPECT_EQ(CriterionHitText(set, 1, false), "Точка 8. Критерий C1: Точка за пределами контрольных границ");
  const std::string c2 = "Серия из 7 точек, с 1 по 7. Критерий C2: 7 точек подряд по одну сторону от центральной линии";
  EXPECT_EQ(CriterionHitText(set, 3, false), c2);
  EXPECT_EQ(CriterionHitText(set, 3, true), c2 + ". Среднее=10.500");
  EXPECT_EQ(CriterionHitText(set, 1, true), CriterionHitText(set, 1, false));  // only C2 has a long form
  EXPECT_EQ(CriterionHitText(set, 0, false), "");
  EXPECT_EQ(CriterionHitText(set, 4, false), "");
}

TEST(SpecialCauses, SetsAndTheChoice) {
  EXPECT_EQ(CriteriaSetMask(1), 0x001);
  EXPECT_EQ(CriteriaSetMask(2), 0x007);
  EXPECT_EQ(CriteriaSetMask(3), 0x1FF);
  EXPECT_EQ(CriteriaSetMask(4), 0x3FB);
  EXPECT_EQ(CriteriaSetShortName(4), "ГОСТ Р 7870-2");
  EXPECT_EQ(CriteriaSetLongName(6), "???");
  EXPECT_EQ(CriteriaSetShortName(0), "???");

  TCriteriaChoice choice;
  EXPECT_EQ(choice.set, 2);
  EXPECT_EQ(choice.mask, 0x007);
  EXPECT_EQ(choice.display, criteria_display::kSeriesLines);
  EXPECT_EQ(CriteriaChoiceText(choice), "Руководство SPC, 1 издание (1992)");
  choice.ChooseSet(5);
  EXPECT_EQ(choice.mask, 0x007);  // the custom set keeps the mask as edited
  choice.mask = CriterionBit(1) | CriterionBit(3) | CriterionBit(5) | CriterionBit(10);
  EXPECT_EQ(CriteriaChoiceText(choice), "Произвольный выбор (4)");
  choice.ChooseSet(3);
  EXPECT_EQ(choice.mask, 0x1FF);
  choice.ChooseSet(6);
  EXPECT_EQ(choice.set, 3);
  choice.set = 6;
  EXPECT_EQ(CriteriaChoiceText(choice), "???");
  EXPECT_EQ(CriterionCode(10), "C10");
  EXPECT_EQ(CriterionLength(5), 14);
  EXPECT_EQ(CriterionText(11), "");
}

}  // namespace
}  // namespace mv
