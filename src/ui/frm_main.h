#pragma once
// The main window: menu, status line and (later) one page per open dataset.

#include <QMainWindow>

class QAction;
class QLabel;

namespace mv::ui {

// "Morvalen " + version. The dataset commands of the "Файл" menu are in place with their
// shortcuts but disabled until datasets can be opened; "Выход" closes the window.
class TfrmMain : public QMainWindow {
  Q_OBJECT

 public:
  explicit TfrmMain(QWidget* parent = nullptr);

 private:
  void BuildMenus();
  void ShowAbout();

  QLabel* m_status = nullptr;
};

}  // namespace mv::ui
