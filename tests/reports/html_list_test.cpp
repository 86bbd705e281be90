#include "reports/html_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/cp1251.h"
#include "core/file_error.h"
#include "core/file_routines.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

std::string Repeat(std::string_view piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

TEST(HtmlText, EscapesCharacterByCharacter) {
  const struct {
    const char* name;
    std::string in;
    bool nbsp;
    std::string out;
  } kCases[] = {
      {"two blanks", "a  b", true, "a &nbsp;b"},
      {"leading blank", " x", true, "&nbsp;x"},
      {"a run of blanks", "a    b", true, "a &nbsp;&nbsp;&nbsp;b"},
      {"CR LF LF", "\r\n\n", true, "<br><br>"},
      {"LF CR", "\n\r", true, "<br><br>"},
      {"CR CR LF", "a\r\r\nb", true, "a<br><br>b"},
      {"blank after a line break", "a\r\n b", true, "a<br> b"},
      {"markup and quotes", "№<&>'\"", true, "&#8470;&lt;&amp;&gt;'&quot;"},
      {"empty, flag set", "", true, "&nbsp;"},
      {"empty, flag clear", "", false, ""},
      {"blank, flag clear", " ", false, "&nbsp;"},
      {"TAB is a blank", "a\t\tb\t", true, "a &nbsp;b "},
      {"TAB after a blank", " \t", true, "&nbsp;&nbsp;"},
      {"control characters dropped", "a\x01\x1B\x7F" "b", true, "ab"},
      {"a dropped character is not the previous one", "a \x07 b", true, "a &nbsp;b"},
      {"C1 controls dropped", "a\xC2\x98\xC2\x85" "b", true, "ab"},
      {"only control characters", "\x01\x02", true, ""},
      {"Cyrillic as it is", "Ёж Ъ", true, "Ёж Ъ"},
      {"Windows-1251 punctuation", "«—»…€", true, "«—»…€"},
      {"Greek outside Windows-1251", "Ωμ", true, "&#937;&#956;"},
      {"emoji", "x\xF0\x9F\x98\x80", true, "x&#128512;"},
      {"lone continuation byte", "a\x80" "b", true, "a&#65533;b"},
      {"cut sequence", "a\xD0", true, "a&#65533;"},
      {"cut three-byte sequence", "\xE2\x84" "x", true, "&#65533;&#65533;x"},
      {"overlong slash", "\xC0\xAF", true, "&#65533;&#65533;"},
      {"encoded surrogate", "\xED\xA0\x80", true, "&#65533;&#65533;&#65533;"},
      {"bad byte then blank", "\xFF ", true, "&#65533; "},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(HtmlText(c.in, c.nbsp), c.out);
  }
}

// Texts a data file or the keyboard may bring, escaped and saved: exact outputs, and the saved
// bytes are Windows-1251 that read back as the escaped text, with no unassigned byte and no
// character lost on the way.
TEST(HtmlText, HostileTextsReachTheFileWhole) {
  const struct {
    const char* name;
    std::string in;
    std::string out;
  } kCases[] = {
      {"markup", "<script>alert('x')</script>", "&lt;script&gt;alert('x')&lt;/script&gt;"},
      {"attribute break-out", "\" onload=\"x", "&quot; onload=&quot;x"},
      {"entity", "&amp; &#937;", "&amp;amp; &amp;#937;"},
      {"CR/LF mixture", "1\r2\n3\r\n4\n\r5\r\n\n6", "1<br>2<br>3<br>4<br><br>5<br><br>6"},
      {"control characters", std::string("\x00\x01N\x08\x0B\x0C\x1F\x7F", 8), "N"},
      {"lone continuation byte", "\xBF", "&#65533;"},
      {"cut sequence", "Отк\xD0", "Отк&#65533;"},
      {"overlong form", "\xE0\x80\xAF", "&#65533;&#65533;&#65533;"},
      {"encoded surrogate", "\xED\xBF\xBF", "&#65533;&#65533;&#65533;"},
      {"old single bytes", "\xCE\xF2\xEA", "&#65533;&#65533;&#65533;"},
      {"unassigned byte's character", "\xC2\x98", ""},
      {"Greek", "σ = 0,5 мм", "&#963; = 0,5 мм"},
      {"emoji", "\xF0\x9F\x8E\x89!", "&#127881;!"},
      {"100,000 characters", Repeat("Я  Ω\t", 20000), Repeat("Я &nbsp;&#937; ", 20000)},
  };
  test::FakePlatform fake;
  test::TempFolder dir;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string escaped = HtmlText(c.in, false);
    EXPECT_TRUE(escaped == c.out) << escaped.substr(0, 200);
    THTMLList list;
    list.AddCell("", escaped);
    const std::string path = dir.Path("page.htm");
    ASSERT_TRUE(list.SaveToFile(path));
    const std::string bytes = test::ReadFileBytes(path);
    EXPECT_EQ(bytes.find('\x98'), std::string::npos);
    EXPECT_EQ(bytes.find('?'), std::string::npos);
    EXPECT_TRUE(Cp1251ToUtf8(bytes) == list.Text());
  }
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(HtmlElements, BuildOneElement) {
  const struct {
    const char* name;
    std::string got;
    std::string want;
  } kCases[] = {
      {"element", HtmlElement("h1", "align=\"center\" class=\"mainhdr\"", "A&amp;B"),
       "<h1 align=\"center\" class=\"mainhdr\">A&amp;B</h1>"},
      {"element without attributes", HtmlElement("td", "", "<b>x</b>"), "<td><b>x</b></td>"},
      {"link", HtmlLink("rep.htm#top", "<b>далее</b>"), "<a href=\"rep.htm#top\"><b>далее</b></a>"},
      {"link with a quote and an ampersand", HtmlLink("a\"b&c.htm", "x"),
       "<a href=\"a&quot;b&amp;c.htm\">x</a>"},
      {"image", HtmlImage("img1.jpg"), "<img border=\"0\" src=\"img1.jpg\">"},
      {"image with sizes and margin", HtmlImage("a.jpg", "100%", "20", "4px"),
       "<img border=\"0\" src=\"a.jpg\" width=\"100%\" height=\"20\" style=\"margin:4px\">"},
      {"image with the height only", HtmlImage("a.jpg", "", "20"), "<img border=\"0\" src=\"a.jpg\" height=\"20\">"},
      {"image source with a quote", HtmlImage("my \"best\" & co/x.jpg"),
       "<img border=\"0\" src=\"my &quot;best&quot; &amp; co/x.jpg\">"},
      {"image in pixels", HtmlImagePx("h.jpg", 640, 480),
       "<img border=\"0\" src=\"h.jpg\" width=\"640px\" height=\"480px\">"},
      {"image in pixels, no width", HtmlImagePx("h.jpg", 0, 480), "<img border=\"0\" src=\"h.jpg\" height=\"480px\">"},
      {"image in pixels, no sizes", HtmlImagePx("h.jpg", 0, 0), "<img border=\"0\" src=\"h.jpg\">"},
      {"bold", HtmlBold("Cp"), "<b>Cp</b>"},
      {"not bold", HtmlBold("Cp", false), "Cp"},
      {"overline", HtmlOverline("X"), "<span style=\"text-decoration: overline\">X</span>"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.got, c.want);
  }
}

TEST(THTMLList, BeginDocumentWritesTheHead) {
  THTMLList list;
  list.BeginDocument("Отчет & <1>", false);
  const std::vector<std::string> head = {
      "<!DOCTYPE html>",
      "<html>",
      "<head>",
      "<meta charset=\"windows-1251\">",
      "<meta name=\"GENERATOR\" content=\"Morvalen 3.2.50.133\">",
      "<title>Отчет &amp; &lt;1&gt;</title>",
  };
  EXPECT_EQ(list.Lines(), head);

  THTMLList closed;
  closed.BeginDocument("", true);
  std::vector<std::string> withBody = head;
  withBody.back() = "<title></title>";
  withBody.push_back("</head>");
  withBody.push_back("<body>");
  EXPECT_EQ(closed.Lines(), withBody);
}

TEST(THTMLList, CellsAndLines) {
  const struct {
    const char* name;
    void (*add)(THTMLList&);
    std::string line;
  } kCases[] = {
      {"blank attributes and content", [](THTMLList& l) { l.AddCell("  ", "  "); }, "    <td>&nbsp;</td>"},
      {"content not trimmed", [](THTMLList& l) { l.AddCell("", " x "); }, "    <td> x </td>"},
      {"attributes trimmed", [](THTMLList& l) { l.AddCell("\t width=\"10%\" \r\n", "1"); },
       "    <td width=\"10%\">1</td>"},
      {"content of control characters", [](THTMLList& l) { l.AddCell("", "\r\n\t"); }, "    <td>&nbsp;</td>"},
      {"empty content", [](THTMLList& l) { l.AddCell("", ""); }, "    <td>&nbsp;</td>"},
      {"raw content", [](THTMLList& l) { l.AddCell("", "<b>a&amp;b</b>"); }, "    <td><b>a&amp;b</b></td>"},
      {"bold centred cell", [](THTMLList& l) { l.AddBoldCenteredCell("a&b", ""); },
       "    <td align=\"center\"><b>a&amp;b</b></td>"},
      {"bold centred cell with attributes", [](THTMLList& l) { l.AddBoldCenteredCell("", "colspan=\"2\""); },
       "    <td align=\"center\" colspan=\"2\"><b>&nbsp;</b></td>"},
      {"bold cell", [](THTMLList& l) { l.AddBoldCell("width=\"30%\"", "Ед. изм.  <мм>"); },
       "    <td width=\"30%\"><b>Ед. изм. &nbsp;&lt;мм&gt;</b></td>"},
      {"centred cell", [](THTMLList& l) { l.AddCenteredCell("1.33", "bgcolor=\"#FF0000\""); },
       "    <td align=\"center\" bgcolor=\"#FF0000\">1.33</td>"},
      {"centred cell, no extra", [](THTMLList& l) { l.AddCenteredCell("", ""); }, "    <td align=\"center\">&nbsp;</td>"},
      {"line trimmed at the end only", [](THTMLList& l) { l.AddLine("  <tr> \t\r\n"); }, "  <tr>"},
      {"line of a multibyte character", [](THTMLList& l) { l.AddLine("Р \x01"); }, "Р"},
      {"line with a no-break blank kept", [](THTMLList& l) { l.AddLine("x\xC2\xA0"); }, "x\xC2\xA0"},
      {"empty line", [](THTMLList& l) { l.AddLine(""); }, ""},
      {"style sheet lines kept whole", [](THTMLList& l) { l.AddLine("<style>\r\n</style>\r\n"); },
       "<style>\r\n</style>"},
      {"element", [](THTMLList& l) { l.AddElement("h2", "class=\"secthdr\"", "Итоги"); },
       "<h2 class=\"secthdr\">Итоги</h2>"},
      {"paragraph", [](THTMLList& l) { l.AddParagraph("class=\"small\"", "x"); }, "<p class=\"small\">x</p>"},
      {"paragraph without attributes", [](THTMLList& l) { l.AddParagraph("", "x"); }, "<p>x</p>"},
      {"centred paragraph", [](THTMLList& l) { l.AddCenteredParagraph("x"); }, "<p align=\"center\">x</p>"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    THTMLList list;
    c.add(list);
    ASSERT_EQ(list.Count(), 1u);
    EXPECT_EQ(list.Lines()[0], c.line);
  }
  THTMLList tail;
  tail.EndHead();
  tail.EndDocument();
  EXPECT_EQ(tail.Lines(), (std::vector<std::string>{"</head>", "<body>", "</body>", "</html>"}));
}

TEST(THTMLList, SavesWindows1251WithCrLf) {
  test::FakePlatform fake;
  test::TempFolder dir;
  THTMLList list;
  list.AddLine("Отчет");
  list.AddLine("");
  const std::string path = dir.Path("r.htm");
  test::WriteFileBytes(path, "older and longer content");
  ASSERT_TRUE(list.SaveToFile(path));
  EXPECT_EQ(test::ToHex(test::ReadFileBytes(path)), "CE F2 F7 E5 F2 0D 0A 0D 0A");

  // Raw content has no numeric references: what Windows-1251 cannot hold is '?', the
  // unassigned byte included, and so is a byte that is not UTF-8.
  THTMLList raw;
  raw.AddCell("", "Ω\xC2\x98\xFF");
  EXPECT_EQ(raw.Bytes(), "    <td>" "???" "</td>\r\n");
  EXPECT_TRUE(fake.messages.shown.empty());
}

TEST(THTMLList, FailedSaveIsShownAndKeepsTheLines) {
  test::FakePlatform fake;
  test::TempFolder dir;
  THTMLList list;
  list.AddLine("Отчет");
  const std::string path = dir.Path("нет такой папки/r.htm");
  int code = 0;
  ASSERT_FALSE(WriteFileAtomically(path, "x", code));

  EXPECT_FALSE(list.SaveToFile(path));
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  const platform::TMsgWinParams& shown = fake.messages.shown[0];
  EXPECT_EQ(shown.kind, platform::MsgKind::Error);
  EXPECT_EQ(shown.text, "Сбой при записи в файл\r\n" + path + "\r\n\r\n(" + FileErrorText(code) + ")");
  EXPECT_EQ(shown.sourceTag, "SaveStringsToFile");
  EXPECT_EQ(list.Lines(), std::vector<std::string>{"Отчет"});
  ASSERT_EQ(fake.log.lines.size(), 1u);
  EXPECT_NE(fake.log.lines[0].find("[SaveStringsToFile]"), std::string::npos);
}

}  // namespace
}  // namespace mv
