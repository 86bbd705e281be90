#pragma once
// The editors of a quantitative and of an alternative parameter. Each holds a ParameterEditor
// (app/spc_editor_logic.h), fills its form from the fields on OK and forwards to it; a refusal
// puts the focus on the field it concerns.

#include <QDialog>

#include <map>

#include "app/spc_editor_logic.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace mv::ui {

class VarParameterDialog : public QDialog {
  Q_OBJECT

 public:
  // position 0: a new quantitative parameter, added on OK.
  VarParameterDialog(TDatasetSPC& ds, int position, ConfigFile* config, QWidget* parent = nullptr);
  ParameterEditor& Logic() { return m_logic; }
  QWidget* FieldWidget(EditorField field) const;

  void accept() override;
  // The nominal button.
  void SetNominalToMiddle();
  // The lists' buttons: a new scale or class, or the chosen one changed.
  void EditScale(bool create);
  void EditClass(bool create);
  // The lists' delete buttons (after the question).
  void DeleteScale();
  void DeleteClass();

 private:
  void ReadForm();
  void FillScales(std::int32_t chosenId);
  void FillClasses(std::int16_t chosenId);
  void Enable();

  ParameterEditor m_logic;
  std::map<EditorField, QWidget*> m_fields;
  QComboBox* m_name = nullptr;
  QComboBox* m_shortName = nullptr;
  QComboBox* m_unit = nullptr;
  QSpinBox* m_decimals = nullptr;
  QComboBox* m_scale = nullptr;
  QComboBox* m_class = nullptr;
  QComboBox* m_note = nullptr;
  QPushButton* m_newScale = nullptr;
  QPushButton* m_newClass = nullptr;
  QPushButton* m_editScale = nullptr;
  QPushButton* m_editClass = nullptr;
  QToolButton* m_deleteScale = nullptr;
  QToolButton* m_deleteClass = nullptr;
  QLabel* m_relativeText = nullptr;
  QCheckBox* m_tag = nullptr;
  QLineEdit* m_default = nullptr;
  QLineEdit* m_lsl = nullptr;
  QLineEdit* m_usl = nullptr;
  QLineEdit* m_nominal = nullptr;
  QPushButton* m_middle = nullptr;
  QLineEdit* m_lrl = nullptr;
  QLineEdit* m_url = nullptr;
  QCheckBox* m_relative = nullptr;
  QLineEdit* m_base = nullptr;
  QComboBox* m_multiplier = nullptr;
  QCheckBox* m_negate = nullptr;
  QLineEdit* m_max = nullptr;
  QLineEdit* m_min = nullptr;
  QCheckBox* m_noSkip = nullptr;
  QCheckBox* m_explain = nullptr;
  QGroupBox* m_toleranceBox = nullptr;
  QGroupBox* m_relativeBox = nullptr;
};

class AltParameterDialog : public QDialog {
  Q_OBJECT

 public:
  AltParameterDialog(TDatasetSPC& ds, int position, ConfigFile* config, QWidget* parent = nullptr);
  ParameterEditor& Logic() { return m_logic; }
  QWidget* FieldWidget(EditorField field) const;
  void accept() override;

 private:
  ParameterEditor m_logic;
  QComboBox* m_name = nullptr;
  QComboBox* m_shortName = nullptr;
  QComboBox* m_note = nullptr;
  QComboBox* m_type = nullptr;
  QLineEdit* m_ppm = nullptr;
  QCheckBox* m_noSkip = nullptr;
};

}  // namespace mv::ui
