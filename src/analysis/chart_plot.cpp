#include "analysis/chart_plot.h"

#include <algorithm>
#include <cmath>

#include "core/date_time.h"
#include "core/numbers.h"

namespace mv {

EntryAxis::EntryAxis(std::uint32_t count, double left, double width)
    : m_count(count), m_left(left), m_width(std::max(width, 0.0)) {
  m_step = m_count > 0 ? m_width / static_cast<double>(m_count) : 0;
  m_columns = std::max(1, static_cast<int>(std::ceil(m_width)));
}

int EntryAxis::ColumnOf(std::uint32_t index) const {
  const double dx = X(index) - m_left;
  if (!(dx > 0)) return 0;
  return std::min(static_cast<int>(dx), m_columns - 1);
}

std::uint32_t EntryAxis::EntryAt(double x) const {
  if (m_count == 0) return 0;
  if (!(m_step > 0)) return 1;
  const double slot = (x - m_left) / m_step;
  if (!(slot >= 1)) return 1;  // NaN as well
  if (slot >= static_cast<double>(m_count)) return m_count;
  return static_cast<std::uint32_t>(slot) + 1;
}

ValueScale::ValueScale(double min, double max, double top, double height)
    : m_min(min), m_max(max), m_top(top), m_height(height) {
  if (!(m_max > m_min)) {
    m_min = min - 1;
    m_max = min + 1;
  }
  m_perUnit = m_height / (m_max - m_min);
  if (!std::isfinite(m_perUnit) || m_perUnit == 0) m_perUnit = 1;
}

DecimatedSeries DecimateSeries(const CDataSet& set, const TChartDataX& data, const EntryAxis& axis) {
  DecimatedSeries out;
  const std::uint32_t count = set.Count();
  for (std::uint32_t i = std::max<std::uint32_t>(set.FirstIndex(), 1); i <= count; ++i) {
    const TDataSetPoint& p = *set.Point(i);
    if ((p.flags & dsp_flag::kPresent) == 0) continue;
    if (!p.Analysed()) {
      const bool filtered =
          i <= data.Count() && (data.points[i - 1].flags & chart_point_flag::kFiltered) != 0 &&
          (data.points[i - 1].flags & chart_point_flag::kExcluded) == 0;
      out.marks.push_back({i, filtered ? PlotMark::Filtered : PlotMark::Excluded});
      continue;
    }
    ++out.analysedCount;
    const double v = p.value;
    const int column = axis.ColumnOf(i);
    if (out.columns.empty() || out.columns.back().column != column) {
      out.columns.push_back({column, i, i, v, v, v, v});
    } else {
      PlotColumn& c = out.columns.back();
      c.last = i;
      c.lastValue = v;
      c.min = std::min(c.min, v);
      c.max = std::max(c.max, v);
    }
    if ((p.flags & dsp_flag::kBeyond) != 0) {
      out.marks.push_back({i, PlotMark::Beyond});
    } else if ((p.flags & dsp_flag::kSeries) != 0) {
      out.marks.push_back({i, PlotMark::Series});
    }
  }
  return out;
}

std::uint32_t NearestEntry(const CDataSet& set, const EntryAxis& axis, const ValueScale& scale, double x, double y,
                           double radius) {
  if (axis.Count() == 0 || !(radius >= 0)) return 0;
  const std::uint32_t from = std::max({axis.EntryAt(x - radius), set.FirstIndex(), std::uint32_t{1}});
  const std::uint32_t to = std::min(axis.EntryAt(x + radius), set.Count());
  std::uint32_t best = 0;
  double bestDistance = radius * radius;
  for (std::uint32_t i = from; i <= to; ++i) {
    const TDataSetPoint& p = *set.Point(i);
    if ((p.flags & dsp_flag::kPresent) == 0) continue;
    const double dx = axis.X(i) - x;
    const double dy = scale.Y(p.value) - y;
    const double d = dx * dx + dy * dy;
    if (d <= bestDistance) {
      // The first of equally near points, as the mouse reads left to right.
      if (best == 0 || d < bestDistance) best = i;
      bestDistance = d;
    }
  }
  return best;
}

namespace {

// 1, 2 or 5 x 10^k, the smallest not below `raw`.
double NiceStep(double raw) {
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  const double norm = raw / magnitude;
  const double nice = norm <= 1 ? 1 : norm <= 2 ? 2 : norm <= 5 ? 5 : 10;
  return nice * magnitude;
}

}  // namespace

ValueTicks ChooseValueTicks(double min, double max, int maxTicks) {
  ValueTicks t;
  if (!std::isfinite(min) || !std::isfinite(max) || maxTicks < 1) return t;
  if (!(max > min)) {
    t.values.push_back(min);
    return t;
  }
  const double raw = (max - min) / maxTicks;
  if (!(raw > 0) || !std::isfinite(raw)) return t;
  t.step = NiceStep(raw);
  // Whole multiples of the step: no drift from adding it up.
  const double firstMultiple = std::ceil(min / t.step - 1e-9);
  for (int k = 0; k <= maxTicks + 1; ++k) {
    const double v = (firstMultiple + k) * t.step;
    if (v > max + t.step * 1e-9) break;
    t.values.push_back(std::fabs(v) < t.step * 1e-9 ? 0.0 : v);
  }
  t.decimals = std::clamp(static_cast<int>(-std::floor(std::log10(t.step) + 1e-9)), 0, 12);
  return t;
}

std::vector<std::uint32_t> ChooseEntryTicks(const EntryAxis& axis, double minGap) {
  std::vector<std::uint32_t> ticks;
  if (axis.Count() == 0) return ticks;
  double step = 1;
  if (axis.Step() > 0 && axis.Step() < minGap) step = NiceStep(minGap / axis.Step());
  if (step <= 1) {
    for (std::uint32_t i = 1; i <= axis.Count(); ++i) ticks.push_back(i);
    return ticks;
  }
  const auto whole = static_cast<std::uint64_t>(step);
  for (std::uint64_t i = whole; i <= axis.Count(); i += whole) ticks.push_back(static_cast<std::uint32_t>(i));
  if (ticks.empty()) ticks.push_back(1);
  return ticks;
}

std::string EntryTickLabel(const TChartDataX& data, std::uint32_t index, bool dates) {
  if (!dates || index < 1 || index > data.Count() || data.points[index - 1].date == 0) return FormatInt(index);
  const TDateTime date = data.points[index - 1].date;
  const double span = data.points.back().date - data.points.front().date;
  const CalendarDate d = DecodeDate(date);
  const auto two = [](int n) { return std::string(n < 10 ? "0" : "") + FormatInt(n); };
  std::string text = two(d.day) + "." + two(d.month);
  if (std::fabs(span) > 365) text += "." + two(d.year % 100);
  if (data.withTime) text += " " + TimeText(date);
  return text;
}

}  // namespace mv
