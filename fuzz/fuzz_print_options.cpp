// Arbitrary bytes as the print-options area of the configuration file. Whatever is read must be
// within its ranges, and must write and read again unchanged.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/print_options.h"
#include "core/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  mv::PrintOptions o;
  const mv::PrintOptionsRead read = mv::DecodePrintOptions(bytes, o);
  if (read == mv::PrintOptionsRead::Defaults && !(o == mv::PrintOptions{})) std::abort();
  if (static_cast<int>(o.paper) > static_cast<int>(mv::PaperSize::Legal)) std::abort();
  for (const std::uint16_t m : {o.marginLeft, o.marginTop, o.marginRight, o.marginBottom}) {
    if (m > mv::PrintOptions::kMaxMargin) std::abort();
  }
  if (o.copies < 1 || o.copies > mv::PrintOptions::kMaxCopies) std::abort();
  if ((o.contents & ~mv::print_contents::kKnown) != 0) std::abort();
  if (mv::CharCount(o.printer) > mv::PrintOptions::kPrinterMax) std::abort();
  const std::string written = mv::EncodePrintOptions(o);
  if (written.size() != mv::PrintOptions::kRecordSize) std::abort();
  mv::PrintOptions again;
  if (mv::DecodePrintOptions(written, again) != mv::PrintOptionsRead::Ok || !(again == o)) std::abort();
  if (mv::EncodePrintOptions(again) != written) std::abort();
  return 0;
}
