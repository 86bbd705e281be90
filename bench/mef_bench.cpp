// Exchange files at a realistic large size: 20 parameters, 10 blocks of 1000 samples of 5
// points, every value present (1 million values, about 17 MB of text). The export in memory
// and to disk, and the reading of the file written into commands, against the plain passes
// over the same number texts: std::to_chars writing them and std::from_chars reading them (the
// limits of decimal formatting and parsing).

#include <benchmark/benchmark.h>

#include <charconv>
#include <filesystem>
#include <string>
#include <vector>

#include "spc/dataset_spc.h"
#include "spc/mef_reader.h"
#include "spc/mef_writer.h"

namespace {

constexpr int kParameters = 20;
constexpr int kBlocks = 10;
constexpr int kSamples = 1000;
constexpr int kPoints = 5;
constexpr std::int64_t kValues = std::int64_t{kParameters} * kBlocks * kSamples * kPoints;

const mv::TDatasetSPC& LargeDataset() {
  static mv::TDatasetSPC* ds = [] {
    auto* d = new mv::TDatasetSPC();
    d->fileName = "large.mvl";
    for (int p = 0; p < kParameters; ++p) {
      mv::TSPCParameter props;
      props.name = "Параметр " + std::to_string(p + 1);
      props.decimals = 3;
      props.unit = "мм";
      props.SetTolerance(9.0, 11.0, 10.0);
      (void)d->SetParameter(0, 0, props);
    }
    for (int b = 1; b <= kBlocks; ++b) {
      const int pos = d->AddBlock(0, "Блок " + std::to_string(b), mv::SamplingMode::Samples,
                                  mv::block_flag::kDates | mv::block_flag::kTimes, 5, mv::DataKind::Var, "", "");
      mv::TSPCBlock& block = *d->Block(pos);
      for (int s = 1; s <= kSamples; ++s) {
        (void)block.AddSample(s % 10 == 0 ? "проверка" : "", "", true, 45352.5 + s / 24.0);
        mv::TSPCSample& sample = *block.Sample(s);
        (void)sample.AddPoints(kPoints);
        for (int q = 1; q <= kPoints; ++q) {
          for (int k = 1; k <= kParameters; ++k) {
            sample.Point(q)->SetValue(k, 10.0 + 0.001 * ((s * 7 + q * 13 + k * 17) % 1000));
          }
        }
      }
    }
    return d;
  }();
  return *ds;
}

mv::MefExportOptions Options() {
  mv::MefExportOptions options;
  options.now = 45352.5;
  return options;
}

const std::string& ExportedBytes() {
  static const std::string bytes = [] {
    mv::MefExportResult result;
    return mv::BuildMefText(LargeDataset(), Options(), result);
  }();
  return bytes;
}

// The values' texts of the export, as the file has them.
const std::vector<std::string>& NumberTexts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(kValues));
    for (const mv::MefCommand& c : mv::ReadMefCommands(mv::SplitMefLines(ExportedBytes()))) {
      if (c.kind != mv::MefCommandKind::AddPoint) continue;
      for (const mv::MefPair& pair : c.pairs) out.push_back(pair.value);
    }
    return out;
  }();
  return texts;
}

void Report(benchmark::State& state) {
  state.SetItemsProcessed(state.iterations() * kValues);
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(ExportedBytes().size()));
}

void BM_ExportInMemory(benchmark::State& state) {
  const auto& ds = LargeDataset();
  for (auto _ : state) {
    mv::MefExportResult result;
    benchmark::DoNotOptimize(mv::BuildMefText(ds, Options(), result).size());
    if (result.values != kValues) state.SkipWithError("values lost");
  }
  Report(state);
}
BENCHMARK(BM_ExportInMemory)->Unit(benchmark::kMillisecond);

void BM_ExportToDisk(benchmark::State& state) {
  const auto& ds = LargeDataset();
  const std::string path = (std::filesystem::temp_directory_path() / "mv-bench-large.mef").string();
  for (auto _ : state) {
    mv::MefExportResult result;
    if (!mv::ExportDataset(ds, path, Options(), result, true)) state.SkipWithError("export failed");
  }
  std::filesystem::remove(path);
  Report(state);
}
BENCHMARK(BM_ExportToDisk)->Unit(benchmark::kMillisecond);

// What the import will start from: the file's lines and commands.
void BM_ReadCommands(benchmark::State& state) {
  const std::string& bytes = ExportedBytes();
  for (auto _ : state) {
    const auto commands = mv::ReadMefCommands(mv::SplitMefLines(bytes));
    benchmark::DoNotOptimize(commands.size());
  }
  Report(state);
}
BENCHMARK(BM_ReadCommands)->Unit(benchmark::kMillisecond);

void BM_FromCharsOverTheNumberTexts(benchmark::State& state) {
  const auto& texts = NumberTexts();
  if (static_cast<std::int64_t>(texts.size()) != kValues) state.SkipWithError("texts missing");
  for (auto _ : state) {
    double sum = 0;
    for (const std::string& t : texts) {
      double x = 0;
      std::from_chars(t.data(), t.data() + t.size(), x);
      sum += x;
    }
    benchmark::DoNotOptimize(sum);
  }
  Report(state);
}
BENCHMARK(BM_FromCharsOverTheNumberTexts)->Unit(benchmark::kMillisecond);

void BM_ToCharsOfTheValues(benchmark::State& state) {
  const auto& ds = LargeDataset();
  for (auto _ : state) {
    std::size_t length = 0;
    char buffer[64];
    for (int b = 1; b <= ds.BlockCount(); ++b) {
      for (const mv::TSPCSample& sample : ds.Block(b)->Samples()) {
        for (const mv::TFileSmpPoint point : sample.Points()) {
          for (int k = 1; k <= kParameters; ++k) {
            const auto r = std::to_chars(buffer, buffer + sizeof buffer, point.Value(k), std::chars_format::fixed, 3);
            length += static_cast<std::size_t>(r.ptr - buffer);
          }
        }
      }
    }
    benchmark::DoNotOptimize(length);
  }
  Report(state);
}
BENCHMARK(BM_ToCharsOfTheValues)->Unit(benchmark::kMillisecond);

}  // namespace
