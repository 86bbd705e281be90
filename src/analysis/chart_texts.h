#pragma once
// The texts of the chart window over built charts: the window caption, the conclusion line
// with its good/bad mark, the zone analysis, the calculations text, the point information with
// its verdict, the mouse texts over a point and over the criteria area, the check of the
// printed standard form and the messages of the parameter choice. Each is a function of the
// chart model, so the window, the printer and the reports show the same words.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/control_chart.h"

namespace mv {

// The name that stands for a dataset in captions: its process name, else its file name
// without the folder.
std::string DatasetDisplayName(const TDatasetSPC& dataset);

// "средних значений и размахов (XR-chart)", ... for the pair of kinds of a window (no lower
// chart: nothing). A pair the table does not name takes the text of its upper kind alone.
std::string ChartPairText(ChartKind upper, std::optional<ChartKind> lower);

// "Контрольная карта " + pair text + (one block: " блок \"" + its name + "\"") + " - " +
// the dataset's display name.
std::string ChartWindowCaption(ChartKind upper, std::optional<ChartKind> lower, const SampleSelection& selection);

// --- conclusion line ---

enum class ConclusionMark : std::uint8_t { None = 0, Good = 1, Bad = 2 };

struct ChartConclusion {
  std::string text;  // empty: the chart has no conclusion line
  ConclusionMark mark = ConclusionMark::None;
};

// Series counted on the conclusion line: the hits of every criterion but C1 (beyond points
// give C1 hits, runs give the others), so a criteria choice without C1 still counts its runs.
std::uint32_t SeriesHitCount(const CDataSet& set);

// The conclusion of the current parameter under the chart's limits: control limits shown
// ("Контрольная карта[ (n=w)]: ..." with the criteria found of those in force), regulation
// limits ("Границы регулирования: ..."), an np or c chart whose sample sizes differ (the
// explanation, no mark); nothing otherwise. `criteriaInForce` is the number of criteria of the
// window's choice.
ChartConclusion ConclusionLine(const TChart& chart, int criteriaInForce);

// --- zone analysis ---

// "Анализ зон КК: вне - 0%, A - 5%, B - 25%, C - 70%".
std::string ZoneAnalysisShort(const TZoneStat& stat);
// "Анализ зон контрольной карты:  Вне границ - 0 (0.00%, норма 0.27%);  Зона A - ...".
std::string ZoneAnalysisFull(const TZoneStat& stat);

// --- calculations and point information (text windows, CR LF lines) ---

inline constexpr std::string_view kCalculationsTitle = "Расчеты контрольной карты";
inline constexpr std::string_view kPointInformationTitle = "Информация о точке карты";

// For each chart "***** " + its title, then per parameter its centre line, limits, zone bands
// with their counts and, on the individuals chart, the capability figures. Values with the
// chart's decimals.
std::string CalculationsText(const std::vector<const TChart*>& charts, const TDatasetSPC& dataset);

// The information about point `index` (1-based) of `chart`: its rows, the sample's measured
// values on a sample chart, and with control limits its position, the long texts of the series
// it belongs to and the verdict. Empty for an index outside the chart.
std::string PointInformationText(const TChart& chart, const TDatasetSPC& dataset, std::uint32_t index);

// The verdict texts that end the point information.
inline constexpr std::string_view kSpecialCausesVerdict =
    "ОСОБЫХ причин изменчивости.\r\n\r\nРекомендации: Следует изучить эти причины (см.выше проявления критериев "
    "особых причин) и реализовать корректирующие действия для их устранения, соразмерно ущербу, причиняемому "
    "процессу этими причинами.\r\nДля лучшего понимания причин изменчивости следует изучить примечания и записи о "
    "событиях в этой и нескольких предшествующих точках. При сборе данных рекомендуется фиксировать в свойствах "
    "выборок все факты, существенные для понимания изменчивости процесса.";
inline constexpr std::string_view kCommonCausesVerdict =
    "только обычных причин изменчивости.\r\n\r\nРекомендации: Судя по этой точке, вмешательство в процесс не "
    "требуется, однако следует изучить другие точки и другие виды контрольных карт - результат может быть иным.";
inline constexpr std::string_view kChartNotApplied = "Контрольная карта не применяется для данного параметра";

// "+1.5 sigma (Зона B)", "-3.2 sigma (ниже LCL)": the point's distance from the centre line in
// zone sigmas and its place. Empty without zones or for an index outside the data set.
std::string PointPositionText(const CDataSet& set, std::uint32_t index);

// --- mouse texts ---

// The status-line text over point `index` of `chart`; empty outside the chart.
std::string PointMouseText(const TChart& chart, const TDatasetSPC& dataset, std::uint32_t index);
// "Зона критериев особых причин вариации - обнаружено 2 из 3 проверенных [ C1 C2 ]".
std::string CriteriaAreaText(const TChart& chart, int criteriaInForce);

// --- the printed standard form ---

inline constexpr std::string_view kGostTitleSuffix = " по форме ГОСТ Р 51814.3-2001";
inline constexpr std::string_view kGostRefusal =
    "Текущая контрольная карта не может быть построена по форме ГОСТ Р 51814.3-2001.\r\nДопустимые виды карт:  "
    "X-R,  X-S,  Me-R,  x-MR";
// X-R, X-S, Me-R and x-MR may be printed in the standard form.
bool GostFormAllowed(ChartKind upper, std::optional<ChartKind> lower);

// --- parameter choice ---

inline constexpr std::string_view kNoParameterChosen = "Не выбран ни один параметр";
inline constexpr std::string_view kNoDisplayableParameters =
    "Не выбраны параметры, которые могут отображаться на данной карте";
inline constexpr std::string_view kAttributeParameterMark = "  (признак)";

// "Отметьте параметры, по которым будет построена\r\nконтрольная карта " + the pair text.
std::string ParameterChoicePrompt(std::string_view pairText);
// "В текущем наборе нет ни одного параметра, по которому можно было бы построить контрольную
// карту " + the pair text.
std::string NoFittingParameterText(std::string_view pairText);

struct ParameterChoiceItem {
  int position = 0;  // in the dataset
  std::string text;  // the name, alternative parameters with "  (признак)"
};
// The parameters of the dataset a chart of `kind` can show, in order.
std::vector<ParameterChoiceItem> ParameterChoiceItems(const TDatasetSPC& dataset, ChartKind kind);

}  // namespace mv
