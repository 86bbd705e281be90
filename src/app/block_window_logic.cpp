#include "app/block_window_logic.h"

#include <algorithm>

#include "core/messages.h"
#include "core/numbers.h"
#include "core/text.h"
#include "spc/sample_filter.h"

namespace mv {
namespace {

std::string Num(std::int64_t n) { return FormatInt(n); }

constexpr const char* kFixedTitles[BlockWindowLogic::kFixedColumns] = {
    "#", "Объем выборки", "К-во замеров", "Дата и время", "Примечание", "Событие"};

constexpr const char* kSeparationSizeError = "Объем новых выборок указан неверно";

}  // namespace

SelectedSamples RangeOfRows(const std::vector<int>& rows, int count) {
  SelectedSamples r;
  for (const int row : rows) {
    if (row < 0 || row >= count) continue;
    const int position = row + 1;
    if (r.Empty()) {
      r.first = r.last = position;
    } else {
      r.first = std::min(r.first, position);
      r.last = std::max(r.last, position);
    }
  }
  return r;
}

BlockWindowLogic::BlockWindowLogic(TDatasetSPC& ds, int position) : m_ds(ds), m_editing(ds, position) { ReadOptions(); }

void BlockWindowLogic::Opened() { m_editing.LogOpened(); }
void BlockWindowLogic::Closed() { m_editing.LogClosed(); }

void BlockWindowLogic::ReadOptions() {
  m_options = ReadEditingOptions(m_ds);
  m_valueColumns.clear();
  if (m_options.showValues) m_valueColumns = m_ds.OrderList(Block().kind);
}

std::string BlockWindowLogic::Title() const {
  return "Блок данных " + Quoted(Block().name) + (Editable() ? "" : " - только просмотр");
}

std::string BlockWindowLogic::Caption() const { return "Выборки (" + Num(Block().SampleCount()) + "):"; }

std::string BlockWindowLogic::SwitchText() const { return EditSwitchText(m_ds); }

std::string BlockWindowLogic::StatusText() const {
  const TSPCBlock& b = Block();
  int points = 0;
  for (const TSPCSample& s : b.Samples()) points += s.PointCount();
  std::string text = "Замеров: " + Num(points);
  const SampleFilter filter = ReadFilter(m_ds, b.kind);
  if (filter.InForce()) {
    const FilterMeeting meeting = CountMeeting(b);
    text += ",  фильтр " + Quoted(FilterName(filter)) + " - выборок: " + Num(meeting.samples) +
            ", замеров: " + Num(meeting.points);
  }
  return text;
}

int BlockWindowLogic::ColumnCount() const { return kFixedColumns + static_cast<int>(m_valueColumns.size()); }

std::vector<std::string> BlockWindowLogic::ColumnTitles() const {
  std::vector<std::string> titles(std::begin(kFixedTitles), std::end(kFixedTitles));
  for (const int p : m_valueColumns) {
    const TSPCParameter* parameter = m_ds.Parameter(p);
    titles.push_back(parameter ? parameter->name : std::string());
  }
  return titles;
}

std::string BlockWindowLogic::ValuesText(const TSPCSample& sample, int parameter) const {
  const TSPCParameter* param = m_ds.Parameter(parameter);
  if (!param) return {};
  std::string text;
  int shown = 0;
  for (const TFileSmpPoint point : sample.Points()) {
    if (!point.HasValue(parameter)) continue;
    if (shown == kValuesShown) return text + "; …";
    if (shown++ > 0) text += "; ";
    text += param->FormatValue(point.Value(parameter));
  }
  return text;
}

std::string BlockWindowLogic::CellText(int row, int column) const {
  const TSPCBlock& b = Block();
  const TSPCSample* s = b.Sample(row + 1);
  if (!s || column < 0 || column >= ColumnCount()) return {};
  switch (column) {
    case 0: return Num(row + 1);
    case 1: return Num(b.kind == DataKind::Var ? s->PointCount() : s->sampleSize);
    case 2: return Num(s->countedPoints);
    case 3: return s->Text();
    case 4: return s->Note();
    case 5: return s->Event();
    default: return ValuesText(*s, m_valueColumns[static_cast<std::size_t>(column - kFixedColumns)]);
  }
}

bool BlockWindowLogic::RowActive(int row) const {
  const TSPCSample* s = Block().Sample(row + 1);
  return s && s->IsActive();
}

bool BlockWindowLogic::RangeValid(SelectedSamples range) const {
  return !range.Empty() && range.last <= Block().SampleCount();
}

bool BlockWindowLogic::Enabled(Command command, SelectedSamples selection) const {
  const bool valid = RangeValid(selection);
  const TSPCBlock& b = Block();
  switch (command) {
    case Command::Open: return valid && selection.Single();
    case Command::Settings: return true;
    default: break;
  }
  if (!Editable()) return false;
  switch (command) {
    case Command::Add: return true;  // at 1000 samples the command says why it cannot
    case Command::Delete: return valid;
    case Command::Up: return valid && selection.Single() && selection.first > 1;
    case Command::Down: return valid && selection.Single() && selection.last < b.SampleCount();
    case Command::Separate:
      return valid && selection.Single() && Quantitative() && b.Sample(selection.first)->PointCount() > 1;
    case Command::Merge: return valid && Quantitative() && MergeRangeOf(selection).Count() > 1;
    default: return false;
  }
}

std::string BlockWindowLogic::CheckAdd() {
  if (Block().SampleCount() < static_cast<int>(kMaxSamples)) return {};
  const std::string text = "Количество выборок в данном блоке достигло предела";
  ShowError(text);
  return text;
}

void BlockWindowLogic::SampleEdited() { m_ds.SumUpBlockStats(Position()); }

bool BlockWindowLogic::Delete(SelectedSamples selection) {
  if (!RangeValid(selection)) return false;
  return m_editing.DeleteSamples(selection.first, selection.last);
}

int BlockWindowLogic::MoveUp(SelectedSamples selection) {
  if (!Enabled(Command::Up, selection)) return 0;
  return m_editing.ExchangeSamples(selection.first, selection.first - 1) ? selection.first - 1 : 0;
}

int BlockWindowLogic::MoveDown(SelectedSamples selection) {
  if (!Enabled(Command::Down, selection)) return 0;
  return m_editing.ExchangeSamples(selection.first, selection.first + 1) ? selection.first + 1 : 0;
}

SeparationForm BlockWindowLogic::SeparationFormOf(int position) const {
  SeparationForm form;
  form.caption = BlockEditing::SeparationCaption(position);
  form.text = m_editing.SeparationText(position);
  const SeparationOptions options = ReadSeparationOptions(m_ds);
  form.sizeText = Num(options.Size());
  form.copyNote = options.CopyNote();
  return form;
}

bool BlockWindowLogic::Separate(int position, const SeparationForm& form) {
  return m_editing.SeparateSample(position, form.sizeText, form.copyNote);
}

SelectedSamples BlockWindowLogic::MergeRangeOf(SelectedSamples selection) const {
  if (!RangeValid(selection)) return {};
  if (selection.Single()) return {1, Block().SampleCount()};
  return selection;
}

MergingForm BlockWindowLogic::MergingFormOf(SelectedSamples range) const {
  MergingForm form;
  if (!RangeValid(range)) return form;
  form.text = m_editing.MergingText(range.first, range.last);
  form.datesOffered = true;
  for (int i = range.first; i <= range.last; ++i) {
    if ((Block().Sample(i)->flags & sample_flag::kHasDate) == 0) form.datesOffered = false;
  }
  const SampleMergingOptions options = ReadMergingOptions(m_ds);
  form.mode = options.mode;
  if (form.mode == MergeMode::None || (form.mode == MergeMode::EqualDates && !form.datesOffered)) {
    form.mode = MergeMode::All;
  }
  form.nText = Num(options.N());
  form.keepNotes = options.KeepNotes();
  form.equalNotes = options.EqualNotes();
  return form;
}

bool BlockWindowLogic::Merge(SelectedSamples range, const MergingForm& form) {
  if (!RangeValid(range)) return false;
  if (form.mode == MergeMode::None || (form.mode == MergeMode::EqualDates && !form.datesOffered)) return false;
  SampleMergingOptions options = ReadMergingOptions(m_ds);
  options.mode = form.mode;
  if (form.mode == MergeMode::ByN) {
    const auto n = ParseInteger(Trim(form.nText), 2, SampleMergingOptions::kMaxN);
    if (!n) {
      ShowError(BlockEditing::MergeCountError());
      return false;
    }
    options.n = static_cast<std::uint16_t>(*n);
  }
  options.flags = static_cast<std::uint16_t>((form.keepNotes ? merge_flag::kKeepNotes : 0) |
                                             (form.equalNotes ? merge_flag::kEqualNotes : 0));
  return m_editing.MergeSamples(range.first, range.last, options);
}

bool BlockWindowLogic::MergeCountValid(std::string_view nText) {
  return ParseInteger(Trim(nText), 2, SampleMergingOptions::kMaxN).has_value();
}

EditingSettings BlockWindowLogic::Settings() const {
  EditingSettings s;
  s.editing = ReadEditingOptions(m_ds);
  s.separation = ReadSeparationOptions(m_ds);
  s.merging = ReadMergingOptions(m_ds);
  s.separationSizeText = Num(s.separation.Size());
  s.mergeNText = Num(s.merging.N());
  return s;
}

bool BlockWindowLogic::StoreSettings(const EditingSettings& settings) {
  const auto size = ParseInteger(Trim(settings.separationSizeText), 1, static_cast<std::int64_t>(kMaxPoints));
  if (!size) {
    ShowError(kSeparationSizeError);
    return false;
  }
  const auto n = ParseInteger(Trim(settings.mergeNText), 2, SampleMergingOptions::kMaxN);
  if (!n) {
    ShowError(BlockEditing::MergeCountError());
    return false;
  }
  EditingOptions editing = settings.editing;
  editing.flags = static_cast<std::uint16_t>(editing.flags & editing_flag::kAll);
  editing.newSampleDate = editing.newSampleDate != 0 ? 1 : 0;
  editing.entryStart = editing.entryStart != 0 ? 1 : 0;
  SeparationOptions separation = settings.separation;
  // A size or count that reads as it did keeps its bytes (0 stands for 5).
  if (*size != separation.Size()) separation.size = static_cast<std::uint16_t>(*size);
  SampleMergingOptions merging = settings.merging;
  if (*n != merging.N()) merging.n = static_cast<std::uint16_t>(*n);
  merging.flags = static_cast<std::uint16_t>(merging.flags & merge_flag::kAll);
  bool changed = WriteEditingOptions(m_ds, editing);
  changed = WriteSeparationOptions(m_ds, separation) || changed;
  changed = WriteMergingOptions(m_ds, merging) || changed;
  if (changed) m_ds.Touch();
  ReadOptions();
  return true;
}

}  // namespace mv
