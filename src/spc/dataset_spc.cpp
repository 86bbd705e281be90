#include "spc/dataset_spc.h"

#include <algorithm>

#include "core/date_time.h"
#include "core/identifiers.h"
#include "core/messages.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/services.h"
#include "spc/sample_filter.h"

namespace mv {
namespace {

std::size_t KindIndex(DataKind kind) { return kind == DataKind::Var ? 0 : 1; }

template <class Item>
Item* At(const std::vector<std::unique_ptr<Item>>& items, int position) {
  return position >= 1 && position <= static_cast<int>(items.size()) ? items[static_cast<std::size_t>(position - 1)].get()
                                                                       : nullptr;
}

}  // namespace

// A new dataset's two sample filters are active, without conditions, changed at its creation.
TDatasetSPC::TDatasetSPC() : TDatasetBasic(DatasetKind::Spc) { SetDefaultFilters(settings, created); }

TDatasetSPC::~TDatasetSPC() = default;

// --- parameters ---

TSPCParameter* TDatasetSPC::Parameter(int position) { return At(m_parameters, position); }
const TSPCParameter* TDatasetSPC::Parameter(int position) const { return At(m_parameters, position); }

int TDatasetSPC::CountOfKind(DataKind paramKind) const {
  return static_cast<int>(
      std::count_if(m_parameters.begin(), m_parameters.end(), [&](const auto& p) { return p->kind == paramKind; }));
}

const std::vector<int>& TDatasetSPC::OrderList(DataKind paramKind) const { return m_orderLists[KindIndex(paramKind)]; }

bool TDatasetSPC::AddParameter() {
  if (m_parameters.size() >= kMaxParameters) return false;
  auto parameter = std::make_unique<TSPCParameter>();
  parameter->id = NewIdentifier();
  parameter->kind = DataKind::Var;
  parameter->created = Now();
  m_parameters.push_back(std::move(parameter));
  m_parameters.back()->position = static_cast<std::uint16_t>(CountOfKind(DataKind::Var));
  RebuildOrderLists();
  Touch();
  return true;
}

int TDatasetSPC::SetParameter(int position, std::int32_t paramId, const TSPCParameter& props) {
  const bool adding = position == 0;
  if (adding) {
    if (!AddParameter()) return 0;
    position = ParameterCount();
    if (paramId != 0) Parameter(position)->id = paramId;
  }
  TSPCParameter* p = Parameter(position);
  if (!p) return 0;
  p->kind = props.kind;
  p->name = CutToChars(props.name, TSPCParameter::kNameMax);
  p->shortName = CutToChars(props.shortName, TSPCParameter::kShortNameMax);
  p->note = CutToChars(props.note, TSPCParameter::kNoteMax);
  p->alias = props.alias;
  p->unit = CutToChars(props.unit, TSPCParameter::kUnitMax);
  p->decimals = std::min(props.decimals, kMaxDecimals);
  p->pointsColumnWidth = props.pointsColumnWidth;
  p->samplesColumnWidth = props.samplesColumnWidth;
  if (props.position != 0) {
    p->position = props.position;
  } else if (adding) {
    // A new parameter follows the last one of its kind.
    p->position = static_cast<std::uint16_t>(CountOfKind(p->kind));
  }
  p->scaleId = props.scaleId;
  p->scalePosition = static_cast<std::uint16_t>(scales.IndexOfID(props.scaleId));
  p->classId = props.classId;
  p->classPosition = static_cast<std::uint16_t>(classes.IndexOfID(props.classId));
  p->SetFlags(props.Flags());
  p->SetTolerance(props.Lsl(), props.Usl(), props.Nominal());
  p->SetDataLimits(props.dataLimits.Get(ValueRange::kLower), props.dataLimits.Get(ValueRange::kUpper),
                   props.dataLimits.Get(ValueRange::kTarget));
  p->baseValue = props.baseValue;
  p->multiplierCode = props.multiplierCode;
  p->lrl = props.lrl;
  p->url = props.url;
  p->created = Now();
  RebuildOrderLists();
  Touch();
  return position;
}

void TDatasetSPC::DeleteParameter(int position) {
  const TSPCParameter* gone = Parameter(position);
  if (!gone) return;
  for (auto& p : m_parameters) {
    if (p.get() != gone && p->kind == gone->kind && p->position > gone->position) --p->position;
  }
  m_parameters.erase(m_parameters.begin() + (position - 1));
  for (auto& block : m_blocks) {
    for (TSPCSample& sample : block->Samples()) {
      sample.RemoveSlot(position);
    }
  }
  ComputeAllStats();
  RebuildOrderLists();
  Touch();
}

void TDatasetSPC::DeleteAllParameters() {
  const int n = ParameterCount();
  for (int position = n; position >= 1; --position) DeleteParameter(position);
  RebuildOrderLists();
  platform::Current<platform::ILog>().LogLine("Delete all parameters (" + std::to_string(n) + ")", slot);
}

bool TDatasetSPC::AppendParameter(std::unique_ptr<TSPCParameter> parameter) {
  if (!parameter || m_parameters.size() >= kMaxParameters) return false;
  m_parameters.push_back(std::move(parameter));
  return true;
}

int TDatasetSPC::FindParameter(std::string_view name, int exceptPosition) const {
  if (name.empty()) return 0;
  for (int position = 1; position <= ParameterCount(); ++position) {
    if (position == exceptPosition) continue;
    const TSPCParameter& p = *Parameter(position);
    if (SameText(p.name, name) || (!p.shortName.empty() && SameText(p.shortName, name))) return position;
  }
  return 0;
}

void TDatasetSPC::RebuildOrderLists() {
  for (const DataKind listKind : {DataKind::Var, DataKind::Attr}) {
    std::vector<int> members;
    for (int position = 1; position <= ParameterCount(); ++position) {
      if (Parameter(position)->kind == listKind) members.push_back(position);
    }
    const std::size_t n = members.size();
    std::vector<int> order(n, 0);
    bool broken = false;
    for (const int position : members) {
      const std::size_t number = Parameter(position)->position;
      if (number == 0 || number > n || order[number - 1] != 0) {
        broken = true;
        break;
      }
      order[number - 1] = position;
    }
    if (broken) {
      for (std::size_t i = 0; i < n; ++i) {
        Parameter(members[i])->position = static_cast<std::uint16_t>(i + 1);
        order[i] = members[i];
      }
      platform::Current<platform::ILog>().LogError(
          std::string(KindCode(listKind)) + " params (" + std::to_string(n) + ") sequense repaired after failure", slot);
      ShowWarning(std::string("Обнаружено нарушение последовательности (порядковых номеров) ") + KindStem(listKind) +
                  "ных параметров." + "Проверьте порядок параметров и при необходимости измените его");
    }
    m_orderLists[KindIndex(listKind)] = std::move(order);
  }
}

void TDatasetSPC::ResolveScalesAndClasses() {
  for (auto& p : m_parameters) {
    p->scalePosition = static_cast<std::uint16_t>(scales.IndexOfID(p->scaleId));
    if (p->scalePosition == 0) p->scaleId = 0;
    p->classPosition = static_cast<std::uint16_t>(classes.IndexOfID(p->classId));
    if (p->classPosition == 0) p->classId = 0;
  }
}

// --- blocks ---

TSPCBlock* TDatasetSPC::Block(int position) { return At(m_blocks, position); }
const TSPCBlock* TDatasetSPC::Block(int position) const { return At(m_blocks, position); }

const std::vector<int>& TDatasetSPC::BlockList(DataKind blockKind) const { return m_blockLists[KindIndex(blockKind)]; }

void TDatasetSPC::RebuildBlockLists() {
  for (auto& list : m_blockLists) list.clear();
  for (int position = 1; position <= BlockCount(); ++position) {
    m_blockLists[KindIndex(Block(position)->kind)].push_back(position);
  }
}

int TDatasetSPC::AddBlock(std::int32_t blockId, std::string_view name, SamplingMode mode, std::uint16_t flags,
                          std::uint16_t fixedSampleSize, DataKind blockKind, std::string_view frequency,
                          std::string_view blockNote) {
  if (m_blocks.size() >= kMaxBlocks) return 0;
  auto block = std::make_unique<TSPCBlock>();
  block->id = blockId;
  block->name = CutToChars(name, TSPCBlock::kNameMax);
  block->mode = mode;
  // The individual-values flag mirrors the sampling mode; a time needs a date.
  flags = static_cast<std::uint16_t>(flags & ~block_flag::kIndividual);
  if (mode == SamplingMode::Individual) flags |= block_flag::kIndividual;
  if ((flags & block_flag::kDates) == 0) flags = static_cast<std::uint16_t>(flags & ~block_flag::kTimes);
  block->flags = flags;
  block->fixedSampleSize = fixedSampleSize;
  block->kind = blockKind;
  block->frequency = CutToChars(frequency, TSPCBlock::kFrequencyMax);
  block->SetNote(blockNote);
  block->created = Now();
  block->modified = block->created;
  m_blocks.push_back(std::move(block));
  RebuildBlockLists();
  Touch();
  return BlockCount();
}

bool TDatasetSPC::AppendBlock(std::unique_ptr<TSPCBlock> block) {
  if (!block || m_blocks.size() >= kMaxBlocks) return false;
  m_blocks.push_back(std::move(block));
  return true;
}

void TDatasetSPC::NumberBlock(int position) {
  TSPCBlock* block = Block(position);
  if (!block) return;
  nextBlockNumber = static_cast<std::int16_t>(nextBlockNumber + 1);
  block->id = nextBlockNumber;
}

void TDatasetSPC::DeleteBlock(int position, bool quiet) {
  const TSPCBlock* block = Block(position);
  if (!block) return;
  if (!quiet) {
    platform::Current<platform::ILog>().LogLine(
        "Delete block " + std::to_string(position) + ": " + block->LogText(), slot);
  }
  m_blocks.erase(m_blocks.begin() + (position - 1));
  RebuildBlockLists();
  Touch();
}

void TDatasetSPC::DeleteAllBlocks() {
  const int n = BlockCount();
  platform::Current<platform::ILog>().LogLine("Delete all blocks (" + std::to_string(n) + ")", slot);
  for (int position = n; position >= 1; --position) DeleteBlock(position, true);
}

int TDatasetSPC::FindBlock(std::string_view name, int exceptPosition) const {
  if (name.empty()) return 0;
  for (int position = 1; position <= BlockCount(); ++position) {
    if (position != exceptPosition && SameText(Block(position)->name, name)) return position;
  }
  return 0;
}

int TDatasetSPC::FindBlockByID(std::int32_t blockId) const {
  for (int position = 1; position <= BlockCount(); ++position) {
    if (Block(position)->id == blockId) return position;
  }
  return 0;
}

void TDatasetSPC::ComputeBlockStats(int position) {
  TSPCBlock* block = Block(position);
  if (!block) return;
  std::array<DataKind, kMaxParameters> kinds{};
  for (int i = 1; i <= ParameterCount(); ++i) kinds[static_cast<std::size_t>(i - 1)] = Parameter(i)->kind;
  block->ComputeStats(std::span<const DataKind>(kinds.data(), static_cast<std::size_t>(ParameterCount())));
}

void TDatasetSPC::SumUpBlockStats(int position) {
  TSPCBlock* block = Block(position);
  if (!block) return;
  std::array<DataKind, kMaxParameters> kinds{};
  for (int i = 1; i <= ParameterCount(); ++i) kinds[static_cast<std::size_t>(i - 1)] = Parameter(i)->kind;
  block->SumUpStats(std::span<const DataKind>(kinds.data(), static_cast<std::size_t>(ParameterCount())));
}

void TDatasetSPC::ComputeAllStats() {
  for (int position = 1; position <= BlockCount(); ++position) ComputeBlockStats(position);
}

// --- values ---

std::optional<double> TDatasetSPC::GetValue(int block, int sample, int point, int parameter) const {
  const TSPCBlock* b = Block(block);
  const TSPCSample* s = b ? b->Sample(sample) : nullptr;
  const TFileSmpPoint p = s ? s->Point(point) : TFileSmpPoint();
  if (!p || parameter < 1 || parameter > ParameterCount() || !p->HasValue(parameter)) return std::nullopt;
  return p->Value(parameter);
}

bool TDatasetSPC::SetValue(int block, int sample, int point, int parameter, double x) {
  TSPCBlock* b = Block(block);
  TSPCSample* s = b ? b->Sample(sample) : nullptr;
  TFileSmpPoint p = s ? s->Point(point) : TFileSmpPoint();
  if (!p || parameter < 1 || parameter > ParameterCount()) return false;
  p->SetValue(parameter, x);
  UpdateToleranceMarks(*s);
  s->changed = true;
  b->changed = true;
  b->changedAt = Now();
  Touch();
  return true;
}

std::array<const ValueRange*, kMaxParameters> TDatasetSPC::ToleranceRanges() const {
  std::array<const ValueRange*, kMaxParameters> ranges{};
  for (int i = 1; i <= ParameterCount(); ++i) {
    const TSPCParameter& p = *Parameter(i);
    if (p.kind == DataKind::Var && !p.IsTag()) ranges[static_cast<std::size_t>(i - 1)] = &p.tolerance;
  }
  return ranges;
}

void TDatasetSPC::UpdateToleranceMarks(TSPCSample& sample) const {
  const auto ranges = ToleranceRanges();
  sample.UpdateToleranceMarks(std::span<const ValueRange* const>(ranges.data(), static_cast<std::size_t>(ParameterCount())));
}

void TDatasetSPC::FillDefaults(TFileSmpPoint& point) const {
  for (int i = 1; i <= ParameterCount(); ++i) {
    const TSPCParameter& p = *Parameter(i);
    if (p.kind != DataKind::Var) continue;
    if (const auto value = p.dataLimits.Get(ValueRange::kTarget)) {
      point.SetValue(i, *value);
      point.SetValueFlag(i, value_flag::kEdited, true);
    } else {
      point.SetEmpty(i, true);
    }
  }
}

std::string TDatasetSPC::ContentsText() const {
  std::string text = PluralRu(ParameterCount(), " параметр", "", "а", "ов");
  const int var = CountOfKind(DataKind::Var);
  const int attr = CountOfKind(DataKind::Attr);
  if (var > 0) text += ", " + std::to_string(var) + " (колич.)";
  if (attr > 0) text += ", " + std::to_string(attr) + " (альт.)";
  // A dataset without a process name says nothing about it rather than showing empty quotes.
  if (Trim(processName).empty()) return text;
  return text + ", процесс \"" + processName + "\"";
}

std::string TDatasetSPC::LogDetails() const {
  return "prm=" + std::to_string(CountOfKind(DataKind::Var)) + "+" + std::to_string(CountOfKind(DataKind::Attr)) +
         ", blk=" + std::to_string(BlockCount()) + ", process=\"" + processName + "\"" + TDatasetBasic::LogDetails();
}

}  // namespace mv
