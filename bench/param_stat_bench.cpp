// The statistics of one parameter (TParamStat) and its histogram over the largest selections:
// one full block (1000 samples x 200 points, 200 000 values) and 200 blocks of 1000 samples of
// 5 points (one million values), against a plain pass that sums the same values where they
// lie in the data model.

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "analysis/histogram.h"
#include "analysis/histogram_data.h"
#include "analysis/param_stat.h"
#include "spc/dataset_spc.h"

namespace {

struct Shape {
  int blocks;
  int samples;
  int points;
};

// Normally distributed values with 3 decimals (about 200 distinct ones), every 97th sample
// inactive.
const mv::TDatasetSPC& Dataset(const Shape& shape) {
  static std::vector<std::unique_ptr<mv::TDatasetSPC>> made;
  for (const auto& ds : made) {
    if (ds->BlockCount() == shape.blocks && ds->Block(1)->SampleCount() == shape.samples &&
        ds->Block(1)->Sample(1)->PointCount() == shape.points) {
      return *ds;
    }
  }
  auto ds = std::make_unique<mv::TDatasetSPC>();
  mv::TSPCParameter p;
  p.name = "Диаметр";
  p.decimals = 3;
  p.SetTolerance(9.9, 10.1, 10.0);
  ds->SetParameter(0, 0, p);
  std::mt19937 engine(7);
  std::normal_distribution<double> normal(10.0, 0.02);
  for (int b = 1; b <= shape.blocks; ++b) {
    ds->AddBlock(0, "Блок", mv::SamplingMode::Samples, 0, 0, mv::DataKind::Var, "", "");
    mv::TSPCBlock& block = *ds->Block(b);
    block.ReserveSamples(static_cast<std::size_t>(shape.samples));
    for (int s = 1; s <= shape.samples; ++s) {
      block.AddSample("", "", s % 97 != 0);
      mv::TSPCSample& sample = *block.Sample(s);
      sample.AddPoints(shape.points);
      for (int i = 1; i <= shape.points; ++i) sample.Point(i)->SetValue(1, std::round(normal(engine) * 1000) / 1000);
    }
  }
  ds->ComputeAllStats();
  made.push_back(std::move(ds));
  return *made.back();
}

Shape ShapeOf(const benchmark::State& state) {
  return {static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), static_cast<int>(state.range(2))};
}

std::vector<int> AllBlocks(const mv::TDatasetSPC& ds) {
  std::vector<int> blocks;
  for (int b = 1; b <= ds.BlockCount(); ++b) blocks.push_back(b);
  return blocks;
}

std::int64_t ValueCount(const Shape& s) { return std::int64_t{s.blocks} * s.samples * s.points; }

// The physical limit: every point of every active sample visited once, its value summed.
void BM_PlainPass(benchmark::State& state) {
  const Shape shape = ShapeOf(state);
  const mv::TDatasetSPC& ds = Dataset(shape);
  for (auto _ : state) {
    double sum = 0;
    for (int b = 1; b <= ds.BlockCount(); ++b) {
      for (const mv::TSPCSample& s : ds.Block(b)->Samples()) {
        if (!s.IsActive()) continue;
        for (const mv::TFileSmpPoint& p : s.Points()) {
          if (p.Counts() && p.HasValue(1)) sum += p.Value(1);
        }
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * ValueCount(shape));
}

void BM_ParamStat(benchmark::State& state) {
  const Shape shape = ShapeOf(state);
  const mv::TDatasetSPC& ds = Dataset(shape);
  const std::vector<int> blocks = AllBlocks(ds);
  for (auto _ : state) benchmark::DoNotOptimize(mv::ComputeParamStat(ds, 1, blocks, 1, 0));
  state.SetItemsProcessed(state.iterations() * ValueCount(shape));
}

// What a histogram window does: the values extracted into a data set, then the histogram.
void BM_Histogram(benchmark::State& state) {
  const Shape shape = ShapeOf(state);
  const mv::TDatasetSPC& ds = Dataset(shape);
  const mv::SampleSelection selection{&ds, AllBlocks(ds), true, 1, 1};
  mv::CDataSet data;
  mv::HistoExtract extract;
  mv::THistogram histogram;
  for (auto _ : state) {
    mv::ExtractHistogramData(selection, 1, data, extract);
    histogram.Compute(data);
    benchmark::DoNotOptimize(histogram.binCount);
  }
  state.SetItemsProcessed(state.iterations() * ValueCount(shape));
}

// The histogram alone, on a data set already extracted.
void BM_HistogramCompute(benchmark::State& state) {
  const Shape shape = ShapeOf(state);
  const mv::TDatasetSPC& ds = Dataset(shape);
  mv::CDataSet data;
  mv::HistoExtract extract;
  mv::ExtractHistogramData({&ds, AllBlocks(ds), true, 1, 1}, 1, data, extract);
  mv::THistogram histogram;
  for (auto _ : state) {
    histogram.Compute(data);
    benchmark::DoNotOptimize(histogram.binCount);
  }
  state.SetItemsProcessed(state.iterations() * ValueCount(shape));
}

// One block of 1000 x 200, and 200 blocks of 1000 x 5; 20 blocks of 1000 x 5 shows the growth.
#define MV_SHAPES Args({1, 1000, 200})->Args({20, 1000, 5})->Args({200, 1000, 5})->Unit(benchmark::kMillisecond)
BENCHMARK(BM_PlainPass)->MV_SHAPES;
BENCHMARK(BM_ParamStat)->MV_SHAPES;
BENCHMARK(BM_Histogram)->MV_SHAPES;
BENCHMARK(BM_HistogramCompute)->MV_SHAPES;

}  // namespace
