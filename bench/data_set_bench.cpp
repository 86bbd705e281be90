// One parameter's data set at its largest practical size, 200 000 values (a few excluded):
// statistics, average moving range and the moving-range transform, against one plain pass
// summing the same values.

#include <benchmark/benchmark.h>

#include <numeric>
#include <vector>

#include "analysis/data_set.h"

namespace {

constexpr std::uint32_t kValues = 200000;

double ValueAt(std::uint32_t i) { return 10.0 + 0.001 * static_cast<double>((i * 7919U) % 1000U); }

void Fill(mv::CDataSet& set) {
  if (!set.Allocate(kValues)) return;
  for (std::uint32_t i = 1; i <= kValues; ++i) {
    set.AddPoint(i, 1, static_cast<std::uint16_t>(i % 1000), 1, i % 97 != 0, true, ValueAt(i));
  }
}

void BM_PlainSum(benchmark::State& state) {
  std::vector<double> values(kValues);
  for (std::uint32_t i = 0; i < kValues; ++i) values[i] = ValueAt(i + 1);
  for (auto _ : state) benchmark::DoNotOptimize(std::accumulate(values.begin(), values.end(), 0.0));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kValues));
}
BENCHMARK(BM_PlainSum);

void BM_ComputeStatistics(benchmark::State& state) {
  mv::CDataSet set;
  Fill(set);
  for (auto _ : state) set.ComputeStatistics();
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kValues));
}
BENCHMARK(BM_ComputeStatistics);

void BM_AverageMovingRange(benchmark::State& state) {
  mv::CDataSet set;
  Fill(set);
  for (auto _ : state) benchmark::DoNotOptimize(set.AverageMovingRange(static_cast<int>(state.range(0))));
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kValues));
}
BENCHMARK(BM_AverageMovingRange)->Arg(2)->Arg(10);

// The ranges of span 2, with their statistics tallied on the way.
void BM_ToMovingRanges(benchmark::State& state) {
  mv::CDataSet set;
  for (auto _ : state) {
    state.PauseTiming();
    Fill(set);
    state.ResumeTiming();
    set.ToMovingRanges(2);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * kValues));
}
BENCHMARK(BM_ToMovingRanges);

}  // namespace
