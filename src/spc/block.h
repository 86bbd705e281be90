#pragma once
// One block of samples: a stretch of the process's history, of one kind of data.

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "spc/sample.h"
#include "spc/spc_types.h"

namespace mv {

// Statistics of a block for one parameter: mean, minimum and maximum over the values of its
// samples (weighted by each sample's number of values; samples without values do not count).
struct BlockParamStats {
  double mean = 0;
  double min = 0;
  double max = 0;
  double range = 0;
};

struct BlockStats {
  std::array<BlockParamStats, kMaxParameters> params{};
  int totalPoints = 0;
  int countedPoints = 0;
  int activeSamples = 0;
  int minPoints = 0;  // per sample; the sample size for alternative blocks
  int maxPoints = 0;
};

class TSPCBlock {
 public:
  static constexpr std::size_t kNameMax = 80;
  static constexpr std::size_t kNoteMax = 80;
  static constexpr std::size_t kFrequencyMax = 40;

  std::int32_t id = 0;
  std::uint16_t flags = 0;  // block_flag
  DataKind kind = DataKind::Var;
  SamplingMode mode = SamplingMode::Samples;
  std::string name;       // at most 80 characters
  std::string note;       // at most 80 characters (SetNote cuts)
  std::string frequency;  // sampling frequency, at most 40 characters
  std::uint16_t fixedSampleSize = 0;  // 0: any size
  bool changed = false;
  TDateTime changedAt = 0;
  TDateTime created = 0;
  TDateTime modified = 0;
  bool loaded = true;
  int declaredSamples = 0;  // the count a file announces before the samples are read
  BlockStats stats;

  void SetNote(std::string_view text);  // cut to 80 characters

  int SampleCount() const { return static_cast<int>(m_samples.size()); }
  TSPCSample* Sample(int position);  // nullptr outside 1..SampleCount()
  const TSPCSample* Sample(int position) const;
  std::vector<TSPCSample>& Samples() { return m_samples; }
  const std::vector<TSPCSample>& Samples() const { return m_samples; }
  void ReserveSamples(std::size_t n) { m_samples.reserve(std::min(n, kMaxSamples)); }

  // Appends a sample dated now, with the block's date and time flags and the given active
  // state; false when the block has 1000 samples.
  bool AddSample(std::string_view note, std::string_view event, bool active);
  // The same dated `when`: what a load or an import that adds many samples gives, reading the
  // clock once rather than for every sample.
  bool AddSample(std::string_view note, std::string_view event, bool active, TDateTime when);
  // Inserts an empty sample at 1..SampleCount(); any other position appends. False at 1000.
  bool InsertSample(int position);
  void DeleteSample(int position);  // an invalid position does nothing

  // Recomputes every sample's statistics and then the block's. kinds[k] is the kind of
  // parameter k + 1; its size is the number of parameters.
  void ComputeStats(std::span<const DataKind> kinds);
  // The block's statistics from its samples' statistics as they stand, no sample recomputed:
  // after an edit that recomputed the samples it changed.
  void SumUpStats(std::span<const DataKind> kinds);

  // The period of samples first..last; "" unless 1 <= first <= last <= SampleCount() and both
  // samples have a date.
  std::string PeriodText(int first, int last) const;

  // "Kind=Var, ID=5, Name="...", #samples=12, Flags=0003h[, Note="..."]"
  std::string LogText() const;

 private:
  std::vector<TSPCSample> m_samples;
};

}  // namespace mv
