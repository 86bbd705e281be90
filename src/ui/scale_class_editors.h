#pragma once
// The editors of one scale and one parameter class (opened from the parameter editor's lists).
// Each holds the logic object of app/spc_editor_logic.h and forwards to it.

#include <QDialog>

#include "app/spc_editor_logic.h"

class QLineEdit;

namespace mv::ui {

class ScaleEditorDialog : public QDialog {
  Q_OBJECT

 public:
  // position 0 adds a scale to `scales` on OK.
  ScaleEditorDialog(ScaleList& scales, int position, QWidget* parent = nullptr);
  ScaleEditor& Logic() { return m_logic; }
  void accept() override;

  // Modal: true after OK; *edited gets the scale's position.
  static bool Edit(ScaleList& scales, int position, QWidget* parent, int* edited = nullptr);

 private:
  ScaleEditor m_logic;
  QLineEdit* m_name = nullptr;
  QLineEdit* m_unit = nullptr;
};

class ClassEditorDialog : public QDialog {
  Q_OBJECT

 public:
  ClassEditorDialog(ParamClassList& classes, int position, QWidget* parent = nullptr);
  ClassEditor& Logic() { return m_logic; }
  void accept() override;

  static bool Edit(ParamClassList& classes, int position, QWidget* parent, int* edited = nullptr);

 private:
  ClassEditor m_logic;
  QLineEdit* m_name = nullptr;
  QLineEdit* m_note = nullptr;
};

}  // namespace mv::ui
