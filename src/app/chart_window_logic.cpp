#include "app/chart_window_logic.h"

#include <algorithm>

#include "analysis/chart_kinds.h"
#include "core/date_time.h"
#include "core/messages.h"
#include "core/numbers.h"

namespace mv {

namespace {

// LoadChartDataSet has shown this one already.
constexpr std::string_view kOutOfMemory = "Out of memory: Chart init";

void ShowRefusal(const ChartBuildResult& result) {
  if (result.message.empty() || result.message == kOutOfMemory) return;
  ShowError(result.message, 0, {}, 0, result.details);
}

}  // namespace

ChartWindowType WindowTypeOf(ChartKind kind) {
  if (IsAttributeChart(kind)) return ChartWindowType::Attribute;
  if (IsPointChart(kind)) return ChartWindowType::Individuals;
  return ChartWindowType::Subgroup;
}

std::vector<ChartKind> UpperKindsOf(ChartWindowType type) {
  using K = ChartKind;
  switch (type) {
    case ChartWindowType::Subgroup: return {K::Mean, K::Median, K::Range, K::StdDev};
    case ChartWindowType::Individuals: return {K::Individuals};
    case ChartWindowType::Attribute: return {K::P, K::Np, K::C, K::U};
  }
  return {};
}

std::vector<ChartKind> LowerKindsOf(ChartKind upper) {
  std::vector<ChartKind> kinds;
  for (int k = 1; k <= kChartKindCount; ++k) {
    const ChartKind lower = *ChartKindOf(k);
    if (LowerKindAllowed(upper, lower)) kinds.push_back(lower);
  }
  return kinds;
}

std::vector<ChartLaunchChoice> ChartLaunchChoices(DataKind kind) {
  using K = ChartKind;
  const auto choice = [](K upper, std::optional<K> lower) {
    return ChartLaunchChoice{"Карта " + ChartPairText(upper, lower), upper, lower, false};
  };
  if (kind == DataKind::Attr) {
    return {choice(K::P, std::nullopt), choice(K::Np, std::nullopt), choice(K::C, std::nullopt),
            choice(K::U, std::nullopt)};
  }
  return {ChartLaunchChoice{"Карта по умолчанию для блока", K::Mean, K::Range, true},
          choice(K::Mean, K::Range),
          choice(K::Mean, K::StdDev),
          choice(K::Mean, std::nullopt),
          choice(K::Median, std::nullopt),
          choice(K::Range, std::nullopt),
          choice(K::StdDev, std::nullopt)};
}

ChartLaunchChoice DefaultChartOfBlock(const TSPCBlock& block) {
  if (block.mode == SamplingMode::Individual) {
    return {"Карта " + ChartPairText(ChartKind::Individuals, ChartKind::MovingRange), ChartKind::Individuals,
            ChartKind::MovingRange, true};
  }
  return {"Карта " + ChartPairText(ChartKind::Mean, ChartKind::Range), ChartKind::Mean, ChartKind::Range, true};
}

// --- the window ---

ChartWindowLogic::ChartWindowLogic(TDatasetSPC& dataset, SampleSelection selection, ChartKind upper,
                                   std::optional<ChartKind> lower, std::vector<int> parameters,
                                   const TChartOptions& options)
    : m_dataset(&dataset), m_type(WindowTypeOf(upper)), m_upper(upper), m_options(options) {
  if (!UpperKindAllowed(upper)) m_upper = ChartKind::Mean, m_type = ChartWindowType::Subgroup;
  if (lower && LowerKindAllowed(m_upper, *lower)) m_lower = lower;
  selection.dataset = &dataset;
  if (selection.blocks.size() > kMaxBlocks) selection.blocks.resize(kMaxBlocks);
  m_task.selection = std::move(selection);
  AddParameters(parameters);
}

const TChart* ChartWindowLogic::Chart(int number) const {
  if (number == 1 && m_upperBuilt) return &m_charts[0];
  if (number == 2 && m_upperBuilt && m_lowerBuilt) return &m_charts[1];
  return nullptr;
}

void ChartWindowLogic::RenewParameterTable() {
  const SampleSelection& selection = m_task.selection;
  const int first = selection.wholeBlocks ? 1 : selection.from;
  const int last = selection.wholeBlocks ? 0 : selection.to;
  m_stats.clear();
  m_stats.reserve(m_task.parameters.size());
  for (const int parameter : m_task.parameters) {
    m_stats.push_back(ComputeParamStat(*m_dataset, parameter, selection.blocks, first, last));
  }
  const std::vector<int> columns =
      ChartTableColumns(m_type, m_options.windows[static_cast<std::size_t>(m_type)].columns);
  ColumnValueSettings settings;
  settings.valueScale = m_options.ScaleOf(m_upper);
  m_table = BuildParamTable(*m_dataset, columns, m_stats, settings);
}

std::vector<std::pair<int, bool>> ChartWindowLogic::TableColumnChoice() const {
  const std::uint32_t mask = m_options.windows[static_cast<std::size_t>(m_type)].columns;
  std::vector<std::pair<int, bool>> choice;
  for (const int n : TColPrototypeSet::ParameterTable().Offered(ChartWindowOffer(m_type))) {
    choice.emplace_back(n, ((mask >> (n - 1)) & 1U) != 0);
  }
  return choice;
}

bool ChartWindowLogic::ShowTableColumn(int number, bool shown) {
  const TColPrototype* column = TColPrototypeSet::ParameterTable().Find(number);
  if (!column || !column->OfferedTo(ChartWindowOffer(m_type))) return false;
  std::uint32_t& mask = m_options.windows[static_cast<std::size_t>(m_type)].columns;
  const std::uint32_t bit = 1U << (number - 1);
  mask = shown ? (mask | bit) : (mask & ~bit);
  RenewParameterTable();
  return true;
}

bool ChartWindowLogic::Rebuild() {
  RenewParameterTable();
  m_upperBuilt = m_lowerBuilt = false;
  const ChartBuildResult upper = BuildChart(m_charts[0], m_task, m_upper, m_options);
  if (!upper.ok) {
    ShowRefusal(upper);
    m_chosen = {};
    return false;
  }
  m_upperBuilt = true;
  if (m_lower) {
    const ChartBuildResult lower = BuildChart(m_charts[1], m_task, *m_lower, m_options);
    if (!lower.ok) ShowRefusal(lower);
    m_lowerBuilt = lower.ok;
  }
  ClampChosen();
  return true;
}

void ChartWindowLogic::RememberKinds() {
  ChartWindowKinds& kinds = m_options.windows[static_cast<std::size_t>(m_type)];
  kinds.upper = static_cast<std::uint8_t>(ChartKindNumber(m_upper));
  kinds.lower = m_lower ? static_cast<std::uint8_t>(ChartKindNumber(*m_lower)) : std::uint8_t{0};
}

bool ChartWindowLogic::SetUpper(ChartKind upper) {
  const auto offered = UpperKindsOf(m_type);
  if (std::find(offered.begin(), offered.end(), upper) == offered.end()) return false;
  m_upper = upper;
  if (m_lower && !LowerKindAllowed(m_upper, *m_lower)) m_lower.reset();
  RememberKinds();
  Rebuild();
  return true;
}

bool ChartWindowLogic::SetLower(std::optional<ChartKind> lower) {
  if (lower && !LowerKindAllowed(m_upper, *lower)) return false;
  m_lower = lower;
  if (m_chosen.chart == 2 && !m_lower) m_chosen = {};
  RememberKinds();
  Rebuild();
  return true;
}

void ChartWindowLogic::ToggleMovingRange() {
  if (m_type != ChartWindowType::Individuals) return;
  SetLower(m_lower ? std::nullopt : std::optional<ChartKind>(ChartKind::MovingRange));
}

void ChartWindowLogic::SetOptions(const TChartOptions& options) {
  m_options = options;
  RememberKinds();
  Rebuild();
}

void ChartWindowLogic::SetCriteria(const TCriteriaChoice& choice) {
  m_options.criteria = choice;
  Rebuild();
}

std::size_t ChartWindowLogic::AddParameters(const std::vector<int>& positions) {
  std::size_t added = 0;
  for (const int p : positions) {
    if (m_task.parameters.size() >= kMaxParameters) break;
    const TSPCParameter* parameter = m_dataset->Parameter(p);
    if (!parameter || !ParameterFitsChart(*parameter, m_upper)) continue;
    if (std::find(m_task.parameters.begin(), m_task.parameters.end(), p) != m_task.parameters.end()) continue;
    m_task.parameters.push_back(p);
    ++added;
  }
  return added;
}

bool ChartWindowLogic::RemoveParameter(std::size_t index) {
  if (index >= m_task.parameters.size() || m_task.parameters.size() <= 1) return false;
  m_task.parameters.erase(m_task.parameters.begin() + static_cast<std::ptrdiff_t>(index));
  if (m_task.current > index || m_task.current >= m_task.parameters.size()) {
    m_task.current = m_task.current > 0 ? m_task.current - 1 : 0;
  }
  Rebuild();
  return true;
}

bool ChartWindowLogic::SetCurrent(std::size_t index) {
  if (index >= m_task.parameters.size()) return false;
  m_task.current = index;
  Rebuild();
  return true;
}

// --- chosen point ---

bool ChartWindowLogic::Choose(int chart, std::uint32_t index) {
  const TChart* c = Chart(chart);
  if (!c || index < 1 || index > c->data.Count()) return false;
  m_chosen = {chart, index};
  return true;
}

void ChartWindowLogic::MoveChosen(int delta) {
  const TChart* c = Chart(m_chosen.chart);
  if (!c) c = Chart(m_chosen.chart = 1);
  if (!c || c->data.Count() == 0) return;
  if (m_chosen.index == 0) {
    m_chosen.index = delta < 0 ? c->data.Count() : 1;
    return;
  }
  const std::int64_t next = std::clamp<std::int64_t>(static_cast<std::int64_t>(m_chosen.index) + delta, 1,
                                                     static_cast<std::int64_t>(c->data.Count()));
  m_chosen.index = static_cast<std::uint32_t>(next);
}

void ChartWindowLogic::ClampChosen() {
  const TChart* c = Chart(m_chosen.chart);
  if (!c || m_chosen.index > c->data.Count()) m_chosen = {};
}

// --- activation ---

namespace {

TSPCSample* SampleAt(TDatasetSPC& dataset, const TChartPoint& p) {
  TSPCBlock* block = dataset.Block(p.block);
  return block ? block->Sample(p.sample) : nullptr;
}

void MarkSampleChanged(TDatasetSPC& dataset, int blockPosition, TSPCSample& sample) {
  sample.changed = true;
  TSPCBlock& block = *dataset.Block(blockPosition);
  block.changed = true;
  block.changedAt = Now();
  dataset.Touch();
}

}  // namespace

std::string ChartWindowLogic::ActivationCommandText() const {
  const TChart* c = Chart(m_chosen.chart);
  if (!ActivationOffered() || !c || m_chosen.index == 0) return {};
  const TChartPoint& p = c->data.points[m_chosen.index - 1];
  const TSPCSample* sample = SampleAt(*m_dataset, p);
  if (!sample) return {};
  return (sample->IsActive() ? "Деактивировать выборку " : "Активировать выборку ") + FormatInt(p.sample);
}

bool ChartWindowLogic::ToggleChosenActivation() {
  const TChart* c = Chart(m_chosen.chart);
  if (!ActivationOffered() || !c || m_chosen.index == 0) return false;
  const TChartPoint p = c->data.points[m_chosen.index - 1];
  TSPCSample* sample = SampleAt(*m_dataset, p);
  if (!sample) return false;
  if (sample->IsActive() && c->data.activeCount <= 2) {
    ShowError(kTooFewActivePoints);
    return false;
  }
  sample->SetActive(!sample->IsActive());
  MarkSampleChanged(*m_dataset, p.block, *sample);
  m_dataset->ComputeBlockStats(p.block);
  Rebuild();
  return true;
}

bool ChartWindowLogic::SomeInactive() const {
  const TChart* c = Chart(1);
  if (!c) return false;
  return std::any_of(c->data.points.begin(), c->data.points.end(),
                     [](const TChartPoint& p) { return (p.flags & chart_point_flag::kExcluded) != 0; });
}

int ChartWindowLogic::ActivateAll() {
  const TChart* c = Chart(1);
  if (!ActivationOffered() || !c) return 0;
  int activated = 0;
  std::vector<int> blocks;
  for (const TChartPoint& p : c->data.points) {
    TSPCSample* sample = SampleAt(*m_dataset, p);
    if (!sample || sample->IsActive()) continue;
    sample->SetActive(true);
    MarkSampleChanged(*m_dataset, p.block, *sample);
    if (std::find(blocks.begin(), blocks.end(), p.block) == blocks.end()) blocks.push_back(p.block);
    ++activated;
  }
  for (const int b : blocks) m_dataset->ComputeBlockStats(b);
  if (activated > 0) Rebuild();
  return activated;
}

// --- texts ---

std::string ChartWindowLogic::Caption() const { return ChartWindowCaption(m_upper, m_lower, m_task.selection); }

ChartConclusion ChartWindowLogic::Conclusion(int chart) const {
  const TChart* c = Chart(chart);
  if (!c || !m_options.conclusion) return {};
  return ConclusionLine(*c, m_options.criteria.CriteriaCount());
}

std::string ChartWindowLogic::Calculations() const {
  std::vector<const TChart*> charts;
  for (int n = 1; n <= 2; ++n) {
    if (const TChart* c = Chart(n)) charts.push_back(c);
  }
  return CalculationsText(charts, *m_dataset);
}

std::string ChartWindowLogic::ChosenPointInformation() const {
  const TChart* c = Chart(m_chosen.chart);
  return c ? PointInformationText(*c, *m_dataset, m_chosen.index) : std::string();
}

std::string ChartWindowLogic::MouseText(int chart, std::uint32_t index) const {
  const TChart* c = Chart(chart);
  return c ? PointMouseText(*c, *m_dataset, index) : std::string();
}

std::string ChartWindowLogic::CriteriaText(int chart) const {
  const TChart* c = Chart(chart);
  return c ? CriteriaAreaText(*c, m_options.criteria.CriteriaCount()) : std::string();
}

std::string ChartWindowLogic::PrintTitle(bool gostForm) const {
  std::string title = Caption();
  if (gostForm) title += kGostTitleSuffix;
  return title;
}

bool ChartWindowLogic::CheckGostForm() const {
  if (GostFormAllowed(m_upper, m_lower)) return true;
  ShowError(kGostRefusal);
  return false;
}

}  // namespace mv
