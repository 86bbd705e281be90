// Statistics of a full block (1000 samples of 200 points, 20 quantitative parameters: 4 million
// values, about 43 MB of points) against one plain pass summing the same values, the least any
// computation over them can cost.

#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>

#include "spc/block.h"

namespace {

constexpr int kSamples = static_cast<int>(mv::kMaxSamples);
constexpr int kPoints = static_cast<int>(mv::kMaxPoints);
constexpr int kParameters = static_cast<int>(mv::kMaxParameters);
constexpr std::int64_t kValues = std::int64_t{kSamples} * kPoints * kParameters;

// Built once: diameters about 25 mm with a spread in the third decimal, every value present,
// one point in 50 excluded. A fixed linear congruential sequence keeps runs comparable.
mv::TSPCBlock& FullBlock() {
  static mv::TSPCBlock block = [] {
    mv::TSPCBlock b;
    b.ReserveSamples(mv::kMaxSamples);
    std::uint64_t state = 12345;
    auto next = [&state] {
      state = state * 6364136223846793005ULL + 1442695040888963407ULL;
      return static_cast<double>(state >> 40) / static_cast<double>(1ULL << 24);  // 0..1
    };
    for (int i = 0; i < kSamples; ++i) {
      (void)b.InsertSample(0);
      mv::TSPCSample& s = *b.Sample(i + 1);
      s.ReservePoints(mv::kMaxPoints);
      (void)s.AddPoints(kPoints);
      for (int j = 1; j <= kPoints; ++j) {
        mv::TFileSmpPoint p = s.Point(j);
        for (int k = 1; k <= kParameters; ++k) p.SetValue(k, 25.0 + (next() - 0.5) * 0.02);
        if ((i * kPoints + j) % 50 == 0) p.SetFlags(mv::point_flag::kExcluded);
      }
    }
    return b;
  }();
  return block;
}

void SetCounters(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kValues);
  state.SetBytesProcessed(state.iterations() * kValues * static_cast<std::int64_t>(sizeof(double)));
}

void BM_SumValuesBaseline(benchmark::State& state) {
  const mv::TSPCBlock& block = FullBlock();
  for (auto _ : state) {
    double sum = 0;
    for (const mv::TSPCSample& s : block.Samples()) {
      for (const mv::TFileSmpPoint& p : s.Points()) {
        for (int k = 1; k <= kParameters; ++k) sum += p.Value(k);
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  SetCounters(state);
}
BENCHMARK(BM_SumValuesBaseline)->Unit(benchmark::kMillisecond);

void BM_BlockComputeStats(benchmark::State& state) {
  mv::TSPCBlock& block = FullBlock();
  std::array<mv::DataKind, mv::kMaxParameters> kinds;
  kinds.fill(mv::DataKind::Var);
  for (auto _ : state) {
    block.ComputeStats(kinds);
    benchmark::DoNotOptimize(block.stats);
    benchmark::ClobberMemory();
  }
  SetCounters(state);
}
BENCHMARK(BM_BlockComputeStats)->Unit(benchmark::kMillisecond);

}  // namespace
