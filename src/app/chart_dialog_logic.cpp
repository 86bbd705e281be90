#include "app/chart_dialog_logic.h"

namespace mv {

CriteriaEditor::CriteriaEditor(ChartKind kind, const TCriteriaChoice& choice)
    : m_kind(kind), m_set(choice.set), m_customMask(choice.mask), m_display(choice.display) {
  if (m_set < 1 || m_set > kCriteriaSetCount) m_set = 2;
  const std::uint16_t admitted = AdmittedCriteria(kind);
  for (int c = 1; c <= static_cast<int>(kCriterionCount); ++c) {
    if (admitted & CriterionBit(c)) m_rows.push_back(c);
  }
}

std::uint16_t CriteriaEditor::ShownMask() const {
  return m_set == kCustomCriteriaSet ? m_customMask : CriteriaSetMask(m_set);
}

std::string CriteriaEditor::RowName(int criterion) { return " " + Definition(criterion); }

std::string CriteriaEditor::Definition(int criterion) {
  return std::string(CriterionCode(criterion)) + ": " + std::string(CriterionText(criterion));
}

void CriteriaEditor::ChooseSet(int set) {
  if (set >= 1 && set <= kCriteriaSetCount) m_set = set;
}

bool CriteriaEditor::Toggle(int criterion) {
  if (!GridEnabled() || CriterionBit(criterion) == 0) return false;
  m_customMask ^= CriterionBit(criterion);
  return true;
}

void CriteriaEditor::SetDisplayFlag(std::uint8_t flag, bool on) {
  m_display = static_cast<std::uint8_t>(on ? (m_display | flag) : (m_display & ~flag));
  m_display &= criteria_display::kAll;
}

TCriteriaChoice CriteriaEditor::Result() const {
  TCriteriaChoice choice;
  choice.set = static_cast<std::uint8_t>(m_set);
  choice.mask = static_cast<std::uint16_t>(ShownMask() & AdmittedCriteria(m_kind));
  choice.display = m_display;
  return choice;
}

// --- sample range ---

SampleRangeChoice::SampleRangeChoice(const TDatasetSPC& dataset, DataKind kind) : m_dataset(&dataset) {
  for (int b = 1; b <= dataset.BlockCount(); ++b) {
    if (dataset.Block(b)->kind == kind) m_blocks.push_back(b);
  }
}

std::vector<std::string> SampleRangeChoice::BlockTexts() const {
  if (m_blocks.empty()) return {std::string(kNoVarBlocks)};
  std::vector<std::string> texts{AllBlocksText(static_cast<int>(m_blocks.size()))};
  for (const int b : m_blocks) texts.push_back(m_dataset->Block(b)->name);
  return texts;
}

std::string SampleRangeChoice::AllSamplesChoiceText() const {
  if (!RangeOffered()) return {};
  return AllSamplesText(m_dataset->Block(m_blocks[static_cast<std::size_t>(m_row - 1)])->SampleCount());
}

std::optional<SampleSelection> SampleRangeChoice::Result(bool allSamples, std::string_view fromText,
                                                         std::string_view toText) const {
  if (m_blocks.empty()) return std::nullopt;
  SampleSelection selection;
  selection.dataset = m_dataset;
  if (!RangeOffered()) {
    selection.blocks = m_blocks;
    return selection;
  }
  const int b = m_blocks[static_cast<std::size_t>(m_row - 1)];
  selection.blocks = {b};
  if (allSamples) return selection;
  const auto range = CheckSampleRange(fromText, toText, m_dataset->Block(b)->SampleCount());
  if (!range) return std::nullopt;
  selection.wholeBlocks = false;
  selection.from = range->from;
  selection.to = range->to;
  return selection;
}

}  // namespace mv
