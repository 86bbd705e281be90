#include "spc/value_parsers.h"

#include <cmath>
#include <vector>

#include "core/date_time.h"
#include "core/text.h"

namespace mv {
namespace {

// The text cut at `sep` into at most `maxParts` parts (the last keeps any further separators).
std::vector<std::string_view> SplitParts(std::string_view text, char sep, std::size_t maxParts) {
  std::vector<std::string_view> parts;
  while (parts.size() + 1 < maxParts) {
    const std::size_t at = text.find(sep);
    if (at == std::string_view::npos) break;
    parts.push_back(text.substr(0, at));
    text.remove_prefix(at + 1);
  }
  parts.push_back(text);
  return parts;
}

// Decimal digits only (after trimming), at most 4 of them: no sign, no blanks inside.
std::optional<int> Digits(std::string_view part) {
  part = Trim(part);
  if (part.empty() || part.size() > 4) return std::nullopt;
  int value = 0;
  for (const char c : part) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

}  // namespace

std::optional<TDateTime> ParseDayFirstDate(std::string_view text) {
  text = Trim(text);
  const std::size_t dot = text.find('.');
  const std::size_t dash = text.find('-');
  const char sep = dot == std::string_view::npos || (dash != std::string_view::npos && dash < dot) ? '-' : '.';
  const auto parts = SplitParts(text, sep, 3);
  if (parts.size() != 3) return std::nullopt;
  std::string_view yearText = Trim(parts[2]);
  yearText = yearText.substr(0, yearText.find(' '));
  const auto day = Digits(parts[0]);
  const auto month = Digits(parts[1]);
  auto year = Digits(yearText);
  if (!day || !month || !year) return std::nullopt;
  if (*year < 100) *year += *year >= 40 ? 1900 : 2000;
  if (*day < 1 || *day > 31 || *month < 1 || *month > 12) return std::nullopt;
  return EncodeDate(*year, *month, *day);
}

std::optional<TDateTime> ParseClockTime(std::string_view text) {
  text = Trim(text);
  const char sep = text.find(':') != std::string_view::npos ? ':' : '.';
  const auto parts = SplitParts(text, sep, 3);
  if (parts.size() < 2) return std::nullopt;
  const auto hour = Digits(parts[0]);
  const auto minute = Digits(parts[1]);
  std::optional<int> second = 0;
  if (parts.size() == 3) {
    std::string_view s = Trim(parts[2]);
    s = s.substr(0, s.find_first_of(".,"));
    second = Digits(s);
  }
  if (!hour || !minute || !second) return std::nullopt;
  if (*hour > 23 || *minute > 59 || *second > 59) return std::nullopt;
  return EncodeTime(*hour, *minute, *second);
}

std::optional<std::int32_t> ParseExchangeInteger(std::string_view text) {
  if (Trim(text).empty()) return 0;
  const auto value = ParseInteger(text, INT32_MIN, INT32_MAX);
  if (!value) return std::nullopt;
  return static_cast<std::int32_t>(*value);
}

TypedNumber ParseExchangeNumber(std::string_view text) { return ParseTypedNumber(text); }

std::optional<bool> ParseExchangeBoolean(std::string_view text) {
  const std::string word = UpperCase(CutToChars(text, 7));
  static constexpr std::string_view kTrue[] = {"Y", "YES", "T", "TRUE", "Д", "ДА", "+", "1"};
  static constexpr std::string_view kFalse[] = {"N", "NO", "F", "FALSE", "Н", "НЕТ", "-", "0"};
  for (const std::string_view t : kTrue) {
    if (word == t) return true;
  }
  for (const std::string_view f : kFalse) {
    if (word == f) return false;
  }
  return std::nullopt;
}

std::optional<DataKind> ParseDataKind(std::string_view text) {
  if (SameText(text, "Var")) return DataKind::Var;
  if (SameText(text, "Attr")) return DataKind::Attr;
  return std::nullopt;
}

std::optional<AttrType> ParseAttrType(std::string_view text) {
  if (SameText(text, "units")) return AttrType::Units;
  if (SameText(text, "nonconf")) return AttrType::Nonconformities;
  return std::nullopt;
}

std::optional<std::uint8_t> ParseMultiplier(std::string_view text) {
  const TypedNumber number = ParseTypedNumber(text);
  if (number.status != TypedNumberStatus::Ok) return std::nullopt;
  for (std::uint8_t code = 0; code <= kMaxMultiplierCode; ++code) {
    if (std::fabs(number.value - Multiplier(code)) <= kSameEpsilon) return code;
  }
  return std::nullopt;
}

std::optional<std::uint16_t> ParseSampleDates(std::string_view text) {
  if (SameText(text, "off")) return std::uint16_t{0};
  if (SameText(text, "date")) return block_flag::kDates;
  if (SameText(text, "datetime")) return static_cast<std::uint16_t>(block_flag::kDates | block_flag::kTimes);
  return std::nullopt;
}

const char* SampleDatesCode(std::uint16_t blockFlags) {
  if ((blockFlags & block_flag::kDates) == 0) return "off";
  return (blockFlags & block_flag::kTimes) != 0 ? "datetime" : "date";
}

}  // namespace mv
