#include "app/dataset_outline.h"

#include <filesystem>

#include "core/date_time.h"
#include "core/text.h"

namespace mv {
namespace {

// "количественный" / "альтернативный"
std::string KindText(DataKind kind) { return std::string(KindStem(kind)) + "ный"; }

// The date and time of the first or last sample that has a date.
std::string SampleDate(const TSPCBlock& block, bool last) {
  const int count = block.SampleCount();
  for (int i = 0; i < count; ++i) {
    const TSPCSample& sample = *block.Sample(last ? count - i : i + 1);
    if (sample.DateTime() != 0) return DateTimeText(sample.DateTime());
  }
  return {};
}

}  // namespace

DatasetOutlineData DatasetOutline(const TDatasetSPC& ds) {
  DatasetOutlineData data;
  data.type = DatasetTypeText(ds);
  const std::pair<const char*, const std::string*> texts[] = {
      {"Процесс", &ds.processName}, {"Подразделение", &ds.department}, {"Деталь", &ds.detail},
      {"Операция", &ds.operation},  {"Комментарий", &ds.comment},      {"Примечание", &ds.note},
  };
  for (const auto& [label, text] : texts) {
    if (!Trim(*text).empty()) data.process.emplace_back(label, *text);
  }

  OutlineTable& params = data.parameters;
  params.title = "Параметры (" + std::to_string(ds.ParameterCount()) + ")";
  params.columns = {"№", "Параметр", "Вид", "Ед. изм.", "Знаков", "Допуск"};
  params.numeric = {true, false, false, false, true, false};
  for (const DataKind kind : {DataKind::Var, DataKind::Attr}) {
    for (const int position : ds.OrderList(kind)) {
      const TSPCParameter* p = ds.Parameter(position);
      if (!p) continue;
      params.rows.push_back({std::to_string(p->position), p->name, KindText(p->kind), p->unit,
                             std::to_string(p->decimals), p->ToleranceText()});
    }
  }

  OutlineTable& blocks = data.blocks;
  blocks.title = "Блоки (" + std::to_string(ds.BlockCount()) + ")";
  blocks.columns = {"№", "Блок", "Выборок", "Замеров", "Первая выборка", "Последняя выборка"};
  blocks.numeric = {true, false, true, true, false, false};
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    const TSPCBlock& block = *ds.Block(b);
    int points = 0;
    for (int s = 1; s <= block.SampleCount(); ++s) points += block.Sample(s)->PointCount();
    blocks.rows.push_back({std::to_string(b), block.name, std::to_string(block.SampleCount()), std::to_string(points),
                           SampleDate(block, false), SampleDate(block, true)});
  }
  return data;
}

std::string MainWindowTitle(const std::string& datasetName) {
  std::string title = "Morvalen " MV_VERSION;
  if (!datasetName.empty()) title += " - " + datasetName;
  return title;
}

std::string DatasetTypeText(const TDatasetSPC& ds) {
  return std::string("Набор данных SPC") + (ds.IsExample() ? " (пример)" : "");
}

std::string DatasetTabText(const std::string& datasetName) {
  return std::filesystem::path(datasetName).filename().string();
}

}  // namespace mv
