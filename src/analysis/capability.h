#pragma once
// Process-capability indices (Cp, Cpk, Pp, Ppk, Cpm) with their statuses and texts, the
// nonconformity level of an index and the text of a level.

#include <cstdint>
#include <optional>
#include <string>

#include "core/text.h"

namespace mv {

// Status of a capability index.
namespace cap_status {
inline constexpr std::uint8_t kNotComputed = 0;
inline constexpr std::uint8_t kComputed = 1;
inline constexpr std::uint8_t kSigmaZero = 2;
inline constexpr std::uint8_t kNoTolerance = 3;  // no suitable tolerance
inline constexpr std::uint8_t kTooFewSamples = 4;
}  // namespace cap_status

// The fewest samples the within-sample indices (Cp, Cpk) need.
inline constexpr int kCapMinSamples = 5;

struct TCapIndex {
  std::uint8_t status = cap_status::kNotComputed;
  double value = 0;
};

// The tolerance a capability is computed against.
struct CapTolerance {
  std::optional<double> lsl;
  std::optional<double> usl;
  std::optional<double> nominal;
};

struct CapabilityFigures {
  TCapIndex cp, cpk, pp, ppk, cpm;
  bool hasPercents = false;  // percentages formed (a limit and sigma overall > 0)
  double percentBelow = 0;   // below LSL, from Φ coarse
  double percentAbove = 0;   // above USL
  double percentTotal = 0;
};

// n: number of samples; sigmaWithin / meanWithin feed Cp and Cpk, sigmaOverall / meanOverall
// feed Pp, Ppk, Cpm and the percentages.
//
// Cpm is T / (6 sqrt(sigmaOverall * sigmaWithin + (meanOverall - nominal)^2)) as the system
// defines it; callers that want the textbook index pass sigmaWithin = sigmaOverall. It needs
// both sigmas positive (else status 2), as Cp and Cpk need sigma within.
CapabilityFigures Capability(const CapTolerance& tolerance, int n, double sigmaWithin, double sigmaOverall,
                             double meanWithin, double meanOverall);

// Every computed index and the percentages are finite numbers (a sigma so small or a mean so
// large that a quotient overflows gives neither).
bool CapabilityFinite(const CapabilityFigures& figures);

// The value with `decimals` decimals for status 1, else the status's words; withDetails adds
// the reason where the status has one.
std::string CapIndexText(const TCapIndex& index, int decimals, Lang lang, bool withDetails);

// The share in percent outside ±3C: 200 Φ(-3C) (coarse); 0 when |C| < 1e-12.
double QOfIndex(double c);

// Unit of the nonconformity level (the configuration's setting, 0..2).
enum class LevelUnit : std::uint8_t { Auto = 0, Ppm = 1, Percent = 2 };

// The text of a nonconformity level q (percent): "Неизвестно" when the distribution is not
// known to be normal (known = false), "~0" for 0, else in PPM ("67 PPM", "~0 PPM") or in
// percent ("0.27 %", "12.3 %", "25 %", "~0.00 %"). The automatic unit shows PPM while the level
// rounds below 100 PPM.
std::string LevelText(double q, bool known, Lang lang, bool withDetails, LevelUnit unit = LevelUnit::Auto);

}  // namespace mv
