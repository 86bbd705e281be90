#include "ui/spc_editors.h"

namespace mv::ui {

bool EditParameter(QWidget*, TDatasetSPC&, DataKind, int, const EditContext&) { return false; }

bool EditBlock(QWidget*, TDatasetSPC&, DataKind, int, const EditContext&, int*) { return false; }

}  // namespace mv::ui
