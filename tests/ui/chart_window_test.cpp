#include "ui/chart_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <fstream>
#include <sstream>

#include "spc/spc_file.h"
#include "support/fake_platform.h"
#include "ui/analysis_settings.h"
#include "ui/chart_view.h"
#include "ui/print_setup.h"
#include "ui/histogram_window.h"
#include "ui/text_window.h"
#include "ui_test_app.h"

namespace mv {
namespace {

std::unique_ptr<TDatasetSPC> Demo() {
  auto ds = LoadDatasetFile(std::string(MV_SOURCE_DIR) + "/examples/demo.mvl");
  EXPECT_TRUE(ds);
  if (ds) ds->MarkSaved();
  return ds;
}

SampleSelection BothBlocks(const TDatasetSPC& ds) { return {&ds, {1, 2}, true, 1, 1}; }

class ChartWindowTest : public ::testing::Test {
 protected:
  void SetUp() override { test::UiApp(); }
  test::FakePlatform m_fake;
};

TEST_F(ChartWindowTest, OpensTheDemoSwitchesKindsAndCriteria) {
  auto ds = Demo();
  ASSERT_TRUE(ds);
  ui::ChartWindow* w = ui::ChartWindow::Open(*ds, BothBlocks(*ds), ChartKind::Mean, ChartKind::Range, {1});
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->windowTitle().toStdString(),
            "Контрольная карта средних значений и размахов (XR-chart) - " + DatasetDisplayName(*ds));
  EXPECT_EQ(w->Logic().ChartCount(), 2);
  auto* table = w->findChild<QTableView*>("parameters");
  ASSERT_TRUE(table);
  EXPECT_EQ(table->model()->rowCount(), 1);
  // Every command has a shortcut.
  for (QAction* action : w->actions()) EXPECT_FALSE(action->shortcut().isEmpty()) << action->objectName().toStdString();

  w->Command("upperM")->trigger();
  EXPECT_EQ(w->Logic().Chart(1)->code, "M");
  w->Command("lowerS")->trigger();
  EXPECT_EQ(w->Logic().Chart(2)->code, "S");
  w->Command("lowerNone")->trigger();
  EXPECT_EQ(w->Logic().ChartCount(), 1);
  w->Command("upperX")->trigger();

  TCriteriaChoice custom;
  custom.ChooseSet(kCustomCriteriaSet);
  custom.mask = CriterionBit(2);
  w->Logic().SetCriteria(custom);
  w->Refresh();
  EXPECT_NE(w->Logic().CriteriaText(1).find("из 1 проверенных"), std::string::npos);
  // Escape closes the window.
  w->show();
  w->activateWindow();
  QApplication::processEvents();
  QTest::keyClick(w->View(), Qt::Key_Escape);
  EXPECT_FALSE(w->isVisible());
}

TEST_F(ChartWindowTest, ParameterTableShowsTheLogicsColumnsAndAClickMakesARowCurrent) {
  auto ds = Demo();
  ASSERT_TRUE(ds);
  ui::ChartWindow* w = ui::ChartWindow::Open(*ds, BothBlocks(*ds), ChartKind::Mean, ChartKind::Range, {1, 2, 3});
  ASSERT_NE(w, nullptr);
  w->show();
  auto* table = w->findChild<QTableView*>("parameters");
  ASSERT_TRUE(table);
  const QAbstractItemModel& model = *table->model();
  const ParamTable& logic = w->Logic().ParameterTable();
  ASSERT_EQ(model.rowCount(), 3);
  ASSERT_EQ(model.columnCount(), static_cast<int>(logic.columns.size()));
  ASSERT_GE(model.columnCount(), 2);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "#");
  EXPECT_EQ(model.headerData(1, Qt::Horizontal).toString(), "Параметр");
  EXPECT_EQ(model.headerData(1, Qt::Horizontal, Qt::ToolTipRole).toString(), "Название параметра");
  for (int r = 0; r < 3; ++r) {
    for (int c = 0; c < model.columnCount(); ++c) {
      EXPECT_EQ(model.data(model.index(r, c)).toString().toStdString(),
                logic.rows[static_cast<std::size_t>(r)][static_cast<std::size_t>(c)]);
    }
  }
  EXPECT_EQ(model.data(model.index(2, 1)).toString().toStdString(), ds->Parameter(3)->name);
  EXPECT_TRUE(model.data(model.index(0, 1), Qt::FontRole).value<QFont>().bold());

  QApplication::processEvents();
  const QRect cell = table->visualRect(model.index(2, 1));
  QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
  QApplication::processEvents();
  EXPECT_EQ(w->Logic().Current(), 2U);
  EXPECT_TRUE(model.data(model.index(2, 0), Qt::FontRole).value<QFont>().bold());
  EXPECT_FALSE(model.data(model.index(0, 0), Qt::FontRole).value<QFont>().bold());

  // The arrow keys move the current row too.
  table->setFocus();
  QTest::keyClick(table, Qt::Key_Up);
  QApplication::processEvents();
  EXPECT_EQ(w->Logic().Current(), 1U);
  EXPECT_EQ(table->currentIndex().row(), 1);

  // Hiding a column through the logic shows in the table after the refresh.
  const int columns = model.columnCount();
  ASSERT_TRUE(w->Logic().ShowTableColumn(1, false));
  w->Refresh();
  EXPECT_EQ(model.columnCount(), columns - 1);
  EXPECT_EQ(model.headerData(0, Qt::Horizontal).toString(), "Параметр");
  w->close();
}

TEST_F(ChartWindowTest, DeactivatesAndReactivatesFromTheKeyboard) {
  auto ds = Demo();
  ASSERT_TRUE(ds);
  ui::ChartWindow* w = ui::ChartWindow::Open(*ds, BothBlocks(*ds), ChartKind::Mean, ChartKind::Range, {1});
  ASSERT_NE(w, nullptr);
  ui::ChartView* view = w->View();
  view->setFocus();
  QTest::keyClick(view, Qt::Key_Right);
  QTest::keyClick(view, Qt::Key_Right);
  EXPECT_EQ(w->Logic().Chosen().index, 2U);
  EXPECT_FALSE(w->findChild<QLabel*>("mouseText")->text().isEmpty());
  EXPECT_EQ(w->Command("activation")->text(), "Деактивировать выборку 2");
  EXPECT_FALSE(w->Command("activateAll")->isEnabled());
  w->Command("activation")->trigger();
  EXPECT_FALSE(ds->Block(1)->Sample(2)->IsActive());
  EXPECT_TRUE(ds->IsChanged());
  EXPECT_TRUE(w->Command("activateAll")->isEnabled());
  EXPECT_EQ(w->Command("activation")->text(), "Активировать выборку 2");
  w->Command("activateAll")->trigger();
  EXPECT_TRUE(ds->Block(1)->Sample(2)->IsActive());
  // Enter opens the point information, its copy command goes to the clipboard.
  QTest::keyClick(view, Qt::Key_Return);
  auto* info = w->findChild<ui::TextWindow*>("pointInformationWindow");
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->isVisible());
  EXPECT_NE(info->Text().find("Выборка: 2\r\n"), std::string::npos);
  QTest::mouseClick(info->findChild<QPushButton*>("copy"), Qt::LeftButton);
  EXPECT_EQ(m_fake.clipboard.Text(), info->Text());
  info->close();
  w->Command("copyPicture")->trigger();
  EXPECT_EQ(m_fake.clipboard.Picture().substr(1, 3), "PNG");
  w->Command("copyConclusion")->trigger();
  EXPECT_EQ(m_fake.clipboard.Text().rfind("Контрольная карта", 0), 0U);
  w->close();
}

// The mouse finds points through the layout the chart painter handed back for the last paint.
TEST_F(ChartWindowTest, TheMouseFindsThePointsWhereThePainterDrewThem) {
  auto ds = Demo();
  ASSERT_TRUE(ds);
  ui::ChartWindow* w = ui::ChartWindow::Open(*ds, BothBlocks(*ds), ChartKind::Mean, ChartKind::Range, {1});
  ASSERT_NE(w, nullptr);
  ui::ChartView* view = w->View();
  (void)view->grab();  // a paint
  for (const int chart : {1, 2}) {
    SCOPED_TRACE(chart);
    const render::ChartLayout& lay = chart == 1 ? view->Layout().upper : view->Layout().lower;
    const CDataSet& set = w->Logic().Chart(chart)->Current()->set;
    const std::uint32_t index = 7;
    const QPoint at(static_cast<int>(lay.entries.X(index)), static_cast<int>(lay.values.Y(set.Value(index))));
    const ui::ChartView::Hit hit = view->HitAt(at);
    EXPECT_EQ(hit.chart, chart);
    EXPECT_EQ(hit.index, index);
    QTest::mouseClick(view, Qt::LeftButton, {}, at);
    EXPECT_EQ(w->Logic().Chosen().chart, chart);
    EXPECT_EQ(w->Logic().Chosen().index, index);
  }
  // Far from every point of the plot: none.
  const render::ChartLayout& upper = view->Layout().upper;
  EXPECT_EQ(view->HitAt(QPoint(static_cast<int>(upper.plot.left() + 2), static_cast<int>(upper.plot.top() + 2))).index,
            0U);
  w->close();
}

TEST_F(ChartWindowTest, RefusesToDeactivateBelowTwoActivePoints) {
  TDatasetSPC ds;
  TSPCParameter d;
  d.name = "Диаметр";
  d.decimals = 2;
  ASSERT_EQ(ds.SetParameter(0, 0, d), 1);
  const int b = ds.AddBlock(0, "Блок 1", SamplingMode::Samples, 0, 0, DataKind::Var, "", "");
  for (int s = 1; s <= 2; ++s) {
    ASSERT_TRUE(ds.Block(b)->AddSample("", "", true));
    ASSERT_TRUE(ds.Block(b)->Sample(s)->AddPoints(3));
    for (int p = 1; p <= 3; ++p) ASSERT_TRUE(ds.SetValue(b, s, p, 1, 10 + 0.1 * p * s));
  }
  ds.ComputeAllStats();
  ds.MarkSaved();
  ui::ChartWindow* w = ui::ChartWindow::Open(ds, {&ds, {b}, true, 1, 1}, ChartKind::Mean, ChartKind::Range, {1});
  ASSERT_NE(w, nullptr);
  QTest::keyClick(w->View(), Qt::Key_Right);
  w->Command("activation")->trigger();
  EXPECT_EQ(m_fake.messages.Texts(),
            std::vector<std::string>{"Нельзя деактивировать точку, т.к. активных точек на карте слишком мало"});
  EXPECT_TRUE(ds.Block(b)->Sample(1)->IsActive());
  EXPECT_FALSE(ds.IsChanged());
  w->close();
}

TEST_F(ChartWindowTest, PrintsOnePageToAPdfFile) {
  auto ds = Demo();
  ASSERT_TRUE(ds);
  test::TempFolder dir;
  ui::ChartWindow* w = ui::ChartWindow::Open(*ds, BothBlocks(*ds), ChartKind::Mean, ChartKind::Range, {1});
  ASSERT_NE(w, nullptr);
  for (const bool gost : {false, true}) {
    SCOPED_TRACE(gost);
    const std::string file = dir.Path(gost ? "gost.pdf" : "chart.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file));
    printer.setPageOrientation(QPageLayout::Landscape);
    ASSERT_TRUE(w->Print(printer, {"Участок 3", "Проверил", gost}));
    std::ifstream in(file, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string pdf = bytes.str();
    EXPECT_EQ(pdf.rfind("%PDF", 0), 0U);
    std::size_t pages = 0;
    for (std::size_t at = pdf.find("/Type /Page"); at != std::string::npos; at = pdf.find("/Type /Page", at + 1)) {
      pages += pdf.compare(at, 12, "/Type /Pages") != 0 ? 1 : 0;
    }
    EXPECT_EQ(pages, 1U);
  }
  // The standard form refuses a pair it has no form for.
  w->Logic().SetLower(ChartKind::Median);
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir.Path("refused.pdf")));
  EXPECT_FALSE(w->Print(printer, {"", "", true}));
  EXPECT_EQ(m_fake.messages.Texts().back(), std::string(kGostRefusal));
  EXPECT_FALSE(std::filesystem::exists(dir.Path("refused.pdf")));
  w->close();
}

TEST_F(ChartWindowTest, SavesPicturesInTheFormatOfTheExtension) {
  auto ds = Demo();
  ASSERT_TRUE(ds);
  test::TempFolder dir;
  ui::ChartWindow* w = ui::ChartWindow::Open(*ds, BothBlocks(*ds), ChartKind::Mean, ChartKind::Range, {1});
  ASSERT_NE(w, nullptr);
  const QImage picture = w->Picture({800, 500});
  for (const char* name : {"a.png", "a.jpg", "a.jpeg", "a.bmp"}) {
    SCOPED_TRACE(name);
    const QByteArray bytes = ui::ChartWindow::Encode(picture, QString::fromUtf8(name));
    QImage read;
    ASSERT_TRUE(read.loadFromData(bytes));
    EXPECT_EQ(read.size(), QSize(800, 500));
  }
  EXPECT_TRUE(ui::ChartWindow::Encode(picture, "a.gif").isEmpty());
  EXPECT_TRUE(ui::ChartWindow::Encode(picture, "png").isEmpty());
  w->close();
}

TEST_F(ChartWindowTest, HistogramWindowAdjustsBinsAndNamesThemUnderTheMouse) {
  auto ds = Demo();
  ASSERT_TRUE(ds);
  ui::HistogramWindow* w = ui::HistogramWindow::Open(*ds, BothBlocks(*ds), {1, 2});
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->Logic().Count(), 2U);
  const int bins = w->Logic().Histograms()[0].histogram.binCount;
  w->Command("moreBins")->trigger();
  EXPECT_EQ(w->Logic().Histograms()[0].histogram.binCount, bins + 1);
  w->Command("fewerBins")->trigger();
  EXPECT_EQ(w->Logic().Histograms()[0].histogram.binCount, bins);
  w->show();
  QWidget* view = w->findChild<QWidget*>("histogramView");
  ASSERT_TRUE(view);
  QApplication::processEvents();
  QTest::mouseMove(view, QPoint(view->width() / 4, view->height() / 2));
  EXPECT_TRUE(w->findChild<QLabel*>("mouseText")->text().startsWith("Столбец "));
  w->Command("copyPicture")->trigger();
  EXPECT_FALSE(m_fake.clipboard.Picture().empty());
  test::TempFolder dir;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(dir.Path("h.pdf")));
  EXPECT_TRUE(w->Print(printer, {"Заголовок", "Подпись", false}));
  EXPECT_TRUE(std::filesystem::exists(dir.Path("h.pdf")));
  w->close();
}

TEST_F(ChartWindowTest, PageSettingsGoToThePrinterAndBack) {
  PrintOptions o;
  o.paper = PaperSize::A3;
  o.landscape = false;
  o.marginLeft = 200;
  o.marginTop = 50;
  o.marginRight = 125;
  o.marginBottom = 0;
  o.greyscale = true;
  o.copies = 2;
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  ui::ApplyPrintOptions(printer, o);
  EXPECT_EQ(printer.pageLayout().pageSize().id(), QPageSize::A3);
  PrintOptions back;
  back.contents = print_contents::kGostForm;
  ui::TakePrintOptions(printer, back);
  PrintOptions expected = o;
  expected.contents = print_contents::kGostForm;  // not the printer's to say
  EXPECT_EQ(back, expected);
}

// The windows of the README's pictures; with MV_SCREENSHOT_DIR set they are saved there.
TEST_F(ChartWindowTest, PicturesOfTheWindows) {
  auto ds = Demo();
  ASSERT_TRUE(ds);
  TChartOptions zones;
  zones.criteria.display = criteria_display::kSeriesLines | criteria_display::kZones | criteria_display::kZoneAnalysis;
  ui::ChartSettings() = zones;
  ui::ChartWindow* xr = ui::ChartWindow::Open(*ds, BothBlocks(*ds), ChartKind::Mean, ChartKind::Range, {1, 2, 3});
  ASSERT_NE(xr, nullptr);
  xr->resize(1200, 800);
  test::SaveScreenshot(*xr, "chart_xr.png");
  xr->close();

  ui::ChartWindow* xmr = ui::ChartWindow::Open(*ds, {ds.get(), {2}, true, 1, 1}, ChartKind::Individuals,
                                               ChartKind::MovingRange, {1});
  ASSERT_NE(xmr, nullptr);
  xmr->resize(1200, 800);
  test::SaveScreenshot(*xmr, "chart_xmr.png");
  xmr->close();

  // Lots inspected in unequal numbers: the p chart gives the lots far from the average size
  // limits of their own.
  TDatasetSPC lots;
  lots.processName = "Сборка узла";
  TSPCParameter defects;
  defects.kind = DataKind::Attr;
  defects.name = "Брак";
  ASSERT_EQ(lots.SetParameter(0, 0, defects), 1);
  const int b = lots.AddBlock(0, "Партии", SamplingMode::Samples, 0, 0, DataKind::Attr, "", "");
  const int sizes[] = {100, 100, 120, 100, 60, 100, 150, 100, 100, 90, 100, 100, 40, 100, 110, 100, 100, 130, 100, 100};
  const int counts[] = {4, 6, 5, 3, 2, 7, 9, 4, 5, 3, 6, 14, 1, 4, 5, 3, 6, 5, 4, 5};
  for (std::size_t i = 0; i < std::size(sizes); ++i) {
    ASSERT_TRUE(lots.Block(b)->AddSample("", "", true));
    const int s = lots.Block(b)->SampleCount();
    ASSERT_TRUE(lots.Block(b)->Sample(s)->AddPoints(1));
    ASSERT_TRUE(lots.SetValue(b, s, 1, 1, counts[i]));
    lots.Block(b)->Sample(s)->sampleSize = static_cast<std::int16_t>(sizes[i]);
  }
  lots.ComputeAllStats();
  ui::ChartWindow* p = ui::ChartWindow::Open(lots, {&lots, {b}, true, 1, 1}, ChartKind::P, std::nullopt, {1});
  ASSERT_NE(p, nullptr);
  EXPECT_TRUE(p->Logic().Chart(1)->ownLimitsUsed);
  p->resize(1200, 700);
  test::SaveScreenshot(*p, "chart_p.png");
  p->close();

  ui::HistogramWindow* h = ui::HistogramWindow::Open(*ds, BothBlocks(*ds), {1, 3});
  ASSERT_NE(h, nullptr);
  h->resize(1200, 600);
  test::SaveScreenshot(*h, "histogram.png");
  h->close();
  ui::ChartSettings() = TChartOptions{};
}

}  // namespace
}  // namespace mv
