#pragma once
// morvalen-cli pdf: a saved report printed to a PDF file as the report viewer prints it (its
// declared charset, its pictures from its folder), on Qt's offscreen platform. Only in builds
// with the GUI; the others say so.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace mv::cli {

int RunPdf(std::span<const std::string> args, std::ostream& out, std::ostream& err);

extern const std::string_view kPdfDetails;

}  // namespace mv::cli
