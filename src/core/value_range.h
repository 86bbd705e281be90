#pragma once
// A range of up to four optional numbers: the tolerance and the data limits of a parameter,
// the measuring range of a gauge.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/text.h"

namespace mv {

struct RangeSlot {
  double value = 0;
  bool present = false;
  std::uint8_t decimals = 0;  // used when the value is shown
};

struct ValueRange {
  enum Slot : std::size_t { kLower = 0, kUpper = 1, kMiddle = 2, kTarget = 3 };
  static constexpr std::size_t kEmptyTextMax = 20;

  std::array<RangeSlot, 4> slots{};
  std::string emptyText;  // shown for a slot that is not present; at most 20 characters
  std::uint8_t defaultDecimals = 0;

  // Fills lower, upper and target with `decimals`; the middle becomes (lower + upper) / 2 with
  // decimals + 1 when both bounds are present, and is cleared otherwise. `decimals` also becomes
  // the default decimals, which the stored text carries for every slot.
  void Set(std::uint8_t decimals, std::optional<double> lower, std::optional<double> upper,
           std::optional<double> target);
  void Clear();  // every slot absent; the empty text and default decimals stay

  std::optional<double> Get(Slot slot) const;

  // Bounds inclusive; a missing bound does not limit.
  bool Contains(double x) const;
  bool IsTwoSided() const;
  bool IsValid() const;  // not two-sided, or upper - lower > 0
  bool IsEmpty() const;  // no slot present

  // "номинал 10.00, от 9.90 до 10.10", each part only when present ("target ", "from ",
  // " upto " in English); numbers with their slot's decimals.
  std::string Text(Lang lang = Lang::Ru) const;
  // The same without the target part: "от 0 до 25".
  std::string BoundsText(Lang lang = Lang::Ru) const;

  // The stored text form: "FMT=SL1|DCM=2|L1=0|L2=25" (DCM the default decimals, NLS the empty
  // text when not empty, then Ln for each present slot with its decimals, trailing zeros cut).
  // The form has no escapes, so a '|' of the empty text is left out. A number whose fixed form
  // is longer than the 30 characters a typed number may have is written in its shortest exact
  // form (1e30 as "1e+30").
  std::string ToStoredText() const;
  // Clears the range and reads the pairs in any order. A FMT other than SL1 stops the reading
  // with the range as far as it was read; unknown keys are ignored. L1..L4 take the default
  // decimals read so far. Never fails: a damaged text gives what could be read.
  void FromStoredText(std::string_view text);

  // Equal presence and decimals per slot, values within 1e-12, same empty text and defaults.
  bool SameAs(const ValueRange& other) const;
};

}  // namespace mv
