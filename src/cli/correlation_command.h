#pragma once
// morvalen-cli correlation: the correlation matrix of a data file's quantitative parameters over
// a selection of blocks and samples, printed as JSON; bad input gives one line on the error
// stream and exit code 2.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace mv::cli {

// correlation FILE.mvl [--params 1,2,3] [--block N [--samples FROM-TO] | --blocks 1,3]
//                      [--mode values|means] [--critical R]
int RunCorrelation(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// Further lines of --help for the command.
extern const std::string_view kCorrelationDetails;

}  // namespace mv::cli
