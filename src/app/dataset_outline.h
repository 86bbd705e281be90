#pragma once
// What the main window shows of a dataset until the dataset window takes over: the process
// texts, a table of the parameters and a table of the blocks, plus the window's title.

#include <string>
#include <utility>
#include <vector>

#include "spc/dataset_spc.h"

namespace mv {

struct OutlineTable {
  std::string title;                           // "Параметры (3)"
  std::vector<std::string> columns;            // headings
  std::vector<bool> numeric;                   // per column: numbers, shown flush right
  std::vector<std::vector<std::string>> rows;  // cells, as many as headings
};

struct DatasetOutlineData {
  // DatasetTypeText of the dataset.
  std::string type;
  // The process texts that are filled in: label and text ("Процесс", "Токарная обработка").
  std::vector<std::pair<std::string, std::string>> process;
  // Position, name, kind ("количественный" / "альтернативный"), unit, decimals, tolerance; the
  // quantitative parameters first, each kind by its order numbers.
  OutlineTable parameters;
  // Position, name, number of samples, number of points, first and last sample date ("" without
  // dates); in the dataset's order.
  OutlineTable blocks;
};

DatasetOutlineData DatasetOutline(const TDatasetSPC& ds);

// "Morvalen 0.1.0", and with a name " - " and the name (the file name, or a new dataset's).
std::string MainWindowTitle(const std::string& datasetName);

// The dataset's type, "Набор данных SPC", followed by " (пример)" for an example dataset (the
// page tab of which is drawn in another colour, too).
std::string DatasetTypeText(const TDatasetSPC& ds);

// The dataset's name on its tab: the file name without the folder.
std::string DatasetTabText(const std::string& datasetName);

}  // namespace mv
