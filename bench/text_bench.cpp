// Windows-1251 codec throughput on ~1 MB of mixed Cyrillic and Latin text, against a plain copy
// of the same bytes (the physical limit for a pass that allocates its result).

#include <benchmark/benchmark.h>

#include <string>

#include "core/cp1251.h"

namespace {

// Lines like those of a data file and its log: numbers, Latin names, Russian words.
const std::string& SampleUtf8() {
  static const std::string text = [] {
    const char* const kLines[] = {
        "Диаметр вала D1;25.004;24.998;25.012;мм;Смена №2\r\n",
        "Shaft diameter D1;25.004;24.998;25.012;mm;Gage GMB-17\r\n",
        "01.03.2024 12:00:05 Оператор Ёлкин — выборка из 5 измерений, «допуск ±0.02»\r\n",
        "Sample 118; x=12.875; R=0.031; s=0.0122; подгруппа принята\r\n",
    };
    std::string out;
    while (out.size() < (1u << 20)) {
      for (const char* line : kLines) out += line;
    }
    return out;
  }();
  return text;
}

const std::string& SampleCp1251() {
  static const std::string bytes = mv::Utf8ToCp1251(SampleUtf8());
  return bytes;
}

void BM_CopyBaseline(benchmark::State& state) {
  const std::string& bytes = SampleCp1251();
  for (auto _ : state) {
    std::string copy(bytes);
    benchmark::DoNotOptimize(copy.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_CopyBaseline);

void BM_Cp1251ToUtf8(benchmark::State& state) {
  const std::string& bytes = SampleCp1251();
  for (auto _ : state) {
    std::string utf8 = mv::Cp1251ToUtf8(bytes);
    benchmark::DoNotOptimize(utf8.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Cp1251ToUtf8);

void BM_Utf8ToCp1251(benchmark::State& state) {
  const std::string& utf8 = SampleUtf8();
  const std::string& bytes = SampleCp1251();
  for (auto _ : state) {
    std::string out = mv::Utf8ToCp1251(utf8);
    benchmark::DoNotOptimize(out.data());
  }
  // Counted in Windows-1251 bytes, like the other two, so the rates compare directly.
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Utf8ToCp1251);

}  // namespace
