#include "analysis/special_causes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <vector>

#include "analysis/chart_kinds.h"
#include "core/numbers.h"

namespace mv {
namespace {

struct CriterionRow {
  std::string_view code;
  std::string_view text;
  int length;
};

constexpr std::array<CriterionRow, 10> kCriteria{{
    {"C1", "Точка за пределами контрольных границ", 1},
    {"C2", "7 точек подряд по одну сторону от центральной линии", 7},
    {"C3", "7 точек подряд возрастают или убывают (в т.ч. равны)", 7},
    {"C4", "6 точек подряд возрастают или убывают", 6},
    {"C5", "14 точек подряд попеременно возрастают и убывают", 14},
    {"C6", "2 из 3 точек в зоне А (по одну сторону от центральной линии)", 3},
    {"C7", "4 из 5 точек в зоне A или B (по одну сторону от центральной линии)", 5},
    {"C8", "15 точек подряд в зоне C", 15},
    {"C9", "8 точек подряд в зоне A или B", 8},
    {"C10", "9 точек подряд в зоне С или по одну сторону от центральной линии", 9},
}};

struct SetRow {
  std::string_view shortName;
  std::string_view longName;
  std::uint16_t mask;
};

constexpr std::array<SetRow, kCriteriaSetCount> kSets{{
    {"Точки вне границ", "Только точки вне контрольных границ", 0x001},
    {"SPC, 1 изд.", "Руководство SPC, 1 издание (1992)", 0x007},
    {"SPC, 2 изд.", "Руководство SPC, 2 издание (2005)", 0x1FF},
    {"ГОСТ Р 7870-2", "ГОСТ Р ИСО 7870-2-2015 Контрольные карты Шухарта", 0x3FB},
    {"Произвольный выбор", "Произвольный выбор", 0},
}};

bool ValidCriterion(int c) { return c >= 1 && c <= 10; }
const CriterionRow& Row(int c) { return kCriteria[static_cast<std::size_t>(c - 1)]; }

constexpr std::array<std::string_view, 4> kZoneCodes{"вне", "A", "B", "C"};
constexpr std::array<std::string_view, 4> kZoneNames{"Вне границ", "Зона A", "Зона B", "Зона C"};
constexpr std::array<double, 4> kZoneExpected{0.27, 4.29, 27.18, 68.26};

// What the zone windows count of a point, one bit each.
namespace zone_class {
inline constexpr std::uint8_t kUpperAOrBeyond = 1;  // zone A or outside, side 1
inline constexpr std::uint8_t kLowerAOrBeyond = 2;  // the same on side 2
inline constexpr std::uint8_t kUpperABOrBeyond = 4;  // zone A, B or outside, side 1
inline constexpr std::uint8_t kLowerABOrBeyond = 8;
inline constexpr std::uint8_t kZoneC = 16;
inline constexpr std::uint8_t kNotZoneC = 32;
}  // namespace zone_class

std::uint8_t ZoneClass(const TDataSetPoint& p) {
  using namespace zone_class;
  if (p.zone == 3) return kZoneC;
  std::uint8_t c = kNotZoneC;
  if (p.zone <= 1) c |= p.side == 1 ? kUpperAOrBeyond : p.side == 2 ? kLowerAOrBeyond : 0;
  if (p.zone <= 2) c |= p.side == 1 ? kUpperABOrBeyond : p.side == 2 ? kLowerABOrBeyond : 0;
  return c;
}

// One analysed point as the tests see it.
struct TestPoint {
  double value;
  std::uint32_t index;
  std::uint8_t zoneClass;
  bool beyond;
  bool series = false;  // part of a reported run
};

// The hit streams in the order the list takes them: C1, the one-side runs (C2 or C10), C3, C4,
// C5, then the zone windows C6..C10.
enum Stream : std::size_t { kBeyondStream = 0, kSideStream = 1, kTrendStream = 2, kZoneStream = 5, kStreams = 10 };
std::size_t TrendStream(int criterion) { return kTrendStream + static_cast<std::size_t>(criterion - 3); }
std::size_t ZoneStream(int criterion) { return kZoneStream + static_cast<std::size_t>(criterion - 6); }

// The analysed points of a data set in index order and the hits found over them. All criteria
// run in one pass; each keeps its hits in a stream of its own, and the streams join in the
// fixed order at the end, so the list is what running the criteria one after another gives.
// A run is a range of positions in that order, so its count of analysed points is its length.
class Evaluation {
 public:
  explicit Evaluation(CDataSet& set) : m_set(set) {
    set.signals.clear();
    set.criterionFound.fill(false);
    if (set.Count() == 0) return;
    m_base = set.MutablePoint(1);
    m_points.reserve(set.Count());
    for (std::uint32_t i = 1; i <= set.Count(); ++i) {
      TDataSetPoint& p = m_base[i - 1];
      p.flags = static_cast<std::uint16_t>(p.flags & ~dsp_flag::kSeries);
      if (i < set.FirstIndex() || !p.Analysed()) continue;
      m_points.push_back({p.value, i, ZoneClass(p), (p.flags & dsp_flag::kBeyond) != 0, false});
    }
  }

  const std::vector<TestPoint>& Points() const { return m_points; }

  // A hit for positions first..last when they reach the criterion's length; its points are
  // marked part of a series (the C1 hits are not). A criterion is found even when its hit no
  // longer fits the list: the conclusion counts criteria.
  void Report(std::size_t stream, int criterion, std::uint8_t side, std::size_t first, std::size_t last) {
    const std::size_t count = last - first + 1;
    if (count < static_cast<std::size_t>(Row(criterion).length)) return;
    m_set.criterionFound[static_cast<std::size_t>(criterion - 1)] = true;
    double sum = 0;
    for (std::size_t p = first; p <= last; ++p) {
      sum += m_points[p].value;
      m_points[p].series = m_points[p].series || criterion != 1;
    }
    m_anySeries = m_anySeries || criterion != 1;
    std::vector<TCriterionHit>& hits = m_hits[stream];
    if (hits.size() >= kMaxCriterionHits) return;  // no later stream's hit could come before it
    TCriterionHit hit;
    hit.criterion = static_cast<std::uint8_t>(criterion);
    hit.side = side;
    hit.first = m_points[first].index;
    hit.last = m_points[last].index;
    hit.count = static_cast<std::uint32_t>(count);
    hit.mean = sum / static_cast<double>(count);
    hit.decimals = m_set.decimals;
    hits.push_back(hit);
  }

  // The series marks into the data set, in index order; the streams into its list, up to its
  // capacity.
  void Finish() {
    if (m_anySeries) {
      for (const TestPoint& p : m_points) {
        if (p.series) m_base[p.index - 1].flags |= dsp_flag::kSeries;
      }
    }
    for (const auto& stream : m_hits) {
      for (const TCriterionHit& hit : stream) {
        if (m_set.signals.size() >= kMaxCriterionHits) return;
        m_set.signals.push_back(hit);
      }
    }
  }

 private:
  CDataSet& m_set;
  TDataSetPoint* m_base = nullptr;
  std::vector<TestPoint> m_points;
  bool m_anySeries = false;
  std::array<std::vector<TCriterionHit>, kStreams> m_hits;
};

bool OnLine(double value, double line) { return std::fabs(value - line) < kSameEpsilon; }
bool Flat(double step) { return std::fabs(step) < kSameEpsilon; }

// Windows of w consecutive analysed points, tested one start after another; after a hit the
// next window begins after it, so the windows of one criterion never share a point. Fed one
// point at a time: the window that ends at the point is tested when it is complete. A window
// holds when at most `kMissing` of its points lack bit a, or at most `kMissing` lack bit b.
// The last w points are kept as bit rows, newest in bit 0; each criterion is a type of its own,
// so that its state stays in registers.
template <int kCriterion, std::uint8_t kBitA, std::uint8_t kBitB, int kMissing>
struct ZoneWindow {
  static constexpr std::size_t kW = static_cast<std::size_t>(kCriteria[kCriterion - 1].length);
  static constexpr std::uint32_t kFull = (1U << kW) - 1;
  static_assert(kMissing == 0 || kMissing == 1);
  std::uint32_t a = 0;
  std::uint32_t b = 0;
  std::size_t next = kW - 1;  // the position of the first complete window

  static bool Holds(std::uint32_t row) {
    const std::uint32_t lacking = ~row & kFull;
    return kMissing == 0 ? lacking == 0 : (lacking & (lacking - 1)) == 0;
  }

  void Feed(Evaluation& e, std::uint8_t zoneClass, std::size_t p) {
    a = ((a << 1) | ((zoneClass & kBitA) != 0 ? 1U : 0U)) & kFull;
    bool holds = Holds(a);
    if constexpr (kBitB != 0) {
      b = ((b << 1) | ((zoneClass & kBitB) != 0 ? 1U : 0U)) & kFull;
      holds = holds || Holds(b);
    }
    if (holds && p >= next) {
      e.Report(ZoneStream(kCriterion), kCriterion, 0, p + 1 - kW, p);
      a = b = 0;
      next = p + kW;
    }
  }
};

}  // namespace

std::string_view CriterionCode(int c) { return ValidCriterion(c) ? Row(c).code : std::string_view(); }
std::string_view CriterionText(int c) { return ValidCriterion(c) ? Row(c).text : std::string_view(); }
int CriterionLength(int c) { return ValidCriterion(c) ? Row(c).length : 0; }
int CriteriaInMask(std::uint16_t mask) { return std::popcount(static_cast<unsigned>(mask & kAllCriteriaMask)); }
std::uint16_t AdmittedCriteria(ChartKind) { return kAllCriteriaMask; }

std::uint16_t CriteriaSetMask(int set) {
  return set >= 1 && set <= kCriteriaSetCount ? kSets[static_cast<std::size_t>(set - 1)].mask : std::uint16_t{0};
}
std::string_view CriteriaSetShortName(int set) {
  return set >= 1 && set <= kCriteriaSetCount ? kSets[static_cast<std::size_t>(set - 1)].shortName : "???";
}
std::string_view CriteriaSetLongName(int set) {
  return set >= 1 && set <= kCriteriaSetCount ? kSets[static_cast<std::size_t>(set - 1)].longName : "???";
}

void TCriteriaChoice::ChooseSet(int newSet) {
  if (newSet < 1 || newSet > kCriteriaSetCount) return;
  set = static_cast<std::uint8_t>(newSet);
  if (newSet != kCustomCriteriaSet) mask = CriteriaSetMask(newSet);
}

std::string CriteriaChoiceText(const TCriteriaChoice& choice) {
  std::string text(CriteriaSetLongName(choice.set));
  if (choice.set == kCustomCriteriaSet) text += " (" + FormatInt(choice.CriteriaCount()) + ")";
  return text;
}

bool ZonesClampedAtZero(ChartKind kind) { return !IsCharacteristicChart(kind); }

namespace {

// Points from..to (1-based, inclusive) in zone 0 with no side.
void ResetZonesOfPoints(CDataSet& set, std::uint32_t from, std::uint32_t to) {
  for (std::uint32_t i = from; i <= to; ++i) {
    TDataSetPoint& p = *set.MutablePoint(i);
    p.zone = 0;
    p.side = 0;
    p.zoneDistance = 0;
  }
}

}  // namespace

void ClearZones(CDataSet& set) {
  set.zones = TChartZones{};
  set.zoneStat = TZoneStat{};
  ResetZonesOfPoints(set, 1, set.Count());
}

void ComputeZones(CDataSet& set, bool clampAtZero) {
  const double cl = set.mean;
  if (!set.hasUcl || !(set.ucl - cl > kSameEpsilon)) {
    ClearZones(set);
    return;
  }
  set.zones = TChartZones{};
  set.zoneStat = TZoneStat{};
  ResetZonesOfPoints(set, 1, std::min(set.FirstIndex() - 1, set.Count()));  // the rest is set below
  TChartZones& z = set.zones;
  const double s = (set.ucl - cl) / 3;
  z.valid = true;
  z.sigma = s;
  ChartZone& a = z.zones[0];
  ChartZone& b = z.zones[1];
  ChartZone& c = z.zones[2];
  a.letter = 'A';
  b.letter = 'B';
  c.letter = 'C';
  a.upper = {set.ucl, cl + 2 * s, "A (+3s)"};  // the top edge is the UCL itself, not cl + 3s rounded
  b.upper = {cl + 2 * s, cl + s, "B (+2s)"};
  c.upper = {cl + s, cl, "C (+1s)"};
  if (clampAtZero) {
    const double m1 = std::max(0.0, cl - s);
    const double m2 = std::max(0.0, cl - 2 * s);
    c.lower = {cl, m1, "C (-1s)"};
    b.lower = {m1, std::max(0.0, m1 - s), "B (-2s)"};
    a.lower = {m2, std::max(0.0, m2 - s), "A (-3s)"};
  } else {
    // With symmetric limits the bottom edge is the LCL itself.
    double bottom = cl - 3 * s;
    if (set.hasLcl && std::fabs(set.lcl - bottom) <= 1e-9 * std::max({1.0, std::fabs(cl), s})) bottom = set.lcl;
    c.lower = {cl, cl - s, "C (-1s)"};
    b.lower = {cl - s, cl - 2 * s, "B (-2s)"};
    a.lower = {cl - 2 * s, bottom, "A (-3s)"};
  }

  // Bands in the order they are tried; a value on a shared edge takes the first.
  const struct {
    const ZoneBand* band;
    std::uint8_t zone;
    std::uint8_t side;
  } kOrder[] = {{&c.upper, 3, 1}, {&c.lower, 3, 2}, {&b.upper, 2, 1}, {&b.lower, 2, 2}, {&a.upper, 1, 1},
                {&a.lower, 1, 2}};
  TZoneStat& stat = set.zoneStat;
  for (std::uint32_t i = set.FirstIndex(); i <= set.Count(); ++i) {
    TDataSetPoint& p = *set.MutablePoint(i);
    const double v = p.value;
    p.zoneDistance = (v - cl) / s;
    p.zone = 0;
    p.side = v >= a.lower.lowerEdge ? 1 : 2;
    for (const auto& o : kOrder) {
      if (o.band->lowerEdge <= v && v <= o.band->upperEdge) {
        p.zone = o.zone;
        p.side = o.side;
        break;
      }
    }
    if (!p.Analysed()) continue;
    ++stat.total;
    ++stat.cells[p.zone][p.side].count;
  }
  for (auto& row : stat.cells) {
    row[0].count = row[1].count + row[2].count;
    for (auto& cell : row) cell.percent = stat.total > 0 ? cell.count * 100.0 / stat.total : 0;
  }
}

std::string_view ZoneCode(int zone) { return zone >= 0 && zone <= 3 ? kZoneCodes[static_cast<std::size_t>(zone)] : ""; }
std::string_view ZoneName(int zone) { return zone >= 0 && zone <= 3 ? kZoneNames[static_cast<std::size_t>(zone)] : ""; }
double ZoneExpectedPercent(int zone) {
  return zone >= 0 && zone <= 3 ? kZoneExpected[static_cast<std::size_t>(zone)] : 0;
}

void EvaluateCriteria(CDataSet& set, std::uint16_t mask) {
  Evaluation e(set);
  const std::vector<TestPoint>& points = e.Points();
  const std::size_t n = points.size();
  if (n == 0) return;
  const auto on = [mask](int c) { return (mask & CriterionBit(c)) != 0; };
  const double cl = set.mean;
  const bool beyond = on(1);
  // One-side runs: C2, or C10 when C2 is not in force. A point on the line starts a run of its
  // own, which goes on upwards (its side is "upper").
  const int oneSide = on(2) ? 2 : on(10) ? 10 : 0;
  const bool trend3 = on(3);
  const bool trend4 = on(4);
  const bool alternation = on(5);
  // The zone tests mean nothing without zones (no UCL above the centre line).
  using namespace zone_class;
  const bool zones = set.zones.valid;
  const bool window6 = zones && on(6), window7 = zones && on(7), window8 = zones && on(8);
  const bool window9 = zones && on(9), window10 = zones && on(10);
  ZoneWindow<6, kUpperAOrBeyond, kLowerAOrBeyond, 1> twoOfThree;  // 2 of 3 in zone A or beyond, on one side
  ZoneWindow<7, kUpperABOrBeyond, kLowerABOrBeyond, 1> fourOfFive;  // 4 of 5 in zone A, B or beyond, one side
  ZoneWindow<8, kZoneC, 0, 0> inC15;
  ZoneWindow<9, kNotZoneC, 0, 0> outOfC8;
  ZoneWindow<10, kZoneC, 0, 0> inC9;

  std::size_t sideStart = 0;
  // Rising and falling runs, each beginning at the last turning point. Equal neighbours keep
  // both runs going for C3 and end both for C4.
  std::size_t rise3 = 0, fall3 = 0, rise4 = 0, fall4 = 0;
  // Alternating runs. When two steps in a row go the same way, the alternation that follows
  // began with the step into the current point, so the new run starts at the previous point.
  // An equal value ends the run, starts a new one at itself and keeps the remembered direction.
  std::size_t alternationStart = 0;
  int direction = 0;  // of the last step that was not flat: +1 up, -1 down
  const auto upper = [&](std::size_t p) -> std::uint8_t { return points[p].value >= cl ? 1 : 0; };

  for (std::size_t p = 0; p < n; ++p) {
    const TestPoint& t = points[p];
    if (beyond && t.beyond) e.Report(kBeyondStream, 1, t.value > cl ? 1 : 0, p, p);
    if (p > 0) {
      if (oneSide != 0 && (OnLine(t.value, cl) || upper(p) != upper(p - 1))) {
        e.Report(kSideStream, oneSide, upper(sideStart), sideStart, p - 1);
        sideStart = p;
      }
      const double step = t.value - points[p - 1].value;
      const bool flat = Flat(step);
      if (trend3 && !flat) {
        if (step > 0) {
          e.Report(TrendStream(3), 3, 0, fall3, p - 1);
          fall3 = p;
        } else {
          e.Report(TrendStream(3), 3, 1, rise3, p - 1);
          rise3 = p;
        }
      }
      if (trend4) {
        if (flat) {
          e.Report(TrendStream(4), 4, 1, rise4, p - 1);
          e.Report(TrendStream(4), 4, 0, fall4, p - 1);
          rise4 = fall4 = p;
        } else if (step > 0) {
          e.Report(TrendStream(4), 4, 0, fall4, p - 1);
          fall4 = p;
        } else {
          e.Report(TrendStream(4), 4, 1, rise4, p - 1);
          rise4 = p;
        }
      }
      if (alternation) {
        if (flat) {
          e.Report(TrendStream(5), 5, 1, alternationStart, p - 1);
          alternationStart = p;
        } else {
          const int d = step > 0 ? 1 : -1;
          if (d == direction) {
            e.Report(TrendStream(5), 5, 1, alternationStart, p - 1);
            alternationStart = p - 1;
          }
          direction = d;
        }
      }
    }
    if (zones) {
      const std::uint8_t zoneClass = t.zoneClass;
      if (window6) twoOfThree.Feed(e, zoneClass, p);
      if (window7) fourOfFive.Feed(e, zoneClass, p);
      if (window8) inC15.Feed(e, zoneClass, p);
      if (window9) outOfC8.Feed(e, zoneClass, p);
      if (window10) inC9.Feed(e, zoneClass, p);
    }
  }
  if (oneSide != 0) e.Report(kSideStream, oneSide, upper(sideStart), sideStart, n - 1);
  if (trend3) {
    e.Report(TrendStream(3), 3, 1, rise3, n - 1);
    e.Report(TrendStream(3), 3, 0, fall3, n - 1);
  }
  if (trend4) {
    e.Report(TrendStream(4), 4, 1, rise4, n - 1);
    e.Report(TrendStream(4), 4, 0, fall4, n - 1);
  }
  if (alternation) e.Report(TrendStream(5), 5, 1, alternationStart, n - 1);
  e.Finish();
}

std::string CriterionHitText(const TCriterionHit& hit, bool longForm) {
  if (!ValidCriterion(hit.criterion)) return {};
  std::string text = hit.criterion == 1 ? "Точка " + FormatInt(hit.first)
                                        : "Серия из " + FormatInt(hit.count) + " точек, с " + FormatInt(hit.first) +
                                              " по " + FormatInt(hit.last);
  text += ". Критерий ";
  text += CriterionCode(hit.criterion);
  text += ": ";
  text += CriterionText(hit.criterion);
  if (longForm && hit.criterion == 2) text += ". Среднее=" + FormatFixed(hit.mean, hit.decimals + 1);
  return text;
}

std::string CriterionHitText(const CDataSet& set, std::size_t number, bool longForm) {
  if (number < 1 || number > set.signals.size()) return {};
  return CriterionHitText(set.signals[number - 1], longForm);
}

int HitsContainingPoint(const CDataSet& set, std::uint32_t index, bool withC1) {
  int n = 0;
  for (const TCriterionHit& hit : set.signals) {
    if (!withC1 && hit.criterion == 1) continue;
    if (hit.first <= index && index <= hit.last) ++n;
  }
  return n;
}

int CriteriaFoundCount(const CDataSet& set) {
  return static_cast<int>(std::count(set.criterionFound.begin(), set.criterionFound.end(), true));
}

}  // namespace mv
