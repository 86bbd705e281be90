#pragma once
// One sample (subgroup): its points, date and time, texts and per-parameter statistics.
// (point.h and this header include each other: the point handle reads the sample's storage.)

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

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

class TSPCSample;

// Memory that many samples' storage is laid out in: what a load takes for a block's samples
// instead of one allocation a sample. Every sample laid out in an area holds it, and so does
// whoever lays samples out in it; the area is freed with its last holder, so a sample may move
// to another block or outlive its own without its storage going away.
class SampleStorageArea {
 public:
  // An area of `bytes` (rounded up to a multiple of 8), held once by the caller. Running out
  // of memory throws std::bad_alloc.
  static SampleStorageArea* Create(std::size_t bytes);
  SampleStorageArea(const SampleStorageArea&) = delete;
  SampleStorageArea& operator=(const SampleStorageArea&) = delete;

  std::size_t FreeBytes() const { return m_size - m_used; }
  // The bytes mapped for large areas at the moment, all areas together (for the figures of
  // memory: the heap's counts leave them out).
  static std::size_t MappedBytes();
  // `bytes` (a multiple of 8) of the free part, 8-aligned, or nullptr when fewer are free.
  std::byte* Take(std::size_t bytes);
  void Hold() { ++m_holders; }
  void Release();  // frees the area when this was its last holder

 private:
  SampleStorageArea(std::size_t size, std::size_t mapped) : m_size(size), m_mapped(mapped) {}
  std::byte* Data() { return reinterpret_cast<std::byte*>(this) + kHeader; }
  static constexpr std::size_t kHeader = 32;
  static constexpr std::size_t kLargePage = std::size_t{2} << 20;
  static constexpr std::size_t kLargeAreaBytes = 2 * kLargePage;  // mapped on its own from this size
  std::size_t m_holders = 1;
  std::size_t m_size;
  std::size_t m_used = 0;
  std::size_t m_mapped;  // the bytes mapped for a large area, 0 for one from the heap
};

// Lays out samples being read, one after another, in a few large areas: each new area is sized
// for the samples still to come as the latest one foretells (a file's samples are mostly of
// one size), up to kMaxAreaBytes. A large area is mapped on its own and asks the system for
// large pages, so that filling it takes a few hundred page faults instead of one a 4 KB page;
// the pages it never reaches cost nothing.
class SampleStorageLayer {
 public:
  static constexpr std::size_t kMaxAreaBytes = std::size_t{64} << 20;
  explicit SampleStorageLayer(std::size_t samples) : m_left(samples) {}
  // The samples still to come, as the caller reckons them now (a reader that lays out a whole
  // file reckons from the bytes left); the next new area is sized for them.
  void Foretell(std::size_t samples) { m_left = samples; }
  ~SampleStorageLayer();
  SampleStorageLayer(const SampleStorageLayer&) = delete;
  SampleStorageLayer& operator=(const SampleStorageLayer&) = delete;
  // Lays out the empty `sample` with room for exactly `points` points and `parameters`
  // parameters (see TSPCSample::UseStorage).
  void LayOut(TSPCSample& sample, int points, int parameters);

 private:
  SampleStorageArea* m_area = nullptr;
  std::size_t m_left;
};

// The points of a sample as a range of handles, in point order.
template <bool kConst>
class SamplePoints {
  using SampleT = std::conditional_t<kConst, const TSPCSample, TSPCSample>;
  using Handle = std::conditional_t<kConst, const TFileSmpPoint, TFileSmpPoint>;

 public:
  class iterator {
   public:
    using value_type = TFileSmpPoint;
    using difference_type = std::ptrdiff_t;
    iterator() = default;
    iterator(SampleT* sample, int index) : m_sample(sample), m_index(index) {}
    Handle operator*() const { return TFileSmpPoint(const_cast<TSPCSample*>(m_sample), m_index); }
    iterator& operator++() {
      ++m_index;
      return *this;
    }
    iterator operator++(int) {
      iterator old = *this;
      ++m_index;
      return old;
    }
    bool operator==(const iterator& other) const { return m_index == other.m_index; }

   private:
    SampleT* m_sample = nullptr;
    int m_index = 0;
  };

  explicit SamplePoints(SampleT* sample) : m_sample(sample) {}
  inline iterator begin() const { return iterator(m_sample, 0); }
  inline iterator end() const;
  inline std::size_t size() const;
  bool empty() const { return size() == 0; }

 private:
  SampleT* m_sample;
};

// A sample's storage: one piece of memory holding its texts (when it has any), the statistics
// of each parameter it stores and its points, column by column so that each parameter's values
// of the sample lie together:
//
//   texts, area (pointers)  statistics (6 doubles per parameter)  point date-times  values by
//   parameter  point flags  value flags by parameter  value counts by parameter
//
// A sample with room for one point (an individual value, mostly) keeps one double of statistics
// a parameter, the value they were computed from: the statistics of at most one value follow
// from it (minimum, maximum, mean and median the value, the spreads zero).
//
// A sample stores as many parameters as the highest one ever set on it (the loader sets the
// dataset's count at once); slots beyond read as empty. The piece is either the sample's own
// or part of a storage area shared with the other samples of its block (what a load lays out:
// a few large areas a block); adding points beyond its room, or a parameter beyond its width,
// moves it into a piece of its own.
class TSPCSample {
 public:
  static constexpr std::size_t kTextMax = 150;  // event and note

  TSPCSample() = default;
  TSPCSample(const TSPCSample& other);
  TSPCSample& operator=(const TSPCSample& other);
  TSPCSample(TSPCSample&& other) noexcept;
  TSPCSample& operator=(TSPCSample&& other) noexcept;
  ~TSPCSample();

  TDateTime dateTime = 0;
  std::uint16_t flags = 0;           // sample_flag
  std::int16_t sampleSize = 0;       // units inspected, for alternative data
  std::uint16_t countedPoints = 0;   // points that count; kept by the statistics and the filter
  bool changed = false;

  // Event and note, at most 150 characters each (the callers cut them).
  const std::string& Event() const;
  const std::string& Note() const;
  void SetEvent(std::string_view text);
  void SetNote(std::string_view text);

  // Statistics of parameter 1..20 as the last ComputeStats left them; zero for a parameter the
  // sample does not store and for an invalid position.
  SampleStats Stats(int parameter) const;

  int PointCount() const { return m_count; }
  TFileSmpPoint Point(int position);  // null outside 1..PointCount()
  const TFileSmpPoint Point(int position) const;
  SamplePoints<false> Points() { return SamplePoints<false>(this); }
  SamplePoints<true> Points() const { return SamplePoints<true>(this); }
  // False when the sample has 200 points already.
  bool AddPoint();
  // Adds up to n points (1..200) while there is room; true only when all n were added.
  bool AddPoints(int n);
  // The same for a loader that writes every column of the new points itself (their dates,
  // flags, values and value flags of every stored parameter): they are left as the storage
  // has them.
  bool AddPointsToFill(int n);
  void DeletePoint(int position);  // an invalid position does nothing
  // Room for n points (at most 200) and parameters 1..parameters (at most 20), so that adding
  // them moves nothing.
  void ReservePoints(std::size_t n, int parameters = 0);
  // The parameters the storage holds (slots beyond read as empty).
  int StoredParameters() const { return m_width; }
  // A hint that the sample's storage is about to be read (a block's samples in turn): it is
  // fetched into the cache meanwhile.
  void PrefetchStorage() const {
    if (m_region == nullptr) return;
    const std::size_t bytes = CountsAt(m_capacity, m_width) + m_width;
    for (std::size_t at = 0; at < bytes; at += 64) __builtin_prefetch(m_region + at);
  }
  // Removes the slot of a deleted parameter from every point (see TFileSmpPoint::RemoveSlot).
  void RemoveSlot(int parameter);

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

  // For a loader that lays out many samples in one piece of memory: the bytes a sample of
  // `points` points and `parameters` parameters needs (a multiple of 8), and the laying out of
  // this empty sample in `memory` (that many bytes, 8-aligned, owned by the caller and outliving
  // the sample's use of it) with room for exactly that; the points are added by AddPoints.
  static std::size_t StorageBytes(int points, int parameters);
  void UseStorage(std::byte* memory, int points, int parameters);
  // The same in `bytes` taken from `area`, which the sample then holds until its storage moves
  // or it goes.
  void UseStorage(SampleStorageArea& area, std::byte* memory, int points, int parameters);

  // Column-wise access for the passes over many values (statistics, filters, charts, loading):
  // the values and the value flags of parameter 1..StoredParameters() of every point in point
  // order, the points' flags and date-times. Empty for a parameter the sample does not store.
  // Valid until the storage moves (points added beyond the room, a parameter widened).
  std::span<const double> Values(int parameter) const {
    return StoresParameter(parameter) ? std::span<const double>(Column(parameter), m_count) : std::span<const double>();
  }
  std::span<const std::uint16_t> SlotFlags(int parameter) const {
    return StoresParameter(parameter) ? std::span<const std::uint16_t>(FlagColumn(parameter), m_count)
                                      : std::span<const std::uint16_t>();
  }
  std::span<const std::uint16_t> PointFlagsColumn() const {
    return m_region != nullptr ? std::span<const std::uint16_t>(PointFlags(), m_count) : std::span<const std::uint16_t>();
  }
  std::span<const TDateTime> PointDatesColumn() const {
    return m_region != nullptr ? std::span<const TDateTime>(PointDates(), m_count) : std::span<const TDateTime>();
  }
  // The same for writing, for loaders filling points they have just added.
  std::span<double> Values(int parameter) {
    return StoresParameter(parameter) ? std::span<double>(Column(parameter), m_count) : std::span<double>();
  }
  std::span<std::uint16_t> SlotFlags(int parameter) {
    return StoresParameter(parameter) ? std::span<std::uint16_t>(FlagColumn(parameter), m_count)
                                      : std::span<std::uint16_t>();
  }
  std::span<std::uint16_t> PointFlagsColumn() {
    return m_region != nullptr ? std::span<std::uint16_t>(PointFlags(), m_count) : std::span<std::uint16_t>();
  }
  std::span<TDateTime> PointDatesColumn() {
    return m_region != nullptr ? std::span<TDateTime>(PointDates(), m_count) : std::span<TDateTime>();
  }

 private:
  friend class TFileSmpPoint;
  struct Texts {
    std::string event;
    std::string note;
  };
  struct Layout;

  static Layout LayoutOf(std::size_t capacity, std::size_t width);
  Layout Places() const;
  bool StoresParameter(int parameter) const { return parameter >= 1 && parameter <= m_width; }
  // The region: the texts pointer, the area it lies in (or none), the statistics (6 doubles a
  // parameter, or 1 with room for one point), the points' dates,
  // the value columns, the points' flags, the flag columns, the statistics' counts. The
  // offsets are inline: every value read goes through them.
  static constexpr std::size_t kStatDoubles = 6;  // min, max, mean, median, average moving range, deviation
  static constexpr std::size_t kStatBytes = kStatDoubles * sizeof(double);
  static constexpr std::size_t kHeadBytes = 2 * sizeof(void*);  // texts, area
  static constexpr bool OneValueStats(std::size_t capacity) { return capacity <= 1; }
  static constexpr std::size_t StatBytes(std::size_t capacity) {
    return OneValueStats(capacity) ? sizeof(double) : kStatBytes;
  }
  static constexpr std::size_t DatesAt(std::size_t capacity, std::size_t width) {
    return kHeadBytes + StatBytes(capacity) * width;
  }
  static constexpr std::size_t ValuesAt(std::size_t capacity, std::size_t width) {
    return DatesAt(capacity, width) + sizeof(double) * capacity;
  }
  static constexpr std::size_t PointFlagsAt(std::size_t capacity, std::size_t width) {
    return ValuesAt(capacity, width) + sizeof(double) * capacity * width;
  }
  static constexpr std::size_t ValueFlagsAt(std::size_t capacity, std::size_t width) {
    return PointFlagsAt(capacity, width) + sizeof(std::uint16_t) * capacity;
  }
  static constexpr std::size_t CountsAt(std::size_t capacity, std::size_t width) {
    return ValueFlagsAt(capacity, width) + sizeof(std::uint16_t) * capacity * width;
  }
  double* Column(int parameter) const {  // values of parameter 1..m_width
    return reinterpret_cast<double*>(m_region + ValuesAt(m_capacity, m_width)) +
           static_cast<std::size_t>(parameter - 1) * m_capacity;
  }
  std::uint16_t* FlagColumn(int parameter) const {
    return reinterpret_cast<std::uint16_t*>(m_region + ValueFlagsAt(m_capacity, m_width)) +
           static_cast<std::size_t>(parameter - 1) * m_capacity;
  }
  std::uint16_t* PointFlags() const {
    return reinterpret_cast<std::uint16_t*>(m_region + PointFlagsAt(m_capacity, m_width));
  }
  double* PointDates() const { return reinterpret_cast<double*>(m_region + DatesAt(m_capacity, m_width)); }
  Texts* TextsPtr() const;
  void SetTexts(Texts* texts);
  SampleStorageArea* AreaPtr() const;
  // Moves the storage to a piece of its own with room for `capacity` points and `width`
  // parameters (both at least what is stored). Running out of memory throws std::bad_alloc,
  // which the loads and commands turn into the out-of-memory message.
  void Relayout(int capacity, int width);
  void Release();
  void InitPoints(int first, int last);  // fresh points: flags 0, date 0, every slot empty
  void SetSlot(int index, int parameter, std::uint16_t flags, double value);

  std::byte* m_region = nullptr;
  std::uint8_t m_count = 0;
  std::uint8_t m_capacity = 0;
  std::uint8_t m_width = 0;
  bool m_ownsRegion = false;
};

// --- the point handle's readers, inline: the statistics and the charts read every value through
// them ---

inline std::uint16_t TFileSmpPoint::Flags() const { return m_sample->PointFlags()[m_index]; }
inline void TFileSmpPoint::SetFlags(std::uint16_t pointFlags) { m_sample->PointFlags()[m_index] = pointFlags; }
inline TDateTime TFileSmpPoint::DateTime() const { return m_sample->PointDates()[m_index]; }
inline void TFileSmpPoint::SetDateTime(TDateTime value) { m_sample->PointDates()[m_index] = value; }
inline double TFileSmpPoint::Value(int parameter) const {
  return parameter >= 1 && parameter <= m_sample->m_width ? m_sample->Column(parameter)[m_index] : 0;
}
inline std::uint16_t TFileSmpPoint::ValueFlags(int parameter) const {
  return parameter >= 1 && parameter <= m_sample->m_width ? m_sample->FlagColumn(parameter)[m_index]
                                                          : value_flag::kEmpty;
}

template <bool kConst>
typename SamplePoints<kConst>::iterator SamplePoints<kConst>::end() const {
  return iterator(m_sample, m_sample->PointCount());
}
template <bool kConst>
std::size_t SamplePoints<kConst>::size() const {
  return static_cast<std::size_t>(m_sample->PointCount());
}

}  // namespace mv
