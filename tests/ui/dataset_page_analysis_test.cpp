#include <gtest/gtest.h>

#include <QApplication>
#include <QListWidget>
#include <QRadioButton>
#include <QTableWidget>

#include "spc/spc_file.h"
#include "support/fake_platform.h"
#include "ui/chart_window.h"
#include "ui/dataset_page.h"
#include "ui/histogram_window.h"
#include "ui/parameter_choice_dialog.h"
#include "ui/sample_range_dialog.h"
#include "ui_test_app.h"

namespace mv {
namespace {

template <class W>
W* TopLevel() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (auto* found = qobject_cast<W*>(w); found && found->isVisible()) return found;
  }
  return nullptr;
}

// Checks the first parameter of the parameter choice and accepts it.
void ChooseFirstParameter(QWidget* modal) {
  auto* dialog = qobject_cast<ui::ParameterChoiceDialog*>(modal);
  ASSERT_NE(dialog, nullptr);
  dialog->findChild<QListWidget*>("parameters")->item(0)->setCheckState(Qt::Checked);
  dialog->accept();
}

TEST(DatasetPageAnalysis, OpensChartsAndHistogramsOverTheSelectedBlocks) {
  test::UiApp();
  test::FakePlatform fake;
  auto ds = LoadDatasetFile(std::string(MV_SOURCE_DIR) + "/examples/demo.mvl");
  ASSERT_TRUE(ds);
  ui::DatasetPage page(*ds);
  page.show();
  auto* blocks = page.findChild<QTableWidget*>("tblBlocks");
  ASSERT_TRUE(blocks);
  blocks->setSelectionMode(QAbstractItemView::MultiSelection);
  blocks->selectRow(0);
  blocks->selectRow(1);

  // Two rows: the blocks as they are, then the parameters; the default chart of sample blocks.
  test::WhenModal(ChooseFirstParameter);
  test::RunInEventLoop([&] { page.OpenChart(ChartKind::Mean, ChartKind::Range, true); });
  auto* chart = TopLevel<ui::ChartWindow>();
  ASSERT_NE(chart, nullptr);
  EXPECT_EQ(chart->Logic().Selection().blocks, (std::vector<int>{1, 2}));
  EXPECT_EQ(chart->Logic().Upper(), ChartKind::Mean);
  EXPECT_EQ(chart->Logic().Lower(), ChartKind::Range);
  chart->close();
  QApplication::processEvents();

  // One row: the blocks and samples are asked first.
  blocks->clearSelection();
  blocks->selectRow(1);
  test::WhenModal([](QWidget* modal) {
    auto* range = qobject_cast<ui::SampleRangeDialog*>(modal);
    ASSERT_NE(range, nullptr);
    EXPECT_EQ(range->findChild<QRadioButton*>("all")->text(), "все (25 шт.)");
    test::WhenModal(ChooseFirstParameter);
    range->accept();
  });
  test::RunInEventLoop([&] { page.OpenHistogram(); });
  auto* histogram = TopLevel<ui::HistogramWindow>();
  ASSERT_NE(histogram, nullptr);
  EXPECT_EQ(histogram->Logic().Count(), 1U);
  EXPECT_EQ(histogram->Logic().Histograms()[0].task.selection.blocks, std::vector<int>{2});
  histogram->close();
  QApplication::processEvents();
}

}  // namespace
}  // namespace mv
