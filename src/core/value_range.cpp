#include "core/value_range.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/numbers.h"

namespace mv {
namespace {

constexpr std::string_view kFormatTag = "SL1";
constexpr int kMaxDecimals = 20;
constexpr std::size_t kStoredNumberMax = 30;

std::string SlotText(const RangeSlot& slot) { return FormatFixed(slot.value, slot.decimals); }

// A slot's number in the stored text: its decimals, trailing zeros cut. Typed numbers are read
// up to 30 characters only, so a longer fixed form (1e30 has 31 digits; -123456789.1 with
// 20 decimals needs 31 characters) is written in the shortest form that reads back exactly.
std::string StoredNumber(const RangeSlot& slot) {
  std::string text = FormatTrimmed(slot.value, slot.decimals);
  if (text.size() <= kStoredNumberMax || !std::isfinite(slot.value)) return text;
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, slot.value);
  return std::string(buffer, result.ptr);
}

}  // namespace

void ValueRange::Set(std::uint8_t decimals, std::optional<double> lower,
                     std::optional<double> upper, std::optional<double> target) {
  const auto fill = [decimals](RangeSlot& slot, std::optional<double> value) {
    slot = {value.value_or(0), value.has_value(), decimals};
  };
  fill(slots[kLower], lower);
  fill(slots[kUpper], upper);
  fill(slots[kTarget], target);
  if (lower && upper) {
    // Half of a number with d decimals needs at most d + 1 of them.
    const auto middleDecimals = static_cast<std::uint8_t>(std::min(decimals + 1, 255));
    slots[kMiddle] = {(*lower + *upper) / 2, true, middleDecimals};
  } else {
    slots[kMiddle] = {};
  }
  defaultDecimals = decimals;
}

void ValueRange::Clear() { slots = {}; }

std::optional<double> ValueRange::Get(Slot slot) const {
  if (slot >= slots.size() || !slots[slot].present) return std::nullopt;
  return slots[slot].value;
}

bool ValueRange::Contains(double x) const {
  if (slots[kLower].present && x < slots[kLower].value) return false;
  if (slots[kUpper].present && x > slots[kUpper].value) return false;
  return true;
}

bool ValueRange::IsTwoSided() const { return slots[kLower].present && slots[kUpper].present; }

bool ValueRange::IsValid() const {
  return !IsTwoSided() || slots[kUpper].value - slots[kLower].value > 0;
}

bool ValueRange::IsEmpty() const {
  return std::none_of(slots.begin(), slots.end(), [](const RangeSlot& s) { return s.present; });
}

std::string ValueRange::BoundsText(Lang lang) const {
  const bool en = lang == Lang::En;
  std::string text;
  if (slots[kLower].present) text = (en ? "from " : "от ") + SlotText(slots[kLower]);
  if (slots[kUpper].present) {
    // " до 11" loses its leading blank when there is no lower bound before it.
    text += (slots[kLower].present ? (en ? " upto " : " до ") : (en ? "upto " : "до ")) +
            SlotText(slots[kUpper]);
  }
  return text.empty() ? emptyText : text;
}

std::string ValueRange::Text(Lang lang) const {
  const bool hasBounds = slots[kLower].present || slots[kUpper].present;
  if (!slots[kTarget].present) return BoundsText(lang);
  std::string text = (lang == Lang::En ? "target " : "номинал ") + SlotText(slots[kTarget]);
  if (hasBounds) text += ", " + BoundsText(lang);
  return text;
}

std::string ValueRange::ToStoredText() const {
  std::string text = "FMT=";
  text += kFormatTag;
  text += "|DCM=" + FormatInt(defaultDecimals);
  // The form has no escapes: a '|' in the empty text would split the pair on reading (and could
  // forge a slot), so it is dropped.
  std::string nls = CutToChars(emptyText, kEmptyTextMax);
  std::erase(nls, '|');
  if (!nls.empty()) text += "|NLS=" + nls;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (!slots[i].present) continue;
    text += "|L" + FormatInt(static_cast<std::int64_t>(i + 1)) + '=' +
            StoredNumber(slots[i]);
  }
  return text;
}

void ValueRange::FromStoredText(std::string_view text) {
  slots = {};
  emptyText.clear();
  defaultDecimals = 0;
  while (!text.empty()) {
    const std::size_t bar = text.find('|');
    const std::string_view pair = text.substr(0, bar);
    text = bar == std::string_view::npos ? std::string_view{} : text.substr(bar + 1);

    const std::size_t equals = pair.find('=');
    const std::string_view key = pair.substr(0, equals);
    const std::string_view value =
        equals == std::string_view::npos ? std::string_view{} : pair.substr(equals + 1);
    if (key == "FMT") {
      if (value != kFormatTag) return;  // a form we do not know: keep what was read before it
    } else if (key == "DCM") {
      if (const auto decimals = ParseInteger(value, 0, kMaxDecimals)) {
        defaultDecimals = static_cast<std::uint8_t>(*decimals);
      }
    } else if (key == "NLS") {
      emptyText = CutToChars(value, kEmptyTextMax);
    } else if (key.size() == 2 && key[0] == 'L' && key[1] >= '1' && key[1] <= '4') {
      if (const auto number = TypedNumberValue(value)) {
        slots[static_cast<std::size_t>(key[1] - '1')] = {*number, true, defaultDecimals};
      }
    }
  }
}

bool ValueRange::SameAs(const ValueRange& other) const {
  for (std::size_t i = 0; i < slots.size(); ++i) {
    const RangeSlot& a = slots[i];
    const RangeSlot& b = other.slots[i];
    if (a.present != b.present) return false;
    // An absent slot's number and decimals are leftovers and never shown or stored.
    if (a.present && (a.decimals != b.decimals || !SameValue(a.value, b.value))) return false;
  }
  return emptyText == other.emptyText && defaultDecimals == other.defaultDecimals;
}

}  // namespace mv
