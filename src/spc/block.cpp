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

namespace {

// The block's figures of each quantitative parameter summed up sample by sample: every
// parameter's sums follow the samples' order, whether the samples were just computed or not.
class BlockSums {
 public:
  BlockSums(std::span<const DataKind> kinds, bool attr, BlockStats& stats)
      : m_count(std::min(kinds.size(), kMaxParameters)), m_kinds(kinds), m_attr(attr), m_stats(stats) {
    m_stats = BlockStats{};
    m_stats.minPoints = std::numeric_limits<int>::max();
  }

  void Add(const TSPCSample& s) {
    if (s.IsActive()) ++m_stats.activeSamples;
    m_stats.totalPoints += s.PointCount();
    m_stats.countedPoints += s.countedPoints;
    // An alternative sample's size is the number of units inspected, not of points entered.
    const int size = m_attr ? s.sampleSize : s.PointCount();
    m_stats.minPoints = std::min(m_stats.minPoints, size);
    m_stats.maxPoints = std::max(m_stats.maxPoints, size);
    // Weighted by each sample's number of values of this parameter, not by its number of
    // points: excluded points and empty slots contribute nothing to the sample mean, so they
    // must not weigh in the block mean either. Samples without values are left out of the
    // extremes, where their zeros would otherwise pull the minimum down.
    for (std::size_t k = 0; k < m_count; ++k) {
      if (m_kinds[k] != DataKind::Var) continue;
      const SampleStats ss = s.Stats(static_cast<int>(k + 1));
      if (ss.n == 0) continue;
      m_lo[k] = m_values[k] == 0 ? ss.min : std::min(m_lo[k], ss.min);
      m_hi[k] = m_values[k] == 0 ? ss.max : std::max(m_hi[k], ss.max);
      m_weighted[k] += ss.n * ss.mean;
      m_values[k] += ss.n;
    }
  }

  void Finish(bool empty) {
    if (empty) {
      m_stats = BlockStats{};
      return;
    }
    for (std::size_t k = 0; k < m_count; ++k) {
      if (m_values[k] == 0) continue;
      BlockParamStats& b = m_stats.params[k];
      b.mean = m_weighted[k] / static_cast<double>(m_values[k]);
      b.min = m_lo[k];
      b.max = m_hi[k];
      b.range = m_hi[k] - m_lo[k];
    }
  }

 private:
  std::size_t m_count;
  std::span<const DataKind> m_kinds;
  bool m_attr;
  BlockStats& m_stats;
  std::array<double, kMaxParameters> m_weighted{};
  std::array<int, kMaxParameters> m_values{};
  std::array<double, kMaxParameters> m_lo{};
  std::array<double, kMaxParameters> m_hi{};
};

}  // namespace

void TSPCBlock::ComputeStats(std::span<const DataKind> kinds) {
  const std::size_t parameterCount = std::min(kinds.size(), kMaxParameters);
  // Each sample is summed up right after its statistics, while its storage is at hand.
  BlockSums sums(kinds, kind == DataKind::Attr, stats);
  for (std::size_t i = 0; i < m_samples.size(); ++i) {
    if (i + 1 < m_samples.size()) m_samples[i + 1].PrefetchStorage();
    m_samples[i].ComputeStats(static_cast<int>(parameterCount));
    sums.Add(m_samples[i]);
  }
  sums.Finish(m_samples.empty());
}

void TSPCBlock::SumUpStats(std::span<const DataKind> kinds) {
  BlockSums sums(kinds, kind == DataKind::Attr, stats);
  for (const TSPCSample& s : m_samples) sums.Add(s);
  sums.Finish(m_samples.empty());
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
