#include "analysis/histogram.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/data_set.h"
#include "analysis/normal_distribution.h"
#include "analysis/value_list.h"
#include "core/numbers.h"

namespace mv {
namespace {

int ClampBins(std::int64_t k) {
  return static_cast<int>(std::clamp<std::int64_t>(k, kHistogramMinBins, kHistogramMaxBins));
}

// Tallies x among the distinct values (kept ascending, so a value is found by bisection and the
// whole tally stays linear in the data).
void TallyUnique(THistogram& h, double x) {
  auto& list = h.uniqueValues;
  const auto it = std::lower_bound(list.begin(), list.end(), x - kSameEpsilon,
                                   [](const UniqueValue& u, double v) { return u.value < v; });
  if (it != list.end() && it->value <= x + kSameEpsilon) {
    ++it->count;
    ++h.uniqueTotal;
    return;
  }
  if (list.size() >= kMaxUniqueValues) {
    h.uniqueOverflow = true;
    return;
  }
  list.insert(it, UniqueValue{x, 1});
  ++h.uniqueTotal;
}

}  // namespace

int HistogramBinCount(std::uint32_t n, int requested, int adjustment) {
  int k = 0;
  if (requested != 0) {
    k = ClampBins(requested);
  } else if (n == 0) {
    k = kHistogramMinBins;
  } else {
    k = ClampBins(static_cast<std::int64_t>(RoundHalfEven(3.3 * std::log10(static_cast<double>(n)))) + 1);
  }
  if (adjustment != 0) k = ClampBins(static_cast<std::int64_t>(k) + adjustment);
  return k;
}

std::optional<HistogramRange> CommonHistogramRange(std::span<const CDataSet* const> sets) {
  std::optional<HistogramRange> range;
  for (const CDataSet* set : sets) {
    if (!set || !set->valid || set->activeCount == 0) continue;
    if (!range) {
      range = HistogramRange{set->min, set->max};
    } else {
      range->min = std::min(range->min, set->min);
      range->max = std::max(range->max, set->max);
    }
  }
  return range;
}

void THistogram::Compute(const CDataSet& set, int requested, const std::optional<HistogramRange>& range) {
  const std::int32_t adjustment = userAdjustment;
  *this = THistogram{};
  userAdjustment = adjustment;

  valueCount = set.activeCount;
  binCount = HistogramBinCount(valueCount, requested, userAdjustment);
  min = range ? range->min : set.min;
  max = range ? range->max : set.max;
  if (std::fabs(max - min) < kSameEpsilon) {
    min -= 1;
    max += 1;
  }
  width = max - min;
  binWidth = width / binCount;
  mean = set.mean;
  sigma = set.stdDev;

  bins.resize(static_cast<std::size_t>(binCount));
  for (int i = 1; i <= binCount; ++i) {
    HistogramBin& b = bins[static_cast<std::size_t>(i - 1)];
    b.lower = min + (i - 1) * width / binCount;
    b.upper = i == binCount ? max : b.lower + width / binCount;
    b.centre = (b.lower + b.upper) / 2;
  }
  computed = true;

  TValueList values;
  const bool listed = valueCount > 0 && values.Allocate(valueCount);
  for (std::uint32_t i = set.FirstIndex(); i <= set.Count(); ++i) {
    const TDataSetPoint* p = set.Point(i);
    if (!p || !p->Analysed()) continue;
    const double x = p->value;
    ++bins[static_cast<std::size_t>(BinOf(x) - 1)].count;
    TallyUnique(*this, x);
    if (listed) values.Add(x);
  }

  if (sigma > 0) normalPeakDensity = 1 / (sigma * std::sqrt(2 * std::numbers::pi));
  for (HistogramBin& b : bins) {
    if (valueCount > 0) b.shareDensity = static_cast<double>(b.count) / valueCount / binWidth;
    if (sigma > 0) b.normalDensity = NormalDensity(sigma, mean, b.centre);
    maxShareDensity = std::max(maxShareDensity, b.shareDensity);
  }
  scaleTop = std::max(maxShareDensity, normalPeakDensity);

  // The normality test and the box plot need a mean and sigma that are numbers.
  if (listed && AllFinite({mean, sigma})) {
    values.SetMeanAndSigma(mean, sigma);
    normality = TestNormality(values);
    boxPlot = ComputeBoxPlot(values);
  }
}

std::string HistogramNotFiniteText() { return "Невозможно построить гистограмму: " + std::string(kValuesTooLarge); }

bool THistogram::FiguresFinite() const {
  if (!AllFinite({min, max, width, binWidth, mean, sigma, maxShareDensity, normalPeakDensity, scaleTop})) return false;
  if (!(binWidth > 0)) return false;  // equal values so large that max + 1 is max
  return std::all_of(bins.begin(), bins.end(), [](const HistogramBin& b) {
    return AllFinite({b.shareDensity, b.normalDensity, b.lower, b.upper, b.centre});
  });
}

const HistogramBin* THistogram::Bin(int i) const {
  if (i < 1 || i > binCount || static_cast<std::size_t>(i) > bins.size()) return nullptr;
  return &bins[static_cast<std::size_t>(i - 1)];
}

int THistogram::BinOf(double x) const {
  if (!computed || binCount < 1) return 0;
  const double t = std::trunc((x - min) / binWidth);
  // (Written so that a NaN quotient, from ranges near the limits of a double, gives bin 1.)
  int i = !(t >= 1) ? 1 : (t >= binCount ? binCount : static_cast<int>(t) + 1);
  // The division may land a hair beside an edge ((0.3 - 0.1) / 0.2 is 0.9999999999999999):
  // settle against the edges as written, taking a value within 1e-12 of an inner edge as on it,
  // so that it is in the upper bin.
  while (i < binCount && x >= bins[static_cast<std::size_t>(i)].lower - kSameEpsilon) ++i;
  while (i > 1 && x < bins[static_cast<std::size_t>(i - 1)].lower - kSameEpsilon) --i;
  return i;
}

int THistogram::BinAt(double x) const {
  if (!computed || x < min || x > max) return 0;
  return BinOf(x);
}

std::string UniqueValuesText(const THistogram& histogram, Lang lang) {
  const auto n = static_cast<std::int64_t>(histogram.uniqueValues.size());
  const std::string prefix = histogram.uniqueOverflow ? ">" : "";
  if (lang != Lang::Ru) return prefix + FormatInt(n) + " unique values";
  return prefix + PluralRu(n, "\r уник.значени", "е", "я", "й");
}

}  // namespace mv
