#pragma once
// The editors of an SPC dataset's parameters and blocks (with the scale and class lists they
// offer).

#include "spc/dataset_spc.h"
#include "ui/edit_context.h"

class QWidget;

namespace mv::ui {

// Edits parameter `position` of the dataset, or a new parameter of `kind` when position is 0
// (added on OK). True after OK: the dataset holds the change and is marked changed when
// anything changed. A position beyond the last parameter edits a new one.
bool EditParameter(QWidget* parent, TDatasetSPC& ds, DataKind kind, int position, const EditContext& context);

// Edits block `position`, or a new block of `kind` when position is 0 (added on OK; its
// position goes to *created when given). True after OK.
bool EditBlock(QWidget* parent, TDatasetSPC& ds, DataKind kind, int position, const EditContext& context,
               int* created = nullptr);

}  // namespace mv::ui
