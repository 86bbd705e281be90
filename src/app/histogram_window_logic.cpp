#include "app/histogram_window_logic.h"

#include <algorithm>

#include "analysis/chart_texts.h"
#include "analysis/normality.h"
#include "core/numbers.h"

namespace mv {

std::string ExpandTitle(std::string_view typed) { return std::string(typed); }

HistogramWindowLogic::HistogramWindowLogic(const TDatasetSPC& dataset, SampleSelection selection,
                                           const std::vector<int>& parameters, const HistogramOptions& options)
    : m_dataset(&dataset), m_options(options) {
  selection.dataset = &dataset;
  for (const int p : parameters) {
    if (m_histos.size() >= kMaxHistograms) break;
    const TSPCParameter* parameter = dataset.Parameter(p);
    if (!parameter || parameter->kind != DataKind::Var || parameter->IsTag()) continue;
    THisto h;
    h.task.selection = selection;
    h.task.parameter = p;
    h.task.title = options.title;
    m_histos.push_back(std::move(h));
  }
}

std::size_t HistogramWindowLogic::Recompute() {
  ComputeHistograms(m_histos, m_options.keepParameterScale);
  return static_cast<std::size_t>(
      std::count_if(m_histos.begin(), m_histos.end(), [](const THisto& h) { return h.loaded; }));
}

bool HistogramWindowLogic::Adjust(int delta) {
  std::vector<int> before;
  for (const THisto& h : m_histos) before.push_back(h.histogram.binCount);
  for (THisto& h : m_histos) {
    // The adjustment stops where the count stops, so the other way answers at once.
    const int count = h.histogram.binCount;
    if ((delta > 0 && count >= 20) || (delta < 0 && count <= 5)) continue;
    h.histogram.userAdjustment += delta;
  }
  Recompute();
  for (std::size_t i = 0; i < m_histos.size(); ++i) {
    if (m_histos[i].histogram.binCount != before[i]) return true;
  }
  return false;
}

bool HistogramWindowLogic::MoreBins() { return Adjust(+1); }
bool HistogramWindowLogic::FewerBins() { return Adjust(-1); }

void HistogramWindowLogic::SetOptions(const HistogramOptions& options) {
  m_options = options;
  for (THisto& h : m_histos) h.task.title = options.title;
  Recompute();
}

std::string HistogramWindowLogic::Title(std::size_t i) const {
  if (i >= m_histos.size()) return {};
  const THisto& h = m_histos[i];
  std::string title = ExpandTitle(h.task.title);
  if (Trim(title).empty()) {
    const TSPCParameter* parameter = m_dataset->Parameter(h.task.parameter);
    title = parameter ? parameter->name : std::string();
  }
  if (m_options.numberHistograms) title = FormatInt(static_cast<std::int64_t>(i + 1)) + ". " + title;
  if (m_options.addDatasetName) title += " - " + DatasetDisplayName(*m_dataset);
  return title;
}

std::string HistogramWindowLogic::Caption() const {
  const bool one = m_histos.size() == 1;
  const char* head = m_lang == Lang::En ? (one ? "Histogram - " : "Histograms - ")
                                        : (one ? "Гистограмма - " : "Гистограммы - ");
  return head + DatasetDisplayName(*m_dataset);
}

void HistogramWindowLogic::SetRequestedBins(int bins) {
  for (THisto& h : m_histos) h.task.bins = bins;
}

std::string HistogramWindowLogic::BinText(std::size_t i, int bin) const {
  if (i >= m_histos.size() || !m_histos[i].loaded) return {};
  return BinMouseText(m_histos[i].histogram, bin, m_histos[i].data.decimals);
}

std::string HistogramWindowLogic::ValueText(std::size_t i, std::size_t value) const {
  if (i >= m_histos.size() || !m_histos[i].loaded) return {};
  const auto& values = m_histos[i].histogram.uniqueValues;
  return value < values.size() ? UniqueValueMouseText(values[value], m_histos[i].data.decimals) : std::string();
}

namespace {

// The caption of an indicator (a column of the parameter table: its short name, or its English
// caption) and its value over a histogram's own values; "" for a column a histogram has no
// value for.
struct Indicator {
  std::string caption;
  std::string value;
};

Indicator IndicatorOf(std::uint8_t column, const THisto& h, const TSPCParameter* parameter, Lang lang) {
  const bool en = lang == Lang::En;
  const int d = h.data.decimals;
  const CapabilityFigures& c = h.capability;
  const auto index = [&](const char* caption, const TCapIndex& i) {
    return Indicator{caption, CapIndexText(i, 2, lang, false)};
  };
  switch (column) {
    case 2: return {en ? "Parameter" : "Параметр", parameter ? parameter->name : std::string()};
    case 3: return {en ? "Unit" : "Ед.изм.", h.data.unit};
    case 4: {
      std::string text(Trim(h.data.tolerance.Text(lang)));
      if (!text.empty() && !h.data.unit.empty()) text += " " + h.data.unit;
      return {en ? "Spec.limits" : "Допуск", text};
    }
    // Within a histogram both sigmas are the values' standard deviation.
    case 6: return {en ? "Sigma С" : "Сигма С", FormatFixed(h.data.stdDev, d + 1)};
    case 7: return {en ? "Sigma P" : "Сигма P", FormatFixed(h.data.stdDev, d + 1)};
    case 8:
    case 10:
    case 17: return {en ? "X mean" : "X ср.", FormatFixed(h.data.mean, d + 1)};
    case 12: return index("Cp", c.cp);
    case 13: return index("Cpk", c.cpk);
    case 14: return index("Pp", c.pp);
    case 15: return index("Ppk", c.ppk);
    case 18: return index("Cpm", c.cpm);
    case 25: return index("Cm", c.pp);
    case 26: return index("Cmk", c.ppk);
    case 21: return {en ? "Distribution" : "Распред.", NormalityText(h.histogram.normality, lang, false)};
    case 22: {
      if (!c.hasPercents) return {"Q", en ? "none" : "нет"};
      const bool known = h.histogram.normality.computed && h.histogram.normality.normal;
      return {"Q", LevelText(c.percentTotal, known, lang, false)};
    }
    default: return {};
  }
}

}  // namespace

StatisticLines HistogramWindowLogic::Statistics(std::size_t i) const {
  StatisticLines lines;
  if (i >= m_histos.size() || !m_histos[i].loaded) return lines;
  const THisto& h = m_histos[i];
  const TSPCParameter* parameter = m_dataset->Parameter(h.task.parameter);
  lines.emplace_back("n", FormatInt(h.histogram.valueCount));
  for (const std::uint8_t column : m_options.indicators) {
    Indicator item = IndicatorOf(column, h, parameter, m_lang);
    if (!item.caption.empty()) lines.emplace_back(std::move(item.caption), std::move(item.value));
  }
  return lines;
}

std::vector<std::string> HistogramWindowLogic::TailLines(std::size_t i) const {
  std::vector<std::string> lines;
  if (i >= m_histos.size() || !m_histos[i].loaded || !m_options.tailAnalysis) return lines;
  const THisto& h = m_histos[i];
  const auto lsl = h.data.tolerance.Get(ValueRange::kLower);
  const auto usl = h.data.tolerance.Get(ValueRange::kUpper);
  // Without a limit there is no tail to estimate (and no refusal to give).
  if (!lsl && !usl) return lines;
  const TailAnalysis tail = ComputeTailAnalysis(h.capability, h.histogram.normality);
  const bool en = m_lang == Lang::En;
  if (!tail.shown) {
    lines.emplace_back(en ? "Tails: not estimated, the distribution is not normal" : std::string(kTailNotNormal));
    return lines;
  }
  if (lsl) lines.push_back((en ? "Below LSL: " : "Ниже LSL: ") + TailText(tail, tail.percentBelow));
  if (usl) lines.push_back((en ? "Above USL: " : "Выше USL: ") + TailText(tail, tail.percentAbove));
  return lines;
}

std::vector<HistogramDrawing> HistogramWindowLogic::Drawings() const {
  std::vector<HistogramDrawing> out;
  out.reserve(m_histos.size());
  for (std::size_t i = 0; i < m_histos.size(); ++i) {
    const THisto& h = m_histos[i];
    HistogramDrawing d;
    d.histo = &h;
    d.title = Title(i);
    if (h.loaded) {
      if (m_options.statistics) d.statistics = Statistics(i);
      if (m_options.uniqueCount) d.uniqueValues = UniqueValuesText(h.histogram, m_lang);
      d.tail = TailLines(i);
      if (m_options.boxPlot && h.histogram.boxPlot.computed) {
        d.boxPlotTitle = kBoxPlotTitle + BoxPlotText(h.histogram.boxPlot, h.data.decimals);
      }
      if (m_options.toleranceCentre) d.advice = SetupRecommendation(h.data);
    }
    d.scaleGroup = m_options.keepParameterScale ? HistogramScaleOf(h) : 0;
    out.push_back(std::move(d));
  }
  return out;
}

}  // namespace mv
