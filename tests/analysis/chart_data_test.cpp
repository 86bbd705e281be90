#include "analysis/chart_data.h"

#include <gtest/gtest.h>

#include "analysis_fixture.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

using test::Pt;
constexpr std::uint16_t kExcl = point_flag::kExcluded;
constexpr std::uint16_t kFilt = point_flag::kFiltered;
namespace cpf = chart_point_flag;

std::vector<std::uint16_t> Flags(const TChartDataX& data) {
  std::vector<std::uint16_t> flags;
  for (const TChartPoint& e : data.points) flags.push_back(e.flags);
  return flags;
}

TEST(ChartData, SampleChartFlagsAndTheRefusal) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b = test::AddTestBlock(ds, "Смена 1");
  test::AddTestSample(ds, b, 1, {{10.0}, {10.2}}, true, "наладка");
  test::AddTestSample(ds, b, 1, {{10.1}}, false);
  test::AddTestSample(ds, b, 1, {{9.9, kFilt}, {10.0, kFilt}});
  ds.ComputeAllStats();

  SampleSelection whole{&ds, {b}, true, 1, 1};
  const TChartDataX data = BuildChartData(whole, ChartKind::Mean, 1);
  EXPECT_EQ(Flags(data), (std::vector<std::uint16_t>{cpf::kBlockStart | cpf::kNote, cpf::kExcluded, cpf::kFiltered}));
  EXPECT_EQ(data.activeCount, 1u);
  EXPECT_TRUE(data.points[0].hasValue);
  EXPECT_FALSE(data.points[2].hasValue);  // no point in analysis carries a value

  EXPECT_FALSE(ConfirmChartData(data, whole, ChartKind::Mean, "Карта средних значений"));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_EQ(fake.messages.shown[0].kind, platform::MsgKind::Error);
  EXPECT_EQ(fake.messages.shown[0].text,
            "Ошибка при при создании графика \"Карта средних значений\":\n\n"
            "Невозможно построить график менее чем с двумя активными точками.\n"
            "Вызовите функцию с другими исходными данными или измените вид графика");
  EXPECT_EQ(fake.messages.shown[0].details, "");  // whole blocks: no details

  SampleSelection range{&ds, {b}, false, 1, 3};
  const auto refusal = CheckChartData(BuildChartData(range, ChartKind::Mean, 1), range, ChartKind::Mean, "X");
  ASSERT_TRUE(refusal);
  EXPECT_EQ(refusal->details,
            "Вы пытаетесь построить выборочную контрольную карту, однако текущий блок \"Смена 1\" содержит "
            "слишком мало активных выборок (1).\n\n"
            "Рекомендация: Для тех же данных можно построить карту индивидуальных значений "
            "(если это уместно для данного процесса)");
  // An individuals chart over the same range gets no recommendation to build itself.
  EXPECT_EQ(CheckChartData(TChartDataX{}, range, ChartKind::Individuals, "x")->details, "");
}

TEST(ChartData, IndividualsEntriesAndTheirDataSet) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b1 = test::AddTestBlock(ds, "Смена 1");
  const int b2 = test::AddTestBlock(ds, "Смена 2");
  test::AddTestSample(ds, b1, 1, {{3.0, kExcl}, {4.0, kFilt}, {5.0}}, true, "замечание");
  test::AddTestSample(ds, b1, 1, {{7.0}, {}}, false);  // the sample's own state is not consulted
  test::AddTestSample(ds, b2, 1, {{4.0}});
  ds.ComputeAllStats();

  const SampleSelection sel{&ds, {b1, b2}, true, 1, 1};
  const TChartDataX data = BuildChartData(sel, ChartKind::Individuals, 1);
  EXPECT_EQ(Flags(data), (std::vector<std::uint16_t>{cpf::kBlockStart | cpf::kNote | cpf::kExcluded, cpf::kFiltered, 0,
                                                     0, 0, cpf::kBlockStart}));
  EXPECT_EQ(data.activeCount, 4u);
  EXPECT_EQ(data.points[3].sample, 2);
  EXPECT_EQ(data.points[3].point, 1);

  CDataSet x;
  ASSERT_TRUE(LoadChartDataSet(x, data, sel, ChartKind::Individuals, 1));
  EXPECT_EQ(x.Count(), 6u);
  EXPECT_EQ(x.activeCount, 3u);  // 5, 7, 4: the empty slot is active but not present
  EXPECT_DOUBLE_EQ(x.mean, 16.0 / 3);
  EXPECT_EQ(x.decimals, 2);

  // The moving ranges start after the excluded first value: 5 has no predecessor in analysis.
  CDataSet mr;
  ASSERT_TRUE(LoadChartDataSet(mr, data, sel, ChartKind::MovingRange, 1, 2));
  EXPECT_EQ(mr.activeCount, 2u);  // |7 - 5| and |4 - 7|
  EXPECT_DOUBLE_EQ(mr.mean, 2.5);
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(ChartData, AttributeSizeBandRoundsHalfToEven) {
  test::FakePlatform fake;
  const struct {
    std::vector<int> sizes;
    double meanSize, half, low, high;
  } kCases[] = {
      {{100, 100, 130}, 110, 28, 82, 138},  // 27.5 -> 28
      {{100, 101}, 100, 25, 75, 125},       // 100.5 -> 100
      {{100, 112}, 106, 26, 80, 132},       // 26.5 -> 26 (away from zero would give 27)
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.meanSize);
    TDatasetSPC ds;
    test::AddAnalysisParameters(ds);
    const int b = test::AddTestBlock(ds, "Партии", DataKind::Attr);
    for (const int size : c.sizes) {
      const int s = test::AddTestSample(ds, b, 2, {{3.0}});
      ds.Block(b)->Sample(s)->sampleSize = static_cast<std::int16_t>(size);
    }
    ds.ComputeAllStats();
    const TChartDataX data = BuildChartData({&ds, {b}, true, 1, 1}, ChartKind::P, 2);
    ASSERT_TRUE(data.hasSizeBand);
    EXPECT_EQ(data.meanSize, c.meanSize);
    EXPECT_EQ(data.bandHalf, c.half);
    EXPECT_EQ(data.BandLow(), c.low);
    EXPECT_EQ(data.BandHigh(), c.high);
  }
}

TEST(ChartData, AttributeSamplesWithoutSize) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b = test::AddTestBlock(ds, "Партии", DataKind::Attr);
  for (const int size : {50, 0, 50, 50}) {
    const int s = test::AddTestSample(ds, b, 2, {{2.0}});
    ds.Block(b)->Sample(s)->sampleSize = static_cast<std::int16_t>(size);
  }
  ds.ComputeAllStats();
  const SampleSelection sel{&ds, {b}, true, 1, 1};

  // p chart: the sample of size 0 has no share and stays out of the sizes.
  const TChartDataX p = BuildChartData(sel, ChartKind::P, 2);
  EXPECT_EQ(p.points[1].flags, cpf::kFiltered);
  EXPECT_EQ(p.activeCount, 3u);
  EXPECT_EQ(p.sizeSum, 150);
  EXPECT_EQ(p.minSize, 50);
  EXPECT_EQ(p.meanSize, 50);
  CDataSet set;
  ASSERT_TRUE(LoadChartDataSet(set, p, sel, ChartKind::P, 2, 2, AttrScale::Percent));
  EXPECT_FALSE(set.HasFlag(2, dsp_flag::kPresent));
  EXPECT_EQ(set.activeCount, 3u);
  EXPECT_DOUBLE_EQ(set.mean, 4);  // 100 x 2 / 50

  // np chart plots the count itself; the sizes differ, so it computes no limits.
  const TChartDataX np = BuildChartData(sel, ChartKind::Np, 2);
  EXPECT_EQ(np.activeCount, 4u);
  EXPECT_EQ(np.minSize, 0);
  EXPECT_FALSE(AttributeLimitsComputed(ChartKind::Np, np));
  EXPECT_TRUE(AttributeLimitsComputed(ChartKind::P, np));
  EXPECT_TRUE(AttributeLimitsComputed(ChartKind::C, p));
}

TEST(ChartData, AttributeDecimals) {
  const struct {
    int largest;
    AttrScale scale;
    int expected;
  } kCases[] = {
      {130, AttrScale::Share, 3},   {130, AttrScale::Percent, 1},  {130, AttrScale::Ppm, 0},
      {10, AttrScale::Share, 1},    {11, AttrScale::Share, 2},     {100, AttrScale::Share, 2},
      {1000, AttrScale::Share, 3},  {100000, AttrScale::Share, 5}, {1000001, AttrScale::Share, 7},
      {1000001, AttrScale::Ppm, 1}, {10, AttrScale::Percent, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.largest);
    EXPECT_EQ(AttributeDecimals(c.largest, c.scale), c.expected);
  }
}

TEST(ChartData, StopsAtAThousandEntries) {
  test::FakePlatform fake;
  TDatasetSPC ds;
  test::AddAnalysisParameters(ds);
  const int b1 = test::AddTestBlock(ds, "Первый");
  const int b2 = test::AddTestBlock(ds, "Второй");
  for (const int b : {b1, b2}) {
    for (int i = 0; i < 600; ++i) test::AddTestSample(ds, b, 1, {{1.0 * i}});
  }
  ds.ComputeAllStats();
  const TChartDataX data = BuildChartData({&ds, {b1, b2}, true, 1, 1}, ChartKind::Range, 1);
  EXPECT_EQ(data.Count(), 1000);
  EXPECT_EQ(data.activeCount, 1000u);
  EXPECT_EQ(data.points.back().block, b2);
  EXPECT_EQ(data.points.back().sample, 400);
  EXPECT_EQ(data.points[600].flags, cpf::kBlockStart);
  // The list counts what it leaves out, and a list without the limit keeps it all.
  EXPECT_EQ(data.selectionCount, 1200u);
  EXPECT_TRUE(data.Limited());
  const TChartDataX all = BuildChartData({&ds, {b1, b2}, true, 1, 1}, ChartKind::Individuals, 1, 5000);
  EXPECT_EQ(all.Count(), 1200u);
  EXPECT_EQ(all.selectionCount, 1200u);
  EXPECT_FALSE(all.Limited());
  EXPECT_EQ(all.points.back().sample, 600);
}

}  // namespace
}  // namespace mv
