#pragma once
// Writing an SPC dataset as an exchange file (.mef): Windows-1251 text with CR LF line ends,
// one command a line and each of its key/value pairs on a "* " continuation line.
//
// What the file carries reads back as written: a value whose text with the parameter's
// decimals would read back as another number is written with the shortest digits that read
// back exactly; a time keeps its seconds when they are not 0; a name with a double quote is
// enclosed in apostrophes unless it also holds an apostrophe or a ";" (then its double quotes
// become apostrophes, as in texts); a text that would not fit its continuation line is cut to
// fit, and the cut is reported.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace mv {

class TDatasetSPC;

struct MefExportOptions {
  std::vector<int> blocks;       // positions of the blocks to write, in this order; empty: all
  std::optional<TDateTime> now;  // the export time of line 2; empty: the installed clock
};

// A text written otherwise than it is held.
struct MefTextChange {
  std::string place;   // "dataset note", "parameter 2 name", "block 1 sample 3 event"
  std::string change;  // "cut to 292 characters", "characters outside Windows-1251 written as ?"
};

struct MefExportResult {
  std::uint64_t size = 0;  // bytes of the file
  int parameters = 0;
  int blocks = 0;
  int samples = 0;
  int points = 0;
  int values = 0;
  int nonFiniteValues = 0;  // left out: no number text reads back as them
  std::vector<MefTextChange> changes;
};

// The whole file's bytes.
std::string BuildMefText(const TDatasetSPC& ds, const MefExportOptions& options, MefExportResult& result);

// Writes the file (beside the old one, then renamed over it). The log gets the export and any
// cut text; a failure shows "Сбой при записи файла " + fileName and gives false; success shows
// the information that the dataset was exported.
bool ExportDataset(const TDatasetSPC& ds, const std::string& fileName);
bool ExportDataset(const TDatasetSPC& ds, const std::string& fileName, const MefExportOptions& options,
                   MefExportResult& result, bool quiet);

// The text of a number as the writer puts it: `decimals` digits, trailing zeros and a bare
// point removed, when that reads back as x; else the shortest fixed text that does (the
// exponent form when that would be longer than 30 characters). Empty for a value that is not
// finite.
std::string MefNumberText(double x, int decimals);

}  // namespace mv
