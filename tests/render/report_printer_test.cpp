// The report printer on the fixture report: the PDF holds the Cyrillic text, the red heading
// and the picture found beside the document, in a folder whose name holds a blank, "#" and "%".

#include <QGuiApplication>
#include <QImage>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>

#include "reports/report_document.h"
#include "render/report_printer.h"
#include "support/bytes.h"

namespace mv::render {
namespace {

namespace fs = std::filesystem;

void EnsureQtForReports() {
  static int argc = 1;
  static char name[] = "render_tests";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance() == nullptr) static const auto app = std::make_unique<QGuiApplication>(argc, argv);
}

bool Have(const char* tool) { return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0; }

// The fixture report with its picture (blue) in a folder of an awkward name.
std::string PlaceFixture(const test::TempFolder& dir) {
  const std::string folder = dir.Path("Отчеты #1 %20 x");
  fs::create_directories(folder);
  fs::copy_file(std::string(MV_SOURCE_DIR) + "/tests/ui/data/report_fixture.htm", folder + "/rep_spc_1.htm");
  QImage picture(240, 160, QImage::Format_RGB32);
  picture.fill(QColor(0, 0, 255));
  EXPECT_TRUE(picture.save(QString::fromStdString(folder + "/img1_hist.png")));
  return folder + "/rep_spc_1.htm";
}

struct Pixels {
  int red = 0;
  int blue = 0;
};
Pixels CountColours(const QImage& image) {
  Pixels p;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 80 && c.blue() < 80) ++p.red;
      if (c.blue() > 200 && c.red() < 80 && c.green() < 80) ++p.blue;
    }
  }
  return p;
}

TEST(ReportPrinter, ThePdfHoldsTheTextTheHeadingAndThePicture) {
  EnsureQtForReports();
  test::TempFolder dir;
  const std::string document = PlaceFixture(dir);
  ReportDocument report;
  int code = 0;
  ASSERT_TRUE(ReadReportDocument(document, report, code));
  const std::string pdf = dir.Path("out.pdf");
  test::WriteFileBytes(pdf, "old");
  PdfFacts facts;
  std::string error;
  ASSERT_TRUE(WriteReportPdf(QString::fromStdString(report.html), document, pdf, {}, facts, error)) << error;
  EXPECT_EQ(facts.pages, 2);  // the page break starts the second page
  EXPECT_EQ(facts.bytes, fs::file_size(pdf));
  EXPECT_EQ(test::ReadFileBytes(pdf).substr(0, 5), "%PDF-");
  // Nothing left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);

  if (!Have("pdftotext") || !Have("pdftoppm")) GTEST_SKIP() << "poppler-utils are not installed";
  const std::string text = dir.Path("out.txt");
  ASSERT_EQ(std::system(("pdftotext -layout '" + pdf + "' '" + text + "'").c_str()), 0);
  const std::string words = test::ReadFileBytes(text);
  for (const char* expected : {"Отчет по процессу & <1>", "Токарная обработка вала № 7", "Вторая страница отчета"}) {
    EXPECT_NE(words.find(expected), std::string::npos) << expected << "\n" << words;
  }
  ASSERT_EQ(std::system(("pdftoppm -r 40 -f 1 -l 1 -png '" + pdf + "' '" + dir.Path("page") + "'").c_str()), 0);
  const QImage page(QString::fromStdString(dir.Path("page-1.png")));
  ASSERT_FALSE(page.isNull());
  // A4 portrait at 40 dpi.
  EXPECT_NEAR(page.width(), 331, 2);
  const Pixels pixels = CountColours(page);
  EXPECT_GT(pixels.red, 50);    // the heading's letters
  EXPECT_GT(pixels.blue, 1000);  // the picture: 240x160 screen pixels are about 100x66 here
}

TEST(ReportPrinter, PagesFollowTheChosenSizeAndAFailedWriteLeavesNoFile) {
  EnsureQtForReports();
  test::TempFolder dir;
  const QString html = QStringLiteral("<p>Страница</p>");
  const struct {
    PdfPage page;
    double widthMm, heightMm;
  } kCases[] = {{{false, false}, 210, 297}, {{true, false}, 215.9, 279.4}, {{false, true}, 297, 210}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.widthMm);
    PdfFacts facts;
    std::string error;
    const std::string pdf = dir.Path("p.pdf");
    ASSERT_TRUE(WriteReportPdf(html, dir.Path("x.htm"), pdf, c.page, facts, error)) << error;
    EXPECT_EQ(facts.pages, 1);
    // The MediaBox in points.
    const std::string bytes = test::ReadFileBytes(pdf);
    const std::size_t box = bytes.find("/MediaBox [0 0 ");
    ASSERT_NE(box, std::string::npos);
    double w = 0, h = 0;
    ASSERT_EQ(std::sscanf(bytes.c_str() + box + 15, "%lf %lf", &w, &h), 2);
    EXPECT_NEAR(w, c.widthMm / 25.4 * 72, 1.0);
    EXPECT_NEAR(h, c.heightMm / 25.4 * 72, 1.0);
  }
  PdfFacts facts;
  std::string error;
  EXPECT_FALSE(WriteReportPdf(html, dir.Path("x.htm"), dir.Path("missing/p.pdf"), {}, facts, error));
  EXPECT_EQ(error, "cannot write " + dir.Path("missing/p.pdf") + ": каталог не найден (#3)");
  EXPECT_FALSE(fs::exists(dir.Path("missing")));
}

}  // namespace
}  // namespace mv::render
