#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "core/numbers.h"

namespace mv {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

TEST(Numbers, SameValueUsesTheFixedTolerance) {
  EXPECT_TRUE(SameValue(1.0, 1.0 + 1e-13));
  EXPECT_TRUE(SameValue(-5e-13, 4e-13));
  EXPECT_FALSE(SameValue(1.0, 1.0 + 1e-11));
  EXPECT_TRUE(SameValue(kInf, kInf));
  EXPECT_FALSE(SameValue(kNan, kNan));
}

TEST(Numbers, RoundHalfEven) {
  const struct {
    double x;
    double rounded;
  } kCases[] = {
      {2.5, 2},    {3.5, 4},         {-2.5, -2},   {-3.5, -4},  {0.5, 0},
      {1.5, 2},    {2.4999999, 2},   {2.5000001, 3}, {-0.4, 0}, {-7.6, -8},
      {4503599627370497.0, 4503599627370497.0},  // 2^52 + 1: already whole
      {1e300, 1e300},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.x);
    EXPECT_EQ(RoundHalfEven(c.x), c.rounded);
  }
}

TEST(Numbers, FormatFixedRoundsTheBinaryValue) {
  const struct {
    double x;
    int decimals;
    const char* text;
  } kCases[] = {
      {1234.5, 1, "1234.5"},
      {1.005, 2, "1.00"},     // 1.00499999999999989...
      {0.125, 2, "0.12"},     // exact tie: to even
      {0.375, 2, "0.38"},
      {2.5, 0, "2"},
      {-0.001, 2, "0.00"},    // nothing negative left to show
      {-0.005, 2, "-0.01"},   // -0.005000000000000000104...
      {-0.0, 1, "0.0"},
      {-12.345, 1, "-12.3"},
      {1e21, 0, "1000000000000000000000"},
      {0.1, 25, "0.10000000000000000555"},  // capped at 20 decimals
      {7.7, -3, "8"},
      {kInf, 2, "INF"},
      {-kInf, 2, "-INF"},
      {kNan, 2, "NAN"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatFixed(c.x, c.decimals), c.text);
  }
}

TEST(Numbers, FormatTrimmedCutsOnlyDecimalZeros) {
  const struct {
    double x;
    int decimals;
    const char* text;
  } kCases[] = {
      {0.0010, 4, "0.001"}, {25, 2, "25"},   {2.5, 0, "2"},      {100, 0, "100"},
      {100, 3, "100"},      {10.5, 2, "10.5"}, {-0.0001, 2, "0"}, {-1.25, 1, "-1.2"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FormatTrimmed(c.x, c.decimals), c.text);
  }
  EXPECT_EQ(FormatInt(std::numeric_limits<std::int64_t>::min()), "-9223372036854775808");
}

TEST(Numbers, TypedNumbers) {
  using enum TypedNumberStatus;
  const struct {
    const char* text;
    TypedNumberStatus status;
    double value;
  } kCases[] = {
      {"1 234,5", Ok, 1234.5},
      {"1'000", Ok, 1000},
      {"1\u00A0000\t", Ok, 1000},  // no-break space as a digit group separator
      {"12", Ok, 12},
      {"-7.25", Ok, -7.25},
      {"+5", Ok, 5},
      {".5", Ok, 0.5},
      {"5.", Ok, 5},
      {"-,5", Ok, -0.5},
      {"1E3", Ok, 1000},
      {"+1e+3", Ok, 1000},
      {"2,5e-3", Ok, 0.0025},
      {"1e-999", Ok, 0},  // too small to hold: zero
      {"1234567890123456789012345678905", Ok, 1.23456789012345678901234567890e29},  // 30 kept
      {"", Empty, 0},
      {" \t' ", Empty, 0},
      {"1e999", Invalid, 0},
      {"-1e999", Invalid, 0},
      {"inf", Invalid, 0},
      {"nan", Invalid, 0},
      {"0x10", Invalid, 0},
      {"1,2,3", Invalid, 0},
      {"1e", Invalid, 0},
      {"1e+", Invalid, 0},
      {"e5", Invalid, 0},
      {"--1", Invalid, 0},
      {"+-1", Invalid, 0},
      {"-", Invalid, 0},
      {".", Invalid, 0},
      {"12a", Invalid, 0},
      {"1.2.3", Invalid, 0},
      {"１２", Invalid, 0},  // full-width digits
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const TypedNumber number = ParseTypedNumber(c.text);
    EXPECT_EQ(number.status, c.status);
    if (c.status == Ok) {
      EXPECT_DOUBLE_EQ(number.value, c.value);
      EXPECT_EQ(TypedNumberValue(c.text), c.value);
    } else {
      EXPECT_EQ(TypedNumberValue(c.text), std::nullopt);
    }
  }
  // A cell of an imported table reads as a typed field does, except that it is never cut:
  // past 30 characters (blanks aside) it is not a number.
  const std::string_view longer = "1234567890123456789012345678905";
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    const TypedNumber number = ParseImportedNumber(c.text);
    EXPECT_EQ(number.status, c.text == longer ? Invalid : c.status);
    if (number.status == Ok) {
      EXPECT_DOUBLE_EQ(number.value, c.value);
    }
  }
  EXPECT_EQ(ParseImportedNumber("-12345678901234567890123456789").value, -1.2345678901234567890123456789e28);
  EXPECT_EQ(ParseImportedNumber("1 234 567 890 123 456 789 012 345,5").value, 1234567890123456789012345.5);
  EXPECT_EQ(NormalizeTypedNumber(" 1 234,5 "), "1234.5");
  EXPECT_EQ(NormalizeTypedNumber("1,2,3"), "1.2.3");
}

TEST(Numbers, ImportedNumberGivesTheDecimalsWritten) {
  const struct {
    std::string_view text;
    int decimals;
  } kCases[] = {
      {"0,125", 3}, {"1.5e-3", 4}, {"12e2", 0}, {"1,50", 2}, {"-.5", 1}, {"2.", 0}, {"1.25E+1", 1},
      {"1.2e-0003", 4}, {"7", 0}, {" 1 234,567 ", 3},
      {"1.5e-1000", 1001}, {"1.5e-1001", 1},  // beyond a thousand the exponent does not count
      {"1.2.3", 0}, {"x", 0}, {"", 0}, {"1234567890123456789012345678.905", 0},  // not numbers
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    int decimals = -1;
    const TypedNumber number = ParseImportedNumber(c.text, decimals);
    EXPECT_EQ(decimals, c.decimals);
    EXPECT_EQ(number.status, ParseImportedNumber(c.text).status);
  }
}

TEST(Numbers, ParseIntegerTakesOnlyWholeNumbersInRange) {
  const struct {
    const char* text;
    std::optional<std::int64_t> value;
  } kCases[] = {
      {" 42 ", 42},   {"+7", 7},        {"-3", -3},        {"100", 100},
      {"101", {}},    {"-11", {}},      {"", {}},          {"  ", {}},
      {"3.0", {}},    {"1 000", {}},    {"+-5", {}},       {"0x1", {}},
      {"5a", {}},     {"99999999999999999999", {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(ParseInteger(c.text, -10, 100), c.value);
  }
}

TEST(Numbers, HexUpperGivesExactlyTheDigitsAsked) {
  const struct {
    std::uint32_t value;
    int digits;
    const char* text;
  } kCases[] = {
      {0xC8A3, 4, "C8A3"}, {0xC8A3, 2, "A3"},  {0xAB, 4, "00AB"},
      {0xFFFFFFFF, 8, "FFFFFFFF"}, {0x1F, 10, "000000001F"}, {5, 0, ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(HexUpper(c.value, c.digits), c.text);
  }
}

}  // namespace
}  // namespace mv
