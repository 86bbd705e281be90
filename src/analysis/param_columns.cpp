#include "analysis/param_columns.h"

#include <array>
#include <cmath>

#include "analysis/normality.h"
#include "analysis/param_stat.h"
#include "core/numbers.h"
#include "spc/dataset_spc.h"
#include "spc/parameter.h"
#include "spc/scale_list.h"

namespace mv {
namespace {

// Column 6's short name and English caption end in the Cyrillic letter С, its long name in the
// Latin C; column 17's short name begins with the Latin C. They are kept as the program has
// always shown them.
constexpr std::array<TColPrototype, TColPrototypeSet::kCount> kCatalogue{{
    {1, "Порядковый номер", "#", "#", 15, 31},
    {2, "Название параметра", "Параметр", "Parameter", 120, 31},
    {3, "Единица измерения", "Ед.изм.", "Unit", 60, 11},
    {4, "Допуск", "Допуск", "Spec.limits", 120, 11},
    {5, "Масштаб", "Масштаб", "Scale", 100, 31},
    {6, "Сигма C (внутригрупповая)", "Сигма С", "Sigma С", 60, 11},
    {7, "Сигма P (полная)", "Сигма P", "Sigma P", 60, 11},
    {8, "Ср.значение по выборкам", "X ср.", "X mean", 60, 9},
    {9, "Ср.размах по выборкам", "R ср.", "R mean", 60, 9},
    {10, "Среднее значение", "X ср.", "X mean", 60, 2},
    {11, "Ср.скользящий размах", "MR ср.", "MR mean", 60, 2},
    {12, "Индекс Cp", "Cp", "Cp", 50, 11},
    {13, "Индекс Cpk", "Cpk", "Cpk", 50, 11},
    {14, "Индекс Pp", "Pp", "Pp", 50, 11},
    {15, "Индекс Ppk", "Ppk", "Ppk", 50, 11},
    {16, "Тип измерений", "Тип изм.", "Measur.type", 70, 20},
    {17, "Ср.значение по выборкам", "Cреднее", "Mean", 60, 4},
    {18, "Индекс Тагути - Cpm", "Cpm", "Cpm", 50, 11},
    {19, "Воспроизводимость", "Воспроизв.", "Performance", 50, 20},
    {20, "Воспроизводимость (PPM)", "Воспроизв.", "Performance", 60, 0},
    {21, "Вид распределения", "Распред.", "Distribution", 100, 11},
    {22, "Ур.несоответствий (оценка)", "Q", "Q", 50, 11},
    {23, "Предельный ур.нес.(ПУН)", "ПУН", "QL", 50, 20},
    {24, "К-во выб.с УН > ПУН", "УН>ПУН", "Q>QL", 50, 20},
    {25, "Индекс Cm", "Cm", "Cm", 50, 11},
    {26, "Индекс Cmk", "Cmk", "Cmk", 50, 11},
}};

constexpr std::array<int, TColPrototypeSet::kCount> kEditorOrder{1,  2,  3,  4,  5,  8,  9,  10, 11, 6,  7,  12, 13,
                                                                 14, 15, 25, 26, 18, 21, 22, 16, 17, 19, 20, 23, 24};

constexpr int kIndexDecimals = 2;
constexpr int kMeanDecimals = 5;

// A number in the value scale of attribute data, with the automatic number of decimals.
std::string ScaledText(double share, AttrScale scale) {
  const double x = share * ScaleFactor(scale);
  return FormatTrimmed(x, AutoDecimals(x));
}

std::string ScaleName(const TSPCParameter& parameter, const ScaleList& scales) {
  if (parameter.scaleId == 0) return {};
  const Scale* scale = scales.Get(scales.IndexOfID(parameter.scaleId));
  return scale ? scale->name : std::string();
}

std::string None(Lang lang) { return lang == Lang::En ? "none" : "нет"; }

std::string RawValue(int column, int runningNumber, const TSPCParameter& parameter, const ScaleList& scales,
                     const TParamStat& st, const ColumnValueSettings& s) {
  const bool attribute = parameter.kind == DataKind::Attr;
  const bool figures = st.computed && st.samplesUsed > 0 && st.finite;
  const int d1 = parameter.decimals + 1;
  const auto quantity = [&](double x) { return figures && !attribute ? FormatFixed(x, d1) : std::string(); };
  const auto index = [&](const TCapIndex& i) {
    return figures && !attribute ? CapIndexText(i, kIndexDecimals, s.lang, false) : std::string();
  };
  switch (column) {
    case 1: return FormatInt(runningNumber);
    case 2: return parameter.name;
    case 3: return parameter.unit;
    case 4: return attribute ? std::string() : parameter.ToleranceText(s.lang) + ' ' + parameter.unit;
    case 5: return ScaleName(parameter, scales);
    case 6: return quantity(st.sigmaWithin);
    case 7: return quantity(st.sigmaOverall);
    case 8: return quantity(st.xDoubleBar);
    case 9: return quantity(st.rBar);
    case 10:
    case 11: return {};
    case 12: return index(st.cp);
    case 13: return index(st.cpk);
    case 14:
    case 25: return index(st.pp);
    case 15:
    case 26: return index(st.ppk);
    case 16: return attribute ? AttrTypeName(parameter.Type()) : std::string();
    case 17: return figures ? FormatTrimmed(st.xDoubleBar, kMeanDecimals) : std::string();
    case 18: return index(st.cpm);
    case 19: return figures && attribute ? ScaledText(st.attrLevel, s.valueScale) : std::string();
    case 20: return figures && attribute ? ScaledText(st.attrLevel, AttrScale::Ppm) : std::string();
    case 21: return figures && !attribute ? NormalityText(st.normality, s.lang, false) : std::string();
    case 22:
      // Without a tolerance (or with sigma 0) there is no estimate to show as a level.
      return figures && !attribute
                 ? LevelText(st.percentTotal, st.hasPercents && st.normality.normal, s.lang, false, s.levelUnit)
                 : std::string();
    case 23: {
      if (!attribute) return {};
      const auto limit = parameter.Usl();
      return limit ? ScaledText(*limit, s.valueScale) : None(s.lang);
    }
    case 24: {
      if (!attribute) return {};
      if (!parameter.Usl()) return None(s.lang);
      if (!figures) return {};
      return FormatInt(st.samplesAboveQualityLimit) + (s.lang == Lang::En ? " smp." : " выб.");
    }
    default: return {};
  }
}

}  // namespace

const TColPrototypeSet& TColPrototypeSet::ParameterTable() {
  static const TColPrototypeSet set;
  return set;
}

std::span<const TColPrototype> TColPrototypeSet::Columns() const { return kCatalogue; }

const TColPrototype* TColPrototypeSet::Find(int number) const {
  if (number < 1 || number > kCount) return nullptr;
  return &kCatalogue[static_cast<std::size_t>(number - 1)];
}

std::span<const int> TColPrototypeSet::EditorOrder() const { return kEditorOrder; }

std::vector<int> TColPrototypeSet::Offered(std::uint8_t offer) const {
  std::vector<int> numbers;
  for (const int n : kEditorOrder) {
    if (Find(n)->OfferedTo(offer)) numbers.push_back(n);
  }
  return numbers;
}

std::uint8_t ReportOffer(DataKind kind) {
  return kind == DataKind::Attr ? col_offer::kAttrReport : col_offer::kVarReport;
}

std::uint8_t ChartWindowOffer(ChartWindowType type) {
  switch (type) {
    case ChartWindowType::Individuals: return col_offer::kIndividualsChart;
    case ChartWindowType::Attribute: return col_offer::kAttributeChart;
    case ChartWindowType::Subgroup: break;
  }
  return col_offer::kSubgroupChart;
}

std::vector<int> ChartTableColumns(ChartWindowType type, std::uint32_t columnsMask) {
  std::vector<int> numbers;
  for (const int n : TColPrototypeSet::ParameterTable().Offered(ChartWindowOffer(type))) {
    if ((columnsMask >> (n - 1)) & 1U) numbers.push_back(n);
  }
  return numbers;
}

int AutoDecimals(double x) {
  const double a = std::fabs(x);
  if (a >= 20) return 0;
  if (a >= 2) return 1;
  if (a >= 0.2) return 2;
  if (a >= 0.02) return 3;
  if (a >= 0.002) return 4;
  if (a >= 0.0002) return 5;
  return 6;
}

std::string ColumnValue(int column, int runningNumber, const TSPCParameter& parameter, const ScaleList& scales,
                        const TParamStat& stat, const ColumnValueSettings& settings) {
  return std::string(Trim(RawValue(column, runningNumber, parameter, scales, stat, settings)));
}

ParamTable BuildParamTable(const TDatasetSPC& dataset, std::span<const int> columns, std::span<const TParamStat> stats,
                           const ColumnValueSettings& settings) {
  const TColPrototypeSet& catalogue = TColPrototypeSet::ParameterTable();
  ParamTable table;
  for (const int n : columns) {
    if (const TColPrototype* c = catalogue.Find(n)) {
      table.columns.push_back({n, std::string(c->Caption(settings.lang)), c->width});
    }
  }
  table.rows.reserve(stats.size());
  int running = 0;
  for (const TParamStat& st : stats) {
    ++running;
    std::vector<std::string>& row = table.rows.emplace_back(table.columns.size());
    const TSPCParameter* parameter = dataset.Parameter(st.parameter);
    if (!parameter) continue;
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      row[c] = ColumnValue(table.columns[c].number, running, *parameter, dataset.scales, st, settings);
    }
  }
  return table;
}

std::vector<std::pair<std::string, std::string>> StatisticsLines(std::span<const std::uint8_t> indicators,
                                                                 int runningNumber, const TSPCParameter& parameter,
                                                                 const ScaleList& scales, const TParamStat& stat,
                                                                 const ColumnValueSettings& settings) {
  const TColPrototypeSet& catalogue = TColPrototypeSet::ParameterTable();
  std::vector<std::pair<std::string, std::string>> lines;
  for (const std::uint8_t n : indicators) {
    const TColPrototype* c = catalogue.Find(n);
    if (!c) continue;
    lines.emplace_back(std::string(c->Caption(settings.lang)),
                       ColumnValue(n, runningNumber, parameter, scales, stat, settings));
  }
  return lines;
}

}  // namespace mv
