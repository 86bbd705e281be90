#include "core/font_descr.h"

#include <gtest/gtest.h>

#include "support/bytes.h"

namespace mv {
namespace {

// The record laid by hand: length byte and 30 name bytes, size, colour, style, charset.
TEST(FontDescr, RecordBytes) {
  TFontDescr font;
  font.name = "Segoe UI";
  font.size = 9;
  font.color = 0x00112233;
  font.style = 3;  // bold italic
  const std::string expected = test::FromHex(
      "08 53 65 67 6F 65 20 55 49"
      "00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
      "09 00 00 00  33 22 11 00  03  CC");
  ASSERT_EQ(expected.size(), TFontDescr::kSize);
  EXPECT_EQ(test::ToHex(font.Encode()), test::ToHex(expected));

  TFontDescr back;
  back.name = "x";
  ASSERT_TRUE(back.Decode(expected));
  EXPECT_EQ(back, font);
}

TEST(FontDescr, NameKeptWithinItsThirtyCharacters) {
  TFontDescr font;
  font.name.clear();
  for (int i = 0; i < 35; ++i) font.name += "Ж";  // two UTF-8 bytes, one stored byte each
  const std::string bytes = font.Encode();
  ASSERT_EQ(bytes.size(), TFontDescr::kSize);
  EXPECT_EQ(static_cast<unsigned char>(bytes[0]), 30u);

  // A length byte beyond the name's room is not followed into the size field.
  std::string damaged = bytes;
  damaged[0] = static_cast<char>(200);
  TFontDescr back;
  ASSERT_TRUE(back.Decode(damaged));
  EXPECT_EQ(back.name.size(), 30u * 2);
  EXPECT_EQ(back.size, 9);

  // Too few bytes: nothing taken.
  TFontDescr untouched;
  untouched.size = 11;
  EXPECT_FALSE(untouched.Decode(std::string_view(bytes).substr(0, TFontDescr::kSize - 1)));
  EXPECT_EQ(untouched.size, 11);
}

TEST(FontDescr, SystemFontSizeRule) {
  const std::string refused = "Недопустимо выбирать размер системного шрифта менее 8 и более 14";
  const struct {
    std::int32_t size;
    bool accepted;
  } kCases[] = {{-1, false}, {0, false}, {7, false}, {8, true}, {9, true}, {14, true}, {15, false}, {72, false}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.size);
    EXPECT_EQ(CheckSystemFontSize(c.size), c.accepted ? "" : refused);
  }
}

TEST(FontDescr, ScaleAndGrowKeepAtLeastFivePoints) {
  const struct {
    std::int32_t size;
    std::int32_t percent;
    std::int32_t scaled;
  } kScale[] = {
      {6, -50, 5},    // 3 is too small
      {10, 25, 12},   // 12.5 rounds to the even neighbour
      {14, 25, 18},   // 17.5 likewise
      {10, 15, 12},   // 11.5
      {18, 0, 18},
      {9, 10, 10},    // 9.9
      {20, -100, 5},
      {10, -300, 5},
      {2, 0, 5},
      {2147483647, 100, 2147483647},
  };
  for (const auto& c : kScale) {
    SCOPED_TRACE(std::to_string(c.size) + " by " + std::to_string(c.percent) + "%");
    TFontDescr font;
    font.size = c.size;
    font.name = "Tahoma";
    const TFontDescr scaled = font.Scaled(c.percent);
    EXPECT_EQ(scaled.size, c.scaled);
    EXPECT_EQ(scaled.name, "Tahoma");
    EXPECT_EQ(font.size, c.size);  // a scaled copy
  }
  const struct {
    std::int32_t size;
    std::int32_t points;
    std::int32_t grown;
  } kGrow[] = {
      {6, -3, 5}, {10, -3, 7}, {10, 2, 12}, {3, 0, 5}, {3, 1, 4}, {-2147483647 - 1, -5, 5}, {2147483647, 1, 2147483647},
  };
  for (const auto& c : kGrow) {
    SCOPED_TRACE(std::to_string(c.size) + " grown by " + std::to_string(c.points));
    TFontDescr font;
    font.size = c.size;
    font.Grow(c.points);
    EXPECT_EQ(font.size, c.grown);
  }
}

}  // namespace
}  // namespace mv
