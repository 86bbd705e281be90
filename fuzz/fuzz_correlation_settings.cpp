// Arbitrary bytes as the correlation area of a dataset. Whatever the bytes, the settings read
// must be within their ranges, written back to a record of the area's size, and read again
// unchanged.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/correlation.h"
#include "analysis/correlation_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const mv::CorrelationSettings read = mv::DecodeCorrelationSettings(bytes);
  if (!mv::ManualCriticalValid(read.critical)) std::abort();
  for (const std::uint16_t side : {read.pictureWidth, read.pictureHeight}) {
    if (side < mv::CorrelationSettings::kMinPictureSide || side > mv::CorrelationSettings::kMaxPictureSide) std::abort();
  }
  for (const mv::TFontDescr& font : read.reportFonts) {
    if (!mv::CorrelationFontValid(font)) std::abort();
  }
  const std::string record = mv::EncodeCorrelationSettings(read);
  if (record.size() != mv::CorrelationSettings::kRecordSize) std::abort();
  if (!(mv::DecodeCorrelationSettings(record) == read)) std::abort();
  return 0;
}
