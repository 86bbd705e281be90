#include "app/dataset_outline.h"

#include <filesystem>

#include "core/text.h"

namespace mv {
namespace {

// "количественный" / "альтернативный"
std::string KindText(DataKind kind) { return std::string(KindStem(kind)) + "ный"; }

}  // namespace

std::array<OutlineSection, 2> DatasetOutline(const TDatasetSPC& ds) {
  std::array<OutlineSection, 2> outline;
  OutlineSection& params = outline[0];
  params.title = "Параметры (" + std::to_string(ds.ParameterCount()) + ")";  // "Parameters"
  for (const DataKind kind : {DataKind::Var, DataKind::Attr}) {
    for (const int position : ds.OrderList(kind)) {
      const TSPCParameter* p = ds.Parameter(position);
      if (!p) continue;
      params.rows.push_back(
          {std::to_string(p->position), p->name, p->unit, p->ToleranceText(), KindText(p->kind)});
    }
  }
  OutlineSection& blocks = outline[1];
  blocks.title = "Блоки (" + std::to_string(ds.BlockCount()) + ")";  // "Blocks"
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    const TSPCBlock& block = *ds.Block(b);
    const int samples = block.SampleCount();
    blocks.rows.push_back({std::to_string(b), block.name,
                           PluralRu(samples, " выбор", "ка", "ки", "ок"),  // "samples"
                           block.PeriodText(1, samples), KindText(block.kind)});
  }
  return outline;
}

std::string MainWindowTitle(const TDatasetSPC* ds) {
  std::string title = "Morvalen " MV_VERSION;
  if (ds && !ds->fileName.empty()) title += " - " + ds->fileName;
  return title;
}

std::string DatasetTabText(const TDatasetSPC& ds) {
  return std::filesystem::path(ds.fileName).filename().string();
}

}  // namespace mv
