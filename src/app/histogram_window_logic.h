#pragma once
// The state and rules of a histogram window, without the window: up to 6 histograms of one
// dataset, the bin adjustment, the options and the titles. The window draws the histograms
// this object holds and forwards every command to it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analysis/histogram_options.h"
#include "analysis/histogram_plot.h"
#include "analysis/histogram_window_calc.h"
#include "core/text.h"
#include "analysis/param_columns.h"
#include "analysis/param_stat.h"

namespace mv {

// The text a typed title stands for. Titles are shown as typed until substitution of their
// symbols exists; every title of a chart or histogram print passes through here.
std::string ExpandTitle(std::string_view typed);

class HistogramWindowLogic {
 public:
  // One histogram per parameter (at most 6; those that are not quantitative are dropped) over
  // the selection. Call Recompute() to compute them.
  HistogramWindowLogic(const TDatasetSPC& dataset, SampleSelection selection, const std::vector<int>& parameters,
                       const HistogramOptions& options);

  const std::vector<THisto>& Histograms() const { return m_histos; }
  std::size_t Count() const { return m_histos.size(); }
  const HistogramOptions& Options() const { return m_options; }
  const TDatasetSPC& Dataset() const { return *m_dataset; }

  // Reloads and computes every histogram (the messages of those that have no data are shown);
  // the number that could be computed.
  std::size_t Recompute();
  // More or fewer bins on every histogram (each stays within 5..20); false when no histogram
  // changed its bin count.
  bool MoreBins();
  bool FewerBins();
  void SetOptions(const HistogramOptions& options);
  // The bin count every histogram asks for (5..20; 0 the automatic count); takes effect at the
  // next Recompute.
  void SetRequestedBins(int bins);
  // The language of the texts drawn with the histograms (captions of the statistics box, the
  // unique-value count, the tail analysis, the caption); Russian unless told.
  void SetLanguage(Lang lang) { m_lang = lang; }

  // The title of histogram i (0-based): the typed title (or the parameter's name when none is
  // typed), "N. " before it when the histograms are numbered, " - " and the dataset's name after
  // it when that is asked for.
  std::string Title(std::size_t i) const;
  // "Гистограммы - " + the dataset's name (one histogram: "Гистограмма - "; in English
  // "Histograms - ", "Histogram - ").
  std::string Caption() const;
  // The texts under the mouse over bin `bin` or unique value `value` of histogram i.
  std::string BinText(std::size_t i, int bin) const;
  std::string ValueText(std::size_t i, std::size_t value) const;

  // The lines of the statistics box of histogram i: the number of values, then every chosen
  // indicator that a histogram has a value for, as (caption, value).
  StatisticLines Statistics(std::size_t i) const;
  // The tail analysis lines of histogram i when the option is on and the parameter has a
  // tolerance limit: the estimated share beyond each limit, or the refusal when the values are
  // not normal.
  std::vector<std::string> TailLines(std::size_t i) const;
  // What the painter draws: every histogram with its title and texts, under the options.
  std::vector<HistogramDrawing> Drawings() const;
  // The statistics of histogram i's parameter over its selection (those of the parameter
  // table), renewed by Recompute(); nullptr for an i that does not exist.
  const TParamStat* Stats(std::size_t i) const;
  // The lines of histogram i's statistics box: (caption, value) for every indicator chosen in
  // the options (the parameter table's columns, in the order chosen), captions in the language
  // asked. The painter shows them when the options' "Статистика" is on. Empty for an i that
  // does not exist or a histogram without data.
  std::vector<std::pair<std::string, std::string>> StatisticsBox(std::size_t i, Lang lang = Lang::Ru,
                                                                 LevelUnit unit = LevelUnit::Auto) const;

 private:
  bool Adjust(int delta);

  const TDatasetSPC* m_dataset;
  HistogramOptions m_options;
  Lang m_lang = Lang::Ru;
  std::vector<THisto> m_histos;
  std::vector<TParamStat> m_stats;  // one per histogram
};

}  // namespace mv
