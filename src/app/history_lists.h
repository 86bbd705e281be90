#pragma once
// The configuration's 22 lists of recently typed values (ConfigFile::historyLists), each
// behind the fields that offer it. A list keeps its most recent value first, holds a value once
// (letter case ignored) and at most 25 values. Lists no field uses yet are kept as read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/config_file.h"

namespace mv {

enum class HistoryList : std::uint8_t {
  FilterName = 0,         // the filter window's name
  FilterValue = 1,        // the condition window's value
  SampleNote = 2,         // the sample window
  SampleEvent = 3,
  BlockName = 4,          // the block editor
  BlockNote = 5,
  BlockFrequency = 6,
  ParameterName = 7,      // the parameter editor
  ParameterShortName = 8,
  ParameterUnit = 9,
  ParameterNote = 10,
  ProcessName = 11,       // the dataset's properties
  ProcessComment = 12,
  Department = 13,
  Detail = 14,
  Operation = 15,
  Responsible = 16,
  GageName = 17,          // the gauge editor
  ProfileName = 18,       // the input profile editor
  ReportTitle = 19,       // the report kinds
  SearchText = 20,        // searches in tables
  FileName = 21,          // names typed for new files
};

inline constexpr std::size_t kHistoryListCount = 22;
inline constexpr std::size_t kHistoryMax = 25;
static_assert(kHistoryListCount == ConfigFile::kHistoryLists);

struct HistoryListInfo {
  HistoryList list;
  const char* name;   // for the log and the tests
  const char* owner;  // the window whose fields offer it
};

// The description of every list, by index.
const HistoryListInfo& HistoryInfo(HistoryList list);

// The list of the configuration.
std::vector<std::string>& History(ConfigFile& config, HistoryList list);
const std::vector<std::string>& History(const ConfigFile& config, HistoryList list);

// Puts a typed value first: trimmed, an empty value ignored, an earlier equal one (letter case
// ignored) removed, the list cut to 25.
void RememberValue(std::vector<std::string>& list, std::string_view value);

}  // namespace mv
