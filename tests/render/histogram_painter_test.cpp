// The histogram painter drawn into small images, checked at places computed from the layout it
// hands back.

#include "render/histogram_painter.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "render/picture.h"

namespace mv::render {
namespace {

void EnsureQt() {
  static int argc = 1;
  static char name[] = "render_tests";
  static char* argv[] = {name, nullptr};
  if (QGuiApplication::instance() == nullptr) static const auto app = std::make_unique<QGuiApplication>(argc, argv);
}

// A loaded histogram of `values` with `decimals` and the tolerance given.
std::unique_ptr<THisto> Histo(const std::vector<double>& values, int decimals = 1,
                              std::optional<double> lsl = std::nullopt, std::optional<double> usl = std::nullopt) {
  auto h = std::make_unique<THisto>();
  EXPECT_TRUE(h->data.Allocate(static_cast<std::int64_t>(values.size())));
  for (std::size_t i = 0; i < values.size(); ++i) {
    h->data.AddPoint(0, 1, 1, static_cast<std::uint16_t>(i + 1), true, true, values[i]);
  }
  h->data.decimals = static_cast<std::uint8_t>(decimals);
  h->data.tolerance.Set(static_cast<std::uint8_t>(decimals), lsl, usl, std::nullopt);
  h->data.ComputeStatistics();
  h->histogram.Compute(h->data);
  h->capability = HistogramCapability(h->data);
  h->loaded = true;
  return h;
}

// 10, 11, ..., 20 with 12..18 repeated: a hump over 5 bins.
std::vector<double> Hump() {
  std::vector<double> v;
  for (int x = 10; x <= 20; ++x) v.push_back(x);
  for (int x = 12; x <= 18; ++x) v.push_back(x);
  for (int x = 14; x <= 16; ++x) v.push_back(x);
  return v;
}

// Bars and lines alone: no curve, no counts, no side texts, no strip.
HistogramPaintOptions Plain() {
  HistogramPaintOptions o;
  HistogramOptions& h = o.histogram;
  h.normalCurve = false;
  h.binCounts = false;
  h.valueSpectrum = false;
  h.mean = false;
  h.nominal = false;
  h.toleranceInFull = false;
  return o;
}

QImage Paint(std::span<const HistogramDrawing> drawings, const HistogramPaintOptions& options, int w, int h,
             HistogramsLayout& layout) {
  EnsureQt();
  QImage image = BlankPicture(w, h);
  QPainter painter(&image);
  PaintHistograms(painter, QRectF(0, 0, w, h), drawings, options, {}, &layout);
  return image;
}

bool Same(const QColor& a, const QColor& b, int tolerance) {
  return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance &&
         std::abs(a.blue() - b.blue()) <= tolerance;
}

// Pixels of `colour` (within `tolerance` each channel) inside `area`.
int CountOf(const QImage& image, const QRectF& area, const QColor& colour, int tolerance = 30) {
  int n = 0;
  const QRect r = area.toAlignedRect().intersected(image.rect());
  for (int y = r.top(); y <= r.bottom(); ++y) {
    for (int x = r.left(); x <= r.right(); ++x) n += Same(image.pixelColor(x, y), colour, tolerance) ? 1 : 0;
  }
  return n;
}

QColor At(const QImage& image, double x, double y) {
  return image.pixelColor(static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y)));
}

TEST(HistogramPainter, BarsStandAtTheirMappedPlaces) {
  const auto h = Histo(Hump());
  const std::vector<HistogramDrawing> d = {{h.get(), "Hump", {}, {}, {}, {}, {}, 0}};
  HistogramsLayout layout;
  const QImage image = Paint(d, Plain(), 600, 400, layout);
  ASSERT_EQ(layout.histograms.size(), 1U);
  const HistogramLayout& l = layout.histograms[0];
  ASSERT_TRUE(l.drawn);
  const Palette pal = PaletteOf({});
  for (int i = 1; i <= h->histogram.binCount; ++i) {
    SCOPED_TRACE(i);
    const auto bar = HistogramBar(h->histogram, l.axis, i);
    ASSERT_TRUE(bar);
    const double x = (bar->left + bar->right) / 2;
    EXPECT_EQ(At(image, x, (bar->top + bar->bottom) / 2), pal.bar);
    EXPECT_EQ(At(image, x, bar->top - 6), QColor(Qt::white));  // nothing above the bar
    EXPECT_EQ(layout.HitAt(QPointF(x, (bar->top + bar->bottom) / 2), d).bin, i);
  }
  // Left of the first bar (the margin of the span) there is no bar.
  EXPECT_EQ(layout.HitAt(QPointF(l.plot.left() + 1, l.plot.center().y()), d).bin, 0);
}

TEST(HistogramPainter, ToleranceLimitsAreLinesInsideTheAxisAndMarksBeyondIt) {
  const Palette pal = PaletteOf({});
  const struct {
    const char* name;
    double lsl, usl;
    bool inFull;
    bool lslLine, uslLine;  // drawn across the plot (else as a mark at the edge)
  } kCases[] = {
      {"both inside", 11, 19, false, true, true},
      {"upper beyond, as a mark", 11, 40, false, true, false},
      {"upper beyond, in full", 11, 40, true, true, true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const auto h = Histo(Hump(), 1, c.lsl, c.usl);
    const std::vector<HistogramDrawing> d = {{h.get(), "", {}, {}, {}, {}, {}, 0}};
    HistogramPaintOptions o = Plain();
    o.histogram.toleranceInFull = c.inFull;
    o.histogram.barColours = false;
    HistogramsLayout layout;
    const QImage image = Paint(d, o, 600, 400, layout);
    const HistogramLayout& l = layout.histograms[0];
    for (const auto& [value, line] : {std::pair{c.lsl, c.lslLine}, std::pair{c.usl, c.uslLine}}) {
      if (line) {
        ASSERT_TRUE(l.axis.Shows(value));
        const double x = l.axis.X(value);
        EXPECT_GT(CountOf(image, QRectF(x - 1.5, l.plot.top() + 2, 3, l.plot.height() - 4), pal.tolerance), 40);
      } else {
        EXPECT_FALSE(l.axis.Shows(value));
        // The mark sits just outside the right edge of the plot.
        EXPECT_GT(CountOf(image, QRectF(l.plot.right(), l.plot.top(), 8, 16), pal.tolerance), 5);
      }
    }
  }
}

TEST(HistogramPainter, TheShiftTextFollowsTheThreePixelRuleOnEachSide) {
  const Palette pal = PaletteOf({});
  for (const double pixels : {-2.0, 2.0, -6.0, 6.0}) {
    SCOPED_TRACE(pixels);
    // First find the axis, then put the tolerance centre `pixels` from the mean on it.
    auto h = Histo(Hump(), 3, 0, 30);
    HistogramPaintOptions o = Plain();
    o.histogram.toleranceCentre = true;
    o.histogram.toleranceLimits = false;
    std::vector<HistogramDrawing> d = {{h.get(), "", {}, {}, {}, {}, {}, 0}};
    d[0].advice = SetupRecommendation(h->data);
    HistogramsLayout layout;
    (void)Paint(d, o, 700, 400, layout);
    const HistogramAxis& axis = layout.histograms[0].axis;
    const double shift = pixels * (axis.Max() - axis.Min()) / axis.Width();
    const double mean = h->histogram.mean;
    h = Histo(Hump(), 3, mean + shift - 15, mean + shift + 15);
    d[0].histo = h.get();
    d[0].advice = SetupRecommendation(h->data);
    ASSERT_TRUE(d[0].advice);
    ASSERT_FALSE(d[0].advice->centred);
    EXPECT_EQ(d[0].advice->diff > 0, pixels > 0);
    const QImage image = Paint(d, o, 700, 400, layout);
    const bool shown = std::fabs(pixels) > 3;
    EXPECT_EQ(SetupAdviceShown(*d[0].advice, layout.histograms[0].axis, mean), shown);
    // The text is drawn in the centre's colour at the right.
    EXPECT_EQ(CountOf(image, layout.histograms[0].side, pal.centre, 40) > 20, shown);
  }
  // A centred process gets its text whatever the distance.
  auto h = Histo(Hump(), 3, 0, 30);
  std::vector<HistogramDrawing> d = {{h.get(), "", {}, {}, {}, {}, {}, 0}};
  const auto advice = SetupRecommendation(h->data);
  ASSERT_TRUE(advice && advice->centred);
  d[0].advice = advice;
  HistogramPaintOptions o = Plain();
  o.histogram.toleranceCentre = true;
  HistogramsLayout layout;
  const QImage image = Paint(d, o, 700, 400, layout);
  EXPECT_GT(CountOf(image, layout.histograms[0].side, pal.centre, 40), 20);
}

TEST(HistogramPainter, SixHistogramsShareOnePictureAndAScaleGroupSharesItsAxis) {
  std::vector<std::unique_ptr<THisto>> histos;
  std::vector<HistogramDrawing> d;
  for (int i = 0; i < 6; ++i) {
    std::vector<double> values = Hump();
    for (double& v : values) v = v * (1 + 0.2 * i) + 3 * i;
    histos.push_back(Histo(values));
    d.push_back({histos.back().get(), "H" + std::to_string(i + 1), {{"n", "25"}}, "7\r values", {}, {}, {},
                 i < 2 ? 4 : 0});
  }
  HistogramPaintOptions o;
  o.histogram.boxPlot = true;
  d[5].boxPlotTitle = "box";
  HistogramsLayout layout;
  const QImage image = Paint(d, o, 1200, 800, layout);
  ASSERT_EQ(layout.histograms.size(), 6U);
  const Palette pal = PaletteOf({});
  for (std::size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const HistogramLayout& l = layout.histograms[i];
    EXPECT_TRUE(l.drawn);
    EXPECT_TRUE(QRectF(image.rect()).contains(l.cell));
    EXPECT_TRUE(l.cell.contains(l.plot));
    EXPECT_TRUE(l.cell.contains(l.side));
    for (std::size_t j = i + 1; j < 6; ++j) EXPECT_FALSE(l.cell.intersects(layout.histograms[j].cell)) << j;
    const int bin = histos[i]->histogram.binCount / 2 + 1;
    const auto bar = HistogramBar(histos[i]->histogram, l.axis, bin);
    // A quarter into the bar: the mean's line runs through the middle one.
    EXPECT_EQ(At(image, bar->left + (bar->right - bar->left) / 4, bar->bottom - 3), pal.bar);
  }
  // The first two are of one scale: one axis; the third keeps its own.
  EXPECT_EQ(layout.histograms[0].axis.Min(), layout.histograms[1].axis.Min());
  EXPECT_EQ(layout.histograms[0].axis.Max(), layout.histograms[1].axis.Max());
  EXPECT_NE(layout.histograms[2].axis.Max(), layout.histograms[1].axis.Max());
  EXPECT_FALSE(layout.histograms[5].boxPlot.isEmpty());
  EXPECT_TRUE(layout.histograms[4].boxPlot.isEmpty());
}

TEST(HistogramPainter, OneValueDrawsWithoutDividingByZero) {
  const auto h = Histo({5, 5, 5, 5}, 1, 4, 6);
  ASSERT_EQ(h->histogram.sigma, 0);
  // Everything on, the 3D bars too.
  HistogramPaintOptions o;
  HistogramOptions& ho = o.histogram;
  ho.bars3d = ho.binNumbers = ho.binEdges = ho.boxPlot = ho.toleranceCentre = ho.sigmaLevels = ho.levelsInFull = true;
  ho.thickLine = ho.tailAnalysis = true;
  ho.boxPlotOptions = 7;
  std::vector<HistogramDrawing> d = {{h.get(), "Один", {{"n", "4"}}, "1\r уник.значение", {"tail"}, "box", {}, 0}};
  d[0].advice = SetupRecommendation(h->data);
  HistogramsLayout layout;
  const QImage image = Paint(d, o, 500, 400, layout);
  const HistogramLayout& l = layout.histograms[0];
  ASSERT_TRUE(l.drawn);
  EXPECT_TRUE(std::isfinite(l.axis.X(5)) && std::isfinite(l.axis.Y(1)));
  // Every value is in the middle bin, drawn in the bar colour at 5.
  const int middle = h->histogram.BinOf(5);
  EXPECT_EQ(layout.HitAt(QPointF(l.axis.X(5), l.plot.bottom() - 3), d).bin, middle);
  EXPECT_GT(CountOf(image, QRectF(l.axis.X(5) - 3, l.plot.bottom() - 20, 6, 10), PaletteOf({}).bar, 40), 0);
  // The strip names the value under the mouse.
  const auto hit = layout.HitAt(QPointF(l.axis.X(5) + 1, l.spectrum.center().y()), d);
  EXPECT_EQ(hit.histogram, 0);
  EXPECT_EQ(hit.value, std::optional<std::size_t>(0));
}

TEST(HistogramPainter, AHistogramWithoutDataShowsTheNoDataText) {
  THisto empty;  // not loaded
  const std::vector<HistogramDrawing> d = {{&empty, "Пусто", {}, {}, {}, {}, {}, 0}};
  HistogramsLayout layout;
  const QImage image = Paint(d, {}, 400, 300, layout);
  ASSERT_EQ(layout.histograms.size(), 1U);
  EXPECT_FALSE(layout.histograms[0].drawn);
  EXPECT_GT(CountOf(image, QRectF(0, 100, 400, 150), Qt::black, 60), 30);  // the text
  EXPECT_EQ(layout.HitAt(QPointF(200, 150), d).histogram, -1);
}

}  // namespace
}  // namespace mv::render
