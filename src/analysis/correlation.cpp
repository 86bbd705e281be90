#include "analysis/correlation.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <new>

#include "analysis/value_list.h"
#include "core/numbers.h"
#include "spc/sample_filter.h"

namespace mv {
namespace {

// Critical values of r for the levels 0.05 and 0.01 by the number of pairs.
constexpr CriticalValueRow kCriticalTable[] = {
    {3, 0.997, 1.000},    {4, 0.950, 0.990},    {5, 0.878, 0.959},    {6, 0.811, 0.917},    {7, 0.755, 0.875},
    {8, 0.707, 0.834},    {9, 0.666, 0.798},    {10, 0.632, 0.765},   {11, 0.602, 0.735},   {12, 0.576, 0.708},
    {13, 0.553, 0.684},   {14, 0.532, 0.661},   {15, 0.514, 0.641},   {16, 0.497, 0.623},   {17, 0.482, 0.606},
    {18, 0.468, 0.590},   {19, 0.456, 0.575},   {20, 0.444, 0.561},   {21, 0.433, 0.549},   {22, 0.423, 0.537},
    {23, 0.413, 0.526},   {24, 0.404, 0.515},   {25, 0.396, 0.505},   {30, 0.361, 0.463},   {35, 0.334, 0.430},
    {40, 0.312, 0.403},   {45, 0.294, 0.380},   {50, 0.279, 0.361},   {55, 0.266, 0.345},   {60, 0.254, 0.330},
    {65, 0.244, 0.317},   {70, 0.235, 0.306},   {80, 0.220, 0.286},   {90, 0.207, 0.270},   {100, 0.197, 0.256},
    {120, 0.179, 0.234},  {130, 0.172, 0.225},  {140, 0.166, 0.217},  {150, 0.160, 0.210},  {200, 0.139, 0.182},
    {250, 0.124, 0.163},  {300, 0.113, 0.149},  {350, 0.105, 0.138},  {400, 0.098, 0.129},  {450, 0.092, 0.121},
    {500, 0.088, 0.115},  {600, 0.080, 0.105},  {1000, 0.062, 0.081}, {2000, 0.044, 0.058}, {5000, 0.028, 0.036},
    {10000, 0.020, 0.026},
};

// Below this share of the raw sum of squares a centred sum is treated as lost to rounding, and
// the pair is summed again about its own means (a parameter that does not vary lands here too).
constexpr double kCancellationShare = 1e-8;

bool AllSame(std::span<const double> v) {
  return std::all_of(v.begin(), v.end(), [first = v.empty() ? 0.0 : v.front()](double x) { return x == first; });
}

// The mean, refined once by the mean of the deviations from it.
double MeanOf(std::span<const double> v) {
  double sum = 0;
  for (const double x : v) sum += x;
  const double n = static_cast<double>(v.size());
  const double first = sum / n;
  double deviation = 0;
  for (const double x : v) deviation += x - first;
  return first + deviation / n;
}

// Fills in r and the line from the centred sums; constX / constY say that x or y does not vary.
PairStatistics FromCentredSums(std::uint32_t n, double mx, double my, double sxx, double syy, double sxy,
                               bool constX, bool constY, double yValue) {
  PairStatistics p;
  p.n = n;
  if (n == 0) return p;
  if (!constX) {
    p.slope = constY ? 0.0 : sxy / sxx;
    p.intercept = constY ? yValue : my - p.slope * mx;
    p.hasLine = std::isfinite(p.slope) && std::isfinite(p.intercept);
    if (!p.hasLine) p.slope = p.intercept = 0;
  }
  if (n >= kMinCorrelationPairs && !constX && !constY) {
    // The product of the roots, not the root of the product: the product may overflow.
    const double r = sxy / (std::sqrt(sxx) * std::sqrt(syy));
    if (std::isfinite(r)) {
      p.r = std::clamp(r, -1.0, 1.0);
      p.computed = true;
    }
  }
  return p;
}

constexpr const char* kNotComputedText = "Не рассчитано из-за недостатка данных";

const char* SignificanceWord(CorrSignificance s) {
  switch (s) {
    case CorrSignificance::Positive: return "существенная положительная";
    case CorrSignificance::Negative: return "существенная отрицательная";
    default: return "несущественная";
  }
}

}  // namespace

// --- the critical value ---

std::span<const CriticalValueRow> CriticalValueTable() { return kCriticalTable; }

double CriticalValue(std::uint32_t pairs, bool level01) {
  double value = 1;
  for (const CriticalValueRow& row : kCriticalTable) {
    if (row.pairs > pairs) break;
    value = level01 ? row.level01 : row.level05;
  }
  return value;
}

bool ManualCriticalValid(double value) {
  return std::isfinite(value) && value >= kMinManualCritical - kSameEpsilon && value <= kMaxManualCritical + kSameEpsilon;
}

// --- one pair ---

PairStatistics ComputePairStatistics(std::span<const double> x, std::span<const double> y) {
  const std::size_t n = std::min(x.size(), y.size());
  x = x.first(n);
  y = y.first(n);
  if (n == 0) return {};
  const double mx = MeanOf(x);
  const double my = MeanOf(y);
  double sxx = 0, syy = 0, sxy = 0;
  for (std::size_t k = 0; k < n; ++k) {
    const double dx = x[k] - mx;
    const double dy = y[k] - my;
    sxx += dx * dx;
    syy += dy * dy;
    sxy += dx * dy;
  }
  return FromCentredSums(static_cast<std::uint32_t>(n), mx, my, sxx, syy, sxy, AllSame(x), AllSame(y), y.front());
}

PairStatistics SwappedPair(const PairStatistics& pair, const double* constantX) {
  PairStatistics s = pair;
  s.hasLine = false;
  s.slope = s.intercept = 0;
  if (pair.hasLine) {
    if (std::fabs(pair.slope) >= kSameEpsilon) {
      s.slope = 1 / pair.slope;
      s.intercept = -pair.intercept / pair.slope;
      s.hasLine = std::isfinite(s.slope) && std::isfinite(s.intercept);
      if (!s.hasLine) s.slope = s.intercept = 0;
    }
  } else if (constantX && pair.n > 0 && std::isfinite(*constantX)) {
    s.intercept = *constantX;
    s.hasLine = true;
  }
  return s;
}

CorrSignificance Significance(const PairStatistics& pair, double critical) {
  if (!pair.computed) return CorrSignificance::None;
  if (pair.r >= critical - kSameEpsilon) return CorrSignificance::Positive;
  if (pair.r <= -critical + kSameEpsilon) return CorrSignificance::Negative;
  return CorrSignificance::NotSignificant;
}

// --- texts ---

std::string CorrelationCellText(const PairStatistics& pair) {
  return pair.computed ? FormatFixed(pair.r, 3) : std::string(kNotComputedCell);
}

std::string SignificanceText(CorrSignificance significance) {
  if (significance == CorrSignificance::None) return kNotComputedText;
  return std::string(SignificanceWord(significance)) + " корреляционная связь";
}

std::string PairLineText(const PairStatistics& pair, CorrSignificance significance) {
  std::string text = pair.computed ? FormatFixed(pair.r, 3) + "   (" + SignificanceText(significance) + ")"
                                   : std::string(kNotComputedText);
  if (!pair.hasLine) return text;
  const std::string magnitude = FormatFixed(std::fabs(pair.intercept), 3);
  // The sign follows what is shown: -0.0001 is "+ 0.000".
  const bool negative = pair.intercept < 0 && magnitude != FormatFixed(0, 3);
  return text + " / Y = " + FormatFixed(pair.slope, 3) + "X " + (negative ? "- " : "+ ") + magnitude;
}

std::string CriticalValueText(double critical, bool automatic) {
  return FormatTrimmed(critical, 4) + (automatic ? "  (авто)" : "");
}

std::string PointsLineText(std::uint32_t activePairs, std::uint32_t inactiveRows, bool filterInForce,
                           std::uint32_t filteredRows) {
  std::string text = FormatInt(activePairs);
  if (activePairs < kMinCorrelationPairs) text += " - недостаточно для расчета корреляции";
  if (inactiveRows > 0) {
    text += "  (неактивных - " + FormatInt(inactiveRows);
    if (filterInForce) text += ", отфильтрованных - " + FormatInt(filteredRows);
    text += ")";
  }
  return text;
}

std::string CorrelationTitle(CorrelationMode mode) {
  std::string title = "Корреляция между параметрами ";
  if (mode == CorrelationMode::Values) title += " (по индивидуальным значениям)";
  return title;
}

std::string NormalityCellText(const TNormality& normality) {
  if (!normality.computed || !normality.enoughData) return " НД";
  return normality.normal ? " Да" : " Нет";
}

std::string BoxPlotHint(std::string_view parameterName, const TBoxPlot& boxPlot, int decimals) {
  return " Усатая диаграмма (" + std::string(parameterName) + "): " + BoxPlotText(boxPlot, decimals);
}

std::string TooFewActivePointsText(std::uint32_t n) {
  return "Недостаточно активных точек (" + FormatInt(n) + ") для расчета корреляции";
}

// --- the matrix ---

std::vector<int> CorrelationParameters(const TDatasetSPC& dataset) {
  std::vector<int> positions;
  for (int i = 1; i <= dataset.ParameterCount(); ++i) {
    const TSPCParameter* p = dataset.Parameter(i);
    if (p->kind == DataKind::Var && !p->IsTag()) positions.push_back(i);
  }
  return positions;
}

void CorrelationMatrix::Clear() {
  m_rows = m_activeRows = m_filteredRows = 0;
  m_rowFiltered.clear();
  m_parameters.clear();
  m_shift.clear();
  m_complete.clear();
  m_centred.clear();
  m_centredSum.clear();
  m_centredSquares.clear();
  m_pairs.clear();
}

std::string CorrelationMatrix::Compute(const SampleSelection& selection, const CorrelationRequest& request) {
  std::string message = BuildRows(selection, request);
  if (!message.empty()) return message;
  ComputePairs();
  std::uint32_t most = 0;
  for (const CorrPair& p : m_pairs) most = std::max(most, p.stats.n);
  if (most < 2) {
    Clear();
    return TooFewActivePointsText(most);
  }
  ComputeParameterFigures();
  return {};
}

std::string CorrelationMatrix::BuildRows(const SampleSelection& selection, const CorrelationRequest& request) {
  Clear();
  m_mode = request.mode;
  m_manual = request.manualCritical;
  m_manualValue = request.critical;
  if (!selection.dataset) return std::string(kTooFewCorrParameters);
  const TDatasetSPC& ds = *selection.dataset;

  // The parameters asked for that qualify, each once.
  const std::vector<int> qualifying = CorrelationParameters(ds);
  std::vector<int> positions;
  for (const int p : request.parameters.empty() ? qualifying : request.parameters) {
    if (std::find(qualifying.begin(), qualifying.end(), p) != qualifying.end() &&
        std::find(positions.begin(), positions.end(), p) == positions.end()) {
      positions.push_back(p);
    }
  }
  if (positions.size() < 2) return std::string(kTooFewCorrParameters);
  if (m_manual && !ManualCriticalValid(m_manualValue)) return std::string(kBadCriticalValue);
  m_filterInForce = ReadFilter(ds, DataKind::Var).InForce();

  const bool byValues = m_mode == CorrelationMode::Values;
  const auto visitRows = [&](auto&& visit) {
    ForEachSelectedSample(selection, [&](int b, const TSPCBlock& block, int s, const TSPCSample& sample) {
      if (block.kind != DataKind::Var || sample.countedPoints == 0) return;
      visit(b, s, sample);
    });
  };
  std::int64_t capacity = 0;
  visitRows([&](int, int, const TSPCSample& sample) { capacity += byValues ? sample.PointCount() : 1; });

  m_parameters.resize(positions.size());
  try {
    m_rowFiltered.reserve(static_cast<std::size_t>(capacity));
  } catch (const std::bad_alloc&) {
    Clear();
    return std::string(kCorrNoMemory);
  }
  for (std::size_t i = 0; i < positions.size(); ++i) {
    CorrParameter& p = m_parameters[i];
    p.position = positions[i];
    p.data.BindParameter(ds, p.position);
    if (capacity > 0 && !p.data.Allocate(capacity)) {
      Clear();
      return std::string(kCorrNoMemory);
    }
  }

  const std::size_t count = positions.size();
  std::array<double, kMaxParameters> values{};
  std::array<bool, kMaxParameters> present{};
  std::uint32_t row = 0;
  bool anyPresent = false;
  // Rows are written in place (the data sets hold room for every row): the point of row r of
  // every parameter, with its presence and activity.
  const auto addRow = [&](int b, int s, int point, bool active, bool filtered) {
    if (!anyPresent) return;
    ++row;
    TDataSetPoint base;
    base.block = static_cast<std::uint16_t>(b);
    base.sample = static_cast<std::uint16_t>(s);
    base.point = static_cast<std::uint16_t>(point);
    for (std::size_t i = 0; i < count; ++i) {
      TDataSetPoint& p = *m_parameters[i].data.MutablePoint(row);
      p = base;
      p.value = present[i] ? values[i] : 0;
      p.flags = static_cast<std::uint8_t>((present[i] ? dsp_flag::kPresent : 0) | (active ? dsp_flag::kActive : 0));
    }
    m_rowFiltered.push_back(filtered ? 1 : 0);
    if (active) ++m_activeRows;
    if (filtered) ++m_filteredRows;
  };
  visitRows([&](int b, int s, const TSPCSample& sample) {
    if (byValues) {
      for (int k = 1; k <= sample.PointCount(); ++k) {
        const TFileSmpPoint point = sample.Point(k);
        anyPresent = false;
        for (std::size_t i = 0; i < count; ++i) {
          present[i] = point.HasValue(positions[i]);
          values[i] = point.Value(positions[i]);
          anyPresent = anyPresent || present[i];
        }
        addRow(b, s, k, sample.IsActive() && point.Counts(), (point.Flags() & point_flag::kFiltered) != 0);
      }
    } else {
      // A sample's mean over its counted values; a sample without one has no value, not 0.
      anyPresent = false;
      for (std::size_t i = 0; i < count; ++i) {
        const SampleStats st = sample.Stats(positions[i]);
        present[i] = st.n > 0;
        values[i] = st.mean;
        anyPresent = anyPresent || present[i];
      }
      addRow(b, s, 0, sample.IsActive(), false);
    }
  });
  m_rows = row;
  // The data sets count the rows written (their capacity may hold more).
  for (CorrParameter& p : m_parameters) {
    if (m_rows > 0) {
      TDataSetPoint last = *p.data.Point(m_rows);
      p.data.AddPoint(m_rows, last.block, last.sample, last.point, (last.flags & dsp_flag::kActive) != 0,
                      (last.flags & dsp_flag::kPresent) != 0, last.value);
    }
  }

  m_shift.assign(count, 0.0);
  m_complete.assign(count, false);
  m_centred.assign(count, {});
  m_centredSum.assign(count, 0.0);
  m_centredSquares.assign(count, 0.0);
  for (std::size_t i = 0; i < count; ++i) {
    CorrParameter& p = m_parameters[i];
    p.data.ComputeStatistics();
    if (p.data.activeCount > 0 && std::isfinite(p.data.mean)) m_shift[i] = p.data.mean;
    // A parameter whose value every active row carries pairs on exactly the active rows: its
    // pairs with another such parameter are dot products of the centred columns.
    m_complete[i] = p.data.activeCount == m_activeRows;
    if (!m_complete[i] || m_rows == 0) continue;
    std::vector<double>& centred = m_centred[i];
    try {
      centred.resize(m_rows);
    } catch (const std::bad_alloc&) {
      m_complete[i] = false;  // the pairs are then summed row by row
      continue;
    }
    const TDataSetPoint* x = p.data.Point(1);
    double sum = 0, squares = 0;
    for (std::uint32_t k = 0; k < m_rows; ++k) {
      const double d = x[k].Analysed() ? x[k].value - m_shift[i] : 0.0;
      centred[k] = d;
      sum += d;
      squares += d * d;
    }
    m_centredSum[i] = sum;
    m_centredSquares[i] = squares;
  }
  return {};
}

void CorrelationMatrix::ComputeParameterFigures() {
  for (CorrParameter& p : m_parameters) {
    p.normality = TNormality{};
    p.boxPlot = TBoxPlot{};
    TValueList list;
    if (p.data.activeCount == 0 || !list.Allocate(p.data.activeCount)) continue;
    for (std::uint32_t k = 1; k <= p.data.Count(); ++k) {
      if (p.data.IsAnalysed(k)) list.Add(p.data.Value(k));
    }
    list.SetMeanAndSigma(p.data.mean, p.data.stdDev);
    p.normality = TestNormality(list);
    if (m_mode == CorrelationMode::Values) p.boxPlot = ComputeBoxPlot(list);
  }
}

void CorrelationMatrix::ComputePairs() {
  const std::size_t count = m_parameters.size();
  m_pairs.assign(count * count, CorrPair{});
  // The cross sums of the complete parameters, a block of rows at a time so that the block of
  // every column stays in the cache while all pairs take it.
  std::vector<double> cross(count * count, 0.0);
  constexpr std::uint32_t kBlockRows = 2048;
  for (std::uint32_t first = 0; first < m_rows; first += kBlockRows) {
    const std::uint32_t last = std::min(m_rows, first + kBlockRows);
    for (std::size_t i = 0; i < count; ++i) {
      if (!m_complete[i]) continue;
      const double* a = m_centred[i].data();
      for (std::size_t j = i + 1; j < count; ++j) {
        if (!m_complete[j]) continue;
        const double* b = m_centred[j].data();
        // Four sums side by side: independent additions the processor can overlap.
        double s0 = 0, s1 = 0, s2 = 0, s3 = 0;
        std::uint32_t k = first;
        for (; k + 4 <= last; k += 4) {
          s0 += a[k] * b[k];
          s1 += a[k + 1] * b[k + 1];
          s2 += a[k + 2] * b[k + 2];
          s3 += a[k + 3] * b[k + 3];
        }
        for (; k < last; ++k) s0 += a[k] * b[k];
        cross[i * count + j] += (s0 + s1) + (s2 + s3);
      }
    }
  }

  std::vector<double> xs, ys;
  for (std::size_t i = 0; i < count; ++i) {
    for (std::size_t j = i + 1; j < count; ++j) {
      PairStatistics stats;
      bool constantX = false;
      double xValue = 0;
      if (m_rows > 0) {
        const TDataSetPoint* x = m_parameters[i].data.Point(1);
        const TDataSetPoint* y = m_parameters[j].data.Point(1);
        const double shiftX = m_shift[i], shiftY = m_shift[j];
        // Sums about the shifts; the shifts are near the means, so the corrections of the sums
        // below lose nothing that matters.
        double sx = 0, sy = 0, sxx = 0, syy = 0, sxy = 0;
        std::uint32_t n = 0;
        if (m_complete[i] && m_complete[j]) {
          n = m_activeRows;
          sx = m_centredSum[i];
          sy = m_centredSum[j];
          sxx = m_centredSquares[i];
          syy = m_centredSquares[j];
          sxy = cross[i * count + j];
        } else {
          for (std::uint32_t k = 0; k < m_rows; ++k) {
            if (!x[k].Analysed() || !y[k].Analysed()) continue;
            const double dx = x[k].value - shiftX;
            const double dy = y[k].value - shiftY;
            ++n;
            sx += dx;
            sy += dy;
            sxx += dx * dx;
            syy += dy * dy;
            sxy += dx * dy;
          }
        }
        if (n > 0) {
          const double dn = n;
          const double cxx = sxx - sx * sx / dn;
          const double cyy = syy - sy * sy / dn;
          if (std::isfinite(cxx) && std::isfinite(cyy) && cxx > kCancellationShare * sxx &&
              cyy > kCancellationShare * syy) {
            stats = FromCentredSums(n, shiftX + sx / dn, shiftY + sy / dn, cxx, cyy, sxy - sx * sy / dn, false, false, 0);
          } else {
            // Little spread about the shift, or none: the pair again about its own means.
            xs.clear();
            ys.clear();
            for (std::uint32_t k = 0; k < m_rows; ++k) {
              if (!x[k].Analysed() || !y[k].Analysed()) continue;
              xs.push_back(x[k].value);
              ys.push_back(y[k].value);
            }
            stats = ComputePairStatistics(xs, ys);
            constantX = AllSame(xs);
            xValue = xs.empty() ? 0 : xs.front();
          }
        }
      }
      CorrPair& forward = m_pairs[i * count + j];
      forward.stats = stats;
      CorrPair& backward = m_pairs[j * count + i];
      backward.stats = SwappedPair(stats, constantX ? &xValue : nullptr);
      for (CorrPair* p : {&forward, &backward}) {
        p->critical = m_manual ? m_manualValue : CriticalValue(stats.n);
        p->significance = Significance(p->stats, p->critical);
      }
    }
  }
}

double CorrelationMatrix::Critical() const {
  if (m_manual) return m_manualValue;
  std::uint32_t most = 0;
  for (const CorrPair& p : m_pairs) most = std::max(most, p.stats.n);
  return CriticalValue(most);
}

PairRowCounts CorrelationMatrix::RowCounts(std::size_t i, std::size_t j) const {
  PairRowCounts c;
  if (i >= m_parameters.size() || j >= m_parameters.size() || m_rows == 0) return c;
  const TDataSetPoint* x = m_parameters[i].data.Point(1);
  const TDataSetPoint* y = m_parameters[j].data.Point(1);
  for (std::uint32_t k = 0; k < m_rows; ++k) {
    if ((x[k].flags & dsp_flag::kPresent) == 0 || (y[k].flags & dsp_flag::kPresent) == 0) continue;
    ++c.rows;
    if (x[k].Analysed() && y[k].Analysed()) ++c.active;
    if (m_rowFiltered[k] != 0) ++c.filtered;
  }
  return c;
}

std::string CorrelationMatrix::CellText(std::size_t i, std::size_t j) const {
  return i == j ? std::string() : CorrelationCellText(Pair(i, j).stats);
}

std::string CorrelationMatrix::PairLine(std::size_t i, std::size_t j) const {
  const CorrPair& p = Pair(i, j);
  return PairLineText(p.stats, p.significance);
}

std::string CorrelationMatrix::PointsLine(std::size_t i, std::size_t j) const {
  const PairRowCounts c = RowCounts(i, j);
  return PointsLineText(c.active, c.Inactive(), m_filterInForce, c.filtered);
}

}  // namespace mv
