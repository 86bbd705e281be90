#pragma once
// A small dataset for tests that need a real data file, made with the production model and
// written with the production writer (the data-file tests check that writer on their own).

#include <memory>
#include <string>
#include <string_view>

#include "spc/dataset_spc.h"

namespace mv::test {

// Process `processName`, three parameters:
//   1 "Диаметр", мм, nominal 10, 9.9..10.1 (quantitative, order number 1)
//   2 "Брак" (alternative, order number 1)
//   3 "Длина", мм, up to 50.5 (quantitative, order number 2)
// and two blocks: "Смена 1" (quantitative, 3 samples of 5 points dated 01.03.2024 08:00,
// 02.03.2024 08:00, 03.03.2024 16:30) and "Смена 2" (alternative, no samples).
std::unique_ptr<TDatasetSPC> SampleDataset(std::string_view processName = "Токарная обработка");

// Writes SampleDataset(processName) to path; false (with a test failure) when writing failed.
bool WriteSampleDataset(const std::string& path, std::string_view processName = "Токарная обработка");

}  // namespace mv::test
