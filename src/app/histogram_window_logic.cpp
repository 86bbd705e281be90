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
  m_stats.clear();
  m_stats.reserve(m_histos.size());
  for (const THisto& h : m_histos) {
    const SampleSelection& selection = h.task.selection;
    m_stats.push_back(ComputeParamStat(*m_dataset, h.task.parameter, selection.blocks,
                                       selection.wholeBlocks ? 1 : selection.from,
                                       selection.wholeBlocks ? 0 : selection.to));
  }
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

StatisticLines HistogramWindowLogic::Statistics(std::size_t i) const {
  StatisticLines lines;
  if (i >= m_histos.size() || !m_histos[i].loaded) return lines;
  lines.emplace_back("n", FormatInt(m_histos[i].histogram.valueCount));
  // The chosen indicators are columns of the parameter table, with their values over the
  // histogram's selection.
  for (auto& line : StatisticsBox(i, m_lang)) lines.push_back(std::move(line));
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

const TParamStat* HistogramWindowLogic::Stats(std::size_t i) const {
  return i < m_stats.size() ? &m_stats[i] : nullptr;
}

std::vector<std::pair<std::string, std::string>> HistogramWindowLogic::StatisticsBox(std::size_t i, Lang lang,
                                                                                     LevelUnit unit) const {
  if (i >= m_histos.size() || i >= m_stats.size() || !m_histos[i].loaded) return {};
  const TSPCParameter* parameter = m_dataset->Parameter(m_histos[i].task.parameter);
  if (!parameter) return {};
  ColumnValueSettings settings;
  settings.lang = lang;
  settings.levelUnit = unit;
  return StatisticsLines(m_options.indicators, static_cast<int>(i + 1), *parameter, m_dataset->scales, m_stats[i],
                         settings);
}

}  // namespace mv
