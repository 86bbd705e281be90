#pragma once
// Kinds, flags and capacities of SPC data. The numeric values are stored in data files; keep
// them as they are.

#include <cstddef>
#include <cstdint>
#include <string>

namespace mv {

// Capacities of the system.
inline constexpr std::size_t kMaxParameters = 20;
inline constexpr std::size_t kMaxBlocks = 200;
inline constexpr std::size_t kMaxSamples = 1000;  // per block
inline constexpr std::size_t kMaxPoints = 200;    // per sample
inline constexpr std::size_t kMaxFixedSampleSize = 200;  // quantitative blocks
inline constexpr std::size_t kMaxScales = 20;
inline constexpr std::size_t kMaxClasses = 20;
inline constexpr std::uint8_t kMaxDecimals = 5;  // of a parameter

// Kind of data of a parameter or block.
enum class DataKind : std::uint8_t { Var = 1, Attr = 2 };

inline constexpr bool IsValidKind(std::uint8_t kind) { return kind == 1 || kind == 2; }

// "количествен" / "альтернатив": completed with "ных" in messages.
const char* KindStem(DataKind kind);
// "Var" / "Attr": the exchange-format and log code.
const char* KindCode(DataKind kind);

// What an alternative parameter counts.
enum class AttrType : std::uint8_t { Units = 0, Nonconformities = 1 };
const char* AttrTypeName(AttrType type);       // "Число несоответствующих единиц" / "Число несоответствий"
const char* AttrTypeShortName(AttrType type);  // "ЧНЕ" / "ЧН"
const char* AttrTypeCode(AttrType type);       // "units" / "nonconf"

// Multipliers of relative entry, codes 0..5: 1, 0.1, ... 0.00001 with 0..5 decimals.
inline constexpr std::uint8_t kMaxMultiplierCode = 5;
double Multiplier(std::uint8_t code);  // codes above 5 give 1
std::uint8_t MultiplierDecimals(std::uint8_t code);
std::string MultiplierText(std::uint8_t code);  // "1", "0.1", ... "0.00001"

// Parameter flags (16 bits).
namespace param_flag {
inline constexpr std::uint16_t kLsl = 0x0001;
inline constexpr std::uint16_t kUsl = 0x0002;
inline constexpr std::uint16_t kNominal = 0x0004;
inline constexpr std::uint16_t kBase = 0x0008;
inline constexpr std::uint16_t kMin = 0x0010;
inline constexpr std::uint16_t kMax = 0x0020;
inline constexpr std::uint16_t kNoSkip = 0x0040;  // values may not be skipped on entry
inline constexpr std::uint16_t kRelative = 0x0080;
inline constexpr std::uint16_t kNegate = 0x0100;  // relative values change sign
inline constexpr std::uint16_t kDefault = 0x0200;
inline constexpr std::uint16_t kLrl = 0x0400;
inline constexpr std::uint16_t kUrl = 0x0800;
inline constexpr std::uint16_t kNonconformities = 0x1000;  // alternative: counts nonconformities
inline constexpr std::uint16_t kTag = 0x2000;  // a tag: no tolerance, limits or relative entry
inline constexpr std::uint16_t kExplainOutOfTolerance = 0x4000;
}  // namespace param_flag

// Point flags.
namespace point_flag {
inline constexpr std::uint16_t kExcluded = 0x0001;
inline constexpr std::uint16_t kFiltered = 0x0004;  // set by the sample filter
inline constexpr std::uint16_t kOwnDate = 0x0008;
inline constexpr std::uint16_t kOwnTime = 0x0010;
inline constexpr std::uint16_t kOutOfTolerance = 0x4000;
}  // namespace point_flag

// Flags of one value slot of a point.
namespace value_flag {
inline constexpr std::uint16_t kEmpty = 0x0001;
inline constexpr std::uint16_t kNotEntered = 0x0002;
inline constexpr std::uint16_t kEdited = 0x0004;  // entered or changed in the current editing
inline constexpr std::uint16_t kOutOfTolerance = 0x4000;
}  // namespace value_flag

// Sample flags.
namespace sample_flag {
inline constexpr std::uint16_t kHasDate = 0x0001;
inline constexpr std::uint16_t kHasTime = 0x0002;
inline constexpr std::uint16_t kInactive = 0x0004;
inline constexpr std::uint16_t kOutOfTolerance = 0x4000;
}  // namespace sample_flag

// Block flags.
namespace block_flag {
inline constexpr std::uint16_t kDates = 0x0001;  // every sample carries a date
inline constexpr std::uint16_t kTimes = 0x0002;  // ... and a time (only with kDates)
inline constexpr std::uint16_t kProtected = 0x0004;
inline constexpr std::uint16_t kProtectedView = 0x0008;
inline constexpr std::uint16_t kIndividual = 0x0010;  // mirrors sampling mode 1
}  // namespace block_flag

// Sampling modes of a block.
enum class SamplingMode : std::uint8_t { Samples = 0, Individual = 1 };
const char* SamplingModeText(SamplingMode mode);  // "Выборочные данные" / "Индивидуальные значения"

// Access flags of a dataset (32 bits).
namespace access_flag {
inline constexpr std::uint32_t kPasswordOnOpen = 0x00000001;
inline constexpr std::uint32_t kExample = 0x00000002;
inline constexpr std::uint32_t kPasswordOnParameters = 0x00010000;
inline constexpr std::uint32_t kPasswordOnBlocks = 0x00020000;
}  // namespace access_flag

}  // namespace mv
