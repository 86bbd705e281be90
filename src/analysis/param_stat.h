#pragma once
// The statistics of one parameter over a selection of samples: the figures of the chart's
// parameter table, the histogram window and the dataset reports (sample means and ranges, the
// within and overall sigmas, the capability indices with the estimated nonconformity level,
// the normality verdict, and for attribute data the overall level and the samples above the
// quality limit).

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "analysis/capability.h"
#include "analysis/normality.h"
#include "analysis/stability.h"
#include "core/value_range.h"
#include "spc/spc_types.h"

namespace mv {

class TDatasetSPC;
class TSPCParameter;

// Chart kinds are numbered 1..11; slot 0 is unused.
inline constexpr std::size_t kStabilitySlots = 12;

// What the stability check (stability.h) found for one chart kind.
struct StabilitySlot {
  bool checked = false;  // the check was asked for this kind
  // Its figures: result.done false when the kind could not be judged (the check failed);
  // beyondCount (the C1 hits) and seriesCount (the other criteria's hits) kept apart.
  StabilityKindResult result;
};

struct TParamStat {
  bool computed = false;
  // Every figure is a finite number. Values near the limits of a double overflow the sums;
  // then the capability indices stay at status 0 and the normality test is not run.
  bool finite = true;
  int parameter = 0;  // position in the dataset
  int block = 0;      // the block with one block selected, 0 with several
  DataKind kind = DataKind::Var;
  int firstSample = 0;  // the sample range actually used with one block; 0 with several blocks
  int lastSample = 0;
  bool individual = false;  // every selected block holds individual values

  std::uint32_t samplesSeen = 0;
  std::uint32_t samplesUsed = 0;  // active, with values of the parameter in analysis
  std::uint32_t pointCount = 0;   // N: their analysed values
  std::uint32_t minPoints = 0;    // smallest and largest number of values in a used sample
  std::uint32_t maxPoints = 0;
  double averagePoints = 0;      // N / used
  std::uint32_t nBar = 0;        // its rounding, halves to even
  double minValue = 0;           // the smallest sample minimum, the largest sample maximum
  double maxValue = 0;

  double xDoubleBar = 0;   // X̿: mean of the sample means
  double grandMean = 0;    // sum of n x mean / N
  double rBar = 0;         // R̄, or MR̄ for an individual-values selection
  double sBar = 0;         // S̄
  double sigmaFromS = 0;   // S̄ / c4(n̄)
  double sigmaWithin = 0;  // σ C: R̄ / d2(n̄), MR̄ / d2(2) for individual values
  double sigmaOverall = 0; // σ P: over every value, with N - 1

  TCapIndex cp, cpk, pp, ppk, cpm;
  bool hasPercents = false;  // the nonconformity estimate was formed
  double percentBelow = 0;   // below LSL
  double percentAbove = 0;   // above USL
  double percentTotal = 0;   // Q
  TNormality normality;

  // Attribute data.
  double attrLevel = 0;  // sum of the rounded counts / sum of the sample sizes
  std::uint32_t samplesAboveQualityLimit = 0;
  bool hasQualityLimit = false;

  // The control charts' stability check, by chart kind (index 1..11), for the kinds asked.
  std::array<StabilitySlot, kStabilitySlots> stability{};
};

// Statistics of `parameter` over the blocks listed. With one block only samples
// firstSample..lastSample are taken (the first at least 1; a last sample below the first or
// beyond the end means the block's last sample; a first sample beyond the end takes none); with
// several blocks every sample of each. A sample is used when it is active and holds analysed
// values of the parameter. With no used sample the result is computed with every index at
// status 0. An invalid parameter gives a result that is not computed.
//
// With one block, the stability check of the chart kinds in `stabilityKinds` runs over the
// same samples and fills their slots (kinds outside 1..11 have none); with several blocks the
// slots stay unchecked, the check being one block's.
TParamStat ComputeParamStat(const TDatasetSPC& dataset, int parameter, std::span<const int> blocks, int firstSample,
                            int lastSample, std::span<const int> stabilityKinds = {});

// "Невозможно рассчитать статистику параметра: значения параметра слишком велики для
// вычислений", for statistics that are not finite.
std::string ParamStatNotFiniteText();

// The capability tolerance of a parameter, or of a tolerance range (LSL, USL, nominal as present).
CapTolerance ToleranceOf(const TSPCParameter& parameter);
CapTolerance ToleranceOf(const ValueRange& tolerance);

}  // namespace mv
