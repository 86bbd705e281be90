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
  double centre = 0;                 // the centre line the zones were computed from
  double sigma = 0;                  // zone sigma (UCL - CL) / 3
  std::array<ChartZone, 3> zones{};  // A, B, C
};

// Where a value lies among the zones: zone 0 outside, 1 A, 2 B, 3 C; side 1 on or above the
// centre line, 2 below; zone 0 and side 0 where there are no zones.
struct ZonePlace {
  std::uint8_t zone = 0;
  std::uint8_t side = 0;
  bool operator==(const ZonePlace&) const = default;
};

// Places values among valid zones. The bands are tried C upper, C lower, B upper, B lower,
// A upper, A lower, and a value on an edge two bands share takes the first; outside them all,
// the side is 1 from the bottom edge of the lower A band up. When the bands lie edge to edge
// from the centre line outwards in order (they do, unless clamping at 0 folds them or rounding
// puts an edge a hair out of place), that rule is: a value on or above the centre line is in C
// up to the top of C, then in B up to the top of B, then in A up to the UCL, and one below it
// likewise downwards; three comparisons a side instead of six bands. Otherwise the bands are
// tried as they are.
class ZoneLocator {
 public:
  explicit ZoneLocator(const TChartZones& z) {
    const ZoneBand* const bands[] = {&z.zones[2].upper, &z.zones[2].lower, &z.zones[1].upper,
                                     &z.zones[1].lower, &z.zones[0].upper, &z.zones[0].lower};
    for (std::size_t k = 0; k < 6; ++k) {
      m_lower[k] = bands[k]->lowerEdge;
      m_upper[k] = bands[k]->upperEdge;
    }
    m_centre = m_lower[0];
    m_up = {m_upper[0], m_upper[2], m_upper[4]};
    m_down = {m_lower[1], m_lower[3], m_lower[5]};
    m_ordered = m_upper[1] == m_centre && m_lower[2] == m_up[0] && m_lower[4] == m_up[1] &&
                m_upper[3] == m_down[0] && m_upper[5] == m_down[1] && m_down[2] <= m_down[1] &&
                m_down[1] <= m_down[0] && m_down[0] <= m_centre && m_centre <= m_up[0] && m_up[0] <= m_up[1] &&
                m_up[1] <= m_up[2];
  }

  ZonePlace Place(double v) const {
    if (!m_ordered) [[unlikely]] return PlaceInBands(v);
    if (v >= m_centre) {
      const unsigned zone = v <= m_up[0] ? 3U : v <= m_up[1] ? 2U : v <= m_up[2] ? 1U : 0U;
      return {static_cast<std::uint8_t>(zone), 1};
    }
    const unsigned zone = v >= m_down[0] ? 3U : v >= m_down[1] ? 2U : v >= m_down[2] ? 1U : 0U;
    return {static_cast<std::uint8_t>(zone), 2};
  }

  // The rule as it stands: the first band that holds the value.
  ZonePlace PlaceInBands(double v) const {
    static constexpr std::uint8_t kZone[] = {3, 3, 2, 2, 1, 1};
    for (std::size_t k = 0; k < 6; ++k) {
      if (m_lower[k] <= v && v <= m_upper[k]) return {kZone[k], static_cast<std::uint8_t>(k % 2 == 0 ? 1 : 2)};
    }
    return {0, static_cast<std::uint8_t>(v >= m_lower[5] ? 1 : 2)};
  }

 private:
  std::array<double, 6> m_lower{};  // bands in the order they are tried
  std::array<double, 6> m_upper{};
  double m_centre = 0;
  std::array<double, 3> m_up{};    // top edges of C, B, A above the centre line
  std::array<double, 3> m_down{};  // bottom edges of C, B, A below it
  bool m_ordered = false;
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
