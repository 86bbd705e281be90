#include "ui/spc_editors.h"

#include "ui/block_editor.h"
#include "ui/parameter_editor.h"

namespace mv::ui {

bool EditParameter(QWidget* parent, TDatasetSPC& ds, DataKind kind, int position, const EditContext& context) {
  // A position beyond the last parameter edits a new one.
  const TSPCParameter* p = ds.Parameter(position);
  if (p) kind = p->kind;
  if (kind == DataKind::Var) {
    VarParameterDialog dialog(ds, p ? position : 0, context.config, parent);
    return dialog.exec() == QDialog::Accepted;
  }
  AltParameterDialog dialog(ds, p ? position : 0, context.config, parent);
  return dialog.exec() == QDialog::Accepted;
}

bool EditBlock(QWidget* parent, TDatasetSPC& ds, DataKind kind, int position, const EditContext& context,
               int* created) {
  BlockEditorDialog dialog(ds, kind, ds.Block(position) ? position : 0, context.config, parent);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (accepted && created && position == 0) *created = dialog.Logic().Position();
  return accepted;
}

}  // namespace mv::ui
