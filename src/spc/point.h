#pragma once
// One point: a measured part or an inspected unit, with one value slot for each of the 20
// possible parameters. Kept compact (about 220 bytes) because a block may hold 200 000 of them;
// values and their flags sit in two arrays so that a point allocates nothing.

#include <array>
#include <cstdint>

#include "platform/clock.h"
#include "spc/spc_types.h"

namespace mv {

// One value slot as the file and the editors see it.
struct PointValue {
  std::uint16_t flags = value_flag::kEmpty;
  double value = 0;
};

class TFileSmpPoint {
 public:
  TFileSmpPoint() { m_valueFlags.fill(value_flag::kEmpty); }

  std::uint16_t flags = 0;  // point_flag
  TDateTime dateTime = 0;   // meaningful with point_flag::kOwnDate

  // Parameter positions are 1..20; any other position reads as an empty slot and is ignored
  // by the setters. The readers are inline: the statistics read every value of a block through
  // them.
  PointValue Get(int parameter) const { return {ValueFlags(parameter), Value(parameter)}; }
  // Present: the empty mark is clear.
  bool HasValue(int parameter) const { return (ValueFlags(parameter) & value_flag::kEmpty) == 0; }
  // 0 for an invalid position.
  double Value(int parameter) const {
    return Valid(parameter) ? m_values[static_cast<std::size_t>(parameter - 1)] : 0;
  }
  std::uint16_t ValueFlags(int parameter) const {
    return Valid(parameter) ? m_valueFlags[static_cast<std::size_t>(parameter - 1)] : value_flag::kEmpty;
  }
  void Set(int parameter, const PointValue& slot);  // flags and value as they are
  // Stores x and clears the empty and not-yet-entered marks.
  void SetValue(int parameter, double x);
  void SetEmpty(int parameter, bool empty);
  void SetValueFlag(int parameter, std::uint16_t flag, bool on);
  // Removes the slot of a deleted parameter: later slots move one down, the last is empty.
  void RemoveSlot(int parameter);

  // Counts (is active): neither excluded nor filtered out.
  bool Counts() const { return (flags & (point_flag::kExcluded | point_flag::kFiltered)) == 0; }

 private:
  static bool Valid(int parameter) { return parameter >= 1 && parameter <= static_cast<int>(kMaxParameters); }
  std::array<double, kMaxParameters> m_values{};
  std::array<std::uint16_t, kMaxParameters> m_valueFlags{};
};

}  // namespace mv
