// The painters drawn into small images, checked at places computed from the painter's own
// mapping (the layout it hands back), and the pictures written and read back.

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "analysis/chart_kinds.h"
#include "render/box_plot_painter.h"
#include "render/chart_painter.h"
#include "render/picture.h"
#include "spc/dataset_spc.h"
#include "spc/spc_file.h"

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

// Zones of one sigma on each side of CL, limits at three, as the chart build gives them.
void SetZones(TChart& chart) {
  CDataSet& set = chart.series[0].set;
  TChartZones& z = set.zones;
  z.valid = true;
  z.centre = set.mean;
  z.sigma = 1;
  const char letters[] = {'A', 'B', 'C'};
  for (int k = 0; k < 3; ++k) {
    const double outer = 3 - k, inner = 2 - k;
    z.zones[static_cast<std::size_t>(k)] = {letters[k], {set.mean + outer, set.mean + inner, {}},
                                            {set.mean - inner, set.mean - outer, {}}};
  }
}

bool IsZoneFill(const QColor& c, const Palette& pal) { return c == pal.zoneA || c == pal.zoneB || c == pal.zoneC; }

TEST(ChartPainter, ZonesFollowTheStepsOfOwnLimits) {
  // Entry 5 has limits twice as wide as the chart's: its zones reach twice as far.
  TChart chart = IndividualsChart(9, [](std::uint32_t) { return 5.0; });
  CDataSet& set = chart.series[0].set;
  SetZones(chart);
  chart.ownLimitsUsed = true;
  chart.data.points[4].flags = chart_point_flag::kOwnLimits;
  chart.data.points[4].ownUpper = set.mean + 6;
  chart.data.points[4].ownLower = set.mean - 6;
  chart.axisMin = set.mean - 7;
  chart.axisMax = set.mean + 7;
  ChartPaintOptions options;
  options.chart.criteria.display = criteria_display::kZones;
  ChartLayout layout;
  const QImage image = Paint(chart, 600, 400, layout, options);
  const Palette pal = PaletteOf({});
  const double y = layout.values.Y(set.mean + 4.5);  // beyond the chart's UCL, inside entry 5's own
  EXPECT_TRUE(IsZoneFill(At(image, layout.entries.X(5) + 3, y), pal));
  EXPECT_EQ(At(image, layout.entries.X(3), y), pal.background);
  EXPECT_TRUE(IsZoneFill(At(image, layout.entries.X(3), layout.values.Y(set.mean + 2.5)), pal));
}

TEST(ChartPainter, SeriesCodesStartingAtOnePointDoNotCoverEachOther) {
  TChart chart = IndividualsChart(12, [](std::uint32_t i) { return i >= 4 && i <= 8 ? 6.0 : 3.0; });
  CDataSet& set = chart.series[0].set;
  chart.axisMin = -2;
  chart.axisMax = 12;
  ChartPaintOptions options;
  options.chart.criteria.display = criteria_display::kSeriesLines;
  // What is drawn above entry 4 with one series starting there, then with two.
  const auto ink = [&](int hits, ChartLayout& layout) {
    set.signals.clear();
    for (int k = 0; k < hits; ++k) set.signals.push_back({static_cast<std::uint8_t>(2 + k), 1, 4, 8, 5, 6, 0});
    const QImage image = Paint(chart, 500, 400, layout, options);
    std::vector<int> rows;  // rows above the point that carry text
    const double x = layout.entries.X(4), y = layout.values.Y(6);
    for (int dy = 8; dy < 60; ++dy) {
      bool dark = false;
      for (int dx = -12; dx <= 12; ++dx) dark = dark || At(image, x + dx, y - dy).lightness() < 80;
      if (dark) rows.push_back(dy);
    }
    return rows;
  };
  ChartLayout layout;
  const std::vector<int> one = ink(1, layout);
  const std::vector<int> two = ink(2, layout);
  ASSERT_FALSE(one.empty());
  // The second code stands above the first, where the one-code chart has no ink.
  EXPECT_GT(two.back(), one.back() + 5);
}

TEST(ChartPainter, TheDataRangeBandSpansEachSamplesValues) {
  TChart chart = IndividualsChart(6, [](std::uint32_t) { return 10.0; });
  chart.kind = ChartKind::Mean;
  ChartPaintOptions options;
  options.chart.dataRange = true;
  options.chart.individualValues = true;
  // Entry 2's sample reaches 20, beyond the chart's axis; the others lie within 9..11.
  options.sampleValues.start = {0};
  for (std::uint32_t i = 1; i <= 6; ++i) {
    for (const double v : {9.0, 10.0, i == 2 ? 20.0 : 11.0}) options.sampleValues.values.push_back(v);
    options.sampleValues.start.push_back(static_cast<std::uint32_t>(options.sampleValues.values.size()));
  }
  ChartLayout layout;
  const QImage image = Paint(chart, 600, 400, layout, options);
  EXPECT_GE(layout.values.Max(), 20);  // the axis holds the band
  const double x = layout.entries.X(2);
  EXPECT_NE(At(image, x, layout.values.Y(15)), PaletteOf({}).background);
  EXPECT_EQ(At(image, layout.entries.X(3), layout.values.Y(15)), PaletteOf({}).background);
  EXPECT_TRUE(Near(image, x, layout.values.Y(20), PaletteOf({}).series, 1));  // the dot of the value

  options.chart.dataRange = false;
  (void)Paint(chart, 600, 400, layout, options);
  EXPECT_LT(layout.values.Max(), 20);
}

TEST(ChartPainter, PointLabelsWriteTheValuesBesideThePoints) {
  // Entry 3 stands above the others, well under the UCL line and the plot's top edge.
  const TChart chart = IndividualsChart(5, [](std::uint32_t i) { return i == 3 ? 4.5 : 2.0; });
  ChartPaintOptions options;
  ChartLayout layout;
  const auto text = [&](bool labels) {
    options.chart.pointLabels = labels;
    const QImage image = Paint(chart, 500, 400, layout, options);
    const double x = layout.entries.X(3), y = layout.values.Y(4.5);
    int dark = 0;  // pixels of text: darker than the lines' colours
    for (int dy = 4; dy < 24; ++dy) {
      for (int dx = -15; dx <= 15; ++dx) dark += At(image, x + dx, y - dy).lightness() < 60 ? 1 : 0;
    }
    return dark;
  };
  EXPECT_EQ(text(false), 0);
  EXPECT_GT(text(true), 10);
}

TEST(ChartPainter, TheSideHistogramDrawsItsCurveAndCountsAsAsked) {
  TChart chart = IndividualsChart(60, [](std::uint32_t i) { return static_cast<double>((i * 7) % 11); });
  chart.histogram.Compute(chart.series[0].set);
  ASSERT_TRUE(chart.histogram.computed);
  const Palette pal = PaletteOf({});
  ChartPaintOptions options;
  options.chart.histogram = true;
  ChartLayout layout;
  const auto count = [&](bool curve, bool counts, auto&& isInk) {
    options.chart.histogramCurve = curve;
    options.chart.histogramCounts = counts;
    const QImage image = Paint(chart, 800, 400, layout, options);
    int n = 0;
    for (int x = static_cast<int>(layout.histogram.left()) + 1; x < layout.histogram.right(); ++x) {
      for (int y = static_cast<int>(layout.histogram.top()); y < layout.histogram.bottom(); ++y) {
        n += isInk(image.pixelColor(x, y)) ? 1 : 0;
      }
    }
    return n;
  };
  const auto curveInk = [&](const QColor& c) { return c == pal.curve; };
  const auto textInk = [&](const QColor& c) { return c.lightness() < 60; };
  EXPECT_GT(count(true, false, curveInk), 0);
  EXPECT_EQ(count(false, false, curveInk), 0);
  EXPECT_EQ(count(false, false, textInk), 0);
  EXPECT_GT(count(false, true, textInk), 0);
}

TEST(ChartPainter, BlockNamesStandAboveThePlotClearOfItsLines) {
  // Two blocks, the UCL near the top of the plot where the names used to be written.
  TChart chart = IndividualsChart(10, [](std::uint32_t i) { return static_cast<double>(i % 3); });
  chart.data.points[0].flags = chart_point_flag::kBlockStart;
  chart.data.points[5].flags = chart_point_flag::kBlockStart;
  chart.data.points[0].block = 1;
  chart.data.points[5].block = 2;
  for (std::size_t i = 1; i < 10; ++i) chart.data.points[i].block = i < 5 ? 1 : 2;
  chart.axisMax = chart.series[0].set.ucl + 0.25;
  ChartPaintOptions options;
  options.blockNames = {"Первый блок с длинным именем", "Второй"};
  ChartLayout layout;
  const QImage image = Paint(chart, 600, 300, layout, options);
  const double y = layout.values.Y(chart.series[0].set.ucl);
  int textAbove = 0, textOnLine = 0;
  for (double x = layout.plot.left() + 2; x < layout.entries.X(5); ++x) {
    for (int dy = 1; dy < 10; ++dy) textAbove += At(image, x, layout.plot.top() - dy).lightness() < 60 ? 1 : 0;
    for (int dy = -3; dy <= 3; ++dy) textOnLine += At(image, x, y + dy).lightness() < 60 ? 1 : 0;
  }
  EXPECT_GT(textAbove, 20);
  EXPECT_EQ(textOnLine, 0);
}

TEST(ChartPainter, ThePlotsOfAPairShareTheirEdges) {
  // Long value labels on the upper chart, short ones on the lower.
  TChart upper = IndividualsChart(30, [](std::uint32_t i) { return 12345.678 + (i % 4) * 0.001; });
  upper.decimals = 4;
  const TChart lower = IndividualsChart(30, [](std::uint32_t i) { return static_cast<double>(i % 2); });
  EnsureQt();
  QImage image = BlankPicture(800, 600);
  QPainter painter(&image);
  ChartPairLayout layout;
  PaintChartPair(painter, QRectF(0, 0, 800, 600), "x-MR", upper, &lower, {}, {}, &layout);
  EXPECT_DOUBLE_EQ(layout.upper.plot.left(), layout.lower.plot.left());
  EXPECT_DOUBLE_EQ(layout.upper.plot.right(), layout.lower.plot.right());
  EXPECT_DOUBLE_EQ(layout.upper.entries.X(7), layout.lower.entries.X(7));
}

// The band of an X chart spans each entry's own sample: entries and samples are matched block
// by block, and only the points that count take part.
TEST(ChartPainter, SampleValuesAreThoseOfEachEntrysSample) {
  auto ds = LoadDatasetFile(std::string(MV_SOURCE_DIR) + "/examples/demo.mvl");
  ASSERT_TRUE(ds);
  TChartTask task;
  task.selection = {ds.get(), {1, 2}, true, 1, 1};
  task.parameters = {1};
  TChart chart;
  ASSERT_TRUE(BuildChart(chart, task, ChartKind::Mean, TChartOptions{}).ok);
  const EntrySampleValues v = SampleValuesOf(chart, *ds);
  ASSERT_EQ(v.Entries(), chart.data.points.size());
  for (const std::uint32_t i : {1U, 2U, static_cast<std::uint32_t>(chart.data.points.size())}) {
    SCOPED_TRACE(i);
    const TChartPoint& e = chart.data.points[i - 1];
    const SampleStats st = ds->Block(e.block)->Sample(e.sample)->Stats(1);
    ASSERT_EQ(v.start[i] - v.start[i - 1], st.n);
    const auto [lo, hi] = std::minmax_element(v.values.begin() + v.start[i - 1], v.values.begin() + v.start[i]);
    EXPECT_DOUBLE_EQ(*lo, st.min);
    EXPECT_DOUBLE_EQ(*hi, st.max);
  }
  chart.kind = ChartKind::Range;  // the band belongs to the X and M charts only
  EXPECT_EQ(SampleValuesOf(chart, *ds).Entries(), 0U);
}

// The conclusion line stands under a chart with limits shown, and under an np or c chart whose
// sample sizes rule out limits (its line says so); a chart without limits has none.
TEST(ChartPainter, TheConclusionLineIsDrawnWhereTheChartHasOne) {
  const struct {
    const char* name;
    bool limitsShown;
    bool computable;
    bool option;
    bool drawn;
  } kCases[] = {
      {"limits shown", true, true, true, true},
      {"option off", true, true, false, false},
      {"no limits", false, true, true, false},
      {"sizes differ", false, false, true, true},
      {"sizes differ, option off", false, false, false, false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    TChart chart = IndividualsChart(10, [](std::uint32_t i) { return static_cast<double>(i % 3); });
    chart.limitsShown = c.limitsShown;
    chart.conclusionShown = c.option && c.limitsShown;
    chart.limitsComputable = c.computable;
    ChartPaintOptions options;
    options.chart.conclusion = c.option;
    options.conclusion = "Заключение";
    ChartLayout layout;
    const QImage image = Paint(chart, 500, 300, layout, options);
    EXPECT_EQ(!layout.conclusion.isEmpty(), c.drawn);
    if (!c.drawn) continue;
    int ink = 0;  // the text
    for (double x = layout.plot.left(); x < layout.plot.left() + 80; ++x) {
      for (double y = layout.conclusion.top(); y < layout.conclusion.bottom(); ++y) ink += At(image, x, y).lightness() < 60;
    }
    EXPECT_GT(ink, 20);
  }
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

// An outlier value met more than once is drawn with its count beside its circle; a single one
// carries none.
TEST(BoxPlotPainter, RepeatedOutliersShowTheirCount) {
  EnsureQt();
  TBoxPlot f;
  f.computed = true;
  f.q1 = 4;
  f.median = 5;
  f.q3 = 6;
  f.mean = 5;
  f.lower = {3, 3, 4, 1, {}};
  f.upper = {7, 7, 6, 1, {{9, 1}}};
  const BoxPlotAxis axis{true, 0, 10};
  const QRectF rect(0, 0, 60, 200);
  const auto inkRightOfOutlier = [&](std::uint32_t multiplicity) {
    f.upper.outliers[0].multiplicity = multiplicity;
    QImage image(60, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      PaintBoxPlot(painter, rect, f, 0, axis, PaintStyle{});
    }
    const int y = static_cast<int>(axis.At(rect, 9));
    int ink = 0;
    for (int x = 30 + 5; x < 60; ++x) {
      for (int dy = -8; dy <= 8; ++dy) ink += qGray(image.pixel(x, y + dy)) < 128 ? 1 : 0;
    }
    return ink;
  };
  EXPECT_EQ(inkRightOfOutlier(1), 0);
  EXPECT_GT(inkRightOfOutlier(3), 5);
}

}  // namespace
}  // namespace mv::render
