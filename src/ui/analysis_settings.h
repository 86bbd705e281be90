#pragma once
// The options every chart and histogram window starts from and keeps its changes in: the ones
// of the run (kept in the configuration) once the program has started, else defaults of this
// module (widget tests, a window opened before the start-up ends).

#include "analysis/chart_options.h"
#include "analysis/histogram_options.h"
#include "app/print_options.h"
#include "core/font_descr.h"

namespace mv::ui {

struct AnalysisSettings {
  TChartOptions* chart = nullptr;
  HistogramOptions* histogram = nullptr;
  PrintOptions* print = nullptr;
  const TFontDescr* graphicsFont = nullptr;  // the configuration's, changed by the settings window
};

// Points the windows at the run's options (nullptr members: this module's own).
void UseAnalysisSettings(const AnalysisSettings& settings);
TChartOptions& ChartSettings();
HistogramOptions& HistogramWindowSettings();
PrintOptions& PrintSettings();
// The font charts and histograms are drawn with.
const TFontDescr& GraphicsFontSetting();

}  // namespace mv::ui
