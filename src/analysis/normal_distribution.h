#pragma once
// The standard normal distribution in the forms every analysis shares, the Student t quantile
// and the normal density. Pure functions of their arguments; the tables behind them are built
// once, on first use, and never change.

namespace mv {

// Φ from the coarse table (0.0 .. 5.0 by 0.1, linear interpolation between the nodes). Every
// percentage of the analysis and the Kolmogorov test use this form, so their figures match the
// printed tables: |z| < 0.0001 gives 0.5, |z| >= 5 gives 1 or 0.
double PhiCoarse(double z);
// PhiCoarse((x - mean) / sigma); 0 when sigma is 0.
double PhiCoarse(double x, double mean, double sigma);

// Φ from the fine table (0 .. 6.47 by 0.005; 4-point Lagrange between the nodes, linear next to
// 0 and beyond 6.46): |z| > 6.47 gives 1 or 0, |z| < 0.0001 gives 0.5.
double PhiFine(double z);
// PhiFine((x - mean) / sigma); 0 when sigma is 0.
double PhiFine(double x, double mean, double sigma);

// The z with Φ(z) = p by inverse interpolation on the fine table. p <= 0 gives -6.5, p >= 1 gives
// 6.5; p below 1e-9 gives -6 and above 0.999999999 gives 6. Always finite and monotone in p.
double InversePhi(double p);

// The two-sided 95 % Student quantile t(0.975; df); df below 1 counts as 1, above 100 as 100.
double TQuantile95(int df);

// exp(-(x - mean)^2 / (2 sigma^2)) / (sigma sqrt(2 pi)); 0 when sigma is 0.
double NormalDensity(double sigma, double mean, double x);

}  // namespace mv
