// The SPC data file at a realistic large size: 20 parameters, 20 blocks of 1000 samples of 5
// points, every value present (2 million values, about 25 MB of file). Save and load, in
// memory and through the disk, against reading the same file's bytes (the physical limit).

#include <benchmark/benchmark.h>
#include <malloc.h>

#include <filesystem>

#include "core/file_routines.h"
#include "large_dataset.h"
#include "spc/sample.h"
#include "spc/spc_file.h"

namespace {

const mv::TDatasetSPC& LargeDataset() {
  static mv::TDatasetSPC* ds = [] {
    mv::TDatasetSPC* d = mv::bench::MakeLargeDataset().release();
    d->ComputeAllStats();
    return d;
  }();
  return *ds;
}

const std::string& LargeFileBytes() {
  static const std::string bytes = mv::EncodeSpcFile(LargeDataset(), "large.mvl", 45352.5);
  return bytes;
}

std::string TempPath() { return (std::filesystem::temp_directory_path() / "mv-bench-large.mvl").string(); }

void Report(benchmark::State& state, std::size_t bytes) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_EncodeInMemory(benchmark::State& state) {
  const auto& ds = LargeDataset();
  for (auto _ : state) benchmark::DoNotOptimize(mv::EncodeSpcFile(ds, "large.mvl", 45352.5).size());
  Report(state, LargeFileBytes().size());
}
BENCHMARK(BM_EncodeInMemory)->Unit(benchmark::kMillisecond);

void BM_DecodeInMemory(benchmark::State& state) {
  const std::string& bytes = LargeFileBytes();
  std::size_t model = 0;
  std::size_t both = 0;
  for (auto _ : state) {
    // The heap's count and the large areas mapped apart from it.
    const std::size_t before = mallinfo2().uordblks + mv::SampleStorageArea::MappedBytes();
    mv::SpcReadResult r = mv::ReadSpcBytes(bytes, "large.mvl");
    if (!r.Ok()) state.SkipWithError("load failed");
    model = mallinfo2().uordblks + mv::SampleStorageArea::MappedBytes() - before;
    both = model + bytes.size();
  }
  Report(state, bytes.size());
  state.counters["model_MB"] = static_cast<double>(model) / 1e6;
  state.counters["peak_to_model"] = static_cast<double>(both) / static_cast<double>(model);
}
BENCHMARK(BM_DecodeInMemory)->Unit(benchmark::kMillisecond);

void BM_SaveToDisk(benchmark::State& state) {
  const auto& ds = LargeDataset();
  std::string error;
  for (auto _ : state) {
    if (!mv::WriteSpcFile(ds, TempPath(), error)) state.SkipWithError(error.c_str());
  }
  Report(state, LargeFileBytes().size());
}
BENCHMARK(BM_SaveToDisk)->Unit(benchmark::kMillisecond);

void BM_LoadFromDisk(benchmark::State& state) {
  std::string error;
  if (!mv::WriteSpcFile(LargeDataset(), TempPath(), error)) state.SkipWithError(error.c_str());
  for (auto _ : state) {
    mv::SpcReadResult r = mv::ReadSpcFile(TempPath());
    if (!r.Ok()) state.SkipWithError("load failed");
  }
  Report(state, LargeFileBytes().size());
}
BENCHMARK(BM_LoadFromDisk)->Unit(benchmark::kMillisecond);

// The physical limit: the same file's bytes read into memory.
void BM_ReadFileBytes(benchmark::State& state) {
  std::string error;
  if (!mv::WriteSpcFile(LargeDataset(), TempPath(), error)) state.SkipWithError(error.c_str());
  std::string bytes;
  int code = 0;
  for (auto _ : state) {
    if (!mv::ReadWholeFile(TempPath(), bytes, code, 1ULL << 32)) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(bytes.data());
  }
  Report(state, LargeFileBytes().size());
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

}  // namespace
