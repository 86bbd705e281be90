#pragma once
// The quality calculator window ("Калькулятор качества"): two inputs, the command that
// calculates or lets the conditions be changed, the two results with their copy commands and
// the note. Every check, text and result comes from the calculator logic it holds.

#include <QDialog>

#include "analysis/quality_calculator.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace mv::ui {

class QualityCalculatorDialog : public QDialog {
  Q_OBJECT

 public:
  // Works on `calculator`, which keeps the typed texts between openings.
  explicit QualityCalculatorDialog(QualityCalculator& calculator, QWidget* parent = nullptr);

  // Shows the calculator modally, on the state kept for the whole run.
  static void Open(QWidget* parent);

 protected:
  void changeEvent(QEvent* event) override;

 private:
  void Calculate();
  void ChangeConditions();
  // Inputs editable and results hidden, or inputs read-only and results shown.
  void ShowState();
  // Minimum widths of the fields and the note from the font, so that everything shows.
  void FitToContents();

  QualityCalculator& m_calc;
  QLineEdit* m_level = nullptr;
  QLineEdit* m_width = nullptr;
  QPushButton* m_command = nullptr;
  QGroupBox* m_results = nullptr;
  QLineEdit* m_index = nullptr;
  QLineEdit* m_sigma = nullptr;
  QPushButton* m_copyIndex = nullptr;
  QPushButton* m_copySigma = nullptr;
  QLabel* m_note = nullptr;
};

}  // namespace mv::ui
