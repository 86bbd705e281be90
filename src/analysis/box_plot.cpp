#include "analysis/box_plot.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "analysis/value_list.h"
#include "core/numbers.h"
#include "core/text.h"

namespace mv {
namespace {

// Keeps one more outlier for drawing: equal to the last kept one within 1e-12 adds to its
// multiplicity; a new value is kept while there is room.
void KeepOutlier(BoxPlotWhisker& whisker, double x) {
  if (!whisker.outliers.empty() && SameValue(whisker.outliers.back().value, x)) {
    ++whisker.outliers.back().multiplicity;
  } else if (whisker.outliers.size() < kBoxPlotKeptOutliers) {
    whisker.outliers.push_back({x, 1});
  }
}

// The value at a 1-based position round(fraction n), halves to even, kept inside 1..n.
double AtRoundedPosition(std::span<const double> x, double fraction) {
  const double position = RoundHalfEven(fraction * static_cast<double>(x.size()));
  const auto index = static_cast<std::size_t>(std::clamp(position, 1.0, static_cast<double>(x.size())));
  return x[index - 1];
}

}  // namespace

TBoxPlot ComputeBoxPlot(TValueList& list) {
  TBoxPlot b;
  if (list.Count() < 3) return b;
  const std::span<const double> x = list.Sorted();
  const std::size_t n = x.size();
  b.computed = true;
  b.count = list.Count();
  b.mean = list.Mean();
  b.median = n % 2 == 1 ? x[n / 2] : (x[n / 2 - 1] + x[n / 2]) / 2;
  b.q1 = AtRoundedPosition(x, 0.25);
  b.q3 = AtRoundedPosition(x, 0.75);
  b.iqr = b.q3 - b.q1;

  b.lower.quartile = b.q1;
  b.lower.fence = std::max(x.front(), b.q1 - 1.5 * b.iqr);
  std::size_t i = 0;
  while (i < n && x[i] < b.lower.fence - kSameEpsilon) {
    KeepOutlier(b.lower, x[i]);
    ++b.outlierCount;
    ++i;
  }
  b.lower.end = i < n ? x[i] : x.back();  // the fence is a data value, so i < n always
  b.lower.length = std::fabs(b.lower.end - b.lower.quartile);

  b.upper.quartile = b.q3;
  b.upper.fence = std::min(x.back(), b.q3 + 1.5 * b.iqr);
  std::size_t j = n;
  while (j > 0 && x[j - 1] > b.upper.fence + kSameEpsilon) {
    KeepOutlier(b.upper, x[j - 1]);
    ++b.outlierCount;
    --j;
  }
  b.upper.end = j > 0 ? x[j - 1] : x.front();
  b.upper.length = std::fabs(b.upper.end - b.upper.quartile);
  return b;
}

std::string BoxPlotText(const TBoxPlot& b, int decimals) {
  if (!b.computed) return "не рассчитано";
  std::string text = "нижний ус: " + FormatFixed(b.lower.end, decimals) + ", квартиль Q1 (25%)";
  if (SameValue(b.q3, b.q1)) {
    text += " = медиана =";
  } else {
    text += ": " + FormatFixed(b.q1, decimals) + ", медиана: " + FormatFixed(b.median, decimals) + ",";
  }
  text += " квартиль Q3 (75%): " + FormatFixed(b.q3, decimals) + ", верхний ус: " + FormatFixed(b.upper.end, decimals) +
          ", выбросы: " + PluralRu(b.outlierCount, " точ", "ка", "ки", "ек") + " из " + FormatInt(b.count);
  return text;
}

}  // namespace mv
