#pragma once
// The three option records the dataset keeps for the block and sample windows: the editing
// options (10 bytes), the separation options (8 bytes) and the sample-merging options of the
// block window (24 bytes, the form the clipboard import uses too).
//
// The dataset holds each record's bytes as its file held them (DatasetSettingAreas) and writes
// them back unchanged; these codecs go between those bytes and the fields. A record is never
// trusted: every field is checked, and a record with a field out of its range reads as the
// defaults (the Read* functions write one error line to the log saying which field). The
// reserved bytes are ignored when read and kept as they were when a record is stored again.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "spc/dataset_spc.h"

namespace mv {

// Flags of the editing options.
namespace editing_flag {
inline constexpr std::uint16_t kColourColumns = 0x0001;  // "Разделять цветом столбцы разных замеров"
inline constexpr std::uint16_t kSound = 0x0002;          // "Звуковое сопровождение ввода"
inline constexpr std::uint16_t kShowPosition = 0x0004;   // where a value lies against the tolerance
inline constexpr std::uint16_t kHighlight = 0x0008;      // "Выделение цветом"
inline constexpr std::uint16_t kEnlargeFont = 0x0010;    // "Увеличение размера шрифта"
inline constexpr std::uint16_t kAll = 0x001F;
}  // namespace editing_flag

struct EditingOptions {
  static constexpr std::size_t kRecordSize = 10;
  // Date of a new sample: 0 the previous sample's, 1 the day after it.
  std::uint8_t newSampleDate = 0;
  // Parameter where point entry starts: 0 the first, 1 the last edited.
  std::uint8_t entryStart = 0;
  bool showValues = false;  // the parameters' values in the sample list
  std::uint16_t flags = 0;  // editing_flag
  std::array<std::uint8_t, 5> reserved{};

  bool Has(std::uint16_t flag) const { return (flags & flag) != 0; }
};

namespace separation_flag {
inline constexpr std::uint16_t kCopyNote = 0x0001;  // the separated sample's note into the new ones
}

struct SeparationOptions {
  static constexpr std::size_t kRecordSize = 8;
  static constexpr int kDefaultSize = 5;
  std::uint16_t flags = 0;  // separation_flag
  std::uint16_t size = 0;   // of the new samples, 0..200; 0 means 5
  std::array<std::uint8_t, 4> reserved{};

  int Size() const { return size == 0 ? kDefaultSize : size; }
  bool CopyNote() const { return (flags & separation_flag::kCopyNote) != 0; }
};

enum class MergeMode : std::uint8_t { None = 0, All = 1, ByN = 2, EqualDates = 3 };

namespace merge_flag {
inline constexpr std::uint16_t kKeepNotes = 0x0001;   // a sample receiving others takes a later note while it has none
inline constexpr std::uint16_t kEqualNotes = 0x0002;  // equal dates and equal notes
inline constexpr std::uint16_t kAll = 0x0003;
}  // namespace merge_flag

struct SampleMergingOptions {
  static constexpr std::size_t kRecordSize = 24;
  static constexpr int kDefaultN = 5;
  static constexpr int kMaxN = 200;
  MergeMode mode = MergeMode::None;
  std::uint16_t flags = merge_flag::kKeepNotes;  // merge_flag
  std::uint16_t n = kDefaultN;                   // 0 or 2..200; 0 means 5
  std::array<std::uint8_t, 19> reserved{};

  int N() const { return n == 0 ? kDefaultN : n; }
  bool KeepNotes() const { return (flags & merge_flag::kKeepNotes) != 0; }
  bool EqualNotes() const { return (flags & merge_flag::kEqualNotes) != 0; }
};

// Decoding: the fields, or nothing with `problem` naming the first field out of range ("byte 0
// = 7"). A span of another size than the record's is refused as a whole.
std::optional<EditingOptions> DecodeEditingOptions(std::span<const std::uint8_t> bytes, std::string& problem);
std::optional<SeparationOptions> DecodeSeparationOptions(std::span<const std::uint8_t> bytes, std::string& problem);
std::optional<SampleMergingOptions> DecodeMergingOptions(std::span<const std::uint8_t> bytes, std::string& problem);

std::array<std::uint8_t, EditingOptions::kRecordSize> EncodeEditingOptions(const EditingOptions& options);
std::array<std::uint8_t, SeparationOptions::kRecordSize> EncodeSeparationOptions(const SeparationOptions& options);
std::array<std::uint8_t, SampleMergingOptions::kRecordSize> EncodeMergingOptions(const SampleMergingOptions& options);

// The records as the dataset holds them; a bad one reads as the defaults with a log line
// ("[ERR] Editing options record is damaged (byte 0 = 7), defaults used").
EditingOptions ReadEditingOptions(const TDatasetSPC& ds);
SeparationOptions ReadSeparationOptions(const TDatasetSPC& ds);
SampleMergingOptions ReadMergingOptions(const TDatasetSPC& ds);

// Store the fields into the dataset's bytes (the reserved bytes as the options carry them).
// True when the bytes changed; the caller marks the dataset changed.
bool WriteEditingOptions(TDatasetSPC& ds, const EditingOptions& options);
bool WriteSeparationOptions(TDatasetSPC& ds, const SeparationOptions& options);
bool WriteMergingOptions(TDatasetSPC& ds, const SampleMergingOptions& options);

// "Не объединять", "Объединить все выборки в одну", "Объединить по 5 выборок", "Объединить
// выборки с одинаковыми датами" (+ " и примечаниями" with equal notes).
std::string MergingSummary(const SampleMergingOptions& options);

}  // namespace mv
