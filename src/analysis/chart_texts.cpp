#include "analysis/chart_texts.h"

#include <cmath>
#include <filesystem>

#include "analysis/chart_kinds.h"
#include "analysis/special_causes.h"
#include "core/date_time.h"
#include "core/numbers.h"
#include "core/text.h"

namespace mv {

namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string Points(std::uint32_t n) { return PluralRu(n, " точ", "ка", "ки", "ек"); }
std::string Series(std::uint32_t n) { return PluralRu(n, " сери", "я", "и", "й"); }

}  // namespace

std::string DatasetDisplayName(const TDatasetSPC& dataset) {
  if (!Trim(dataset.processName).empty()) return dataset.processName;
  return std::filesystem::path(dataset.fileName).filename().string();
}

std::string ChartPairText(ChartKind upper, std::optional<ChartKind> lower) {
  using K = ChartKind;
  const auto is = [&](K k) { return lower && *lower == k; };
  switch (upper) {
    case K::Mean:
      if (is(K::Range)) return "средних значений и размахов (XR-chart)";
      if (is(K::StdDev)) return "средних значений и сигм (XS-chart)";
      if (is(K::Median)) return "средних значений и медиан";
      return "средних значений (X-chart)";
    case K::Range:
      if (is(K::Mean)) return "средних значений и размахов (XR-chart)";
      return "размахов (R-chart)";
    case K::StdDev:
      if (is(K::Mean)) return "средних значений и сигм (XS-chart)";
      return "сигм (S-chart)";
    case K::Median:
      if (is(K::Range)) return "медиан и размахов (MR-chart)";
      return "медиан (M-chart)";
    case K::Individuals:
    case K::MovingRange:
      if (is(K::MovingRange)) return "индивидуальных значений и скользящих размахов (x-MR-chart)";
      return "индивидуальных значений (x-chart)";
    case K::P: return "доли несоответствующих единиц (p-chart)";
    case K::Np: return "числа несоответствующих единиц (np-chart)";
    case K::C: return "числа несоответствий (c-chart)";
    case K::U: return "числа несоответствий на единицу (u-chart)";
  }
  return {};
}

std::string ChartWindowCaption(ChartKind upper, std::optional<ChartKind> lower, const SampleSelection& selection) {
  std::string text = "Контрольная карта " + ChartPairText(upper, lower);
  if (selection.dataset && selection.blocks.size() == 1) {
    if (const TSPCBlock* block = selection.dataset->Block(selection.blocks.front())) {
      text += " блок " + Quoted(block->name);
    }
  }
  if (selection.dataset) text += " - " + DatasetDisplayName(*selection.dataset);
  return text;
}

// --- conclusion ---

std::uint32_t SeriesHitCount(const CDataSet& set) {
  std::uint32_t n = 0;
  for (const TCriterionHit& hit : set.signals) n += hit.criterion != 1 ? 1U : 0U;
  return n;
}

ChartConclusion ConclusionLine(const TChart& chart, int criteriaInForce) {
  ChartConclusion result;
  const ChartSeries* current = chart.Current();
  if (!current) return result;
  const CDataSet& set = current->set;
  const std::uint32_t beyond = chart.beyondCount;
  if (chart.limitMode == LimitMode::Control && chart.limitsShown) {
    result.text = "Контрольная карта";
    if (chart.individual) result.text += " (n=" + FormatInt(chart.span) + ")";
    result.text += ": ";
    const std::uint32_t series = SeriesHitCount(set);
    if (beyond == 0 && set.signals.empty()) {
      result.text += "признаков влияния особых причин не обнаружено";
      result.mark = ConclusionMark::Good;
      return result;
    }
    result.text += "признаки влияния особых причин - ";
    std::string parts;
    if (beyond > 0) parts = Points(beyond) + " вне границ";
    if (series > 0) {
      if (!parts.empty()) parts += " и ";
      parts += Series(series) + " точек";
    }
    result.text += parts;
    result.text += ". Обнаружено критериев - " + FormatInt(CriteriaFoundCount(set)) + " из " +
                   FormatInt(criteriaInForce) + " проверенных";
    result.mark = ConclusionMark::Bad;
    return result;
  }
  if (chart.limitMode == LimitMode::Regulation && chart.limitsShown) {
    result.text = "Границы регулирования: ";
    result.text += beyond > 0 ? Points(beyond) + " вне границ" : std::string("все точки внутри границ");
    result.mark = beyond > 0 ? ConclusionMark::Bad : ConclusionMark::Good;
    return result;
  }
  if (chart.limitMode == LimitMode::Control && !chart.limitsComputable) {
    result.text = "Контрольные границы не рассчитываются, т.к. объемы выборок не одинаковы";
  }
  return result;
}

// --- zones ---

std::string ZoneAnalysisShort(const TZoneStat& stat) {
  std::string text = "Анализ зон КК: ";
  for (int zone = 0; zone < 4; ++zone) {
    if (zone > 0) text += ", ";
    text += std::string(ZoneCode(zone)) + " - " + FormatFixed(stat.cells[zone][0].percent, 0) + "%";
  }
  return text;
}

std::string ZoneAnalysisFull(const TZoneStat& stat) {
  std::string text = "Анализ зон контрольной карты:  ";
  for (int zone = 0; zone < 4; ++zone) {
    if (zone > 0) text += ";  ";
    const TZoneStat::Cell& cell = stat.cells[zone][0];
    text += std::string(ZoneName(zone)) + " - " + FormatInt(cell.count) + " (" + FormatFixed(cell.percent, 2) +
            "%, норма " + FormatFixed(ZoneExpectedPercent(zone), 2) + "%)";
  }
  return text;
}

// --- calculations ---

namespace {

void AppendLine(std::string& text, std::string_view line) {
  text += line;
  text += kCrLf;
}

}  // namespace

std::string CalculationsText(const std::vector<const TChart*>& charts, const TDatasetSPC& dataset) {
  std::string text;
  for (const TChart* chart : charts) {
    if (!chart) continue;
    const int d = chart->decimals;
    AppendLine(text, "***** " + chart->title);
    for (std::size_t i = 0; i < chart->series.size(); ++i) {
      const ChartSeries& s = chart->series[i];
      const CDataSet& set = s.set;
      const TSPCParameter* parameter = dataset.Parameter(s.parameter);
      AppendLine(text, "");
      AppendLine(text, "Параметр " + FormatInt(parameter ? parameter->position : s.parameter) + ". " +
                           (parameter ? parameter->name : std::string()));
      AppendLine(text, "  Среднее (" + std::string(ChartAlias(chart_alias::kCl)) + ") : " + FormatFixed(set.mean, d));
      if (set.hasUcl) AppendLine(text, "  " + chart->upperCode + " : " + FormatFixed(set.ucl, d));
      if (set.hasLcl) AppendLine(text, "  " + chart->lowerCode + " : " + FormatFixed(set.lcl, d));
      if (i == chart->current && chart->ownLimitsUsed) {
        // The entries whose sample size lies outside the band carry limits of their own.
        for (std::uint32_t k = 1; k <= chart->data.Count(); ++k) {
          const TChartPoint& p = chart->data.points[k - 1];
          if ((p.flags & chart_point_flag::kOwnLimits) == 0) continue;
          const std::string at = " (" + FormatInt(k) + ") : ";
          AppendLine(text, "  " + chart->upperCode + at + FormatFixed(p.ownUpper, d));
          AppendLine(text, "  " + chart->lowerCode + at + FormatFixed(p.ownLower, d));
        }
      }
      if (set.zones.valid) {
        AppendLine(text, "  Зоны КК");
        const auto band = [&](const ZoneBand& b, int zone, int side) {
          AppendLine(text, "    " + b.label + " : " + FormatFixed(b.upperEdge, d) + " .. " + FormatFixed(b.lowerEdge, d) +
                               "  " + FormatInt(set.zoneStat.cells[zone][side].count) + " шт");
        };
        // zones[] holds A, B, C; zone numbers are 1 (A), 2 (B), 3 (C).
        for (int z = 0; z < 3; ++z) band(set.zones.zones[z].upper, z + 1, 1);
        for (int z = 2; z >= 0; --z) band(set.zones.zones[z].lower, z + 1, 2);
      }
      if (chart->kind == ChartKind::Individuals && s.capability.hasPercents) {
        const bool normal = s.normality.normal;
        AppendLine(text, "");
        AppendLine(text, "  Q     = " + LevelText(s.capability.percentTotal, normal, Lang::Ru, false));
        if (s.capability.pp.status == cap_status::kComputed) {
          AppendLine(text, "  Pp    = " + FormatFixed(s.capability.pp.value, 2));
          AppendLine(text, "  Q(Pp) = " + LevelText(QOfIndex(s.capability.pp.value), normal, Lang::Ru, false));
        }
        if (s.capability.cp.status == cap_status::kComputed) {
          AppendLine(text, "  Cp    = " + FormatFixed(s.capability.cp.value, 2));
          AppendLine(text, "  Q(Cp) = " + LevelText(QOfIndex(s.capability.cp.value), normal, Lang::Ru, false));
        }
      }
    }
  }
  return text;
}

// --- point information ---

std::string PointPositionText(const CDataSet& set, std::uint32_t index) {
  if (!set.zones.valid || index < set.FirstIndex() || index > set.Count()) return {};
  const double distance = set.ZoneDistance(index);
  const ZonePlace place = set.ZoneOf(index);
  std::string text = FormatTrimmed(distance, 2);
  if (text == "-0") text = "0";
  if (distance > 0 && text != "0") text = "+" + text;
  text += " sigma (";
  if (place.zone == 0) {
    text += place.side == 2 ? "ниже LCL" : "выше UCL";
  } else {
    text += ZoneName(place.zone);
  }
  return text + ")";
}

namespace {

std::string BlockText(const TDatasetSPC& dataset, const TChartPoint& p) {
  std::string text = FormatInt(p.block);
  const TSPCBlock* block = dataset.Block(p.block);
  if (block && !block->name.empty()) text += " (" + block->name + ")";
  return text;
}

const TSPCSample* SampleOf(const TDatasetSPC& dataset, const TChartPoint& p) {
  const TSPCBlock* block = dataset.Block(p.block);
  return block ? block->Sample(p.sample) : nullptr;
}

bool PlottedValue(const CDataSet& set, std::uint32_t index, double& value) {
  const TDataSetPoint* point = set.Point(index);
  if (!point || index < set.FirstIndex() || (point->flags & dsp_flag::kPresent) == 0) return false;
  value = point->value;
  return true;
}

}  // namespace

std::string PointInformationText(const TChart& chart, const TDatasetSPC& dataset, std::uint32_t index) {
  const ChartSeries* series = chart.Current();
  if (!series || index < 1 || index > chart.data.Count()) return {};
  const TChartPoint& p = chart.data.points[index - 1];
  const CDataSet& set = series->set;
  const TSPCParameter* parameter = dataset.Parameter(series->parameter);
  const TSPCSample* sample = SampleOf(dataset, p);
  std::string text;
  std::string number = FormatInt(index);
  if (p.flags & chart_point_flag::kExcluded) number += " (неактивна)";       // inactive
  else if (p.flags & chart_point_flag::kFiltered) number += " (отфильтрована)";  // filtered out
  AppendLine(text, "Точка: " + number);
  double value = 0;
  const bool hasValue = PlottedValue(set, index, value);
  std::string valueText = hasValue ? FormatFixed(value, chart.decimals) : std::string("-");
  if (hasValue && !chart.unit.empty()) valueText += " " + chart.unit;
  AppendLine(text, "Значение: " + valueText);
  AppendLine(text, "Карта: " + chart.title);
  AppendLine(text, "Блок: " + BlockText(dataset, p));
  AppendLine(text, "Выборка: " + FormatInt(p.sample));
  AppendLine(text, "Время: " + (p.date > 0 ? DateTimeText(p.date) : std::string()));
  AppendLine(text, "Примечание: " + (sample ? sample->Note() : std::string()));
  AppendLine(text, "Событие: " + (sample ? sample->Event() : std::string()));
  if (chart.individual) AppendLine(text, "Замер: " + FormatInt(p.point));
  AppendLine(text, "Параметр: " + (parameter ? parameter->name : std::string()));
  AppendLine(text, "Допуск: " + (parameter ? parameter->ToleranceText() : std::string()));
  if (!chart.individual && sample && parameter) {
    AppendLine(text, "--- Замеры выборки (" + FormatInt(sample->PointCount()) + ")");
    for (int k = 1; k <= sample->PointCount(); ++k) {
      const TFileSmpPoint point = sample->Point(k);
      const bool has = point && point->HasValue(series->parameter);
      AppendLine(text, "  " + FormatInt(k) + ": " +
                           (has ? parameter->FormatValue(point->Value(series->parameter), true) : std::string("-")));
    }
  }
  if (chart.limitMode != LimitMode::Control || !chart.limitsShown || !hasValue) {
    text += kChartNotApplied;
    return text;
  }
  const std::string position = PointPositionText(set, index);
  if (!position.empty()) {
    AppendLine(text, "--- Положение точки на контрольной карте");
    AppendLine(text, "Расстояние от центральной линии: " + position);
  }
  for (const TCriterionHit& hit : set.signals) {
    if (hit.criterion == 1 || index < hit.first || index > hit.last) continue;
    AppendLine(text, CriterionHitText(hit, true));
  }
  const bool special = set.ZoneOf(index).zone == 0 || set.HasFlag(index, dsp_flag::kBeyond) ||
                       set.HasFlag(index, dsp_flag::kSeries);
  AppendLine(text, "--- Заключение по точке на контрольной карте");
  text += "Процесс в данной точке находится под действием ";
  text += special ? kSpecialCausesVerdict : kCommonCausesVerdict;
  return text;
}

// --- mouse texts ---

std::string PointMouseText(const TChart& chart, const TDatasetSPC& dataset, std::uint32_t index) {
  const ChartSeries* series = chart.Current();
  if (!series || index < 1 || index > chart.data.Count()) return {};
  const TChartPoint& p = chart.data.points[index - 1];
  const CDataSet& set = series->set;
  const TSPCParameter* parameter = dataset.Parameter(series->parameter);
  const TSPCSample* sample = SampleOf(dataset, p);
  std::string text = "Точка " + FormatInt(index) + ":  Блок " + BlockText(dataset, p) + ", выборка " + FormatInt(p.sample);
  if (sample && sample->Date() > 0) text += " (" + DateText(sample->Date()) + ")";
  if (chart.individual) {
    text += ", замер " + FormatInt(p.point);
    if (chart.data.withTime && p.date > 0) text += " " + TimeText(p.date);
  }
  if (p.flags & chart_point_flag::kFiltered) text += " - отфильтровано";  // filtered out
  text += "; " + (parameter ? parameter->name : std::string()) + ": ";
  if (p.flags & chart_point_flag::kExcluded) text += "точка неактивна, ";
  if (set.HasFlag(index, dsp_flag::kBeyond)) text += "вне границ, ";
  if (set.HasFlag(index, dsp_flag::kSeries)) text += "в серии, ";
  double value = 0;
  text += chart.code + "=";
  text += PlottedValue(set, index, value) ? FormatFixed(value, chart.decimals) : std::string("-");
  if (!chart.unit.empty()) text += " " + chart.unit;
  if (!chart.individual && !chart.attribute && sample && parameter && series->parameter >= 1 &&
      series->parameter <= static_cast<int>(kMaxParameters)) {
    const SampleStats st = sample->Stats(series->parameter);
    const int d = parameter->decimals;
    text += ", min=" + FormatFixed(st.min, d) + ", max=" + FormatFixed(st.max, d) + ", R=" + FormatFixed(st.range, d) +
            ", n=" + FormatInt(st.n);
    if (chart.kind != ChartKind::Mean) text += ", X=" + FormatFixed(st.mean, d + 1);
  }
  if (sample && !sample->Note().empty()) text += ", прим.: " + sample->Note();
  if (sample && !sample->Event().empty()) text += ", событие: " + sample->Event();
  return text;
}

std::string CriteriaAreaText(const TChart& chart, int criteriaInForce) {
  const ChartSeries* series = chart.Current();
  std::string codes;
  int found = 0;
  if (series) {
    for (int c = 1; c <= static_cast<int>(kCriterionCount); ++c) {
      if (!series->set.criterionFound[static_cast<std::size_t>(c - 1)]) continue;
      codes += std::string(CriterionCode(c)) + " ";
      ++found;
    }
  }
  return "Зона критериев особых причин вариации - обнаружено " + FormatInt(found) + " из " + FormatInt(criteriaInForce) +
         " проверенных [ " + codes + "]";
}

// --- standard form ---

bool GostFormAllowed(ChartKind upper, std::optional<ChartKind> lower) {
  if (!lower) return false;
  switch (upper) {
    case ChartKind::Mean: return *lower == ChartKind::Range || *lower == ChartKind::StdDev;
    case ChartKind::Median: return *lower == ChartKind::Range;
    case ChartKind::Individuals: return *lower == ChartKind::MovingRange;
    default: return false;
  }
}

// --- parameter choice ---

std::string ParameterChoicePrompt(std::string_view pairText) {
  return "Отметьте параметры, по которым будет построена\r\nконтрольная карта " + std::string(pairText);
}

std::string NoFittingParameterText(std::string_view pairText) {
  return "В текущем наборе нет ни одного параметра, по которому можно было бы построить контрольную карту " +
         std::string(pairText);
}

std::vector<ParameterChoiceItem> ParameterChoiceItems(const TDatasetSPC& dataset, ChartKind kind) {
  std::vector<ParameterChoiceItem> items;
  for (int position = 1; position <= dataset.ParameterCount(); ++position) {
    const TSPCParameter& parameter = *dataset.Parameter(position);
    if (!ParameterFitsChart(parameter, kind)) continue;
    std::string text = parameter.name;
    if (parameter.kind == DataKind::Attr) text += kAttributeParameterMark;
    items.push_back({position, std::move(text)});
  }
  return items;
}

}  // namespace mv
