#pragma once
// What the main window shows of the current dataset until the dataset window takes over: its
// parameters and its blocks as two sections of rows, plus the window's title.

#include <array>
#include <string>
#include <vector>

#include "spc/dataset_spc.h"

namespace mv {

struct OutlineSection {
  std::string title;                          // "Параметры (3)"
  std::vector<std::vector<std::string>> rows;  // the cells of each item
};

// [0] "Параметры (n)": order number, name, unit, tolerance, kind ("количественный" /
//     "альтернативный"); the quantitative ones first, each kind by its order numbers.
// [1] "Блоки (n)": position, name, number of samples ("12 выборок"), period of the samples
//     ("" without dates), kind; in the dataset's order.
// The cells of both line up: number, name, then the short and the long detail, then the kind.
std::array<OutlineSection, 2> DatasetOutline(const TDatasetSPC& ds);

// "Morvalen 0.1.0", and with a dataset " - " and its file name.
std::string MainWindowTitle(const TDatasetSPC* ds);

// The dataset's name on its tab: the file name without the folder.
std::string DatasetTabText(const TDatasetSPC& ds);

}  // namespace mv
