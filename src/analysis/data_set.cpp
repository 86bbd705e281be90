#include "analysis/data_set.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <stdexcept>

#include "core/text.h"
#include "spc/dataset_spc.h"

namespace mv {

void CDataSet::BindParameter(const TDatasetSPC& dataset, int position) {
  m_firstIndex = 1;
  const TSPCParameter* p = dataset.Parameter(position);
  if (!p) {
    unit.clear();
    tolerance = ValueRange{};
    decimals = 0;
    twoSided = limited = false;
    return;
  }
  unit = CutToChars(p->unit, kUnitMax);
  tolerance = p->tolerance;
  decimals = p->decimals;
  twoSided = p->HasTolerance(true);
  limited = p->HasTolerance(false);
}

bool CDataSet::Allocate(std::int64_t n) {
  m_count = 0;
  if (n < 0) {
    Release();
    return false;
  }
  if (static_cast<std::uint64_t>(n) == m_points.size()) {
    std::fill(m_points.begin(), m_points.end(), TDataSetPoint{});
    return true;
  }
  Release();
  try {
    m_points.resize(static_cast<std::size_t>(n));
  } catch (const std::bad_alloc&) {
    Release();
    return false;
  } catch (const std::length_error&) {
    Release();
    return false;
  }
  return true;
}

void CDataSet::Release() {
  std::vector<TDataSetPoint>().swap(m_points);
  m_count = 0;
}

bool CDataSet::AddPoint(std::uint32_t index, std::uint16_t block, std::uint16_t sample, std::uint16_t point,
                        bool active, bool present, double value) {
  if (index == 0) index = m_count + 1;
  if (index < 1 || index > Capacity()) return false;
  TDataSetPoint& p = m_points[index - 1];
  p = TDataSetPoint{};
  p.value = value;
  p.block = block;
  p.sample = sample;
  p.point = point;
  p.flags = static_cast<std::uint8_t>((present ? dsp_flag::kPresent : 0) | (active ? dsp_flag::kActive : 0));
  m_count = std::max(m_count, index);
  return true;
}

const TDataSetPoint* CDataSet::Point(std::uint32_t index) const {
  return index >= 1 && index <= Capacity() ? &m_points[index - 1] : nullptr;
}

double CDataSet::Value(std::uint32_t index) const {
  const TDataSetPoint* p = Point(index);
  return p ? p->value : 0;
}

bool CDataSet::HasFlag(std::uint32_t index, std::uint16_t flag) const {
  const TDataSetPoint* p = Point(index);
  return p && (p->flags & flag) != 0;
}

void CDataSet::SetFlag(std::uint32_t index, std::uint16_t flag, bool on) {
  if (index < 1 || index > Capacity()) return;
  std::uint8_t& flags = m_points[index - 1].flags;
  flags = static_cast<std::uint8_t>(on ? (flags | flag) : (flags & ~flag));
}

void CDataSet::ComputeStatistics() {
  presentCount = activeCount = outOfToleranceCount = 0;
  percentOutOfTolerance = 0;
  presentMin = presentMax = min = max = 0;
  minIndex = maxIndex = 0;
  mean = range = stdDev = 0;

  const auto lsl = tolerance.Get(ValueRange::kLower);
  const auto usl = tolerance.Get(ValueRange::kUpper);
  double sum = 0;
  for (std::uint32_t i = m_firstIndex; i <= m_count; ++i) {
    const TDataSetPoint& p = m_points[i - 1];
    if ((p.flags & dsp_flag::kPresent) == 0) continue;
    const double x = p.value;
    if (presentCount == 0 || x < presentMin) presentMin = x;
    if (presentCount == 0 || x > presentMax) presentMax = x;
    ++presentCount;
    if (!p.Analysed()) continue;
    // Strict comparisons: the first of equal extremes keeps its index.
    if (activeCount == 0 || x < min) {
      min = x;
      minIndex = i;
    }
    if (activeCount == 0 || x > max) {
      max = x;
      maxIndex = i;
    }
    ++activeCount;
    sum += x;
    if ((lsl && x < *lsl) || (usl && x > *usl)) ++outOfToleranceCount;
  }
  if (activeCount > 0) {
    mean = sum / activeCount;
    range = max - min;
    if (activeCount > 1) {
      double squares = 0;
      for (std::uint32_t i = m_firstIndex; i <= m_count; ++i) {
        const TDataSetPoint& p = m_points[i - 1];
        if (!p.Analysed()) continue;
        squares += (p.value - mean) * (p.value - mean);
      }
      stdDev = std::sqrt(squares / (activeCount - 1));
    }
    percentOutOfTolerance = 100.0 * outOfToleranceCount / activeCount;
  }
  valid = true;
}

namespace {

// The last w - 1 analysed values before the current point, oldest overwritten first.
class RecentValues {
 public:
  explicit RecentValues(int w) : m_values(static_cast<std::size_t>(w - 1)) {}
  bool Full() const { return m_count == m_values.size(); }
  void Push(double v) {
    m_values[m_next] = v;
    m_next = m_next + 1 == m_values.size() ? 0 : m_next + 1;
    if (m_count < m_values.size()) ++m_count;
  }
  // Range of v and the values held.
  double RangeWith(double v) const {
    double lo = v;
    double hi = v;
    for (std::size_t k = 0; k < m_count; ++k) {
      lo = std::min(lo, m_values[k]);
      hi = std::max(hi, m_values[k]);
    }
    return hi - lo;
  }

 private:
  std::vector<double> m_values;
  std::size_t m_next = 0;
  std::size_t m_count = 0;
};

}  // namespace

double CDataSet::AverageMovingRange(int w) const {
  if (w < 2 || m_count < static_cast<std::uint32_t>(w)) return 0;
  RecentValues recent(w);
  double sum = 0;
  std::uint32_t ranges = 0;
  for (std::uint32_t i = 1; i <= m_count; ++i) {
    const TDataSetPoint& p = m_points[i - 1];
    if (!p.Analysed()) continue;
    // From index w on, with w - 1 analysed points before it; fewer: no range of span w.
    if (i >= static_cast<std::uint32_t>(w) && recent.Full()) {
      sum += recent.RangeWith(p.value);
      ++ranges;
    }
    recent.Push(p.value);
  }
  return ranges > 0 ? sum / ranges : 0;
}

void CDataSet::ToMovingRanges(int w) {
  if (w < 2) return;
  m_firstIndex = static_cast<std::uint32_t>(w);
  // Forwards: the measured value of each point goes into the recent values before it is
  // replaced by its range; whether a point counts as a predecessor is its state before.
  RecentValues recent(w);
  for (std::uint32_t i = 1; i <= m_count; ++i) {
    TDataSetPoint& p = m_points[i - 1];
    const double measured = p.value;
    const bool analysed = p.Analysed();
    if (i >= static_cast<std::uint32_t>(w)) {
      p.value = recent.RangeWith(measured);
      if (!recent.Full()) p.flags = static_cast<std::uint8_t>(p.flags & ~dsp_flag::kActive);
    }
    if (analysed) recent.Push(measured);
  }
}

ZonePlace CDataSet::ZoneOf(std::uint32_t index) const {
  const TDataSetPoint* p = Point(index);
  return p && zones.valid && index >= m_firstIndex ? ZoneLocator(zones).Place(p->value) : ZonePlace{};
}

double CDataSet::ZoneDistance(std::uint32_t index) const {
  const TDataSetPoint* p = Point(index);
  return p && zones.valid && index >= m_firstIndex ? (p->value - zones.centre) / zones.sigma : 0;
}

std::uint32_t CDataSet::CountBeyondLimits() const {
  if (!hasUcl) return 0;
  std::uint32_t n = 0;
  for (std::uint32_t i = m_firstIndex; i <= m_count; ++i) {
    const TDataSetPoint& p = m_points[i - 1];
    if (!p.Analysed()) continue;
    if (p.value > ucl || (hasLcl && p.value < lcl)) ++n;
  }
  return n;
}

}  // namespace mv
