#include "analysis/special_causes.h"

#include <gtest/gtest.h>

#include <array>
#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
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
    EXPECT_EQ(set.ZoneOf(p.index).zone, p.zone);
    EXPECT_EQ(set.ZoneOf(p.index).side, p.side);
  }
  EXPECT_DOUBLE_EQ(set.ZoneDistance(4), -3.5);
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
  EXPECT_EQ(mean.ZoneOf(1).zone, 2);  // B, below
  EXPECT_EQ(mean.ZoneOf(1).side, 2);

  // The same figures on a range chart: the bands are clamped at 0.
  ComputeZones(mean, true);
  EXPECT_NEAR(mean.zones.zones[1].lower.lowerEdge, 0, 1e-12);
  EXPECT_EQ(mean.zones.zones[0].lower.upperEdge, 0);
  EXPECT_EQ(mean.zones.zones[0].lower.lowerEdge, 0);
  EXPECT_EQ(mean.ZoneOf(1).zone, 0);

  // No UCL, or a UCL on the centre line: no zones, every point in zone 0 with no side.
  mean.ucl = mean.mean;
  ComputeZones(mean, false);
  EXPECT_FALSE(mean.zones.valid);
  EXPECT_EQ(mean.ZoneOf(2).zone, 0);
  EXPECT_EQ(mean.ZoneOf(2).side, 0);
  EXPECT_EQ(mean.zoneStat.total, 0u);
}

// Placing a value takes three comparisons a side where the bands lie in order; it must give
// what trying the bands one by one gives, on every edge, for clamped and folded bands too.
TEST(SpecialCauses, PlacingValuesAgreesWithTryingTheBands) {
  std::mt19937 rng(7);
  const auto real = [&](double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(rng); };
  for (int round = 0; round < 2000; ++round) {
    SCOPED_TRACE(round);
    CDataSet set;
    set.mean = round % 4 == 0 ? real(-1, 1) : real(-1, 1) * std::pow(10.0, real(-3, 3));
    set.ucl = set.mean + std::pow(10.0, real(-12, 2));
    set.lcl = 2 * set.mean - set.ucl;
    set.hasUcl = set.hasLcl = true;
    ComputeZones(set, round % 2 == 0);
    if (!set.zones.valid) continue;
    const ZoneLocator locator(set.zones);
    std::vector<double> values{set.mean, set.ucl, set.lcl, 0.0, -0.0, set.mean * 2};
    for (const ChartZone& zone : set.zones.zones) {
      for (const ZoneBand* band : {&zone.upper, &zone.lower}) {
        for (const double edge : {band->lowerEdge, band->upperEdge}) {
          values.push_back(edge);
          values.push_back(std::nextafter(edge, -1e300));
          values.push_back(std::nextafter(edge, 1e300));
        }
      }
    }
    for (int k = 0; k < 20; ++k) values.push_back(set.mean + (set.ucl - set.mean) * real(-5, 5));
    for (const double v : values) EXPECT_EQ(locator.Place(v), locator.PlaceInBands(v)) << v;
  }
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

// The tests for special causes written plainly, one criterion after another over the list of
// analysed points, the zone windows recounted for every window: what the evaluation must give.
struct Reference {
  struct Point {
    double value;
    std::uint32_t index;
    int zone, side;
    bool beyond;
  };
  std::vector<Point> points;
  std::vector<TCriterionHit> hits;
  std::array<bool, kCriterionCount> found{};
  std::vector<bool> series;  // by position
  std::uint8_t decimals = 0;

  void Add(int criterion, int side, std::size_t first, std::size_t last) {
    const std::size_t count = last - first + 1;
    if (count < static_cast<std::size_t>(CriterionLength(criterion))) return;
    found[static_cast<std::size_t>(criterion - 1)] = true;
    double sum = 0;
    for (std::size_t p = first; p <= last; ++p) {
      sum += points[p].value;
      if (criterion != 1) series[p] = true;
    }
    TCriterionHit h;
    h.criterion = static_cast<std::uint8_t>(criterion);
    h.side = static_cast<std::uint8_t>(side);
    h.first = points[first].index;
    h.last = points[last].index;
    h.count = static_cast<std::uint32_t>(count);
    h.mean = sum / static_cast<double>(count);
    h.decimals = decimals;
    hits.push_back(h);
  }

  explicit Reference(const CDataSet& set, std::uint16_t mask) {
    decimals = set.decimals;
    for (std::uint32_t i = set.FirstIndex(); i <= set.Count(); ++i) {
      const TDataSetPoint& p = *set.Point(i);
      if (p.Analysed()) points.push_back({p.value, i, set.ZoneOf(i).zone, set.ZoneOf(i).side, (p.flags & dsp_flag::kBeyond) != 0});
    }
    series.assign(points.size(), false);
    const std::size_t n = points.size();
    if (n == 0) return;
    const auto on = [mask](int c) { return (mask & CriterionBit(c)) != 0; };
    const double cl = set.mean;
    const auto flat = [&](std::size_t p) { return std::fabs(points[p].value - points[p - 1].value) < 1e-12; };
    const auto rising = [&](std::size_t p) { return points[p].value - points[p - 1].value > 0; };

    if (on(1)) {
      for (std::size_t p = 0; p < n; ++p) {
        if (points[p].beyond) Add(1, points[p].value > cl ? 1 : 0, p, p);
      }
    }
    const int oneSide = on(2) ? 2 : on(10) ? 10 : 0;
    if (oneSide != 0) {
      const auto upper = [&](std::size_t p) { return points[p].value >= cl; };
      std::size_t start = 0;
      for (std::size_t p = 1; p < n; ++p) {
        if (std::fabs(points[p].value - cl) < 1e-12 || upper(p) != upper(p - 1)) {
          Add(oneSide, upper(start), start, p - 1);
          start = p;
        }
      }
      Add(oneSide, upper(start), start, n - 1);
    }
    if (on(3)) {  // a flat step neither ends nor starts a run
      std::size_t rise = 0, fall = 0;
      for (std::size_t p = 1; p < n; ++p) {
        if (flat(p)) continue;
        if (rising(p)) {
          Add(3, 0, fall, p - 1);
          fall = p;
        } else {
          Add(3, 1, rise, p - 1);
          rise = p;
        }
      }
      Add(3, 1, rise, n - 1);
      Add(3, 0, fall, n - 1);
    }
    if (on(4)) {  // a flat step ends both runs
      std::size_t rise = 0, fall = 0;
      for (std::size_t p = 1; p < n; ++p) {
        if (flat(p) || !rising(p)) {
          Add(4, 1, rise, p - 1);
          rise = p;
        }
        if (flat(p) || rising(p)) {
          Add(4, 0, fall, p - 1);
          fall = p;
        }
      }
      Add(4, 1, rise, n - 1);
      Add(4, 0, fall, n - 1);
    }
    if (on(5)) {
      std::size_t start = 0;
      int direction = 0;
      for (std::size_t p = 1; p < n; ++p) {
        if (flat(p)) {
          Add(5, 1, start, p - 1);
          start = p;
          continue;
        }
        const int d = rising(p) ? 1 : -1;
        if (d == direction) {
          Add(5, 1, start, p - 1);
          start = p - 1;
        }
        direction = d;
      }
      Add(5, 1, start, n - 1);
    }
    if (!set.zones.valid) return;
    const auto inA = [&](const Point& p, int side) { return p.zone <= 1 && p.side == side; };
    const auto inAB = [&](const Point& p, int side) { return p.zone <= 2 && p.side == side; };
    const struct {
      int criterion;
      std::size_t w;
      std::function<bool(const Point*)> holds;  // over the w points from the pointer on
    } kWindows[] = {
        {6, 3, [&](const Point* q) {
           for (int side = 1; side <= 2; ++side) {
             if (std::count_if(q, q + 3, [&](const Point& p) { return inA(p, side); }) >= 2) return true;
           }
           return false;
         }},
        {7, 5, [&](const Point* q) {
           for (int side = 1; side <= 2; ++side) {
             if (std::count_if(q, q + 5, [&](const Point& p) { return inAB(p, side); }) >= 4) return true;
           }
           return false;
         }},
        {8, 15, [&](const Point* q) { return std::all_of(q, q + 15, [](const Point& p) { return p.zone == 3; }); }},
        {9, 8, [&](const Point* q) { return std::none_of(q, q + 8, [](const Point& p) { return p.zone == 3; }); }},
        {10, 9, [&](const Point* q) { return std::all_of(q, q + 9, [](const Point& p) { return p.zone == 3; }); }},
    };
    for (const auto& w : kWindows) {
      if (!on(w.criterion)) continue;
      std::size_t start = 0;
      while (start + w.w <= n) {
        if (w.holds(&points[start])) {
          Add(w.criterion, 0, start, start + w.w - 1);
          start += w.w;
        } else {
          ++start;
        }
      }
    }
  }
};

// Series of values on a grid of half zone sigmas (ties, points on the centre line and on every
// zone edge), with runs, steps by the smallest amounts, points a hair off the centre line and
// excluded points; moving-range series start after their first index.
TEST(SpecialCauses, EvaluationAgreesWithThePlainTestsOnRandomSeries) {
  std::mt19937 rng(20240611);
  const auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 3000; ++round) {
    SCOPED_TRACE(round);
    // Long series cross many 64-point words with runs and windows of every length.
    const std::size_t n = static_cast<std::size_t>(uniform(0, round % 10 == 0 ? 3000 : 60));
    const double cl = uniform(0, 1) ? 0.0 : 10.0;
    std::vector<double> values;
    std::vector<std::uint32_t> inactive;
    // 1: mostly alternating, 2: mostly in zone C, 3: stretches of 3..40 points that rise, fall,
    // stay on one side, stay in zone C or alternate.
    const int style = uniform(0, 3);
    int stretchKind = 0;
    int stretchLeft = 0;
    for (std::size_t i = 0; i < n; ++i) {
      double v = cl + 0.5 * (style == 2 ? uniform(-2, 2) : uniform(-8, 8));
      if (style == 1 && values.size() >= 2 && uniform(0, 15) != 0) {
        values.push_back(values[values.size() - 2] + 0.5 * uniform(-1, 1));
        continue;
      }
      if (style == 3) {
        if (stretchLeft-- <= 0) {
          stretchKind = uniform(0, 4);
          stretchLeft = uniform(3, 40);
        }
        const double last = values.empty() ? cl : values.back();
        switch (stretchKind) {
          case 0: v = last + 0.5 * uniform(0, 2); break;  // rising, with ties
          case 1: v = last - 0.5 * uniform(1, 2); break;
          case 2: v = cl + 0.5 * uniform(1, 7); break;  // above the centre line
          case 3: v = cl + 0.5 * uniform(-1, 1); break;  // zone C
          default: v = values.size() >= 2 ? values[values.size() - 2] : v; break;
        }
        values.push_back(v);
        if (uniform(0, 30) == 0) inactive.push_back(static_cast<std::uint32_t>(i + 1));
        continue;
      }
      switch (uniform(0, 11)) {
        case 0: if (!values.empty()) v = values.back(); break;  // a tie
        case 1: if (!values.empty()) v = values.back() + 0.5; break;
        case 2: if (!values.empty()) v = values.back() - 0.5; break;
        case 3: v = cl + uniform(-1, 1) * 1e-13; break;  // on the centre line within the tolerance
        case 4: v = cl + std::uniform_real_distribution<double>(-4, 4)(rng); break;
        case 5: if (!values.empty()) v = values.back() + uniform(-1, 1) * 1e-13; break;  // a flat step
        case 6:
        case 7: if (values.size() >= 2) v = values[values.size() - 2]; break;  // alternation
        default: break;
      }
      values.push_back(v);
      if (uniform(0, 12) == 0) inactive.push_back(static_cast<std::uint32_t>(i + 1));
    }
    CDataSet set = SetOf(values, cl, 1, inactive);
    if (uniform(0, 5) == 0 && n > 0) {  // a moving-range series: its first index is not 1
      set.ToMovingRanges(uniform(2, 4));
      set.ComputeStatistics();
      set.ucl = set.mean + uniform(0, 3);
      set.hasLcl = false;
      ComputeZones(set, true);
      MarkBeyondLimits(set);
    } else if (uniform(0, 9) == 0) {
      set.ucl = set.mean;  // no zones
      ComputeZones(set, false);
    }
    // Stale marks of an earlier evaluation must go.
    for (std::uint32_t i = 1; i <= set.Count(); i += 3) set.SetFlag(i, dsp_flag::kSeries, true);
    const auto mask = static_cast<std::uint16_t>(round < 1500 ? uniform(0, 0x3FF) : CriteriaSetMask(uniform(1, 4)));
    const Reference ref(set, mask);
    std::vector<std::uint16_t> flagsBefore;
    for (std::uint32_t i = 1; i <= set.Count(); ++i) flagsBefore.push_back(set.Point(i)->flags);
    // Marking and evaluating in one pass is marking, then evaluating.
    CDataSet separate = set;
    const std::uint32_t beyond = MarkBeyondLimits(separate);
    EvaluateCriteria(separate, mask);
    CDataSet fused = set;
    EXPECT_EQ(EvaluateChart(fused, mask), beyond);
    EXPECT_EQ(fused.signals.size(), separate.signals.size());
    EXPECT_EQ(fused.zoneStat.total, separate.zoneStat.total);
    for (std::size_t z = 0; z < 4; ++z) {
      for (std::size_t side = 0; side < 3; ++side) {
        EXPECT_EQ(fused.zoneStat.cells[z][side].count, separate.zoneStat.cells[z][side].count);
      }
    }
    for (std::uint32_t i = 1; i <= set.Count(); ++i) ASSERT_EQ(fused.Point(i)->flags, separate.Point(i)->flags) << i;

    EvaluateCriteria(set, mask);

    std::vector<TCriterionHit> expected = ref.hits;
    if (expected.size() > kMaxCriterionHits) expected.resize(kMaxCriterionHits);
    ASSERT_EQ(set.signals.size(), expected.size());
    for (std::size_t k = 0; k < expected.size(); ++k) {
      SCOPED_TRACE(k);
      const TCriterionHit& a = set.signals[k];
      const TCriterionHit& b = expected[k];
      EXPECT_EQ(a.criterion, b.criterion);
      EXPECT_EQ(a.side, b.side);
      EXPECT_EQ(a.first, b.first);
      EXPECT_EQ(a.last, b.last);
      EXPECT_EQ(a.count, b.count);
      EXPECT_EQ(a.mean, b.mean);
      EXPECT_EQ(a.decimals, b.decimals);
    }
    EXPECT_EQ(set.criterionFound, ref.found);
    std::size_t position = 0;
    for (std::uint32_t i = 1; i <= set.Count(); ++i) {
      std::uint16_t want = static_cast<std::uint16_t>(flagsBefore[i - 1] & ~dsp_flag::kSeries);
      if (position < ref.points.size() && ref.points[position].index == i && ref.series[position++]) {
        want |= dsp_flag::kSeries;
      }
      ASSERT_EQ(set.Point(i)->flags, want) << "point " << i;
    }
  }
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
