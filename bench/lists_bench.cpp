// The list stream at its largest: a full gauge list (100 gauges with every text filled) saved
// and loaded. Baseline: one pass over the same bytes.

#include <benchmark/benchmark.h>

#include <numeric>

#include "spc/gages.h"

namespace {

void Fill(mv::TGageSet& list) {
  for (int i = 1; list.AddNew(); ++i) {
    mv::TGage& g = *list.Item(i);
    g.name = "Микрометр " + std::to_string(i);
    g.fullName = "Микрометр гладкий МК-25 кл.1 ГОСТ 6507-90";
    g.serialNumber = "SN-" + std::to_string(100000 + i);
    g.note = "Поверен до 01.03.2027, цех 5, участок механической обработки";
    g.unit = "мм";
    g.decimals = 3;
    g.range.Set(3, 0.0, 25.0, std::nullopt);
  }
}

void BM_GageListSave(benchmark::State& state) {
  mv::TGageSet list;
  Fill(list);
  std::size_t bytes = 0;
  for (auto _ : state) {
    const std::string text = list.SaveToString();
    bytes = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_GageListSave);

void BM_GageListLoad(benchmark::State& state) {
  mv::TGageSet list;
  Fill(list);
  const std::string text = list.SaveToString();
  mv::TGageSet copy;
  for (auto _ : state) {
    if (!copy.LoadFromString(text)) state.SkipWithError("load failed");
    benchmark::DoNotOptimize(copy.Count());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_GageListLoad);

void BM_RawPassOverSameBytes(benchmark::State& state) {
  mv::TGageSet list;
  Fill(list);
  const std::string text = list.SaveToString();
  for (auto _ : state) {
    const std::string copy = text;
    benchmark::DoNotOptimize(std::accumulate(copy.begin(), copy.end(), 0u));
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_RawPassOverSameBytes);

}  // namespace
