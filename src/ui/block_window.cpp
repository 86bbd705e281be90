#include "ui/block_window.h"

namespace mv::ui {

void OpenBlockWindow(QWidget*, TDatasetSPC&, int, const EditContext&) {}

}  // namespace mv::ui
