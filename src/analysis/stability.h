#pragma once
// The stability check of one parameter over a range of samples of one block, used by report
// kinds and attestation: for up to three chart kinds out of X, R, S, x and MR, the chart's
// limits and the tests of criteria set 2, built the way the chart builds them.

#include <cstdint>
#include <span>
#include <vector>

namespace mv {

class TDatasetSPC;

struct StabilityKindResult {
  int kind = 0;
  // Limits were computed and are shown. A kind without limits (fewer than two points per
  // sample, no analysed value), with UCL = LCL or with figures that are not finite numbers is
  // not done, and the check fails: it cannot say the process is stable.
  bool done = false;
  bool stable = false;  // no point beyond the limits and no signal
  double lcl = 0;
  double ucl = 0;
  bool hasLcl = false;
  bool hasUcl = false;
  std::uint32_t beyondCount = 0;  // points beyond the limits: each is a C1 hit
  std::uint32_t seriesCount = 0;  // hits of the set's other criteria (the runs of C2 and C3)
  std::uint32_t signalCount = 0;  // every hit: beyondCount + seriesCount
};

struct StabilityCheck {
  bool ok = false;  // every requested kind was done
  std::vector<StabilityKindResult> kinds;  // in the order asked, each kind once
};

// Samples from..to (1-based, cut to the block) of block `block`, parameter `parameter`. Kinds
// 0 are skipped and repeated kinds checked once; a kind other than 1, 2, 3, 5, 6 is not done.
// Points come from the active samples with points in analysis: X, R and S take the sample's
// mean, range or standard deviation over its points in analysis and n̄ from their numbers;
// x and MR take every measured value, the points out of analysis keeping their place without
// taking part. MR and x use the span 2. The runs are counted apart from the points beyond the
// limits, so that a full list of C1 hits cannot hide them. "Out of memory: CheckOneChart" when
// the points cannot be held.
StabilityCheck CheckStability(const TDatasetSPC& dataset, int block, int from, int to, int parameter,
                              std::span<const int> kinds);

}  // namespace mv
