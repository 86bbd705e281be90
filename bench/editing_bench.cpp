// Confirming one typed value in the sample window, with all that follows it (parse, store,
// tolerance marks, the filter, the sample's and the block's statistics), in a full sample
// (200 points x 20 parameters) of a block of 10 and of 1000 such samples. The block's figures
// are summed from its samples' statistics, so the time should not grow with the block. The
// floor: recomputing the one sample's statistics alone.

#include <benchmark/benchmark.h>

#include <map>
#include <memory>

#include "app/sample_editing.h"
#include "spc/dataset_spc.h"

namespace {

constexpr int kPoints = static_cast<int>(mv::kMaxPoints);
constexpr int kParameters = static_cast<int>(mv::kMaxParameters);

// 20 quantitative parameters (tolerance 9..11), one block of `samples` full samples; built
// once per size.
mv::TDatasetSPC& FullDataset(int samples) {
  static std::map<int, std::unique_ptr<mv::TDatasetSPC>> built;
  auto& ds = built[samples];
  if (ds) return *ds;
  ds = std::make_unique<mv::TDatasetSPC>();
  for (int p = 0; p < kParameters; ++p) {
    mv::TSPCParameter props;
    props.name = "Параметр " + std::to_string(p + 1);
    props.decimals = 3;
    props.SetTolerance(9.0, 11.0, 10.0);
    (void)ds->SetParameter(0, 0, props);
  }
  const int b = ds->AddBlock(0, "Блок", mv::SamplingMode::Samples, 3, 0, mv::DataKind::Var, "", "");
  mv::TSPCBlock& block = *ds->Block(b);
  block.ReserveSamples(static_cast<std::size_t>(samples));
  std::uint64_t state = 12345;
  for (int s = 1; s <= samples; ++s) {
    (void)block.AddSample("", "", true);
    mv::TSPCSample& sample = *block.Sample(s);
    sample.ReservePoints(mv::kMaxPoints, kParameters);
    (void)sample.AddPoints(kPoints);
    for (int q = 1; q <= kPoints; ++q) {
      mv::TFileSmpPoint point = sample.Point(q);
      for (int k = 1; k <= kParameters; ++k) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        point.SetValue(k, 10.0 + (static_cast<double>(state >> 40) / static_cast<double>(1ULL << 24) - 0.5) * 0.02);
      }
    }
  }
  ds->ComputeAllStats();
  return *ds;
}

// The sample window: entry opened on the sample once, then one value confirmed per iteration.
void BM_ConfirmValue(benchmark::State& state) {
  const int samples = static_cast<int>(state.range(0));
  mv::TDatasetSPC& ds = FullDataset(samples);
  const int sample = samples / 2 + 1;
  mv::SampleEntry entry(ds, 1, sample);
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    const mv::ValueConfirmation r = entry.Confirm(100, 7, flip ? "10,0123" : "10 012,4");
    benchmark::DoNotOptimize(r.stored);
  }
  if (ds.Block(1)->stats.totalPoints != samples * kPoints) state.SkipWithError("points lost");
}
BENCHMARK(BM_ConfirmValue)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The same through ConfirmValue alone, which sums the block's figures from all its samples.
void BM_ConfirmValueSummingTheBlock(benchmark::State& state) {
  const int samples = static_cast<int>(state.range(0));
  mv::TDatasetSPC& ds = FullDataset(samples);
  const int sample = samples / 2 + 1;
  bool flip = false;
  for (auto _ : state) {
    flip = !flip;
    const mv::ValueConfirmation r = mv::ConfirmValue(ds, 1, sample, 100, 7, flip ? "10,0123" : "10 012,4");
    benchmark::DoNotOptimize(r.stored);
  }
}
BENCHMARK(BM_ConfirmValueSummingTheBlock)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

void BM_OneSampleStatsFloor(benchmark::State& state) {
  const int samples = static_cast<int>(state.range(0));
  mv::TDatasetSPC& ds = FullDataset(samples);
  mv::TSPCSample& sample = *ds.Block(1)->Sample(samples / 2 + 1);
  for (auto _ : state) {
    sample.ComputeStats(kParameters);
    benchmark::DoNotOptimize(sample.countedPoints);
  }
}
BENCHMARK(BM_OneSampleStatsFloor)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

// The block's figures summed from its samples' statistics: what grows with the block.
void BM_SumUpBlockStats(benchmark::State& state) {
  mv::TDatasetSPC& ds = FullDataset(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    ds.SumUpBlockStats(1);
    benchmark::DoNotOptimize(ds.Block(1)->stats.params[0].mean);
  }
}
BENCHMARK(BM_SumUpBlockStats)->Arg(10)->Arg(1000)->Unit(benchmark::kMicrosecond);

}  // namespace
