#pragma once
// The state and rules of a chart window, without the window: its type, the upper and lower
// kinds it allows, up to 7 parameters with the current one, the chosen point, the rebuild of
// both charts after every change, and the activation of samples from the chart. The window
// draws the charts this object holds and forwards every command to it.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "analysis/chart_texts.h"
#include "analysis/control_chart.h"
#include "analysis/param_columns.h"
#include "analysis/param_stat.h"

namespace mv {

inline constexpr std::string_view kTooFewActivePoints =
    "Нельзя деактивировать точку, т.к. активных точек на карте слишком мало";
inline constexpr std::string_view kActivateAllCommand = "Активировать все точки";

// The window type that shows a kind: subgroup (1..4), individuals (5, 6), attribute (7..10).
ChartWindowType WindowTypeOf(ChartKind kind);
// The upper kinds a window type offers, and the lower kinds under an upper kind (without
// "none", which is always offered).
std::vector<ChartKind> UpperKindsOf(ChartWindowType type);
std::vector<ChartKind> LowerKindsOf(ChartKind upper);

// Texts that name the subgroup chart kind pairs offered for a data kind when a chart is opened
// from a list of blocks, with the kinds they open. The default of a block: x-MR for individual
// values, else X̄-R.
struct ChartLaunchChoice {
  std::string text;
  ChartKind upper = ChartKind::Mean;
  std::optional<ChartKind> lower;
  bool blockDefault = false;  // the kinds follow the first block's grouping
};
std::vector<ChartLaunchChoice> ChartLaunchChoices(DataKind kind);
// The pair a block's default chart opens.
ChartLaunchChoice DefaultChartOfBlock(const TSPCBlock& block);

class ChartWindowLogic {
 public:
  static constexpr std::size_t kMaxParameters = TChartTask::kMaxParameters;
  // Blocks a chart opened from a list takes at most.
  static constexpr std::size_t kMaxBlocks = 20;

  // The window over the selection of `dataset` with the kinds and parameters given (parameters
  // that do not fit the upper kind are dropped, at most 7 are kept). Call Rebuild() to build.
  ChartWindowLogic(TDatasetSPC& dataset, SampleSelection selection, ChartKind upper, std::optional<ChartKind> lower,
                   std::vector<int> parameters, const TChartOptions& options);

  // --- state ---
  ChartWindowType Type() const { return m_type; }
  ChartKind Upper() const { return m_upper; }
  std::optional<ChartKind> Lower() const { return m_lower; }
  const std::vector<int>& Parameters() const { return m_task.parameters; }
  std::size_t Current() const { return m_task.current; }
  const TChartOptions& Options() const { return m_options; }
  const SampleSelection& Selection() const { return m_task.selection; }
  const TDatasetSPC& Dataset() const { return *m_dataset; }

  // The charts of the last build; nullptr for a chart that is not there (no lower kind, or the
  // build refused it).
  const TChart* Chart(int number) const;
  bool Built() const { return m_upperBuilt; }
  int ChartCount() const { return m_upperBuilt ? (m_lowerBuilt ? 2 : 1) : 0; }

  // --- commands; each rebuilds both charts ---
  // Builds both charts. A refusal is shown once (the error window) and the chart is not there;
  // false when the upper chart could not be built.
  bool Rebuild();
  // False (nothing changes) for a kind the window type does not offer.
  bool SetUpper(ChartKind upper);
  // Nothing removes the lower chart; false for a kind not allowed under the upper one.
  bool SetLower(std::optional<ChartKind> lower);
  // The individuals window's MR button: the moving-range chart below or none.
  void ToggleMovingRange();
  void SetOptions(const TChartOptions& options);
  void SetCriteria(const TCriteriaChoice& choice);
  // Adds the parameters that fit and are not shown yet, up to 7 in all; the count added.
  std::size_t AddParameters(const std::vector<int>& positions);
  // Removes parameter `index` (0-based in Parameters()); the last one stays.
  bool RemoveParameter(std::size_t index);
  bool SetCurrent(std::size_t index);

  // --- the chosen point ---
  struct ChosenPoint {
    int chart = 1;            // 1 upper, 2 lower
    std::uint32_t index = 0;  // 1-based; 0 none
  };
  ChosenPoint Chosen() const { return m_chosen; }
  // False when the chart or the index does not exist.
  bool Choose(int chart, std::uint32_t index);
  // Moves the chosen point by delta entries within its chart (the first point when none).
  void MoveChosen(int delta);

  // --- activation (subgroup and attribute windows) ---
  bool ActivationOffered() const { return m_type != ChartWindowType::Individuals; }
  // "Деактивировать выборку 5" / "Активировать выборку 5" for the chosen point; "" without one.
  std::string ActivationCommandText() const;
  // Toggles the chosen sample's activity: deactivating is refused with the message above when
  // the chart has 2 active points or fewer. The sample and the dataset become changed, the
  // block's statistics are recomputed and the charts rebuilt. False when nothing changed.
  bool ToggleChosenActivation();
  // Some entry of the upper chart is an inactive sample.
  bool SomeInactive() const;
  // Activates every inactive sample of the chart; the count activated.
  int ActivateAll();

  // --- the parameter table under the charts ---
  // One row per parameter of the window, in the window's order, with the catalogue's columns
  // the options choose for the window type (captions: the short names), over each parameter's
  // statistics on the window's selection; renewed by every build.
  const ParamTable& ParameterTable() const { return m_table; }
  const std::vector<TParamStat>& ParameterStats() const { return m_stats; }
  // The columns offered to the window type, each with whether it is shown.
  std::vector<std::pair<int, bool>> TableColumnChoice() const;
  // Shows or hides column `number` (bit number - 1 of the window type's columns in the
  // options); false for a column the window type does not offer. The charts are not rebuilt.
  bool ShowTableColumn(int number, bool shown);

  // --- texts ---
  std::string Caption() const;
  std::string PairText() const { return ChartPairText(m_upper, m_lower); }
  ChartConclusion Conclusion(int chart) const;
  std::string Calculations() const;
  std::string ChosenPointInformation() const;
  std::string MouseText(int chart, std::uint32_t index) const;
  std::string CriteriaText(int chart) const;
  // The print title: the caption, in the standard form with its suffix.
  std::string PrintTitle(bool gostForm) const;
  // The standard form refuses (the message shown) every pair but X-R, X-S, Me-R and x-MR.
  bool CheckGostForm() const;

 private:
  void RememberKinds();
  void ClampChosen();
  void RenewParameterTable();

  TDatasetSPC* m_dataset;
  ChartWindowType m_type;
  ChartKind m_upper;
  std::optional<ChartKind> m_lower;
  TChartTask m_task;
  TChartOptions m_options;
  std::array<TChart, 2> m_charts;
  bool m_upperBuilt = false;
  bool m_lowerBuilt = false;
  ChosenPoint m_chosen;
  std::vector<TParamStat> m_stats;
  ParamTable m_table;
};

}  // namespace mv
