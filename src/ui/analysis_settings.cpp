#include "ui/analysis_settings.h"

namespace mv::ui {
namespace {

struct Own {
  TChartOptions chart;
  HistogramOptions histogram;
  PrintOptions print;
  TFontDescr graphicsFont;
};

Own& OwnSettings() {
  static Own own;
  return own;
}

AnalysisSettings& Used() {
  static AnalysisSettings used;
  return used;
}

}  // namespace

void UseAnalysisSettings(const AnalysisSettings& settings) { Used() = settings; }
TChartOptions& ChartSettings() { return Used().chart ? *Used().chart : OwnSettings().chart; }
HistogramOptions& HistogramWindowSettings() { return Used().histogram ? *Used().histogram : OwnSettings().histogram; }
PrintOptions& PrintSettings() { return Used().print ? *Used().print : OwnSettings().print; }
const TFontDescr& GraphicsFontSetting() {
  return Used().graphicsFont ? *Used().graphicsFont : OwnSettings().graphicsFont;
}

}  // namespace mv::ui
