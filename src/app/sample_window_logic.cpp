#include "app/sample_window_logic.h"

#include <cmath>

#include "core/date_time.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/text.h"
#include "spc/gages.h"
#include "spc/input_profiles.h"
#include "spc/sample_filter.h"

namespace mv {
namespace {

// The last day a date-time field can show: 31.12.9999.
constexpr TDateTime kLastDay = 2958465;

TDateTime DayOf(TDateTime value) { return std::trunc(value); }
TDateTime TimeOf(TDateTime value) { return std::fabs(value - std::trunc(value)); }

}  // namespace

std::string SampleWindowTitle(int position, int count, bool isNew, const std::string& blockName) {
  return "Выборка " + FormatInt(position) + (isNew ? std::string(" (новая)") : "/" + FormatInt(count)) + " в блоке " +
         Quoted(blockName);
}

int AddNewSample(TDatasetSPC& ds, int block, const EditingOptions& options) {
  TSPCBlock* b = ds.Block(block);
  if (!b || b->SampleCount() >= static_cast<int>(kMaxSamples)) return 0;
  TDateTime when = Now();
  if (const TSPCSample* previous = b->Sample(b->SampleCount())) {
    when = previous->dateTime + (options.newSampleDate == 1 ? 1.0 : 0.0);
  }
  if (!b->AddSample("", "", true, when)) return 0;
  TSPCSample& s = *b->Sample(b->SampleCount());
  s.changed = true;
  b->changed = true;
  b->changedAt = Now();
  ds.Touch();
  return b->SampleCount();
}

TDateTime ShownDateTime(TDateTime value) {
  if (!std::isfinite(value) || value < 1 || value > kLastDay + 1) return *EncodeDate(1900, 1, 1);
  return value;
}

std::string DeletePointsQuestion(int first, int last) {
  return "Вы действительно хотите удалить замер" +
         (first == last ? " #" + FormatInt(first) : "ы с #" + FormatInt(first) + " по #" + FormatInt(last)) + " ?";
}

std::string ProfileInstruction(const TInputProfile& profile, const TGageSet&) {
  return profile.source == static_cast<std::uint8_t>(InputSource::Gage)
             ? "Используйте СИ для ввода исходных данных, нажимая кнопку на приборе"
             : "Используйте клавиатуру для ввода исходных данных";
}

TolerancePlace PlaceInTolerance(const TSPCParameter& parameter, double x) {
  if (parameter.IsTag() || !parameter.HasTolerance()) return TolerancePlace::None;
  if (const auto lsl = parameter.Lsl(); lsl && x < *lsl && !parameter.IsInTolerance(x)) return TolerancePlace::Below;
  if (const auto usl = parameter.Usl(); usl && x > *usl && !parameter.IsInTolerance(x)) return TolerancePlace::Above;
  return TolerancePlace::Inside;
}

// --- the point grid ---

PointGridLogic::PointGridLogic(TDatasetSPC& ds, int block, int sample, const EditingOptions& options)
    : m_ds(ds), m_block(block), m_sample(sample), m_options(options), m_columns(ds.OrderList(DataKind::Var)),
      m_entry(ds, block, sample) {}

int PointGridLogic::ParameterAt(int column) const {
  return column >= 0 && column < Columns() ? m_columns[static_cast<std::size_t>(column)] : 0;
}

std::string PointGridLogic::Heading(int column) const {
  const TSPCParameter* p = m_ds.Parameter(ParameterAt(column));
  if (!p) return {};
  std::string text = p->name;
  if (!p->unit.empty()) text += ", " + p->unit;
  if (p->HasFlag(param_flag::kRelative) && !p->IsTag()) text += "\n" + p->RelativeText();
  return text;
}

std::string PointGridLogic::CellText(int row, int column) const {
  const int k = ParameterAt(column);
  const TSPCParameter* p = m_ds.Parameter(k);
  if (!p) return {};
  std::optional<double> x;
  if (IsNextPointRow(row)) {
    x = p->dataLimits.Get(ValueRange::kTarget);
  } else if (const TFileSmpPoint pt = Sample().Point(row + 1); pt && pt.HasValue(k)) {
    x = pt.Value(k);
  }
  if (!x) return {};
  if (p->HasFlag(param_flag::kRelative) && !p->IsTag()) return FormatFixed(p->ToRelative(*x), p->RelativeDecimals());
  return FormatFixed(*x, p->decimals);
}

bool PointGridLogic::OutOfTolerance(int row, int column) const {
  const TFileSmpPoint pt = Sample().Point(row + 1);
  return pt && pt.HasValue(ParameterAt(column)) && (pt.ValueFlags(ParameterAt(column)) & value_flag::kOutOfTolerance) != 0;
}

TolerancePlace PointGridLogic::Place(int row, int column) const {
  const int k = ParameterAt(column);
  const TFileSmpPoint pt = Sample().Point(row + 1);
  if (!pt || !pt.HasValue(k)) return TolerancePlace::None;
  return PlaceInTolerance(*m_ds.Parameter(k), pt.Value(k));
}

std::string PointGridLogic::AddPoint() {
  TSPCBlock& b = *m_ds.Block(m_block);
  TSPCSample& s = Sample();
  std::string refusal = CheckAddPoint(b, s);
  if (!refusal.empty()) return refusal;
  if (!s.AddPoint()) return CheckAddPoint(b, s);
  TFileSmpPoint pt = s.Point(s.PointCount());
  m_ds.FillDefaults(pt);
  PointsChanged();
  return {};
}

ValueConfirmation PointGridLogic::Confirm(int row, int column, const std::string& typed) {
  ValueConfirmation r;
  if (!Editable() || ParameterAt(column) == 0 || row < 0 || row > Sample().PointCount()) return r;
  if (!IsNextPointRow(row)) return m_entry.Confirm(row + 1, ParameterAt(column), typed);
  // The next point exists only once a value in it is taken.
  r.message = AddPoint();
  if (!r.message.empty()) return r;
  r = m_entry.Confirm(row + 1, ParameterAt(column), typed);
  if (!r.Ok()) {
    Sample().DeletePoint(row + 1);
    PointsChanged();
  }
  return r;
}

std::pair<int, int> PointGridLogic::NextCell(int row, int column) const {
  if (column + 1 < Columns()) return {row, column + 1};
  const int start = m_options.entryStart == 1 && m_entryRow == row ? m_entryColumn : 0;
  return {row + 1, start};
}

void PointGridLogic::NoteEntered(int row, int column) {
  if (m_entryRow == row) return;
  m_entryRow = row;
  m_entryColumn = column;
}

std::string PointGridLogic::CheckLeave(int row) const {
  if (row < 0 || row >= Sample().PointCount()) return {};
  return CheckLeavePoint(m_ds, Sample(), row + 1);
}

bool PointGridLogic::DeletePoints(int firstRow, int lastRow) {
  if (!Editable()) return false;
  const int count = Sample().PointCount();
  if (firstRow > lastRow) std::swap(firstRow, lastRow);
  lastRow = std::min(lastRow, count - 1);
  if (firstRow < 0 || firstRow > lastRow) return false;
  if (!Ask(DeletePointsQuestion(firstRow + 1, lastRow + 1))) return false;
  for (int r = lastRow; r >= firstRow; --r) Sample().DeletePoint(r + 1);
  if (m_entryRow >= firstRow) m_entryRow = -1;
  PointsChanged();
  return true;
}

void PointGridLogic::PointsChanged() {
  TSPCBlock& b = *m_ds.Block(m_block);
  TSPCSample& s = Sample();
  m_ds.UpdateToleranceMarks(s);
  FilterSample(m_ds, m_block, m_sample);
  s.changed = true;
  b.changed = true;
  b.changedAt = Now();
  m_ds.Touch();
}

LeaveCheck PointGridLogic::CheckLeaveSample(int* row) {
  LeaveCheck r;
  const TSPCSample& s = Sample();
  for (int i = 1; i <= s.PointCount(); ++i) {
    r.message = CheckLeavePoint(m_ds, s, i);
    if (!r.message.empty()) {
      if (row) *row = i - 1;
      return r;
    }
  }
  r = mv::CheckLeaveSample(m_ds, s);
  if (r.Ok()) m_entry.Finish();
  return r;
}

// --- the alternative sample ---

AltSampleForm LoadAltSample(const TDatasetSPC& ds, int block, int position) {
  AltSampleForm form;
  const TSPCBlock* b = ds.Block(block);
  if (!b) return form;
  const std::vector<int>& order = ds.OrderList(DataKind::Attr);
  form.entry.values.assign(order.size(), std::string());
  const TSPCSample* s = b->Sample(position);
  if (!s) {
    if (b->fixedSampleSize != 0) form.entry.sizeText = FormatInt(b->fixedSampleSize);
    const TSPCSample* previous = b->Sample(b->SampleCount());
    const TDateTime when = previous ? previous->dateTime : Now();
    form.date = DayOf(when);
    form.time = TimeOf(when);
    return form;
  }
  form.active = s->IsActive();
  form.date = DayOf(s->dateTime);
  form.time = TimeOf(s->dateTime);
  form.note = s->Note();
  form.event = s->Event();
  form.entry.sizeText = FormatInt(s->sampleSize);
  if (const TFileSmpPoint pt = s->Point(1)) {
    for (std::size_t i = 0; i < order.size(); ++i) {
      if (pt.HasValue(order[i])) form.entry.values[i] = FormatInt(std::llround(pt.Value(order[i])));
    }
  }
  return form;
}

AltSaveResult SaveAltSample(TDatasetSPC& ds, int block, int position, const AltSampleForm& form) {
  AltSaveResult r;
  TSPCBlock* b = ds.Block(block);
  if (!b || b->kind != DataKind::Attr) return r;
  const AltSampleCheck check = CheckAltSample(ds, *b, form.entry);
  if (!check.Ok()) {
    r.message = check.message;
    return r;
  }
  const bool dates = (b->flags & block_flag::kDates) != 0;
  const bool times = dates && (b->flags & block_flag::kTimes) != 0;
  const TDateTime when = (dates ? DayOf(form.date) : 0) + (times ? TimeOf(form.time) : 0);
  const std::uint16_t dateMarks = static_cast<std::uint16_t>((dates ? sample_flag::kHasDate : 0) |
                                                             (times ? sample_flag::kHasTime : 0));
  const std::string note = CutToChars(Trim(form.note), TSPCSample::kTextMax);
  const std::string event = CutToChars(Trim(form.event), TSPCSample::kTextMax);
  const bool isNew = b->Sample(position) == nullptr;
  if (isNew) {
    if (!b->AddSample("", "", true, when)) {
      r.message = CheckNextSample(b->SampleCount());
      return r;
    }
    TSPCSample& s = *b->Sample(b->SampleCount());
    if (!s.AddPoint()) {
      b->DeleteSample(b->SampleCount());
      r.message = "Сбой при создании замера";
      return r;
    }
    position = b->SampleCount();
  }
  r.position = position;
  TSPCSample& s = *b->Sample(position);
  TFileSmpPoint pt = s.Point(1);
  if (!pt) {
    if (!s.AddPoint()) {
      r.message = "Сбой при создании замера";
      return r;
    }
    pt = s.Point(1);
  }
  const std::vector<int>& order = ds.OrderList(DataKind::Attr);
  bool differs = isNew || s.Note() != note || s.Event() != event || s.IsActive() != form.active ||
                 s.sampleSize != check.size || (s.flags & (sample_flag::kHasDate | sample_flag::kHasTime)) != dateMarks ||
                 s.DateTime() != when;
  for (std::size_t i = 0; i < order.size() && !differs; ++i) {
    const std::optional<std::int64_t>& count = check.counts[i];
    differs = count.has_value() != pt.HasValue(order[i]) ||
              (count && std::llround(pt.Value(order[i])) != *count);
  }
  if (!differs) return r;

  s.SetNote(note);
  s.SetEvent(event);
  s.sampleSize = check.size;
  s.dateTime = when;
  s.flags = static_cast<std::uint16_t>((s.flags & ~(sample_flag::kHasDate | sample_flag::kHasTime)) | dateMarks);
  s.SetActive(form.active);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const int k = order[i];
    const std::optional<std::int64_t>& count = check.counts[i];
    const bool changed = count.has_value() != pt.HasValue(k) || (count && std::llround(pt.Value(k)) != *count);
    if (count) {
      pt.SetValue(k, static_cast<double>(*count));
    } else {
      pt.SetEmpty(k, true);
    }
    if (isNew) pt.SetValueFlag(k, value_flag::kNotEntered, false);
    if (changed) pt.SetValueFlag(k, value_flag::kEdited, true);
  }
  FilterSample(ds, block, position);
  s.changed = true;
  b->changed = true;
  b->changedAt = Now();
  ds.Touch();
  r.written = true;
  return r;
}

std::string NextSampleButtonText(const TDatasetSPC& ds, int block, int position) {
  const TSPCBlock* b = ds.Block(block);
  if (!b) return {};
  if (position >= 1 && position < b->SampleCount()) return "Следующая выборка";
  if (ds.blockEditingAllowed && position >= 1) return "Новая выборка";
  return {};
}

}  // namespace mv
