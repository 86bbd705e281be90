#pragma once
// morvalen-cli picture --kind histogram: the histogram of one parameter drawn into a picture by
// the histogram window's painter, with the window's default options. Only in builds with the
// GUI; the caller has started Qt.

#include <iosfwd>
#include <string>
#include <string_view>

#include "cli/cli_support.h"
#include "core/text.h"

namespace mv {
class JsonWriter;
}

namespace mv::cli {

struct HistogramPictureArgs {
  std::string file;
  const SelectionArgs* selection = nullptr;
  Lang lang = Lang::Ru;
  bool noFilter = false;
  int bins = 0;  // 0: the automatic count; else limited to 5..20
  std::string out;
  int width = 1600;
  int height = 1000;
};

// The fields every picture's JSON opens with: the file, its format (by the extension, which the
// caller has checked), the size and the kind drawn.
void WritePictureFields(JsonWriter& w, const std::string& file, int width, int height, std::string_view kind);

// Prints the JSON of the picture (file, format, width, height, kind, filter, valueCount,
// binCount); bad input gives one line on `err`, exit code 2 and no file.
int RunHistogramPicture(const HistogramPictureArgs& a, std::ostream& out, std::ostream& err);

}  // namespace mv::cli
