#pragma once
// The page settings of chart and histogram printing, kept in the configuration's print-options
// area (131 bytes). The record is ours: a marker, a version and one field per setting; a reader
// takes nothing on trust: bytes without the marker or of another version give the defaults, and
// each field out of its range takes its default.
//
// Layout (little-endian, offsets in bytes):
//    0  4  marker "MVPO"            4  2  version (1)
//    6  1  paper: 0 A4, 1 A3, 2 A5, 3 Letter, 4 Legal
//    7  1  orientation: 0 portrait, 1 landscape
//    8  8  margins left, top, right, bottom: tenths of a millimetre each, 0..500
//   16  1  colour: 0 in colour, 1 in shades of grey
//   17  2  copies 1..999
//   19  1  contents: 1 the conclusion, 2 the parameter table, 4 the standard form (other bits 0)
//   20  81 printer: a length byte and 80 characters (Windows-1251); empty: the default printer
//  101 .. 130  reserved, written as 0 and not read

#include <cstdint>
#include <string>
#include <string_view>

namespace mv {

enum class PaperSize : std::uint8_t { A4 = 0, A3 = 1, A5 = 2, Letter = 3, Legal = 4 };

namespace print_contents {
inline constexpr std::uint8_t kConclusion = 1;
inline constexpr std::uint8_t kParameterTable = 2;
inline constexpr std::uint8_t kGostForm = 4;
inline constexpr std::uint8_t kKnown = kConclusion | kParameterTable | kGostForm;
}  // namespace print_contents

struct PrintOptions {
  static constexpr std::size_t kRecordSize = 131;
  static constexpr std::uint16_t kVersion = 1;
  static constexpr std::uint16_t kMaxMargin = 500;  // tenths of a millimetre
  static constexpr std::uint16_t kMaxCopies = 999;
  static constexpr std::size_t kPrinterMax = 80;

  PaperSize paper = PaperSize::A4;
  bool landscape = true;
  std::uint16_t marginLeft = 150, marginTop = 100, marginRight = 100, marginBottom = 100;
  bool greyscale = false;
  std::uint16_t copies = 1;
  std::uint8_t contents = print_contents::kConclusion | print_contents::kParameterTable;
  std::string printer;

  bool operator==(const PrintOptions&) const = default;
};

enum class PrintOptionsRead : std::uint8_t {
  Ok = 0,
  Defaults = 1,  // not our marker, another version or too short
  Repaired = 2,  // ours, but some fields were out of range and took their defaults
};

// The record, kRecordSize bytes; a field out of its range is written as its default.
std::string EncodePrintOptions(const PrintOptions& options);
// Reads a record of any length (a short one gives the defaults).
PrintOptionsRead DecodePrintOptions(std::string_view bytes, PrintOptions& options);
// The record of the defaults, for the configuration's default image of the area.
std::string DefaultPrintOptionsImage();

}  // namespace mv
