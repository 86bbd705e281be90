// Drawing the x-MR pair of a whole block (1000 samples of 200 points: 200 000 values) into a
// 1600 x 1000 picture, against one plain pass over the two data sets; the decimation alone; and
// the drawing at a quarter and a half of the points to show it linear; one histogram picture of
// the demo.

#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <limits>
#include <memory>

#include "analysis/chart_plot.h"
#include "analysis/control_chart.h"
#include "app/histogram_window_logic.h"
#include "large_dataset.h"
#include "render/chart_painter.h"
#include "render/histogram_painter.h"
#include "render/picture.h"
#include "spc/dataset_spc.h"
#include "spc/spc_file.h"

namespace {

constexpr int kPoints = mv::bench::kWholeBlockPoints;

std::unique_ptr<mv::TDatasetSPC> Dataset(int samples) { return mv::bench::MakeWholeBlockDataset(samples); }

struct Pair {
  std::unique_ptr<mv::TDatasetSPC> dataset;
  mv::TChart x, mr;
};

// The pair as control_chart_bench builds a whole block's: every point, criteria set 2.
Pair BuildPair(int samples) {
  Pair pair;
  pair.dataset = Dataset(samples);
  mv::TChartTask task;
  task.selection.dataset = pair.dataset.get();
  task.selection.blocks = {1};
  task.parameters = {1};
  const mv::TChartOptions options;
  const auto all = std::numeric_limits<std::size_t>::max();
  (void)mv::BuildChart(pair.x, task, mv::ChartKind::Individuals, options, all);
  (void)mv::BuildChart(pair.mr, task, mv::ChartKind::MovingRange, options, all);
  return pair;
}

void EnsureQt() {
  static int argc = 1;
  static char name[] = "render_bench";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static const auto app = std::make_unique<QGuiApplication>(argc, argv);
}

// One pass over the analysed values of the two data sets: the least any drawing must do.
void BM_PlainPassOverTwoSets(benchmark::State& state) {
  const Pair pair = BuildPair(1000);
  for (auto _ : state) {
    double sum = 0;
    for (const mv::TChart* c : {&pair.x, &pair.mr}) {
      const mv::CDataSet& set = c->series[0].set;
      for (std::uint32_t i = 1; i <= set.Count(); ++i) {
        const mv::TDataSetPoint& p = *set.Point(i);
        if (p.Analysed()) sum += p.value;
      }
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * 2 * 200000);
}
BENCHMARK(BM_PlainPassOverTwoSets)->Unit(benchmark::kMillisecond);

// The decimation of the two series onto 1600 columns.
void BM_DecimateTwoSets(benchmark::State& state) {
  const Pair pair = BuildPair(1000);
  for (auto _ : state) {
    for (const mv::TChart* c : {&pair.x, &pair.mr}) {
      const mv::EntryAxis axis(c->series[0].set.Count(), 60, 1450);
      benchmark::DoNotOptimize(mv::DecimateSeries(c->series[0].set, c->data, axis).columns.data());
    }
  }
  state.SetItemsProcessed(state.iterations() * 2 * 200000);
}
BENCHMARK(BM_DecimateTwoSets)->Unit(benchmark::kMillisecond);

// The whole pair drawn into a 1600 x 1000 picture; argument: samples of 200 points.
void BM_DrawPair(benchmark::State& state) {
  EnsureQt();
  const Pair pair = BuildPair(static_cast<int>(state.range(0)));
  QImage image = mv::render::BlankPicture(1600, 1000);
  const mv::render::ChartPaintOptions options;
  for (auto _ : state) {
    QPainter painter(&image);
    mv::render::PaintChartPair(painter, QRectF(0, 0, 1600, 1000), "x-MR", pair.x, &pair.mr, options, options);
  }
  state.SetItemsProcessed(state.iterations() * 2 * state.range(0) * kPoints);
}
BENCHMARK(BM_DrawPair)->Arg(250)->Arg(500)->Arg(1000)->Unit(benchmark::kMillisecond);

// The demo's first parameter over both blocks (250 values) as picture --kind histogram draws it:
// the default options, 1600 x 1000. The histogram is computed once; the drawing is measured.
void BM_DrawDemoHistogram(benchmark::State& state) {
  EnsureQt();
  const auto dataset = mv::LoadDatasetFile(std::string(MV_SOURCE_DIR) + "/examples/demo.mvl");
  if (!dataset) {
    state.SkipWithError("the demo could not be read");
    return;
  }
  mv::HistogramWindowLogic logic(*dataset, {dataset.get(), {1, 2}, true, 1, 1}, {1}, mv::HistogramOptions{});
  if (logic.Recompute() != 1) {
    state.SkipWithError("no histogram");
    return;
  }
  const std::vector<mv::HistogramDrawing> drawings = logic.Drawings();
  mv::render::HistogramPaintOptions options;
  options.histogram = logic.Options();
  QImage image = mv::render::BlankPicture(1600, 1000);
  for (auto _ : state) {
    QPainter painter(&image);
    mv::render::PaintHistograms(painter, QRectF(0, 0, 1600, 1000), drawings, options, logic.Caption());
  }
}
BENCHMARK(BM_DrawDemoHistogram)->Unit(benchmark::kMillisecond);

}  // namespace
