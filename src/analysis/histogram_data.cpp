#include "analysis/histogram_data.h"

#include <algorithm>

#include "core/messages.h"
#include "core/numbers.h"

namespace mv {
namespace {

// Dates outside this window are damaged or unset and do not widen the period.
constexpr TDateTime kFirstDate = 2;
constexpr TDateTime kDateEnd = 1460000;

}  // namespace

bool ExtractHistogramData(const SampleSelection& selection, int parameter, CDataSet& set, HistoExtract& extract) {
  extract = HistoExtract{};
  set.Release();
  if (selection.dataset) set.BindParameter(*selection.dataset, parameter);

  std::int64_t capacity = 0;
  ForEachSelectedSample(selection, [&](int, const TSPCBlock&, int, const TSPCSample& s) {
    if (s.IsActive()) capacity += s.countedPoints;
  });
  // Nothing to hold is "no data", not a failure to obtain room for 0 measurements.
  if (capacity == 0) {
    ShowError(kNoHistogramData, 0, kHistoLogTag);
    return false;
  }
  if (!set.Allocate(capacity)) {
    ShowError("Недостаточно памяти для " + FormatInt(capacity) + " замеров", 0, kHistoLogTag);
    return false;
  }

  ForEachSelectedSample(selection, [&](int b, const TSPCBlock&, int sIndex, const TSPCSample& s) {
    const TDateTime date = s.DateTime();
    if (date >= kFirstDate && date < kDateEnd) {
      if (extract.periodFrom == 0 || date < extract.periodFrom) extract.periodFrom = date;
      if (extract.periodTo == 0 || date > extract.periodTo) extract.periodTo = date;
    }
    if (!s.IsActive()) return;
    extract.totalPoints += static_cast<std::uint32_t>(s.PointCount());
    if (s.countedPoints == 0) return;
    ++extract.usedSamples;
    for (int i = 1; i <= s.PointCount(); ++i) {
      const TFileSmpPoint p = s.Point(i);
      if (!p.Counts() || !p.HasValue(parameter)) continue;
      set.AddPoint(0, static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(sIndex), static_cast<std::uint16_t>(i),
                   true, true, p.Value(parameter));
    }
  });

  if (set.Count() == 0) {
    ShowError(kNoHistogramData, 0, kHistoLogTag);
    return false;
  }
  set.ComputeStatistics();
  return true;
}

}  // namespace mv
