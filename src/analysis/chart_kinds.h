#pragma once
// The table of chart kinds: code, titles in two languages, what kind of chart each is, the
// combinations a chart window allows, the scales of the p and u charts, and the short codes
// and titles of the chart's lines.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/chart_data.h"
#include "core/text.h"

namespace mv {

// Kind numbers run 1..10; number 11 ("n") exists in the table of kinds and has no chart.
inline constexpr int kChartKindCount = 10;
inline constexpr int kChartKindTableCount = 11;

// The kind of a number 1..10; nothing otherwise.
std::optional<ChartKind> ChartKindOf(int number);
inline int ChartKindNumber(ChartKind kind) { return static_cast<int>(kind); }

// "X", "R", "S", "M", "x", "MR", "p", "np", "c", "u", and "n" for 11; "???" outside 1..11.
std::string_view ChartKindCode(int number);
inline std::string_view ChartKindCode(ChartKind kind) { return ChartKindCode(ChartKindNumber(kind)); }
// The kind with this code (case matters: "X" is the mean chart, "x" the individuals chart).
std::optional<ChartKind> ChartKindOfCode(std::string_view code);

// "Карта средних значений" / "X-bar Chart", ...; the moving-range chart adds " (n=" span ")".
std::string ChartKindTitle(ChartKind kind, Lang lang, int span = 2);

// The plotted values are in the parameter's own units, so tolerance lines apply (X, M, x).
bool IsCharacteristicChart(ChartKind kind);
// Kinds 1 and 3 show their values with one decimal more than the parameter has.
int ChartExtraDecimals(ChartKind kind);
// The kinds that may sit under `upper` in one window (the upper kinds 1..4 take 1..4 below,
// 5 takes 6, the attribute kinds none). Nothing below is always allowed.
bool LowerKindAllowed(ChartKind upper, ChartKind lower);
// Kinds that may be the upper chart of a window: every kind but the moving-range chart.
bool UpperKindAllowed(ChartKind upper);

// --- scales of the p and u charts (k = 1, 100, 1 000 000) ---

// "Доля  (от 0 до 1)", "Процент" (p) or "Число несоответствий на 100 единиц" (u), "PPM".
std::string_view AttrScaleName(AttrScale scale, ChartKind kind);
// The unit of the plotted values: "" for a share, "%" (p) or "нст/100ед" (u), "PPM".
std::string_view AttrScaleUnit(AttrScale scale, ChartKind kind);

// --- short codes of the chart's objects ---

// 1 "USL", 2 "LSL", 3 "Nom", 4 "UCL", 5 "LCL", 6 "CL"; "???" for any other number.
std::string_view ChartAlias(int number);
namespace chart_alias {
inline constexpr int kUsl = 1, kLsl = 2, kNominal = 3, kUcl = 4, kLcl = 5, kCl = 6;
}  // namespace chart_alias
inline constexpr std::string_view kLrlCode = "LRL";
inline constexpr std::string_view kUrlCode = "URL";

// Limit mode of a chart.
enum class LimitMode : std::uint8_t { None = 0, Control = 1, Regulation = 2 };

// Titles of the limits and of their pair.
std::string_view LowerLimitTitle(LimitMode mode, Lang lang);
std::string_view UpperLimitTitle(LimitMode mode, Lang lang);
std::string_view LimitPairTitle(LimitMode mode, Lang lang);
std::string_view CentralLineTitle(Lang lang);

}  // namespace mv
