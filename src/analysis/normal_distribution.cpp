#include "analysis/normal_distribution.h"

#include <specialfunctions.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <numbers>

#include "core/numbers.h"

namespace mv {
namespace {

// Coarse table: Φ at 0.0, 0.1 ... 5.0, in units of 1e-8, as the printed tables give it.
constexpr std::array<std::int32_t, 51> kCoarse = {
    50000000, 53980000, 57930000, 61790000, 65540000, 69150000, 72570000, 75800000, 78810000, 81590000, 84130000,
    86430000, 88490000, 90320000, 91920000, 93320000, 94520000, 95540000, 96410000, 97130000, 97720000, 98210000,
    98610000, 98930000, 99180000, 99370000, 99530000, 99650000, 99740000, 99810000, 99865000, 99903000, 99931000,
    99952000, 99966000, 99976700, 99984100, 99989200, 99992800, 99995200, 99996831, 99997933, 99998665, 99999145,
    99999458, 99999660, 99999789, 99999870, 99999921, 99999952, 100000000};

// Fine table: nodes k / 200 for k = 0 .. 1294 (0 .. 6.47).
constexpr int kFineLast = 1294;
constexpr double kFineSteps = 200;  // nodes per unit of z
constexpr double kFineMax = 6.47;

// The table holds the upper tail 1 - Φ(x) = erfc(x / sqrt 2) / 2 of every node rather than Φ:
// near 6.47 the tail is 5e-11, which Φ itself (a double just below 1) keeps only to about five
// significant digits, while the tail keeps all sixteen. Interpolating the tail and subtracting
// once at the end is the same interpolation with no cancellation, and neighbouring nodes never
// become equal.
struct FineTable {
  std::array<double, kFineLast + 1> tail{};
  FineTable() {
    for (int k = 0; k <= kFineLast; ++k) {
      tail[static_cast<std::size_t>(k)] = 0.5 * std::erfc(Node(k) / std::sqrt(2.0));
    }
  }
  static double Node(int k) { return k / kFineSteps; }
  double Tail(int k) const { return tail[static_cast<std::size_t>(k)]; }
};

const FineTable& Fine() {
  static const FineTable table;
  return table;
}

// The upper tail at a >= 0 (in units of z) from the fine table.
double FineTail(double a) {
  const FineTable& t = Fine();
  const double units = a * kFineSteps;
  const int nearest = static_cast<int>(std::lround(units));
  if (nearest <= kFineLast && std::fabs(a - FineTable::Node(nearest)) <= kSameEpsilon) return t.Tail(nearest);
  const int k = std::min(static_cast<int>(units), kFineLast - 1);
  const double s = units - k;  // 0..1 between nodes k and k + 1
  if (k == 0 || k >= kFineLast - 2) return t.Tail(k) + (t.Tail(k + 1) - t.Tail(k)) * s;
  // Lagrange over k - 1, k, k + 1, k + 2 (equally spaced), in the local coordinate s.
  const double wm1 = -s * (s - 1) * (s - 2) / 6;
  const double w0 = (s + 1) * (s - 1) * (s - 2) / 2;
  const double w1 = -(s + 1) * s * (s - 2) / 2;
  const double w2 = (s + 1) * s * (s - 1) / 6;
  return wm1 * t.Tail(k - 1) + w0 * t.Tail(k) + w1 * t.Tail(k + 1) + w2 * t.Tail(k + 2);
}

// The z >= 0 whose upper tail is `tail` (5e-11 <= tail < 0.5).
double InverseFineTail(double tail) {
  const FineTable& t = Fine();
  // First node whose Φ is not below 1 - tail, i.e. whose tail is not above `tail`.
  const auto it = std::lower_bound(t.tail.begin(), t.tail.end(), tail, std::greater<double>());
  if (it == t.tail.end()) return kFineMax;
  const int j = std::max(1, static_cast<int>(it - t.tail.begin()));
  const double lo = FineTable::Node(j - 1);
  const double hi = FineTable::Node(j);

  auto linear = [&]() {
    const double span = t.Tail(j - 1) - t.Tail(j);
    if (!(span > 0)) return hi;
    return lo + (hi - lo) * (t.Tail(j - 1) - tail) / span;
  };

  double z = 0;
  if (j - 2 < 0 || j + 1 > kFineLast) {
    z = linear();
  } else {
    // Inverse Lagrange over j - 2 .. j + 1: z as a cubic in the tail value.
    const int first = j - 2;
    bool distinct = true;
    for (int a = 0; a < 4 && distinct; ++a) {
      for (int b = a + 1; b < 4; ++b) {
        if (!(t.Tail(first + a) != t.Tail(first + b))) distinct = false;
      }
    }
    if (!distinct) {
      z = linear();
    } else {
      for (int a = 0; a < 4; ++a) {
        double w = 1;
        for (int b = 0; b < 4; ++b) {
          if (b == a) continue;
          w *= (tail - t.Tail(first + b)) / (t.Tail(first + a) - t.Tail(first + b));
        }
        z += w * FineTable::Node(first + a);
      }
    }
  }
  // The answer lies between the two nodes that bracket the tail; keeping it there makes the
  // result monotone across intervals whatever the cubic does.
  if (!std::isfinite(z)) z = linear();
  return std::clamp(z, lo, hi);
}

struct TTable {
  std::array<double, 101> value{};  // index = degrees of freedom, 1..100
  TTable() {
    for (int df = 1; df <= 100; ++df) {
      double q = 1.959963984540054;  // the normal quantile, only if the library refused
      try {
        q = alglib::invstudenttdistribution(df, 0.975);
      } catch (...) {
        // alglib::ap_error on a domain error; df 1..100 at 0.975 is inside its domain.
      }
      value[static_cast<std::size_t>(df)] = q;
    }
  }
};

}  // namespace

double PhiCoarse(double z) {
  const double a = std::fabs(z);
  if (a < 0.0001) return 0.5;
  if (!(a < 5)) return z > 0 ? 1 : 0;  // NaN too (figures out of range): never an index
  const double scaled = 10 * a;
  const auto c = static_cast<std::size_t>(scaled);  // trunc; scaled < 50
  const double lower = kCoarse[c] * 1e-8;
  const double upper = kCoarse[c + 1] * 1e-8;
  const double phi = lower + (upper - lower) * (scaled - static_cast<double>(c));
  return z < 0 ? 1 - phi : phi;
}

double PhiCoarse(double x, double mean, double sigma) {
  if (SameValue(sigma, 0)) return 0;
  return PhiCoarse((x - mean) / sigma);
}

double PhiFine(double z) {
  const double a = std::fabs(z);
  if (!(a <= kFineMax)) return z > 0 ? 1 : 0;  // NaN too: never an index
  if (a < 0.0001) return 0.5;
  const double tail = FineTail(a);
  return z < 0 ? tail : 1 - tail;
}

double PhiFine(double x, double mean, double sigma) {
  if (SameValue(sigma, 0)) return 0;
  return PhiFine((x - mean) / sigma);
}

double InversePhi(double p) {
  if (std::isnan(p) || p <= 0) return -6.5;
  if (p >= 1) return 6.5;
  if (p > 0.999999999) return 6;
  if (p < 1e-9) return -6;
  if (p == 0.5) return 0;
  // For p above 0.5, 1 - p is exact (both lie within a factor 2), so the tail keeps every digit.
  const double tail = p < 0.5 ? p : 1 - p;
  const double z = InverseFineTail(tail);
  return p < 0.5 ? -z : z;
}

double TQuantile95(int df) {
  static const TTable table;
  return table.value[static_cast<std::size_t>(std::clamp(df, 1, 100))];
}

double NormalDensity(double sigma, double mean, double x) {
  if (SameValue(sigma, 0)) return 0;
  const double d = x - mean;
  return std::exp(-d * d / (2 * sigma * sigma)) / (sigma * std::sqrt(2 * std::numbers::pi));
}

}  // namespace mv
