#pragma once
// Dates and times typed by the user or read from exchange files, day first.
//
// Date: day, month and year separated by "." (or by "-" when the text has no "." or a "-"
// stands before its first "."); the year ends at the first blank; day 1..31, month 1..12, and the
// date must exist. A year below 100 means 19xx from 40 on, else 20xx.
// Time: hours and minutes, optionally seconds, separated by ":" (or by "." when the text has no
// ":"); a fraction of the seconds after "." or "," is dropped; hours 0..23, minutes and seconds
// 0..59.
// Blanks around the text and around each part are ignored; a part must be decimal digits.

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/numbers.h"
#include "platform/clock.h"
#include "spc/spc_types.h"

namespace mv {

// The date as whole days (no time part); nothing when the text is not a date.
std::optional<TDateTime> ParseDayFirstDate(std::string_view text);
// The time of day as a fraction of a day; nothing when the text is not a time.
std::optional<TDateTime> ParseClockTime(std::string_view text);

// The values of exchange-file keys.
// Integer: trimmed, decimal, optionally signed, within 32 bits; an empty text is 0.
std::optional<std::int32_t> ParseExchangeInteger(std::string_view text);
// Number: the rule of typed numbers (Empty when nothing is left after normalising).
TypedNumber ParseExchangeNumber(std::string_view text);
// Boolean: the first 7 characters in upper case, one of Y YES T TRUE Д ДА + 1 (true) or
// N NO F FALSE Н НЕТ - 0 (false).
std::optional<bool> ParseExchangeBoolean(std::string_view text);
// "Var" or "Attr", letter case ignored.
std::optional<DataKind> ParseDataKind(std::string_view text);
// "units" or "nonconf", letter case ignored.
std::optional<AttrType> ParseAttrType(std::string_view text);
// A number equal (within 1e-12) to one of 1, 0.1, ... 0.00001: its multiplier code 0..5.
std::optional<std::uint8_t> ParseMultiplier(std::string_view text);
// "off", "date" or "datetime", letter case ignored: the block's date flags (0, kDates,
// kDates | kTimes).
std::optional<std::uint16_t> ParseSampleDates(std::string_view text);
// The writer's forms of the same.
const char* SampleDatesCode(std::uint16_t blockFlags);  // "off", "date", "datetime"

}  // namespace mv
