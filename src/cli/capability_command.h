#pragma once
// morvalen-cli capability and quality: a parameter's statistics, capability and histogram over
// a selection of a data file, and the quality calculator. Both print JSON; bad input gives one
// line on the error stream and exit code 2.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace mv::cli {

// capability FILE.mvl --param NAME|POSITION [--block N | --blocks 1,3 | --block N --samples FROM-TO] [--bins K]
int RunCapability(std::span<const std::string> args, std::ostream& out, std::ostream& err);
// quality --ppm Q [--width W]
int RunQuality(std::span<const std::string> args, std::ostream& out, std::ostream& err);

// Further lines of --help for the two commands.
extern const std::string_view kCapabilityDetails;
extern const std::string_view kQualityDetails;

}  // namespace mv::cli
