#include "spc/sample.h"

#include <atomic>
#include <bit>
#include <cassert>
#include <cmath>
#include <cstring>
#include <new>
#include <utility>

#include "core/date_time.h"

#if defined(__linux__)
#include <sys/mman.h>
#endif

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
  if (n <= 16) {
    // The usual sample of a few points: sorted in place, cheaper than a selection; the two
    // middle values are the same ones either way.
    for (std::size_t i = 1; i < n; ++i) {
      const double v = values[i];
      std::size_t j = i;
      for (; j > 0 && v < values[j - 1]; --j) values[j] = values[j - 1];
      values[j] = v;
    }
    s.median = n % 2 == 1 ? *mid : (*(mid - 1) + *mid) / 2;
    return s;
  }
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

// --- storage ---

struct TSPCSample::Layout {
  std::size_t stats, dates, values, pointFlags, valueFlags, counts, size;
  std::size_t capacity;
};

TSPCSample::Layout TSPCSample::LayoutOf(std::size_t capacity, std::size_t width) {
  Layout l{};
  l.capacity = capacity;
  l.stats = kHeadBytes;  // min, max, mean, median, average moving range, deviation
  l.dates = DatesAt(capacity, width);
  l.values = ValuesAt(capacity, width);
  l.pointFlags = PointFlagsAt(capacity, width);
  l.valueFlags = ValueFlagsAt(capacity, width);
  l.counts = CountsAt(capacity, width);
  l.size = (l.counts + width + 7) / 8 * 8;
  return l;
}

std::size_t TSPCSample::StorageBytes(int points, int parameters) {
  const auto c = static_cast<std::size_t>(std::clamp(points, 0, static_cast<int>(kMaxPoints)));
  const auto w = static_cast<std::size_t>(std::clamp(parameters, 0, static_cast<int>(kMaxParameters)));
  return LayoutOf(c, w).size;
}

TSPCSample::Layout TSPCSample::Places() const { return LayoutOf(m_capacity, m_width); }

TSPCSample::Texts* TSPCSample::TextsPtr() const {
  if (m_region == nullptr) return nullptr;
  Texts* texts;
  std::memcpy(&texts, m_region, sizeof texts);
  return texts;
}

SampleStorageArea* TSPCSample::AreaPtr() const {
  if (m_region == nullptr) return nullptr;
  SampleStorageArea* area;
  std::memcpy(&area, m_region + sizeof(void*), sizeof area);
  return area;
}

void TSPCSample::SetTexts(Texts* texts) {
  if (m_region == nullptr) Relayout(m_capacity, m_width);
  std::memcpy(m_region, &texts, sizeof texts);
}

void TSPCSample::Relayout(int capacity, int width) {
  assert(capacity >= m_count && width >= m_width && capacity <= static_cast<int>(kMaxPoints) &&
         width <= static_cast<int>(kMaxParameters));
  const Layout from = Places();
  const Layout to = LayoutOf(static_cast<std::size_t>(capacity), static_cast<std::size_t>(width));
  // Value-initialised: the statistics of parameters new to the sample read as zero.
  auto* region = new std::byte[to.size]();
  if (m_region != nullptr) {
    const auto n = static_cast<std::size_t>(m_count);
    std::memcpy(region, m_region, sizeof(void*));  // the texts stay the sample's
    if (OneValueStats(from.capacity) && !OneValueStats(to.capacity)) {
      // The statistics of at most one value, written out in full.
      for (std::size_t k = 0; k < m_width; ++k) {
        double v;
        std::memcpy(&v, m_region + from.stats + k * sizeof(double), sizeof v);
        const double d[kStatDoubles] = {v, v, v, v, 0, 0};
        std::memcpy(region + to.stats + k * kStatBytes, d, sizeof d);
      }
    } else {
      std::memcpy(region + to.stats, m_region + from.stats, from.dates - from.stats);
    }
    std::memcpy(region + to.dates, m_region + from.dates, n * sizeof(double));
    std::memcpy(region + to.pointFlags, m_region + from.pointFlags, n * sizeof(std::uint16_t));
    for (std::size_t k = 0; k < m_width; ++k) {
      std::memcpy(region + to.values + k * to.capacity * sizeof(double), m_region + from.values + k * from.capacity * sizeof(double),
                  n * sizeof(double));
      std::memcpy(region + to.valueFlags + k * to.capacity * sizeof(std::uint16_t),
                  m_region + from.valueFlags + k * from.capacity * sizeof(std::uint16_t), n * sizeof(std::uint16_t));
    }
    std::memcpy(region + to.counts, m_region + from.counts, m_width);
    if (m_ownsRegion) {
      delete[] m_region;
    } else if (SampleStorageArea* area = AreaPtr()) {
      area->Release();
    }
  }
  // The slots of the parameters new to the sample are empty in every point.
  for (std::size_t k = m_width; k < static_cast<std::size_t>(width); ++k) {
    auto* flagColumn = reinterpret_cast<std::uint16_t*>(region + to.valueFlags) + k * to.capacity;
    std::fill_n(flagColumn, m_count, value_flag::kEmpty);
  }
  m_region = region;
  m_ownsRegion = true;
  m_capacity = static_cast<std::uint8_t>(capacity);
  m_width = static_cast<std::uint8_t>(width);
}

void TSPCSample::Release() {
  delete TextsPtr();
  if (m_ownsRegion) {
    delete[] m_region;
  } else if (SampleStorageArea* area = AreaPtr()) {
    area->Release();
  }
  m_region = nullptr;
  m_ownsRegion = false;
  m_count = m_capacity = m_width = 0;
}

void TSPCSample::UseStorage(std::byte* memory, int points, int parameters) {
  assert(m_region == nullptr && memory != nullptr);
  m_capacity = static_cast<std::uint8_t>(std::clamp(points, 0, static_cast<int>(kMaxPoints)));
  m_width = static_cast<std::uint8_t>(std::clamp(parameters, 0, static_cast<int>(kMaxParameters)));
  m_count = 0;
  m_region = memory;
  m_ownsRegion = false;
  const Layout l = Places();
  std::memset(m_region, 0, l.dates);              // no texts, no area, zero statistics
  std::memset(m_region + l.counts, 0, m_width);  // no values counted
}

void TSPCSample::UseStorage(SampleStorageArea& area, std::byte* memory, int points, int parameters) {
  UseStorage(memory, points, parameters);
  SampleStorageArea* held = &area;
  area.Hold();
  std::memcpy(m_region + sizeof(void*), &held, sizeof held);
}

// --- storage areas ---

namespace {
std::atomic<std::size_t> g_mappedBytes{0};
}  // namespace

std::size_t SampleStorageArea::MappedBytes() { return g_mappedBytes.load(std::memory_order_relaxed); }

SampleStorageArea* SampleStorageArea::Create(std::size_t bytes) {
  static_assert(sizeof(SampleStorageArea) <= kHeader && kHeader % 8 == 0);
  const std::size_t size = (bytes + 7) / 8 * 8;
  // Not initialised: a sample laid out in it sets what it reads, and pages never reached stay
  // untouched.
#if defined(__linux__)
  if (size >= kLargeAreaBytes) {
    // A whole number of large pages, so that the system places the mapping on their bounds.
    const std::size_t mapped = (kHeader + size + kLargePage - 1) / kLargePage * kLargePage;
    void* memory = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) throw std::bad_alloc();
    // Only advice: where the system has no large page free it hands out small ones.
    ::madvise(memory, mapped, MADV_HUGEPAGE);
    g_mappedBytes.fetch_add(mapped, std::memory_order_relaxed);
    return new (memory) SampleStorageArea(mapped - kHeader, mapped);
  }
#endif
  void* memory = ::operator new(kHeader + size);
  return new (memory) SampleStorageArea(size, 0);
}

std::byte* SampleStorageArea::Take(std::size_t bytes) {
  if (bytes % 8 != 0 || bytes > FreeBytes()) return nullptr;
  std::byte* at = Data() + m_used;
  m_used += bytes;
  return at;
}

void SampleStorageArea::Release() {
  if (--m_holders > 0) return;
  const std::size_t mapped = m_mapped;
  this->~SampleStorageArea();
#if defined(__linux__)
  if (mapped != 0) {
    ::munmap(static_cast<void*>(this), mapped);
    g_mappedBytes.fetch_sub(mapped, std::memory_order_relaxed);
    return;
  }
#endif
  ::operator delete(static_cast<void*>(this));
}

SampleStorageLayer::~SampleStorageLayer() {
  if (m_area != nullptr) m_area->Release();
}

void SampleStorageLayer::LayOut(TSPCSample& sample, int points, int parameters) {
  const std::size_t bytes = TSPCSample::StorageBytes(points, parameters);
  if (m_area == nullptr || m_area->FreeBytes() < bytes) {
    if (m_area != nullptr) m_area->Release();
    m_area = nullptr;
    const std::size_t samples = std::max<std::size_t>(m_left, 1);
    const std::size_t wanted = samples > kMaxAreaBytes / bytes ? kMaxAreaBytes : samples * bytes;
    m_area = SampleStorageArea::Create(std::max(wanted, bytes));
  }
  sample.UseStorage(*m_area, m_area->Take(bytes), points, parameters);
  if (m_left > 0) --m_left;
}

TSPCSample::TSPCSample(const TSPCSample& other)
    : dateTime(other.dateTime),
      flags(other.flags),
      sampleSize(other.sampleSize),
      countedPoints(other.countedPoints),
      changed(other.changed) {
  if (other.m_region == nullptr) return;
  const Layout l = other.Places();
  m_region = new std::byte[l.size];
  std::memcpy(m_region, other.m_region, l.size);
  m_ownsRegion = true;
  m_count = other.m_count;
  m_capacity = other.m_capacity;
  m_width = other.m_width;
  const Texts* texts = other.TextsPtr();
  std::memset(m_region, 0, kHeadBytes);  // the copy is its own: no texts yet, no area
  if (texts != nullptr) SetTexts(new Texts(*texts));
}

TSPCSample& TSPCSample::operator=(const TSPCSample& other) {
  if (this != &other) {
    TSPCSample copy(other);
    *this = std::move(copy);
  }
  return *this;
}

TSPCSample::TSPCSample(TSPCSample&& other) noexcept
    : dateTime(other.dateTime),
      flags(other.flags),
      sampleSize(other.sampleSize),
      countedPoints(other.countedPoints),
      changed(other.changed),
      m_region(std::exchange(other.m_region, nullptr)),
      m_count(std::exchange(other.m_count, 0)),
      m_capacity(std::exchange(other.m_capacity, 0)),
      m_width(std::exchange(other.m_width, 0)),
      m_ownsRegion(std::exchange(other.m_ownsRegion, false)) {}

TSPCSample& TSPCSample::operator=(TSPCSample&& other) noexcept {
  if (this != &other) {
    Release();
    dateTime = other.dateTime;
    flags = other.flags;
    sampleSize = other.sampleSize;
    countedPoints = other.countedPoints;
    changed = other.changed;
    m_region = std::exchange(other.m_region, nullptr);
    m_count = std::exchange(other.m_count, 0);
    m_capacity = std::exchange(other.m_capacity, 0);
    m_width = std::exchange(other.m_width, 0);
    m_ownsRegion = std::exchange(other.m_ownsRegion, false);
  }
  return *this;
}

TSPCSample::~TSPCSample() { Release(); }

// --- texts ---

const std::string& TSPCSample::Event() const {
  static const std::string kNone;
  const Texts* texts = TextsPtr();
  return texts != nullptr ? texts->event : kNone;
}

const std::string& TSPCSample::Note() const {
  static const std::string kNone;
  const Texts* texts = TextsPtr();
  return texts != nullptr ? texts->note : kNone;
}

void TSPCSample::SetEvent(std::string_view text) {
  Texts* texts = TextsPtr();
  if (texts == nullptr) {
    if (text.empty()) return;
    texts = new Texts();
    SetTexts(texts);
  }
  texts->event = text;
}

void TSPCSample::SetNote(std::string_view text) {
  Texts* texts = TextsPtr();
  if (texts == nullptr) {
    if (text.empty()) return;
    texts = new Texts();
    SetTexts(texts);
  }
  texts->note = text;
}

// --- points ---

TFileSmpPoint TSPCSample::Point(int position) {
  return position >= 1 && position <= PointCount() ? TFileSmpPoint(this, position - 1) : TFileSmpPoint();
}

const TFileSmpPoint TSPCSample::Point(int position) const {
  return position >= 1 && position <= PointCount() ? TFileSmpPoint(const_cast<TSPCSample*>(this), position - 1)
                                                   : TFileSmpPoint();
}

void TSPCSample::InitPoints(int first, int last) {
  if (first >= last) return;
  const auto a = static_cast<std::size_t>(first);
  const auto n = static_cast<std::size_t>(last - first);
  std::fill_n(PointDates() + a, n, 0.0);
  std::fill_n(PointFlags() + a, n, std::uint16_t{0});
  for (int k = 1; k <= m_width; ++k) {
    std::fill_n(Column(k) + a, n, 0.0);
    std::fill_n(FlagColumn(k) + a, n, value_flag::kEmpty);
  }
}

bool TSPCSample::AddPoint() { return AddPoints(1); }

bool TSPCSample::AddPoints(int n) {
  const int first = m_count;
  const bool all = AddPointsToFill(n);
  InitPoints(first, m_count);
  return all;
}

bool TSPCSample::AddPointsToFill(int n) {
  if (n < 1 || n > static_cast<int>(kMaxPoints)) return false;
  const int room = static_cast<int>(kMaxPoints) - m_count;
  const int added = std::min(n, room);
  if (added == 0) return false;
  const int count = m_count + added;
  if (count > m_capacity) {
    // Room grows by doubling, so that points typed one by one move the storage only a few times.
    Relayout(std::min(static_cast<int>(kMaxPoints), std::max(count, 2 * m_capacity)), m_width);
  }
  m_count = static_cast<std::uint8_t>(count);
  return added == n;
}

void TSPCSample::DeletePoint(int position) {
  if (position < 1 || position > PointCount()) return;
  const auto from = static_cast<std::size_t>(position);
  const auto n = static_cast<std::size_t>(m_count) - from;
  const auto shift = [&](auto* column) { std::memmove(column + from - 1, column + from, n * sizeof(*column)); };
  shift(PointDates());
  shift(PointFlags());
  for (int k = 1; k <= m_width; ++k) {
    shift(Column(k));
    shift(FlagColumn(k));
  }
  --m_count;
}

void TSPCSample::ReservePoints(std::size_t n, int parameters) {
  const int capacity = static_cast<int>(std::min(n, kMaxPoints));
  const int width = std::clamp(parameters, 0, static_cast<int>(kMaxParameters));
  if (capacity > m_capacity || width > m_width) {
    Relayout(std::max<int>(capacity, m_capacity), std::max<int>(width, m_width));
  }
}

void TSPCSample::SetSlot(int index, int parameter, std::uint16_t slotFlags, double value) {
  if (parameter > m_width) {
    // A slot beyond the stored ones reads as empty with value 0: writing that changes nothing.
    if (slotFlags == value_flag::kEmpty && std::bit_cast<std::uint64_t>(value) == 0) return;
    Relayout(m_capacity, parameter);
  }
  FlagColumn(parameter)[index] = slotFlags;
  Column(parameter)[index] = value;
}

void TSPCSample::RemoveSlot(int parameter) {
  if (parameter < 1 || parameter > m_width) return;
  const auto n = static_cast<std::size_t>(m_count);
  for (int k = parameter; k < m_width; ++k) {
    std::memcpy(Column(k), Column(k + 1), n * sizeof(double));
    std::memcpy(FlagColumn(k), FlagColumn(k + 1), n * sizeof(std::uint16_t));
  }
  std::fill_n(Column(m_width), n, 0.0);
  std::fill_n(FlagColumn(m_width), n, value_flag::kEmpty);
}

SampleStats TSPCSample::Stats(int parameter) const {
  if (parameter < 1 || parameter > m_width) return {};
  const auto k = static_cast<std::size_t>(parameter - 1);
  double d[kStatDoubles];
  if (OneValueStats(m_capacity)) {
    double v;
    std::memcpy(&v, m_region + kHeadBytes + k * sizeof(double), sizeof v);
    d[0] = d[1] = d[2] = d[3] = v;
    d[4] = d[5] = 0;
  } else {
    std::memcpy(d, m_region + kHeadBytes + k * kStatBytes, sizeof d);
  }
  SampleStats s;
  s.n = std::to_integer<std::uint16_t>(m_region[CountsAt(m_capacity, m_width) + k]);
  s.min = d[0];
  s.max = d[1];
  s.mean = d[2];
  s.median = d[3];
  s.range = d[1] - d[0];  // what the statistics computed as the range: maximum - minimum
  s.movingRange = d[4];
  s.stdDev = d[5];
  return s;
}

// --- the point handle's writers ---

void TFileSmpPoint::Set(int parameter, const PointValue& slot) {
  if (parameter < 1 || parameter > static_cast<int>(kMaxParameters)) return;
  m_sample->SetSlot(m_index, parameter, slot.flags, slot.value);
}

void TFileSmpPoint::SetValue(int parameter, double x) {
  if (parameter < 1 || parameter > static_cast<int>(kMaxParameters)) return;
  const auto slotFlags = static_cast<std::uint16_t>(ValueFlags(parameter) & ~(value_flag::kEmpty | value_flag::kNotEntered));
  m_sample->SetSlot(m_index, parameter, slotFlags, x);
}

void TFileSmpPoint::SetEmpty(int parameter, bool empty) { SetValueFlag(parameter, value_flag::kEmpty, empty); }

void TFileSmpPoint::SetValueFlag(int parameter, std::uint16_t flag, bool on) {
  if (parameter < 1 || parameter > static_cast<int>(kMaxParameters)) return;
  const std::uint16_t old = ValueFlags(parameter);
  const auto slotFlags = on ? static_cast<std::uint16_t>(old | flag) : static_cast<std::uint16_t>(old & ~flag);
  m_sample->SetSlot(m_index, parameter, slotFlags, Value(parameter));
}

void TFileSmpPoint::RemoveSlot(int parameter) {
  TSPCSample& s = *m_sample;
  if (parameter < 1 || parameter > s.m_width) return;
  for (int k = parameter; k < s.m_width; ++k) {
    s.Column(k)[m_index] = s.Column(k + 1)[m_index];
    s.FlagColumn(k)[m_index] = s.FlagColumn(k + 1)[m_index];
  }
  s.Column(s.m_width)[m_index] = 0;
  s.FlagColumn(s.m_width)[m_index] = value_flag::kEmpty;
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
  const int count = std::clamp(parameterCount, 0, static_cast<int>(kMaxParameters));
  const std::uint16_t* pointFlags = m_region != nullptr ? PointFlags() : nullptr;
  const auto counts = [](std::uint16_t f) { return (f & (point_flag::kExcluded | point_flag::kFiltered)) == 0; };
  countedPoints = static_cast<std::uint16_t>(m_region != nullptr ? std::count_if(pointFlags, pointFlags + m_count, counts) : 0);
  if (m_width == 0) return;  // nothing stored: every parameter reads as zero statistics

  // One parameter at a time: its values lie together, copied into a stack buffer the median may
  // reorder. Parameters the sample does not store have no values and read as zero statistics.
  const Layout l = Places();
  std::array<double, kMaxPoints> buffer;
  for (int parameter = 1; parameter <= m_width; ++parameter) {
    const auto k = static_cast<std::size_t>(parameter - 1);
    SampleStats s;
    if (parameter <= count) {
      const double* values = Column(parameter);
      const std::uint16_t* valueFlags = FlagColumn(parameter);
      std::size_t n = 0;
      for (std::size_t i = 0; i < m_count; ++i) {
        // Written always, kept only when it counts: no branch for the exclusions to mispredict.
        buffer[n] = values[i];
        n += static_cast<std::size_t>(counts(pointFlags[i]) && (valueFlags[i] & value_flag::kEmpty) == 0);
      }
      s = StatsInPlace(std::span<double>(buffer.data(), n));
    }
    if (OneValueStats(m_capacity)) {
      // At most one value: every figure but the spreads is the value (zero without one).
      std::memcpy(m_region + l.stats + k * sizeof(double), &s.min, sizeof s.min);
    } else {
      const double d[kStatDoubles] = {s.min, s.max, s.mean, s.median, s.movingRange, s.stdDev};
      std::memcpy(m_region + l.stats + k * kStatBytes, d, sizeof d);
    }
    m_region[l.counts + k] = static_cast<std::byte>(s.n);
  }
}

void TSPCSample::UpdateToleranceMarks(std::span<const ValueRange* const> tolerances) {
  bool sampleOut = false;
  for (TFileSmpPoint p : Points()) {
    bool pointOut = false;
    // Every stored slot is visited: a parameter that is no longer checked (now a tag, say) must
    // not keep a mark from before. Slots beyond the stored ones are empty and unmarked.
    for (int parameter = 1; parameter <= m_width; ++parameter) {
      const auto k = static_cast<std::size_t>(parameter - 1);
      const ValueRange* tolerance = k < tolerances.size() ? tolerances[k] : nullptr;
      const bool out = tolerance != nullptr && p.HasValue(parameter) && !tolerance->Contains(p.Value(parameter));
      p.SetValueFlag(parameter, value_flag::kOutOfTolerance, out);
      pointOut = pointOut || out;
    }
    p.SetFlags(pointOut ? static_cast<std::uint16_t>(p.Flags() | point_flag::kOutOfTolerance)
                        : static_cast<std::uint16_t>(p.Flags() & ~point_flag::kOutOfTolerance));
    sampleOut = sampleOut || pointOut;
  }
  flags = sampleOut ? static_cast<std::uint16_t>(flags | sample_flag::kOutOfTolerance)
                    : static_cast<std::uint16_t>(flags & ~sample_flag::kOutOfTolerance);
}

}  // namespace mv
