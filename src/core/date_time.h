#pragma once
// The system's date-time: a double counting days since 30 December 1899, the fraction being
// the time of day. For non-negative values the date is floor(value) and the time value - floor.
// Negative values keep the traditional convention: the date is the whole part toward zero and
// the time the fraction without its sign, so -1.25 is 29.12.1899 06:00 (and -0.25, like 0.25, is
// 30.12.1899 06:00).

#include <optional>
#include <string>

#include "platform/clock.h"

namespace mv {

struct CalendarDate {
  int year = 1899;
  int month = 12;  // 1..12
  int day = 30;    // 1..31
};

struct ClockTime {
  int hour = 0;    // 0..23
  int minute = 0;  // 0..59
  int second = 0;  // 0..59
  int msec = 0;    // 0..999
};

// Years 1..9999. Nothing for an impossible date (31.02, month 13, ...).
std::optional<TDateTime> EncodeDate(int year, int month, int day);
std::optional<TDateTime> EncodeTime(int hour, int minute, int second, int msec = 0);
// Before 30.12.1899 the time is subtracted, following the convention above.
std::optional<TDateTime> EncodeDateTime(const CalendarDate& date, const ClockTime& time);

// The value is first rounded to whole milliseconds, so 23:59:59.9996 is the next day's 00:00.
// A value outside 01.01.0001..31.12.9999 (or NaN) decodes as 0: 30.12.1899 00:00.
CalendarDate DecodeDate(TDateTime value);
ClockTime DecodeTime(TDateTime value);

// Display forms: "dd.MM.yyyy", " hh:nn" and ":ss".
std::string DateText(TDateTime value);                             // "05.03.2024"
std::string TimeText(TDateTime value, bool withSeconds = false);   // "14:07" / "14:07:09"
std::string DateTimeText(TDateTime value, bool withSeconds = false);  // "05.03.2024 14:07[:09]"

// "Now" from the installed clock.
TDateTime Now();

}  // namespace mv
