// Arbitrary bytes as the configuration's dataset-history records (1012 bytes each, the rest of
// the input as one short record) and as the history window's area. Every record either reads
// within its bounds or is dropped; what reads must come back the same from its bytes, and
// opening and closing a dataset over the list keeps at most 35 entries.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/dataset_history.h"
#include "core/text.h"
#include "spc/dataset_spc.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  std::vector<std::string> records;
  for (std::size_t off = 0; off < bytes.size() && records.size() < 40; off += mv::DatasetHistory::kRecordSize) {
    records.push_back(bytes.substr(off, mv::DatasetHistory::kRecordSize));
  }
  mv::DatasetHistory history;
  history.Load(records);
  if (history.Count() > static_cast<int>(mv::DatasetHistory::kMaxEntries)) std::abort();
  for (const mv::DatasetHistoryEntry& e : history.Entries()) {
    if (mv::CharCount(e.name) > 100 || mv::CharCount(e.folder) > 250 || mv::CharCount(e.contents) > 150) std::abort();
    for (const std::string& t : e.texts) {
      if (mv::CharCount(t) > 60) std::abort();
    }
    const std::string again = mv::DatasetHistory::EncodeEntry(e);
    const auto back = mv::DatasetHistory::DecodeEntry(again);
    if (again.size() != mv::DatasetHistory::kRecordSize || !back || !(*back == e)) std::abort();
    (void)mv::AgoText(e.closed, e.opened);
    (void)mv::DosFileTimeText(e.fileTime);
    (void)e.Location();
  }
  const mv::HistoryWindowArea area = mv::DecodeHistoryWindowArea(bytes);
  if (!(mv::DecodeHistoryWindowArea(mv::EncodeHistoryWindowArea(area)) == area)) std::abort();

  mv::TDatasetSPC ds;
  ds.fileName = "/data/" + (history.Empty() ? std::string("x.mvl") : history.At(0)->name);
  if (!history.Empty()) ds.id = history.At(history.Count() - 1)->id;
  history.AddOnOpen(ds, 45352.5, 5, 133);
  if (history.Count() > static_cast<int>(mv::DatasetHistory::kMaxEntries) || history.Find(ds) != 0) std::abort();
  history.UpdateOnSave(ds, 45352.6, 5, 133);
  history.MarkClosed(ds, 45352.7);
  if (history.At(0)->IsOpen() || ds.historyKey != 0) std::abort();
  history.Tidy(5);
  for (const std::string& record : history.Records()) {
    if (!mv::DatasetHistory::DecodeEntry(record)) std::abort();
  }
  return 0;
}
