#pragma once
// One sample (subgroup): its points, date and time, texts and per-parameter statistics.

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/value_range.h"
#include "platform/clock.h"
#include "spc/point.h"
#include "spc/spc_types.h"

namespace mv {

// Statistics of one parameter over the counted points whose slot is not empty.
struct SampleStats {
  std::uint16_t n = 0;
  double min = 0;
  double max = 0;
  double mean = 0;
  double median = 0;
  double range = 0;
  double movingRange = 0;  // average moving range
  double stdDev = 0;       // with n - 1
};

// Statistics of one sample of values (at most one sample's worth, 200): what SampleStats holds.
// Two passes over the values, no allocation.
SampleStats ComputeSampleStats(std::span<const double> values);

class TSPCSample {
 public:
  static constexpr std::size_t kTextMax = 150;  // event and note

  std::uint16_t flags = 0;  // sample_flag
  TDateTime dateTime = 0;
  std::string event;  // at most 150 characters
  std::string note;   // at most 150 characters
  bool changed = false;
  std::array<SampleStats, kMaxParameters> stats{};  // by parameter position - 1
  std::int16_t sampleSize = 0;       // units inspected, for alternative data
  std::uint16_t countedPoints = 0;   // points that count; kept by the statistics and the filter

  int PointCount() const { return static_cast<int>(m_points.size()); }
  TFileSmpPoint* Point(int position);  // nullptr outside 1..PointCount()
  const TFileSmpPoint* Point(int position) const;
  const std::vector<TFileSmpPoint>& Points() const { return m_points; }
  // False when the sample has 200 points already.
  bool AddPoint();
  // Adds up to n points (1..200) while there is room; true only when all n were added.
  bool AddPoints(int n);
  void DeletePoint(int position);  // an invalid position does nothing
  void ReservePoints(std::size_t n) { m_points.reserve(std::min(n, kMaxPoints)); }

  bool IsActive() const { return (flags & sample_flag::kInactive) == 0; }
  void SetActive(bool active);
  // The date part when the sample has a date, else 0; the time part when it has a time, else 0;
  // the date-time: whole with both, the date part with only the date, else 0.
  TDateTime Date() const;
  TDateTime Time() const;
  TDateTime DateTime() const;
  void SetDate(TDateTime date);  // keeps the time part, sets kHasDate
  void SetTime(TDateTime time);  // keeps the date part, sets kHasTime
  // "dd.MM.yyyy" or "dd.MM.yyyy hh:nn"; "" without a date.
  std::string Text() const;

  // Recounts the counted points and the statistics of parameters 1..parameterCount (the rest
  // are zeroed).
  void ComputeStats(int parameterCount);
  // Tolerance marks: a present value outside its parameter's tolerance gets kOutOfTolerance,
  // the point gets it when any of its values has it, the sample when any point has it.
  // tolerances[k] is the tolerance of parameter k + 1, or nullptr for a parameter that is not
  // checked (alternative parameters, tags).
  void UpdateToleranceMarks(std::span<const ValueRange* const> tolerances);

 private:
  std::vector<TFileSmpPoint> m_points;
};

}  // namespace mv
