#pragma once
// The geometry of a drawn control chart, without the drawing: where an entry and a value go in
// the plot area, the decimation of a dense series per pixel column, the nearest point under
// the mouse, and the ticks of the two axes. The painters place every mark by these, and the
// window's mouse and the tests find the marks by the same numbers.

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/chart_data.h"
#include "analysis/data_set.h"

namespace mv {

// Entries 1..count spread evenly over [left, left + width): entry i sits in the middle of its
// slot, at left + (i - 0.5) x width / count. A pixel column c covers [left + c, left + c + 1).
class EntryAxis {
 public:
  EntryAxis() = default;
  EntryAxis(std::uint32_t count, double left, double width);

  std::uint32_t Count() const { return m_count; }
  double Left() const { return m_left; }
  double Width() const { return m_width; }
  // Width of one entry's slot.
  double Step() const { return m_step; }
  int Columns() const { return m_columns; }
  double X(std::uint32_t index) const { return m_left + (static_cast<double>(index) - 0.5) * m_step; }
  // The pixel column of an entry, 0..Columns() - 1.
  int ColumnOf(std::uint32_t index) const;
  // The entry whose slot holds x, limited to 1..Count(); 0 without entries.
  std::uint32_t EntryAt(double x) const;

 private:
  std::uint32_t m_count = 0;
  double m_left = 0;
  double m_width = 0;
  double m_step = 0;
  int m_columns = 0;
};

// Values min..max onto [top + height, top]: the maximum at the top.
class ValueScale {
 public:
  ValueScale() = default;
  // An empty span (min = max) becomes min - 1 .. max + 1, so that no division by zero can occur.
  ValueScale(double min, double max, double top, double height);

  double Min() const { return m_min; }
  double Max() const { return m_max; }
  double Top() const { return m_top; }
  double Height() const { return m_height; }
  double Y(double value) const { return m_top + (m_max - value) * m_perUnit; }
  double ValueAt(double y) const { return m_max - (y - m_top) / m_perUnit; }

 private:
  double m_min = 0, m_max = 1;
  double m_top = 0, m_height = 1;
  double m_perUnit = 1;  // pixels per unit of value
};

// One pixel column of a series: the smallest and the largest analysed value that falls into
// it, and the first and the last of them (entry indexes), which join the neighbouring columns.
struct PlotColumn {
  int column = 0;
  std::uint32_t first = 0;  // entry indexes of the first and last analysed point in the column
  std::uint32_t last = 0;
  double firstValue = 0;
  double lastValue = 0;
  double min = 0;
  double max = 0;
};

// What is drawn as a mark of its own.
enum class PlotMark : std::uint8_t {
  Beyond = 1,    // beyond the limits
  Series = 2,    // part of a signalled series
  Excluded = 3,  // entry excluded (inactive sample or point), drawn at its value
  Filtered = 4,  // entry filtered out, drawn at its value
};

struct PlotMarkPoint {
  std::uint32_t index = 0;
  PlotMark mark = PlotMark::Beyond;
};

// The series line of one data set: one column record per pixel column that holds an analysed
// point (in column order), and every point that must keep a mark of its own. Only points from
// the data set's first index on are plotted (the moving-range chart has no value before it);
// excluded and filtered entries are left out of the line. The work is one pass over the points:
// a series of 200 000 points gives at most one record per column.
struct DecimatedSeries {
  std::vector<PlotColumn> columns;
  std::vector<PlotMarkPoint> marks;
  std::uint32_t analysedCount = 0;
  // At most one analysed point per column: the line can be drawn point by point with a mark
  // on each.
  bool Sparse() const { return analysedCount == columns.size(); }
};

// `data` gives the entries' excluded and filtered flags; it may hold fewer entries than the
// set (then the set's flags alone decide).
DecimatedSeries DecimateSeries(const CDataSet& set, const TChartDataX& data, const EntryAxis& axis);

// The entry whose drawn point lies nearest to (x, y) within `radius` pixels, 0 when none: only
// the columns within the radius are looked at, so a dense series costs the points of a few
// columns, not all of them. Points without a plotted value take no part.
std::uint32_t NearestEntry(const CDataSet& set, const EntryAxis& axis, const ValueScale& scale, double x, double y,
                           double radius);

// Ticks of a value axis: round values 1, 2 or 5 x 10^k apart, at most `maxTicks` of them in
// min..max, with the decimals their labels need.
struct ValueTicks {
  std::vector<double> values;
  double step = 0;
  int decimals = 0;
};
ValueTicks ChooseValueTicks(double min, double max, int maxTicks);

// Ticks of the entry axis: every entry when their slots are at least `minGap` pixels wide,
// else the multiples of a step of 1, 2 or 5 x 10^k entries that keeps labels `minGap` apart
// (entry 1 alone when no multiple fits).
std::vector<std::uint32_t> ChooseEntryTicks(const EntryAxis& axis, double minGap);

// The label of an entry on the entry axis: its number, or with dates its date ("05.03" with
// the time "05.03 14:07" when the list carries times; "05.03.24" when the entries span more
// than a year). An entry without a date keeps its number.
std::string EntryTickLabel(const TChartDataX& data, std::uint32_t index, bool dates);

}  // namespace mv
