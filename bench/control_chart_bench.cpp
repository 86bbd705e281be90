// Control charts at their largest sizes, against plain passes over the same values.
//
// One parameter of a full block: 1000 samples of 200 points, 200 000 values (one in 97
// excluded). The individuals and moving-range charts (statistics, average moving range,
// limits, zones, beyond marks and the tests of criteria set 2, 3 or 4) run on a data set of
// all 200 000 values, each against one plain pass over that data set; the pair is also built
// from the dataset, values taken out of the samples, against one pass over the values where
// the samples keep them. A chart window shows at most 1000 points, so the chart build as the
// window runs it is measured as well, for the X̄-R pair over the 1000 samples and for the
// x-MR pair (its first 1000 points).

#include <benchmark/benchmark.h>

#include <numeric>
#include <vector>

#include "analysis/chart_limits.h"
#include "analysis/control_chart.h"
#include "analysis/chart_data.h"
#include "analysis/sample_selection.h"
#include "analysis/special_causes.h"
#include "large_dataset.h"
#include "spc/dataset_spc.h"

namespace {

constexpr int kSamples = 1000;
constexpr int kPoints = mv::bench::kWholeBlockPoints;
constexpr std::uint32_t kValues = kSamples * kPoints;

// A fixed linear congruential sequence: values about 25 with a spread in the third decimal.
double ValueAt(std::uint32_t i) { return mv::bench::WholeBlockValue(i); }
bool Active(std::uint32_t i) { return mv::bench::WholeBlockActive(i); }

void Fill(mv::CDataSet& set, std::uint32_t values = kValues) {
  if (!set.Allocate(values)) return;
  for (std::uint32_t i = 1; i <= values; ++i) {
    set.AddPoint(i, 1, static_cast<std::uint16_t>((i - 1) / kPoints + 1), static_cast<std::uint16_t>((i - 1) % kPoints + 1),
                 Active(i), true, ValueAt(i));
  }
}

void Items(benchmark::State& state) { state.SetItemsProcessed(state.iterations() * kValues); }

// The least any computation over the values can cost: one pass summing them as plain doubles.
void BM_PlainPass(benchmark::State& state) {
  std::vector<double> values(kValues);
  for (std::uint32_t i = 0; i < kValues; ++i) values[i] = ValueAt(i + 1);
  for (auto _ : state) benchmark::DoNotOptimize(std::accumulate(values.begin(), values.end(), 0.0));
  Items(state);
}
BENCHMARK(BM_PlainPass);

// One pass summing the analysed values where a chart keeps them: in the data set's points.
void BM_PlainPassOverDataSet(benchmark::State& state) {
  mv::CDataSet set;
  Fill(set);
  for (auto _ : state) {
    double sum = 0;
    for (std::uint32_t i = 1; i <= set.Count(); ++i) {
      const mv::TDataSetPoint& p = *set.Point(i);
      if (p.Analysed()) sum += p.value;
    }
    benchmark::DoNotOptimize(sum);
  }
  Items(state);
}
BENCHMARK(BM_PlainPassOverDataSet);

// Individuals chart on the filled data set: statistics, MR̄, limits with zones, beyond marks,
// the tests of the set.
void BM_IndividualsChart(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  mv::CDataSet x;
  Fill(x);
  for (auto _ : state) {
    x.ComputeStatistics(2);
    mv::SetIndividualsLimits(x, 2, x.averageMovingRange);
    mv::EvaluateChart(x, mv::CriteriaSetMask(set));
    benchmark::DoNotOptimize(x.signals.data());
  }
  Items(state);
}
BENCHMARK(BM_IndividualsChart)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

// The individuals chart of set 4 over a quarter, a half and all of the values: the time grows
// with the number of values and nothing else.
void BM_IndividualsChartScaling(benchmark::State& state) {
  const auto values = static_cast<std::uint32_t>(state.range(0));
  mv::CDataSet x;
  Fill(x, values);
  for (auto _ : state) {
    x.ComputeStatistics(2);
    mv::SetIndividualsLimits(x, 2, x.averageMovingRange);
    mv::EvaluateChart(x, mv::CriteriaSetMask(4));
    benchmark::DoNotOptimize(x.signals.data());
  }
  state.SetItemsProcessed(state.iterations() * values);
}
BENCHMARK(BM_IndividualsChartScaling)->Arg(kValues / 4)->Arg(kValues / 2)->Arg(kValues)->Unit(benchmark::kMicrosecond);

// Moving-range chart: the ranges of span 2 formed from the values (refilled outside the
// timing) with their statistics, limits with zones, beyond marks, the tests of the set.
void BM_MovingRangeChart(benchmark::State& state) {
  const int set = static_cast<int>(state.range(0));
  mv::CDataSet mr;
  for (auto _ : state) {
    state.PauseTiming();
    Fill(mr);
    state.ResumeTiming();
    mr.ToMovingRanges(2);
    mv::SetMovingRangeLimits(mr, 2);
    mv::EvaluateChart(mr, mv::CriteriaSetMask(set));
    benchmark::DoNotOptimize(mr.signals.data());
  }
  Items(state);
}
BENCHMARK(BM_MovingRangeChart)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

// The tests alone (zones already computed), set 4: all ten criteria.
void BM_TestsOnly(benchmark::State& state) {
  mv::CDataSet x;
  Fill(x);
  x.ComputeStatistics();
  mv::SetIndividualsLimits(x, 2, x.AverageMovingRange(2));
  mv::MarkBeyondLimits(x);
  for (auto _ : state) {
    mv::EvaluateCriteria(x, mv::CriteriaSetMask(static_cast<int>(state.range(0))));
    benchmark::DoNotOptimize(x.signals.data());
  }
  Items(state);
}
BENCHMARK(BM_TestsOnly)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

// The dataset: one quantitative parameter, one block of 1000 samples of 200 points.
const mv::TDatasetSPC& FullDataset() {
  static const mv::TDatasetSPC* dataset = mv::bench::MakeWholeBlockDataset(kSamples).release();
  return *dataset;
}

mv::SampleSelection WholeBlock() {
  mv::SampleSelection selection;
  selection.dataset = &FullDataset();
  selection.blocks = {1};
  return selection;
}

// What any computation over the block's values must at least do: read them where the dataset
// keeps them (the points of the samples), once.
void BM_PlainPassOverModel(benchmark::State& state) {
  const mv::TDatasetSPC& ds = FullDataset();
  for (auto _ : state) {
    double sum = 0;
    for (const mv::TSPCSample& s : ds.Block(1)->Samples()) {
      for (const mv::TFileSmpPoint& p : s.Points()) {
        if (p.Counts() && p.HasValue(1)) sum += p.Value(1);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  Items(state);
}
BENCHMARK(BM_PlainPassOverModel)->Unit(benchmark::kMicrosecond);

// The individuals and moving-range pair of the whole block from the dataset: the measured
// points taken out of the samples, the x chart (statistics, MR̄, limits, zones, beyond marks,
// the tests of the set), then the MR chart on a copy of its points (ranges, statistics, limits,
// marks, tests).
void BM_IndividualsAndMovingRange(benchmark::State& state) {
  const mv::TDatasetSPC& ds = FullDataset();
  const std::uint16_t mask = mv::CriteriaSetMask(static_cast<int>(state.range(0)));
  mv::CDataSet x;
  mv::CDataSet mr;
  for (auto _ : state) {
    if (!mv::LoadMeasuredPoints(x, ds, 1, 1, kSamples, 1)) state.SkipWithError("no memory");
    x.ComputeStatistics(2);
    mv::SetIndividualsLimits(x, 2, x.averageMovingRange);
    mv::EvaluateChart(x, mask);
    mr = x;
    mr.ToMovingRanges(2);
    mv::SetMovingRangeLimits(mr, 2);
    mv::EvaluateChart(mr, mask);
    benchmark::DoNotOptimize(mr.signals.data());
  }
  Items(state);
}
BENCHMARK(BM_IndividualsAndMovingRange)->Arg(2)->Arg(3)->Arg(4)->Unit(benchmark::kMicrosecond);

void BuildPair(benchmark::State& state, mv::ChartKind upper, mv::ChartKind lower, int criteriaSet) {
  mv::TChartTask task;
  task.selection = WholeBlock();
  task.parameters = {1};
  mv::TChartOptions options;
  options.criteria.ChooseSet(criteriaSet);
  mv::TChart a;
  mv::TChart b;
  for (auto _ : state) {
    benchmark::DoNotOptimize(mv::BuildChart(a, task, upper, options).ok);
    benchmark::DoNotOptimize(mv::BuildChart(b, task, lower, options).ok);
  }
}

// The X̄-R pair over the 1000 samples (the sample statistics are the dataset's, kept up to date
// by the model).
void BM_MeanRangeChartBuild(benchmark::State& state) {
  BuildPair(state, mv::ChartKind::Mean, mv::ChartKind::Range, 2);
  state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_MeanRangeChartBuild)->Unit(benchmark::kMicrosecond);

// The x-MR pair as a chart window builds it: the first 1000 measured points.
void BM_IndividualsChartBuild(benchmark::State& state) {
  BuildPair(state, mv::ChartKind::Individuals, mv::ChartKind::MovingRange, static_cast<int>(state.range(0)));
  state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_IndividualsChartBuild)->Arg(2)->Arg(4)->Unit(benchmark::kMicrosecond);

}  // namespace
