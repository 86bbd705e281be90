#include "reports/report_fonts.h"

#include <gtest/gtest.h>

#include "reports/color_names.h"
#include "reports/report_font_dialog_logic.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

TFontDescr Font(const char* name, std::int32_t size, std::uint8_t style = 0, std::uint32_t color = 0) {
  TFontDescr f;
  f.name = name;
  f.size = size;
  f.style = style;
  f.color = color;
  return f;
}

TEST(ReportFonts, StyleSheetOfANewReportKind) {
  EXPECT_EQ(ReportStyleSheet(TReportFonts()),
            "<style>\r\n"
            "<!--\r\n"
            ".mainhdr { font-family:Verdana,Arial,Helvetica; font-size:18pt; color:#FF0000; font-weight: bold }\r\n"
            ".secthdr { font-family:Verdana,Arial,Helvetica; font-size:14pt; font-weight: bold }\r\n"
            ".text    { font-family:Verdana; font-size:10pt }\r\n"
            ".tab     { font-family:Verdana; font-size:10pt; margin-left:3 }\r\n"
            ".small   { font-family:Tahoma; font-size:8pt; color:#303030 }\r\n"
            "@media print { .pagebreak {page-break-before: always; }\r\n"
            "-->\r\n"
            "</style>");
}

// Report fonts come from data files: a crafted name must not end the declarations or the
// style element.
TEST(ReportFonts, FontNamesCannotBreakOutOfTheStyleSheet) {
  const struct {
    const char* name;
    const char* css;
  } kCases[] = {
      {"x}</style>", "font-family:x/style; font-size:10pt"},
      {"x}</style><script src=a.js>", "font-family:x/stylescript src=a.js; font-size:10pt"},
      {"a;color:red\"'\\", "font-family:acolor:red; font-size:10pt"},
      {"Times\x01\x1F\x7FNew\tRoman", "font-family:TimesNewRoman; font-size:10pt"},
      {"PT Sans Narrow", "font-family:PT Sans Narrow; font-size:10pt"},
      {"Шрифт-1,serif", "font-family:Шрифт-1,serif; font-size:10pt"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FontToCss(Font(c.name, 10)), c.css);
    TReportFonts fonts;
    for (TFontDescr& f : fonts.fonts) f.name = c.name;
    const std::string sheet = ReportStyleSheet(fonts);
    EXPECT_EQ(sheet.find("</style>"), sheet.size() - 8);
    EXPECT_EQ(sheet.find('<', 1), sheet.find("<!--"));
  }
}

TEST(ReportFonts, FontDeclarations) {
  const struct {
    TFontDescr font;
    const char* extra;
    const char* css;
  } kCases[] = {
      {Font("Arial", 10), "", "font-family:Arial; font-size:10pt"},
      {Font("Arial", 12, 2 | 4 | 8), "", "font-family:Arial; font-size:12pt; font-style: italic; text-decoration: underline"},
      {Font("Arial", 9, 1 | 2, 0xFF0000), ",Helvetica", "font-family:Arial,Helvetica; font-size:9pt; color:#0000FF; font-weight: bold; font-style: italic"},
      {Font("Arial", 9, 0, kColorWindow), "", "font-family:Arial; font-size:9pt; color:#FFFFFF"},
      {Font("Arial", 9, 0, kColorGrayText), "", "font-family:Arial; font-size:9pt; color:#808080"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.css);
    EXPECT_EQ(FontToCss(c.font, c.extra), c.css);
  }
}

TEST(ReportFonts, DisplayText) {
  const struct {
    TFontDescr font;
    const char* text;
  } kCases[] = {
      {Font("Verdana", 18, 1, 0x0000FF), "Verdana 18, bold, цвет: красный"},
      {Font("Tahoma", 8, 0, 0x303030), "Tahoma 8, цвет: 303030"},
      {Font("Arial", 10, 1 | 2, 0), "Arial 10, bold,italic"},
      {Font("Arial", 10, 4 | 8, 0x808080), "Arial 10, underline,strikeout, цвет: серый"},
      {Font("Arial", 10, 0x10, 0x0A0B0C), "Arial 10, цвет: 0C0B0A"},
      {Font("Arial", 10, 0, kColorGrayText), "Arial 10, цвет: затен.текст"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FontDisplayText(c.font), c.text);
  }
}

TEST(ReportFonts, RecordOfSixFonts) {
  TReportFonts fonts;
  fonts.Font(6) = Font("Ъ", 7, 3, 0x00ABCDEF);
  const std::string bytes = fonts.Encode();
  ASSERT_EQ(bytes.size(), 246u);
  EXPECT_EQ(test::ToHex(bytes.substr(0, 8)), "07 56 65 72 64 61 6E 61");  // "Verdana"
  EXPECT_EQ(test::ToHex(bytes.substr(4 * 41 + 31, 10)), "08 00 00 00 30 30 30 00 00 CC");
  EXPECT_EQ(test::ToHex(bytes.substr(5 * 41, 2)), "01 DA");
  EXPECT_EQ(test::ToHex(bytes.substr(5 * 41 + 31, 10)), "07 00 00 00 EF CD AB 00 03 CC");

  TReportFonts back;
  back.fonts[0].name = "x";
  ASSERT_TRUE(back.Decode(bytes));
  EXPECT_EQ(back, fonts);

  TReportFonts unchanged;
  EXPECT_FALSE(unchanged.Decode(bytes.substr(0, 245)));
  EXPECT_EQ(unchanged, TReportFonts());
}

TEST(ReportFonts, InvalidFontsBecomeTheDefaultUiFont) {
  TReportFonts fonts;
  fonts.Font(2).name.clear();
  fonts.Font(4).size = 0;
  fonts.Font(5).size = -3;
  EXPECT_TRUE(fonts.Validate());
  const TFontDescr arial = Font("Arial", 9);
  EXPECT_EQ(fonts.Font(2), arial);
  EXPECT_EQ(fonts.Font(4), arial);
  EXPECT_EQ(fonts.Font(5), arial);
  EXPECT_EQ(fonts.Font(1), TReportFonts().Font(1));
  EXPECT_FALSE(fonts.Validate());

  const FontInstalledCheck before = SetFontInstalledCheck([](std::string_view family) { return family == "Segoe UI"; });
  EXPECT_EQ(DefaultUiFont(), Font("Segoe UI", 9));
  SetFontInstalledCheck([](std::string_view) { return false; });
  EXPECT_EQ(DefaultUiFont(), arial);
  SetFontInstalledCheck(before);
}

TEST(ReportFonts, StyleCatalogue) {
  const TFontSet& set = ReportFontSet();
  ASSERT_EQ(set.Count(), 5u);
  const struct {
    const char* caption;
    const char* key;
    const char* extra;
    TFontDescr font;
  } kEntries[] = {
      {"Основной заголовок", "mainhdr", "", Font("Verdana", 18, 1, 0x0000FF)},
      {"Заголовок раздела", "secthdr", "", Font("Verdana", 14, 1)},
      {"Текст шапки", "text", "", Font("Verdana", 10)},
      {"Текст таблиц", "tab", "margin-left:3", Font("Verdana", 10)},
      {"Мелкий шрифт", "small", "", Font("Tahoma", 8)},
  };
  for (std::size_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(kEntries[i].key);
    EXPECT_EQ(set.Item(i + 1), (TFontSet::Entry{kEntries[i].caption, kEntries[i].key, kEntries[i].extra, kEntries[i].font}));
  }

  TFontSet full;
  for (int i = 0; i < 6; ++i) EXPECT_TRUE(full.Add("c", "a-very-long-class-name", "", Font("Arial", 9)));
  EXPECT_FALSE(full.Add("seventh", "x", "", Font("Arial", 9)));
  EXPECT_EQ(full.Count(), 6u);
  EXPECT_EQ(full.Item(6).key, "a-very-long-");
}

TEST(ReportFonts, StandardFontsTakeTheCataloguesDefaults) {
  TReportFonts expected;
  expected.Font(5).color = 0;  // the catalogue's small print is black
  EXPECT_EQ(StandardReportFonts(ReportFontSet()), expected);
  EXPECT_EQ(StandardReportFonts(TFontSet()), TReportFonts());
}

TEST(ReportFontDialogLogic, RowsAndStandardFonts) {
  test::FakePlatform fake;
  TReportFonts mine;
  mine.Font(1) = Font("Arial", 20, 0, 0x00FF00);
  mine.Font(5).color = 0x303030;
  ReportFontDialogLogic logic(mine, ReportFontSet());
  ASSERT_EQ(logic.RowCount(), 5u);
  EXPECT_EQ(logic.Purpose(1), "Основной заголовок");
  EXPECT_EQ(logic.Properties(1), "Arial 20, цвет: травяной");
  EXPECT_EQ(logic.Properties(5), "Tahoma 8, цвет: 303030");
  EXPECT_STREQ(ReportFontDialogLogic::ColumnCaption(2), " Свойства шрифта");

  // A chosen font keeps the row's colour; its name is cut to 30 characters.
  logic.SetFont(1, Font("Очень длинное имя шрифта для отчета", 11, 2, 0));
  EXPECT_EQ(logic.RowFont(1), Font("Очень длинное имя шрифта для о", 11, 2, 0x00FF00));
  logic.SetColor(1, 0xFF0000);
  EXPECT_EQ(logic.RowFont(1).color, 0xFF0000u);
  logic.SetFont(2, Font("", 10));
  EXPECT_EQ(logic.RowFont(2), mine.Font(2));

  fake.messages.answers = {false, true};
  EXPECT_FALSE(logic.SetStandardFonts());
  EXPECT_EQ(logic.RowFont(1).name, "Очень длинное имя шрифта для о");
  EXPECT_TRUE(logic.SetStandardFonts());
  ASSERT_EQ(fake.messages.shown.size(), 2u);
  EXPECT_EQ(fake.messages.shown[1].text, "Установить стандартный вид для всех шрифтов?");
  EXPECT_EQ(logic.Fonts(), StandardReportFonts(ReportFontSet()));
  EXPECT_EQ(logic.RowFont(5).color, 0u);
}

}  // namespace
}  // namespace mv
