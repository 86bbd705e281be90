#pragma once
// The sample window of alternative blocks (EditSample opens it for them).

#include "spc/dataset_spc.h"
#include "ui/edit_context.h"

class QWidget;

namespace mv::ui {

// Sample `sample` of the alternative block `block` (0: a new one); the position shown last, 0
// when none.
int EditAltSample(QWidget* parent, TDatasetSPC& ds, int block, int sample, const EditContext& context);

}  // namespace mv::ui
