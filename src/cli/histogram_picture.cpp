#include "cli/histogram_picture.h"

#include <QPainter>

#include <ostream>

#include "app/histogram_window_logic.h"
#include "cli/cli.h"
#include "render/histogram_painter.h"
#include "render/picture.h"
#include "spc/dataset_spc.h"

namespace mv::cli {

void WritePictureFields(JsonWriter& w, const std::string& file, int width, int height, std::string_view kind) {
  w.Field("file", SafeUtf8(file));
  w.Field("format", render::PictureFormatName(*render::PictureFormatOf(file)));
  w.Field("width", width);
  w.Field("height", height);
  w.Field("kind", kind);
}

int RunHistogramPicture(const HistogramPictureArgs& a, std::ostream& out, std::ostream& err) {
  const auto dataset = ReadDataFile("picture", a.file, err);
  if (!dataset) return kExitFailed;
  if (a.noFilter) SwitchFiltersOff(*dataset);
  const TDatasetSPC& ds = *dataset;
  const int parameter = FindParameterArg(ds, a.selection->param);
  if (parameter == 0) {
    err << "picture: " << NoParameterText(a.file, a.selection->param) << "\n";
    return kExitFailed;
  }
  const TSPCParameter& param = *ds.Parameter(parameter);
  if (param.kind != DataKind::Var || param.IsTag()) {
    err << "picture: the parameter '" << SafeUtf8(param.name) << "' is not measured: it has no histogram\n";
    return kExitFailed;
  }
  SampleSelection selection;
  std::string error;
  if (!ResolveSelection(ds, a.file, param, *a.selection, selection, error)) {
    err << "picture: " << error << "\n";
    return kExitFailed;
  }

  HistogramWindowLogic logic(ds, selection, {parameter}, HistogramOptions{});
  logic.SetLanguage(a.lang);
  logic.SetRequestedBins(a.bins);
  {
    MessageCapture messages;
    if (logic.Recompute() == 0) {
      err << "picture: " << messages.First(kNoHistogramData) << "\n";
      return kExitFailed;
    }
  }
  const THistogram& histogram = logic.Histograms().front().histogram;

  QImage image = render::BlankPicture(a.width, a.height);
  {
    QPainter painter(&image);
    render::HistogramPaintOptions options;
    options.histogram = logic.Options();
    options.lang = a.lang;
    render::PaintHistograms(painter, QRectF(0, 0, a.width, a.height), logic.Drawings(), options, logic.Caption());
  }
  if (!render::SavePicture(image, a.out, error)) {
    err << "picture: " << error << "\n";
    return kExitFailed;
  }

  JsonWriter w(out);
  w.BeginObject();
  WritePictureFields(w, a.out, a.width, a.height, "histogram");
  WriteFilterField(w, ds, param.kind, a.noFilter);
  w.Field("valueCount", histogram.valueCount);
  w.Field("binCount", histogram.binCount);
  w.EndObject();
  w.Done();
  return kExitOk;
}

}  // namespace mv::cli
