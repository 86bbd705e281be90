#include "spc/sample.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace mv {
namespace {

constexpr double kTol = 1e-12;

// One point of parameter 1: its value (nothing: an empty slot) and its point flags.
struct Cell {
  std::optional<double> value;
  std::uint16_t flags = 0;
};

TSPCSample MakeSample(const std::vector<Cell>& cells) {
  TSPCSample s;
  for (const Cell& c : cells) {
    EXPECT_TRUE(s.AddPoint());
    TFileSmpPoint p = s.Point(s.PointCount());
    p.SetFlags(c.flags);
    if (c.value) p.SetValue(1, *c.value);
    else p.Set(1, {value_flag::kEmpty, 1000});  // a stale number behind the empty mark
  }
  return s;
}

void ExpectStats(const SampleStats& actual, const SampleStats& expected) {
  EXPECT_EQ(actual.n, expected.n);
  EXPECT_NEAR(actual.min, expected.min, kTol);
  EXPECT_NEAR(actual.max, expected.max, kTol);
  EXPECT_NEAR(actual.mean, expected.mean, kTol);
  EXPECT_NEAR(actual.median, expected.median, kTol);
  EXPECT_NEAR(actual.range, expected.range, kTol);
  EXPECT_NEAR(actual.movingRange, expected.movingRange, kTol);
  EXPECT_NEAR(actual.stdDev, expected.stdDev, kTol);
}

TEST(SampleStats, ComputedOverCountedPresentValuesInPointOrder) {
  constexpr std::uint16_t kExcl = point_flag::kExcluded;
  constexpr std::uint16_t kFilt = point_flag::kFiltered;
  // Expected values worked out by hand. For 1, 2, 4, 7: squares about 3.5 are 6.25 + 2.25 +
  // 0.25 + 12.25 = 21, s = sqrt(21 / 3) = sqrt(7). Moving ranges follow the point order, so
  // 7, 1, 4, 2 has |1-7| + |4-1| + |2-4| = 11 over 3.
  const struct {
    const char* name;
    std::vector<Cell> cells;
    std::uint16_t counted;
    SampleStats expected;
  } kCases[] = {
      {"1 2 4 7", {{1}, {2}, {4}, {7}}, 4, {4, 1, 7, 3.5, 3, 6, 2, std::sqrt(7.0)}},
      {"7 1 4 2: median sorts, moving range does not", {{7}, {1}, {4}, {2}}, 4,
       {4, 1, 7, 3.5, 3, 6, 11.0 / 3, std::sqrt(7.0)}},
      {"3 1 2: odd count", {{3}, {1}, {2}}, 3, {3, 1, 3, 2, 2, 2, 1.5, 1}},
      {"one value", {{5}}, 1, {1, 5, 5, 5, 5, 0, 0, 0}},
      {"only point filtered", {{5, kFilt}}, 0, {}},
      {"no points", {}, 0, {}},
      {"empty slots and excluded points skipped",
       {{1}, {std::nullopt}, {2}, {100, kExcl}, {4}, {-50, kFilt}, {std::nullopt}, {7}}, 6,
       {4, 1, 7, 3.5, 3, 6, 2, std::sqrt(7.0)}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TSPCSample s = MakeSample(c.cells);
    s.ComputeStats(1);
    EXPECT_EQ(s.countedPoints, c.counted);
    ExpectStats(s.Stats(1), c.expected);
  }
  const double values[] = {1, 2, 4, 7};
  ExpectStats(ComputeSampleStats(values), {4, 1, 7, 3.5, 3, 6, 2, 2.6457513110645907});
}

TEST(SampleStats, StandardDeviationKeepsItsDigitsFarFromZero) {
  // 4, 7, 13, 16 about 10 give s = sqrt(90 / 3); lifted by 1e9 a one-pass sum of squares
  // (around 4e18, where a double's step is 512) would lose them entirely.
  const double values[] = {1e9 + 4, 1e9 + 7, 1e9 + 13, 1e9 + 16};
  EXPECT_NEAR(ComputeSampleStats(values).stdDev, std::sqrt(30.0), 1e-6);
}

TEST(SampleStats, OnlyTheGivenParametersAreComputed) {
  TSPCSample s = MakeSample({{1}, {3}});
  s.Point(1)->SetValue(2, 10);
  s.Point(2)->SetValue(2, 20);
  s.ComputeStats(2);
  EXPECT_EQ(s.Stats(2).n, 2);
  EXPECT_EQ(s.Stats(2).mean, 15);
  // A parameter deleted since: its old figures must not linger.
  s.ComputeStats(1);
  EXPECT_EQ(s.Stats(1).mean, 2);
  ExpectStats(s.Stats(2), {});
}

// A sample with room for one point keeps its statistics in short; once it grows they must read
// as they were computed, whatever moved the storage, until they are computed again.
TEST(SampleStats, OnePointSampleKeepsItsStatisticsWhenItGrows) {
  const struct {
    const char* what;
    void (*grow)(TSPCSample&);
  } kCases[] = {
      {"a point added", [](TSPCSample& s) { ASSERT_TRUE(s.AddPoint()); }},
      {"a parameter beyond the width set", [](TSPCSample& s) { s.Point(1)->SetValue(4, 9); }},
      {"room reserved", [](TSPCSample& s) { s.ReservePoints(200, 20); }},
      {"a copy", [](TSPCSample& s) { s = TSPCSample(s); }},
  };
  for (bool laidOut : {false, true}) {
    for (const auto& c : kCases) {
      SCOPED_TRACE(std::string(c.what) + (laidOut ? ", laid out by a load" : ""));
      SampleStorageLayer layer(1);
      TSPCSample s;
      if (laidOut) layer.LayOut(s, 1, 3);
      ASSERT_TRUE(s.AddPoint());
      s.Point(1)->SetValue(1, -2.5);
      s.Point(1)->Set(2, {value_flag::kEmpty, 7});  // empty: no statistics
      s.Point(1)->SetValue(3, 1e300);
      s.ComputeStats(3);
      ExpectStats(s.Stats(1), {1, -2.5, -2.5, -2.5, -2.5, 0, 0, 0});
      ExpectStats(s.Stats(2), {});
      ExpectStats(s.Stats(3), {1, 1e300, 1e300, 1e300, 1e300, 0, 0, 0});
      c.grow(s);
      ExpectStats(s.Stats(1), {1, -2.5, -2.5, -2.5, -2.5, 0, 0, 0});
      ExpectStats(s.Stats(2), {});
      ExpectStats(s.Stats(3), {1, 1e300, 1e300, 1e300, 1e300, 0, 0, 0});
      ExpectStats(s.Stats(4), {});
      // Computed again over what the sample holds now.
      if (s.PointCount() == 2) s.Point(2)->SetValue(1, 1.5);
      s.ComputeStats(3);
      if (s.PointCount() == 2) {
        ExpectStats(s.Stats(1), {2, -2.5, 1.5, -0.5, -0.5, 4, 4, std::sqrt(8.0)});
      } else {
        ExpectStats(s.Stats(1), {1, -2.5, -2.5, -2.5, -2.5, 0, 0, 0});
      }
    }
  }
}

TEST(Sample, PointCapacity) {
  TSPCSample s;
  ASSERT_TRUE(s.AddPoints(195));
  EXPECT_FALSE(s.AddPoints(10));  // fills up to 200 and reports the shortfall
  EXPECT_EQ(s.PointCount(), 200);
  EXPECT_FALSE(s.AddPoint());
  EXPECT_FALSE(s.AddPoints(1));
  EXPECT_EQ(s.PointCount(), 200);
  EXPECT_EQ(s.Point(201), nullptr);

  const struct {
    int start;
    int n;
    bool ok;
    int count;
  } kCases[] = {
      {0, 200, true, 200}, {195, 5, true, 200}, {0, 0, false, 0},
      {0, -3, false, 0},   {0, 201, false, 0},  {10, 1000, false, 10},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::to_string(c.start) + " + " + std::to_string(c.n));
    TSPCSample t;
    if (c.start > 0) {
      ASSERT_TRUE(t.AddPoints(c.start));
    }
    EXPECT_EQ(t.AddPoints(c.n), c.ok);
    EXPECT_EQ(t.PointCount(), c.count);
  }
}

TEST(Sample, DeletePoint) {
  TSPCSample s = MakeSample({{1}, {2}, {3}});
  s.DeletePoint(0);
  s.DeletePoint(4);
  EXPECT_EQ(s.PointCount(), 3);
  s.DeletePoint(2);
  ASSERT_EQ(s.PointCount(), 2);
  EXPECT_EQ(s.Point(2)->Value(1), 3);
  EXPECT_EQ(s.Point(0), nullptr);
}

TEST(Sample, DateAndTimeFollowTheFlags) {
  constexpr std::uint16_t kD = sample_flag::kHasDate;
  constexpr std::uint16_t kT = sample_flag::kHasTime;
  const TDateTime kValue = 45356.34375;  // 05.03.2024 08:15
  const struct {
    std::uint16_t flags;
    TDateTime value;
    TDateTime date;
    TDateTime time;
    TDateTime dateTime;
    const char* text;
  } kCases[] = {
      {0, kValue, 0, 0, 0, ""},
      {kD, kValue, 45356, 0, 45356, "05.03.2024"},
      {kT, kValue, 0, 0.34375, 0, ""},
      {kD | kT, kValue, 45356, 0.34375, kValue, "05.03.2024 08:15"},
      {kD | kT | sample_flag::kInactive, kValue, 45356, 0.34375, kValue, "05.03.2024 08:15"},
      // Before 30.12.1899 the date counts toward zero, as core's date texts do.
      {kD | kT, -1.25, -1, 0.25, -1.25, "29.12.1899 06:00"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.flags);
    TSPCSample s;
    s.flags = c.flags;
    s.dateTime = c.value;
    EXPECT_EQ(s.Date(), c.date);
    EXPECT_EQ(s.Time(), c.time);
    EXPECT_EQ(s.DateTime(), c.dateTime);
    EXPECT_EQ(s.Text(), c.text);
  }
}

TEST(Sample, SetDateAndSetTimeKeepTheOtherPart) {
  TSPCSample s;
  s.dateTime = 45356.25;  // 05.03.2024 06:00, neither flag yet
  s.SetTime(45999.75);    // only the time of the argument is taken
  EXPECT_EQ(s.flags, sample_flag::kHasTime);
  EXPECT_EQ(s.dateTime, 45356.75);
  s.SetDate(45400.5);  // only the date of the argument is taken
  EXPECT_EQ(s.flags, sample_flag::kHasDate | sample_flag::kHasTime);
  EXPECT_EQ(s.dateTime, 45400.75);
  EXPECT_EQ(s.Text(), "18.04.2024 18:00");
}

TEST(Sample, ActiveFlag) {
  TSPCSample s;
  s.flags = sample_flag::kHasDate;
  s.SetActive(false);
  EXPECT_FALSE(s.IsActive());
  EXPECT_EQ(s.flags, sample_flag::kHasDate | sample_flag::kInactive);
  s.SetActive(true);
  EXPECT_TRUE(s.IsActive());
  EXPECT_EQ(s.flags, sample_flag::kHasDate);
}

TEST(Sample, ToleranceMarks) {
  ValueRange lowerOnly;
  lowerOnly.Set(0, 0.0, std::nullopt, std::nullopt);
  ValueRange both;
  both.Set(1, 9.9, 10.1, std::nullopt);
  // Parameter 1 within 9.9..10.1, parameter 2 unchecked, parameter 3 at least 0.
  const ValueRange* const tolerances[] = {&both, nullptr, &lowerOnly};

  TSPCSample s;
  ASSERT_TRUE(s.AddPoints(3));
  TFileSmpPoint p1 = s.Point(1);
  TFileSmpPoint p2 = s.Point(2);
  TFileSmpPoint p3 = s.Point(3);
  p1.SetValue(1, 10.0);
  p1.SetValue(2, 500);                                              // unchecked: never marked
  p1.SetValueFlag(2, value_flag::kOutOfTolerance, true);            // a stale mark goes
  p1.SetFlags(point_flag::kOutOfTolerance);
  p1.Set(3, {value_flag::kEmpty, -5});                              // empty: not judged
  p2.SetValue(1, 9.9);                                              // the bounds belong
  p2.SetValue(3, -0.5);
  p2.SetFlags(point_flag::kExcluded);                                 // excluded points are marked too
  p3.SetValue(1, 10.1);
  p3.SetValue(3, 1e6);

  s.UpdateToleranceMarks(tolerances);
  EXPECT_EQ(p1.Flags(), 0);
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(p1.ValueFlags(k) & value_flag::kOutOfTolerance, 0) << k;
  EXPECT_EQ(p2.Flags(), point_flag::kExcluded | point_flag::kOutOfTolerance);
  EXPECT_EQ(p2.ValueFlags(1), 0);
  EXPECT_EQ(p2.ValueFlags(3), value_flag::kOutOfTolerance);
  EXPECT_EQ(p3.Flags(), 0);
  EXPECT_EQ(s.flags, sample_flag::kOutOfTolerance);

  p2.SetValue(3, 0);
  s.UpdateToleranceMarks(tolerances);
  EXPECT_EQ(p2.Flags(), point_flag::kExcluded);
  EXPECT_EQ(p2.ValueFlags(3), 0);
  EXPECT_EQ(s.flags, 0);
}

// Samples laid out one after another in shared storage areas, as a load lays out a block (the
// areas are small here, so the samples span several, or one large mapped area when many more
// samples are foretold): each keeps its values through whatever moves it out of its area, and
// through its block and the other samples going away first.
TEST(SampleStorage, SamplesLaidOutTogetherKeepTheirValuesThroughEveryMove) {
  const auto value = [](int s, int p, int k) { return 100.0 * s + 10.0 * p + k; };
  const auto makeBlock = [&](std::vector<TSPCSample>& block, std::size_t foretold) {
    SampleStorageLayer layer(foretold);
    for (int s = 0; s < 40; ++s) {
      TSPCSample& sample = block.emplace_back();
      const int points = 1 + s % 6;
      layer.LayOut(sample, points, 3);
      ASSERT_TRUE(sample.AddPoints(points));
      for (int p = 1; p <= points; ++p) {
        for (int k = 1; k <= 3; ++k) sample.Point(p)->SetValue(k, value(s, p, k));
      }
      if (s % 4 == 0) sample.SetNote("заметка " + std::to_string(s));
      sample.ComputeStats(3);
    }
  };
  // What a sample of 1 + s % 6 points should read after the change, point by point.
  const auto expectKept = [&](const TSPCSample& sample, int s, int points) {
    ASSERT_EQ(sample.PointCount(), points);
    for (int p = 1; p <= std::min(points, 1 + s % 6); ++p) {
      for (int k = 1; k <= 3; ++k) EXPECT_EQ(sample.Point(p)->Value(k), value(s, p, k)) << p << " " << k;
    }
    EXPECT_EQ(sample.Note(), s % 4 == 0 ? "заметка " + std::to_string(s) : "");
    EXPECT_EQ(sample.Stats(1).n, 1 + s % 6);
  };
  const struct {
    const char* what;
    void (*change)(TSPCSample&);
    int extraPoints;
  } kCases[] = {
      {"nothing", [](TSPCSample&) {}, 0},
      {"a point added beyond the room", [](TSPCSample& s) { ASSERT_TRUE(s.AddPoint()); }, 1},
      {"a parameter beyond the width set", [](TSPCSample& s) { s.Point(1)->SetValue(5, 1); }, 0},
      {"room reserved", [](TSPCSample& s) { s.ReservePoints(200, 20); }, 0},
      {"a text set", [](TSPCSample& s) { s.SetEvent("событие"); }, 0},
  };
  for (const std::size_t foretold : {std::size_t{40}, std::size_t{200'000}}) {
    for (const auto& c : kCases) {
      SCOPED_TRACE(std::string(c.what) + ", foretold " + std::to_string(foretold));
      std::vector<TSPCSample> block;
      makeBlock(block, foretold);
      for (int s : {0, 17, 39}) c.change(block[static_cast<std::size_t>(s)]);
      // One sample moved to another block, one copied, then the first block goes away.
      std::vector<TSPCSample> other;
      other.push_back(std::move(block[17]));
      const TSPCSample copy = block[39];
      block.erase(block.begin() + 5);  // the samples after it move within their block
      expectKept(block[4], 4, 1 + 4 % 6);
      expectKept(block[5], 6, 1 + 6 % 6);
      block.clear();
      expectKept(other[0], 17, 1 + 17 % 6 + c.extraPoints);
      expectKept(copy, 39, 1 + 39 % 6 + c.extraPoints);
      // The moved sample's own area outlives the block and still takes changes.
      other[0].Point(1)->SetValue(2, -1);
      EXPECT_EQ(other[0].Point(1)->Value(2), -1);
    }
  }
}

}  // namespace
}  // namespace mv
