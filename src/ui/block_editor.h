#pragma once
// The editor of a block's properties. It holds a BlockEditor (app/spc_editor_logic.h), fills
// its form from the fields on OK and forwards to it; a refusal puts the focus on its field.

#include <QDialog>

#include "app/spc_editor_logic.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace mv::ui {

class BlockEditorDialog : public QDialog {
  Q_OBJECT

 public:
  // position 0: a new block of `kind`, added on OK.
  BlockEditorDialog(TDatasetSPC& ds, DataKind kind, int position, ConfigFile* config, QWidget* parent = nullptr);
  BlockEditor& Logic() { return m_logic; }
  QWidget* FieldWidget(EditorField field) const;
  void accept() override;

 private:
  void Enable();

  BlockEditor m_logic;
  QComboBox* m_name = nullptr;
  QComboBox* m_note = nullptr;
  QComboBox* m_frequency = nullptr;
  QComboBox* m_mode = nullptr;
  QLineEdit* m_size = nullptr;
  QCheckBox* m_dates = nullptr;
  QCheckBox* m_times = nullptr;
  QCheckBox* m_protect = nullptr;
  QCheckBox* m_protectView = nullptr;
};

}  // namespace mv::ui
