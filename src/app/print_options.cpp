#include "app/print_options.h"

#include <array>

#include "core/byte_order.h"
#include "core/short_text.h"

namespace mv {
namespace {

namespace off {
inline constexpr std::size_t kMarker = 0;
inline constexpr std::size_t kVersion = 4;
inline constexpr std::size_t kPaper = 6;
inline constexpr std::size_t kOrientation = 7;
inline constexpr std::size_t kMargins = 8;  // four 16-bit values
inline constexpr std::size_t kColour = 16;
inline constexpr std::size_t kCopies = 17;
inline constexpr std::size_t kContents = 19;
inline constexpr std::size_t kPrinter = 20;
inline constexpr std::size_t kReserved = kPrinter + 1 + PrintOptions::kPrinterMax;
}  // namespace off
static_assert(off::kMargins + 8 == off::kColour);
static_assert(off::kReserved == 101);
static_assert(off::kReserved <= PrintOptions::kRecordSize);

constexpr std::string_view kMarker = "MVPO";

bool MarginValid(std::uint16_t v) { return v <= PrintOptions::kMaxMargin; }
bool CopiesValid(std::uint16_t v) { return v >= 1 && v <= PrintOptions::kMaxCopies; }

template <class Options>
auto Margins(Options& o) {
  return std::array{&o.marginLeft, &o.marginTop, &o.marginRight, &o.marginBottom};
}

}  // namespace

std::string EncodePrintOptions(const PrintOptions& o) {
  const PrintOptions defaults;
  std::string b(PrintOptions::kRecordSize, '\0');
  b.replace(off::kMarker, kMarker.size(), kMarker);
  PutU16(b, off::kVersion, PrintOptions::kVersion);
  const auto paper = static_cast<std::uint8_t>(o.paper);
  PutU8(b, off::kPaper, paper <= static_cast<std::uint8_t>(PaperSize::Legal) ? paper
                                                                             : static_cast<std::uint8_t>(defaults.paper));
  PutU8(b, off::kOrientation, o.landscape ? 1 : 0);
  const auto margins = Margins(o);
  const auto defaultMargins = Margins(defaults);
  for (std::size_t i = 0; i < margins.size(); ++i) {
    PutU16(b, off::kMargins + 2 * i, MarginValid(*margins[i]) ? *margins[i] : *defaultMargins[i]);
  }
  PutU8(b, off::kColour, o.greyscale ? 1 : 0);
  PutU16(b, off::kCopies, CopiesValid(o.copies) ? o.copies : defaults.copies);
  PutU8(b, off::kContents, (o.contents & ~print_contents::kKnown) == 0 ? o.contents : defaults.contents);
  PutShortText(b, off::kPrinter, o.printer, PrintOptions::kPrinterMax);
  return b;
}

PrintOptionsRead DecodePrintOptions(std::string_view b, PrintOptions& o) {
  o = PrintOptions{};
  if (b.size() < PrintOptions::kRecordSize || b.substr(off::kMarker, kMarker.size()) != kMarker ||
      GetU16(b, off::kVersion) != PrintOptions::kVersion) {
    return PrintOptionsRead::Defaults;
  }
  bool repaired = false;
  const std::uint8_t paper = GetU8(b, off::kPaper);
  if (paper <= static_cast<std::uint8_t>(PaperSize::Legal)) {
    o.paper = static_cast<PaperSize>(paper);
  } else {
    repaired = true;
  }
  const auto flag = [&](std::size_t at, bool& field) {
    const std::uint8_t v = GetU8(b, at);
    if (v <= 1) {
      field = v == 1;
    } else {
      repaired = true;
    }
  };
  flag(off::kOrientation, o.landscape);
  const auto margins = Margins(o);
  for (std::size_t i = 0; i < margins.size(); ++i) {
    const std::uint16_t v = GetU16(b, off::kMargins + 2 * i);
    if (MarginValid(v)) {
      *margins[i] = v;
    } else {
      repaired = true;
    }
  }
  flag(off::kColour, o.greyscale);
  const std::uint16_t copies = GetU16(b, off::kCopies);
  if (CopiesValid(copies)) {
    o.copies = copies;
  } else {
    repaired = true;
  }
  const std::uint8_t contents = GetU8(b, off::kContents);
  if ((contents & ~print_contents::kKnown) == 0) {
    o.contents = contents;
  } else {
    repaired = true;
  }
  if (GetU8(b, off::kPrinter) <= PrintOptions::kPrinterMax) {
    o.printer = GetShortText(b, off::kPrinter, PrintOptions::kPrinterMax);
  } else {
    repaired = true;
  }
  return repaired ? PrintOptionsRead::Repaired : PrintOptionsRead::Ok;
}

std::string DefaultPrintOptionsImage() { return EncodePrintOptions(PrintOptions{}); }

}  // namespace mv
