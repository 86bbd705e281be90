#include "analysis/chart_constants.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <numbers>
#include <vector>

#include "spc/spc_types.h"

namespace mv {
namespace {

struct Row {
  int a2, a2m, d3, d4, b3, b4, d2, c4;
};

// n = 2..25.
constexpr std::array<Row, 24> kRows{{
    {1880, 1880, 0, 3267, 0, 3267, 1128, 7979},       {1023, 1187, 0, 2574, 0, 2568, 1693, 8862},
    {729, 796, 0, 2282, 0, 2266, 2059, 9213},         {577, 691, 0, 2114, 0, 2089, 2326, 9400},
    {483, 548, 0, 2004, 30, 1970, 2534, 9515},        {419, 508, 76, 1924, 118, 1882, 2704, 9594},
    {373, 433, 136, 1864, 185, 1815, 2847, 9650},     {337, 412, 184, 1816, 239, 1761, 2970, 9693},
    {308, 362, 223, 1777, 284, 1716, 3078, 9727},     {285, 362, 256, 1744, 321, 1679, 3173, 9754},
    {266, 362, 283, 1717, 354, 1646, 3258, 9776},     {249, 362, 307, 1693, 382, 1618, 3336, 9794},
    {235, 362, 328, 1672, 406, 1594, 3407, 9810},     {223, 362, 347, 1653, 428, 1572, 3472, 9823},
    {212, 362, 363, 1637, 448, 1552, 3532, 9835},     {203, 362, 378, 1622, 466, 1534, 3588, 9845},
    {194, 362, 391, 1608, 482, 1518, 3640, 9854},     {187, 362, 403, 1597, 497, 1503, 3689, 9862},
    {180, 362, 415, 1585, 510, 1490, 3735, 9869},     {173, 362, 425, 1575, 523, 1477, 3778, 9876},
    {167, 362, 434, 1566, 534, 1466, 3819, 9882},     {162, 362, 443, 1557, 545, 1455, 3858, 9887},
    {157, 362, 451, 1548, 555, 1445, 3895, 9892},     {153, 362, 459, 1541, 565, 1435, 3931, 9896},
}};

constexpr std::array<int, 9> kE2{266, 177, 146, 129, 118, 111, 105, 101, 98};  // w = 2..10

// Subgroup sizes below 2 take the row of 2; above 25 the row of 25 serves only the median factor.
const Row& RowOf(int n) { return kRows[static_cast<std::size_t>(std::clamp(n, 2, kChartConstantsMaxN) - 2)]; }

// Half-width factor 3 / (c4' · sqrt(2(n − 1))) of the S chart beyond the table.
double BFactorBeyondTable(int n) {
  const double c4 = 4.0 * (n - 1) / (4.0 * n - 3.0);
  return 3.0 / (c4 * std::sqrt(2.0 * (n - 1)));
}

// The integrals run over -kReach..kReach standard deviations with step kStep: beyond, the
// normal density is below 1e-17. Every integrand is smooth and vanishes with all its
// derivatives at the ends, where the trapezoid rule converges faster than any power of the step.
constexpr double kReach = 9;
constexpr double kStep = 0.05;
constexpr int kNodes = 360;  // 2 kReach / kStep
static_assert(kNodes * kStep == 2 * kReach);

double UpperTail(double z) { return 0.5 * std::erfc(z / std::numbers::sqrt2); }

// d2 = ∫ 1 − Φ(x)^n − (1 − Φ(x))^n dx, an even integrand: twice the half line.
double RangeMean(int n) {
  double sum = 0;
  for (int k = 0; k <= kNodes / 2; ++k) {
    const double q = UpperTail(k * kStep);  // 1 − Φ(x), exact in the far tail
    const double g = 1 - std::exp(n * std::log1p(-q)) - std::pow(q, n);
    sum += k == 0 ? g / 2 : g;
  }
  return 2 * sum * kStep;
}

// The variance of the range about its mean d2: the range w = y − x of the smallest value x and
// the largest y has the density n(n − 1)·φ(x)·φ(y)·(Φ(y) − Φ(x))^(n−2) over x < y. Near the
// diagonal the density falls off as w^(n−2), so summing the nodes above it loses nothing.
double RangeVariance(int n, double d2) {
  std::vector<double> lower(kNodes + 1), upper(kNodes + 1), density(kNodes + 1);
  for (int k = 0; k <= kNodes; ++k) {
    const double x = -kReach + k * kStep;
    lower[static_cast<std::size_t>(k)] = UpperTail(-x);
    upper[static_cast<std::size_t>(k)] = UpperTail(x);
    density[static_cast<std::size_t>(k)] = std::exp(-x * x / 2) / std::sqrt(2 * std::numbers::pi);
  }
  double sum = 0;
  for (std::size_t i = 0; i <= kNodes; ++i) {
    // Above the centre the difference of upper tails keeps its digits; below, of lower ones.
    const bool aboveCentre = static_cast<int>(i) >= kNodes / 2;
    for (std::size_t j = i + 1; j <= kNodes; ++j) {
      const double inside = aboveCentre ? upper[i] - upper[j] : lower[j] - lower[i];
      if (inside <= 0) continue;
      const double w = static_cast<double>(j - i) * kStep - d2;
      sum += w * w * density[i] * density[j] * std::exp((n - 2) * std::log(inside));
    }
  }
  return static_cast<double>(n) * (n - 1) * kStep * kStep * sum;
}

RangeMoments ComputeRangeMoments(int n) {
  RangeMoments m;
  m.d2 = RangeMean(n);
  m.d3 = std::sqrt(std::max(0.0, RangeVariance(n, m.d2)));
  return m;
}

// Subgroup sizes beyond the table that a sample can have are worked out once each, on first use.
struct ExactRows {
  static constexpr int kFirst = kChartConstantsMaxN + 1;
  static constexpr int kLast = static_cast<int>(kMaxPoints);
  std::array<std::once_flag, kLast - kFirst + 1> once;
  std::array<RangeMoments, kLast - kFirst + 1> rows;

  RangeMoments Get(int n) {
    if (n < kFirst || n > kLast) return ComputeRangeMoments(n);
    const auto i = static_cast<std::size_t>(n - kFirst);
    std::call_once(once[i], [&] { rows[i] = ComputeRangeMoments(n); });
    return rows[i];
  }
};

RangeMoments BeyondTable(int n) {
  static ExactRows rows;
  return rows.Get(n);
}

}  // namespace

RangeMoments ExactRangeMoments(int n) {
  n = std::max(n, 2);
  return n > kChartConstantsMaxN ? BeyondTable(n) : ComputeRangeMoments(n);
}

double ExactC4(int n) {
  n = std::max(n, 2);
  return std::sqrt(2.0 / (n - 1)) * std::exp(std::lgamma(n / 2.0) - std::lgamma((n - 1) / 2.0));
}

double ConstA2(int n) {
  if (n > kChartConstantsMaxN) return 3.0 / (BeyondTable(n).d2 * std::sqrt(static_cast<double>(n)));
  return RowOf(n).a2 / 1000.0;
}
double ConstA2Median(int n) { return RowOf(n).a2m / 1000.0; }
double ConstD3(int n) {
  if (n > kChartConstantsMaxN) {
    const RangeMoments m = BeyondTable(n);
    return std::max(0.0, 1.0 - 3.0 * m.d3 / m.d2);
  }
  return RowOf(n).d3 / 1000.0;
}
double ConstD4(int n) {
  if (n > kChartConstantsMaxN) {
    const RangeMoments m = BeyondTable(n);
    return 1.0 + 3.0 * m.d3 / m.d2;
  }
  return RowOf(n).d4 / 1000.0;
}
double ConstB3(int n) {
  if (n > kChartConstantsMaxN) return std::max(0.0, 1.0 - BFactorBeyondTable(n));
  return RowOf(n).b3 / 1000.0;
}
double ConstB4(int n) {
  if (n > kChartConstantsMaxN) return 1.0 + BFactorBeyondTable(n);
  return RowOf(n).b4 / 1000.0;
}
double ConstD2(int n) {
  if (n > kChartConstantsMaxN) return BeyondTable(n).d2;
  return RowOf(n).d2 / 1000.0;
}
double ConstC4(int n) {
  if (n > kChartConstantsMaxN) return ExactC4(n);
  return RowOf(n).c4 / 10000.0;
}
double ConstE2(int w) { return kE2[static_cast<std::size_t>(std::clamp(w, 2, 10) - 2)] / 100.0; }

}  // namespace mv
