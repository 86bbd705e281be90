#pragma once
// What the block window decides, without the widgets: its texts (title, caption, edit switch,
// status with the filter), the sample list's columns and cells, which commands are offered for
// a selection and the range that selection stands for, and the operations the commands run
// (through BlockEditing, which asks, tells and logs). The forms of the separation, merging and
// editing-settings dialogs are checked here too.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spc/dataset_spc.h"
#include "spc/editing_options.h"
#include "spc/sample_operations.h"

namespace mv {

// A run of consecutive samples, 1-based; empty when nothing is selected.
struct SelectedSamples {
  int first = 0;
  int last = 0;
  bool Empty() const { return first < 1 || last < first; }
  int Count() const { return Empty() ? 0 : last - first + 1; }
  bool Single() const { return !Empty() && first == last; }
  friend bool operator==(const SelectedSamples&, const SelectedSamples&) = default;
};

// The range from the lowest to the highest of the selected rows (0-based) that lie within a
// list of `count` rows; rows outside are ignored.
SelectedSamples RangeOfRows(const std::vector<int>& rows, int count);

// What the separation dialog shows and takes.
struct SeparationForm {
  std::string caption;  // "Разделение выборки 3"
  std::string text;     // the sample's size, date-time, note and event, CR LF between lines
  std::string sizeText;  // the size of the new samples, from the options
  bool copyNote = false;
};

// What the merging dialog shows and takes.
struct MergingForm {
  std::string text;  // count, numbers, points and period of the range, CR LF between lines
  bool datesOffered = false;  // mode 3: every sample of the range has a date
  MergeMode mode = MergeMode::All;  // 1..3 (the stored mode when offered, else 1)
  std::string nText;                // N as typed
  bool keepNotes = true;
  bool equalNotes = false;
};

// The pages of "Настройки редактирования данных": the three records as they will be stored.
struct EditingSettings {
  EditingOptions editing;
  SeparationOptions separation;
  SampleMergingOptions merging;
  std::string separationSizeText;  // as typed
  std::string mergeNText;          // as typed
};

class BlockWindowLogic {
 public:
  enum class Command : std::uint8_t { Add, Open, Delete, Up, Down, Separate, Merge, Settings };
  // The fixed columns before the parameters' values.
  static constexpr int kFixedColumns = 6;
  // A value cell lists the sample's first values of the parameter, then "…".
  static constexpr int kValuesShown = 12;

  // Block `position` of the dataset; both must outlive the logic.
  BlockWindowLogic(TDatasetSPC& ds, int position);

  TDatasetSPC& Dataset() { return m_ds; }
  const TSPCBlock& Block() const { return *m_ds.Block(m_editing.Position()); }
  int Position() const { return m_editing.Position(); }
  bool Quantitative() const { return Block().kind == DataKind::Var; }
  const EditingTalk& Talk() const { return m_editing.Talk(); }

  // The log lines of opening and closing the window.
  void Opened();
  void Closed();

  // "Блок данных "Партия 1"" (+ " - только просмотр" without the edit switch).
  std::string Title() const;
  // "Выборки (12):".
  std::string Caption() const;
  std::string SwitchText() const;
  bool Editable() const { return m_ds.blockEditingAllowed; }
  // "Замеров: 60" and, while the filter of the block's kind is in force, ",  фильтр "name" -
  // выборок: 10, замеров: 50" (those that meet its conditions).
  std::string StatusText() const;

  // The six fixed columns, then one per parameter of the block's kind (in their order) when
  // the editing options ask to show their values.
  int ColumnCount() const;
  std::vector<std::string> ColumnTitles() const;
  int RowCount() const { return Block().SampleCount(); }
  // The text of a cell (row 0-based); "" outside the list. A value cell holds the sample's
  // values of the parameter, "; " between them.
  std::string CellText(int row, int column) const;
  bool RowActive(int row) const;
  // Rereads the editing options (which columns are shown).
  void ReadOptions();

  // Whether the command is offered for the selected range.
  bool Enabled(Command command, SelectedSamples selection) const;

  // Adding: "" when a sample may be added, else the refusal (which has been shown).
  std::string CheckAdd();
  // After the sample window was closed: the block's statistics summed again.
  void SampleEdited();
  // Deletes the range after its question; true when samples went.
  bool Delete(SelectedSamples selection);
  // Moves the single selected sample up or down; the sample's new position, 0 when nothing
  // moved.
  int MoveUp(SelectedSamples selection);
  int MoveDown(SelectedSamples selection);

  // The separation of the selected sample: the form, then OK (true when separated; a refusal
  // or a declined question leaves the block as it was).
  SeparationForm SeparationFormOf(int position) const;
  bool Separate(int position, const SeparationForm& form);

  // The samples a merge covers: the selection, or the whole block for a single sample.
  SelectedSamples MergeRangeOf(SelectedSamples selection) const;
  MergingForm MergingFormOf(SelectedSamples range) const;
  // OK of the merging dialog over the range: N checked for mode 2 (the refusal shown), then
  // the merge. True when the block changed.
  bool Merge(SelectedSamples range, const MergingForm& form);
  // Whether N as typed is a merging count (2..200).
  static bool MergeCountValid(std::string_view nText);

  // The editing settings as stored, and OK of their dialog: the sizes checked ("Объем новых
  // выборок указан неверно", the merging count's refusal), the three records stored and the
  // dataset marked changed when they differ. False (with the refusal shown) when a field is
  // wrong.
  EditingSettings Settings() const;
  bool StoreSettings(const EditingSettings& settings);
  const EditingOptions& Options() const { return m_options; }

 private:
  bool RangeValid(SelectedSamples range) const;
  std::string ValuesText(const TSPCSample& sample, int parameter) const;

  TDatasetSPC& m_ds;
  BlockEditing m_editing;
  EditingOptions m_options;
  std::vector<int> m_valueColumns;  // parameter positions shown as columns
};

}  // namespace mv
