#pragma once
// The block window: the samples of one block and the operations on them.

#include "spc/dataset_spc.h"
#include "ui/edit_context.h"

class QWidget;

namespace mv::ui {

// Shows block `position` of the dataset in the block window (modal); returns when it closes.
// Every change marks the dataset changed.
void OpenBlockWindow(QWidget* parent, TDatasetSPC& ds, int position, const EditContext& context);

}  // namespace mv::ui
