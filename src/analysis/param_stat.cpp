#include "analysis/param_stat.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "analysis/chart_constants.h"
#include "analysis/data_set.h"
#include "analysis/value_list.h"
#include "core/numbers.h"
#include "spc/dataset_spc.h"

namespace mv {
namespace {

// The samples one block contributes: firstSample..lastSample with one block, every sample with
// several.
struct SampleSpan {
  int first = 1;
  int last = 0;
};

SampleSpan SpanOf(const TSPCBlock& block, bool single, int firstSample, int lastSample) {
  const int count = block.SampleCount();
  if (!single) return {1, count};
  const int first = std::max(1, firstSample);
  const int last = (lastSample < first || lastSample > count) ? count : lastSample;
  return {first, last};  // first > count leaves the span empty
}

// Visits every selected sample of the listed blocks that exist.
template <class Visit>
void ForEachSample(const TDatasetSPC& ds, std::span<const int> blocks, int firstSample, int lastSample, Visit&& visit) {
  const bool single = blocks.size() == 1;
  for (const int b : blocks) {
    const TSPCBlock* block = ds.Block(b);
    if (!block) continue;
    const SampleSpan span = SpanOf(*block, single, firstSample, lastSample);
    for (int s = span.first; s <= span.last; ++s) visit(*block->Sample(s));
  }
}

}  // namespace

std::string ParamStatNotFiniteText() {
  return "Невозможно рассчитать статистику параметра: " + std::string(kValuesTooLarge);
}

CapTolerance ToleranceOf(const ValueRange& tolerance) {
  return {tolerance.Get(ValueRange::kLower), tolerance.Get(ValueRange::kUpper), tolerance.Get(ValueRange::kTarget)};
}

CapTolerance ToleranceOf(const TSPCParameter& parameter) { return ToleranceOf(parameter.tolerance); }

namespace {

// The stability check over the statistics' block and samples, into the slots of the kinds.
void CheckStabilityOf(TParamStat& st, const TDatasetSPC& dataset, std::span<const int> kinds) {
  if (kinds.empty() || st.block == 0) return;
  const StabilityCheck check = CheckStability(dataset, st.block, st.firstSample, st.lastSample, st.parameter, kinds);
  for (const StabilityKindResult& r : check.kinds) {
    if (r.kind < 1 || static_cast<std::size_t>(r.kind) >= kStabilitySlots) continue;
    StabilitySlot& slot = st.stability[static_cast<std::size_t>(r.kind)];
    slot.checked = true;
    slot.result = r;
  }
}

TParamStat ComputeParamStatOnly(const TDatasetSPC& dataset, int parameter, std::span<const int> blocks,
                                int firstSample, int lastSample) {
  TParamStat st;
  const TSPCParameter* param = dataset.Parameter(parameter);
  if (!param) return st;
  st.parameter = parameter;
  st.kind = param->kind;
  const bool attribute = param->kind == DataKind::Attr;
  const auto qualityLimit = param->Usl();
  st.hasQualityLimit = attribute && qualityLimit.has_value();
  if (blocks.size() == 1) {
    st.block = blocks[0];
    if (const TSPCBlock* block = dataset.Block(blocks[0])) {
      const SampleSpan span = SpanOf(*block, true, firstSample, lastSample);
      st.firstSample = span.first;
      st.lastSample = span.last;
    }
  }
  bool anyBlock = false;
  bool allIndividual = true;
  for (const int b : blocks) {
    if (const TSPCBlock* block = dataset.Block(b)) {
      anyBlock = true;
      allIndividual = allIndividual && block->mode == SamplingMode::Individual;
    }
  }
  st.individual = anyBlock && allIndividual;

  double sumMeans = 0, sumWeighted = 0, sumRanges = 0, sumMovingRanges = 0, sumSd = 0;
  std::uint32_t movingRangeSamples = 0;
  std::uint64_t sumNm1 = 0;
  double sumCounts = 0, sumSizes = 0;
  ForEachSample(dataset, blocks, firstSample, lastSample, [&](const TSPCSample& sample) {
    ++st.samplesSeen;
    if (!sample.IsActive() || sample.countedPoints == 0) return;
    const SampleStats ss = sample.Stats(parameter);
    if (ss.n == 0) return;  // points in analysis, but none with a value of this parameter
    const std::uint32_t n = ss.n;
    ++st.samplesUsed;
    if (st.samplesUsed == 1) {
      st.minPoints = st.maxPoints = n;
      st.minValue = ss.min;
      st.maxValue = ss.max;
    } else {
      st.minPoints = std::min(st.minPoints, n);
      st.maxPoints = std::max(st.maxPoints, n);
      st.minValue = std::min(st.minValue, ss.min);
      st.maxValue = std::max(st.maxValue, ss.max);
    }
    st.pointCount += n;
    sumNm1 += n - 1;
    sumMeans += ss.mean;
    if (!attribute) {
      sumWeighted += n * ss.mean;
      sumRanges += ss.range;
      sumSd += ss.stdDev;
      // A single value has no successive difference: it does not pull MR̄ towards 0.
      if (n >= 2) {
        sumMovingRanges += ss.movingRange;
        ++movingRangeSamples;
      }
    } else if (sample.sampleSize > 0) {
      // A sample without a positive size has no level; it stays out of both sums.
      sumCounts += RoundHalfEven(ss.mean);
      sumSizes += sample.sampleSize;
      if (qualityLimit && ss.mean / sample.sampleSize > *qualityLimit) ++st.samplesAboveQualityLimit;
    }
  });
  st.computed = true;
  if (st.samplesUsed == 0) return st;

  const double used = st.samplesUsed;
  st.xDoubleBar = sumMeans / used;
  if (attribute) {
    st.attrLevel = sumSizes > 0 ? sumCounts / sumSizes : 0;
    st.finite = AllFinite({st.minValue, st.maxValue, st.xDoubleBar, st.attrLevel});
    return st;
  }

  st.averagePoints = st.pointCount / used;
  st.nBar = static_cast<std::uint32_t>(RoundHalfEven(st.averagePoints));
  st.grandMean = sumWeighted / st.pointCount;
  st.sBar = sumSd / used;
  // Subgroups beyond the table take the exact factors (chart_constants.h).
  const int constN = static_cast<int>(std::clamp<std::uint32_t>(st.nBar, 2, static_cast<std::uint32_t>(kMaxPoints)));
  st.sigmaFromS = st.sBar / ConstC4(constN);
  if (st.individual) {
    st.rBar = movingRangeSamples > 0 ? sumMovingRanges / movingRangeSamples : 0;
    st.sigmaWithin = st.rBar / ConstD2(2);
  } else {
    st.rBar = sumRanges / used;
    st.sigmaWithin = st.rBar / ConstD2(constN);
  }

  // Second pass: the overall sigma about the grand mean, and the values for the normality test.
  TValueList values;
  const bool listed = values.Allocate(st.pointCount);
  double sumSquares = 0;
  ForEachSample(dataset, blocks, firstSample, lastSample, [&](const TSPCSample& sample) {
    if (!sample.IsActive() || sample.countedPoints == 0 || sample.Stats(parameter).n == 0) return;
    // Column by column: the parameter's values of the sample lie together.
    const std::span<const double> column = sample.Values(parameter);
    const std::span<const std::uint16_t> slotFlags = sample.SlotFlags(parameter);
    const std::span<const std::uint16_t> pointFlags = sample.PointFlagsColumn();
    for (std::size_t i = 0; i < column.size(); ++i) {
      if ((pointFlags[i] & (point_flag::kExcluded | point_flag::kFiltered)) != 0 ||
          (slotFlags[i] & value_flag::kEmpty) != 0) {
        continue;
      }
      const double d = column[i] - st.grandMean;
      sumSquares += d * d;
      if (listed) values.Add(column[i]);
    }
  });
  st.sigmaOverall = st.pointCount >= 2 ? std::sqrt(sumSquares / (st.pointCount - 1)) : 0;
  st.finite = AllFinite({st.minValue, st.maxValue, st.xDoubleBar, st.grandMean, st.rBar, st.sBar, st.sigmaFromS,
                         st.sigmaWithin, st.sigmaOverall});
  if (!st.finite) return st;

  const std::uint64_t capN = st.individual ? sumNm1 : st.samplesUsed;
  const int n = static_cast<int>(std::min<std::uint64_t>(capN, 1u << 30));
  const CapabilityFigures f =
      Capability(ToleranceOf(*param), n, st.sigmaWithin, st.sigmaOverall, st.xDoubleBar, st.grandMean);
  if (!CapabilityFinite(f)) {
    st.finite = false;
    return st;
  }
  st.cp = f.cp;
  st.cpk = f.cpk;
  st.pp = f.pp;
  st.ppk = f.ppk;
  st.cpm = f.cpm;
  st.hasPercents = f.hasPercents;
  st.percentBelow = f.percentBelow;
  st.percentAbove = f.percentAbove;
  st.percentTotal = f.percentTotal;

  if (listed) {
    values.SetMeanAndSigma(st.grandMean, st.sigmaOverall);
    st.normality = TestNormality(values);
  }
  return st;
}

}  // namespace

TParamStat ComputeParamStat(const TDatasetSPC& dataset, int parameter, std::span<const int> blocks, int firstSample,
                            int lastSample, std::span<const int> stabilityKinds) {
  TParamStat st = ComputeParamStatOnly(dataset, parameter, blocks, firstSample, lastSample);
  if (st.computed) CheckStabilityOf(st, dataset, stabilityKinds);
  return st;
}

}  // namespace mv
