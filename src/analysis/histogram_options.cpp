#include "analysis/histogram_options.h"

#include <algorithm>
#include <array>

#include "core/byte_order.h"
#include "core/short_text.h"
#include "core/text.h"

namespace mv {
namespace {

struct Field {
  std::size_t offset;
  std::size_t size;
};

constexpr Field kMarker{0, 4};
constexpr Field kVersionField{4, 2};
constexpr std::size_t kFirstSwitch = 6;  // 9 switches, 6..14
constexpr Field kBoxPlotOptions{15, 2};
constexpr std::size_t kSecondSwitch = 17;  // 7 switches, 17..23
constexpr Field kSigmaLevel{24, 1};
constexpr std::size_t kThirdSwitch = 25;  // 4 switches, 25..28
constexpr Field kWindowWidth{29, 2};
constexpr Field kWindowHeight{31, 2};
constexpr Field kAddDatasetName{33, 1};
constexpr Field kNumberHistograms{34, 1};
constexpr Field kIndicatorCount{35, 1};
constexpr Field kIndicators{36, HistogramOptions::kMaxIndicators};
constexpr Field kTitle{68, 1 + HistogramOptions::kTitleMax};
// Version 2: the print header and caption of the histograms ("Печать гистограммы").
constexpr Field kPrintHeader{319, 1 + HistogramOptions::kTitleMax};
constexpr Field kPrintCaption{570, 1 + HistogramOptions::kTitleMax};

static_assert(kFirstSwitch + 9 == kBoxPlotOptions.offset);
static_assert(kBoxPlotOptions.offset + kBoxPlotOptions.size == kSecondSwitch);
static_assert(kSecondSwitch + 7 == kSigmaLevel.offset);
static_assert(kSigmaLevel.offset + 1 == kThirdSwitch);
static_assert(kThirdSwitch + 4 == kWindowWidth.offset);
static_assert(kWindowHeight.offset + kWindowHeight.size == kAddDatasetName.offset);
static_assert(kIndicatorCount.offset + 1 == kIndicators.offset);
static_assert(kIndicators.offset + kIndicators.size == kTitle.offset);
static_assert(kTitle.offset + kTitle.size == kPrintHeader.offset);
static_assert(kPrintHeader.offset + kPrintHeader.size == kPrintCaption.offset);
static_assert(kPrintCaption.offset + kPrintCaption.size == HistogramOptions::kRecordSize);

constexpr std::string_view kMarkerText = "HGOP";
constexpr std::uint16_t kBoxPlotMask =
    box_plot_option::kShowMean | box_plot_option::kShowAsymmetry | box_plot_option::kShowLevels;

// The switches in the order of their bytes.
template <class Options>
auto FirstSwitches(Options& o) {
  return std::array{&o.bars3d,        &o.binNumbers, &o.binCounts,   &o.binEdges, &o.barColours,
                    &o.valueSpectrum, &o.statistics, &o.uniqueCount, &o.boxPlot};
}
template <class Options>
auto SecondSwitches(Options& o) {
  return std::array{&o.toleranceInFull, &o.toleranceLimits, &o.nominal,    &o.mean,
                    &o.toleranceCentre, &o.normalCurve,     &o.sigmaLevels};
}
template <class Options>
auto ThirdSwitches(Options& o) {
  return std::array{&o.levelsInFull, &o.thickLine, &o.tailAnalysis, &o.keepParameterScale};
}

// A switch byte: 0 or 1, anything else keeps the default.
void ReadSwitch(std::string_view r, std::size_t off, bool& value) {
  const std::uint8_t b = GetU8(r, off);
  if (b <= 1) value = b == 1;
}

void ReadWindowSide(std::string_view r, std::size_t off, std::uint16_t& value) {
  const std::uint16_t v = GetU16(r, off);
  if (v == 0 || (v >= HistogramOptions::kMinWindowSide && v <= HistogramOptions::kMaxWindowSide)) value = v;
}

bool ValidIndicators(const std::vector<std::uint8_t>& list) {
  if (list.size() > HistogramOptions::kMaxIndicators) return false;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i] < 1 || list[i] > HistogramOptions::kIndicatorCount) return false;
    if (std::find(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(i), list[i]) !=
        list.begin() + static_cast<std::ptrdiff_t>(i)) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::vector<std::uint8_t> HistogramOptions::DefaultIndicators() { return {7, 14, 15, 22}; }

std::string EncodeHistogramOptions(const HistogramOptions& options) {
  // Values outside their ranges are written as their defaults, so what is written always reads.
  const HistogramOptions defaults;
  std::string r(HistogramOptions::kRecordSize, '\0');
  r.replace(kMarker.offset, kMarker.size, kMarkerText);
  PutU16(r, kVersionField.offset, HistogramOptions::kVersion);
  std::size_t off = kFirstSwitch;
  for (const bool* b : FirstSwitches(options)) PutU8(r, off++, *b ? 1 : 0);
  PutU16(r, kBoxPlotOptions.offset,
         (options.boxPlotOptions & ~kBoxPlotMask) == 0 ? options.boxPlotOptions : defaults.boxPlotOptions);
  off = kSecondSwitch;
  for (const bool* b : SecondSwitches(options)) PutU8(r, off++, *b ? 1 : 0);
  const bool levelOk = options.sigmaLevel >= 1 && options.sigmaLevel <= 9;
  PutU8(r, kSigmaLevel.offset, levelOk ? options.sigmaLevel : defaults.sigmaLevel);
  off = kThirdSwitch;
  for (const bool* b : ThirdSwitches(options)) PutU8(r, off++, *b ? 1 : 0);
  const auto side = [](std::uint16_t v) {
    return (v == 0 || (v >= HistogramOptions::kMinWindowSide && v <= HistogramOptions::kMaxWindowSide)) ? v
                                                                                                        : std::uint16_t{0};
  };
  PutU16(r, kWindowWidth.offset, side(options.windowWidth));
  PutU16(r, kWindowHeight.offset, side(options.windowHeight));
  PutU8(r, kAddDatasetName.offset, options.addDatasetName ? 1 : 0);
  PutU8(r, kNumberHistograms.offset, options.numberHistograms ? 1 : 0);
  const std::vector<std::uint8_t>& list = ValidIndicators(options.indicators) ? options.indicators : defaults.indicators;
  PutU8(r, kIndicatorCount.offset, static_cast<std::uint8_t>(list.size()));
  for (std::size_t i = 0; i < list.size(); ++i) PutU8(r, kIndicators.offset + i, list[i]);
  PutShortText(r, kTitle.offset, options.title, HistogramOptions::kTitleMax);
  PutShortText(r, kPrintHeader.offset, options.printHeader, HistogramOptions::kTitleMax);
  PutShortText(r, kPrintCaption.offset, options.printCaption, HistogramOptions::kTitleMax);
  return r;
}

HistogramOptions DecodeHistogramOptions(std::string_view r) {
  HistogramOptions o;
  if (r.size() < HistogramOptions::kRecordSize) return o;
  if (r.substr(kMarker.offset, kMarker.size) != kMarkerText) return o;
  const std::uint16_t version = GetU16(r, kVersionField.offset);
  if (version < 1 || version > HistogramOptions::kVersion) return o;

  std::size_t off = kFirstSwitch;
  for (bool* b : FirstSwitches(o)) ReadSwitch(r, off++, *b);
  const std::uint16_t boxPlot = GetU16(r, kBoxPlotOptions.offset);
  if ((boxPlot & ~kBoxPlotMask) == 0) o.boxPlotOptions = boxPlot;
  off = kSecondSwitch;
  for (bool* b : SecondSwitches(o)) ReadSwitch(r, off++, *b);
  const std::uint8_t level = GetU8(r, kSigmaLevel.offset);
  if (level >= 1 && level <= 9) o.sigmaLevel = level;
  off = kThirdSwitch;
  for (bool* b : ThirdSwitches(o)) ReadSwitch(r, off++, *b);
  ReadWindowSide(r, kWindowWidth.offset, o.windowWidth);
  ReadWindowSide(r, kWindowHeight.offset, o.windowHeight);
  ReadSwitch(r, kAddDatasetName.offset, o.addDatasetName);
  ReadSwitch(r, kNumberHistograms.offset, o.numberHistograms);

  const std::uint8_t count = GetU8(r, kIndicatorCount.offset);
  if (count <= HistogramOptions::kMaxIndicators) {
    std::vector<std::uint8_t> list(count);
    for (std::size_t i = 0; i < count; ++i) list[i] = GetU8(r, kIndicators.offset + i);
    if (ValidIndicators(list)) o.indicators = std::move(list);
  }
  if (GetU8(r, kTitle.offset) <= HistogramOptions::kTitleMax) {
    o.title = GetShortText(r, kTitle.offset, HistogramOptions::kTitleMax);
  }
  if (version >= 2) {  // version 1 kept these bytes reserved: its print texts are empty
    for (const auto& [field, text] : {std::pair{kPrintHeader, &o.printHeader}, std::pair{kPrintCaption, &o.printCaption}}) {
      if (GetU8(r, field.offset) <= HistogramOptions::kTitleMax) {
        *text = GetShortText(r, field.offset, HistogramOptions::kTitleMax);
      }
    }
  }
  return o;
}

std::string DefaultHistogramOptionsImage() { return EncodeHistogramOptions(HistogramOptions{}); }

std::string StatisticsChoiceText(std::size_t indicatorCount) {
  return "Статистика:  " + PluralRu(static_cast<std::int64_t>(indicatorCount), " показател", "ь", "я", "ей");
}

}  // namespace mv
