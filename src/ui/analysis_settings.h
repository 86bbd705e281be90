#pragma once
// The options every chart and histogram window starts from and keeps its changes in: the ones
// of the run (kept in the configuration) once the program has started, else defaults of this
// module (widget tests, a window opened before the start-up ends).

#include "analysis/chart_options.h"
#include "analysis/histogram_options.h"
#include "app/print_options.h"

namespace mv::ui {

struct AnalysisSettings {
  TChartOptions* chart = nullptr;
  HistogramOptions* histogram = nullptr;
  PrintOptions* print = nullptr;
};

// Points the windows at the run's options (nullptr members: this module's own).
void UseAnalysisSettings(const AnalysisSettings& settings);
TChartOptions& ChartSettings();
HistogramOptions& HistogramWindowSettings();
PrintOptions& PrintSettings();

}  // namespace mv::ui
