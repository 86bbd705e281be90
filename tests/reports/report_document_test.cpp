#include "reports/report_document.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "core/file_error.h"
#include "support/bytes.h"

namespace mv {
namespace {

TEST(ReportDocument, TheCharsetIsTheOneTheHeadDeclares) {
  const std::string far(kCharsetSniffBytes, ' ');
  const struct {
    std::string bytes;
    ReportCharset expected;
  } kCases[] = {
      {"<html><head><meta charset=\"windows-1251\"><title>x</title>", ReportCharset::Cp1251},
      {"<head><meta charset=\"utf-8\">", ReportCharset::Utf8},
      {"<HEAD><META CHARSET=UTF-8>", ReportCharset::Utf8},
      {"<meta charset = 'utf8' >", ReportCharset::Utf8},
      {"<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">", ReportCharset::Utf8},
      {"<meta name=\"GENERATOR\" content=\"x\"><meta charset=\"utf-8\">", ReportCharset::Utf8},
      // Any other charset, and none at all, is read as the program's own.
      {"<meta charset=\"koi8-r\">", ReportCharset::Cp1251},
      {"<html><body>\xCE\xF2\xF7\xE5\xF2</body></html>", ReportCharset::Cp1251},
      {"<meta charset=>", ReportCharset::Cp1251},
      {"<meta charset=\"utf-8", ReportCharset::Utf8},  // cut short: what is there counts
      {"<meta", ReportCharset::Cp1251},
      {"\xEF\xBB\xBF<html>", ReportCharset::Utf8},
      // Only the head is looked at.
      {far + "<meta charset=\"utf-8\">", ReportCharset::Cp1251},
      {"", ReportCharset::Cp1251},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.bytes.substr(0, 80));
    EXPECT_EQ(SniffReportCharset(c.bytes), c.expected);
  }
}

TEST(ReportDocument, DecodingFollowsTheCharsetAndAlwaysGivesValidText) {
  const struct {
    std::string bytes;
    std::string expected;
  } kCases[] = {
      {"<meta charset=\"windows-1251\">\xCE\xF2\xF7\xE5\xF2 \xB9", "<meta charset=\"windows-1251\">Отчет №"},
      {"<meta charset=\"utf-8\">Отчет", "<meta charset=\"utf-8\">Отчет"},
      // A stray byte, a cut sequence, an overlong form, an encoded surrogate: one U+FFFD a byte.
      {"<meta charset=utf-8>a\x80" "b", "<meta charset=utf-8>a\uFFFDb"},
      {"<meta charset=utf-8>\xD0", "<meta charset=utf-8>\uFFFD"},
      {"<meta charset=utf-8>\xC0\xAF", "<meta charset=utf-8>\uFFFD\uFFFD"},
      {"<meta charset=utf-8>\xED\xA0\x80", "<meta charset=utf-8>\uFFFD\uFFFD\uFFFD"},
      {"\xEF\xBB\xBFЯ", "Я"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.expected);
    EXPECT_EQ(DecodeReport(c.bytes), c.expected);
  }
}

// The toolkit skips a style sheet wrapped in comment markers: they go, inside style elements
// only, and the rest of the sheet (the open brace of the print rule included) stays.
TEST(ReportDocument, StyleCommentMarkersAreTakenOutOfStyleElementsOnly) {
  const std::string sheet =
      "<style>\r\n<!--\r\n.mainhdr { font-size:18pt; color:#FF0000 }\r\n"
      "@media print { .pagebreak {page-break-before: always; }\r\n-->\r\n</style>";
  const std::string bare =
      "<style>\r\n\r\n.mainhdr { font-size:18pt; color:#FF0000 }\r\n"
      "@media print { .pagebreak {page-break-before: always; }\r\n\r\n</style>";
  const struct {
    std::string html;
    std::string expected;
  } kCases[] = {
      {"<head>" + sheet + "</head><body><!-- kept --></body>", "<head>" + bare + "</head><body><!-- kept --></body>"},
      {"<STYLE type=\"text/css\"><!-- a {} --></STYLE>", "<STYLE type=\"text/css\"> a {} </STYLE>"},
      {"<style><!--a--></style><p>--></p><style>-->b</style>", "<style>a</style><p>--></p><style>b</style>"},
      {"<style><!-- never closed", "<style> never closed"},
      {"<style", "<style"},
      {"no style <!-- x -->", "no style <!-- x -->"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.html);
    EXPECT_EQ(RemoveStyleCommentMarkers(c.html), c.expected);
  }
}

TEST(ReportDocument, ReadingRefusesWhatCannotBeAReport) {
  test::TempFolder dir;
  test::WriteFileBytes(dir.Path("rep.htm"), "<meta charset=\"windows-1251\"><style><!--x--></style>\xCE\xF2");
  ReportDocument document;
  int code = 0;
  ASSERT_TRUE(ReadReportDocument(dir.Path("rep.htm"), document, code));
  EXPECT_EQ(document.html, "<meta charset=\"windows-1251\"><style>x</style>От");
  EXPECT_EQ(document.bytes, 54u);
  EXPECT_EQ(document.charset, ReportCharset::Cp1251);

  EXPECT_FALSE(ReadReportDocument(dir.Path("missing.htm"), document, code));
  EXPECT_EQ(code, 2);
  EXPECT_FALSE(ReadReportDocument(dir.path(), document, code));
  EXPECT_EQ(code, 5);
  // One byte over the limit (a sparse file: nothing is written).
  std::filesystem::resize_file(dir.Path("rep.htm"), kMaxReportBytes + 1);
  EXPECT_FALSE(ReadReportDocument(dir.Path("rep.htm"), document, code));
  EXPECT_EQ(code, kOutOfMemoryCode);
}

}  // namespace
}  // namespace mv
