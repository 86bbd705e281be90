#pragma once
// The rules of the sample windows that guard the data, without the windows: confirming one
// typed value of a quantitative sample, the point limit, when a sample may be left, and the
// checks of the alternative sample window in their order.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "spc/dataset_spc.h"

namespace mv {

// Application events of point entry.
inline constexpr std::int16_t kEventValueInTolerance = 20010;
inline constexpr std::int16_t kEventValueOutOfTolerance = 20011;
inline constexpr std::int16_t kEventValueInadmissible = 20012;

// What confirming one value did.
struct ValueConfirmation {
  std::string message;     // the refusal; empty when the value was taken
  std::int16_t event = 0;  // the event to sound (the window plays it when the options ask)
  bool stored = false;
  bool cleared = false;       // an empty field removed the value
  bool outOfTolerance = false;
  double value = 0;           // what was stored (after the relative conversion)
  bool Ok() const { return message.empty(); }
};

// Confirms the text typed for `parameter` in point `point` of a sample: read by the typed-number
// rule (an empty field removes the value); a relative parameter's value converted by ToAbsolute;
// refused with "Значение параметра " + name + " указано неверно - " + the text as typed, or,
// outside the data limits, "Значение параметра " + name + " (" + value + ") выходит за пределы
// возможных значений (" + the limits + ")" (event 20012). A taken value is stored with the
// edited mark, then the tolerance marks, the filter and the sample's and the block's statistics
// are renewed (the block's from its samples' statistics, whatever their number), and the
// sample, block and dataset are marked changed. Invalid positions are refused with an empty
// message and stored false.
ValueConfirmation ConfirmValue(TDatasetSPC& ds, int block, int sample, int point, int parameter,
                               std::string_view typed);

// The sample window's entry into one sample. The block's figures over its other samples are
// summed once when entry starts (they do not change while this sample is edited), so each
// confirmed value renews the sample's statistics and the block's in time that does not depend
// on the block's number of samples. What Confirm does is ConfirmValue's.
class SampleEntry {
 public:
  // Block and sample must exist while the entry lasts; no sample may be added or removed.
  SampleEntry(TDatasetSPC& ds, int block, int sample);
  ValueConfirmation Confirm(int point, int parameter, std::string_view typed);
  // When the sample is left: the block's statistics summed again in sample order (what the
  // entry kept may differ from that in the last bits of the means).
  void Finish();

 private:
  struct Sums {
    double weighted = 0;
    int values = 0;
    double lo = 0;
    double hi = 0;
  };
  void RenewFigures();

  TDatasetSPC& m_ds;
  int m_block;
  int m_sample;
  std::array<Sums, kMaxParameters> m_others{};
  BlockStats m_otherTotals;  // counts over the other samples; minPoints -1 when there are none
};

// Adding a point: "" when there is room, else the message: the block's fixed sample size
// ("Достигнут предел количества замеров в выборке (" + limit + ")," ...) or 200 points
// ("Количество замеров в этой выборке достигло предела." ...).
std::string CheckAddPoint(const TSPCBlock& block, const TSPCSample& sample);

// Leaving a point: the first quantitative parameter (in its order) whose values may not be
// skipped and whose slot is empty gives "Не указано значение параметра " + name.
std::string CheckLeavePoint(const TDatasetSPC& ds, const TSPCSample& sample, int point);

// Leaving a sample (saving it, going to the next or previous one).
struct LeaveCheck {
  std::string message;     // empty: the sample may be left
  std::int16_t event = 0;  // 20011 with the note message
  bool Ok() const { return message.empty(); }
};
// At least one point; and with an empty note no value outside the tolerance of a parameter
// that requires an explanation (flag 4000h), the first such parameter in its order named.
LeaveCheck CheckLeaveSample(const TDatasetSPC& ds, const TSPCSample& sample);

// "Следующая" at the block's 1000th sample: the message, else "".
std::string CheckNextSample(int position);

// The alternative sample window's entries and what its checks make of them.
struct AltSampleEntry {
  std::string sizeText;
  std::vector<std::string> values;  // one per alternative parameter, in their order
};
struct AltSampleCheck {
  std::string message;  // the first failure; empty when everything is acceptable
  std::int16_t size = 0;
  std::vector<std::optional<std::int64_t>> counts;  // per alternative parameter; empty: no value
  bool Ok() const { return message.empty(); }
};
// In order: the size given ("Не указан объем выборки"); a whole number from 1 to 32767, the
// largest the sample's size field holds ("Неверно указан объем выборки (" + text + ")"); equal
// to the block's fixed size when it has one; then per parameter: an empty value refused when it
// may not be skipped, a whole number >= 0 (at most 20 characters), and for a parameter counting
// nonconforming units not above the size.
AltSampleCheck CheckAltSample(const TDatasetSPC& ds, const TSPCBlock& block, const AltSampleEntry& entry);

}  // namespace mv
