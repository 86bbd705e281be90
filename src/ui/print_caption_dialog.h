#pragma once
// The texts of a print: "Настройки печати контрольной карты" (or "Печать гистограммы") with
// "Заголовок:" above the charts and "Подпись:" under them, and for a chart pair the choice of
// the standard form.

#include <QDialog>

#include <string>

class QCheckBox;
class QLineEdit;

namespace mv::ui {

struct PrintTexts {
  std::string header;
  std::string caption;
  bool gostForm = false;
};

class PrintCaptionDialog : public QDialog {
  Q_OBJECT

 public:
  enum class Kind { Chart, Histogram };
  PrintCaptionDialog(Kind kind, const PrintTexts& texts, QWidget* parent = nullptr);
  PrintTexts Result() const;
  static bool Edit(Kind kind, PrintTexts& texts, QWidget* parent);

 private:
  QLineEdit* m_header = nullptr;
  QLineEdit* m_caption = nullptr;
  QCheckBox* m_gost = nullptr;
};

}  // namespace mv::ui
