#include "reports/color_names.h"

#include <gtest/gtest.h>

namespace mv {
namespace {

TEST(ColorNames, HexDigitsAreRedGreenBlueFromTheLowByte) {
  const struct {
    std::uint32_t color;
    const char* html;
  } kCases[] = {
      {0x0000FF, "#FF0000"}, {0xFF0000, "#0000FF"}, {0x303030, "#303030"},
      {0x123456, "#563412"}, {0x00ABCDEF, "#EFCDAB"}, {kColorWindow, "#050000"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.html);
    EXPECT_EQ(ColorToHtml(c.color), c.html);
    EXPECT_EQ("#" + ColorToHex(c.color), c.html);
  }
}

TEST(ColorNames, FirstRowOfTheTableNamesTheColour) {
  const struct {
    std::uint32_t color;
    bool russian;
    bool digits;
    const char* name;
  } kCases[] = {
      {0x808080, true, false, "Серый"},
      {0x808080, false, false, "DkGray"},
      {0xC0C0C0, false, true, "LtGray (C0C0C0)"},
      {0xC0C0C0, true, false, "Серебристый"},
      {0x123456, true, false, "563412"},
      {0x123456, false, true, "563412"},
      {0x0000FF, true, false, "Красный"},
      {0x000000, false, false, "Black"},
      {kColorNone, true, false, "Нет"},
      {kColorWindow, true, false, "Окно"},
      {kColorGrayText, false, true, "GrayText (110000)"},
      {0xF0CAA6, true, true, "Небесный (A6CAF0)"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ColorName(c.color, c.russian, c.digits), c.name);
  }
}

TEST(ColorNames, SystemColoursShownAsPlainOnes) {
  EXPECT_EQ(PlainColor(kColorWindow), 0xFFFFFFu);
  EXPECT_EQ(PlainColor(kColorGrayText), 0x808080u);
  EXPECT_EQ(PlainColor(0x303030), 0x303030u);
  EXPECT_STREQ(NamedColorAt(kNamedColorCount - 1).english, "GrayText");
  EXPECT_STREQ(NamedColorAt(kNamedColorCount).english, "None");
}

}  // namespace
}  // namespace mv
