#pragma once
// The values of a histogram: every measured point in analysis of the selection that carries a
// value of the parameter, with the period and counts the histogram shows beside them.

#include <cstdint>

#include "analysis/data_set.h"
#include "analysis/sample_selection.h"
#include "platform/clock.h"

namespace mv {

// What the extraction reports besides the data set (the histogram keeps these).
struct HistoExtract {
  TDateTime periodFrom = 0;  // earliest and latest sample date; 0 when no sample has one
  TDateTime periodTo = 0;
  std::uint32_t usedSamples = 0;  // active samples with points in analysis
  std::uint32_t totalPoints = 0;  // measured points of the active samples
};

inline constexpr const char* kHistoLogTag = "CountHisto";
// The message of a selection without values, shown also where a histogram would stand.
inline constexpr const char* kNoHistogramData = "Нет данных для построения гистограммы";

// Releases and rebinds `set`, sizes it by the points in analysis of the active samples and adds
// every such point that carries a value (present, active), then computes the statistics.
// False, with the error window, when nothing could be added ("Нет данных для построения
// гистограммы") or the memory could not be had ("Недостаточно памяти для N замеров").
bool ExtractHistogramData(const SampleSelection& selection, int parameter, CDataSet& set, HistoExtract& extract);

}  // namespace mv
