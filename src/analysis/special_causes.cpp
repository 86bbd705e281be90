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

// The analysed points of a data set in index order, and the reporting of runs over them. A
// run is a range of positions in that order, so its count of analysed points is its length.
class Evaluator {
 public:
  explicit Evaluator(CDataSet& set) : m_set(set) {
    m_index.reserve(set.Count());
    for (std::uint32_t i = set.FirstIndex(); i <= set.Count(); ++i) {
      if (set.IsAnalysed(i)) m_index.push_back(i);
    }
    m_value.reserve(m_index.size());
    for (const std::uint32_t i : m_index) m_value.push_back(set.Value(i));
  }

  std::size_t Size() const { return m_index.size(); }
  double Value(std::size_t pos) const { return m_value[pos]; }
  const TDataSetPoint& Point(std::size_t pos) const { return *m_set.Point(m_index[pos]); }
  std::uint32_t Index(std::size_t pos) const { return m_index[pos]; }

  // A hit for positions first..last when they reach the criterion's length; its points are
  // marked part of a series (the C1 hits are not).
  void Report(int criterion, std::uint8_t side, std::size_t first, std::size_t last) {
    const std::size_t count = last - first + 1;
    if (count < static_cast<std::size_t>(Row(criterion).length)) return;
    double sum = 0;
    for (std::size_t p = first; p <= last; ++p) sum += m_value[p];
    Add(criterion, side, first, last, sum / static_cast<double>(count));
    if (criterion == 1) return;
    for (std::size_t p = first; p <= last; ++p) m_set.SetFlag(m_index[p], dsp_flag::kSeries, true);
  }

 private:
  void Add(int criterion, std::uint8_t side, std::size_t first, std::size_t last, double mean) {
    // A criterion whose hit no longer fits is still found: the conclusion counts criteria.
    m_set.criterionFound[static_cast<std::size_t>(criterion - 1)] = true;
    if (m_set.signals.size() >= kMaxCriterionHits) return;
    TCriterionHit hit;
    hit.criterion = static_cast<std::uint8_t>(criterion);
    hit.side = side;
    hit.first = m_index[first];
    hit.last = m_index[last];
    hit.count = static_cast<std::uint32_t>(last - first + 1);
    hit.mean = mean;
    hit.decimals = m_set.decimals;
    m_set.signals.push_back(hit);
  }

  CDataSet& m_set;
  std::vector<std::uint32_t> m_index;
  std::vector<double> m_value;
};

bool OnLine(double value, double line) { return std::fabs(value - line) < kSameEpsilon; }

void BeyondPoints(Evaluator& e, double cl) {
  for (std::size_t p = 0; p < e.Size(); ++p) {
    if ((e.Point(p).flags & dsp_flag::kBeyond) != 0) e.Report(1, e.Value(p) > cl ? 1 : 0, p, p);
  }
}

// Runs on one side of the centre line. A point on the line starts a run of its own, which goes
// on upwards (its side is "upper").
void OneSideRuns(Evaluator& e, int criterion, double cl) {
  const std::size_t n = e.Size();
  if (n == 0) return;
  std::size_t start = 0;
  const auto upper = [&](std::size_t p) { return e.Value(p) >= cl; };
  for (std::size_t p = 1; p < n; ++p) {
    if (OnLine(e.Value(p), cl) || upper(p) != upper(p - 1)) {
      e.Report(criterion, upper(start) ? 1 : 0, start, p - 1);
      start = p;
    }
  }
  e.Report(criterion, upper(start) ? 1 : 0, start, n - 1);
}

// Rising and falling runs, each beginning at the last turning point. Equal neighbours keep both
// runs going for C3 and end both for C4.
void TrendRuns(Evaluator& e, int criterion) {
  const std::size_t n = e.Size();
  if (n == 0) return;
  std::size_t rise = 0;
  std::size_t fall = 0;
  for (std::size_t p = 1; p < n; ++p) {
    const double step = e.Value(p) - e.Value(p - 1);
    if (std::fabs(step) < kSameEpsilon) {
      if (criterion == 4) {
        e.Report(criterion, 1, rise, p - 1);
        e.Report(criterion, 0, fall, p - 1);
        rise = fall = p;
      }
    } else if (step > 0) {
      e.Report(criterion, 0, fall, p - 1);
      fall = p;
    } else {
      e.Report(criterion, 1, rise, p - 1);
      rise = p;
    }
  }
  e.Report(criterion, 1, rise, n - 1);
  e.Report(criterion, 0, fall, n - 1);
}

// Alternating runs. When two steps in a row go the same way, the alternation that follows began
// with the step into the current point, so the new run starts at the previous point. An equal
// value ends the run, starts a new one at itself and keeps the remembered direction.
void AlternatingRuns(Evaluator& e) {
  const std::size_t n = e.Size();
  if (n == 0) return;
  std::size_t start = 0;
  int direction = 0;  // of the last step that was not flat: +1 up, -1 down
  for (std::size_t p = 1; p < n; ++p) {
    const double step = e.Value(p) - e.Value(p - 1);
    if (std::fabs(step) < kSameEpsilon) {
      e.Report(5, 1, start, p - 1);
      start = p;
      continue;
    }
    const int d = step > 0 ? 1 : -1;
    if (d == direction) {
      e.Report(5, 1, start, p - 1);
      start = p - 1;
    }
    direction = d;
  }
  e.Report(5, 1, start, n - 1);
}

// What a zone window counts of a point: two tallies (one per side, or one for all).
struct WindowTally {
  int a = 0;
  int b = 0;
};

WindowTally TallyOf(int criterion, const TDataSetPoint& p) {
  switch (criterion) {
    case 6: {  // zone A or beyond, by side
      const bool in = p.zone == 0 || p.zone == 1;
      return {in && p.side == 1, in && p.side == 2};
    }
    case 7: {  // zone A, B or beyond, by side
      const bool in = p.zone <= 2;
      return {in && p.side == 1, in && p.side == 2};
    }
    case 8:
    case 10: return {p.zone == 3, 0};
    default: return {p.zone != 3, 0};  // C9: none in zone C
  }
}

bool WindowHolds(int criterion, int w, const WindowTally& t) {
  switch (criterion) {
    case 6: return t.a >= 2 || t.b >= 2;
    case 7: return t.a >= 4 || t.b >= 4;
    default: return t.a == w;
  }
}

// Windows of w consecutive analysed points, tested one start after another; after a hit the
// next window begins after it, so the windows of one criterion never share a point.
void ZoneWindows(Evaluator& e, int criterion) {
  const std::size_t w = static_cast<std::size_t>(Row(criterion).length);
  const std::size_t n = e.Size();
  std::size_t p = 0;
  WindowTally tally;
  bool filled = false;  // the tally holds the window p..p+w-1
  while (p + w <= n) {
    if (!filled) {
      tally = {};
      for (std::size_t q = p; q < p + w; ++q) {
        const WindowTally t = TallyOf(criterion, e.Point(q));
        tally.a += t.a;
        tally.b += t.b;
      }
      filled = true;
    }
    if (WindowHolds(criterion, static_cast<int>(w), tally)) {
      e.Report(criterion, 0, p, p + w - 1);
      p += w;
      filled = false;
      continue;
    }
    if (p + w < n) {  // slide by one point
      const WindowTally out = TallyOf(criterion, e.Point(p));
      const WindowTally in = TallyOf(criterion, e.Point(p + w));
      tally.a += in.a - out.a;
      tally.b += in.b - out.b;
    }
    ++p;
  }
}

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

void ClearZones(CDataSet& set) {
  set.zones = TChartZones{};
  set.zoneStat = TZoneStat{};
  for (std::uint32_t i = 1; i <= set.Count(); ++i) {
    TDataSetPoint& p = *set.MutablePoint(i);
    p.zone = 0;
    p.side = 0;
    p.zoneDistance = 0;
  }
}

void ComputeZones(CDataSet& set, bool clampAtZero) {
  const double cl = set.mean;
  if (!set.hasUcl || !(set.ucl - cl > kSameEpsilon)) {
    ClearZones(set);
    return;
  }
  ClearZones(set);
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
  set.signals.clear();
  set.criterionFound.fill(false);
  for (std::uint32_t i = 1; i <= set.Count(); ++i) set.SetFlag(i, dsp_flag::kSeries, false);
  Evaluator e(set);
  const double cl = set.mean;
  const auto on = [mask](int c) { return (mask & CriterionBit(c)) != 0; };
  if (on(1)) BeyondPoints(e, cl);
  if (on(2)) {
    OneSideRuns(e, 2, cl);
  } else if (on(10)) {
    OneSideRuns(e, 10, cl);
  }
  if (on(3)) TrendRuns(e, 3);
  if (on(4)) TrendRuns(e, 4);
  if (on(5)) AlternatingRuns(e);
  // The zone tests mean nothing without zones (no UCL above the centre line).
  if (!set.zones.valid) return;
  for (int c = 6; c <= 10; ++c) {
    if (on(c)) ZoneWindows(e, c);
  }
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
