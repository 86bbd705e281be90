#pragma once
// A new SPC dataset from a table of measurements (a CSV file exported by any program).
//
// The first row holds the headings. Columns with these headings (letter case ignored) have a
// meaning of their own; every other column is a parameter named by its heading (cut to 80
// characters):
//   block   consecutive rows with the same label form one block, named by the label; without
//           the column there is one block named by the options
//   sample  consecutive rows with the same label form one sample; without it the rows fill
//           samples in order, `sampleSize` points each (by default 200 for individual values,
//           one otherwise)
//   date    the sample's date, dd.mm.yyyy or yyyy-mm-dd (taken from the sample's first row;
//           with individual values every row's date and time also go to its point)
//   time    the sample's time, hh:mm or hh:mm:ss (only together with date)
//   size    alternative data only: the number of units inspected in the sample
//   note    the sample's note, event its event text (from its first row, cut to 150 characters)
// Numbers follow the typed-number rule (a decimal comma is accepted) except that a cell is never
// cut: one longer than 30 characters is not a number. An empty cell leaves the value slot
// empty. Rows whose cells are all empty are skipped.
//
// Quantitative data: each row is one point. Alternative data (every parameter named in
// `attributes`): each row is one sample whose one point holds the counts; a sample column only
// labels them, and a label may not come twice in a block.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/csv_table.h"
#include "spc/dataset_spc.h"

namespace mv {

struct TableTolerance {
  std::string name;  // the column's heading
  std::optional<double> lsl;
  std::optional<double> usl;
  std::optional<double> nominal;
};

struct TableDecimals {
  std::string name;
  int decimals = 0;  // 0..5
};

struct TableUnit {
  std::string name;
  std::string unit;  // cut to 10 characters
};

struct TableAttribute {
  std::string name;
  AttrType type = AttrType::Units;
};

// Members have initializers so that callers may name only the options they set.
struct TableDatasetOptions {
  std::string blockName = "Блок 1";  // "Block 1"; used when the table has no block column
  std::string processName{};
  std::vector<TableTolerance> tolerances{};
  // A parameter without an entry gets the most decimals written in its cells, at most 5.
  std::vector<TableDecimals> decimals{};
  std::vector<TableUnit> units{};
  bool individual = false;  // sampling mode "individual values"
  // Without a sample column: the points of each sample, 1..200; 0 for 200 with individual
  // values and 1 otherwise.
  int sampleSize = 0;
  // Non-empty: the block is of alternative data, and every parameter column must be named here.
  std::vector<TableAttribute> attributes{};
};

struct TableDatasetResult {
  std::unique_ptr<TDatasetSPC> dataset;  // only on success
  std::string error;                     // the first problem found, one line naming its row and column
  bool Ok() const { return dataset != nullptr; }
};

// "dd.mm.yyyy" or "yyyy-mm-dd" (day and month may have one digit), then optionally a blank and
// "hh:mm" or "hh:mm:ss": a date and time written as the date and time columns take them.
std::optional<TDateTime> ParseTableDateTime(std::string_view text);

// Reads the rest of `table` and builds the dataset: parameters, blocks (numbered), samples,
// points, tolerance marks and statistics. Any problem in the table or the options gives the
// error and no dataset. The dataset is new and has no file yet.
TableDatasetResult BuildTableDataset(CsvTable& table, const TableDatasetOptions& options);

}  // namespace mv
