#pragma once
// morvalen-cli params: the parameter table of a selection of a data file, as the dataset reports
// and the chart window show it: the chosen columns of the catalogue with their captions and one
// row of column texts per parameter of one data kind. Prints JSON; bad input gives one line on
// the error stream and exit code 2.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace mv::cli {

// params FILE.mvl [--kind var|attr] [--block N [--samples FROM-TO] | --blocks N,M] [--columns 1,2,12]
//        [--lang ru|en] [--scale share|percent|ppm] [--no-filter]
int RunParams(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// Further lines of --help.
extern const std::string_view kParamsDetails;

}  // namespace mv::cli
