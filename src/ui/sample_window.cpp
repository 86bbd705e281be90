#include "ui/sample_window.h"

namespace mv::ui {

int EditSample(QWidget*, TDatasetSPC&, int, int, const EditContext&) { return 0; }

}  // namespace mv::ui
