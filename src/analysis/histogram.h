#pragma once
// The histogram of one parameter's analysed values: bins of equal width between the analysed
// minimum and maximum, their counts and share densities, the fitted normal density, the list
// of distinct values, and the normality and box-plot figures of the same values.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "analysis/box_plot.h"
#include "analysis/normality.h"
#include "core/text.h"

namespace mv {

class CDataSet;

inline constexpr int kHistogramMinBins = 5;
inline constexpr int kHistogramMaxBins = 20;
// Distinct values the histogram tallies; one more sets the overflow flag.
inline constexpr std::size_t kMaxUniqueValues = 400;

// One bin. Counts are 32-bit: a histogram may hold every value of 200 blocks of 1000 samples
// of 200 points, far beyond 65535.
struct HistogramBin {
  std::uint32_t count = 0;
  double shareDensity = 0;   // count / N / bin width
  double normalDensity = 0;  // normal density at the centre (0 when sigma is 0)
  double lower = 0;
  double upper = 0;
  double centre = 0;
};

struct UniqueValue {
  double value = 0;
  std::uint32_t count = 0;
};

// A horizontal range shared by several histograms ("Соблюдать масштаб параметров").
struct HistogramRange {
  double min = 0;
  double max = 0;
};

// The automatic bin count for n values: round(3.3 log10 n) + 1 (halves to even) limited to
// 5..20; n = 0 gives 5. A requested count (non-zero) replaces it, limited to 5..20; a
// non-zero adjustment is added and the result limited again.
int HistogramBinCount(std::uint32_t n, int requested, int adjustment);

// The range of analysed values of several data sets (the valid, non-empty ones); nothing when
// none of them has a value.
std::optional<HistogramRange> CommonHistogramRange(std::span<const CDataSet* const> sets);

class THistogram {
 public:
  // Added to the automatic count; the window's buttons for more and fewer bins change it.
  std::int32_t userAdjustment = 0;

  // --- results of Compute ---
  bool computed = false;
  std::uint32_t valueCount = 0;  // N: the data set's analysed values
  int binCount = 0;              // k, 5..20
  double min = 0;                // the analysed minimum and maximum, 1 apart each way when equal
  double max = 0;
  double width = 0;     // max - min
  double binWidth = 0;  // width / k
  double mean = 0;      // of the data set
  double sigma = 0;
  std::vector<HistogramBin> bins;  // bin i is bins[i - 1]
  double maxShareDensity = 0;
  double normalPeakDensity = 0;  // 1 / (sigma sqrt(2 pi)); 0 when sigma is 0
  double scaleTop = 0;           // the larger of the two
  std::vector<UniqueValue> uniqueValues;  // ascending by value, at most 400
  bool uniqueOverflow = false;            // a 401st distinct value arrived
  std::uint32_t uniqueTotal = 0;          // sum of the listed counts
  TNormality normality;
  TBoxPlot boxPlot;

  // Computes everything from the data set's analysed points (its statistics must be
  // computed). requested 0 asks for the automatic bin count. A shared range replaces the data
  // set's own minimum and maximum; values outside it go to the end bins.
  void Compute(const CDataSet& set, int requested = 0, const std::optional<HistogramRange>& range = std::nullopt);

  // Every figure (extremes, widths, mean, sigma, densities, edges) is a finite number and the
  // bins have a width: values near the limits of a double give neither.
  bool FiguresFinite() const;

  // Bin 1..k, nullptr outside.
  const HistogramBin* Bin(int i) const;
  // The bin a value falls into: trunc((x - min) / bin width) + 1 limited to 1..k, with a value
  // on an inner edge in the upper bin (exactly as the edges are written). 0 before Compute.
  int BinOf(double x) const;
  // The bin under a horizontal position of the data axis, 0 when none.
  int BinAt(double x) const;
};

// The message that a histogram cannot be built from values too large to compute with
// ("Невозможно построить гистограмму: значения параметра слишком велики для вычислений").
std::string HistogramNotFiniteText();

// "400\r уник.значений", ">400\r уник.значений" after an overflow, "1\r уник.значение",
// "3\r уник.значения"; in English "3 unique values".
std::string UniqueValuesText(const THistogram& histogram, Lang lang = Lang::Ru);

}  // namespace mv
