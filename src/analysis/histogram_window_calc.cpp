#include "analysis/histogram_window_calc.h"

#include <cmath>
#include <vector>

#include "analysis/param_stat.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "spc/dataset_spc.h"

namespace mv {
std::int32_t HistogramScaleOf(const THisto& h) {
  if (!h.task.selection.dataset) return 0;
  const TSPCParameter* p = h.task.selection.dataset->Parameter(h.task.parameter);
  return p ? p->scaleId : 0;
}

void ComputeHistograms(std::span<THisto> histos, bool keepScale) {
  for (THisto& h : histos) {
    h.loaded = ExtractHistogramData(h.task.selection, h.task.parameter, h.data, h.extract);
    h.capability = h.loaded ? HistogramCapability(h.data) : CapabilityFigures{};
    if (!h.loaded) h.histogram.computed = false;
  }
  for (THisto& h : histos) {
    if (!h.loaded) continue;
    std::optional<HistogramRange> range;
    const std::int32_t scale = keepScale ? HistogramScaleOf(h) : 0;
    if (scale != 0) {
      std::vector<const CDataSet*> same;
      for (const THisto& other : histos) {
        if (other.loaded && other.task.selection.dataset == h.task.selection.dataset &&
            HistogramScaleOf(other) == scale) {
          same.push_back(&other.data);
        }
      }
      range = CommonHistogramRange(same);
    }
    h.histogram.Compute(h.data, h.task.bins, range);
    if (!h.histogram.FiguresFinite() || !CapabilityFinite(h.capability)) {
      ShowError(HistogramNotFiniteText(), 0, kHistoLogTag);
      h.loaded = false;
      h.histogram.computed = false;
      h.capability = CapabilityFigures{};
    }
  }
}

CapabilityFigures HistogramCapability(const CDataSet& set) {
  return Capability(ToleranceOf(set.tolerance), 1, set.stdDev, set.stdDev, set.mean, set.mean);
}

TailAnalysis ComputeTailAnalysis(const CapabilityFigures& capability, const TNormality& normality) {
  TailAnalysis tail;
  tail.shown = normality.computed && normality.enoughData && normality.normal && capability.hasPercents;
  if (tail.shown) {
    tail.percentBelow = capability.percentBelow;
    tail.percentAbove = capability.percentAbove;
  }
  return tail;
}

std::string TailText(const TailAnalysis& tail, double percent, LevelUnit unit) {
  if (!tail.shown) return std::string(kTailNotNormal);
  return LevelText(percent, true, Lang::Ru, false, unit);
}

std::optional<SetupAdvice> SetupRecommendation(std::optional<double> lsl, std::optional<double> usl, double mean,
                                               int decimals, std::string_view unit) {
  if (!lsl || !usl) return std::nullopt;
  SetupAdvice advice;
  advice.diff = (*lsl + *usl) / 2 - mean;
  advice.centred = std::fabs(advice.diff) < 0.1 * std::pow(10.0, -decimals);
  if (advice.centred) {
    advice.text = std::string("Процесс идеально центрирован\r(сдвиг настройки от целевого значения ") +
                  (std::fabs(advice.diff) < kSameEpsilon ? "" : "практически ") + "отсутствует)";
  } else {
    advice.text = std::string("Рекомендуется сдвиг настройки ") + (advice.diff >= 0 ? "вверх" : "вниз") + " на " +
                  "\r" + FormatFixed(std::fabs(advice.diff), decimals + 1) + " " + std::string(unit);
  }
  return advice;
}

std::optional<SetupAdvice> SetupRecommendation(const CDataSet& set) {
  return SetupRecommendation(set.tolerance.Get(ValueRange::kLower), set.tolerance.Get(ValueRange::kUpper), set.mean,
                             set.decimals, set.unit);
}

std::string SigmaLevelError() {
  return "Неверно указан уровень сигма (целые числа от 1 до " + FormatInt(kMaxSigmaLevel) + ")";
}

std::optional<int> CheckSigmaLevel(std::string_view text) {
  const auto k = ParseInteger(text, 1, kMaxSigmaLevel);
  if (!k) {
    ShowError(SigmaLevelError());
    return std::nullopt;
  }
  return static_cast<int>(*k);
}

SigmaLevelLines SigmaLevels(double mean, double sigma, int k) { return {mean - k * sigma, mean + k * sigma}; }

std::string BinMouseText(const THistogram& histogram, int bin, int decimals) {
  const HistogramBin* b = histogram.Bin(bin);
  if (!b) return {};
  const double share = histogram.valueCount > 0 ? 100.0 * b->count / histogram.valueCount : 0;
  return "Столбец " + FormatInt(bin) + ":  " + FormatInt(b->count) + " (" + FormatFixed(share, 1) + "%,  от " +
         FormatFixed(b->lower, decimals + 1) + " до " + FormatFixed(b->upper, decimals + 1) + ")";
}

std::string UniqueValueMouseText(const UniqueValue& value, int decimals) {
  return " Значение " + FormatFixed(value.value, decimals) + ":  " + FormatInt(value.count) + " шт";
}

}  // namespace mv
