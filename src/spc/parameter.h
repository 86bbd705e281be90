#pragma once
// One parameter of an SPC dataset: a quantitative characteristic that is measured, or an
// alternative (attribute) characteristic that is counted.

#include <cstdint>
#include <optional>
#include <string>

#include "core/value_range.h"
#include "platform/clock.h"
#include "spc/spc_types.h"

namespace mv {

class TSPCParameter {
 public:
  static constexpr std::size_t kNameMax = 80;
  static constexpr std::size_t kShortNameMax = 15;
  static constexpr std::size_t kNoteMax = 250;
  static constexpr std::size_t kUnitMax = 10;
  static constexpr std::int16_t kDefaultColumnWidth = 70;
  static constexpr std::int16_t kMinColumnWidth = 7;
  static constexpr std::int16_t kMaxColumnWidth = 300;
  // What MinPossible / MaxPossible give without a data limit.
  static constexpr double kNoLimit = 1e17;

  std::int32_t id = 0;
  DataKind kind = DataKind::Var;
  std::uint16_t position = 0;  // order number among the parameters of its kind, 1..n
  std::string name;            // at most 80 characters
  std::string shortName;       // at most 15
  std::string note;            // at most 250
  std::string alias;           // key in the exchange format; not kept in the data file
  TDateTime created = 0;
  std::int16_t pointsColumnWidth = kDefaultColumnWidth;
  std::int16_t samplesColumnWidth = kDefaultColumnWidth;
  std::string unit;  // at most 10 characters
  std::uint8_t decimals = 0;  // 0..5
  std::uint16_t scalePosition = 0;  // cached from scaleId
  std::int32_t scaleId = 0;         // 0: own unit, no scale
  std::uint16_t classPosition = 0;  // cached from classId
  std::int16_t classId = 0;         // 0: no class
  // Lower = LSL, upper = USL, target = nominal. For an alternative parameter only the upper
  // bound: the quality limit as a fraction (PPM / 1e6).
  ValueRange tolerance;
  double baseValue = 0;
  std::uint8_t multiplierCode = 0;
  // Lower = minimum possible value, upper = maximum possible, target = default of a new point.
  ValueRange dataLimits;
  double lrl = 0;  // lower regulation limit
  double url = 0;  // upper regulation limit

  // All 16 flag bits. The presence bits of the tolerance and the data limits (LSL, USL,
  // nominal, minimum, maximum, default) are those of the two ranges; the others are kept here.
  std::uint16_t Flags() const;
  // Takes every bit, including the presence of the range slots (whose values stay as they are).
  void SetFlags(std::uint16_t flags);
  bool HasFlag(std::uint16_t flag) const { return (Flags() & flag) != 0; }
  void SetFlag(std::uint16_t flag, bool on);

  bool IsTag() const { return HasFlag(param_flag::kTag); }
  AttrType Type() const;  // for alternative parameters
  double Step() const;    // 10^-decimals
  std::uint8_t RelativeDecimals() const;  // decimals - multiplier's decimals, at least 0

  // Sets the tolerance (with the parameter's decimals) and the data limits likewise.
  void SetTolerance(std::optional<double> lsl, std::optional<double> usl, std::optional<double> nominal);
  void SetDataLimits(std::optional<double> min, std::optional<double> max, std::optional<double> defaultValue);
  std::optional<double> Lsl() const { return tolerance.Get(ValueRange::kLower); }
  std::optional<double> Usl() const { return tolerance.Get(ValueRange::kUpper); }
  std::optional<double> Nominal() const { return tolerance.Get(ValueRange::kTarget); }
  std::optional<double> Base() const;
  std::optional<double> Lrl() const;
  std::optional<double> Url() const;

  // Relative entry: without kRelative the value itself; with it base - x*m (kNegate) or
  // base + x*m, m the multiplier; ToRelative is the inverse.
  double ToAbsolute(double x) const;
  double ToRelative(double a) const;
  bool IsInTolerance(double x) const { return tolerance.Contains(x); }
  bool IsInDataLimits(double x) const { return dataLimits.Contains(x); }
  double MinPossible() const;  // the lower data limit, or -1e17
  double MaxPossible() const;  // the upper data limit, or 1e17
  double DefaultOr(double fallback) const;
  // One bound present; with twoSided both.
  bool HasTolerance(bool twoSided = false) const;
  // "<признак>" for a tag, else the tolerance's text.
  std::string ToleranceText(Lang lang = Lang::Ru) const;
  // x with the parameter's decimals, then a blank and the unit when asked and there is one.
  std::string FormatValue(double x, bool withUnit = false) const;
  // "Абсолютное значение", or "Относительное значение: y=10.00000-x*0.01".
  std::string RelativeText() const;
  // The parameter's description for the log.
  std::string LogText() const;

 private:
  std::uint16_t m_flags = param_flag::kNoSkip;  // without the range presence bits
};

// A small record used by charts: two optional limits and a caption.
struct TLimits {
  bool hasLower = false;
  bool hasUpper = false;
  double lower = 0;
  double upper = 0;
  std::string caption;
};

}  // namespace mv
