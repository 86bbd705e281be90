#pragma once
// The datasets several benchmarks share.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "spc/dataset_spc.h"

namespace mv::bench {

// 20 quantitative parameters (tolerance 9..11), 20 blocks of 1000 samples of 5 points: 2
// million values about 10 in the third decimal. Statistics are not computed: the caller adds
// what it needs first. `everyTenthNote` is the note of every tenth sample ("" for none).
inline std::unique_ptr<TDatasetSPC> MakeLargeDataset(std::string_view everyTenthNote = {}) {
  auto d = std::make_unique<TDatasetSPC>();
  for (int p = 0; p < 20; ++p) {
    TSPCParameter props;
    props.name = "Параметр " + std::to_string(p + 1);
    props.decimals = 3;
    props.SetTolerance(9.0, 11.0, 10.0);
    d->SetParameter(0, 0, props);
  }
  for (int b = 1; b <= 20; ++b) {
    const int pos = d->AddBlock(0, "Блок " + std::to_string(b), SamplingMode::Samples, 3, 5, DataKind::Var, "", "");
    d->NumberBlock(pos);
    TSPCBlock& block = *d->Block(pos);
    for (int s = 1; s <= 1000; ++s) {
      block.AddSample(s % 10 == 0 ? everyTenthNote : std::string_view(), "", true);
      TSPCSample& sample = *block.Sample(s);
      sample.AddPoints(5);
      for (int q = 1; q <= 5; ++q) {
        for (int k = 1; k <= 20; ++k) sample.Point(q)->SetValue(k, 10.0 + 0.001 * ((s * 7 + q * 13 + k * 17) % 1000));
      }
    }
  }
  return d;
}

// Value i (1-based) of the whole-block series: a fixed pseudo-random spread of ±0.01 about 25.
inline double WholeBlockValue(std::uint32_t i) {
  std::uint64_t state = 12345 + i;
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return 25.0 + (static_cast<double>(state >> 40) / static_cast<double>(1ULL << 24) - 0.5) * 0.02;
}
// One point in 97 is excluded.
inline bool WholeBlockActive(std::uint32_t i) { return i % 97 != 0; }

inline constexpr int kWholeBlockPoints = 200;

// One quantitative parameter, one block of `samples` samples of 200 points with the values
// above, statistics computed.
inline std::unique_ptr<TDatasetSPC> MakeWholeBlockDataset(int samples) {
  auto ds = std::make_unique<TDatasetSPC>();
  TSPCParameter p;
  p.name = "Диаметр";
  p.decimals = 3;
  (void)ds->SetParameter(0, 0, p);
  const int b = ds->AddBlock(0, "Смена", SamplingMode::Samples, 0, 0, DataKind::Var, "", "");
  TSPCBlock& block = *ds->Block(b);
  block.ReserveSamples(static_cast<std::size_t>(samples));
  for (int s = 0; s < samples; ++s) {
    (void)block.InsertSample(0);
    TSPCSample& sample = *block.Sample(s + 1);
    sample.ReservePoints(kWholeBlockPoints);
    (void)sample.AddPoints(kWholeBlockPoints);
    for (int j = 1; j <= kWholeBlockPoints; ++j) {
      const auto i = static_cast<std::uint32_t>(s * kWholeBlockPoints + j);
      TFileSmpPoint point = sample.Point(j);
      point.SetValue(1, WholeBlockValue(i));
      if (!WholeBlockActive(i)) point.SetFlags(point_flag::kExcluded);
    }
  }
  ds->ComputeAllStats();
  return ds;
}

}  // namespace mv::bench
