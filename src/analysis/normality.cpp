#include "analysis/normality.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "analysis/normal_distribution.h"
#include "analysis/value_list.h"
#include "core/numbers.h"

namespace mv {
namespace {

struct KsRow {
  std::uint16_t n;
  std::array<std::uint16_t, 3> thousandths;  // levels 0.10, 0.05, 0.01
};

// The Kolmogorov-Smirnov critical values, in thousandths.
constexpr std::array<KsRow, 36> kKsTable = {{
    {1, {950, 975, 995}},   {2, {776, 842, 929}},  {3, {636, 708, 829}},  {4, {565, 624, 734}},  {5, {509, 563, 669}},
    {6, {468, 519, 617}},   {7, {436, 483, 576}},  {8, {410, 454, 542}},  {9, {387, 430, 513}},  {10, {369, 409, 489}},
    {11, {352, 391, 468}},  {12, {338, 375, 449}}, {13, {325, 361, 432}}, {14, {314, 349, 418}}, {15, {304, 338, 404}},
    {16, {295, 327, 392}},  {17, {286, 318, 381}}, {18, {279, 309, 371}}, {19, {271, 301, 361}}, {20, {265, 294, 352}},
    {25, {238, 264, 317}},  {30, {218, 242, 290}}, {35, {202, 224, 269}}, {40, {189, 210, 252}}, {45, {179, 198, 238}},
    {50, {170, 188, 226}},  {55, {162, 180, 216}}, {60, {155, 172, 207}}, {65, {149, 166, 199}}, {70, {144, 160, 192}},
    {75, {139, 154, 185}},  {80, {135, 150, 179}}, {85, {131, 145, 174}}, {90, {127, 141, 169}}, {95, {124, 137, 165}},
    {100, {121, 134, 161}},
}};

}  // namespace

double KsCriticalValue(std::uint32_t n, int level) {
  if (n == 0 || level < 1 || level > 3) return 1;
  // The last row whose n is not above the asked one.
  const auto it = std::upper_bound(kKsTable.begin(), kKsTable.end(), n,
                                   [](std::uint32_t value, const KsRow& row) { return value < row.n; });
  const KsRow& row = *(it - 1);  // n >= 1 = the first row's n
  return row.thousandths[static_cast<std::size_t>(level - 1)] / 1000.0;
}

TNormality TestNormality(TValueList& list) {
  TNormality result;
  result.computed = true;
  const std::uint32_t n = list.Count();
  if (n < kNormalityMinValues) return result;
  result.enoughData = true;

  double d = 0;
  if (!SameValue(list.Sigma(), 0)) {
    const std::span<const double> x = list.Sorted();
    double previousE = 0;
    for (std::size_t i = 0; i < x.size(); ++i) {
      // A group of equal values ends before the first value that differs.
      if (i + 1 < x.size() && x[i + 1] == x[i]) continue;
      const double f = PhiCoarse((x[i] - list.Mean()) / list.Sigma());
      const double e = static_cast<double>(i + 1) / n;
      d = std::max({d, std::fabs(f - previousE), std::fabs(f - e)});
      previousE = e;
    }
  }
  result.statistic = d;
  result.critical = KsCriticalValue(n, 1);
  result.normal = d < result.critical;
  return result;
}

std::string NormalityText(const TNormality& result, Lang lang, bool withDetails) {
  const bool ru = lang == Lang::Ru;
  if (!result.computed) return ru ? "Не рассчитано" : "Not counted";
  if (!result.enoughData) {
    const std::string count = FormatInt(kNormalityMinValues);
    if (withDetails) {
      return ru ? "Неизвестно (для расчета необходимо не менее " + count + " значений)"
                : "Unknown (at least " + count + " points required)";
    }
    return ru ? "Неизвестно (мало данных)" : "Unknown (not enouth data)";  // sic: the system's English text
  }
  std::string text =
      result.normal ? (ru ? "Нормальное" : "Normal (Gauss)") : (ru ? "Не явл.нормальным" : "Not Normal (not Gauss)");
  if (withDetails) {
    text += (ru ? " (критерий Колмогорова: " : " (Kolmogorov test: ") + FormatFixed(result.statistic, 4) +
            (ru ? ", макс.предел: " : ", critical value: ") + FormatFixed(result.critical, 4) + ")";
  }
  return text;
}

}  // namespace mv
