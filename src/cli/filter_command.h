#pragma once
// morvalen-cli filter: prints the two sample filters of a data file, or writes a copy whose
// filter of one kind is changed.

#include <iosfwd>
#include <string_view>

#include "cli/cli_support.h"

namespace mv::cli {

int RunFilter(Args args, std::ostream& out, std::ostream& err);
extern const std::string_view kFilterDetails;

}  // namespace mv::cli
