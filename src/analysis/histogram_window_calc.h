#pragma once
// What the histogram window computes besides the histogram itself: its data (one `THisto` per
// histogram, up to 6), the capability of the histogram's own values, the tail analysis, the
// set-up recommendation, the sigma levels and the texts under the mouse. The drawing lives with
// the rendering code and decides only pixels (the 3-pixel rule among them).

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "analysis/capability.h"
#include "analysis/data_set.h"
#include "analysis/histogram.h"
#include "analysis/histogram_data.h"
#include "analysis/sample_selection.h"

namespace mv {

inline constexpr std::size_t kMaxHistograms = 6;

// One histogram of a histogram window: what to show.
struct TTaskOneHisto {
  SampleSelection selection;
  int parameter = 0;  // position in the dataset
  std::string title;
  int bins = 0;  // the bin count asked for (limited to 5..20); 0: the automatic count
};

// One histogram of a histogram window: its data, the histogram and the capability figures.
struct THisto {
  TTaskOneHisto task;
  CDataSet data;
  THistogram histogram;
  HistoExtract extract;  // period, samples used and their points
  CapabilityFigures capability;
  bool loaded = false;  // the data could be extracted (else the message was shown)
};

// Reloads the data of every histogram from its dataset and computes the histograms with the
// automatic bin count (or the task's own) plus each one's adjustment, and their capability. With keepScale,
// histograms of parameters with the same scale (a scale other than none) share one horizontal
// range; each still chooses its own bin count on it. A histogram whose figures are not finite
// numbers (values near the limits of a double) is refused with the error window, like one
// without data.
void ComputeHistograms(std::span<THisto> histos, bool keepScale);

// The scale a histogram's parameter is drawn in; 0 when it has none (or cannot be found).
std::int32_t HistogramScaleOf(const THisto& histo);

// Capability over the histogram's own values: n = 1 (so Cp and Cpk carry status 4), both
// sigmas the data set's standard deviation and both means its mean.
CapabilityFigures HistogramCapability(const CDataSet& set);

// --- tail analysis ("Анализ хвостов распределения (оценка УН)") ---
inline constexpr std::string_view kTailNotNormal = "<не рассчитывается, т.к. распределение не является нормальным";

struct TailAnalysis {
  bool shown = false;  // the data are normal and the percentages were formed
  double percentBelow = 0;
  double percentAbove = 0;
};
TailAnalysis ComputeTailAnalysis(const CapabilityFigures& capability, const TNormality& normality);
// The level text of one tail, or the refusal when the data are not normal.
std::string TailText(const TailAnalysis& tail, double percent, LevelUnit unit = LevelUnit::Auto);

// --- set-up recommendation (two-sided tolerance, option "Центр допуска") ---
struct SetupAdvice {
  double diff = 0;       // centre of tolerance - mean
  bool centred = false;  // |diff| < 0.1 x 10^-decimals: the text is shown whatever the distance
  // "Процесс идеально центрирован\r(сдвиг настройки от целевого значения практически
  // отсутствует)" (without "практически " when diff is 0), or "Рекомендуется сдвиг настройки
  // вверх на \r0.25 мм". The window shows the shift text only when mean and centre are more than
  // 3 pixels apart.
  std::string text;
};
// Nothing unless both LSL and USL are given.
std::optional<SetupAdvice> SetupRecommendation(std::optional<double> lsl, std::optional<double> usl, double mean,
                                               int decimals, std::string_view unit);
std::optional<SetupAdvice> SetupRecommendation(const CDataSet& set);

// --- sigma levels ---
inline constexpr int kMaxSigmaLevel = 9;
// "Неверно указан уровень сигма (целые числа от 1 до 9)".
std::string SigmaLevelError();
// A whole number 1..9; otherwise the error above is shown (the options window stays open).
std::optional<int> CheckSigmaLevel(std::string_view text);
struct SigmaLevelLines {
  double lower = 0;  // mean - k sigma
  double upper = 0;  // mean + k sigma
};
SigmaLevelLines SigmaLevels(double mean, double sigma, int k);

// --- texts under the mouse ---
// "Столбец 2:  7 (17.5%,  от 10.005 до 10.015)": the share of all values in percent with one
// decimal, the edges with decimals + 1 digits. "" for a bin that does not exist.
std::string BinMouseText(const THistogram& histogram, int bin, int decimals);
// " Значение 10.01:  3 шт", the value with the parameter's decimals.
std::string UniqueValueMouseText(const UniqueValue& value, int decimals);

}  // namespace mv
