#pragma once
// morvalen-cli chart: a control chart of one parameter printed as JSON.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace mv::cli {

int RunChart(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// The lines --help prints under the command.
extern const std::string_view kChartDetails;

}  // namespace mv::cli
