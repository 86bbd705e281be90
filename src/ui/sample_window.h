#pragma once
// The sample windows: the points of one sample of a quantitative block, and one sample of an
// alternative block.

#include "spc/dataset_spc.h"
#include "ui/edit_context.h"

class QWidget;

namespace mv::ui {

// Edits sample `sample` of block `block` (0: a new sample at the end) in the sample window of
// the block's kind (modal; previous, next and new move within the block). Returns the position
// of the sample shown last, 0 when none remains (a new sample left without points is removed).
int EditSample(QWidget* parent, TDatasetSPC& ds, int block, int sample, const EditContext& context);

}  // namespace mv::ui
