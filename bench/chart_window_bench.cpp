// Opening a chart window: the X̄-R pair over both blocks of the demo dataset, built, laid out
// and painted once on the offscreen platform, as the user waits for it after the command.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>

#include <memory>
#include <string>

#include "spc/spc_file.h"
#include "ui/chart_window.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "chart_window_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

void BM_OpenMeanRangeWindow(benchmark::State& state) {
  App();
  auto ds = mv::LoadDatasetFile(std::string(MV_SOURCE_DIR) + "/examples/demo.mvl");
  if (!ds) {
    state.SkipWithError("examples/demo.mvl cannot be read");
    return;
  }
  const mv::SampleSelection both{ds.get(), {1, 2}, true, 1, 1};
  for (auto _ : state) {
    mv::ui::ChartWindow* w = mv::ui::ChartWindow::Open(*ds, both, mv::ChartKind::Mean, mv::ChartKind::Range, {1, 2, 3});
    if (!w) {
      state.SkipWithError("the chart was refused");
      return;
    }
    const QImage first = w->grab().toImage();  // the first paint of the whole window
    benchmark::DoNotOptimize(first.constBits());
    state.PauseTiming();
    w->setAttribute(Qt::WA_DeleteOnClose, false);
    w->close();
    delete w;
    QApplication::processEvents();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_OpenMeanRangeWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
