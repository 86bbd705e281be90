#include "support/sample_dataset.h"

#include <gtest/gtest.h>

#include "spc/spc_file.h"

namespace mv::test {

std::unique_ptr<TDatasetSPC> SampleDataset(std::string_view processName) {
  auto ds = std::make_unique<TDatasetSPC>();
  ds->processName = processName;
  const auto makeParameter = [](DataKind kind, const char* name, const char* unit) {
    TSPCParameter props;
    props.kind = kind;
    props.name = name;
    props.unit = unit;
    props.decimals = 2;
    return props;
  };
  TSPCParameter diameter = makeParameter(DataKind::Var, "Диаметр", "мм");
  diameter.SetTolerance(9.9, 10.1, 10.0);
  ds->SetParameter(0, 0, diameter);
  ds->SetParameter(0, 0, makeParameter(DataKind::Attr, "Брак", ""));
  TSPCParameter length = makeParameter(DataKind::Var, "Длина", "мм");
  length.SetTolerance(std::nullopt, 50.5, std::nullopt);
  ds->SetParameter(0, 0, length);

  const int shift = ds->AddBlock(0, "Смена 1", SamplingMode::Samples, block_flag::kDates | block_flag::kTimes, 5,
                                 DataKind::Var, "", "");
  TSPCBlock& block = *ds->Block(shift);
  const TDateTime kDates[] = {45352 + 8.0 / 24, 45353 + 8.0 / 24, 45354 + 16.5 / 24};  // 01.03.2024 ...
  for (int s = 1; s <= 3; ++s) {
    block.AddSample("", "", true);
    TSPCSample& sample = *block.Sample(s);
    sample.dateTime = kDates[s - 1];
    sample.AddPoints(5);
    for (int p = 1; p <= 5; ++p) {
      ds->SetValue(shift, s, p, 1, 9.95 + 0.02 * p);
      ds->SetValue(shift, s, p, 3, 50.0 + 0.1 * s);
    }
  }
  ds->AddBlock(0, "Смена 2", SamplingMode::Samples, block_flag::kDates, 0, DataKind::Attr, "", "");
  ds->ComputeAllStats();
  return ds;
}

bool WriteSampleDataset(const std::string& path, std::string_view processName) {
  std::string error;
  const bool written = WriteSpcFile(*SampleDataset(processName), path, error);
  if (!written) ADD_FAILURE() << "writing " << path << ": " << error;
  return written;
}

}  // namespace mv::test
