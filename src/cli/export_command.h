#pragma once
// morvalen-cli export: writes a data file's dataset (or some of its blocks) as an exchange
// file.

#include <iosfwd>
#include <string_view>

#include "cli/cli_support.h"

namespace mv::cli {

int RunExport(Args args, std::ostream& out, std::ostream& err);
extern const std::string_view kExportDetails;

}  // namespace mv::cli
