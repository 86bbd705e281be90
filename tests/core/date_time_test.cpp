#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/date_time.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

constexpr double kMsec = 1.0 / 86400000.0;

TEST(DateTime, KnownDays) {
  // Day numbers of the 30.12.1899 count; 25569 is the Unix epoch, 36526 the year 2000.
  const struct {
    int year, month, day;
    double value;
  } kCases[] = {
      {1899, 12, 30, 0},     {1899, 12, 31, 1},      {1900, 1, 1, 2},
      {1900, 3, 1, 61},      {1970, 1, 1, 25569},    {2000, 1, 1, 36526},
      {2024, 2, 29, 45351},  {2024, 3, 1, 45352},    {1899, 12, 29, -1},
      {1, 1, 1, -693593},    {9999, 12, 31, 2958465},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(EncodeDate(c.year, c.month, c.day), c.value);
    const CalendarDate date = DecodeDate(c.value);
    EXPECT_EQ(date.year, c.year);
    EXPECT_EQ(date.month, c.month);
    EXPECT_EQ(date.day, c.day);
  }
}

TEST(DateTime, EveryDayRoundTrips) {
  const double first = *EncodeDate(1, 1, 1);
  const double last = *EncodeDate(9999, 12, 31);
  for (double day = first; day <= last; ++day) {
    const CalendarDate date = DecodeDate(day);
    ASSERT_EQ(EncodeDate(date.year, date.month, date.day), day);
  }
}

TEST(DateTime, RefusesImpossibleDatesAndTimes) {
  const struct {
    int year, month, day;
  } kDates[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 4, 31}, {2024, 13, 1},
                {2024, 0, 1},  {2024, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
  for (const auto& c : kDates) {
    SCOPED_TRACE(std::to_string(c.day) + "." + std::to_string(c.month) + "." +
                 std::to_string(c.year));
    EXPECT_EQ(EncodeDate(c.year, c.month, c.day), std::nullopt);
  }
  EXPECT_NE(EncodeDate(2000, 2, 29), std::nullopt);
  const ClockTime kTimes[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000},
                              {-1, 0, 0, 0}, {0, 0, 0, -1}};
  for (const auto& t : kTimes) {
    SCOPED_TRACE(std::to_string(t.hour) + ":" + std::to_string(t.minute) + ":" +
                 std::to_string(t.second) + "." + std::to_string(t.msec));
    EXPECT_EQ(EncodeTime(t.hour, t.minute, t.second, t.msec), std::nullopt);
    EXPECT_EQ(EncodeDateTime({2024, 3, 1}, t), std::nullopt);
  }
}

TEST(DateTime, EveryFewMillisecondsOfADayRoundTrip) {
  for (const double day : {45352.0, 2958465.0, -5.0}) {
    for (int msec = 0; msec < 86400000; msec += 997) {
      const ClockTime time{msec / 3600000, msec / 60000 % 60, msec / 1000 % 60, msec % 1000};
      const double value = *EncodeDateTime(DecodeDate(day), time);
      const ClockTime back = DecodeTime(value);
      ASSERT_EQ(DecodeDate(value).day, DecodeDate(day).day) << value;
      ASSERT_EQ(back.hour * 3600000 + back.minute * 60000 + back.second * 1000 + back.msec, msec)
          << value;
    }
  }
}

TEST(DateTime, DisplayForms) {
  const struct {
    double value;
    const char* date;
    const char* time;
    const char* timeWithSeconds;
  } kCases[] = {
      {*EncodeDateTime({2024, 3, 5}, {14, 7, 9, 999}), "05.03.2024", "14:07", "14:07:09"},  // cut

      {*EncodeDateTime({1, 1, 1}, {0, 0, 0, 0}), "01.01.0001", "00:00", "00:00:00"},
      {45352.0 + 86399999.6 * kMsec, "02.03.2024", "00:00", "00:00:00"},  // rounds to next day
      {45352.0 + 86399999.4 * kMsec, "01.03.2024", "23:59", "23:59:59"},
      {-1.25, "29.12.1899", "06:00", "06:00:00"},  // before day 0: time counted away from zero
      {-0.25, "30.12.1899", "06:00", "06:00:00"},
      {std::numeric_limits<double>::quiet_NaN(), "30.12.1899", "00:00", "00:00:00"},
      {1e20, "30.12.1899", "00:00", "00:00:00"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(DateText(c.value), c.date);
    EXPECT_EQ(TimeText(c.value), c.time);
    EXPECT_EQ(TimeText(c.value, true), c.timeWithSeconds);
    EXPECT_EQ(DateTimeText(c.value), std::string(c.date) + " " + c.time);
    EXPECT_EQ(DateTimeText(c.value, true), std::string(c.date) + " " + c.timeWithSeconds);
  }
  EXPECT_EQ(EncodeDateTime({1899, 12, 29}, {6, 0, 0, 0}), -1.25);
}

TEST(DateTime, NowComesFromTheInstalledClock) {
  test::FakePlatform fake;
  fake.clock.now = 45352.5;
  const TDateTime now = Now();
  EXPECT_EQ(now, fake.clock.now);
  EXPECT_EQ(DateTimeText(now), "01.03.2024 12:00");
}

}  // namespace
}  // namespace mv
