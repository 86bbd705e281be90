#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

#include "core/text.h"
#include "core/value_range.h"

namespace mv {
namespace {

using std::nullopt;
using namespace std::string_literals;

ValueRange Made(std::uint8_t decimals, std::optional<double> lower, std::optional<double> upper,
                std::optional<double> target, std::string emptyText = {}) {
  ValueRange range;
  range.emptyText = std::move(emptyText);
  range.Set(decimals, lower, upper, target);
  return range;
}

TEST(ValueRange, TextShowsThePartsPresent) {
  const struct {
    ValueRange range;
    const char* ru;
    const char* en;
    const char* bounds;
  } kCases[] = {
      {Made(2, 9.9, 10.1, 10), "номинал 10.00, от 9.90 до 10.10",
       "target 10.00, from 9.90 upto 10.10", "от 9.90 до 10.10"},
      {Made(0, nullopt, 11, nullopt), "до 11", "upto 11", "до 11"},
      {Made(1, 5, nullopt, nullopt), "от 5.0", "from 5.0", "от 5.0"},
      {Made(1, nullopt, 11, 10), "номинал 10.0, до 11.0", "target 10.0, upto 11.0", "до 11.0"},
      {Made(2, nullopt, nullopt, -0.001, "нет"), "номинал 0.00", "target 0.00", "нет"},
      {Made(2, nullopt, nullopt, nullopt, "нет"), "нет", "нет", "нет"},
      {Made(2, nullopt, nullopt, nullopt), "", "", ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.ru);
    EXPECT_EQ(c.range.Text(), c.ru);
    EXPECT_EQ(c.range.Text(Lang::En), c.en);
    EXPECT_EQ(c.range.BoundsText(), c.bounds);
  }
}

TEST(ValueRange, SetKeepsTheMiddleOnlyForTwoBounds) {
  ValueRange range = Made(1, 9.9, 10.2, nullopt);
  ASSERT_TRUE(range.Get(ValueRange::kMiddle).has_value());
  EXPECT_DOUBLE_EQ(*range.Get(ValueRange::kMiddle), 10.05);
  EXPECT_EQ(range.slots[ValueRange::kMiddle].decimals, 2);
  EXPECT_EQ(range.defaultDecimals, 1);

  range.Set(1, 9.9, nullopt, 10);
  EXPECT_EQ(range.Get(ValueRange::kMiddle), nullopt);
  EXPECT_EQ(range.Get(ValueRange::kUpper), nullopt);
  EXPECT_EQ(range.Get(ValueRange::kTarget), 10);

  range.emptyText = "-";
  range.Clear();
  EXPECT_TRUE(range.IsEmpty());
  EXPECT_EQ(range.emptyText, "-");
  EXPECT_EQ(range.defaultDecimals, 1);
}

TEST(ValueRange, ContainsAndValidity) {
  const struct {
    ValueRange range;
    double x;
    bool contains, twoSided, valid;
  } kCases[] = {
      {Made(1, 1, 2, nullopt), 1.0, true, true, true},  // bounds inclusive
      {Made(1, 1, 2, nullopt), 2.0, true, true, true},
      {Made(1, 1, 2, nullopt), 2.0001, false, true, true},
      {Made(1, 1, 2, nullopt), 0.9999, false, true, true},
      {Made(1, 1, nullopt, nullopt), 1e300, true, false, true},
      {Made(1, nullopt, 2, nullopt), -1e300, true, false, true},
      {Made(1, nullopt, nullopt, 5), -7, true, false, true},
      {Made(1, 2, 2, nullopt), 2.0, true, true, false},  // zero width
      {Made(1, 3, 2, nullopt), 2.5, false, true, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.range.Text() + " / " + std::to_string(c.x));
    EXPECT_EQ(c.range.Contains(c.x), c.contains);
    EXPECT_EQ(c.range.IsTwoSided(), c.twoSided);
    EXPECT_EQ(c.range.IsValid(), c.valid);
  }
}

TEST(ValueRange, StoredTextForm) {
  ValueRange plain;  // slots filled one by one, as a reader of an older form would
  plain.defaultDecimals = 2;
  plain.slots[ValueRange::kLower] = {0, true, 2};
  plain.slots[ValueRange::kUpper] = {25, true, 2};
  EXPECT_EQ(plain.ToStoredText(), "FMT=SL1|DCM=2|L1=0|L2=25");

  EXPECT_EQ(Made(2, 9.9, 10.1, 10.0, "нет").ToStoredText(),
            "FMT=SL1|DCM=2|NLS=нет|L1=9.9|L2=10.1|L3=10|L4=10");
  EXPECT_EQ(Made(3, -0.0004, nullopt, 1e30).ToStoredText(), "FMT=SL1|DCM=3|L1=0|L4=1e+30");
  // No escapes in the form: a '|' in the empty text must not turn into a pair of its own.
  EXPECT_EQ(Made(0, nullopt, nullopt, nullopt, "a|L1=5").ToStoredText(), "FMT=SL1|DCM=0|NLS=aL1=5");
}

TEST(ValueRange, StoredTextRoundTrip) {
  const ValueRange kRanges[] = {
      Made(2, nullopt, 25, nullopt, "не задано"),
      Made(4, -0.0125, nullopt, 0),
      Made(0, nullopt, nullopt, -1e30),
      Made(20, nullopt, -123456789.1, nullopt),  // 31 characters as a fixed number
      Made(2, nullopt, nullopt, nullopt, "пусто"),
  };
  for (const auto& range : kRanges) {
    SCOPED_TRACE(range.ToStoredText());
    ValueRange back;
    back.FromStoredText(range.ToStoredText());
    EXPECT_TRUE(back.SameAs(range));
  }
  // The middle carries one more decimal than the stored default, which it loses on reading;
  // everything shown and stored stays the same.
  const ValueRange twoSided = Made(2, 9.9, 10.1, 10, "—");
  ValueRange back;
  back.FromStoredText(twoSided.ToStoredText());
  EXPECT_FALSE(back.SameAs(twoSided));
  EXPECT_EQ(back.Text(), twoSided.Text());
  EXPECT_EQ(back.ToStoredText(), twoSided.ToStoredText());
}

TEST(ValueRange, ReadsWhatItCanOfAStoredText) {
  const struct {
    std::string text;
    const char* shown;   // Text(): the slots present and their decimals
    const char* stored;  // ToStoredText() after reading
  } kCases[] = {
      {"FMT=SL1|DCM=2|L1=0|L2=25", "от 0.00 до 25.00", "FMT=SL1|DCM=2|L1=0|L2=25"},
      {"L2=25|DCM=2|L1=0", "от 0.00 до 25", "FMT=SL1|DCM=2|L1=0|L2=25"},  // any order
      {"DCM=1|L4=1 000,5|NLS=нет", "номинал 1000.5", "FMT=SL1|DCM=1|NLS=нет|L4=1000.5"},
      {"FMT=SL1|L1=1|FMT=SL2|L2=5", "от 1", "FMT=SL1|DCM=0|L1=1"},  // stops at an unknown form
      {"FMT=|L1=1", "", "FMT=SL1|DCM=0"},
      {"FMT|L1=1", "", "FMT=SL1|DCM=0"},
      {"DCM=21|L1=7", "от 7", "FMT=SL1|DCM=0|L1=7"},
      {"DCM=-1|DCM=x|DCM=|DCM=2.0|L1=7", "от 7", "FMT=SL1|DCM=0|L1=7"},
      {"DCM=3|DCM=1|L1=7", "от 7.0", "FMT=SL1|DCM=1|L1=7"},
      {"L1=abc|L2=1e999|L3=|L4=1=2|L2=5", "до 5", "FMT=SL1|DCM=0|L2=5"},
      {"L0=1|L5=1|L=1|l1=1|L11=1|X=1|=|||NLS=-", "-", "FMT=SL1|DCM=0|NLS=-"},
      {"NLS=абвгдеёжзийклмнопрстуф", "абвгдеёжзийклмнопрст",
       "FMT=SL1|DCM=0|NLS=абвгдеёжзийклмнопрст"},  // 20 characters kept
      {"L1=\0" "1|\xFF\xFE=\x01|L2=2"s, "до 2", "FMT=SL1|DCM=0|L2=2"},
      {"", "", "FMT=SL1|DCM=0"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    ValueRange range = Made(5, 1, 2, 3, "old");  // everything before is forgotten
    range.FromStoredText(c.text);
    EXPECT_EQ(range.Text(), c.shown);
    EXPECT_EQ(range.ToStoredText(), c.stored);
  }
}

// Stored texts come from files: any bytes must give a range whose own stored text reads back
// unchanged, with the empty text and decimals inside their limits.
TEST(ValueRange, DamagedStoredTextsGiveAStableRange) {
  const std::string seed = "FMT=SL1|DCM=3|NLS=нет данных|L1=-1.5|L2=2,25|L3=0.375|L4=1e2";
  std::mt19937 random(20240301);
  for (int round = 0; round < 3000; ++round) {
    std::string text = seed;
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t at = random() % text.size();
      switch (random() % 3) {
        case 0: text[at] = static_cast<char>(random() % 256); break;
        case 1: text.erase(at, 1 + random() % 4); break;
        default: text.insert(at, 1, "|=L1234DCMNLSFT.,e-+ 9"[random() % 22]); break;
      }
    }
    SCOPED_TRACE(text);
    ValueRange range;
    range.FromStoredText(text);
    ASSERT_LE(CharCount(range.emptyText), ValueRange::kEmptyTextMax);
    ASSERT_LE(range.defaultDecimals, 20);
    // The first rewrite may change decimals (slots read before DCM); after that it is fixed.
    ValueRange once;
    once.FromStoredText(range.ToStoredText());
    ValueRange twice;
    twice.FromStoredText(once.ToStoredText());
    ASSERT_EQ(twice.ToStoredText(), once.ToStoredText());
    ASSERT_TRUE(twice.SameAs(once));
  }
}

}  // namespace
}  // namespace mv
