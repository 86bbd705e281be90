// Arbitrary bytes as a chart-options record (the configuration's area, a report picture's copy).
// Whatever is read must be within its ranges, and must write and read again unchanged.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/chart_kinds.h"
#include "analysis/chart_options.h"
#include "core/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  mv::TChartOptions options;
  const mv::ChartOptionsRead read = mv::DecodeChartOptions(bytes, options);
  if (read == mv::ChartOptionsRead::Defaults && !(options == mv::TChartOptions{})) std::abort();
  if (options.span < 2 || options.span > 10) std::abort();
  if (options.criteria.set < 1 || options.criteria.set > mv::kCriteriaSetCount) std::abort();
  if ((options.criteria.mask & ~mv::kAllCriteriaMask) != 0) std::abort();
  if (options.criteria.set != mv::kCustomCriteriaSet &&
      options.criteria.mask != mv::CriteriaSetMask(options.criteria.set)) {
    std::abort();
  }
  for (const auto& w : options.windows) {
    if (!mv::ChartKindOf(w.upper)) std::abort();
  }
  if (mv::CharCount(options.printHeader) > mv::TChartOptions::kPrintTextMax ||
      mv::CharCount(options.printCaption) > mv::TChartOptions::kPrintTextMax) {
    std::abort();
  }
  const std::string written = mv::EncodeChartOptions(options);
  if (written.size() != mv::kChartOptionsSize) std::abort();
  mv::TChartOptions again;
  if (mv::DecodeChartOptions(written, again) != mv::ChartOptionsRead::Ok || !(again == options)) std::abort();
  if (mv::EncodeChartOptions(again) != written) std::abort();
  return 0;
}
