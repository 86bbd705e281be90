// The painters drawn into small images, checked at places computed from the painter's own
// mapping (the layout it hands back), and the pictures written and read back.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "analysis/chart_kinds.h"
#include "render/chart_painter.h"
#include "render/picture.h"

namespace mv::render {
namespace {

void EnsureQt() {
  static int argc = 1;
  static char name[] = "render_tests";
  static char* argv[] = {name, nullptr};
  // The suite's other files may have made it already.
  if (QGuiApplication::instance() == nullptr) static const auto app = std::make_unique<QGuiApplication>(argc, argv);
}

// An individuals chart of n values by `value`, with CL at the mean and limits at ±3.
TChart IndividualsChart(std::uint32_t n, double (*value)(std::uint32_t)) {
  TChart chart;
  chart.kind = ChartKind::Individuals;
  chart.title = "x";
  chart.code = "x";
  chart.decimals = 2;
  chart.series.resize(1);
  CDataSet& set = chart.series[0].set;
  EXPECT_TRUE(set.Allocate(n));
  chart.data.points.resize(n);
  for (std::uint32_t i = 1; i <= n; ++i) {
    set.AddPoint(i, 1, 1, static_cast<std::uint16_t>(i % 60000), true, true, value(i));
  }
  set.ComputeStatistics();
  set.hasUcl = set.hasLcl = true;
  set.ucl = set.mean + 3;
  set.lcl = set.mean - 3;
  chart.limitMode = LimitMode::Control;
  chart.hasUcl = chart.hasLcl = chart.limitsShown = chart.centralLineShown = true;
  chart.upperCode = "UCL";
  chart.lowerCode = "LCL";
  const AxisSpan axis = ChartAxis(std::min(set.min, set.lcl), std::max(set.max, set.ucl), false);
  chart.axisMin = axis.min;
  chart.axisMax = axis.max;
  return chart;
}

QImage Paint(const TChart& chart, int w, int h, ChartLayout& layout, const ChartPaintOptions& options = {}) {
  EnsureQt();
  QImage image = BlankPicture(w, h);
  QPainter painter(&image);
  PaintChart(painter, QRectF(0, 0, w, h), chart, options, &layout);
  return image;
}

QColor At(const QImage& image, double x, double y) {
  return image.pixelColor(static_cast<int>(x), static_cast<int>(y));
}

// A pixel of `colour` (each channel within `tolerance`: edges are smoothed) within `d` pixels
// of (x, y).
bool Near(const QImage& image, double x, double y, const QColor& colour, int d = 1, int tolerance = 0) {
  for (int dx = -d; dx <= d; ++dx) {
    for (int dy = -d; dy <= d; ++dy) {
      const QColor c = image.pixelColor(static_cast<int>(x) + dx, static_cast<int>(y) + dy);
      if (std::abs(c.red() - colour.red()) <= tolerance && std::abs(c.green() - colour.green()) <= tolerance &&
          std::abs(c.blue() - colour.blue()) <= tolerance) {
        return true;
      }
    }
  }
  return false;
}

TEST(ChartPainter, ABeyondPointKeepsItsMarkInA200000PointSeriesDrawn1600PixelsWide) {
  TChart chart = IndividualsChart(200000, [](std::uint32_t i) { return static_cast<double>(i % 5); });
  CDataSet& set = chart.series[0].set;
  const std::uint32_t beyond = 123457;
  set.MutablePoint(beyond)->value = set.ucl + 1;
  set.SetFlag(beyond, dsp_flag::kBeyond, true);
  chart.axisMax = set.ucl + 2;
  ChartLayout layout;
  const QImage image = Paint(chart, 1600, 500, layout);
  const Palette pal = PaletteOf({});
  EXPECT_EQ(At(image, layout.entries.X(beyond), layout.values.Y(set.ucl + 1)), pal.beyond);
  EXPECT_EQ(layout.PointAt(chart, QPointF(layout.entries.X(beyond), layout.values.Y(set.ucl + 1)), 1), beyond);
}

TEST(ChartPainter, CentralLineAndLimitsLieOnTheirRows) {
  // Values 0 and 6 in turn: the series crosses CL (3) only between points.
  const TChart chart = IndividualsChart(10, [](std::uint32_t i) { return i % 2 == 0 ? 6.0 : 0.0; });
  const CDataSet& set = chart.series[0].set;
  ChartLayout layout;
  const QImage image = Paint(chart, 600, 400, layout);
  const Palette pal = PaletteOf({});
  const double x = layout.entries.X(1);
  EXPECT_TRUE(Near(image, x, layout.values.Y(set.mean), pal.centralLine));
  // The limits are dashed: look along a few pixels of the row.
  bool upper = false;
  for (int dx = 0; dx < 12; ++dx) upper = upper || Near(image, layout.plot.left() + 2 + dx, layout.values.Y(set.ucl), pal.limits);
  EXPECT_TRUE(upper);
}

TEST(ChartPainter, ExcludedAndFilteredEntriesHaveMarksOfTheirOwn) {
  TChart chart = IndividualsChart(9, [](std::uint32_t) { return 2.0; });
  CDataSet& set = chart.series[0].set;
  set.SetFlag(3, dsp_flag::kActive, false);
  chart.data.points[2].flags = chart_point_flag::kExcluded;
  set.SetFlag(6, dsp_flag::kActive, false);
  chart.data.points[5].flags = chart_point_flag::kFiltered;
  set.ComputeStatistics();
  ChartLayout layout;
  const QImage image = Paint(chart, 600, 300, layout);
  const Palette pal = PaletteOf({});
  const double y = layout.values.Y(2);
  // Analysed: a filled dot of the series colour; excluded: a cross of its own colour through
  // the centre; filtered: a hollow triangle of its colour, the centre left open.
  EXPECT_EQ(At(image, layout.entries.X(5), y), pal.series);
  EXPECT_TRUE(Near(image, layout.entries.X(3), y, pal.excluded));
  EXPECT_FALSE(Near(image, layout.entries.X(3), y, pal.series, 0));
  EXPECT_TRUE(Near(image, layout.entries.X(6), y + 4, pal.filtered, 2, 40));
  EXPECT_FALSE(Near(image, layout.entries.X(6), y, pal.filtered, 0, 40));
}

TEST(ChartPainter, AnAllZeroCChartDrawsItsCentralLine) {
  TChart chart = IndividualsChart(20, [](std::uint32_t) { return 0.0; });
  chart.kind = ChartKind::C;
  CDataSet& set = chart.series[0].set;
  set.hasUcl = set.hasLcl = false;
  chart.hasUcl = chart.hasLcl = chart.limitsShown = false;
  const AxisSpan axis = ChartAxis(0, 0, false);
  chart.axisMin = axis.min;
  chart.axisMax = axis.max;
  ChartLayout layout;
  const QImage image = Paint(chart, 400, 300, layout);
  EXPECT_TRUE(std::isfinite(layout.values.Y(0)));
  EXPECT_TRUE(Near(image, layout.plot.left() + 3, layout.values.Y(0) - 1, PaletteOf({}).centralLine, 2));
}

class Pictures : public ::testing::Test {
 protected:
  void SetUp() override {
    EnsureQt();
    m_dir = std::filesystem::temp_directory_path() / ("mv_render_" + std::to_string(::getpid()));
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::permissions(m_dir / "old.png", std::filesystem::perms::owner_all, ec);
    std::filesystem::remove_all(m_dir, ec);
  }
  std::filesystem::path m_dir;
};

TEST_F(Pictures, TheThreeFormatsReadBackAtTheAskedSize) {
  for (const char* name : {"a.png", "b.JPG", "c.jpeg", "d.bmp"}) {
    SCOPED_TRACE(name);
    QImage image = BlankPicture(123, 45);
    image.setPixelColor(5, 5, Qt::red);
    std::string error;
    const std::string path = (m_dir / name).string();
    ASSERT_TRUE(SavePicture(image, path, error)) << error;
    const QImage back(QString::fromStdString(path));
    EXPECT_EQ(back.size(), QSize(123, 45));
  }
}

TEST_F(Pictures, AFailedWriteLeavesThePreviousFile) {
  const std::filesystem::path old = m_dir / "old.png";
  std::ofstream(old) << "previous";
  std::filesystem::permissions(old, std::filesystem::perms::owner_read);  // no one may write it
  std::string error;
  EXPECT_FALSE(SavePicture(BlankPicture(100, 100), old.string(), error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(SavePicture(BlankPicture(100, 100), (m_dir / "x.gif").string(), error));
  EXPECT_FALSE(std::filesystem::exists(m_dir / "x.gif"));
  std::ifstream in(old);
  std::stringstream text;
  text << in.rdbuf();
  EXPECT_EQ(text.str(), "previous");
}

}  // namespace
}  // namespace mv::render
