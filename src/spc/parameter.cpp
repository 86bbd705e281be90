#include "spc/parameter.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "core/numbers.h"

namespace mv {
namespace {

// The flag bits that are the presence of a range slot, and where each lives.
struct SlotBit {
  std::uint16_t flag;
  ValueRange TSPCParameter::*range;
  ValueRange::Slot slot;
};

constexpr std::array<SlotBit, 6> kSlotBits = {{
    {param_flag::kLsl, &TSPCParameter::tolerance, ValueRange::kLower},
    {param_flag::kUsl, &TSPCParameter::tolerance, ValueRange::kUpper},
    {param_flag::kNominal, &TSPCParameter::tolerance, ValueRange::kTarget},
    {param_flag::kMin, &TSPCParameter::dataLimits, ValueRange::kLower},
    {param_flag::kMax, &TSPCParameter::dataLimits, ValueRange::kUpper},
    {param_flag::kDefault, &TSPCParameter::dataLimits, ValueRange::kTarget},
}};

constexpr std::uint16_t kSlotMask = param_flag::kLsl | param_flag::kUsl | param_flag::kNominal |
                                    param_flag::kMin | param_flag::kMax | param_flag::kDefault;

// The middle slot follows the bounds as ValueRange::Set derives it: present exactly when both
// bounds are. A middle that was already there belongs to the same bound values, so it stays.
void RepairMiddle(ValueRange& range, std::uint8_t decimals) {
  RangeSlot& middle = range.slots[ValueRange::kMiddle];
  if (!range.IsTwoSided()) {
    middle = {};
  } else if (!middle.present) {
    const double lower = range.slots[ValueRange::kLower].value;
    const double upper = range.slots[ValueRange::kUpper].value;
    const auto middleDecimals = static_cast<std::uint8_t>(std::min(decimals + 1, 255));
    middle = {(lower + upper) / 2, true, middleDecimals};
  }
}

std::optional<double> IfFlag(const TSPCParameter& p, std::uint16_t flag, double value) {
  if (!p.HasFlag(flag)) return std::nullopt;
  return value;
}

}  // namespace

std::uint16_t TSPCParameter::Flags() const {
  std::uint16_t flags = m_flags;
  for (const SlotBit& bit : kSlotBits) {
    if ((this->*bit.range).slots[bit.slot].present) flags |= bit.flag;
  }
  return flags;
}

void TSPCParameter::SetFlags(std::uint16_t flags) {
  m_flags = static_cast<std::uint16_t>(flags & ~kSlotMask);
  for (const SlotBit& bit : kSlotBits) {
    RangeSlot& slot = (this->*bit.range).slots[bit.slot];
    const bool on = (flags & bit.flag) != 0;
    // A slot that comes into use shows its value with the parameter's decimals: what it had
    // while absent was never shown.
    if (on && !slot.present) slot.decimals = decimals;
    slot.present = on;
  }
  RepairMiddle(tolerance, decimals);
  RepairMiddle(dataLimits, decimals);
}

void TSPCParameter::SetFlag(std::uint16_t flag, bool on) {
  const std::uint16_t flags = Flags();
  SetFlags(static_cast<std::uint16_t>(on ? flags | flag : flags & ~flag));
}

AttrType TSPCParameter::Type() const {
  return HasFlag(param_flag::kNonconformities) ? AttrType::Nonconformities : AttrType::Units;
}

double TSPCParameter::Step() const {
  // Exact literals for the decimals a parameter may have; pow(10, -d) need not round the same.
  static constexpr std::array<double, kMaxDecimals + 1> kSteps = {1, 0.1, 0.01, 0.001, 0.0001, 0.00001};
  if (decimals < kSteps.size()) return kSteps[decimals];
  return std::pow(10.0, -static_cast<double>(decimals));
}

std::uint8_t TSPCParameter::RelativeDecimals() const {
  const int own = decimals;
  const int multiplier = MultiplierDecimals(multiplierCode);
  return static_cast<std::uint8_t>(std::max(0, own - multiplier));
}

void TSPCParameter::SetTolerance(std::optional<double> lsl, std::optional<double> usl,
                                 std::optional<double> nominal) {
  tolerance.Set(decimals, lsl, usl, nominal);
}

void TSPCParameter::SetDataLimits(std::optional<double> min, std::optional<double> max,
                                  std::optional<double> defaultValue) {
  dataLimits.Set(decimals, min, max, defaultValue);
}

std::optional<double> TSPCParameter::Base() const { return IfFlag(*this, param_flag::kBase, baseValue); }
std::optional<double> TSPCParameter::Lrl() const { return IfFlag(*this, param_flag::kLrl, lrl); }
std::optional<double> TSPCParameter::Url() const { return IfFlag(*this, param_flag::kUrl, url); }

// Without a base the relative values count from 0, as RelativeText shows them ("y=-x").
double TSPCParameter::ToAbsolute(double x) const {
  if (!HasFlag(param_flag::kRelative)) return x;
  const double m = Multiplier(multiplierCode);
  const double base = Base().value_or(0);
  return HasFlag(param_flag::kNegate) ? base - x * m : base + x * m;
}

double TSPCParameter::ToRelative(double a) const {
  if (!HasFlag(param_flag::kRelative)) return a;
  const double m = Multiplier(multiplierCode);
  const double base = Base().value_or(0);
  return HasFlag(param_flag::kNegate) ? (base - a) / m : (a - base) / m;
}

double TSPCParameter::MinPossible() const {
  return dataLimits.Get(ValueRange::kLower).value_or(-kNoLimit);
}

double TSPCParameter::MaxPossible() const {
  return dataLimits.Get(ValueRange::kUpper).value_or(kNoLimit);
}

double TSPCParameter::DefaultOr(double fallback) const {
  return dataLimits.Get(ValueRange::kTarget).value_or(fallback);
}

bool TSPCParameter::HasTolerance(bool twoSided) const {
  const bool lower = Lsl().has_value();
  const bool upper = Usl().has_value();
  return twoSided ? lower && upper : lower || upper;
}

std::string TSPCParameter::ToleranceText(Lang lang) const {
  if (IsTag()) return "<признак>";  // "<tag>", in reports of either language
  return tolerance.Text(lang);
}

std::string TSPCParameter::FormatValue(double x, bool withUnit) const {
  std::string text = FormatFixed(x, decimals);
  if (withUnit && !unit.empty()) text += ' ' + unit;
  return text;
}

std::string TSPCParameter::RelativeText() const {
  if (!HasFlag(param_flag::kRelative)) return "Абсолютное значение";  // absolute value
  const bool negate = HasFlag(param_flag::kNegate);
  std::string text = "Относительное значение: y=";  // relative value
  if (const auto base = Base()) {
    text += FormatFixed(*base, 5);
    text += negate ? "-" : "+";
  } else if (negate) {
    text += '-';
  }
  text += 'x';
  if (multiplierCode >= 1 && multiplierCode <= kMaxMultiplierCode) {
    text += '*' + MultiplierText(multiplierCode);
  }
  return text;
}

std::string TSPCParameter::LogText() const {
  std::string text = "ID=" + FormatInt(id);
  text += ", Kind=";
  text += KindCode(kind);
  text += ", Name=\"" + name + '"';
  text += ", Pos=" + FormatInt(position);
  if (kind == DataKind::Var) {
    text += ", Dcm=" + FormatInt(decimals);
    text += ", Scale=#" + FormatInt(scaleId);
    text += ", Class=#" + FormatInt(classId);
    text += ", UOM=\"" + unit + '"';
    const struct {
      const char* key;
      std::optional<double> value;
    } kValues[] = {
        {", LSL=", Lsl()},
        {", USL=", Usl()},
        {", Nom=", Nominal()},
        {", Min=", dataLimits.Get(ValueRange::kLower)},
        {", Max=", dataLimits.Get(ValueRange::kUpper)},
        {", Def=", dataLimits.Get(ValueRange::kTarget)},
        {", Base=", Base()},
    };
    for (const auto& v : kValues) {
      if (v.value) text += v.key + FormatFixed(*v.value, decimals);
    }
    text += ", MulCode=" + FormatInt(multiplierCode);
    text += ", Neg=";
    text += HasFlag(param_flag::kNegate) ? '1' : '0';
  }
  text += ", Flags=" + HexUpper(Flags(), 4) + 'h';
  text += ", Note=\"" + note + '"';
  return text;
}

}  // namespace mv
