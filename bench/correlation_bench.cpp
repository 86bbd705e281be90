// The correlation matrix of 20 quantitative parameters (190 pairs: r, significance and both
// regression lines) over 200 000 rows: (0) by sample means over 200 blocks of 1000 samples of
// 5 points, (1) by individual values over one full block of 1000 samples of 200 points. The
// matrix (rows and pairs) and the per-parameter figures (normality tests, box plots) are timed
// apart, each against a plain pass summing the same values where the dataset keeps them (the
// samples' means, the points' values).

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>

#include "analysis/correlation.h"
#include "spc/dataset_spc.h"

namespace {

constexpr int kParameters = 20;

struct Shape {
  int blocks;
  int samples;
  int points;
  mv::CorrelationMode mode;
};

Shape ShapeOf(const benchmark::State& state) {
  return state.range(0) == 0 ? Shape{200, 1000, 5, mv::CorrelationMode::Means}
                             : Shape{1, 1000, 200, mv::CorrelationMode::Values};
}

// Values with 3 decimals about 10; every third parameter shares a component, so that some
// pairs correlate. Every 97th sample is inactive.
const mv::TDatasetSPC& Dataset(const Shape& shape) {
  static std::unique_ptr<mv::TDatasetSPC> made[2];
  auto& slot = made[shape.mode == mv::CorrelationMode::Means ? 0 : 1];
  if (slot) return *slot;
  auto ds = std::make_unique<mv::TDatasetSPC>();
  for (int p = 1; p <= kParameters; ++p) {
    mv::TSPCParameter props;
    props.name = "Параметр " + std::to_string(p);
    props.decimals = 3;
    (void)ds->SetParameter(0, 0, props);
  }
  std::mt19937 engine(11);
  std::normal_distribution<double> normal(0.0, 1.0);
  for (int b = 1; b <= shape.blocks; ++b) {
    (void)ds->AddBlock(0, "Блок", mv::SamplingMode::Samples, 0, 0, mv::DataKind::Var, "", "");
    mv::TSPCBlock& block = *ds->Block(b);
    block.ReserveSamples(static_cast<std::size_t>(shape.samples));
    for (int s = 1; s <= shape.samples; ++s) {
      (void)block.AddSample("", "", s % 97 != 0);
      mv::TSPCSample& sample = *block.Sample(s);
      sample.ReservePoints(static_cast<std::size_t>(shape.points), kParameters);
      (void)sample.AddPoints(shape.points);
      for (int i = 1; i <= shape.points; ++i) {
        const double common = normal(engine);
        mv::TFileSmpPoint point = sample.Point(i);
        for (int p = 1; p <= kParameters; ++p) {
          const double v = 10 + 0.02 * normal(engine) + (p % 3 == 0 ? 0.02 * common : 0.0);
          point.SetValue(p, std::round(v * 1000) / 1000);
        }
      }
    }
  }
  ds->ComputeAllStats();
  slot = std::move(ds);
  return *slot;
}

mv::SampleSelection Everything(const mv::TDatasetSPC& ds) {
  mv::SampleSelection selection;
  selection.dataset = &ds;
  for (int b = 1; b <= ds.BlockCount(); ++b) selection.blocks.push_back(b);
  return selection;
}

// The physical limit: every value the matrix reads, summed once where the dataset keeps it.
void BM_PlainPass(benchmark::State& state) {
  const Shape shape = ShapeOf(state);
  const mv::TDatasetSPC& ds = Dataset(shape);
  for (auto _ : state) {
    double sum = 0;
    for (int b = 1; b <= ds.BlockCount(); ++b) {
      for (const mv::TSPCSample& s : ds.Block(b)->Samples()) {
        if (shape.mode == mv::CorrelationMode::Means) {
          for (int p = 1; p <= kParameters; ++p) sum += s.Stats(p).mean;
        } else {
          for (const mv::TFileSmpPoint point : s.Points()) {
            for (int p = 1; p <= kParameters; ++p) sum += point.Value(p);
          }
        }
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 200000 * kParameters);
}
BENCHMARK(BM_PlainPass)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The rows and every pair, as the matrix window computes them.
void BM_Matrix(benchmark::State& state) {
  const Shape shape = ShapeOf(state);
  const mv::TDatasetSPC& ds = Dataset(shape);
  const mv::SampleSelection selection = Everything(ds);
  mv::CorrelationRequest request;
  request.mode = shape.mode;
  for (auto _ : state) {
    mv::CorrelationMatrix m;
    if (!m.BuildRows(selection, request).empty()) state.SkipWithError("refused");
    m.ComputePairs();
    benchmark::DoNotOptimize(m.Pair(0, 1).stats.r);
  }
  state.SetItemsProcessed(state.iterations() * 200000 * kParameters);
}
BENCHMARK(BM_Matrix)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The pairs alone, over rows already built.
void BM_Pairs(benchmark::State& state) {
  const Shape shape = ShapeOf(state);
  const mv::TDatasetSPC& ds = Dataset(shape);
  mv::CorrelationRequest request;
  request.mode = shape.mode;
  mv::CorrelationMatrix m;
  if (!m.BuildRows(Everything(ds), request).empty()) state.SkipWithError("refused");
  for (auto _ : state) {
    m.ComputePairs();
    benchmark::DoNotOptimize(m.Pair(0, 1).stats.r);
  }
  state.SetItemsProcessed(state.iterations() * 200000 * kParameters);
}
BENCHMARK(BM_Pairs)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The normality test of every parameter and, by values, its box plot.
void BM_ParameterFigures(benchmark::State& state) {
  const Shape shape = ShapeOf(state);
  const mv::TDatasetSPC& ds = Dataset(shape);
  mv::CorrelationRequest request;
  request.mode = shape.mode;
  mv::CorrelationMatrix m;
  if (!m.BuildRows(Everything(ds), request).empty()) state.SkipWithError("refused");
  for (auto _ : state) {
    m.ComputeParameterFigures();
    benchmark::DoNotOptimize(m.Parameter(0).normality.statistic);
  }
  state.SetItemsProcessed(state.iterations() * 200000 * kParameters);
}
BENCHMARK(BM_ParameterFigures)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
