#include "analysis/chart_options.h"

#include "analysis/box_plot.h"
#include "analysis/chart_kinds.h"
#include "core/byte_order.h"
#include "core/short_text.h"

namespace mv {
namespace {

namespace off {
inline constexpr std::size_t kMarker = 0;
inline constexpr std::size_t kVersion = 4;
inline constexpr std::size_t kSwitches = 6;
inline constexpr std::size_t kCriteriaSet = 10;
inline constexpr std::size_t kCriteriaMask = 11;
inline constexpr std::size_t kCriteriaDisplay = 13;
inline constexpr std::size_t kSpan = 14;
inline constexpr std::size_t kPScale = 15;
inline constexpr std::size_t kUScale = 16;
inline constexpr std::size_t kBoxPlotOptions = 17;
inline constexpr std::size_t kLanguage = 19;
inline constexpr std::size_t kWindows = 20;
inline constexpr std::size_t kWindowSize = 6;  // upper, lower, columns
inline constexpr std::size_t kUsedEndV1 = kWindows + 3 * kWindowSize;
// Version 2.
inline constexpr std::size_t kHistogramLook = kUsedEndV1;
inline constexpr std::size_t kPrintHeader = kHistogramLook + 1;
inline constexpr std::size_t kPrintCaption = kPrintHeader + 1 + TChartOptions::kPrintTextMax;
inline constexpr std::size_t kUsedEnd = kPrintCaption + 1 + TChartOptions::kPrintTextMax;
inline constexpr std::size_t kEndByte = kChartOptionsSize - 1;
}  // namespace off
static_assert(off::kUsedEndV1 == 38);
static_assert(off::kPrintCaption == 290);
static_assert(off::kUsedEnd == 541);
static_assert(off::kUsedEnd <= off::kEndByte);

constexpr std::string_view kMarker = "MVCO";
constexpr std::uint16_t kBoxPlotKnown =
    box_plot_option::kShowMean | box_plot_option::kShowAsymmetry | box_plot_option::kShowLevels;

struct SwitchField {
  std::uint32_t bit;
  bool TChartOptions::*field;
};

constexpr SwitchField kSwitches[] = {
    {chart_switch::kControlLimits, &TChartOptions::controlLimits},
    {chart_switch::kCentralLineAlways, &TChartOptions::centralLineAlways},
    {chart_switch::kConclusion, &TChartOptions::conclusion},
    {chart_switch::kRegulationLimits, &TChartOptions::regulationLimits},
    {chart_switch::kDataRange, &TChartOptions::dataRange},
    {chart_switch::kIndividualValues, &TChartOptions::individualValues},
    {chart_switch::kToleranceWidth, &TChartOptions::toleranceWidth},
    {chart_switch::kPQualityLimit, &TChartOptions::pQualityLimit},
    {chart_switch::kUQualityLimit, &TChartOptions::uQualityLimit},
    {chart_switch::kToleranceLines, &TChartOptions::toleranceLines},
    {chart_switch::kAbsoluteScale, &TChartOptions::absoluteScale},
    {chart_switch::kHistogram, &TChartOptions::histogram},
    {chart_switch::kBoxPlot, &TChartOptions::boxPlot},
    {chart_switch::kGrid, &TChartOptions::grid},
    {chart_switch::kEvents, &TChartOptions::events},
    {chart_switch::kDates, &TChartOptions::dates},
    {chart_switch::kPointLabels, &TChartOptions::pointLabels},
};

bool WindowKindsValid(ChartWindowType type, const ChartWindowKinds& w) {
  const auto upper = ChartKindOf(w.upper);
  if (!upper) return false;
  const int u = w.upper;
  switch (type) {
    case ChartWindowType::Subgroup:
      if (u < 1 || u > 4) return false;
      break;
    case ChartWindowType::Individuals:
      if (*upper != ChartKind::Individuals) return false;
      break;
    case ChartWindowType::Attribute:
      if (!IsAttributeChart(*upper)) return false;
      break;
  }
  if (w.lower == 0) return true;
  const auto lower = ChartKindOf(w.lower);
  return lower && LowerKindAllowed(*upper, *lower);
}

bool ScaleValid(std::uint8_t code) { return code <= static_cast<std::uint8_t>(AttrScale::Ppm); }

}  // namespace

std::string EncodeChartOptions(const TChartOptions& o) {
  std::string b(kChartOptionsSize, '\0');
  b.replace(off::kMarker, kMarker.size(), kMarker);
  PutU16(b, off::kVersion, kChartOptionsVersion);
  std::uint32_t switches = 0;
  for (const SwitchField& s : kSwitches) {
    if (o.*s.field) switches |= s.bit;
  }
  PutU32(b, off::kSwitches, switches);
  PutU8(b, off::kCriteriaSet, o.criteria.set);
  PutU16(b, off::kCriteriaMask, o.criteria.mask);
  PutU8(b, off::kCriteriaDisplay, o.criteria.display);
  PutU8(b, off::kSpan, o.span);
  PutU8(b, off::kPScale, static_cast<std::uint8_t>(o.pScale));
  PutU8(b, off::kUScale, static_cast<std::uint8_t>(o.uScale));
  PutU16(b, off::kBoxPlotOptions, o.boxPlotOptions);
  PutU8(b, off::kLanguage, static_cast<std::uint8_t>(o.language));
  for (std::size_t i = 0; i < o.windows.size(); ++i) {
    const std::size_t at = off::kWindows + i * off::kWindowSize;
    PutU8(b, at, o.windows[i].upper);
    PutU8(b, at + 1, o.windows[i].lower);
    PutU32(b, at + 2, o.windows[i].columns);
  }
  std::uint8_t look = 0;
  if (o.histogramCurve) look |= chart_histogram_look::kCurve;
  if (o.histogramCounts) look |= chart_histogram_look::kCounts;
  PutU8(b, off::kHistogramLook, look);
  PutShortText(b, off::kPrintHeader, o.printHeader, TChartOptions::kPrintTextMax);
  PutShortText(b, off::kPrintCaption, o.printCaption, TChartOptions::kPrintTextMax);
  return b;
}

ChartOptionsRead DecodeChartOptions(std::string_view b, TChartOptions& o) {
  const TChartOptions defaults;
  o = defaults;
  if (b.size() < kChartOptionsSize || b.substr(off::kMarker, kMarker.size()) != kMarker) {
    return ChartOptionsRead::Defaults;
  }
  const std::uint16_t version = GetU16(b, off::kVersion);
  if (version < 1 || version > kChartOptionsVersion) return ChartOptionsRead::Defaults;
  bool repaired = false;
  const auto reject = [&repaired] { repaired = true; };

  const std::uint32_t switches = GetU32(b, off::kSwitches);
  if ((switches & ~chart_switch::kKnown) != 0) {
    reject();
  } else {
    for (const SwitchField& s : kSwitches) o.*s.field = (switches & s.bit) != 0;
  }

  TCriteriaChoice choice;
  choice.set = GetU8(b, off::kCriteriaSet);
  choice.mask = GetU16(b, off::kCriteriaMask);
  choice.display = GetU8(b, off::kCriteriaDisplay);
  if (choice.set < 1 || choice.set > kCriteriaSetCount || (choice.mask & ~kAllCriteriaMask) != 0 ||
      (choice.display & ~criteria_display::kAll) != 0) {
    reject();
  } else {
    if (choice.set != kCustomCriteriaSet && choice.mask != CriteriaSetMask(choice.set)) {
      choice.mask = CriteriaSetMask(choice.set);  // a fixed set has its own mask
      reject();
    }
    o.criteria = choice;
  }

  const std::uint8_t span = GetU8(b, off::kSpan);
  if (span >= 2 && span <= 10) {
    o.span = span;
  } else {
    reject();
  }
  const std::uint8_t pScale = GetU8(b, off::kPScale);
  if (ScaleValid(pScale)) {
    o.pScale = static_cast<AttrScale>(pScale);
  } else {
    reject();
  }
  const std::uint8_t uScale = GetU8(b, off::kUScale);
  if (ScaleValid(uScale)) {
    o.uScale = static_cast<AttrScale>(uScale);
  } else {
    reject();
  }
  const std::uint16_t boxPlot = GetU16(b, off::kBoxPlotOptions);
  if ((boxPlot & ~kBoxPlotKnown) == 0) {
    o.boxPlotOptions = boxPlot;
  } else {
    reject();
  }
  const std::uint8_t language = GetU8(b, off::kLanguage);
  if (language <= static_cast<std::uint8_t>(Lang::En)) {
    o.language = static_cast<Lang>(language);
  } else {
    reject();
  }
  for (std::size_t i = 0; i < o.windows.size(); ++i) {
    const std::size_t at = off::kWindows + i * off::kWindowSize;
    const ChartWindowKinds w{GetU8(b, at), GetU8(b, at + 1), GetU32(b, at + 2)};
    if (WindowKindsValid(static_cast<ChartWindowType>(i), w)) {
      o.windows[i] = w;
    } else {
      reject();
    }
  }
  if (version >= 2) {  // version 1 kept these bytes reserved: their fields keep the defaults
    const std::uint8_t look = GetU8(b, off::kHistogramLook);
    if ((look & ~chart_histogram_look::kKnown) == 0) {
      o.histogramCurve = (look & chart_histogram_look::kCurve) != 0;
      o.histogramCounts = (look & chart_histogram_look::kCounts) != 0;
    } else {
      reject();
    }
    for (const auto& [at, text] : {std::pair{off::kPrintHeader, &o.printHeader}, std::pair{off::kPrintCaption, &o.printCaption}}) {
      if (GetU8(b, at) <= TChartOptions::kPrintTextMax) {
        *text = GetShortText(b, at, TChartOptions::kPrintTextMax);
      } else {
        reject();
      }
    }
  }
  return repaired ? ChartOptionsRead::Repaired : ChartOptionsRead::Ok;
}

std::string DefaultChartOptionsImage() { return EncodeChartOptions(TChartOptions{}); }

}  // namespace mv
