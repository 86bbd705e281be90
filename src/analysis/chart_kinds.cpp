#include "analysis/chart_kinds.h"

#include <array>

#include "core/numbers.h"

namespace mv {
namespace {

struct KindRow {
  std::string_view code;
  std::string_view titleRu;
  std::string_view titleEn;
};

constexpr std::array<KindRow, kChartKindTableCount> kKinds{{
    {"X", "Карта средних значений", "X-bar Chart"},
    {"R", "Карта размахов", "R Chart"},
    {"S", "Карта стандартных отклонений (сигм)", "S Chart"},
    {"M", "Карта медиан", "M Chart"},
    {"x", "Карта индивидуальных значений", "Individuals"},
    {"MR", "Карта скользящих размахов", "MR Chart"},
    {"p", "Карта доли несоответствующих единиц", "p-chart"},
    {"np", "Карта числа несоответствующих единиц", "np-chart"},
    {"c", "Карта числа несоответствий", "c-chart"},
    {"u", "Карта числа несоответствий на единицу", "u-chart"},
    {"n", "", ""},  // in the table, without a chart
}};

constexpr std::array<std::string_view, 6> kAliases{"USL", "LSL", "Nom", "UCL", "LCL", "CL"};

}  // namespace

std::optional<ChartKind> ChartKindOf(int number) {
  if (number < 1 || number > kChartKindCount) return std::nullopt;
  return static_cast<ChartKind>(number);
}

std::string_view ChartKindCode(int number) {
  if (number < 1 || number > kChartKindTableCount) return "???";
  return kKinds[static_cast<std::size_t>(number - 1)].code;
}

std::optional<ChartKind> ChartKindOfCode(std::string_view code) {
  for (int i = 1; i <= kChartKindCount; ++i) {
    if (kKinds[static_cast<std::size_t>(i - 1)].code == code) return static_cast<ChartKind>(i);
  }
  return std::nullopt;
}

std::string ChartKindTitle(ChartKind kind, Lang lang, int span) {
  const KindRow& row = kKinds[static_cast<std::size_t>(ChartKindNumber(kind) - 1)];
  std::string title(lang == Lang::En ? row.titleEn : row.titleRu);
  if (kind == ChartKind::MovingRange) title += " (n=" + FormatInt(span) + ")";
  return title;
}

bool IsCharacteristicChart(ChartKind kind) {
  return kind == ChartKind::Mean || kind == ChartKind::Median || kind == ChartKind::Individuals;
}

int ChartExtraDecimals(ChartKind kind) { return kind == ChartKind::Mean || kind == ChartKind::StdDev ? 1 : 0; }

bool LowerKindAllowed(ChartKind upper, ChartKind lower) {
  const int u = ChartKindNumber(upper);
  const int l = ChartKindNumber(lower);
  if (u >= 1 && u <= 4) return l >= 1 && l <= 4;
  if (upper == ChartKind::Individuals) return lower == ChartKind::MovingRange;
  return false;
}

bool UpperKindAllowed(ChartKind upper) { return upper != ChartKind::MovingRange; }

std::string_view AttrScaleName(AttrScale scale, ChartKind kind) {
  switch (scale) {
    case AttrScale::Percent: return kind == ChartKind::U ? "Число несоответствий на 100 единиц" : "Процент";
    case AttrScale::Ppm: return "PPM";
    case AttrScale::Share: break;
  }
  return "Доля  (от 0 до 1)";
}

std::string_view AttrScaleUnit(AttrScale scale, ChartKind kind) {
  switch (scale) {
    case AttrScale::Percent: return kind == ChartKind::U ? "нст/100ед" : "%";
    case AttrScale::Ppm: return "PPM";
    case AttrScale::Share: break;
  }
  return "";
}

std::string_view ChartAlias(int number) {
  if (number < 1 || number > static_cast<int>(kAliases.size())) return "???";
  return kAliases[static_cast<std::size_t>(number - 1)];
}

std::string_view LowerLimitTitle(LimitMode mode, Lang lang) {
  if (mode == LimitMode::Regulation) return lang == Lang::En ? "Low Regulation Limit" : "Нижняя граница регулирования";
  return lang == Lang::En ? "Low Control Limit" : "Нижняя контрольная граница";
}

std::string_view UpperLimitTitle(LimitMode mode, Lang lang) {
  if (mode == LimitMode::Regulation) {
    return lang == Lang::En ? "Upper Regulation Limit" : "Верхняя граница регулирования";
  }
  return lang == Lang::En ? "Upper Control Limit" : "Верхняя контрольная граница";
}

std::string_view LimitPairTitle(LimitMode mode, Lang lang) {
  if (mode == LimitMode::Regulation) return lang == Lang::En ? "Regulation limits" : "Границы регулирования";
  return lang == Lang::En ? "Control chart" : "Контрольная карта";
}

std::string_view CentralLineTitle(Lang lang) { return lang == Lang::En ? "Central Line" : "Центральная линия карты"; }

}  // namespace mv
