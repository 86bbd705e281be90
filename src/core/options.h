#pragma once
// The few settings the logic consults. The configuration file fills them at start-up; until
// then they hold their defaults.

namespace mv {

struct CoreOptions {
  // "Оставлять прежнюю версию файла данных при его сохранении": the file being replaced by a
  // save is kept under its backup name.
  bool keepPreviousDataFile = false;
};

CoreOptions& Options();

}  // namespace mv
