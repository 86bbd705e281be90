#pragma once
// The columns of the parameter table: the catalogue every parameter table chooses its columns
// from (the chart window's table under the charts, the histogram's statistics box, the dataset
// reports), and the text of each column for one parameter over its statistics.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "analysis/capability.h"
#include "analysis/chart_data.h"
#include "analysis/chart_options.h"
#include "core/text.h"

namespace mv {

class ScaleList;
class TDatasetSPC;
class TSPCParameter;
struct TParamStat;

// Bits of a column's availability mask: which tables offer it.
namespace col_offer {
inline constexpr std::uint8_t kSubgroupChart = 1;     // the subgroup chart window's table
inline constexpr std::uint8_t kIndividualsChart = 2;  // the individuals chart window's table
inline constexpr std::uint8_t kAttributeChart = 4;    // the attribute chart window's table
inline constexpr std::uint8_t kVarReport = 8;         // reports on quantitative data
inline constexpr std::uint8_t kAttrReport = 16;       // reports on attribute data
}  // namespace col_offer

// One column of the catalogue.
struct TColPrototype {
  int number = 0;              // 1-based in the catalogue
  std::string_view longName;   // as the column editor lists it
  std::string_view shortName;  // the column's caption
  std::string_view english;    // the caption in English tables
  int width = 0;               // pixels
  std::uint8_t mask = 0;       // col_offer bits; the bits above them are kept as given

  std::string_view Caption(Lang lang) const { return lang == Lang::En ? english : shortName; }
  bool OfferedTo(std::uint8_t offer) const { return (mask & offer) != 0; }
};

// The catalogue of the parameter table's columns, numbered 1..26.
class TColPrototypeSet {
 public:
  static constexpr int kCount = 26;

  // The one catalogue of the parameter table.
  static const TColPrototypeSet& ParameterTable();

  std::span<const TColPrototype> Columns() const;
  // nullptr for a number outside 1..kCount.
  const TColPrototype* Find(int number) const;
  // The order the column editor lists the catalogue in (every number once).
  std::span<const int> EditorOrder() const;
  // The columns whose mask holds `offer` (col_offer bits), in the editor's order.
  std::vector<int> Offered(std::uint8_t offer) const;

 private:
  TColPrototypeSet() = default;
};

// The col_offer bit of a report's data kind.
std::uint8_t ReportOffer(DataKind kind);
// The col_offer bit of a chart window type.
std::uint8_t ChartWindowOffer(ChartWindowType type);
// The columns a chart window of `type` shows: those offered to its type whose bit (number - 1)
// is set in `columnsMask` (the chart options' columns of the window type), in the editor's order.
std::vector<int> ChartTableColumns(ChartWindowType type, std::uint32_t columnsMask);

// How the values are written.
struct ColumnValueSettings {
  Lang lang = Lang::Ru;
  // The value scale of attribute data: the performance and the quality limit are shown as a
  // share, in percent (per 100 units) or in PPM.
  AttrScale valueScale = AttrScale::Share;
  LevelUnit levelUnit = LevelUnit::Auto;  // of the estimated nonconformity level
};

// The digits after the point for a value shown with the automatic number of decimals:
// |x| >= 20 0, >= 2 1, >= 0.2 2, >= 0.02 3, >= 0.002 4, >= 0.0002 5, else 6.
int AutoDecimals(double x);

// The text of column `column` for `parameter` (the `runningNumber`th row of its table) over its
// statistics `stat`, trimmed. Decimals follow the parameter's (d): the sigmas, the mean of the
// sample means and the mean range with d + 1; the indices with 2 and their state words
// otherwise. Columns that do not apply to the parameter's data kind, statistics without a
// used sample, and numbers outside the catalogue give "".
std::string ColumnValue(int column, int runningNumber, const TSPCParameter& parameter, const ScaleList& scales,
                        const TParamStat& stat, const ColumnValueSettings& settings);

// A parameter table: a caption per column and a row of texts per parameter.
struct ParamTable {
  struct Column {
    int number = 0;
    std::string caption;
    int width = 0;
  };
  std::vector<Column> columns;
  std::vector<std::vector<std::string>> rows;  // rows[r][c] for columns[c]
};

// The table of the columns listed (numbers outside the catalogue are left out) with one row per
// statistics record, numbered from 1 in that order. A record whose parameter the dataset does not
// hold gives a row of empty texts.
ParamTable BuildParamTable(const TDatasetSPC& dataset, std::span<const int> columns, std::span<const TParamStat> stats,
                           const ColumnValueSettings& settings);

// The lines of a statistics box: (caption, value) for each indicator (a column number) in the
// order given; numbers outside the catalogue are left out.
std::vector<std::pair<std::string, std::string>> StatisticsLines(std::span<const std::uint8_t> indicators,
                                                                 int runningNumber, const TSPCParameter& parameter,
                                                                 const ScaleList& scales, const TParamStat& stat,
                                                                 const ColumnValueSettings& settings);

}  // namespace mv
