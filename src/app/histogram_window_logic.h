#pragma once
// The state and rules of a histogram window, without the window: up to 6 histograms of one
// dataset, the bin adjustment, the options and the titles. The window draws the histograms
// this object holds and forwards every command to it.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "analysis/histogram_options.h"
#include "analysis/histogram_window_calc.h"
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

  // The title of histogram i (0-based): the typed title (or the parameter's name when none is
  // typed), "N. " before it when the histograms are numbered, " - " and the dataset's name after
  // it when that is asked for.
  std::string Title(std::size_t i) const;
  // "Гистограммы - " + the dataset's name (one histogram: "Гистограмма - ").
  std::string Caption() const;
  // The texts under the mouse over bin `bin` or unique value `value` of histogram i.
  std::string BinText(std::size_t i, int bin) const;
  std::string ValueText(std::size_t i, std::size_t value) const;

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
  std::vector<THisto> m_histos;
  std::vector<TParamStat> m_stats;  // one per histogram
};

}  // namespace mv
