// Arbitrary bytes as the histogram-options area of the configuration file. Whatever the bytes,
// the options read must be within their ranges, written back to a record of the area's size,
// and read again unchanged, and the statistics box must give one line per indicator read.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "analysis/histogram_options.h"
#include "analysis/param_columns.h"
#include "analysis/param_stat.h"
#include "core/text.h"
#include "spc/parameter.h"
#include "spc/scale_list.h"

namespace {

void Check(const mv::HistogramOptions& o) {
  if (o.sigmaLevel < 1 || o.sigmaLevel > 9) std::abort();
  if ((o.boxPlotOptions & ~7u) != 0) std::abort();
  if (o.indicators.size() > mv::HistogramOptions::kMaxIndicators) std::abort();
  for (const std::uint8_t i : o.indicators) {
    if (i < 1 || i > mv::HistogramOptions::kIndicatorCount) std::abort();
  }
  for (const std::uint16_t side : {o.windowWidth, o.windowHeight}) {
    if (side != 0 && (side < mv::HistogramOptions::kMinWindowSide || side > mv::HistogramOptions::kMaxWindowSide)) {
      std::abort();
    }
  }
  for (const std::string* text : {&o.title, &o.printHeader, &o.printCaption}) {
    if (mv::CharCount(*text) > mv::HistogramOptions::kTitleMax) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const mv::HistogramOptions read = mv::DecodeHistogramOptions(bytes);
  Check(read);
  const mv::TSPCParameter parameter;
  const mv::ScaleList scales;
  const mv::TParamStat stat;
  if (mv::StatisticsLines(read.indicators, 1, parameter, scales, stat, {}).size() != read.indicators.size()) {
    std::abort();
  }
  const std::string record = mv::EncodeHistogramOptions(read);
  if (record.size() != mv::HistogramOptions::kRecordSize) std::abort();
  if (!(mv::DecodeHistogramOptions(record) == read)) std::abort();
  return 0;
}
