#pragma once
// morvalen-cli chart: a control chart of one parameter printed as JSON.

#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "analysis/chart_data.h"
#include "analysis/chart_options.h"
#include "cli/cli_support.h"

namespace mv::cli {

// The options that choose and build a chart, as chart and picture take them.
struct ChartArgs {
  std::string file;
  // A sample range is checked against its block as the selection dialog checks it.
  SelectionArgs selection{SampleRangeCheck::kSelectionDialog};
  std::string kindText;
  std::optional<ChartKind> upper;
  std::optional<ChartKind> lower;
  TChartOptions options;
  bool criteriaGiven = false;
  bool all = false;  // every point of the selection, not a window's first 1000
};

// Takes one of --kind, --criteria, --span, --scale, --regulation, --all; false with `error`.
bool TakeChartOption(const std::string& option, const std::string& value, ChartArgs& a, std::string& error);

int RunChart(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// The lines --help prints under the command.
extern const std::string_view kChartDetails;

}  // namespace mv::cli
