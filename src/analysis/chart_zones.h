#pragma once
// Zones of a control chart, their statistics and the signals of the special-cause tests: the
// records a data set carries for them. The zone computation and the tests fill them.

#include <array>
#include <cstdint>
#include <string>

namespace mv {

struct ZoneBand {
  double upperEdge = 0;
  double lowerEdge = 0;
  std::string label;  // "A (+3s)", "A (-3s)", ...
};

struct ChartZone {
  char letter = ' ';  // 'A', 'B', 'C'
  ZoneBand upper;
  ZoneBand lower;
};

struct TChartZones {
  bool valid = false;
  double sigma = 0;                  // zone sigma (UCL - CL) / 3
  std::array<ChartZone, 3> zones{};  // A, B, C
};

struct TZoneStat {
  struct Cell {
    std::uint32_t count = 0;
    double percent = 0;  // count x 100 / total
  };
  std::uint32_t total = 0;  // analysed points
  // [zone: 0 outside, 1 A, 2 B, 3 C][side: 0 both, 1 upper, 2 lower]
  std::array<std::array<Cell, 3>, 4> cells{};
};

struct TCriterionHit {
  std::uint8_t criterion = 0;
  std::uint8_t side = 0;
  std::uint32_t first = 0;  // point indexes
  std::uint32_t last = 0;
  std::uint32_t count = 0;  // analysed points in first..last
  double mean = 0;
  std::uint8_t decimals = 0;
};

// The signal list holds at most this many hits.
inline constexpr std::size_t kMaxCriterionHits = 100;
inline constexpr std::size_t kCriterionCount = 10;

}  // namespace mv
