#pragma once
// One point of a sample: a measured part or an inspected unit, with a value slot for each
// parameter of the dataset. The values live in their sample's storage (see sample.h); a
// TFileSmpPoint is a small handle naming the sample and the point's position in it, so it
// stays valid when the sample's storage moves (a point added, a parameter typed for the first
// time) and costs nothing to pass by value. It is invalidated only by what moves or removes
// the sample itself (samples added to or deleted from its block, the block deleted) or by the
// point's deletion. A sample seen as const gives const handles, which only read.

#include <cstddef>
#include <cstdint>

#include "platform/clock.h"
#include "spc/spc_types.h"

namespace mv {

class TSPCSample;

// One value slot as the file and the editors see it.
struct PointValue {
  std::uint16_t flags = value_flag::kEmpty;
  double value = 0;
};

class TFileSmpPoint {
 public:
  // A handle to no point (what Point() gives outside the sample); only comparison with
  // nullptr and bool may be used on it.
  TFileSmpPoint() = default;
  TFileSmpPoint(std::nullptr_t) {}  // NOLINT: reads like the pointer it replaces
  TFileSmpPoint(TSPCSample* sample, int index) : m_sample(sample), m_index(index) {}

  explicit operator bool() const { return m_sample != nullptr; }
  friend bool operator==(const TFileSmpPoint& a, std::nullptr_t) { return a.m_sample == nullptr; }
  friend bool operator==(const TFileSmpPoint& a, const TFileSmpPoint& b) {
    return a.m_sample == b.m_sample && a.m_index == b.m_index;
  }
  // Pointer-like access, so that `sample.Point(i)->SetValue(...)` reads as before.
  TFileSmpPoint* operator->() { return this; }
  const TFileSmpPoint* operator->() const { return this; }
  TFileSmpPoint& operator*() & { return *this; }
  const TFileSmpPoint& operator*() const& { return *this; }
  // On a handle that is itself a temporary (`*sample.Point(i)`), a copy: never a reference to
  // the temporary.
  TFileSmpPoint operator*() && { return *this; }
  const TFileSmpPoint operator*() const&& { return *this; }

  // Point flags (point_flag) and the date-time, meaningful with point_flag::kOwnDate.
  inline std::uint16_t Flags() const;
  inline void SetFlags(std::uint16_t flags);
  inline TDateTime DateTime() const;
  inline void SetDateTime(TDateTime dateTime);

  // Parameter positions are 1..20; any other position reads as an empty slot and is ignored
  // by the setters. A slot beyond what the sample stores reads as empty, value 0; setting it
  // widens the sample's storage.
  PointValue Get(int parameter) const { return {ValueFlags(parameter), Value(parameter)}; }
  // Present: the empty mark is clear.
  bool HasValue(int parameter) const { return (ValueFlags(parameter) & value_flag::kEmpty) == 0; }
  // 0 for an invalid position.
  inline double Value(int parameter) const;
  inline std::uint16_t ValueFlags(int parameter) const;
  void Set(int parameter, const PointValue& slot);  // flags and value as they are
  // Stores x and clears the empty and not-yet-entered marks.
  void SetValue(int parameter, double x);
  void SetEmpty(int parameter, bool empty);
  void SetValueFlag(int parameter, std::uint16_t flag, bool on);
  // Removes the slot of a deleted parameter: later slots move one down, the last is empty.
  void RemoveSlot(int parameter);

  // Counts (is active): neither excluded nor filtered out.
  bool Counts() const { return (Flags() & (point_flag::kExcluded | point_flag::kFiltered)) == 0; }

  const TSPCSample* Sample() const { return m_sample; }
  int Index() const { return m_index; }  // 0-based position in the sample

 private:
  TSPCSample* m_sample = nullptr;
  int m_index = 0;
};

}  // namespace mv

// The inline members read the sample's storage.
#include "spc/sample.h"
