#pragma once
// The rules of the dialogs around the chart and histogram windows, without the dialogs: the
// criteria choice being edited, and the choice of blocks and samples an analysis is opened on.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "analysis/chart_data.h"
#include "analysis/sample_selection.h"
#include "analysis/special_causes.h"

namespace mv {

inline constexpr std::string_view kCriteriaDialogTitle = "Критерии наличия особых причин для контрольной карты";
// The two blanks are the system's.
inline constexpr std::string_view kCriteriaGridCaption =
    "Изменение применяемых критериев возможно только для набора \"Произвольный  выбор\"";
inline constexpr std::string_view kCriteriaColumns[] = {" Акт.", " Название критерия", " SPC 1 изд.", " SPC 2 изд.",
                                                        " ГОСТ Р 7870-2"};
inline constexpr std::string_view kZonesGroupTitle = " Зоны контрольной карты (A/B/C) ";

struct DisplayFlagText {
  std::uint8_t flag;
  std::string_view text;
};
inline constexpr DisplayFlagText kDisplayFlagTexts[] = {
    {criteria_display::kSeriesLines,
     "Показывать серии на карте (в виде соединительных линий и подписей у начальной точки серии)"},
    {criteria_display::kRibbons, "Показывать серии в виде ленты под картой"},
    {criteria_display::kPointNumbers, "с указанием номеров точек, попавших в серию"},
    {criteria_display::kZones, "Показывать зоны на контрольной карте"},
    {criteria_display::kZoneAnalysis, "Показывать анализ зон (статистика)"},
};

// The criteria choice as the dialog edits it for one chart kind.
class CriteriaEditor {
 public:
  CriteriaEditor(ChartKind kind, const TCriteriaChoice& choice);

  int Set() const { return m_set; }
  // The rows of the grid: the criteria the kind admits, in order.
  const std::vector<int>& Rows() const { return m_rows; }
  // The grid (and its caption) can be edited only under the custom set.
  bool GridEnabled() const { return m_set == kCustomCriteriaSet; }
  // The mask the grid shows: the set's own, or the edited one under the custom set.
  std::uint16_t ShownMask() const;
  bool Active(int criterion) const { return (ShownMask() & CriterionBit(criterion)) != 0; }
  // " C2: 7 точек подряд ..." for the grid; "C2: 7 точек подряд ..." for the definition line.
  static std::string RowName(int criterion);
  static std::string Definition(int criterion);
  // The criterion belongs to set 2, 3 or 4 (the last three columns).
  static bool InSet(int criterion, int set) { return (CriteriaSetMask(set) & CriterionBit(criterion)) != 0; }
  bool ZonesShown() const { return m_zones; }

  // Shows another set (1..5; others change nothing).
  void ChooseSet(int set);
  // The double click: toggles a criterion, only under the custom set; false otherwise.
  bool Toggle(int criterion);
  std::uint8_t Display() const { return m_display; }
  void SetDisplayFlag(std::uint8_t flag, bool on);

  // What OK stores: the set, its mask (the edited one under the custom set) limited to what the
  // kind admits, and the display flags.
  TCriteriaChoice Result() const;

 private:
  ChartKind m_kind;
  int m_set;
  std::uint16_t m_customMask;
  std::uint8_t m_display;
  std::vector<int> m_rows;
  bool m_zones = true;
};

// The choice of blocks and samples an analysis opens on ("Все блоки (n)", one block with all its
// samples "все (n шт.)" or a range), over the blocks of one data kind.
class SampleRangeChoice {
 public:
  SampleRangeChoice(const TDatasetSPC& dataset, DataKind kind);

  // "<нет блоков количественных данных>" alone when there are none; else "Все блоки (n)" and
  // the block names.
  std::vector<std::string> BlockTexts() const;
  bool HasBlocks() const { return !m_blocks.empty(); }
  // Row 0 is every block; row i the i-th block of the kind.
  void ChooseRow(int row) { m_row = row; }
  int Row() const { return m_row; }
  // A range can be given only over one block.
  bool RangeOffered() const { return m_row >= 1 && m_row <= static_cast<int>(m_blocks.size()); }
  // "все (12 шт.)" for the chosen block; "" for every block.
  std::string AllSamplesChoiceText() const;
  // The selection; with a range its numbers are checked (the error shown, nothing returned).
  std::optional<SampleSelection> Result(bool allSamples, std::string_view fromText, std::string_view toText) const;

 private:
  const TDatasetSPC* m_dataset;
  std::vector<int> m_blocks;  // positions of the blocks of the kind
  int m_row = 0;
};

}  // namespace mv
