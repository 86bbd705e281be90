#pragma once
// The sample windows' decisions, without the windows: the titles, the new sample and its date,
// the grid of point entry of a quantitative sample (what each cell shows, where Enter goes,
// adding and deleting points, when a point and the sample may be left) and the alternative
// sample's form, checked and written.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/sample_editing.h"
#include "spc/dataset_spc.h"
#include "spc/editing_options.h"

namespace mv {

class TGageSet;
class TInputProfile;

// "Выборка 3/5 в блоке "Смена 1"", or for a new sample "Выборка 6 (новая) в блоке "Смена 1"".
std::string SampleWindowTitle(int position, int count, bool isNew, const std::string& blockName);

// Appends the new sample of the sample window: empty note and event, active, with the block's
// date and time marks, dated now when it is the block's first sample and otherwise with the
// previous sample's date-time (one day later when the options ask for the day after). Returns
// its position, 0 when the block is full or does not exist.
int AddNewSample(TDatasetSPC& ds, int block, const EditingOptions& options);

// What a date-time field shows: the value, or 1 January 1900 when it is not a valid date.
TDateTime ShownDateTime(TDateTime value);

// "Вы действительно хотите удалить замер #3 ?" or "... замеры с #2 по #5 ?".
std::string DeletePointsQuestion(int first, int last);

// The instruction under the input profile chooser: keyboard or gauge.
std::string ProfileInstruction(const TInputProfile& profile, const TGageSet& gages);

// The position of a value against its parameter's tolerance, for the position mark.
enum class TolerancePlace : std::uint8_t { None = 0, Inside = 1, Below = 2, Above = 3 };
TolerancePlace PlaceInTolerance(const TSPCParameter& parameter, double x);

// The point grid of one quantitative sample: one row per point and, below the last, the row of
// the next point (row PointCount(), which becomes a point when a value is entered in it); one
// column per quantitative parameter in their order. Rows and columns count from 0.
class PointGridLogic {
 public:
  PointGridLogic(TDatasetSPC& ds, int block, int sample, const EditingOptions& options);

  TDatasetSPC& Dataset() { return m_ds; }
  const TDatasetSPC& Dataset() const { return m_ds; }
  int BlockPosition() const { return m_block; }
  int SamplePosition() const { return m_sample; }
  TSPCSample& Sample() { return *m_ds.Block(m_block)->Sample(m_sample); }
  const TSPCSample& Sample() const { return *m_ds.Block(m_block)->Sample(m_sample); }
  const EditingOptions& Options() const { return m_options; }

  int Columns() const { return static_cast<int>(m_columns.size()); }
  // Points plus, while the dataset's edit switch is on, the row of the next point.
  bool Editable() const { return m_ds.blockEditingAllowed; }
  int Rows() const { return Sample().PointCount() + (Editable() ? 1 : 0); }
  bool IsNextPointRow(int row) const { return row == Sample().PointCount(); }
  int ParameterAt(int column) const;  // the parameter's position, 0 outside
  const TSPCParameter& ParameterOf(int column) const { return *m_ds.Parameter(ParameterAt(column)); }
  // The column heading: the name; for a relative parameter followed by a line with RelativeText.
  std::string Heading(int column) const;
  // What a cell shows and what its editor starts with: the value as entered (the relative
  // value of a relative parameter) with the parameter's decimals; "" when empty. The row of the
  // next point shows the default values it will get.
  std::string CellText(int row, int column) const;
  bool OutOfTolerance(int row, int column) const;
  TolerancePlace Place(int row, int column) const;

  // Confirms the text typed in a cell (SampleEntry::Confirm). In the row of the next point the
  // point is added first (CheckAddPoint; its refusal is the message), with the parameters'
  // default values.
  ValueConfirmation Confirm(int row, int column, const std::string& typed);
  // Adds the next point with its defaults; "" or the refusal.
  std::string AddPoint();
  // The cell Enter and Tab go to after (row, column): the next parameter of the point; after
  // the last one the first parameter of the next point, or with the options' "last edited"
  // start the parameter where entry of this point began.
  std::pair<int, int> NextCell(int row, int column) const;
  // Notes the cell where a value was entered (the start of the point's entry when it is the
  // first of its point).
  void NoteEntered(int row, int column);
  // Leaving a point by Enter: CheckLeavePoint ("" for the row of the next point).
  std::string CheckLeave(int row) const;
  // Points first..last (rows, 0-based) deleted after the question; true when deleted.
  bool DeletePoints(int firstRow, int lastRow);
  // Leaving the sample: the first point with a value missing that may not be skipped (its row
  // in `row`), then CheckLeaveSample. The sample's figures are summed again when it may be left.
  LeaveCheck CheckLeaveSample(int* row = nullptr);
  void Finish() { m_entry.Finish(); }

 private:
  void PointsChanged();

  TDatasetSPC& m_ds;
  int m_block;
  int m_sample;
  EditingOptions m_options;
  std::vector<int> m_columns;
  SampleEntry m_entry;
  int m_entryRow = -1;     // the point whose entry began in m_entryColumn
  int m_entryColumn = 0;
};

// The alternative sample window's fields.
struct AltSampleForm {
  bool active = true;
  TDateTime date = 0;  // the date part used when the block carries dates
  TDateTime time = 0;  // the time part used when it carries times
  std::string note;
  std::string event;
  AltSampleEntry entry;  // size and counts as typed
};

// What the form of sample `position` (0: a new sample) starts with: its own data, or for a new
// sample active, empty, the block's fixed size and the date-time AddNewSample would give.
AltSampleForm LoadAltSample(const TDatasetSPC& ds, int block, int position);

struct AltSaveResult {
  std::string message;  // the refusal; empty when saved
  int position = 0;     // the sample's position (a new one appended)
  bool written = false; // something differed and was stored
  bool Ok() const { return message.empty(); }
};
// Checks the form (CheckAltSample) and writes it into sample `position` (0: appends a new
// sample with one point; "Сбой при создании замера" when that fails) only when something
// differs from what it held. A changed count gets the edited mark, a new sample's slots lose
// the not-entered mark; the sample is filtered and its and the block's figures renewed, and the
// sample and the dataset are marked changed.
AltSaveResult SaveAltSample(TDatasetSPC& ds, int block, int position, const AltSampleForm& form);

// The next button of both sample windows: "Следующая выборка" while later samples exist, "Новая
// выборка" at the last one when editing is allowed, "" (not offered) otherwise.
std::string NextSampleButtonText(const TDatasetSPC& ds, int block, int position);

}  // namespace mv
