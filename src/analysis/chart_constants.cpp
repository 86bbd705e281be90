#include "analysis/chart_constants.h"

#include <algorithm>
#include <array>
#include <cmath>

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

// Subgroup sizes below 2 take the row of 2, above 25 the row of 25.
const Row& RowOf(int n) { return kRows[static_cast<std::size_t>(std::clamp(n, 2, kChartConstantsMaxN) - 2)]; }

// Half-width factor 3 / (c4' · sqrt(2(n − 1))) of the S chart beyond the table.
double BFactorBeyondTable(int n) {
  const double c4 = 4.0 * (n - 1) / (4.0 * n - 3.0);
  return 3.0 / (c4 * std::sqrt(2.0 * (n - 1)));
}

}  // namespace

double ConstA2(int n) { return RowOf(n).a2 / 1000.0; }
double ConstA2Median(int n) { return RowOf(n).a2m / 1000.0; }
double ConstD3(int n) { return RowOf(n).d3 / 1000.0; }
double ConstD4(int n) { return RowOf(n).d4 / 1000.0; }
double ConstB3(int n) {
  if (n > kChartConstantsMaxN) return std::max(0.0, 1.0 - BFactorBeyondTable(n));
  return RowOf(n).b3 / 1000.0;
}
double ConstB4(int n) {
  if (n > kChartConstantsMaxN) return 1.0 + BFactorBeyondTable(n);
  return RowOf(n).b4 / 1000.0;
}
double ConstD2(int n) { return RowOf(n).d2 / 1000.0; }
double ConstC4(int n) { return RowOf(n).c4 / 10000.0; }
double ConstE2(int w) { return kE2[static_cast<std::size_t>(std::clamp(w, 2, 10) - 2)] / 100.0; }

}  // namespace mv
