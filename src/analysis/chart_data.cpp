#include "analysis/chart_data.h"

#include <algorithm>

#include "core/messages.h"
#include "core/numbers.h"
#include "spc/dataset_spc.h"

namespace mv {
namespace {


}  // namespace

bool IsPointChart(ChartKind kind) { return kind == ChartKind::Individuals || kind == ChartKind::MovingRange; }

bool IsAttributeChart(ChartKind kind) {
  return kind == ChartKind::P || kind == ChartKind::Np || kind == ChartKind::C || kind == ChartKind::U;
}

bool IsPerUnitChart(ChartKind kind) { return kind == ChartKind::P || kind == ChartKind::U; }

double ScaleFactor(AttrScale scale) {
  switch (scale) {
    case AttrScale::Percent: return 100;
    case AttrScale::Ppm: return 1000000;
    case AttrScale::Share: break;
  }
  return 1;
}

TChartDataX BuildChartData(const SampleSelection& selection, ChartKind kind, int parameter, std::size_t limit) {
  TChartDataX data;
  const bool perPoint = IsPointChart(kind);
  const bool attribute = IsAttributeChart(kind);
  const bool perUnit = IsPerUnitChart(kind);
  bool firstSample = true;
  int lastBlock = 0;
  bool blockStart = false;  // the next entry is the first of its block

  ForEachSelectedSample(selection, [&](int b, const TSPCBlock&, int s, const TSPCSample& sample) {
    data.selectionCount += perPoint ? static_cast<std::uint32_t>(sample.PointCount()) : 1;
    if (data.points.size() >= limit) return;  // the rest is not shown
    if (firstSample) {
      data.withTime = (sample.flags & sample_flag::kHasDate) != 0 && (sample.flags & sample_flag::kHasTime) != 0;
      firstSample = false;
    }
    if (b != lastBlock) blockStart = true;
    lastBlock = b;
    const std::uint16_t noteFlag = sample.Note().empty() ? 0 : chart_point_flag::kNote;

    if (perPoint) {
      for (int i = 1; i <= sample.PointCount() && data.points.size() < limit; ++i) {
        const TFileSmpPoint p = sample.Point(i);
        TChartPoint e;
        e.block = static_cast<std::uint16_t>(b);
        e.sample = static_cast<std::uint16_t>(s);
        e.point = static_cast<std::uint16_t>(i);
        e.date = (p.Flags() & point_flag::kOwnDate) != 0 ? p.DateTime() : sample.DateTime();
        e.hasValue = p.HasValue(parameter);
        if (blockStart) e.flags |= chart_point_flag::kBlockStart;
        blockStart = false;
        if (i == 1) e.flags |= noteFlag;
        if ((p.Flags() & point_flag::kExcluded) != 0) {
          e.flags |= chart_point_flag::kExcluded;
        } else if (p.Counts()) {
          ++data.activeCount;
        } else {
          e.flags |= chart_point_flag::kFiltered;
        }
        data.points.push_back(e);
      }
      return;
    }

    TChartPoint e;
    e.block = static_cast<std::uint16_t>(b);
    e.sample = static_cast<std::uint16_t>(s);
    e.point = 1;
    e.date = sample.DateTime();
    // A sample-level entry has a value when some point in analysis carries one (never for an
    // invalid parameter, whose statistics read as zero).
    e.hasValue = sample.Stats(parameter).n > 0;
    e.flags = static_cast<std::uint16_t>((blockStart ? chart_point_flag::kBlockStart : 0) | noteFlag);
    blockStart = false;
    if (!sample.IsActive()) {
      e.flags |= chart_point_flag::kExcluded;
    } else if (sample.countedPoints == 0 || (perUnit && sample.sampleSize <= 0)) {
      // A p or u sample without a size has no share to plot (it would divide by zero) and stays
      // out of the size sums.
      e.flags |= chart_point_flag::kFiltered;
      if (perUnit) e.hasValue = false;
    } else {
      ++data.activeCount;
      if (attribute) {
        const int size = sample.sampleSize;
        data.minSize = data.activeCount == 1 ? size : std::min(data.minSize, size);
        data.maxSize = data.activeCount == 1 ? size : std::max(data.maxSize, size);
        data.sizeSum += size;
      }
    }
    data.points.push_back(e);
  });

  if (attribute && data.activeCount >= 2) {
    data.hasSizeBand = true;
    data.meanSize = RoundHalfEven(data.sizeSum / data.activeCount);
    data.bandHalf = RoundHalfEven(0.25 * data.meanSize);
  }
  return data;
}

int AttributeDecimals(int largestSize, AttrScale scale) {
  int decimals = 7;
  int limit = 10;
  for (int d = 1; d <= 6; ++d, limit *= 10) {
    if (largestSize <= limit) {
      decimals = d;
      break;
    }
  }
  if (scale == AttrScale::Percent) decimals -= 2;
  if (scale == AttrScale::Ppm) decimals -= 6;
  return std::max(decimals, 0);
}

bool AttributeLimitsComputed(ChartKind kind, const TChartDataX& data) {
  if (IsPerUnitChart(kind)) return true;
  return data.minSize == data.maxSize;
}

namespace {

// "Ошибка при при создании графика "<title>":" (the system's doubled word), the reason and the
// advice.
std::string ChartErrorText(std::string_view title, std::string_view reason) {
  return "Ошибка при при создании графика \"" + std::string(title) + "\":\n\n" + std::string(reason) +
         "\nВызовите функцию с другими исходными данными или измените вид графика";
}

}  // namespace

ChartRefusal FiguresNotFiniteRefusal(std::string_view title) {
  return {ChartErrorText(title, "Невозможно построить график: " + std::string(kValuesTooLarge) + "."), {}};
}

std::optional<ChartRefusal> CheckChartData(const TChartDataX& data, const SampleSelection& selection, ChartKind kind,
                                           std::string_view title) {
  if (data.activeCount >= 2) return std::nullopt;
  ChartRefusal refusal;
  refusal.text = ChartErrorText(title, "Невозможно построить график менее чем с двумя активными точками.");
  if (!IsPointChart(kind) && !selection.wholeBlocks && selection.blocks.size() == 1 && selection.dataset) {
    const TSPCBlock* block = selection.dataset->Block(selection.blocks.front());
    refusal.details = "Вы пытаетесь построить выборочную контрольную карту, однако текущий блок \"" +
                      (block ? block->name : std::string()) + "\" содержит слишком мало активных выборок (" +
                      FormatInt(data.activeCount) +
                      ").\n\nРекомендация: Для тех же данных можно построить карту индивидуальных значений "
                      "(если это уместно для данного процесса)";
  }
  return refusal;
}

bool ConfirmChartData(const TChartDataX& data, const SampleSelection& selection, ChartKind kind,
                      std::string_view title) {
  const auto refusal = CheckChartData(data, selection, kind, title);
  if (!refusal) return true;
  ShowError(refusal->text, 0, {}, 0, refusal->details);
  return false;
}

bool LoadMeasuredPoints(CDataSet& set, const TDatasetSPC& dataset, int b, int from, int to, int parameter) {
  set.BindParameter(dataset, parameter);
  const TSPCBlock* block = dataset.Block(b);
  std::int64_t capacity = 0;
  for (int s = from; block && s <= to; ++s) {
    const TSPCSample* sample = block->Sample(s);
    capacity += sample && sample->IsActive() ? sample->PointCount() : 0;
  }
  if (!set.Allocate(capacity)) return false;
  for (int s = from; block && s <= to; ++s) {
    const TSPCSample* sample = block->Sample(s);
    if (!sample || !sample->IsActive() || sample->countedPoints == 0) continue;
    std::uint16_t p = 0;
    for (const TFileSmpPoint& point : sample->Points()) {
      ++p;
      if (!point.HasValue(parameter)) continue;
      set.AddPoint(0, static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(s), p, point.Counts(), true,
                   point.Value(parameter));
    }
  }
  return true;
}

bool LoadChartDataSet(CDataSet& set, const TChartDataX& data, const SampleSelection& selection, ChartKind kind,
                      int parameter, int span, AttrScale scale) {
  if (!selection.dataset) return false;
  set.BindParameter(*selection.dataset, parameter);
  if (!set.Allocate(static_cast<std::int64_t>(data.points.size()))) {
    ShowError("Out of memory: Chart init");
    return false;
  }
  const double k = ScaleFactor(scale);
  for (std::size_t i = 0; i < data.points.size(); ++i) {
    const TChartPoint& e = data.points[i];
    const TSPCBlock* block = selection.dataset->Block(e.block);
    const TSPCSample* sample = block ? block->Sample(e.sample) : nullptr;
    double value = 0;
    bool present = e.hasValue && sample != nullptr;
    if (present) {
      const SampleStats st = sample->Stats(parameter);
      switch (kind) {
        case ChartKind::Mean:
        case ChartKind::Np:
        case ChartKind::C: value = st.mean; break;
        case ChartKind::Range: value = st.range; break;
        case ChartKind::StdDev: value = st.stdDev; break;
        case ChartKind::Median: value = st.median; break;
        case ChartKind::Individuals:
        case ChartKind::MovingRange: {
          const TFileSmpPoint p = sample->Point(e.point);
          present = p != nullptr;
          value = p ? p->Value(parameter) : 0;
          break;
        }
        case ChartKind::P:
        case ChartKind::U:
          present = sample->sampleSize > 0;
          value = present ? k * st.mean / sample->sampleSize : 0;
          break;
      }
    }
    set.AddPoint(static_cast<std::uint32_t>(i + 1), e.block, e.sample, e.point, e.Active(), present, value);
  }
  if (kind == ChartKind::MovingRange) {
    set.ToMovingRanges(span);  // with the statistics of the ranges
  } else {
    set.ComputeStatistics();
  }
  return true;
}

}  // namespace mv
