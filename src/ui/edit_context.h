#pragma once
// What the editing windows of a dataset (editors, block window, sample windows) work with
// besides the dataset itself.

#include <functional>

namespace mv {
class ConfigFile;
class PendingEdits;
class TGageSet;
class TInputProfileSet;
}  // namespace mv

namespace mv::ui {

struct EditContext {
  int slot = 0;                          // the dataset's slot in the open list
  ConfigFile* config = nullptr;          // the recently typed lists (nullptr: none offered)
  TInputProfileSet* profiles = nullptr;  // the sample window's input profiles (nullptr: none)
  TGageSet* gages = nullptr;             // their gauges
  PendingEdits* pending = nullptr;       // where a window registers the value it has in edit
  // Ctrl+S in an editing window: commits what is in edit, then saves the dataset as the shell
  // does (empty: the command is not offered).
  std::function<bool()> saveDataset;
};

}  // namespace mv::ui
