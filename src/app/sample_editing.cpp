#include "app/sample_editing.h"

#include <algorithm>
#include <limits>

#include "core/date_time.h"
#include "core/numbers.h"
#include "core/text.h"
#include "spc/sample_filter.h"

namespace mv {
namespace {

constexpr std::string_view kCrLf = "\r\n";
// The alternative sample's size field is a signed 16-bit number.
constexpr std::int64_t kMaxAltSampleSize = 32767;
constexpr std::size_t kAltValueMax = 20;

}  // namespace

namespace {

// Parses and stores the value, marking what changed; the filter and the statistics are the
// caller's.
ValueConfirmation StoreTyped(TDatasetSPC& ds, int block, int sample, int point, int parameter,
                             std::string_view typed) {
  ValueConfirmation r;
  TSPCBlock* b = ds.Block(block);
  TSPCSample* s = b ? b->Sample(sample) : nullptr;
  TFileSmpPoint pt = s ? s->Point(point) : TFileSmpPoint();
  const TSPCParameter* p = ds.Parameter(parameter);
  if (!pt || !p || p->kind != b->kind) return r;

  const TypedNumber number = ParseTypedNumber(typed);
  if (number.status == TypedNumberStatus::Invalid) {
    r.message = "Значение параметра " + p->name + " указано неверно - " + std::string(typed);
    r.event = kEventValueInadmissible;
    return r;
  }
  if (number.status == TypedNumberStatus::Empty) {
    pt.SetEmpty(parameter, true);
    pt.SetValueFlag(parameter, value_flag::kEdited, true);
    ds.UpdateToleranceMarks(*s);
    r.cleared = true;
  } else {
    const double x = p->ToAbsolute(number.value);
    if (!p->IsInDataLimits(x)) {
      r.message = "Значение параметра " + p->name + " (" + p->FormatValue(x) +
                  ") выходит за пределы возможных значений (" + p->dataLimits.BoundsText() + ")";
      r.event = kEventValueInadmissible;
      return r;
    }
    // Stores, renews the tolerance marks of the point and the sample, marks the changes.
    ds.SetValue(block, sample, point, parameter, x);
    pt.SetValueFlag(parameter, value_flag::kEdited, true);
    r.value = x;
    r.outOfTolerance = !p->IsTag() && !p->IsInTolerance(x);
    r.event = r.outOfTolerance ? kEventValueOutOfTolerance : kEventValueInTolerance;
  }
  r.stored = true;
  s->changed = true;
  b->changed = true;
  b->changedAt = Now();
  ds.Touch();
  return r;
}

}  // namespace

ValueConfirmation ConfirmValue(TDatasetSPC& ds, int block, int sample, int point, int parameter,
                               std::string_view typed) {
  ValueConfirmation r = StoreTyped(ds, block, sample, point, parameter, typed);
  // The sample's own statistics and the block's summed up from its samples' statistics.
  if (r.stored) FilterSample(ds, block, sample);
  return r;
}

SampleEntry::SampleEntry(TDatasetSPC& ds, int block, int sample) : m_ds(ds), m_block(block), m_sample(sample) {
  const TSPCBlock* b = ds.Block(block);
  if (!b) return;
  const bool attr = b->kind == DataKind::Attr;
  const int parameters = ds.ParameterCount();
  m_otherTotals.minPoints = -1;
  for (int i = 1; i <= b->SampleCount(); ++i) {
    if (i == sample) continue;
    const TSPCSample& s = *b->Sample(i);
    BlockStats& t = m_otherTotals;
    if (s.IsActive()) ++t.activeSamples;
    t.totalPoints += s.PointCount();
    t.countedPoints += s.countedPoints;
    const int size = attr ? s.sampleSize : s.PointCount();
    t.minPoints = t.minPoints < 0 ? size : std::min(t.minPoints, size);
    t.maxPoints = std::max(t.maxPoints, size);
    const int stored = std::min(parameters, s.StoredParameters());
    for (int k = 1; k <= stored; ++k) {
      if (ds.Parameter(k)->kind != DataKind::Var) continue;
      const SampleStats ss = s.Stats(k);
      if (ss.n == 0) continue;
      Sums& sum = m_others[static_cast<std::size_t>(k - 1)];
      sum.lo = sum.values == 0 ? ss.min : std::min(sum.lo, ss.min);
      sum.hi = sum.values == 0 ? ss.max : std::max(sum.hi, ss.max);
      sum.weighted += ss.n * ss.mean;
      sum.values += ss.n;
    }
  }
}

ValueConfirmation SampleEntry::Confirm(int point, int parameter, std::string_view typed) {
  ValueConfirmation r = StoreTyped(m_ds, m_block, m_sample, point, parameter, typed);
  if (r.stored) RenewFigures();
  return r;
}

void SampleEntry::RenewFigures() {
  TSPCBlock* b = m_ds.Block(m_block);
  TSPCSample* s = b ? b->Sample(m_sample) : nullptr;
  if (!s) return;
  FilterSampleMarks(m_ds, m_block, m_sample);
  const int parameters = m_ds.ParameterCount();
  s->ComputeStats(parameters);
  // The block's figures: the other samples' with this one's.
  BlockStats stats = m_otherTotals;
  if (s->IsActive()) ++stats.activeSamples;
  stats.totalPoints += s->PointCount();
  stats.countedPoints += s->countedPoints;
  const int size = b->kind == DataKind::Attr ? s->sampleSize : s->PointCount();
  stats.minPoints = stats.minPoints < 0 ? size : std::min(stats.minPoints, size);
  stats.maxPoints = std::max(stats.maxPoints, size);
  for (int k = 1; k <= parameters; ++k) {
    if (m_ds.Parameter(k)->kind != DataKind::Var) continue;
    Sums sum = m_others[static_cast<std::size_t>(k - 1)];
    const SampleStats ss = s->Stats(k);
    if (ss.n > 0) {
      sum.lo = sum.values == 0 ? ss.min : std::min(sum.lo, ss.min);
      sum.hi = sum.values == 0 ? ss.max : std::max(sum.hi, ss.max);
      sum.weighted += ss.n * ss.mean;
      sum.values += ss.n;
    }
    BlockParamStats& p = stats.params[static_cast<std::size_t>(k - 1)];
    if (sum.values == 0) continue;
    p.mean = sum.weighted / static_cast<double>(sum.values);
    p.min = sum.lo;
    p.max = sum.hi;
    p.range = sum.hi - sum.lo;
  }
  b->stats = stats;
}

void SampleEntry::Finish() { m_ds.SumUpBlockStats(m_block); }

std::string CheckAddPoint(const TSPCBlock& block, const TSPCSample& sample) {
  if (block.fixedSampleSize != 0 && sample.PointCount() >= block.fixedSampleSize) {
    return "Достигнут предел количества замеров в выборке (" + FormatInt(block.fixedSampleSize) + ")," +
           std::string(kCrLf) + "установленный для текущего блока данных." + std::string(kCrLf) + std::string(kCrLf) +
           "Новый замер добавить невозможно. Создайте новую выборку";
  }
  if (sample.PointCount() >= static_cast<int>(kMaxPoints)) {
    return "Количество замеров в этой выборке достигло предела." + std::string(kCrLf) + "Следует создать новую выборку";
  }
  return {};
}

std::string CheckLeavePoint(const TDatasetSPC& ds, const TSPCSample& sample, int point) {
  const TFileSmpPoint pt = sample.Point(point);
  if (!pt) return {};
  for (const int k : ds.OrderList(DataKind::Var)) {
    const TSPCParameter& p = *ds.Parameter(k);
    if (p.HasFlag(param_flag::kNoSkip) && !pt.HasValue(k)) return "Не указано значение параметра " + p.name;
  }
  return {};
}

LeaveCheck CheckLeaveSample(const TDatasetSPC& ds, const TSPCSample& sample) {
  LeaveCheck r;
  if (sample.PointCount() == 0) {
    r.message = "Выборка должна содержать хотя бы один замер";
    return r;
  }
  if (!Trim(sample.Note()).empty()) return r;
  for (const int k : ds.OrderList(DataKind::Var)) {
    const TSPCParameter& p = *ds.Parameter(k);
    if (!p.HasFlag(param_flag::kExplainOutOfTolerance) || p.IsTag()) continue;
    for (const TFileSmpPoint pt : sample.Points()) {
      if (!pt.HasValue(k) || p.IsInTolerance(pt.Value(k))) continue;
      r.message = "Пожалуйста, укажите в примечании выборки причину выхода некоторых значений за допуск" +
                  std::string(kCrLf) + "(это условие параметра " + Quoted(p.name) + ")";
      r.event = kEventValueOutOfTolerance;
      return r;
    }
  }
  return r;
}

std::string CheckNextSample(int position) {
  if (position >= static_cast<int>(kMaxSamples)) {
    return "Количество выборок в текущем блоке достигло максимально возможного";
  }
  return {};
}

AltSampleCheck CheckAltSample(const TDatasetSPC& ds, const TSPCBlock& block, const AltSampleEntry& entry) {
  AltSampleCheck r;
  const std::string_view sizeText = Trim(entry.sizeText);
  if (sizeText.empty()) {
    r.message = "Не указан объем выборки";
    return r;
  }
  const auto size = ParseInteger(sizeText, 1, kMaxAltSampleSize);
  if (!size) {
    r.message = "Неверно указан объем выборки (" + std::string(sizeText) + ")";
    return r;
  }
  if (block.fixedSampleSize != 0 && *size != block.fixedSampleSize) {
    r.message = "В текущем блоке объем выборки должен быть равен " + FormatInt(block.fixedSampleSize);
    return r;
  }
  r.size = static_cast<std::int16_t>(*size);
  const std::vector<int>& order = ds.OrderList(DataKind::Attr);
  for (std::size_t i = 0; i < order.size(); ++i) {
    const TSPCParameter& p = *ds.Parameter(order[i]);
    const std::string text = CutToChars(Trim(i < entry.values.size() ? entry.values[i] : std::string()), kAltValueMax);
    if (text.empty()) {
      if (p.HasFlag(param_flag::kNoSkip)) {
        r.message = "Не указано значение параметра " + p.name;
        return r;
      }
      r.counts.emplace_back();
      continue;
    }
    const auto count = ParseInteger(text, 0, std::numeric_limits<std::int32_t>::max());
    if (!count) {
      r.message = " Недопустимое значение параметра " + p.name + "  (" + text + ")";
      return r;
    }
    if (p.Type() == AttrType::Units && *count > *size) {
      r.message = "Значение параметра " + p.name + " (" + text + "&) не должно превышать объема выборки (" +
                  FormatInt(*size) + ")";
      return r;
    }
    r.counts.emplace_back(*count);
  }
  return r;
}

}  // namespace mv
