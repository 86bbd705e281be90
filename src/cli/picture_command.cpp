#include "cli/picture_command.h"

#include <QGuiApplication>
#include <QPainter>

#include <memory>
#include <ostream>
#include <vector>

#include "analysis/chart_kinds.h"
#include "analysis/chart_texts.h"
#include "analysis/control_chart.h"
#include "cli/chart_command.h"
#include "cli/cli.h"
#include "cli/cli_support.h"
#include "cli/histogram_picture.h"
#include "cli/offscreen_qt.h"
#include "core/numbers.h"
#include "render/chart_painter.h"
#include "render/picture.h"
#include "spc/dataset_spc.h"

namespace mv::cli {
namespace {

struct PictureArgs {
  ChartArgs chart;
  bool histogram = false;
  int bins = 0;  // --bins, histograms only
  std::string out;
  int width = 1600;
  int height = 1000;
};

constexpr int kMinSide = 100;
constexpr int kMaxSide = 10000;

bool ParseSize(const std::string& text, PictureArgs& a) {
  const std::size_t x = text.find_first_of("xX");
  if (x == std::string::npos) return false;
  const auto w = ParseInteger(text.substr(0, x), kMinSide, kMaxSide);
  const auto h = ParseInteger(text.substr(x + 1), kMinSide, kMaxSide);
  if (!w || !h) return false;
  a.width = static_cast<int>(*w);
  a.height = static_cast<int>(*h);
  return true;
}

bool ParsePictureArgs(Args args, PictureArgs& a, std::string& error) {
  static constexpr std::string_view kWithValue[] = {"--param", "--block", "--blocks", "--samples", "--kind",  "--criteria",
                                                    "--span",  "--scale", "--out",    "--size",    "--lang", "--bins",
                                                    "--display"};
  static constexpr std::string_view kFlags[] = {"--regulation", kNoFilterOption};
  const auto take = [&a](const std::string& option, const std::string& value, std::string& e) {
    if (IsSelectionOption(option)) return TakeSelectionOption(option, value, a.chart.selection, e);
    if (option == "--out") {
      a.out = value;
      if (!render::PictureFormatOf(value)) return BadValue(option, "a file ending in .png, .jpg, .jpeg or .bmp", value, e);
      return true;
    }
    if (option == "--size") {
      if (!ParseSize(value, a)) return BadValue(option, "WxH, each side 100..10000", value, e);
      return true;
    }
    if (option == "--lang") {
      if (value != "ru" && value != "en") return BadValue(option, "ru or en", value, e);
      a.chart.options.language = value == "en" ? Lang::En : Lang::Ru;
      return true;
    }
    if (option == "--bins") {
      const auto k = ParseInteger(value, 1, 1000);
      if (!k) return BadValue(option, "a whole number of bins (limited to 5..20)", value, e);
      a.bins = static_cast<int>(*k);
      return true;
    }
    if (option == "--display") {  // what the chart shows of the criteria: flags 1, 2, 4, 32, 64
      const auto flags = ParseInteger(value, 0, criteria_display::kAll);
      if (!flags || (*flags & ~static_cast<std::int64_t>(criteria_display::kAll)) != 0) {
        return BadValue(option, "a sum of 1, 2, 4, 32 and 64", value, e);
      }
      a.chart.options.criteria.display = static_cast<std::uint8_t>(*flags);
      return true;
    }
    if (option == "--kind" && value == "histogram") {
      a.histogram = true;
      a.chart.kindText = value;
      return true;
    }
    return TakeChartOption(option, value, a.chart, e);
  };
  if (!ParseCommandLine(args, kWithValue, kFlags, a.chart.file, take, error)) return false;
  if (a.chart.file.empty() || a.chart.selection.param.empty() || (!a.chart.upper && !a.histogram) || a.out.empty()) {
    error = "expected FILE.mvl --param NAME|POSITION --kind KIND|histogram --out PICTURE";
    return false;
  }
  if (a.chart.selection.SamplesWithoutOneBlock()) {
    error = "--samples needs --block";
    return false;
  }
  return true;
}

}  // namespace

const std::string_view kPictureDetails =
    "      The chart pair as the chart window draws it (the options of chart), or with --kind\n"
    "      histogram the parameter's histogram as the histogram window draws it with its default\n"
    "      options, into a picture of the extension's format. Further options:\n"
    "        --bins K                     histogram bins (limited to 5..20; default automatic)\n"
    "        --out PICTURE                .png, .jpg, .jpeg or .bmp (required); an existing file\n"
    "                                     is replaced only by a complete picture\n"
    "        --size WxH                   pixels, each side 100..10000 (default 1600x1000)\n"
    "        --lang ru|en                 language of the titles (default ru)\n"
    "        --display FLAGS              the criteria drawn, a sum of: 1 series lines, 2 ribbons,\n"
    "                                     4 point numbers, 32 zones, 64 zone analysis (default 1)\n"
    "      The conclusion line is drawn under each chart and given as its \"conclusion\" (empty\n"
    "      when the chart shows none); --bins counts for histograms only (a chart picture\n"
    "      draws no histogram beside the chart).\n";

int RunPicture(Args args, std::ostream& out, std::ostream& err) {
  PictureArgs a;
  std::string error;
  if (!ParsePictureArgs(args, a, error)) {
    err << "picture: " << error << "\n";
    return kExitUsage;
  }
  if (a.histogram) {
    const auto qt = StartOffscreenQt();
    return RunHistogramPicture({a.chart.file, &a.chart.selection, a.chart.options.language, a.chart.noFilter, a.bins,
                                a.out, a.width, a.height},
                               out, err);
  }
  const auto dataset = ReadDataFile("picture", a.chart.file, err);
  if (!dataset) return kExitFailed;
  if (a.chart.noFilter) SwitchFiltersOff(*dataset);
  const TDatasetSPC& ds = *dataset;
  const int parameter = FindParameterArg(ds, a.chart.selection.param);
  if (parameter == 0) {
    err << "picture: " << NoParameterText(a.chart.file, a.chart.selection.param) << "\n";
    return kExitFailed;
  }
  const TSPCParameter& param = *ds.Parameter(parameter);
  for (const auto kind : {a.chart.upper, a.chart.lower}) {
    if (kind && !ParameterFitsChart(param, *kind)) {
      err << "picture: the parameter '" << SafeUtf8(param.name) << "' cannot be shown on a " << ChartKindCode(*kind)
          << " chart\n";
      return kExitFailed;
    }
  }
  TChartTask task;
  task.parameters = {parameter};
  if (!ResolveSelection(ds, a.chart.file, param, a.chart.selection, task.selection, error)) {
    err << "picture: " << error << "\n";
    return kExitFailed;
  }
  std::vector<TChart> charts;
  for (const auto kind : {a.chart.upper, a.chart.lower}) {
    if (!kind) continue;
    TChart& chart = charts.emplace_back();
    const ChartBuildResult built = BuildChart(chart, task, *kind, a.chart.options);
    if (!built.ok) {
      err << "picture: " << OneLine(built.message, built.details) << "\n";
      return kExitFailed;
    }
  }

  const auto qt = StartOffscreenQt();
  QImage image = render::BlankPicture(a.width, a.height);
  render::ChartPaintOptions paint[2];
  {
    QPainter painter(&image);
    const TChart* lower = charts.size() > 1 ? &charts[1] : nullptr;
    const std::string caption = ChartWindowCaption(*a.chart.upper, a.chart.lower, task.selection);
    for (std::size_t k = 0; k < charts.size(); ++k) {
      paint[k] = render::ChartPaintOptionsFor(charts[k], ds, a.chart.options);
    }
    render::PaintChartPair(painter, QRectF(0, 0, a.width, a.height), caption, charts[0], lower, paint[0], paint[1]);
  }
  if (!render::SavePicture(image, a.out, error)) {
    err << "picture: " << error << "\n";
    return kExitFailed;
  }

  JsonWriter w(out);
  w.BeginObject();
  WritePictureFields(w, a.out, a.width, a.height, a.chart.kindText);
  WriteFilterField(w, ds, param.kind, a.chart.noFilter);
  w.Key("charts");
  w.BeginArray();
  for (std::size_t k = 0; k < charts.size(); ++k) {
    const TChart& chart = charts[k];
    const CDataSet& set = chart.Current()->set;
    w.BeginObject();
    w.Field("code", chart.code);
    w.Field("pointCount", set.Count());
    w.Field("beyondCount", chart.beyondCount);
    w.Field("hitCount", set.signals.size());
    w.Field("conclusion", paint[k].conclusion);
    w.EndObject();
  }
  w.EndArray();
  w.EndObject();
  w.Done();
  return kExitOk;
}

}  // namespace mv::cli
