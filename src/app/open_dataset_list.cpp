#include "app/open_dataset_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "platform/clock.h"
#include "platform/services.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// One spelling per file: links and ".." resolved as far as the path exists.
fs::path SameFileKey(const std::string& fileName) {
  std::error_code ec;
  fs::path key = fs::weakly_canonical(fileName, ec);
  if (ec) key = fs::absolute(fileName, ec).lexically_normal();
  return key;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) { return SameFileKey(a) == SameFileKey(b); }

void OpenDatasetList::SetCurrent(int index) {
  if (index >= 0 && index < Count()) m_current = index;
}

TDatasetSPC* OpenDatasetList::At(int index) {
  return index >= 0 && index < Count() ? m_open[static_cast<std::size_t>(index)].dataset.get() : nullptr;
}

const TDatasetSPC* OpenDatasetList::At(int index) const {
  return index >= 0 && index < Count() ? m_open[static_cast<std::size_t>(index)].dataset.get() : nullptr;
}

const OpenDataset* OpenDatasetList::Entry(int index) const {
  return index >= 0 && index < Count() ? &m_open[static_cast<std::size_t>(index)] : nullptr;
}

int OpenDatasetList::IndexOfSlot(int slot) const {
  for (int i = 0; i < Count(); ++i) {
    if (m_open[static_cast<std::size_t>(i)].slot == slot) return i;
  }
  return -1;
}

int OpenDatasetList::IndexOfFile(const std::string& fileName) const {
  if (fileName.empty()) return -1;
  const fs::path key = SameFileKey(fileName);
  for (int i = 0; i < Count(); ++i) {
    const std::string& own = m_open[static_cast<std::size_t>(i)].dataset->fileName;
    if (!own.empty() && SameFileKey(own) == key) return i;
  }
  return -1;
}

int OpenDatasetList::Add(std::unique_ptr<TDatasetSPC> dataset, std::string newName) {
  int slot = 1;
  while (IndexOfSlot(slot) >= 0) ++slot;
  dataset->slot = slot;
  OpenDataset entry;
  entry.type = dataset->TypeCode();
  entry.dataset = std::move(dataset);
  entry.slot = slot;
  entry.openedAt = platform::Current<platform::IClock>().Now();
  entry.newName = std::move(newName);
  m_open.push_back(std::move(entry));
  m_mostOpen = std::max(m_mostOpen, Count());
  m_current = Count() - 1;
  return m_current;
}

std::unique_ptr<TDatasetSPC> OpenDatasetList::Remove(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  std::unique_ptr<TDatasetSPC> dataset = std::move(m_open[static_cast<std::size_t>(index)].dataset);
  m_open.erase(m_open.begin() + index);
  if (m_current > index || m_current == Count()) --m_current;
  return dataset;
}

std::string OpenDatasetList::DisplayName(int index) const {
  const OpenDataset* entry = Entry(index);
  if (!entry) return {};
  return entry->dataset->fileName.empty() ? entry->newName : entry->dataset->fileName;
}

std::string OpenDatasetList::SummaryText() const {
  if (Count() == 0) return "нет";  // none
  const auto msa = std::count_if(m_open.begin(), m_open.end(), [](const OpenDataset& e) { return e.type >= 3; });
  return std::to_string(Count()) + " (SPC-" + std::to_string(Count() - msa) + ", MSA-" + std::to_string(msa) + ")";
}

std::string OpenDatasetList::StatusText(int index) const {
  const TDatasetSPC* ds = At(index);
  if (!ds) return {};
  if (ds->isNew) return "Новый";                    // new
  return ds->IsChanged() ? "Изменен" : "Сохранен";  // changed / saved
}

std::vector<std::string> OpenDatasetList::OpenFiles() const {
  std::vector<std::string> files;
  for (const OpenDataset& entry : m_open) {
    if (!entry.dataset->fileName.empty() && !entry.dataset->isNew) files.push_back(entry.dataset->fileName);
  }
  return files;
}

bool DatasetQueue::Push(std::string fileName, int source) {
  if (fileName.empty() || m_items.size() >= kMaxQueued) return false;
  m_items.push_back({std::move(fileName), source});
  return true;
}

std::optional<DatasetQueue::Item> DatasetQueue::Pop() {
  if (m_items.empty()) return std::nullopt;
  Item item = std::move(m_items.front());
  m_items.pop_front();
  return item;
}

}  // namespace mv
