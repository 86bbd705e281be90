#include "analysis/data_set.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
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

namespace {

// The last w - 1 analysed values before the current point, oldest overwritten first; spans up
// to 10 (the charts' largest) are held without the heap.
class RecentValues {
 public:
  RecentValues(const RecentValues&) = delete;
  RecentValues& operator=(const RecentValues&) = delete;
  explicit RecentValues(int w) : m_size(static_cast<std::size_t>(w - 1)) {
    if (m_size > m_small.size()) {
      m_large.resize(m_size);
      m_values = m_large.data();
    }
  }
  bool Full() const { return m_count == m_size; }
  void Push(double v) {
    m_values[m_next] = v;
    m_next = m_next + 1 == m_size ? 0 : m_next + 1;
    if (m_count < m_size) ++m_count;
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
  std::size_t m_size;
  std::array<double, 9> m_small{};
  std::vector<double> m_large;
  double* m_values = m_small.data();
  std::size_t m_next = 0;
  std::size_t m_count = 0;
};

// The moving ranges of span w, fed the analysed points in index order from index 1: a point
// from index w on has a range when it has w - 1 analysed points before it. The sums stay with
// the caller, in registers (the recent values are stored through a pointer).
class MovingRanges {
 public:
  explicit MovingRanges(int w) : m_w(static_cast<std::uint32_t>(w)), m_recent(w) {}
  // True, with its range, when point i (value v) has one; v then joins the recent values.
  bool Next(std::uint32_t i, double v, double& range) {
    const bool has = i >= m_w && m_recent.Full();
    if (has) range = m_recent.RangeWith(v);
    m_recent.Push(v);
    return has;
  }

 private:
  std::uint32_t m_w;
  RecentValues m_recent;
};

}  // namespace

// The first pass of the statistics, point by point in index order.
struct CDataSet::Tally {
  std::uint32_t present = 0, active = 0, outOfTolerance = 0;
  double lowest = 0, highest = 0, lowestAnalysed = 0, highestAnalysed = 0;
  std::uint32_t lowestIndex = 0, highestIndex = 0;
  double sum = 0;
  double lower, upper;  // the tolerance; without a limit the comparison never holds

  explicit Tally(const ValueRange& tolerance) {
    const auto lsl = tolerance.Get(ValueRange::kLower);
    const auto usl = tolerance.Get(ValueRange::kUpper);
    lower = lsl ? *lsl : -std::numeric_limits<double>::infinity();
    upper = usl ? *usl : std::numeric_limits<double>::infinity();
  }

  // True when the point is analysed.
  bool Take(std::uint32_t i, const TDataSetPoint& p) {
    if ((p.flags & dsp_flag::kPresent) == 0) return false;
    const double x = p.value;
    if (present == 0 || x < lowest) lowest = x;
    if (present == 0 || x > highest) highest = x;
    ++present;
    if (!p.Analysed()) return false;
    // Strict comparisons: the first of equal extremes keeps its index.
    if (active == 0 || x < lowestAnalysed) {
      lowestAnalysed = x;
      lowestIndex = i;
    }
    if (active == 0 || x > highestAnalysed) {
      highestAnalysed = x;
      highestIndex = i;
    }
    ++active;
    sum += x;
    outOfTolerance += ((x < lower) | (x > upper)) ? 1 : 0;
    return true;
  }
};

void CDataSet::StoreStatistics(const Tally& t) {
  presentCount = t.present;
  activeCount = t.active;
  outOfToleranceCount = t.outOfTolerance;
  presentMin = t.present > 0 ? t.lowest : 0;
  presentMax = t.present > 0 ? t.highest : 0;
  min = t.active > 0 ? t.lowestAnalysed : 0;
  max = t.active > 0 ? t.highestAnalysed : 0;
  minIndex = t.lowestIndex;
  maxIndex = t.highestIndex;
  mean = range = stdDev = 0;
  percentOutOfTolerance = 0;
  if (t.active > 0) {
    mean = t.sum / t.active;
    range = max - min;
    if (t.active > 1) {
      const double centre = mean;
      const TDataSetPoint* const points = m_points.data();
      double squares = 0;
      for (std::uint32_t i = m_firstIndex; i <= m_count; ++i) {
        const TDataSetPoint& p = points[i - 1];
        if (!p.Analysed()) continue;
        squares += (p.value - centre) * (p.value - centre);
      }
      stdDev = std::sqrt(squares / (t.active - 1));
    }
    percentOutOfTolerance = 100.0 * t.outOfTolerance / t.active;
  }
  valid = true;
}

void CDataSet::ComputeStatistics(int movingRangeSpan) {
  // A local tally, not the members, inside the loop: the compiler keeps it in registers.
  Tally tally(tolerance);
  const TDataSetPoint* const points = m_points.data();
  // The moving ranges go along when the pass starts at index 1, as AverageMovingRange's does.
  const int w = movingRangeSpan;
  const bool ranges = w >= 2 && m_firstIndex == 1 && m_count >= static_cast<std::uint32_t>(w);
  MovingRanges movingRanges(ranges ? w : 2);
  double rangeSum = 0;
  std::uint32_t rangeCount = 0;
  for (std::uint32_t i = m_firstIndex; i <= m_count; ++i) {
    const TDataSetPoint& p = points[i - 1];
    double r = 0;
    if (tally.Take(i, p) && ranges && movingRanges.Next(i, p.value, r)) {
      rangeSum += r;
      ++rangeCount;
    }
  }
  averageMovingRange = ranges ? (rangeCount > 0 ? rangeSum / rangeCount : 0) : w >= 2 ? AverageMovingRange(w) : 0;
  StoreStatistics(tally);
}

double CDataSet::AverageMovingRange(int w) const {
  if (w < 2 || m_count < static_cast<std::uint32_t>(w)) return 0;
  MovingRanges movingRanges(w);
  double sum = 0;
  std::uint32_t ranges = 0;
  for (std::uint32_t i = 1; i <= m_count; ++i) {
    const TDataSetPoint& p = m_points[i - 1];
    double r = 0;
    if (p.Analysed() && movingRanges.Next(i, p.value, r)) {
      sum += r;
      ++ranges;
    }
  }
  return ranges > 0 ? sum / ranges : 0;
}

void CDataSet::ToMovingRanges(int w) {
  if (w < 2) return;
  m_firstIndex = static_cast<std::uint32_t>(w);
  // Forwards: the measured value of each point goes into the recent values before it is
  // replaced by its range; whether a point counts as a predecessor is its state before. A
  // range is final once formed, so the statistics of the ranges are tallied as they are.
  TDataSetPoint* const points = m_points.data();
  Tally tally(tolerance);
  averageMovingRange = 0;
  if (w == 2) {  // the usual span: the one value before, in a register
    double last = 0;
    bool any = false;
    for (std::uint32_t i = 1; i <= m_count; ++i) {
      TDataSetPoint& p = points[i - 1];
      const double measured = p.value;
      const bool analysed = p.Analysed();
      if (i >= 2) {
        p.value = any ? std::max(measured, last) - std::min(measured, last) : 0;
        if (!any) p.flags = static_cast<std::uint8_t>(p.flags & ~dsp_flag::kActive);
        tally.Take(i, p);
      }
      last = analysed ? measured : last;
      any = any || analysed;
    }
  } else {
    RecentValues recent(w);
    for (std::uint32_t i = 1; i <= m_count; ++i) {
      TDataSetPoint& p = points[i - 1];
      const double measured = p.value;
      const bool analysed = p.Analysed();
      if (i >= static_cast<std::uint32_t>(w)) {
        p.value = recent.RangeWith(measured);
        if (!recent.Full()) p.flags = static_cast<std::uint8_t>(p.flags & ~dsp_flag::kActive);
        tally.Take(i, p);
      }
      if (analysed) recent.Push(measured);
    }
  }
  StoreStatistics(tally);
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
