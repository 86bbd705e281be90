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
      {"5.3.45", "05.03.1945"},       {"5-3-39", "05.03.2039"},       {"31.04.2024", ""},
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
      {"7.30", "07:30:00"},     {"23:59:59,75", "23:59:59"}, {"7.30.15.5", "07:30:15"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const auto time = ParseClockTime(c.text);
    EXPECT_EQ(time ? TimeText(*time, true) : "", c.expected);
  }
}

TEST(ValueParsers, ExchangeBooleansTakeTheirWords) {
  const struct {
    const char* text;
    int expected;  // -1: not a boolean
  } kCases[] = {
      {"Y", 1},   {"yes", 1},   {"T", 1},  {"true", 1}, {"д", 1},   {"Да", 1},    {"+", 1}, {"1", 1},
      {"N", 0},   {"no", 0},    {"f", 0},  {"FALSE", 0}, {"н", 0},  {"Нет", 0},   {"-", 0}, {"0", 0},
      {"maybe", -1}, {"", -1},  {"YESS", -1}, {"2", -1},
      // Only the first 7 characters count.
      {"FALSE  x", -1}, {"TRUE   garbage", -1},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const auto value = ParseExchangeBoolean(c.text);
    EXPECT_EQ(value ? (*value ? 1 : 0) : -1, c.expected);
  }
}

TEST(ValueParsers, ExchangeIntegersNumbersAndCodes) {
  const struct {
    const char* text;
    std::optional<std::int32_t> expected;
  } kIntegers[] = {
      {"", 0},      {"  ", 0},  {"12", 12},    {" -7 ", -7},         {"+3", 3},
      {"1.5", {}},  {"x", {}},  {"2147483647", 2147483647}, {"2147483648", {}}, {"1 2", {}},
  };
  for (const auto& c : kIntegers) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseExchangeInteger(c.text), c.expected);
  }
  const struct {
    const char* text;
    std::optional<std::uint8_t> code;
  } kMultipliers[] = {
      {"1", 0}, {"0.1", 1}, {"0.010", 2}, {"0,001", 3}, {"1e-4", 4}, {"0.00001", 5},
      {"0.02", {}}, {"10", {}}, {"", {}}, {"0.000001", {}},
  };
  for (const auto& c : kMultipliers) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseMultiplier(c.text), c.code);
  }
  EXPECT_EQ(ParseDataKind("var"), DataKind::Var);
  EXPECT_EQ(ParseDataKind("ATTR"), DataKind::Attr);
  EXPECT_EQ(ParseDataKind("Variable"), std::nullopt);
  EXPECT_EQ(ParseAttrType("Units"), AttrType::Units);
  EXPECT_EQ(ParseAttrType("NONCONF"), AttrType::Nonconformities);
  EXPECT_EQ(ParseAttrType("unit"), std::nullopt);
  EXPECT_EQ(ParseSampleDates("OFF"), 0);
  EXPECT_EQ(ParseSampleDates("date"), block_flag::kDates);
  EXPECT_EQ(ParseSampleDates("DateTime"), block_flag::kDates | block_flag::kTimes);
  EXPECT_EQ(ParseSampleDates("time"), std::nullopt);
  EXPECT_EQ(ParseExchangeNumber("1 234,5").value, 1234.5);
  EXPECT_EQ(ParseExchangeNumber("").status, TypedNumberStatus::Empty);
}

}  // namespace
}  // namespace mv
