#pragma once
// morvalen-cli samples: one operation of the block window (delete, exchange, separate, merge)
// on one block of a data file, through the window's own logic with its questions answered
// yes; the result is written as the program saves it.

#include <iosfwd>
#include <string_view>

#include "cli/cli_support.h"

namespace mv::cli {

int RunSamples(Args args, std::ostream& out, std::ostream& err);
extern const std::string_view kSamplesDetails;

}  // namespace mv::cli
