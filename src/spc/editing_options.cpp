#include "spc/editing_options.h"

#include <algorithm>

#include "core/numbers.h"
#include "platform/log_sink.h"
#include "platform/services.h"

namespace mv {
namespace {

// Field offsets of the three records.
namespace edit_rec {
inline constexpr std::size_t kNewSampleDate = 0;
inline constexpr std::size_t kEntryStart = 1;
inline constexpr std::size_t kShowValues = 2;
inline constexpr std::size_t kFlags = 3;
inline constexpr std::size_t kReserved = 5;
static_assert(kReserved + 5 == EditingOptions::kRecordSize);
}  // namespace edit_rec

namespace sep_rec {
inline constexpr std::size_t kFlags = 0;
inline constexpr std::size_t kSize = 2;
inline constexpr std::size_t kReserved = 4;
static_assert(kReserved + 4 == SeparationOptions::kRecordSize);
}  // namespace sep_rec

namespace merge_rec {
inline constexpr std::size_t kMode = 0;
inline constexpr std::size_t kFlags = 1;
inline constexpr std::size_t kN = 3;
inline constexpr std::size_t kReserved = 5;
static_assert(kReserved + 19 == SampleMergingOptions::kRecordSize);
}  // namespace merge_rec

std::uint16_t U16(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
template <std::size_t N>
void PutU16(std::array<std::uint8_t, N>& b, std::size_t at, std::uint16_t v) {
  b[at] = static_cast<std::uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::string Problem(std::string_view field, std::size_t at, unsigned value) {
  return std::string(field) + " at " + std::to_string(at) + " = " + std::to_string(value);
}

std::string SizeProblem(std::size_t size, std::size_t expected) {
  return std::to_string(size) + " bytes instead of " + std::to_string(expected);
}

void LogDamaged(const TDatasetSPC& ds, std::string_view record, const std::string& problem) {
  platform::Current<platform::ILog>().LogError(
      std::string(record) + " record is damaged (" + problem + "), defaults used", ds.slot);
}

template <std::size_t N>
bool Store(std::array<std::uint8_t, N>& area, const std::array<std::uint8_t, N>& bytes) {
  if (area == bytes) return false;
  area = bytes;
  return true;
}

}  // namespace

std::optional<EditingOptions> DecodeEditingOptions(std::span<const std::uint8_t> b, std::string& problem) {
  using namespace edit_rec;
  if (b.size() != EditingOptions::kRecordSize) {
    problem = SizeProblem(b.size(), EditingOptions::kRecordSize);
    return std::nullopt;
  }
  EditingOptions o;
  const std::uint16_t flags = U16(b, kFlags);
  if (b[kNewSampleDate] > 1) {
    problem = Problem("date of a new sample", kNewSampleDate, b[kNewSampleDate]);
  } else if (b[kEntryStart] > 1) {
    problem = Problem("entry start", kEntryStart, b[kEntryStart]);
  } else if (b[kShowValues] > 1) {
    problem = Problem("show values", kShowValues, b[kShowValues]);
  } else if ((flags & ~editing_flag::kAll) != 0) {
    problem = Problem("flags", kFlags, flags);
  } else {
    o.newSampleDate = b[kNewSampleDate];
    o.entryStart = b[kEntryStart];
    o.showValues = b[kShowValues] != 0;
    o.flags = flags;
    std::copy_n(b.begin() + kReserved, o.reserved.size(), o.reserved.begin());
    return o;
  }
  return std::nullopt;
}

std::optional<SeparationOptions> DecodeSeparationOptions(std::span<const std::uint8_t> b, std::string& problem) {
  using namespace sep_rec;
  if (b.size() != SeparationOptions::kRecordSize) {
    problem = SizeProblem(b.size(), SeparationOptions::kRecordSize);
    return std::nullopt;
  }
  SeparationOptions o;
  const std::uint16_t flags = U16(b, kFlags);
  const std::uint16_t size = U16(b, kSize);
  if ((flags & ~separation_flag::kCopyNote) != 0) {
    problem = Problem("flags", kFlags, flags);
  } else if (size > kMaxPoints) {
    problem = Problem("size", kSize, size);
  } else {
    o.flags = flags;
    o.size = size;
    std::copy_n(b.begin() + kReserved, o.reserved.size(), o.reserved.begin());
    return o;
  }
  return std::nullopt;
}

std::optional<SampleMergingOptions> DecodeMergingOptions(std::span<const std::uint8_t> b, std::string& problem) {
  using namespace merge_rec;
  if (b.size() != SampleMergingOptions::kRecordSize) {
    problem = SizeProblem(b.size(), SampleMergingOptions::kRecordSize);
    return std::nullopt;
  }
  SampleMergingOptions o;
  const std::uint16_t flags = U16(b, kFlags);
  const std::uint16_t n = U16(b, kN);
  if (b[kMode] > static_cast<std::uint8_t>(MergeMode::EqualDates)) {
    problem = Problem("mode", kMode, b[kMode]);
  } else if ((flags & ~merge_flag::kAll) != 0) {
    problem = Problem("option bits", kFlags, flags);
  } else if (n == 1 || n > SampleMergingOptions::kMaxN) {
    problem = Problem("N", kN, n);
  } else {
    o.mode = static_cast<MergeMode>(b[kMode]);
    o.flags = flags;
    o.n = n;
    std::copy_n(b.begin() + kReserved, o.reserved.size(), o.reserved.begin());
    return o;
  }
  return std::nullopt;
}

std::array<std::uint8_t, EditingOptions::kRecordSize> EncodeEditingOptions(const EditingOptions& o) {
  using namespace edit_rec;
  std::array<std::uint8_t, EditingOptions::kRecordSize> b{};
  b[kNewSampleDate] = o.newSampleDate;
  b[kEntryStart] = o.entryStart;
  b[kShowValues] = o.showValues ? 1 : 0;
  PutU16(b, kFlags, o.flags);
  std::copy(o.reserved.begin(), o.reserved.end(), b.begin() + kReserved);
  return b;
}

std::array<std::uint8_t, SeparationOptions::kRecordSize> EncodeSeparationOptions(const SeparationOptions& o) {
  using namespace sep_rec;
  std::array<std::uint8_t, SeparationOptions::kRecordSize> b{};
  PutU16(b, kFlags, o.flags);
  PutU16(b, kSize, o.size);
  std::copy(o.reserved.begin(), o.reserved.end(), b.begin() + kReserved);
  return b;
}

std::array<std::uint8_t, SampleMergingOptions::kRecordSize> EncodeMergingOptions(const SampleMergingOptions& o) {
  using namespace merge_rec;
  std::array<std::uint8_t, SampleMergingOptions::kRecordSize> b{};
  b[kMode] = static_cast<std::uint8_t>(o.mode);
  PutU16(b, kFlags, o.flags);
  PutU16(b, kN, o.n);
  std::copy(o.reserved.begin(), o.reserved.end(), b.begin() + kReserved);
  return b;
}

EditingOptions ReadEditingOptions(const TDatasetSPC& ds) {
  std::string problem;
  if (auto o = DecodeEditingOptions(ds.settings.editingOptions, problem)) return *o;
  LogDamaged(ds, "Editing options", problem);
  return {};
}

SeparationOptions ReadSeparationOptions(const TDatasetSPC& ds) {
  std::string problem;
  if (auto o = DecodeSeparationOptions(ds.settings.separationOptions, problem)) return *o;
  LogDamaged(ds, "Separation options", problem);
  return {};
}

SampleMergingOptions ReadMergingOptions(const TDatasetSPC& ds) {
  std::string problem;
  if (auto o = DecodeMergingOptions(ds.settings.mergingOptions, problem)) return *o;
  LogDamaged(ds, "Merging options", problem);
  return {};
}

bool WriteEditingOptions(TDatasetSPC& ds, const EditingOptions& options) {
  return Store(ds.settings.editingOptions, EncodeEditingOptions(options));
}

bool WriteSeparationOptions(TDatasetSPC& ds, const SeparationOptions& options) {
  return Store(ds.settings.separationOptions, EncodeSeparationOptions(options));
}

bool WriteMergingOptions(TDatasetSPC& ds, const SampleMergingOptions& options) {
  return Store(ds.settings.mergingOptions, EncodeMergingOptions(options));
}

std::string MergingSummary(const SampleMergingOptions& options) {
  switch (options.mode) {
    case MergeMode::None: return "Не объединять";
    case MergeMode::All: return "Объединить все выборки в одну";
    case MergeMode::ByN: return "Объединить по " + FormatInt(options.N()) + " выборок";
    case MergeMode::EqualDates:
      return std::string("Объединить выборки с одинаковыми датами") + (options.EqualNotes() ? " и примечаниями" : "");
  }
  return {};
}

}  // namespace mv
