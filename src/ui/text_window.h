#pragma once
// A text window of the chart window (calculations, point information): the text read-only,
// a command that copies it through the platform clipboard, Escape closes.

#include <QDialog>

#include <string>

class QPlainTextEdit;

namespace mv::ui {

class TextWindow : public QDialog {
  Q_OBJECT

 public:
  TextWindow(const QString& title, const std::string& text, QWidget* parent = nullptr);
  void SetText(const std::string& text);
  std::string Text() const { return m_text; }

 private:
  std::string m_text;  // as the logic gave it, CR LF lines
  QPlainTextEdit* m_view = nullptr;
};

}  // namespace mv::ui
