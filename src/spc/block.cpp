#include "spc/block.h"

#include <limits>

#include "core/date_time.h"
#include "core/numbers.h"
#include "core/text.h"

namespace mv {

void TSPCBlock::SetNote(std::string_view text) {
  // The editor lets 100 characters through, but the data file keeps 80: cut here so what is
  // shown is what will be saved.
  note = CutToChars(text, kNoteMax);
}

TSPCSample* TSPCBlock::Sample(int position) {
  return position >= 1 && position <= SampleCount() ? &m_samples[static_cast<std::size_t>(position - 1)] : nullptr;
}

const TSPCSample* TSPCBlock::Sample(int position) const {
  return position >= 1 && position <= SampleCount() ? &m_samples[static_cast<std::size_t>(position - 1)] : nullptr;
}

bool TSPCBlock::AddSample(std::string_view sampleNote, std::string_view event, bool active) {
  if (m_samples.size() >= kMaxSamples) return false;
  return AddSample(sampleNote, event, active, Now());
}

bool TSPCBlock::AddSample(std::string_view sampleNote, std::string_view event, bool active, TDateTime when) {
  if (m_samples.size() >= kMaxSamples) return false;
  TSPCSample& s = m_samples.emplace_back();
  s.dateTime = when;
  if ((flags & block_flag::kDates) != 0) s.flags |= sample_flag::kHasDate;
  if ((flags & block_flag::kTimes) != 0) s.flags |= sample_flag::kHasTime;
  s.SetActive(active);
  s.SetNote(CutToChars(sampleNote, TSPCSample::kTextMax));
  s.SetEvent(CutToChars(event, TSPCSample::kTextMax));
  return true;
}

bool TSPCBlock::InsertSample(int position) {
  if (m_samples.size() >= kMaxSamples) return false;
  if (position >= 1 && position <= SampleCount()) {
    m_samples.emplace(m_samples.begin() + (position - 1));
  } else {
    m_samples.emplace_back();
  }
  return true;
}

void TSPCBlock::DeleteSample(int position) {
  if (position < 1 || position > SampleCount()) return;
  m_samples.erase(m_samples.begin() + (position - 1));
}

void TSPCBlock::ComputeStats(std::span<const DataKind> kinds) {
  const std::size_t parameterCount = std::min(kinds.size(), kMaxParameters);
  for (TSPCSample& s : m_samples) s.ComputeStats(static_cast<int>(parameterCount));
  SumUpStats(kinds);
}

void TSPCBlock::SumUpStats(std::span<const DataKind> kinds) {
  const std::size_t parameterCount = std::min(kinds.size(), kMaxParameters);
  stats = BlockStats{};
  if (m_samples.empty()) return;

  const bool attr = kind == DataKind::Attr;
  stats.minPoints = std::numeric_limits<int>::max();
  for (const TSPCSample& s : m_samples) {
    if (s.IsActive()) ++stats.activeSamples;
    stats.totalPoints += s.PointCount();
    stats.countedPoints += s.countedPoints;
    // An alternative sample's size is the number of units inspected, not of points entered.
    const int size = attr ? s.sampleSize : s.PointCount();
    stats.minPoints = std::min(stats.minPoints, size);
    stats.maxPoints = std::max(stats.maxPoints, size);
  }

  for (std::size_t k = 0; k < parameterCount; ++k) {
    if (kinds[k] != DataKind::Var) continue;
    // Weighted by each sample's number of values of this parameter, not by its number of
    // points: excluded points and empty slots contribute nothing to the sample mean, so they
    // must not weigh in the block mean either. Samples without values are left out of the
    // extremes, where their zeros would otherwise pull the minimum down.
    double weighted = 0;
    int values = 0;
    double lo = 0;
    double hi = 0;
    for (const TSPCSample& s : m_samples) {
      const SampleStats ss = s.Stats(static_cast<int>(k + 1));
      if (ss.n == 0) continue;
      lo = values == 0 ? ss.min : std::min(lo, ss.min);
      hi = values == 0 ? ss.max : std::max(hi, ss.max);
      weighted += ss.n * ss.mean;
      values += ss.n;
    }
    if (values == 0) continue;
    BlockParamStats& b = stats.params[k];
    b.mean = weighted / static_cast<double>(values);
    b.min = lo;
    b.max = hi;
    b.range = hi - lo;
  }
}

std::string TSPCBlock::PeriodText(int first, int last) const {
  if (first < 1 || first > last || last > SampleCount()) return {};
  const TSPCSample& a = m_samples[static_cast<std::size_t>(first - 1)];
  const TSPCSample& b = m_samples[static_cast<std::size_t>(last - 1)];
  if ((a.flags & sample_flag::kHasDate) == 0 || (b.flags & sample_flag::kHasDate) == 0) return {};

  std::string out = a.Text();
  if (a.Date() != b.Date()) {
    out += " - ";
    out += b.Text();
  } else if ((b.flags & sample_flag::kHasTime) != 0) {
    // Same day: only the closing time, and nothing at all when the last sample has none.
    out += '-';
    out += TimeText(b.Time());
  }
  return out;
}

std::string TSPCBlock::LogText() const {
  std::string out = "Kind=";
  out += KindCode(kind);
  out += ", ID=" + FormatInt(id);
  out += ", Name=\"" + name + '"';
  // A block whose samples are not read yet knows only the count its file announces.
  out += ", #samples=" + (loaded ? FormatInt(SampleCount()) : FormatInt(declaredSamples) + "/pre");
  out += ", Flags=" + HexUpper(flags, 4) + 'h';
  if (!note.empty()) out += ", Note=\"" + note + '"';
  return out;
}

}  // namespace mv
