#pragma once
// The chart options: one record for every chart window, kept in the configuration file and,
// as a copy, in report pictures inside data files. Its bytes are a layout of ours with a marker
// and a version; a reader takes nothing on trust: bytes without our marker or of another
// version give the defaults, and every field that is out of its range takes its default.
//
// Layout, version 1 (little-endian; 1798 bytes: the record's 1797 and its end byte):
//   0  4  marker "MVCO"
//   4  2  version (1)
//   6  4  switches (bits of ChartSwitch; other bits must be 0)
//   10 1  criteria set 1..5
//   11 2  criteria mask (bits of C1..C10; for sets 1..4 the set's own mask)
//   13 1  criteria display flags (1, 2, 4, 32, 64)
//   14 1  span of the moving ranges 2..10
//   15 1  scale of the p chart 0..2 (share, percent, PPM)
//   16 1  scale of the u chart 0..2
//   17 2  box-plot options (1, 2, 4)
//   19 1  language of the chart titles (0 Russian, 1 English)
//   20 18 three window records (subgroup, individuals, attribute), 6 bytes each:
//         upper kind, lower kind (0 none), columns of the parameter table (32 bits)
//   version 2 only (version 1 kept 38..1796 reserved; it reads with these fields' defaults):
//   38 1  the histogram beside the chart: 1 the normal curve, 2 the bin counts (other bits 0)
//   39 251 print header: a length byte and 250 characters (Windows-1251)
//   290 251 print caption, as the header
//   541 .. 1796  reserved, written as 0 and not read
//   1797 1  end byte, written as 0 and not read

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "analysis/chart_data.h"
#include "analysis/special_causes.h"
#include "core/text.h"

namespace mv {

inline constexpr std::size_t kChartOptionsSize = 1798;
inline constexpr std::uint16_t kChartOptionsVersion = 2;

// The window types of the charts; each remembers its last kinds.
enum class ChartWindowType : std::uint8_t { Subgroup = 0, Individuals = 1, Attribute = 2 };

struct ChartWindowKinds {
  std::uint8_t upper = 0;
  std::uint8_t lower = 0;           // 0: no lower chart
  std::uint32_t columns = 0xFFFFFFFFU;  // shown columns of the parameter table, one bit each
  bool operator==(const ChartWindowKinds&) const = default;
};

namespace chart_histogram_look {
inline constexpr std::uint8_t kCurve = 1;   // the normal curve over the histogram beside the chart
inline constexpr std::uint8_t kCounts = 2;  // the counts of its bins
inline constexpr std::uint8_t kKnown = kCurve | kCounts;
}  // namespace chart_histogram_look

struct TChartOptions {
  static constexpr std::size_t kPrintTextMax = 250;
  bool controlLimits = true;       // "Показывать контрольную карту (LCL/UCL)"
  bool centralLineAlways = true;   // "Центральная линия (CL) выводится всегда"
  bool conclusion = true;          // "Показывать заключение о стабильности процесса"
  TCriteriaChoice criteria;        // set 2, series lines
  bool regulationLimits = false;   // X and M charts: "Показывать границы регулирования (LRL/URL)"
  bool dataRange = false;          // X and M charts: "Область данных"
  bool individualValues = false;   // with the band: "С отдельными замерами"
  bool toleranceWidth = false;     // R chart: "Показывать ширину допуска (USL-LSL)"
  std::uint8_t span = 2;           // "Объем выборки:" of the moving ranges, 2..10
  AttrScale pScale = AttrScale::Share;
  AttrScale uScale = AttrScale::Share;
  bool pQualityLimit = false;      // "Предельный уровень несоответствий (ПУН)" on p charts
  bool uQualityLimit = false;      // ... on u charts
  bool toleranceLines = false;     // "Границы допуска"
  bool absoluteScale = false;      // "Абсолютный масштаб"
  bool histogram = false;
  bool boxPlot = false;
  bool grid = false;
  bool events = false;
  bool dates = true;
  bool pointLabels = false;
  bool histogramCurve = true;      // the histogram beside the chart: the normal curve
  bool histogramCounts = false;    // ... and the counts of its bins
  std::uint16_t boxPlotOptions = 3;  // box_plot_option
  Lang language = Lang::Ru;
  // By ChartWindowType: subgroup X over R, individuals x over MR, attribute p alone.
  std::array<ChartWindowKinds, 3> windows{{{1, 2}, {5, 6}, {7, 0}}};
  // Printing ("Настройки печати контрольной карты"): "Заголовок:" and "Подпись:".
  std::string printHeader;
  std::string printCaption;

  AttrScale ScaleOf(ChartKind kind) const { return kind == ChartKind::U ? uScale : pScale; }
  bool operator==(const TChartOptions&) const = default;
};

// Bits of the switches word.
namespace chart_switch {
inline constexpr std::uint32_t kControlLimits = 1U << 0;
inline constexpr std::uint32_t kCentralLineAlways = 1U << 1;
inline constexpr std::uint32_t kConclusion = 1U << 2;
inline constexpr std::uint32_t kRegulationLimits = 1U << 3;
inline constexpr std::uint32_t kDataRange = 1U << 4;
inline constexpr std::uint32_t kIndividualValues = 1U << 5;
inline constexpr std::uint32_t kToleranceWidth = 1U << 6;
inline constexpr std::uint32_t kPQualityLimit = 1U << 7;
inline constexpr std::uint32_t kUQualityLimit = 1U << 8;
inline constexpr std::uint32_t kToleranceLines = 1U << 9;
inline constexpr std::uint32_t kAbsoluteScale = 1U << 10;
inline constexpr std::uint32_t kHistogram = 1U << 11;
inline constexpr std::uint32_t kBoxPlot = 1U << 12;
inline constexpr std::uint32_t kGrid = 1U << 13;
inline constexpr std::uint32_t kEvents = 1U << 14;
inline constexpr std::uint32_t kDates = 1U << 15;
inline constexpr std::uint32_t kPointLabels = 1U << 16;
inline constexpr std::uint32_t kKnown = (1U << 17) - 1;
}  // namespace chart_switch

// How a record was read.
enum class ChartOptionsRead : std::uint8_t {
  Ok = 0,
  Defaults = 1,  // no marker of ours, another version or too short: every field is the default
  Repaired = 2,  // ours, but some fields were out of range and took their defaults
};

// The record as kChartOptionsSize bytes.
std::string EncodeChartOptions(const TChartOptions& options);
// The record read from `bytes` (any length; fewer than the record's size gives the defaults).
ChartOptionsRead DecodeChartOptions(std::string_view bytes, TChartOptions& options);
// The bytes of the default record, for the configuration's default image of the area.
std::string DefaultChartOptionsImage();

}  // namespace mv
