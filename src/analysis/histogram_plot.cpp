#include "analysis/histogram_plot.h"

#include <algorithm>
#include <cmath>

#include "analysis/chart_plot.h"
#include "analysis/normal_distribution.h"

namespace mv {
namespace {

constexpr double kSpanMargin = 0.02;
// Room above the tallest bar for its count.
constexpr double kDensityHeadroom = 1.12;

bool Finite(double v) { return std::isfinite(v); }

}  // namespace

HistogramRange HistogramDrawnSpan(const THistogram& h, const ValueRange& tolerance, const HistogramOptions& o) {
  HistogramRange span{h.min, h.max};
  const auto widen = [&span](std::optional<double> v) {
    if (!v || !Finite(*v)) return;
    span.min = std::min(span.min, *v);
    span.max = std::max(span.max, *v);
  };
  if (o.toleranceLimits && o.toleranceInFull) {
    widen(tolerance.Get(ValueRange::kLower));
    widen(tolerance.Get(ValueRange::kUpper));
  }
  if (o.sigmaLevels && o.levelsInFull && h.sigma > 0) {
    const SigmaLevelLines levels = SigmaLevels(h.mean, h.sigma, o.sigmaLevel);
    widen(levels.lower);
    widen(levels.upper);
  }
  if (!(span.max > span.min)) {
    span.min -= 1;
    span.max += 1;
  }
  const double margin = (span.max - span.min) * kSpanMargin;
  if (Finite(margin)) {
    span.min -= margin;
    span.max += margin;
  }
  return span;
}

void ShareHistogramSpans(std::span<HistogramRange> spans, std::span<const std::int32_t> groups) {
  const std::size_t n = std::min(spans.size(), groups.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (groups[i] == 0) continue;
    // The first of the group gathers the union; the rest take it after.
    bool first = true;
    for (std::size_t j = 0; j < i; ++j) first = first && groups[j] != groups[i];
    if (!first) continue;
    HistogramRange all = spans[i];
    for (std::size_t j = i + 1; j < n; ++j) {
      if (groups[j] != groups[i]) continue;
      all.min = std::min(all.min, spans[j].min);
      all.max = std::max(all.max, spans[j].max);
    }
    for (std::size_t j = i; j < n; ++j) {
      if (groups[j] == groups[i]) spans[j] = all;
    }
  }
}

double HistogramDensityTop(const THistogram& h, bool normalCurve) {
  const double top = std::max(h.maxShareDensity, normalCurve ? h.normalPeakDensity : 0.0) * kDensityHeadroom;
  return top > 0 && Finite(top) ? top : 1;
}

std::vector<double> HistogramCountTicks(double topCount, int maxTicks) {
  std::vector<double> out;
  // A step that rounds up beyond the top leaves 0 alone: take more, finer ticks then.
  for (int ticks = std::max(2, maxTicks); ticks <= std::max(2, maxTicks) + 8; ++ticks) {
    out.clear();
    for (const double v : ChooseValueTicks(0, topCount, ticks).values) {
      if (std::fabs(v - std::round(v)) < 1e-9) out.push_back(std::round(v));
    }
    if (out.size() >= 2 || !(topCount >= 1)) break;
  }
  return out;
}

HistogramAxis::HistogramAxis(HistogramRange span, double left, double width, double densityTop, double top,
                             double height)
    : m_min(span.min), m_max(span.max), m_left(left), m_width(std::max(width, 0.0)), m_top(top),
      m_height(std::max(height, 0.0)) {
  if (!(m_max > m_min)) {
    m_min = span.min - 1;
    m_max = span.min + 1;
  }
  m_perUnit = m_width / (m_max - m_min);
  if (!Finite(m_perUnit) || m_perUnit <= 0) m_perUnit = 1;
  m_densityTop = densityTop > 0 && Finite(densityTop) ? densityTop : 1;
}

std::optional<BarRect> HistogramBar(const THistogram& h, const HistogramAxis& axis, int bin) {
  const HistogramBin* b = h.Bin(bin);
  if (b == nullptr) return std::nullopt;
  return BarRect{axis.X(b->lower), axis.X(b->upper), axis.Y(b->shareDensity), axis.Y(0)};
}

int HistogramBinAtX(const THistogram& h, const HistogramAxis& axis, double x) { return h.BinAt(axis.ValueAt(x)); }

std::vector<std::pair<double, double>> NormalCurve(const THistogram& h, const HistogramAxis& axis, int steps) {
  std::vector<std::pair<double, double>> curve;
  if (!(h.sigma > 0) || steps < 1) return curve;
  curve.reserve(static_cast<std::size_t>(steps) + 1);
  for (int k = 0; k <= steps; ++k) {
    const double v = axis.Min() + (axis.Max() - axis.Min()) * k / steps;
    curve.emplace_back(v, NormalDensity(h.sigma, h.mean, v));
  }
  return curve;
}

std::optional<std::size_t> UniqueValueAtX(const THistogram& h, const HistogramAxis& axis, double x, double radius) {
  const auto& list = h.uniqueValues;
  if (list.empty() || !(radius >= 0)) return std::nullopt;
  // The first value drawn at or right of x, and the one before it.
  const auto it = std::lower_bound(list.begin(), list.end(), x,
                                   [&axis](const UniqueValue& u, double at) { return axis.X(u.value) < at; });
  std::optional<std::size_t> best;
  double bestDistance = radius;
  for (auto c = it == list.begin() ? it : it - 1; c != list.end() && c <= it; ++c) {
    const double d = std::fabs(axis.X(c->value) - x);
    if (d <= bestDistance && (!best || d < bestDistance)) {
      best = static_cast<std::size_t>(c - list.begin());
      bestDistance = d;
    }
  }
  return best;
}

bool SetupAdviceShown(const SetupAdvice& advice, const HistogramAxis& axis, double mean, double pixel) {
  if (advice.centred) return true;
  return std::fabs(axis.X(mean + advice.diff) - axis.X(mean)) > kSetupShiftMinPixels * pixel;
}

HistogramGrid HistogramGridOf(std::size_t count) {
  if (count <= 1) return {1, 1};
  if (count == 4) return {2, 2};
  const int columns = static_cast<int>(std::min<std::size_t>(count, 3));
  return {columns, static_cast<int>((count + 2) / 3)};
}

}  // namespace mv
