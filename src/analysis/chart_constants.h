#pragma once
// The factors of Shewhart control charts by subgroup size n (or moving-range span w), kept
// as whole numbers the way the tables are printed (thousandths; ten-thousandths for c4;
// hundredths for E2) and divided when used, so every figure is the table's exact decimal.

namespace mv {

inline constexpr int kChartConstantsMaxN = 25;

// Mean chart factor for ranges: limits X̿ ± A2·R̄.
double ConstA2(int n);
// Median chart factor: limits M̄ ± Ã2·R̄.
double ConstA2Median(int n);
// Range chart factors: LCL = D3·R̄, UCL = D4·R̄.
double ConstD3(int n);
double ConstD4(int n);
// Standard-deviation chart factors: LCL = B3·S̄, UCL = B4·S̄. Beyond 25 from the c4
// approximation 4(n − 1) / (4n − 3); B3 never below 0.
double ConstB3(int n);
double ConstB4(int n);
// σ = R̄ / d2 and σ = S̄ / c4.
double ConstD2(int n);
double ConstC4(int n);
// Individuals chart factor by moving-range span w (2..10; outside, the nearest end).
double ConstE2(int w);

}  // namespace mv
