#include "app/history_lists.h"

#include <algorithm>

#include "core/text.h"

namespace mv {
namespace {

constexpr HistoryListInfo kLists[] = {
    {HistoryList::FilterName, "FilterName", "filter window"},
    {HistoryList::FilterValue, "FilterValue", "condition window"},
    {HistoryList::SampleNote, "SampleNote", "sample window"},
    {HistoryList::SampleEvent, "SampleEvent", "sample window"},
    {HistoryList::BlockName, "BlockName", "block editor"},
    {HistoryList::BlockNote, "BlockNote", "block editor"},
    {HistoryList::BlockFrequency, "BlockFrequency", "block editor"},
    {HistoryList::ParameterName, "ParameterName", "parameter editor"},
    {HistoryList::ParameterShortName, "ParameterShortName", "parameter editor"},
    {HistoryList::ParameterUnit, "ParameterUnit", "parameter editor"},
    {HistoryList::ParameterNote, "ParameterNote", "parameter editor"},
    {HistoryList::ProcessName, "ProcessName", "dataset properties"},
    {HistoryList::ProcessComment, "ProcessComment", "dataset properties"},
    {HistoryList::Department, "Department", "dataset properties"},
    {HistoryList::Detail, "Detail", "dataset properties"},
    {HistoryList::Operation, "Operation", "dataset properties"},
    {HistoryList::Responsible, "Responsible", "dataset properties"},
    {HistoryList::GageName, "GageName", "gauge editor"},
    {HistoryList::ProfileName, "ProfileName", "input profile editor"},
    {HistoryList::ReportTitle, "ReportTitle", "report kinds"},
    {HistoryList::SearchText, "SearchText", "table search"},
    {HistoryList::FileName, "FileName", "new file names"},
};
static_assert(std::size(kLists) == kHistoryListCount);

}  // namespace

const HistoryListInfo& HistoryInfo(HistoryList list) { return kLists[static_cast<std::size_t>(list) % kHistoryListCount]; }

std::vector<std::string>& History(ConfigFile& config, HistoryList list) {
  return config.historyLists[static_cast<std::size_t>(list) % kHistoryListCount];
}

const std::vector<std::string>& History(const ConfigFile& config, HistoryList list) {
  return config.historyLists[static_cast<std::size_t>(list) % kHistoryListCount];
}

void RememberValue(std::vector<std::string>& list, std::string_view value) {
  const std::string_view text = Trim(value);
  if (text.empty()) return;
  std::erase_if(list, [&](const std::string& earlier) { return SameText(earlier, text); });
  list.insert(list.begin(), std::string(text));
  if (list.size() > kHistoryMax) list.resize(kHistoryMax);
}

}  // namespace mv
