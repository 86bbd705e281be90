// The editing windows together, as a user reaches them from the main window: a block opened
// from the dataset window, a sample added in the block window and typed by keyboard only, the
// dataset saved from the sample window with a value still in edit.

#include <gtest/gtest.h>

#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include "spc/spc_file.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"
#include "ui/dataset_window.h"
#include "ui/frm_main.h"
#include "ui/point_grid.h"
#include "ui_test_app.h"

namespace mv {
namespace {

void Type(QWidget* target, const char* text, bool enter = true) {
  QTest::keyClicks(target, QString::fromUtf8(text));
  if (enter) QTest::keyClick(target, Qt::Key_Return);
}

TEST(EditingFlow, ASampleAddedFromTheDatasetWindowIsTypedAndSavedWithTheValueInEdit) {
  test::UiApp();
  test::FakePlatform fake;
  test::TempFolder dir;
  const std::string path = dir.Path("вал.mvl");
  ASSERT_TRUE(test::WriteSampleDataset(path));
  ui::TfrmMain frmMain;
  frmMain.show();
  frmMain.OpenFiles({path});
  ui::TfrmDatasetSPC* page = frmMain.DatasetWindow(1);
  ASSERT_TRUE(page);
  QTableView* blocks = page->BlockView(DataKind::Var);
  blocks->setFocus();
  blocks->selectRow(0);

  bool sawBlock = false, sawSample = false;
  int samplesShown = 0;
  test::WhenModal([&](QWidget* blockWindow) {
    sawBlock = blockWindow->objectName() == QStringLiteral("frmBlock");
    auto* samples = blockWindow->findChild<QTableView*>(QStringLiteral("tblSamples"));
    ASSERT_TRUE(samples);
    test::WhenModal([&](QWidget* sampleWindow) {
      sawSample = true;
      auto* grid = sampleWindow->findChild<ui::PointGrid*>(QStringLiteral("grdPoints"));
      ASSERT_TRUE(grid);
      grid->setFocus();
      Type(grid, "10,02");
      Type(grid, "50,15");
      Type(grid, "10,03");
      Type(grid, "50,25", false);  // still in edit
      QTest::keyClick(grid, Qt::Key_S, Qt::ControlModifier);
      sampleWindow->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    samples->setFocus();
    QTest::keyClick(samples, Qt::Key_Insert);
    samplesShown = samples->model()->rowCount();
    QTest::keyClick(blockWindow, Qt::Key_Escape);
  });
  QTest::keyClick(blocks, Qt::Key_Return);
  EXPECT_TRUE(sawBlock);
  EXPECT_TRUE(sawSample);
  EXPECT_EQ(samplesShown, 4);
  EXPECT_TRUE(fake.messages.Texts().empty()) << fake.messages.Texts().front();

  // What Ctrl+S wrote holds both points, the value that was in edit too.
  auto saved = LoadDatasetFile(path);
  ASSERT_TRUE(saved);
  const TSPCBlock& block = *saved->Block(saved->BlockList(DataKind::Var).front());
  ASSERT_EQ(block.SampleCount(), 4);
  const TSPCSample& sample = *block.Sample(4);
  ASSERT_EQ(sample.PointCount(), 2);
  EXPECT_DOUBLE_EQ(sample.Point(1)->Value(1), 10.02);
  EXPECT_DOUBLE_EQ(sample.Point(1)->Value(3), 50.15);
  EXPECT_DOUBLE_EQ(sample.Point(2)->Value(1), 10.03);
  EXPECT_DOUBLE_EQ(sample.Point(2)->Value(3), 50.25);
  frmMain.Shell().Datasets().At(0)->MarkSaved();
}

}  // namespace
}  // namespace mv
