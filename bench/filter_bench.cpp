// A sample filter of five active conditions (a date, a note and three parameters) over the
// dataset of spc_file_bench (20 parameters, 20 blocks of 1000 samples of 5 points: 2 million
// values), against one plain pass over the same values.

#include <benchmark/benchmark.h>

#include <span>

#include "large_dataset.h"
#include "spc/dataset_spc.h"
#include "spc/sample_filter.h"

namespace {

mv::TDatasetSPC& LargeDataset() {
  static mv::TDatasetSPC* ds = [] {
    mv::TDatasetSPC* d = mv::bench::MakeLargeDataset("Брак партии").release();
    // Date, note and three parameters, all active.
    mv::SampleFilter f = mv::NewSampleFilter(45352.5);
    const auto add = [&f](mv::FilterProperty property, std::uint8_t type, std::uint8_t condition, const char* text,
                          std::int32_t paramId) {
      mv::SampleFilterCondition c;
      c.property = static_cast<std::uint8_t>(property);
      c.valueType = type;
      c.condition = condition;
      c.paramId = paramId;
      const mv::ConditionCheck check = mv::CheckFilterCondition(type, condition, text);
      c.text = check.text;
      c.valueCount = check.valueCount;
      c.value1 = check.value1;
      c.value2 = check.value2;
      f.conditions.push_back(c);
    };
    add(mv::FilterProperty::Date, 19, mv::filter_cond::kGreaterOrEqual, "01.01.2020", 0);
    add(mv::FilterProperty::Note, 16, mv::filter_cond::kNotContains, "брак", 0);
    for (int k = 1; k <= 3; ++k) add(mv::FilterProperty::Parameter, 9, mv::filter_cond::kInterval, "10.1..10.9", d->Parameter(k * 5)->id);
    mv::WriteFilter(*d, mv::DataKind::Var, f);
    d->ComputeAllStats();
    return d;
  }();
  return *ds;
}

constexpr std::int64_t kValues = 20LL * 1000 * 5 * 20;

// Every value of every point read once through the model's interface, a parameter's values of
// a sample at a time (how the statistics, the filters and the charts read them).
void BM_PlainPassOverValues(benchmark::State& state) {
  const mv::TDatasetSPC& ds = LargeDataset();
  for (auto _ : state) {
    double sum = 0;
    for (int b = 1; b <= ds.BlockCount(); ++b) {
      for (const mv::TSPCSample& s : ds.Block(b)->Samples()) {
        for (int k = 1; k <= s.StoredParameters(); ++k) {
          const std::span<const double> values = s.Values(k);
          const std::span<const std::uint16_t> flags = s.SlotFlags(k);
          for (std::size_t i = 0; i < values.size(); ++i) sum += (flags[i] & mv::value_flag::kEmpty) == 0 ? values[i] : 0;
        }
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_PlainPassOverValues)->Unit(benchmark::kMillisecond);

// The same point by point through the point handles, every parameter of a point in turn.
void BM_PassThroughPointHandles(benchmark::State& state) {
  const mv::TDatasetSPC& ds = LargeDataset();
  for (auto _ : state) {
    double sum = 0;
    for (int b = 1; b <= ds.BlockCount(); ++b) {
      for (const mv::TSPCSample& s : ds.Block(b)->Samples()) {
        for (const mv::TFileSmpPoint& p : s.Points()) {
          for (int k = 1; k <= 20; ++k) sum += p.HasValue(k) ? p.Value(k) : 0;
        }
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_PassThroughPointHandles)->Unit(benchmark::kMillisecond);

// The filter marks of every point.
void BM_FilterMarks(benchmark::State& state) {
  mv::TDatasetSPC& ds = LargeDataset();
  for (auto _ : state) mv::ApplyFilterMarks(ds);
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_FilterMarks)->Unit(benchmark::kMillisecond);

// The marks and then every statistic, as loading does.
void BM_ApplyFilters(benchmark::State& state) {
  mv::TDatasetSPC& ds = LargeDataset();
  for (auto _ : state) mv::ApplyFilters(ds);
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_ApplyFilters)->Unit(benchmark::kMillisecond);

// The statistics alone, for comparison.
void BM_ComputeAllStats(benchmark::State& state) {
  mv::TDatasetSPC& ds = LargeDataset();
  for (auto _ : state) ds.ComputeAllStats();
  state.SetItemsProcessed(state.iterations() * kValues);
}
BENCHMARK(BM_ComputeAllStats)->Unit(benchmark::kMillisecond);

}  // namespace
