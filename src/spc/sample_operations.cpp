#include "spc/sample_operations.h"

#include <algorithm>
#include <limits>

#include "core/date_time.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/prompts.h"
#include "platform/services.h"
#include "spc/sample_filter.h"

namespace mv {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string Num(std::int64_t n) { return FormatInt(n); }

// Appends points first..last (1-based) of `from` to `to` in order, then removes them from
// `from`. The caller has checked that `to` has room.
void MovePoints(TSPCSample& from, int first, int last, TSPCSample& to) {
  if (first > last) return;
  const int width = from.StoredParameters();
  to.ReservePoints(static_cast<std::size_t>(to.PointCount() + last - first + 1), width);
  for (int p = first; p <= last; ++p) {
    if (!to.AddPoint()) return;
    const TFileSmpPoint source = from.Point(p);
    TFileSmpPoint target = to.Point(to.PointCount());
    target.SetFlags(source.Flags());
    target.SetDateTime(source.DateTime());
    for (int k = 1; k <= width; ++k) target.Set(k, source.Get(k));
  }
  // From the end: each removal then moves only what lies behind it.
  for (int p = last; p >= first; --p) from.DeletePoint(p);
}

}  // namespace

std::vector<std::string> EditingTalk::Texts(Kind kind) const {
  std::vector<std::string> out;
  for (const Line& line : lines) {
    if (line.kind == kind) out.push_back(line.text);
  }
  return out;
}

std::string EditingTalk::LastError() const {
  for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
    if (it->kind == Kind::Error) return it->text;
  }
  return {};
}

std::string EditSwitchText(const TDatasetSPC& ds) {
  return ds.blockEditingAllowed ? "Редактирование блока разрешено"
                                : "Редактирование блока запрещено, т.к. снят флаг \"Редактировать\"";
}

bool MergeInto(TSPCSample& target, TSPCSample& work, bool takeLaterNotes, bool takeDateTime) {
  if (target.PointCount() + work.PointCount() > static_cast<int>(kMaxPoints)) return false;
  const bool hadPoints = target.PointCount() > 0;
  target.changed = true;
  if (takeDateTime && (work.flags & sample_flag::kHasDate) != 0) {
    target.dateTime = work.dateTime;
    const std::uint16_t marks = sample_flag::kHasDate | sample_flag::kHasTime;
    target.flags = static_cast<std::uint16_t>((target.flags & ~marks) | (work.flags & marks));
  }
  if (target.Event().empty()) target.SetEvent(work.Event());
  if (target.Note().empty() && (!hadPoints || takeLaterNotes)) target.SetNote(work.Note());
  MovePoints(work, 1, work.PointCount(), target);
  return true;
}

BlockEditing::BlockEditing(TDatasetSPC& ds, int position) : m_ds(ds), m_position(position) {}

void BlockEditing::LogOpened() { Log("Start edit block #" + Num(m_position) + " [" + Block().LogText() + "]"); }
void BlockEditing::LogClosed() { Log("Finish edit block #" + Num(m_position) + " [" + Block().LogText() + "]"); }

bool BlockEditing::Editable() {
  if (m_ds.blockEditingAllowed) return true;
  Refuse(EditSwitchText(m_ds));
  return false;
}

bool BlockEditing::Ask(const std::string& text) {
  m_talk.lines.push_back({EditingTalk::Kind::Question, text});
  platform::ChoiceRequest request;
  request.caption = "Требуется подтверждение";
  request.text = text;
  request.buttons = {"Да", "Нет"};
  request.defaultButton = 0;
  request.cancelButton = 1;
  return platform::Current<platform::IPrompts>().Choose(request) == 0;
}

void BlockEditing::Inform(const std::string& text) {
  m_talk.lines.push_back({EditingTalk::Kind::Information, text});
  ShowInfo(text);
}

void BlockEditing::Refuse(const std::string& text) {
  m_talk.lines.push_back({EditingTalk::Kind::Error, text});
  ShowError(text);
}

void BlockEditing::Log(const std::string& text) {
  m_talk.lines.push_back({EditingTalk::Kind::Log, text});
  platform::Current<platform::ILog>().LogLine(text, m_ds.slot);
}

void BlockEditing::MarkBlockChanged() {
  TSPCBlock& b = Block();
  b.changed = true;
  b.changedAt = Now();
  m_ds.Touch();
}

void BlockEditing::Refresh(int position) {
  TSPCSample* s = Block().Sample(position);
  if (!s) return;
  s->changed = true;
  m_ds.UpdateToleranceMarks(*s);
  FilterSample(m_ds, m_position, position);
}

bool BlockEditing::DeleteSamples(int first, int last) {
  TSPCBlock& b = Block();
  if (first < 1 || first > last || last > b.SampleCount()) return false;
  if (!Editable()) return false;
  const std::string which = first == last ? "у #" + Num(first) : "и с #" + Num(first) + " по #" + Num(last);
  if (!Ask("Вы действительно хотите удалить выборк" + which + " ?")) return false;
  auto& samples = b.Samples();
  samples.erase(samples.begin() + (first - 1), samples.begin() + last);
  MarkBlockChanged();
  m_ds.SumUpBlockStats(m_position);
  Log("Del smp #" + (first == last ? std::string() : Num(first) + "..") + Num(last) + " in block #" + Num(m_position));
  return true;
}

bool BlockEditing::ExchangeSamples(int i, int j) {
  TSPCBlock& b = Block();
  if (i < 1 || j < 1 || i > b.SampleCount() || j > b.SampleCount() || i == j) return false;
  if (!Editable()) return false;
  auto& samples = b.Samples();
  std::swap(samples[static_cast<std::size_t>(i - 1)], samples[static_cast<std::size_t>(j - 1)]);
  samples[static_cast<std::size_t>(i - 1)].changed = true;
  samples[static_cast<std::size_t>(j - 1)].changed = true;
  MarkBlockChanged();
  m_ds.SumUpBlockStats(m_position);
  Log("Exchange samples from pos " + Num(i) + " to " + Num(j));
  return true;
}

std::string BlockEditing::SeparationCaption(int position) { return "Разделение выборки " + Num(position); }

std::string BlockEditing::SeparationText(int position) const {
  const TSPCSample* s = Block().Sample(position);
  if (!s) return {};
  return "     Объем:  " + Num(s->PointCount()) + std::string(kCrLf) + "Дата/время:  " + s->Text() +
         std::string(kCrLf) + "Примечание:  " + s->Note() + std::string(kCrLf) + "   Событие:  " + s->Event();
}

bool BlockEditing::SeparateSample(int position, std::string_view sizeText, bool copyNote) {
  TSPCBlock& b = Block();
  if (position < 1 || position > b.SampleCount()) return false;
  if (!Editable()) return false;
  const int n = b.Sample(position)->PointCount();
  const auto size = ParseInteger(Trim(sizeText), 1, std::numeric_limits<std::int64_t>::max());
  if (!size) {
    Refuse("Объем новых выборок указан неверно");
    return false;
  }
  if (*size >= n) {
    Refuse("Объем новых выборок должен быть меньше текущего");
    return false;
  }
  const int s = static_cast<int>(*size);
  const int k = (n + s - 1) / s;
  // As the window checks it: the block's samples and all k, although one of them is the
  // separated sample itself.
  if (b.SampleCount() + k > static_cast<int>(kMaxSamples)) {
    Refuse("Количество выборок в результате разделения превысит максимально возможное для блока");
    return false;
  }
  std::string question = "Выборка #" + Num(position) + " будет разделена на " + PluralRu(k, " выбор", "ку", "ки", "ок") +
                         " по " + PluralRu(s, " замер", "у", "а", "ов") + ".";
  if (n % s != 0) question += std::string(kCrLf) + "Объем последней выборки - " + Num(n % s) + ".";
  question += std::string(kCrLf) + std::string(kCrLf) + "Разделить выборку?";
  if (!Ask(question)) return false;

  SeparationOptions options = ReadSeparationOptions(m_ds);
  options.size = static_cast<std::uint16_t>(s);
  options.flags = static_cast<std::uint16_t>(copyNote ? options.flags | separation_flag::kCopyNote
                                                      : options.flags & ~separation_flag::kCopyNote);
  if (WriteSeparationOptions(m_ds, options)) m_ds.Touch();

  for (int j = 1; j < k; ++j) {
    if (!b.InsertSample(position + j)) return false;  // room was checked above
    const TSPCSample& from = *b.Sample(position);
    TSPCSample& added = *b.Sample(position + j);
    added.flags = from.flags;
    added.dateTime = from.dateTime;
    if (copyNote) added.SetNote(from.Note());
  }
  // The last new sample first: the points leave the separated sample from its end.
  for (int j = k - 1; j >= 1; --j) {
    MovePoints(*b.Sample(position), j * s + 1, std::min((j + 1) * s, n), *b.Sample(position + j));
  }
  for (int j = 0; j < k; ++j) Refresh(position + j);
  MarkBlockChanged();
  Log("Separate sample #" + Num(position) + " (" + Num(n) + " points) into " + Num(k) + " by " + Num(s) + " points");
  Inform("Выборка #" + Num(position) + " успешно разделена на " + PluralRu(k, " выбор", "ку", "ки", "ок"));
  return true;
}

BlockEditing::MergeResult BlockEditing::MergeRange(int first, int last, bool confirm, bool keepNotes,
                                                   const std::vector<bool>& marks) {
  TSPCBlock& b = Block();
  if (first < 1 || first > last || last > b.SampleCount()) return MergeResult::Nothing;
  const auto marked = [&](int position) {
    const auto k = static_cast<std::size_t>(position - first);
    return position == first || marks.empty() || (k < marks.size() && marks[k]);
  };
  int c = 0;
  int p = 0;
  for (int i = first; i <= last; ++i) {
    if (!marked(i)) continue;
    ++c;
    p += b.Sample(i)->PointCount();
  }
  const std::string range = "с " + Num(first) + " по " + Num(last) + " (" + Num(c) + " шт)";
  if (p > static_cast<int>(kMaxPoints)) {
    Refuse("Невозможно объединить выборки " + range + ", т.к. их суммарный объем (" + Num(p) +
           ") превышает максимально возможный для одной выборки (" + Num(kMaxPoints) + ")");
    return MergeResult::TooLarge;
  }
  if (confirm && !Ask("Вы действительно желаете объединить выборки " + range + ", суммарный объем " + Num(p) + " ?")) {
    return MergeResult::Declined;
  }
  for (int i = first + 1; i <= last; ++i) {
    if (marked(i)) MergeInto(*b.Sample(first), *b.Sample(i), keepNotes, false);
  }
  // The merged samples go, from the last one, so that the positions still to remove stay put.
  auto& samples = b.Samples();
  for (int i = last; i > first; --i) {
    if (marked(i)) samples.erase(samples.begin() + (i - 1));
  }
  Refresh(first);
  MarkBlockChanged();
  Log("Glue samples " + Num(first) + ".." + Num(last) + " (" + Num(c) + " smp, " + Num(p) + " pnt)");
  if (confirm) Inform("Выборки " + range + " успешно объединены в одну");
  return MergeResult::Merged;
}

std::string BlockEditing::MergeCountError() {
  return "Количество выборок для объединения указано неверно (2.." + Num(SampleMergingOptions::kMaxN) + ")";
}

std::string BlockEditing::MergingText(int first, int last) const {
  const TSPCBlock& b = Block();
  if (first < 1 || first > last || last > b.SampleCount()) return {};
  int points = 0;
  for (int i = first; i <= last; ++i) points += b.Sample(i)->PointCount();
  const bool whole = first == 1 && last == b.SampleCount();
  return "Кол-во выборок :  " + Num(last - first + 1) + std::string(kCrLf) + "Номера выборок :  с " + Num(first) +
         " по " + Num(last) + (whole ? " (все)" : "") + std::string(kCrLf) + "Общий объем    :  " + Num(points) +
         std::string(kCrLf) + "Период времени :  " + b.PeriodText(first, last);
}

void BlockEditing::MergeByDates(int first, int last, bool equalNotes, bool keepNotes, int& merges, bool& stopped) {
  TSPCBlock& b = Block();
  // From the end back: a merge moves only the samples behind the run, which are done.
  int i = last;
  while (i >= first) {
    int j = i;
    while (j - 1 >= first && b.Sample(j - 1)->Date() == b.Sample(i)->Date()) --j;
    if (j < i) {
      if (!equalNotes) {
        const MergeResult r = MergeRange(j, i, false, keepNotes);
        if (r == MergeResult::TooLarge) {
          stopped = true;
          return;
        }
        if (r == MergeResult::Merged) ++merges;
      } else {
        // In parts: each remaining sample of the run takes the later ones with its note.
        int end = i;
        for (int a = j; a < end; ++a) {
          std::vector<bool> marks(static_cast<std::size_t>(end - a + 1), false);
          int count = 0;
          for (int q = a; q <= end; ++q) {
            marks[static_cast<std::size_t>(q - a)] = q == a || SameText(b.Sample(q)->Note(), b.Sample(a)->Note());
            count += marks[static_cast<std::size_t>(q - a)] ? 1 : 0;
          }
          if (count < 2) continue;
          const MergeResult r = MergeRange(a, end, false, keepNotes, marks);
          if (r == MergeResult::TooLarge) {
            stopped = true;
            return;
          }
          if (r == MergeResult::Merged) {
            ++merges;
            end -= count - 1;
          }
        }
      }
    }
    i = j - 1;
  }
}

bool BlockEditing::MergeSamples(int first, int last, const SampleMergingOptions& options) {
  TSPCBlock& b = Block();
  if (first < 1 || first > last || last > b.SampleCount()) return false;
  if (!Editable()) return false;
  if (options.mode == MergeMode::None) return false;  // not offered by the window
  if (options.mode == MergeMode::ByN && (options.N() < 2 || options.N() > SampleMergingOptions::kMaxN)) {
    Refuse(MergeCountError());
    return false;
  }
  if (options.mode == MergeMode::EqualDates) {
    for (int i = first; i <= last; ++i) {
      if ((b.Sample(i)->flags & sample_flag::kHasDate) == 0) return false;  // not offered by the window
    }
  }
  if (WriteMergingOptions(m_ds, options)) m_ds.Touch();
  const int before = b.SampleCount();
  std::string start = "Glue samples start: " + Num(first) + "-" + Num(last);
  switch (options.mode) {
    case MergeMode::All: start += " all2one"; break;
    case MergeMode::ByN: start += " by " + Num(options.N()); break;
    default: start += std::string(" by equal dates") + (options.EqualNotes() ? "&notes" : ""); break;
  }
  Log(start);
  const bool keepNotes = options.KeepNotes();
  if (options.mode == MergeMode::All) {
    MergeRange(first, last, true, keepNotes);
  } else if (options.mode == MergeMode::ByN) {
    const int n = options.N();
    bool stopped = false;
    for (int i = first; i <= last && !stopped; ++i) {
      const int end = std::min(last, i + n - 1);
      if (end == i) break;  // a last group of one sample: nothing to merge
      const MergeResult r = MergeRange(i, end, false, keepNotes);
      stopped = r == MergeResult::TooLarge;
      if (r == MergeResult::Merged) last -= end - i;
    }
    if (!stopped) Inform("Выборки успешно объединены по " + Num(n) + " в одну");
  } else {
    int merges = 0;
    bool stopped = false;
    MergeByDates(first, last, options.EqualNotes(), keepNotes, merges, stopped);
    if (!stopped) {
      Inform(merges > 0 ? "Успешно объединены выборки с одинаковыми датами, количество объединений - " + Num(merges)
                        : "Выборки не объединялись, т.к. все они имеют разные даты");
    }
  }
  Log("Glue samples finish: " + Num(b.SampleCount()) + " total");
  return b.SampleCount() != before;
}

}  // namespace mv
