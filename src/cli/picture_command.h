#pragma once
// morvalen-cli picture: the chart pair of a parameter drawn into a PNG, JPEG or BMP picture by
// the same painter as the chart window, on Qt's offscreen platform (no display needed). Only in
// builds with the GUI.

#include <iosfwd>
#include <span>
#include <string>
#include <string_view>

namespace mv::cli {

int RunPicture(std::span<const std::string> args, std::ostream& out, std::ostream& err);

extern const std::string_view kPictureDetails;

}  // namespace mv::cli
