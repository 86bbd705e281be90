#include "analysis/param_stat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

#include "analysis/value_list.h"
#include "analysis_fixture.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using test::Pt;
using Values = std::vector<double>;

std::vector<Pt> Points(const Values& values) {
  std::vector<Pt> points;
  for (const double v : values) points.push_back({v});
  return points;
}

double Mean(const Values& v) { return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size()); }
double Range(const Values& v) { return *std::max_element(v.begin(), v.end()) - *std::min_element(v.begin(), v.end()); }
double Sd(const Values& v) {
  const double m = Mean(v);
  double s = 0;
  for (const double x : v) s += (x - m) * (x - m);
  return std::sqrt(s / static_cast<double>(v.size() - 1));
}

// Parameter 1 quantitative with LSL 9, USL 11, nominal 10; parameter 2 alternative.
struct StatFixture {
  TDatasetSPC ds;
  StatFixture() {
    test::AddAnalysisParameters(ds);
    ds.Parameter(1)->SetTolerance(9, 11, 10);
  }
  int Block(SamplingMode mode = SamplingMode::Samples, DataKind kind = DataKind::Var) {
    const std::uint16_t flags = mode == SamplingMode::Individual ? block_flag::kIndividual : 0;
    return ds.AddBlock(0, "Блок", mode, flags, 0, kind, "", "");
  }
};

// Sample sizes 5, 5, 4, 5 and then a fifth sample; beside them an inactive sample, one whose
// points are all filtered out and one whose point has no value of the parameter.
const std::vector<Values> kSubgroups{
    {10.0, 10.2, 9.9, 10.1, 10.3}, {9.8, 10.0, 10.1, 10.4, 10.2}, {10.1, 9.9, 10.0, 10.2}, {10.0, 10.1, 9.9, 10.2, 10.0}};
const Values kFifth{10.3, 10.1, 9.7, 10.0, 10.2};

TEST(ParamStat, SubgroupFiguresAndTooFewSamples) {
  for (const bool fifth : {false, true}) {
    SCOPED_TRACE(fifth ? "five used samples" : "four used samples");
    StatFixture f;
    const int b = f.Block();
    std::vector<Values> used = kSubgroups;
    if (fifth) used.push_back(kFifth);
    test::AddTestSample(f.ds, b, 1, Points(used[0]));
    test::AddTestSample(f.ds, b, 1, {{50.0}}, false);
    test::AddTestSample(f.ds, b, 1, Points(used[1]));
    test::AddTestSample(f.ds, b, 1, {{50.0, point_flag::kFiltered}});
    test::AddTestSample(f.ds, b, 2, {{1.0}});  // a value of another parameter only
    for (std::size_t i = 2; i < used.size(); ++i) test::AddTestSample(f.ds, b, 1, Points(used[i]));
    f.ds.ComputeAllStats();

    const int blocks[] = {b};
    const TParamStat st = ComputeParamStat(f.ds, 1, blocks, 1, 999);
    ASSERT_TRUE(st.computed);
    EXPECT_EQ(st.block, b);
    EXPECT_EQ(st.firstSample, 1);
    EXPECT_EQ(st.lastSample, f.ds.Block(b)->SampleCount());
    EXPECT_FALSE(st.individual);
    EXPECT_EQ(st.samplesSeen, used.size() + 3);
    EXPECT_EQ(st.samplesUsed, used.size());

    Values all;
    double sumMeans = 0, sumRanges = 0, sumSd = 0;
    for (const Values& v : used) {
      all.insert(all.end(), v.begin(), v.end());
      sumMeans += Mean(v);
      sumRanges += Range(v);
      sumSd += Sd(v);
    }
    const double k = static_cast<double>(used.size());
    EXPECT_EQ(st.pointCount, all.size());
    EXPECT_EQ(st.minPoints, 4u);
    EXPECT_EQ(st.maxPoints, 5u);
    EXPECT_EQ(st.nBar, 5u);  // 19 / 4 = 4.75 and 24 / 5 = 4.8
    EXPECT_DOUBLE_EQ(st.minValue, *std::min_element(all.begin(), all.end()));
    EXPECT_DOUBLE_EQ(st.maxValue, *std::max_element(all.begin(), all.end()));
    EXPECT_NEAR(st.xDoubleBar, sumMeans / k, 1e-12);
    EXPECT_NEAR(st.grandMean, Mean(all), 1e-12);  // weighted by the sample sizes
    EXPECT_NEAR(st.rBar, sumRanges / k, 1e-12);
    EXPECT_NEAR(st.sigmaWithin, sumRanges / k / 2.326, 1e-12);  // d2(5)
    EXPECT_NEAR(st.sBar, sumSd / k, 1e-12);
    EXPECT_NEAR(st.sigmaFromS, sumSd / k / 0.9400, 1e-12);  // c4(5)
    EXPECT_NEAR(st.sigmaOverall, Sd(all), 1e-12);           // about the grand mean, N - 1

    EXPECT_EQ(st.pp.status, cap_status::kComputed);
    EXPECT_NEAR(st.pp.value, 2 / (6 * Sd(all)), 1e-12);
    EXPECT_EQ(st.ppk.status, cap_status::kComputed);
    EXPECT_NEAR(st.ppk.value, std::min(Mean(all) - 9, 11 - Mean(all)) / (3 * Sd(all)), 1e-12);
    if (!fifth) {
      EXPECT_EQ(st.cp.status, cap_status::kTooFewSamples);
      EXPECT_EQ(st.cpk.status, cap_status::kTooFewSamples);
      EXPECT_EQ(CapIndexText(st.cp, 2, Lang::Ru, false), "мало данных");
    } else {
      EXPECT_EQ(st.cp.status, cap_status::kComputed);
      EXPECT_NEAR(st.cp.value, 2 / (6 * st.sigmaWithin), 1e-12);
      EXPECT_NEAR(st.cpk.value, std::min(st.xDoubleBar - 9, 11 - st.xDoubleBar) / (3 * st.sigmaWithin), 1e-12);
    }
    EXPECT_TRUE(st.hasPercents);
    EXPECT_NEAR(st.percentTotal, st.percentBelow + st.percentAbove, 1e-15);

    // The normality test over every value, against the grand mean and sigma overall.
    TValueList list;
    ASSERT_TRUE(list.Allocate(static_cast<std::int64_t>(all.size())));
    for (const double x : all) list.Add(x);
    list.SetMeanAndSigma(Mean(all), Sd(all));
    const TNormality expected = TestNormality(list);
    EXPECT_EQ(st.normality.enoughData, fifth);  // 19 values, then 24
    EXPECT_NEAR(st.normality.statistic, expected.statistic, 1e-12);
    EXPECT_EQ(st.normality.normal, expected.normal);
    // No stability kinds asked: every slot unchecked.
    for (const StabilitySlot& s : st.stability) EXPECT_FALSE(s.checked);
  }
}

TEST(ParamStat, AverageSampleSizeRoundsHalfToEven) {
  const struct {
    std::vector<int> sizes;
    std::uint32_t nBar;
  } kCases[] = {{{5, 5, 4}, 5}, {{5, 4}, 4}, {{3, 4}, 4}, {{2, 3, 3, 2}, 2}, {{7}, 7}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::PrintToString(c.sizes));
    StatFixture f;
    const int b = f.Block();
    for (const int n : c.sizes) {
      Values v;
      for (int i = 0; i < n; ++i) v.push_back(10 + 0.1 * i);
      test::AddTestSample(f.ds, b, 1, Points(v));
    }
    f.ds.ComputeAllStats();
    const int blocks[] = {b};
    EXPECT_EQ(ComputeParamStat(f.ds, 1, blocks, 1, 0).nBar, c.nBar);
  }
}

TEST(ParamStat, SubgroupsBeyondTheTableTakeTheExactFactors) {
  // Five samples of 30 points: σ within = R̄ / d2(30) and σ from S̄ = S̄ / c4(30), not the
  // factors of 25 (3.931, 0.9896).
  StatFixture f;
  const int b = f.Block();
  double sumRanges = 0, sumSd = 0;
  for (int s = 0; s < 5; ++s) {
    Values v;
    for (int i = 0; i < 30; ++i) v.push_back(10 + 0.01 * ((i * (7 + s)) % 31));
    sumRanges += Range(v);
    sumSd += Sd(v);
    test::AddTestSample(f.ds, b, 1, Points(v));
  }
  f.ds.ComputeAllStats();
  const int blocks[] = {b};
  const TParamStat st = ComputeParamStat(f.ds, 1, blocks, 1, 5);
  EXPECT_EQ(st.nBar, 30u);
  EXPECT_NEAR(st.sigmaWithin, sumRanges / 5 / 4.08552, 1e-6);
  EXPECT_NEAR(st.sigmaFromS, sumSd / 5 / 0.991418, 1e-6);
}

TEST(ParamStat, StabilityOfTheKindsAskedWithTheRunsApartFromThePointsBeyond) {
  test::FakePlatform fake;
  StatFixture f;
  const int b = f.Block();
  // Sample means alternate 9 / 11 with one at 25 (beyond), then seven rise from 9.0 to 10.2
  // (below the centre line: C2 and C3 runs); the ranges alternate 1 and 2.
  std::vector<double> means{9, 11, 9, 11, 25, 11, 9, 11, 9, 11, 9, 11};
  for (int i = 0; i < 7; ++i) means.push_back(9.0 + 0.2 * i);
  for (std::size_t i = 0; i < means.size(); ++i) {
    const double half = i % 2 == 0 ? 0.5 : 1;
    test::AddTestSample(f.ds, b, 1, Points({means[i] - half, means[i] + half}));
  }
  f.ds.ComputeAllStats();
  const int blocks[] = {b};
  const int kinds[] = {1, 2, 4};
  const TParamStat st = ComputeParamStat(f.ds, 1, blocks, 1, 0, kinds);
  const StabilityCheck check = CheckStability(f.ds, b, 1, static_cast<int>(means.size()), 1, kinds);
  ASSERT_EQ(check.kinds.size(), 3u);

  const StabilitySlot& x = st.stability[1];
  ASSERT_TRUE(x.checked);
  EXPECT_TRUE(x.result.done);
  EXPECT_FALSE(x.result.stable);
  EXPECT_EQ(x.result.beyondCount, 1u);  // the one C1 hit
  EXPECT_EQ(x.result.seriesCount, 2u);  // C2 and C3 over the rising means, counted apart
  EXPECT_EQ(x.result.signalCount, 3u);
  EXPECT_EQ(x.result.ucl, check.kinds[0].ucl);
  const StabilitySlot& r = st.stability[2];
  ASSERT_TRUE(r.checked);
  EXPECT_TRUE(r.result.stable);
  EXPECT_EQ(r.result.seriesCount, 0u);
  EXPECT_TRUE(st.stability[4].checked);  // asked, but not a kind the check can judge
  EXPECT_FALSE(st.stability[4].result.done);
  for (const std::size_t unasked : {3u, 5u, 6u}) EXPECT_FALSE(st.stability[unasked].checked);

  // Several blocks: the check covers one block, so nothing is checked.
  const int two[] = {b, f.Block()};
  for (const StabilitySlot& s : ComputeParamStat(f.ds, 1, two, 1, 0, kinds).stability) EXPECT_FALSE(s.checked);
}

TEST(ParamStat, IndividualValuesUseMovingRangesAndPointsForCapability) {
  const Values six{10.0, 10.4, 10.1, 9.8, 10.3, 10.0};
  const double mrBar = (0.4 + 0.3 + 0.3 + 0.5 + 0.3) / 5;
  const struct {
    const char* what;
    Values values;
    bool lonePointBlock;
    std::uint8_t cpStatus;
  } kCases[] = {
      {"six values: n = 5", six, false, cap_status::kComputed},
      {"five values: n = 4", Values(six.begin(), six.end() - 1), false, cap_status::kTooFewSamples},
      // A block of one value adds no successive difference and no degree of freedom.
      {"six values and a block of one", six, true, cap_status::kComputed},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    StatFixture f;
    const int b1 = f.Block(SamplingMode::Individual);
    test::AddTestSample(f.ds, b1, 1, Points(c.values));
    std::vector<int> blocks{b1};
    if (c.lonePointBlock) {
      const int b2 = f.Block(SamplingMode::Individual);
      test::AddTestSample(f.ds, b2, 1, {{10.2}});
      blocks.push_back(b2);
    }
    f.ds.ComputeAllStats();
    const TParamStat st = ComputeParamStat(f.ds, 1, blocks, 1, 1);
    EXPECT_TRUE(st.individual);
    const double expectedMr = c.values.size() == 6 ? mrBar : (0.4 + 0.3 + 0.3 + 0.5) / 4;
    EXPECT_NEAR(st.rBar, expectedMr, 1e-12);
    EXPECT_NEAR(st.sigmaWithin, expectedMr / 1.128, 1e-12);
    EXPECT_EQ(st.cp.status, c.cpStatus);
    EXPECT_EQ(st.cpk.status, c.cpStatus);
    if (c.cpStatus == cap_status::kComputed) {
      EXPECT_NEAR(st.cp.value, 2 / (6 * expectedMr / 1.128), 1e-12);
    }
  }
  // A mixed selection is not individual: ranges and d2(n̄).
  StatFixture f;
  const int b1 = f.Block(SamplingMode::Individual);
  const int b2 = f.Block();
  test::AddTestSample(f.ds, b1, 1, Points(six));
  test::AddTestSample(f.ds, b2, 1, Points(six));
  f.ds.ComputeAllStats();
  const int blocks[] = {b1, b2};
  const TParamStat st = ComputeParamStat(f.ds, 1, blocks, 1, 1);
  EXPECT_FALSE(st.individual);
  EXPECT_NEAR(st.rBar, 0.6, 1e-12);
  EXPECT_NEAR(st.sigmaWithin, 0.6 / 2.534, 1e-12);  // d2(6)
}

TEST(ParamStat, SampleRangeOfOneBlockAndWholeBlocks) {
  StatFixture f;
  const int b1 = f.Block();
  const int b2 = f.Block();
  for (int s = 1; s <= 6; ++s) test::AddTestSample(f.ds, b1, 1, Points({10.0 + s, 10.5 + s}));
  for (int s = 1; s <= 2; ++s) test::AddTestSample(f.ds, b2, 1, Points({20.0, 20.5}));
  f.ds.ComputeAllStats();
  const struct {
    int first, last;
    int usedFirst, usedLast;
    std::uint32_t seen;
  } kCases[] = {
      {2, 4, 2, 4, 3}, {0, 3, 1, 3, 3}, {3, 99, 3, 6, 4}, {4, 2, 4, 6, 3}, {6, 6, 6, 6, 1}, {7, 9, 7, 6, 0},
  };
  const int one[] = {b1};
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << c.first << ".." << c.last);
    const TParamStat st = ComputeParamStat(f.ds, 1, one, c.first, c.last);
    EXPECT_TRUE(st.computed);
    EXPECT_EQ(st.firstSample, c.usedFirst);
    EXPECT_EQ(st.lastSample, c.usedLast);
    EXPECT_EQ(st.samplesSeen, c.seen);
    EXPECT_EQ(st.samplesUsed, c.seen);
    EXPECT_DOUBLE_EQ(st.minValue, c.seen ? 10.0 + c.usedFirst : 0);
  }
  // Beyond the end: computed, nothing used, every index at status 0.
  const TParamStat none = ComputeParamStat(f.ds, 1, one, 7, 9);
  for (const TCapIndex* i : {&none.cp, &none.cpk, &none.pp, &none.ppk, &none.cpm}) {
    EXPECT_EQ(i->status, cap_status::kNotComputed);
  }
  // Several blocks take every sample whatever the range.
  const int both[] = {b1, b2};
  const TParamStat st = ComputeParamStat(f.ds, 1, both, 2, 3);
  EXPECT_EQ(st.block, 0);
  EXPECT_EQ(st.samplesSeen, 8u);
  EXPECT_EQ(st.pointCount, 16u);
  EXPECT_DOUBLE_EQ(st.maxValue, 20.5);
  // A parameter that does not exist.
  EXPECT_FALSE(ComputeParamStat(f.ds, 9, one, 1, 6).computed);
}

TEST(ParamStat, AttributeLevelAndSamplesAboveTheQualityLimit) {
  StatFixture f;
  f.ds.Parameter(2)->SetTolerance(std::nullopt, 0.05, std::nullopt);  // 50000 PPM
  const int b = f.Block(SamplingMode::Samples, DataKind::Attr);
  const struct {
    double count;
    int size;
  } kSamples[] = {
      {3, 50},    // 0.06: above
      {1, 50},    // 0.02
      {2, 0},     // no size: no level, out of both sums
      {2.5, 40},  // 0.0625: above; counted as 2 (half to even)
  };
  for (const auto& s : kSamples) {
    const int pos = test::AddTestSample(f.ds, b, 2, {{s.count}});
    f.ds.Block(b)->Sample(pos)->sampleSize = static_cast<std::int16_t>(s.size);
  }
  f.ds.ComputeAllStats();
  const int blocks[] = {b};
  const TParamStat st = ComputeParamStat(f.ds, 2, blocks, 1, 4);
  ASSERT_TRUE(st.computed);
  EXPECT_EQ(st.kind, DataKind::Attr);
  EXPECT_EQ(st.samplesUsed, 4u);
  EXPECT_DOUBLE_EQ(st.xDoubleBar, (3 + 1 + 2 + 2.5) / 4);
  EXPECT_TRUE(st.hasQualityLimit);
  EXPECT_DOUBLE_EQ(st.attrLevel, (3.0 + 1 + 2) / (50 + 50 + 40));
  EXPECT_EQ(st.samplesAboveQualityLimit, 2u);
  EXPECT_EQ(st.cp.status, cap_status::kNotComputed);
  EXPECT_FALSE(st.normality.computed);

  // Only samples without a size: level 0, nothing above the limit.
  const TParamStat sizeless = ComputeParamStat(f.ds, 2, blocks, 3, 3);
  EXPECT_EQ(sizeless.samplesUsed, 1u);
  EXPECT_EQ(sizeless.attrLevel, 0);
  EXPECT_EQ(sizeless.samplesAboveQualityLimit, 0u);
}

TEST(ParamStat, FiguresThatAreNotNumbersComputeNoIndex) {
  // Ten values of 1.7e308 in samples of two: the means overflow.
  test::FakePlatform fake;
  StatFixture f;
  const int b = f.Block();
  for (int s = 0; s < 5; ++s) test::AddTestSample(f.ds, b, 1, Points({1.7e308, 1.7e308}));
  f.ds.ComputeAllStats();
  const int blocks[] = {b};
  const int kinds[] = {1, 5};
  const TParamStat st = ComputeParamStat(f.ds, 1, blocks, 1, 5, kinds);
  EXPECT_TRUE(st.computed);
  EXPECT_FALSE(st.finite);
  for (const TCapIndex* i : {&st.cp, &st.cpk, &st.pp, &st.ppk, &st.cpm}) EXPECT_EQ(i->status, cap_status::kNotComputed);
  EXPECT_FALSE(st.hasPercents);
  EXPECT_FALSE(st.normality.computed);
  // Nor can the stability check judge limits that are not numbers.
  EXPECT_FALSE(st.stability[1].result.done);
  EXPECT_FALSE(st.stability[5].result.done);
  EXPECT_EQ(ParamStatNotFiniteText(), "Невозможно рассчитать статистику параметра: значения параметра слишком велики для вычислений");

  // Large values whose squares stay finite have figures.
  StatFixture g;
  const int c = g.Block();
  for (int s = 0; s < 5; ++s) test::AddTestSample(g.ds, c, 1, Points({1e150, 2e150}));
  g.ds.ComputeAllStats();
  const int other[] = {c};
  EXPECT_TRUE(ComputeParamStat(g.ds, 1, other, 1, 5).finite);
}

}  // namespace
}  // namespace mv
