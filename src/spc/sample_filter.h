#pragma once
// Sample filters: per kind of data a list of up to five conditions on a sample's date, time,
// note and event and on parameter values. Applying a filter marks every point that fails an
// active condition as filtered out (point_flag::kFiltered); nothing is deleted, so changing or
// switching off the filter restores the points. Points excluded by the user stay excluded.
//
// The dataset keeps both records as the file holds them (DatasetSettingAreas::filters, two
// 511-byte records, the quantitative one first); ReadFilter and WriteFilter go between those
// bytes and SampleFilter. A record is never trusted: every count and length is clamped and a
// condition with codes this program does not know is read as inactive.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "spc/dataset_spc.h"

namespace mv {

// What a condition tests.
enum class FilterProperty : std::uint8_t { Date = 1, Time = 2, Note = 3, Event = 4, Parameter = 5 };

// Value type of a property.
enum class FilterValueType : std::uint8_t { Number = 9, Text = 16, Date = 19, Time = 20 };

// Type bytes of a stored value.
namespace filter_value {
inline constexpr std::uint8_t kEmpty = 0;
inline constexpr std::uint8_t kNumber = 9;
inline constexpr std::uint8_t kDateTime = 18;
}  // namespace filter_value

// The 13 conditions (codes 1..13).
namespace filter_cond {
inline constexpr std::uint8_t kEqual = 1;
inline constexpr std::uint8_t kNotEqual = 2;
inline constexpr std::uint8_t kGreater = 3;
inline constexpr std::uint8_t kGreaterOrEqual = 4;
inline constexpr std::uint8_t kLess = 5;
inline constexpr std::uint8_t kLessOrEqual = 6;
inline constexpr std::uint8_t kInterval = 7;
inline constexpr std::uint8_t kContains = 8;
inline constexpr std::uint8_t kNotContains = 9;
inline constexpr std::uint8_t kBegins = 10;
inline constexpr std::uint8_t kNotBegins = 11;
inline constexpr std::uint8_t kEmpty = 12;
inline constexpr std::uint8_t kNotEmpty = 13;
inline constexpr std::uint8_t kCount = 13;
}  // namespace filter_cond

// Applicability mask of a condition (shared with the condition filters of other lists).
namespace filter_applies {
inline constexpr std::uint8_t kText = 1;
inline constexpr std::uint8_t kNumber = 2;
inline constexpr std::uint8_t kDateTime = 4;
inline constexpr std::uint8_t kNoValue = 8;
}  // namespace filter_applies

struct FilterConditionKind {
  std::uint8_t code;
  const char* name;    // "Равно", ...
  const char* symbol;  // "=", ...
  std::uint8_t applies;
};

// The condition of a code 1..13; nullptr for any other code.
const FilterConditionKind* FilterConditionOf(std::uint8_t code);
// The condition with that symbol ("=", "<>", ..., "!#"); 0 when there is none.
std::uint8_t FilterConditionBySymbol(std::string_view symbol);
// The mask bit of a value type (text, number, date or time); 0 for an unknown type.
std::uint8_t FilterTypeMask(std::uint8_t valueType);

struct FilterStoredValue {
  std::uint8_t type = filter_value::kEmpty;
  double value = 0;
};

struct SampleFilterCondition {
  static constexpr std::size_t kRecordSize = 83;
  static constexpr std::size_t kTextMax = 50;

  bool active = true;
  std::uint8_t property = static_cast<std::uint8_t>(FilterProperty::Note);
  std::int32_t paramId = 0;         // for a parameter condition
  std::uint8_t paramPosition = 0;   // dataset position, set when the filter is applied; 0 not found
  std::uint8_t valueType = static_cast<std::uint8_t>(FilterValueType::Text);
  std::uint8_t condition = filter_cond::kEqual;
  bool matchCase = false;  // text properties: letter case counts
  std::string text;        // the value as typed, at most 50 characters
  std::uint8_t valueCount = 0;  // 0, 1, or 2 for an interval
  FilterStoredValue value1;
  FilterStoredValue value2;
  std::array<std::uint8_t, 3> reserved{};  // kept as read
};

struct SampleFilter {
  static constexpr std::size_t kRecordSize = 511;
  static constexpr std::size_t kMaxConditions = 5;
  static constexpr std::size_t kNameMax = 60;

  bool active = true;
  TDateTime changedAt = 0;
  std::vector<SampleFilterCondition> conditions;  // at most 5
  std::string name;                               // at most 60 characters
  std::array<std::uint8_t, 20> reserved{};        // kept as read

  int ActiveCount() const;
  // Active with at least one active condition.
  bool InForce() const { return active && ActiveCount() > 0; }
};

// A new record: active, no conditions, changed at `now`.
SampleFilter NewSampleFilter(TDateTime now);

// The 511-byte record. Encoding recounts the active conditions and zeroes unused condition
// slots; a record with the marker that was written by EncodeSampleFilter decodes to the same
// filter, and encodes again to the same bytes.
std::string EncodeSampleFilter(const SampleFilter& filter);
// Bytes without the marker "SFLT" (or fewer than 511) give the default record (active, no
// conditions, time 0). Counts and lengths are clamped (conditions 0..5, value text 50, name 60);
// a condition with an unknown property, condition, value type or stored-value type, or a value
// type that does not belong to its property, is read as inactive.
SampleFilter DecodeSampleFilter(std::string_view bytes);

// The filter of a kind as the dataset holds it; an area without the marker reads as default.
SampleFilter ReadFilter(const TDatasetSPC& ds, DataKind kind);
// Stores the record into the dataset's area (both records get their marker).
void WriteFilter(TDatasetSPC& ds, DataKind kind, const SampleFilter& filter);
// A new dataset's area: both default records, changed at `now`.
void SetDefaultFilters(DatasetSettingAreas& settings, TDateTime now);

// "act=Y, name="Смена 1", #cond=2, #actcond=1" (the last part only when not all are active).
std::string FilterDescription(const SampleFilter& filter);
// The name; for an empty name the value text of the first active condition.
std::string FilterName(const SampleFilter& filter);
// "Дата", "Время", "Примечание", "Событие", "Параметр - " + the parameter's name (looked up by
// the condition's identifier among the dataset's parameters; "?" when it is gone).
std::string FilterPropertyText(const TDatasetSPC& ds, const SampleFilterCondition& condition);

// One condition on one value. Numbers, dates and times compare with a tolerance: numbers within
// 1e-12, dates as whole days, times as whole seconds (a date-time near 45000 days holds its time
// only to about 1e-11 of a day). Texts compare by their Windows-1251 byte values, both in upper
// case unless letter case counts. Conditions that do not apply to the type fail.
bool TestCondition(const SampleFilterCondition& condition, double x);
bool TestCondition(const SampleFilterCondition& condition, std::string_view text);

// Filters one sample of a block with the filter of the block's kind, then recomputes that
// sample's and that block's statistics. Invalid positions do nothing.
void FilterSample(TDatasetSPC& ds, int block, int sample);
// FilterSample without the statistics, for a caller that renews them itself.
void FilterSampleMarks(TDatasetSPC& ds, int block, int sample);

// For both kinds: finds the parameter of every active parameter condition among the
// parameters of the filter's kind (a condition whose parameter is gone becomes inactive, with
// one log line; the dataset is not marked changed), filters every sample of every block, and
// recomputes all statistics.
void ApplyFilters(TDatasetSPC& ds);
// ApplyFilters without the statistics, for a caller that recomputes them itself.
void ApplyFilterMarks(TDatasetSPC& ds);

// What the condition window stores on OK, or its message.
struct ConditionCheck {
  std::string message;  // empty: accepted
  std::string text;     // the value text to store
  std::uint8_t valueCount = 0;
  FilterStoredValue value1;
  FilterStoredValue value2;
  bool Ok() const { return message.empty(); }
};

// The checks of the condition window's OK for a property of `valueType`, a condition and the
// typed value (already cut to 50 characters).
ConditionCheck CheckFilterCondition(std::uint8_t valueType, std::uint8_t condition, std::string_view text);

// How many samples and points of a block meet the block kind's filter (as marked now): samples
// with a counted point, and counted points.
struct FilterMeeting {
  int samples = 0;
  int points = 0;
};
FilterMeeting CountMeeting(const TSPCBlock& block);

}  // namespace mv
