#pragma once
// The factors of Shewhart control charts by subgroup size n (or moving-range span w). Up to
// n = 25 they are kept as whole numbers the way the tables are printed (thousandths;
// ten-thousandths for c4; hundredths for E2) and divided when used, so every figure is the
// table's exact decimal. Larger subgroups (a sample holds up to 200 points) get the exact
// factors of the normal range and standard deviation instead of the row of 25, which would
// make the mean chart's limits far too wide and overstate σ = R̄ / d2.

namespace mv {

inline constexpr int kChartConstantsMaxN = 25;

// Sizes below 2 take the row of 2 throughout.

// Mean chart factor for ranges: limits X̿ ± A2·R̄; beyond 25, 3 / (d2·√n).
double ConstA2(int n);
// Median chart factor: limits M̄ ± Ã2·R̄; beyond 25 the value of 25.
double ConstA2Median(int n);
// Range chart factors: LCL = D3·R̄, UCL = D4·R̄; beyond 25, max(0, 1 − 3·d3/d2) and
// 1 + 3·d3/d2.
double ConstD3(int n);
double ConstD4(int n);
// Standard-deviation chart factors: LCL = B3·S̄, UCL = B4·S̄. Beyond 25 from the c4
// approximation 4(n − 1) / (4n − 3); B3 never below 0.
double ConstB3(int n);
double ConstB4(int n);
// σ = R̄ / d2 and σ = S̄ / c4; beyond 25 the exact values below.
double ConstD2(int n);
double ConstC4(int n);

// The mean (d2) and standard deviation (d3) of the range of n (at least 2) independent
// standard normal values, by numerical integration: d2 to about 1e-12, d3 to about 1e-8 from
// n = 4 on (for the smallest sizes the table's figures are what counts).
struct RangeMoments {
  double d2 = 0;
  double d3 = 0;
};
RangeMoments ExactRangeMoments(int n);
// The mean of the standard deviation of n (at least 2) standard normal values:
// sqrt(2 / (n − 1))·Γ(n / 2) / Γ((n − 1) / 2).
double ExactC4(int n);
// Individuals chart factor by moving-range span w (2..10; outside, the nearest end).
double ConstE2(int w);

}  // namespace mv
