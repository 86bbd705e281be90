#include "core/date_time.h"

#include <cstdint>

#include "core/numbers.h"
#include "platform/clock.h"
#include "platform/services.h"

namespace mv {
namespace {

constexpr std::int64_t kMsecPerDay = 86400000;
// 01.01.1970 as a day number of the system's date-time.
constexpr std::int64_t kUnixEpochDay = 25569;
// 01.01.0001 and 01.01.10000: the dates the system can hold.
constexpr std::int64_t kFirstDay = -693593;
constexpr std::int64_t kEndDay = 2958466;

// Days since 01.01.1970 in the proleptic Gregorian calendar and back (H. Hinnant's
// days_from_civil / civil_from_days), exact for every year we allow.
constexpr std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2 ? 1 : 0;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr CalendarDate CivilFromDays(std::int64_t z) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  const unsigned d = doy - (153 * mp + 2) / 5 + 1;
  const unsigned m = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2 ? 1 : 0);
  return {static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)};
}

static_assert(DaysFromCivil(1899, 12, 30) == -kUnixEpochDay);
static_assert(DaysFromCivil(1, 1, 1) + kUnixEpochDay == kFirstDay);
static_assert(DaysFromCivil(10000, 1, 1) + kUnixEpochDay == kEndDay);

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

struct DayAndTime {
  std::int64_t day = 0;   // days since 30.12.1899
  std::int64_t msec = 0;  // of the day, 0..86399999
};

// Rounds to whole milliseconds first, so 23:59:59.9996 becomes the next day's 00:00:00.000.
// Negative values follow the traditional convention: the date is the whole part toward zero and the
// time the fraction without its sign, so -1.25 is 29.12.1899 06:00. Values outside
// 01.01.0001..31.12.9999 (and NaN) read as 0, 30.12.1899 00:00.
DayAndTime Split(TDateTime value) {
  if (!(value > static_cast<double>(kFirstDay - 1) && value < static_cast<double>(kEndDay))) {
    return {};
  }
  const auto total = static_cast<std::int64_t>(RoundHalfEven(value * kMsecPerDay));
  DayAndTime parts{total / kMsecPerDay, total % kMsecPerDay};
  if (parts.msec < 0) parts.msec = -parts.msec;
  if (parts.day < kFirstDay || parts.day >= kEndDay) return {};  // rounded over the last day
  return parts;
}

void AppendTwoDigits(std::string& out, int n) {
  out += static_cast<char>('0' + n / 10 % 10);
  out += static_cast<char>('0' + n % 10);
}

}  // namespace

std::optional<TDateTime> EncodeDate(int year, int month, int day) {
  if (year < 1 || year > 9999 || month < 1 || month > 12) return std::nullopt;
  if (day < 1 || day > DaysInMonth(year, month)) return std::nullopt;
  return static_cast<double>(DaysFromCivil(year, static_cast<unsigned>(month),
                                           static_cast<unsigned>(day)) +
                             kUnixEpochDay);
}

std::optional<TDateTime> EncodeTime(int hour, int minute, int second, int msec) {
  if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59 ||
      msec < 0 || msec > 999) {
    return std::nullopt;
  }
  const std::int64_t total = ((hour * 60LL + minute) * 60 + second) * 1000 + msec;
  return static_cast<double>(total) / kMsecPerDay;
}

std::optional<TDateTime> EncodeDateTime(const CalendarDate& date, const ClockTime& time) {
  const std::optional<TDateTime> day = EncodeDate(date.year, date.month, date.day);
  const std::optional<TDateTime> clock = EncodeTime(time.hour, time.minute, time.second, time.msec);
  if (!day || !clock) return std::nullopt;
  // Before 30.12.1899 the time is counted away from zero too (see Split).
  return *day < 0 ? *day - *clock : *day + *clock;
}

CalendarDate DecodeDate(TDateTime value) { return CivilFromDays(Split(value).day - kUnixEpochDay); }

ClockTime DecodeTime(TDateTime value) {
  const std::int64_t msec = Split(value).msec;
  return {static_cast<int>(msec / 3600000), static_cast<int>(msec / 60000 % 60),
          static_cast<int>(msec / 1000 % 60), static_cast<int>(msec % 1000)};
}

std::string DateText(TDateTime value) {
  const CalendarDate date = DecodeDate(value);
  std::string out;
  out.reserve(10);
  AppendTwoDigits(out, date.day);
  out += '.';
  AppendTwoDigits(out, date.month);
  out += '.';
  AppendTwoDigits(out, date.year / 100);
  AppendTwoDigits(out, date.year % 100);
  return out;
}

std::string TimeText(TDateTime value, bool withSeconds) {
  // Seconds are cut, not rounded, like any clock: 14:07:09.999 shows 14:07:09.
  const ClockTime time = DecodeTime(value);
  std::string out;
  out.reserve(8);
  AppendTwoDigits(out, time.hour);
  out += ':';
  AppendTwoDigits(out, time.minute);
  if (withSeconds) {
    out += ':';
    AppendTwoDigits(out, time.second);
  }
  return out;
}

std::string DateTimeText(TDateTime value, bool withSeconds) {
  return DateText(value) + ' ' + TimeText(value, withSeconds);
}

TDateTime Now() { return platform::Current<platform::IClock>().Now(); }

}  // namespace mv
