#include "spc/value_parsers.h"

#include <gtest/gtest.h>

#include "core/date_time.h"

namespace mv {
namespace {

TEST(ValueParsers, DatesAreDayFirst) {
  const struct {
    const char* text;
    const char* expected;  // "" : not a date
  } kCases[] = {
      {"05.03.2024", "05.03.2024"},   {" 5.3.2024 ", "05.03.2024"},   {"05-03-2024", "05.03.2024"},
      {"05.03.24", "05.03.2024"},     {"05.03.39", "05.03.2039"},     {"05.03.40", "05.03.1940"},
      {"05.03.2024 10:31", "05.03.2024"},  // the year ends at the first blank
      {"5-3.2024", ""},                    // a "-" before the first ".": "-" separates, "3.2024" is no month
      {"29.02.2024", "29.02.2024"},   {"29.02.2023", ""},             {"32.01.2024", ""},
      {"00.01.2024", ""},             {"01.13.2024", ""},             {"01.01", ""},
      {"", ""},                       {"a.b.c", ""},                  {"+1.01.2024", ""},
      {"01.01.12345", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const auto date = ParseDayFirstDate(c.text);
    EXPECT_EQ(date ? DateText(*date) : "", c.expected);
    if (date) {
      EXPECT_EQ(*date, static_cast<double>(static_cast<long long>(*date)));
    }
  }
}

TEST(ValueParsers, TimesTakeHoursMinutesAndWholeSeconds) {
  const struct {
    const char* text;
    const char* expected;  // "" : not a time
  } kCases[] = {
      {"10:31", "10:31:00"},    {" 9:05:07 ", "09:05:07"}, {"10.31", "10:31:00"},
      {"10:31:05.9", "10:31:05"}, {"10:31:05,9", "10:31:05"}, {"10.31.05", "10:31:05"},
      {"23:59:59", "23:59:59"}, {"24:00", ""},              {"10:60", ""},
      {"10:31:60", ""},         {"10", ""},                 {"", ""},
      {"-1:00", ""},            {"1 0:00", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const auto time = ParseClockTime(c.text);
    EXPECT_EQ(time ? TimeText(*time, true) : "", c.expected);
  }
}

}  // namespace
}  // namespace mv
