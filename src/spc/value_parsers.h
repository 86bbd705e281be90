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

#include <optional>
#include <string_view>

#include "platform/clock.h"

namespace mv {

// The date as whole days (no time part); nothing when the text is not a date.
std::optional<TDateTime> ParseDayFirstDate(std::string_view text);
// The time of day as a fraction of a day; nothing when the text is not a time.
std::optional<TDateTime> ParseClockTime(std::string_view text);

}  // namespace mv
