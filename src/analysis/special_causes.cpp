#include "analysis/special_causes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "analysis/chart_kinds.h"
#include "analysis/chart_limits.h"
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

constexpr std::uint8_t ZoneClass(int zone, int side) {
  using namespace zone_class;
  if (zone == 3) return kZoneC;
  std::uint8_t c = kNotZoneC;
  if (zone <= 1) c |= side == 1 ? kUpperAOrBeyond : side == 2 ? kLowerAOrBeyond : 0;
  if (zone <= 2) c |= side == 1 ? kUpperABOrBeyond : side == 2 ? kLowerABOrBeyond : 0;
  return c;
}
// By zone * 4 + side: looked up, so that random zones cost no mispredicted branches.
constexpr auto kZoneClasses = [] {
  std::array<std::uint8_t, 16> table{};
  for (int zone = 0; zone < 4; ++zone) {
    for (int side = 0; side < 4; ++side) table[static_cast<std::size_t>(zone * 4 + side)] = ZoneClass(zone, side);
  }
  return table;
}();

// What the run criteria need of an analysed point, one bit each.
namespace point_bit {
inline constexpr std::uint8_t kUpper = 1;   // on or above the centre line
inline constexpr std::uint8_t kOnLine = 2;  // on the centre line (within the tolerance)
inline constexpr std::uint8_t kFlat = 4;    // equal to the analysed point before it
inline constexpr std::uint8_t kRising = 8;  // above the analysed point before it, not equal
// Not flat, and going the way of the last step that was not flat (there was one).
inline constexpr std::uint8_t kSame = 16;
inline constexpr std::uint8_t kBeyond = 32;  // marked beyond the limits
}  // namespace point_bit

// The hit streams in the order the list takes them: C1, the one-side runs (C2 or C10), C3, C4,
// C5, then the zone windows C6..C10.
enum Stream : std::size_t { kBeyondStream = 0, kSideStream = 1, kTrendStream = 2, kZoneStream = 5, kStreams = 10 };
std::size_t TrendStream(int criterion) { return kTrendStream + static_cast<std::size_t>(criterion - 3); }
std::size_t ZoneStream(int criterion) { return kZoneStream + static_cast<std::size_t>(criterion - 6); }

bool OnLine(double value, double line) { return std::fabs(value - line) < kSameEpsilon; }
bool Flat(double step) { return std::fabs(step) < kSameEpsilon; }

// The analysed points of a data set in index order, as positions (the number of analysed
// points before a point), and their bits as planes: a plane holds one bit of every position,
// 64 positions a word. The criteria then test 64 points at a time and look at single points
// only where a run or a window may be long enough, which on a stable process is rare.
class PointPlanes {
 public:
  static constexpr std::size_t kPlanes = 6;

  std::size_t Count() const { return m_count; }
  std::size_t Words() const { return (m_count + 63) / 64; }
  std::uint32_t IndexAt(std::size_t position) const { return m_index[position]; }
  // Word w of a plane of run bits (point_bit, by bit number) or zone classes (zone_class).
  const std::uint64_t* Run(int bit) const { return m_run[static_cast<std::size_t>(bit)].data(); }
  const std::uint64_t* Zone(int bit) const { return m_zone[static_cast<std::size_t>(bit)].data(); }
  // The positions of word w that exist.
  std::uint64_t Valid(std::size_t w) const {
    const std::size_t left = m_count - w * 64;
    return left >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << left) - 1;
  }

  // Room for `count` positions: the index and the bytes of the run bits and the zone classes
  // of each, filled by the caller through plain pointers (a store through a byte pointer may
  // alias anything, so a member count would be reloaded after every one).
  struct Room {
    std::uint32_t* index;
    std::uint8_t* run;
    std::uint8_t* zone;
  };
  Room Start(std::size_t count) {
    m_count = 0;
    const std::size_t padded = (count + 63) / 64 * 64;
    m_index.resize(count);
    m_runBytes.assign(padded, 0);
    m_zoneBytes.assign(padded, 0);
    return {m_index.data(), m_runBytes.data(), m_zoneBytes.data()};
  }
  // `count` positions were filled: their bytes into planes.
  void Finish(std::size_t count, bool zones) {
    m_count = count;
    m_index.resize(m_count);
    Transpose(m_runBytes, m_run);
    if (zones) Transpose(m_zoneBytes, m_zone);
  }

 private:
  void Transpose(const std::vector<std::uint8_t>& bytes, std::array<std::vector<std::uint64_t>, kPlanes>& planes) {
    const std::size_t words = Words();
    for (auto& plane : planes) plane.assign(words, 0);
    for (std::size_t w = 0; w < words; ++w) {
      const std::uint8_t* b = bytes.data() + w * 64;
#if defined(__SSE2__)
      // Shifting a byte left by 7 - k puts its bit k where movemask takes the byte's sign.
      const __m128i v0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b));
      const __m128i v1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 16));
      const __m128i v2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 32));
      const __m128i v3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(b + 48));
      const auto plane = [&](int shift) {
        const auto mask = [shift](__m128i v) {
          return static_cast<std::uint64_t>(static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_slli_epi64(v, shift))));
        };
        return mask(v0) | mask(v1) << 16 | mask(v2) << 32 | mask(v3) << 48;
      };
      for (std::size_t k = 0; k < kPlanes; ++k) planes[k][w] = plane(static_cast<int>(7 - k));
#else
      for (std::size_t k = 0; k < kPlanes; ++k) {
        std::uint64_t word = 0;
        for (std::size_t j = 0; j < 64; ++j) word |= static_cast<std::uint64_t>((b[j] >> k) & 1U) << j;
        planes[k][w] = word;
      }
#endif
    }
  }

  std::size_t m_count = 0;
  std::vector<std::uint32_t> m_index;  // by position
  std::vector<std::uint8_t> m_runBytes;
  std::vector<std::uint8_t> m_zoneBytes;
  std::array<std::vector<std::uint64_t>, kPlanes> m_run;
  std::array<std::vector<std::uint64_t>, kPlanes> m_zone;
};

// Word w of a plane shifted up by k positions (0..63): bit j holds position 64w + j - k.
std::uint64_t Shifted(const std::uint64_t* plane, std::size_t w, int k) {
  if (k == 0) return plane[w];
  return plane[w] << k | (w > 0 ? plane[w - 1] >> (64 - k) : 0);
}

// Positions of word w from position `from` on.
std::uint64_t From(std::size_t w, std::size_t from) {
  if (from <= w * 64) return ~std::uint64_t{0};
  if (from >= w * 64 + 64) return 0;
  return ~std::uint64_t{0} << (from - w * 64);
}

// Positions followed by at least k - 1 more positions of the word that are all set in `x`
// (k >= 1): a run of k set bits starts there.
std::uint64_t RunStarts(std::uint64_t x, int k) {
  std::uint64_t y = x;
  for (int i = 1; i < k && y != 0; ++i) y &= x >> i;
  return y;
}

// The one pass over a data set's points after its limits. With kMark it marks (flag 4) and
// counts the analysed points beyond the limits, against its own limits an entry of `data` that
// has them, and counts the analysed points by zone; with kClassify it clears the series marks
// and fills `out` (the zone classes only with `zoneClasses`). A point's flags are written only
// where they change, so that a pass over a chart with few marks mostly only reads.
template <bool kMark, bool kClassify>
std::uint32_t PassOverPoints(CDataSet& set, const TChartDataX* data, bool ownLimitsUsed, bool zoneClasses,
                             PointPlanes* out) {
  using namespace point_bit;
  if (kMark) set.zoneStat = TZoneStat{};
  const std::uint32_t count = set.Count();
  PointPlanes::Room room{};
  if constexpr (kClassify) room = out->Start(count);
  if (count == 0) {
    if constexpr (kClassify) out->Finish(0, false);
    return 0;
  }
  TDataSetPoint* const points = set.MutablePoint(1);
  const std::uint32_t first = set.FirstIndex();
  const double cl = set.mean;
  // Without a limit the comparison never holds.
  const double ucl = set.hasUcl ? set.ucl : std::numeric_limits<double>::infinity();
  const double lcl = set.hasLcl ? set.lcl : -std::numeric_limits<double>::infinity();
  const std::size_t own = ownLimitsUsed && data ? data->points.size() : 0;
  const bool zones = set.zones.valid;
  const bool place = zones && (kMark || zoneClasses);
  const ZoneLocator locator(set.zones);
  std::array<std::uint32_t, 12> zoneCounts{};  // by zone * 3 + side
  constexpr unsigned kCleared = (kMark ? dsp_flag::kBeyond : 0U) | (kClassify ? dsp_flag::kSeries : 0U);
  std::uint32_t beyondCount = 0;
  std::size_t n = 0;     // positions filled
  bool any = false;      // an analysed point came before
  bool anyStep = false;  // a step that was not flat came before
  bool rose = false;     // the last such step went up
  double previous = 0;
  for (std::uint32_t i = 1; i <= count; ++i) {
    TDataSetPoint& p = points[i - 1];
    const std::uint8_t old = p.flags;
    auto flags = static_cast<std::uint8_t>(old & ~kCleared);
    if (i >= first && (old & dsp_flag::kAnalysed) == dsp_flag::kAnalysed) {
      const double v = p.value;
      bool beyond = (old & dsp_flag::kBeyond) != 0;
      if constexpr (kMark) {
        const TChartPoint* e = i <= own ? &data->points[i - 1] : nullptr;
        if (e && (e->flags & chart_point_flag::kOwnLimits) != 0) [[unlikely]] {
          beyond = v > e->ownUpper || v < e->ownLower;
        } else {
          beyond = (v > ucl) | (v < lcl);
        }
        flags = static_cast<std::uint8_t>(flags | (beyond ? dsp_flag::kBeyond : 0U));
        beyondCount += beyond ? 1 : 0;
      }
      ZonePlace zone;
      if (place) {
        zone = locator.Place(v);
        if (kMark) ++zoneCounts[static_cast<std::size_t>(zone.zone * 3 + zone.side)];
      }
      if constexpr (kClassify) {
        const double step = v - previous;
        const bool flat = any & Flat(step);
        const bool rising = any & !flat & (step > 0);
        const bool same = any & !flat & anyStep & (rising == rose);
        const unsigned run = (v >= cl ? kUpper : 0U) | (OnLine(v, cl) ? kOnLine : 0U) | (flat ? kFlat : 0U) |
                             (rising ? kRising : 0U) | (same ? kSame : 0U) | (beyond ? kBeyond : 0U);
        const std::uint8_t zoneClass =
            zoneClasses ? kZoneClasses[static_cast<std::size_t>(zone.zone * 4 + zone.side)] : std::uint8_t{0};
        room.index[n] = i;
        room.run[n] = static_cast<std::uint8_t>(run);
        room.zone[n] = zoneClass;
        ++n;
        rose = (any & !flat) ? rising : rose;
        anyStep = anyStep | (any & !flat);
        any = true;
        previous = v;
      }
    }
    if (flags != old) p.flags = flags;
  }
  if constexpr (kClassify) out->Finish(n, zoneClasses);
  if (kMark && zones) {
    TZoneStat& stat = set.zoneStat;
    for (std::size_t zone = 0; zone < 4; ++zone) {
      for (std::size_t side = 1; side < 3; ++side) {
        stat.cells[zone][side].count = zoneCounts[zone * 3 + side];
        stat.total += zoneCounts[zone * 3 + side];
      }
    }
    for (auto& row : stat.cells) {
      row[0].count = row[1].count + row[2].count;
      for (auto& cell : row) cell.percent = stat.total > 0 ? cell.count * 100.0 / stat.total : 0;
    }
  }
  return beyondCount;
}

// The hits found over the positions of a pass. Each criterion keeps its hits in a stream of its
// own, and the streams join in the fixed order at the end, so the list is what running the
// criteria one after another gives. A run is a range of positions, so its count of analysed
// points is its length.
class Evaluation {
 public:
  static constexpr std::uint16_t kZoneCriteria = 0x3E0;  // C6..C10

  // Clears the signal list; `markBeyond` marks the points beyond the limits in the same pass
  // (and counts the zones), otherwise the marks there are taken as they are.
  Evaluation(CDataSet& set, std::uint16_t mask, bool markBeyond, const TChartDataX* data, bool ownLimitsUsed)
      : m_set(set), m_base(set.MutablePoint(1)) {
    set.signals.clear();
    set.criterionFound.fill(false);
    const bool zoneClasses = set.zones.valid && (mask & kZoneCriteria) != 0;
    m_beyond = markBeyond ? PassOverPoints<true, true>(set, data, ownLimitsUsed, zoneClasses, &m_points)
                          : PassOverPoints<false, true>(set, data, ownLimitsUsed, zoneClasses, &m_points);
  }

  const PointPlanes& Points() const { return m_points; }
  std::uint32_t BeyondCount() const { return m_beyond; }
  double ValueAt(std::size_t position) const { return m_base[m_points.IndexAt(position) - 1].value; }

  // A hit for positions first..last when they reach the criterion's length; its points are
  // marked part of a series (the C1 hits are not). A criterion is found even when its hit no
  // longer fits the list: the conclusion counts criteria.
  void Report(std::size_t stream, int criterion, std::uint8_t side, std::size_t first, std::size_t last) {
    const std::size_t count = last - first + 1;
    if (count < static_cast<std::size_t>(Row(criterion).length)) return;
    m_set.criterionFound[static_cast<std::size_t>(criterion - 1)] = true;
    if (criterion != 1) {
      for (std::size_t p = first; p <= last; ++p) m_base[m_points.IndexAt(p) - 1].flags |= dsp_flag::kSeries;
    }
    std::vector<TCriterionHit>& hits = m_hits[stream];
    if (hits.size() >= kMaxCriterionHits) return;  // no later stream's hit could come before it
    double sum = 0;
    for (std::size_t p = first; p <= last; ++p) sum += ValueAt(p);
    TCriterionHit hit;
    hit.criterion = static_cast<std::uint8_t>(criterion);
    hit.side = side;
    hit.first = m_points.IndexAt(first);
    hit.last = m_points.IndexAt(last);
    hit.count = static_cast<std::uint32_t>(count);
    hit.mean = sum / static_cast<double>(count);
    hit.decimals = m_set.decimals;
    hits.push_back(hit);
  }

  // The streams into the data set's list, up to its capacity.
  void Finish() {
    for (const auto& stream : m_hits) {
      for (const TCriterionHit& hit : stream) {
        if (m_set.signals.size() >= kMaxCriterionHits) return;
        m_set.signals.push_back(hit);
      }
    }
  }

 private:
  CDataSet& m_set;
  TDataSetPoint* m_base;
  PointPlanes m_points;
  std::uint32_t m_beyond = 0;
  std::array<std::vector<TCriterionHit>, kStreams> m_hits;
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

void ClearZones(CDataSet& set) {
  set.zones = TChartZones{};
  set.zoneStat = TZoneStat{};
}

void ComputeZones(CDataSet& set, bool clampAtZero) {
  const double cl = set.mean;
  if (!set.hasUcl || !(set.ucl - cl > kSameEpsilon)) {
    ClearZones(set);
    return;
  }
  set.zones = TChartZones{};
  set.zoneStat = TZoneStat{};
  TChartZones& z = set.zones;
  const double s = (set.ucl - cl) / 3;
  z.valid = true;
  z.centre = cl;
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
}

std::string_view ZoneCode(int zone) { return zone >= 0 && zone <= 3 ? kZoneCodes[static_cast<std::size_t>(zone)] : ""; }
std::string_view ZoneName(int zone) { return zone >= 0 && zone <= 3 ? kZoneNames[static_cast<std::size_t>(zone)] : ""; }
double ZoneExpectedPercent(int zone) {
  return zone >= 0 && zone <= 3 ? kZoneExpected[static_cast<std::size_t>(zone)] : 0;
}

namespace {

constexpr int BitOf(std::uint8_t flag) { return std::countr_zero(static_cast<unsigned>(flag)); }

bool BitAt(const std::uint64_t* plane, std::size_t position) { return (plane[position / 64] >> (position % 64) & 1) != 0; }

// C1: the points marked beyond; the side is 1 above the centre line.
void BeyondPoints(Evaluation& e, double cl) {
  const PointPlanes& points = e.Points();
  const std::uint64_t* beyond = points.Run(BitOf(point_bit::kBeyond));
  for (std::size_t w = 0; w < points.Words(); ++w) {
    for (std::uint64_t b = beyond[w]; b != 0; b &= b - 1) {
      const std::size_t p = w * 64 + static_cast<std::size_t>(std::countr_zero(b));
      e.Report(kBeyondStream, 1, e.ValueAt(p) > cl ? 1 : 0, p, p);
    }
  }
}

// Runs ended by resets, reported when they end and reach the criterion's length; the last run
// is reported at the end. Two kinds (a, b) go through together, so that their hits come in the
// order of the resets (a before b at the same point). `resets(w)` gives word w's resets of a
// and b (positions from 1 on). A word where no run can have grown long enough (the first reset
// against the run carried in, the others against the reset before) only moves the starts to
// its last resets; the others are gone through reset by reset. `sideOf(k, start)` is the side
// of a hit of kind k.
template <typename Resets, typename Side>
void ResetRuns(Evaluation& e, std::size_t stream, int criterion, std::array<bool, 2> on, std::array<bool, 2> back,
               Resets resets, Side sideOf, const std::uint64_t* backPlane = nullptr) {
  const PointPlanes& points = e.Points();
  const std::size_t n = points.Count();
  const std::size_t length = static_cast<std::size_t>(CriterionLength(criterion));
  std::array<std::size_t, 2> start{0, 0};
  // Where a reset at p starts the next run of kind k.
  const auto nextStart = [&](std::size_t k, std::size_t p) {
    return back[k] && BitAt(backPlane, p) ? p - 1 : p;
  };
  for (std::size_t w = 0; w < points.Words(); ++w) {
    const std::array<std::uint64_t, 2> r = resets(w);
    bool slow = false;
    for (std::size_t k = 0; k < 2; ++k) {
      if (!on[k] || r[k] == 0) continue;
      const int lo = std::countr_zero(r[k]);
      const int hi = 63 - std::countl_zero(r[k]);
      if (w * 64 + static_cast<std::size_t>(lo) - start[k] >= length) slow = true;
      // The gaps between the word's resets: a run from a reset that starts one back is one longer.
      const std::uint64_t between = ~r[k] & ((std::uint64_t{1} << hi) - 1) & ~((std::uint64_t{2} << lo) - 1);
      if (RunStarts(between, static_cast<int>(length) - 1 - (back[k] ? 1 : 0)) != 0) slow = true;
    }
    if (!slow) {
      for (std::size_t k = 0; k < 2; ++k) {
        if (on[k] && r[k] != 0) start[k] = nextStart(k, w * 64 + 63 - static_cast<std::size_t>(std::countl_zero(r[k])));
      }
      continue;
    }
    for (std::uint64_t any = (on[0] ? r[0] : 0) | (on[1] ? r[1] : 0); any != 0; any &= any - 1) {
      const int bit = std::countr_zero(any);
      const std::size_t p = w * 64 + static_cast<std::size_t>(bit);
      for (std::size_t k = 0; k < 2; ++k) {
        if (!on[k] || (r[k] >> bit & 1) == 0) continue;
        if (p - start[k] >= length) e.Report(stream, criterion, sideOf(k, start[k]), start[k], p - 1);
        start[k] = nextStart(k, p);
      }
    }
  }
  for (std::size_t k = 0; k < 2; ++k) {
    if (on[k]) e.Report(stream, criterion, sideOf(k, start[k]), start[k], n - 1);
  }
}

// Positions from 1 on of word w.
std::uint64_t Steps(const PointPlanes& points, std::size_t w) { return points.Valid(w) & (w == 0 ? ~std::uint64_t{1} : ~std::uint64_t{0}); }

// Runs on one side of the centre line (C2 or C10). A point on the line starts a run of its own,
// which goes on upwards (its side is "upper"). The side of a hit is that of its first point.
void OneSideRuns(Evaluation& e, int criterion) {
  using namespace point_bit;
  const PointPlanes& points = e.Points();
  const std::uint64_t* upper = points.Run(BitOf(kUpper));
  const std::uint64_t* onLine = points.Run(BitOf(kOnLine));
  ResetRuns(
      e, kSideStream, criterion, {true, false}, {false, false},
      [&](std::size_t w) -> std::array<std::uint64_t, 2> {
        return {(onLine[w] | (upper[w] ^ Shifted(upper, w, 1))) & Steps(points, w), 0};
      },
      [&](std::size_t, std::size_t start) -> std::uint8_t { return BitAt(upper, start) ? 1 : 0; });
}

// Rising and falling runs (C3, C4), each beginning at the last turning point: equal neighbours
// keep both runs going for C3 and end both for C4.
void Trends(Evaluation& e, int criterion) {
  using namespace point_bit;
  const PointPlanes& points = e.Points();
  const std::uint64_t* flat = points.Run(BitOf(kFlat));
  const std::uint64_t* rising = points.Run(BitOf(kRising));
  const bool endsOnFlat = criterion == 4;
  ResetRuns(
      e, TrendStream(criterion), criterion, {true, true}, {false, false},
      [&](std::size_t w) -> std::array<std::uint64_t, 2> {
        const std::uint64_t steps = Steps(points, w);
        const std::uint64_t falling = ~flat[w] & ~rising[w] & steps;
        const std::uint64_t flats = endsOnFlat ? flat[w] & steps : 0;
        return {falling | flats, (rising[w] & steps) | flats};  // the rising run, then the falling one
      },
      [](std::size_t k, std::size_t) -> std::uint8_t { return k == 0 ? 1 : 0; });
}

// Alternating runs (C5). When two steps in a row go the same way, the alternation that follows
// began with the step into the current point, so the new run starts at the previous point; an
// equal value ends the run and starts a new one at itself.
void Alternation(Evaluation& e) {
  using namespace point_bit;
  const PointPlanes& points = e.Points();
  const std::uint64_t* flat = points.Run(BitOf(kFlat));
  const std::uint64_t* same = points.Run(BitOf(kSame));
  ResetRuns(
      e, TrendStream(5), 5, {true, false}, {true, false},
      [&](std::size_t w) -> std::array<std::uint64_t, 2> { return {(flat[w] | same[w]) & Steps(points, w), 0}; },
      [](std::size_t, std::size_t) -> std::uint8_t { return 1; }, same);
}

// Windows of w consecutive analysed points, tested one start after another; after a hit the
// next window begins after it, so the windows of one criterion never share a point. A window
// holds when at most `missing` (0 or 1) of its points lack zone-class bit a, or of bit b. The
// windows that hold are found 64 ends at a time; the hits are taken from them in order.
void ZoneWindowRun(Evaluation& e, int criterion, std::uint8_t bitA, std::uint8_t bitB, int missing) {
  const PointPlanes& points = e.Points();
  const int width = CriterionLength(criterion);
  const std::uint64_t* a = points.Zone(BitOf(bitA));
  const std::uint64_t* b = bitB != 0 ? points.Zone(BitOf(bitB)) : nullptr;
  // Ends of windows of the word in which at most `missing` positions lack the plane's bit.
  const auto holding = [&](const std::uint64_t* plane, std::size_t w) {
    std::uint64_t all = ~std::uint64_t{0};
    std::uint64_t twice = 0;  // lacking at least two
    std::uint64_t once = 0;   // lacking at least one
    for (int k = 0; k < width; ++k) {
      const std::uint64_t x = Shifted(plane, w, k);
      all &= x;
      twice |= once & ~x;
      once |= ~x;
    }
    return missing == 0 ? all : ~twice;
  };
  std::size_t next = static_cast<std::size_t>(width) - 1;  // the end of the first complete window
  for (std::size_t w = 0; w < points.Words(); ++w) {
    std::uint64_t ends = holding(a, w);
    if (b) ends |= holding(b, w);
    ends &= points.Valid(w);
    for (ends &= From(w, next); ends != 0; ends &= From(w, next)) {
      const std::size_t p = w * 64 + static_cast<std::size_t>(std::countr_zero(ends));
      e.Report(ZoneStream(criterion), criterion, 0, p + 1 - static_cast<std::size_t>(width), p);
      next = p + static_cast<std::size_t>(width);
    }
  }
}

std::uint32_t Evaluate(CDataSet& set, std::uint16_t mask, bool markBeyond, const TChartDataX* data,
                       bool ownLimitsUsed) {
  Evaluation e(set, mask, markBeyond, data, ownLimitsUsed);
  if (e.Points().Count() > 0) {
    const auto on = [mask](int c) { return (mask & CriterionBit(c)) != 0; };
    // Criterion by criterion in the fixed order.
    if (on(1)) BeyondPoints(e, set.mean);
    if (on(2) || on(10)) OneSideRuns(e, on(2) ? 2 : 10);
    if (on(3)) Trends(e, 3);
    if (on(4)) Trends(e, 4);
    if (on(5)) Alternation(e);
    // The zone tests mean nothing without zones (no UCL above the centre line).
    if (set.zones.valid) {
      using namespace zone_class;
      if (on(6)) ZoneWindowRun(e, 6, kUpperAOrBeyond, kLowerAOrBeyond, 1);  // 2 of 3 in A or beyond, one side
      if (on(7)) ZoneWindowRun(e, 7, kUpperABOrBeyond, kLowerABOrBeyond, 1);  // 4 of 5 in A, B or beyond
      if (on(8)) ZoneWindowRun(e, 8, kZoneC, 0, 0);
      if (on(9)) ZoneWindowRun(e, 9, kNotZoneC, 0, 0);
      if (on(10)) ZoneWindowRun(e, 10, kZoneC, 0, 0);
    }
    e.Finish();
  }
  return e.BeyondCount();
}

}  // namespace

void EvaluateCriteria(CDataSet& set, std::uint16_t mask) { Evaluate(set, mask, false, nullptr, false); }

std::uint32_t EvaluateChart(CDataSet& set, std::uint16_t mask, const TChartDataX* data, bool ownLimitsUsed) {
  return Evaluate(set, mask, true, data, ownLimitsUsed);
}

std::uint32_t MarkBeyondLimits(CDataSet& set, const TChartDataX* data, bool ownLimitsUsed) {
  return PassOverPoints<true, false>(set, data, ownLimitsUsed, false, nullptr);
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
