#include "spc/sample.h"

#include <cassert>
#include <cmath>

#include "core/date_time.h"

namespace mv {
namespace {

// Date and time parts under the date-time convention of core/date_time.h: the date is the whole
// part toward zero and the time the fraction without its sign. For the dates a sample really has
// (after 1899) this is floor and value - floor; the rule for negative values keeps Text() showing
// the same day as DateText of the whole value.
TDateTime DatePart(TDateTime value) { return std::trunc(value); }
TDateTime TimePart(TDateTime value) { return std::fabs(value - std::trunc(value)); }
TDateTime Combine(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

// The statistics of `values`, which are reordered on the way: the median partitions them, so
// everything that depends on the point order is taken before it. No allocation.
SampleStats StatsInPlace(std::span<double> values) {
  SampleStats s;
  const std::size_t n = values.size();
  if (n == 0) return s;
  s.n = static_cast<std::uint16_t>(n);

  // First pass: extremes, sum and the moving ranges, in point order.
  double lo = values[0];
  double hi = values[0];
  double sum = values[0];
  double movingSum = 0;
  for (std::size_t i = 1; i < n; ++i) {
    const double v = values[i];
    lo = std::min(lo, v);
    hi = std::max(hi, v);
    sum += v;
    movingSum += std::fabs(v - values[i - 1]);
  }
  s.min = lo;
  s.max = hi;
  s.range = hi - lo;
  s.mean = sum / static_cast<double>(n);

  // Second pass about the mean: the one-pass sum of squares loses digits when the spread is small
  // against the level (diameters of 25.004 mm varying in the third decimal).
  if (n > 1) {
    double squares = 0;
    for (const double v : values) squares += (v - s.mean) * (v - s.mean);
    s.stdDev = std::sqrt(squares / static_cast<double>(n - 1));
    s.movingRange = movingSum / static_cast<double>(n - 1);
  }

  // Median: a selection, not a full sort. For an even count the lower middle value is the
  // largest of the part that nth_element leaves below the upper one.
  const auto mid = values.begin() + static_cast<std::ptrdiff_t>(n / 2);
  std::nth_element(values.begin(), mid, values.end());
  s.median = n % 2 == 1 ? *mid : (*std::max_element(values.begin(), mid) + *mid) / 2;
  return s;
}

}  // namespace

SampleStats ComputeSampleStats(std::span<const double> values) {
  assert(values.size() <= kMaxPoints);
  std::array<double, kMaxPoints> copy;
  const std::size_t n = std::min(values.size(), kMaxPoints);
  std::copy_n(values.begin(), n, copy.begin());
  return StatsInPlace(std::span<double>(copy.data(), n));
}

TFileSmpPoint* TSPCSample::Point(int position) {
  return position >= 1 && position <= PointCount() ? &m_points[static_cast<std::size_t>(position - 1)] : nullptr;
}

const TFileSmpPoint* TSPCSample::Point(int position) const {
  return position >= 1 && position <= PointCount() ? &m_points[static_cast<std::size_t>(position - 1)] : nullptr;
}

bool TSPCSample::AddPoint() {
  if (m_points.size() >= kMaxPoints) return false;
  m_points.emplace_back();
  return true;
}

bool TSPCSample::AddPoints(int n) {
  if (n < 1 || n > static_cast<int>(kMaxPoints)) return false;
  const std::size_t room = kMaxPoints - m_points.size();
  const std::size_t added = std::min(static_cast<std::size_t>(n), room);
  m_points.resize(m_points.size() + added);
  return added == static_cast<std::size_t>(n);
}

void TSPCSample::DeletePoint(int position) {
  if (position < 1 || position > PointCount()) return;
  m_points.erase(m_points.begin() + (position - 1));
}

void TSPCSample::SetActive(bool active) {
  flags = active ? static_cast<std::uint16_t>(flags & ~sample_flag::kInactive)
                 : static_cast<std::uint16_t>(flags | sample_flag::kInactive);
}

TDateTime TSPCSample::Date() const { return (flags & sample_flag::kHasDate) != 0 ? DatePart(dateTime) : 0; }

TDateTime TSPCSample::Time() const { return (flags & sample_flag::kHasTime) != 0 ? TimePart(dateTime) : 0; }

TDateTime TSPCSample::DateTime() const {
  if ((flags & sample_flag::kHasDate) == 0) return 0;
  return (flags & sample_flag::kHasTime) != 0 ? dateTime : DatePart(dateTime);
}

void TSPCSample::SetDate(TDateTime date) {
  dateTime = Combine(DatePart(date), TimePart(dateTime));
  flags |= sample_flag::kHasDate;
}

void TSPCSample::SetTime(TDateTime time) {
  dateTime = Combine(DatePart(dateTime), TimePart(time));
  flags |= sample_flag::kHasTime;
}

std::string TSPCSample::Text() const {
  if ((flags & sample_flag::kHasDate) == 0) return {};
  return (flags & sample_flag::kHasTime) != 0 ? DateTimeText(DateTime()) : DateText(Date());
}

void TSPCSample::ComputeStats(int parameterCount) {
  const auto count = static_cast<std::size_t>(std::clamp(parameterCount, 0, static_cast<int>(kMaxParameters)));
  countedPoints = static_cast<std::uint16_t>(
      std::count_if(m_points.begin(), m_points.end(), [](const TFileSmpPoint& p) { return p.Counts(); }));

  // One parameter at a time through a stack buffer: a sample is at most 200 points of about
  // 220 bytes, so the repeated walks stay in the cache and nothing is allocated.
  std::array<double, kMaxPoints> buffer;
  for (std::size_t k = 0; k < count; ++k) {
    const int parameter = static_cast<int>(k + 1);
    std::size_t n = 0;
    for (const TFileSmpPoint& p : m_points) {
      // Written always, kept only when it counts: no branch for the exclusions to mispredict.
      buffer[n] = p.Value(parameter);
      n += static_cast<std::size_t>(p.Counts() && p.HasValue(parameter));
    }
    stats[k] = StatsInPlace(std::span<double>(buffer.data(), n));
  }
  std::fill(stats.begin() + static_cast<std::ptrdiff_t>(count), stats.end(), SampleStats{});
}

void TSPCSample::UpdateToleranceMarks(std::span<const ValueRange* const> tolerances) {
  bool sampleOut = false;
  for (TFileSmpPoint& p : m_points) {
    bool pointOut = false;
    // Every slot is visited: a parameter that is no longer checked (now a tag, say) must not
    // keep a mark from before.
    for (std::size_t k = 0; k < kMaxParameters; ++k) {
      const int parameter = static_cast<int>(k + 1);
      const ValueRange* tolerance = k < tolerances.size() ? tolerances[k] : nullptr;
      const bool out = tolerance != nullptr && p.HasValue(parameter) && !tolerance->Contains(p.Value(parameter));
      p.SetValueFlag(parameter, value_flag::kOutOfTolerance, out);
      pointOut = pointOut || out;
    }
    p.flags = pointOut ? static_cast<std::uint16_t>(p.flags | point_flag::kOutOfTolerance)
                       : static_cast<std::uint16_t>(p.flags & ~point_flag::kOutOfTolerance);
    sampleOut = sampleOut || pointOut;
  }
  flags = sampleOut ? static_cast<std::uint16_t>(flags | sample_flag::kOutOfTolerance)
                    : static_cast<std::uint16_t>(flags & ~sample_flag::kOutOfTolerance);
}

}  // namespace mv
