#include "ui/histogram_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

#include "spc/spc_file.h"
#include "support/fake_platform.h"
#include "ui_test_app.h"

namespace mv {
namespace {

class HistogramWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UiApp();
    m_ds = LoadDatasetFile(std::string(MV_SOURCE_DIR) + "/examples/demo.mvl");
    ASSERT_TRUE(m_ds);
  }
  test::FakePlatform m_fake;
  std::unique_ptr<TDatasetSPC> m_ds;
};

// The mouse texts come from the painter's own mapping: over the middle of a drawn bar the
// status names that bar, over a value of the strip that value.
TEST_F(HistogramWindowTest, MouseTextsFollowThePaintersLayout) {
  ui::HistogramWindow* w = ui::HistogramWindow::Open(*m_ds, {m_ds.get(), {1, 2}, true, 1, 1}, {1, 3});
  ASSERT_NE(w, nullptr);
  w->resize(1000, 600);
  w->show();
  QWidget* view = w->findChild<QWidget*>("histogramView");
  ASSERT_TRUE(view);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
  QApplication::processEvents();
  const render::HistogramsLayout& layout = w->ScreenLayout();
  ASSERT_EQ(layout.histograms.size(), 2U);
  auto* status = w->findChild<QLabel*>("mouseText");
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const THistogram& g = w->Logic().Histograms()[i].histogram;
    const render::HistogramLayout& l = layout.histograms[i];
    ASSERT_TRUE(l.drawn);
    for (const int bin : {1, g.binCount}) {
      const auto bar = HistogramBar(g, l.axis, bin);
      ASSERT_TRUE(bar);
      QTest::mouseMove(view, QPoint(static_cast<int>((bar->left + bar->right) / 2), static_cast<int>(bar->bottom) - 2));
      EXPECT_EQ(status->text().toStdString(), w->Logic().BinText(i, bin));
    }
    ASSERT_FALSE(l.spectrum.isEmpty());
    const std::size_t last = g.uniqueValues.size() - 1;
    QTest::mouseMove(view, QPoint(static_cast<int>(std::lround(l.axis.X(g.uniqueValues[last].value))),
                                  static_cast<int>(l.spectrum.center().y())));
    EXPECT_EQ(status->text().toStdString(), w->Logic().ValueText(i, last));
    EXPECT_EQ(status->text().left(10), " Значение ");
  }
  QTest::mouseMove(view, QPoint(2, 2));  // the corner: nothing
  EXPECT_TRUE(status->text().isEmpty());
  w->close();
}

}  // namespace
}  // namespace mv
