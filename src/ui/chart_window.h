#pragma once
// The chart window: the charts of up to 7 parameters drawn by ChartView, a table of the
// parameters under them (the catalogue's columns the options choose for the window type, chosen
// from the header's context menu; a click makes a row current), the mouse texts in the status line and
// a toolbar whose every command has a shortcut: the upper and lower kinds of the window type,
// options, criteria, parameters, calculations, point information, activation of samples,
// printing, pictures and copies. Every decision is the ChartWindowLogic's.

#include <QMainWindow>

#include <memory>
#include <optional>
#include <vector>

#include "app/chart_window_logic.h"
#include "ui/print_caption_dialog.h"

class QAction;
class QActionGroup;
class QLabel;
class QPrinter;
class QTableView;

namespace mv::ui {

class ChartView;
class ParameterTableModel;
class TextWindow;

class ChartWindow : public QMainWindow {
  Q_OBJECT

 public:
  // The window over a built logic (Rebuild() succeeded).
  explicit ChartWindow(std::unique_ptr<ChartWindowLogic> logic, QWidget* parent = nullptr);
  ~ChartWindow() override;

  // Builds the charts of the selection with the run's chart options and opens the window;
  // nullptr when the upper chart cannot be built (its message was shown).
  static ChartWindow* Open(TDatasetSPC& dataset, const SampleSelection& selection, ChartKind upper,
                           std::optional<ChartKind> lower, const std::vector<int>& parameters,
                           QWidget* parent = nullptr);

  ChartWindowLogic& Logic() { return *m_logic; }
  ChartView* View() { return m_view; }
  QAction* Command(const char* name) const;

  // Draws the print onto `printer`: the header, the charts (in the standard form above a table
  // of the samples), the conclusion and the caption, on one page. False when the standard form
  // is refused (its message shown) or the printer cannot be painted on.
  bool Print(QPrinter& printer, const PrintTexts& texts);
  // The caption and the charts in a picture of `size` pixels.
  QImage Picture(const QSize& size) const;
  // The picture encoded in the format its file name's extension names (png, jpg, jpeg, bmp);
  // empty for another extension.
  static QByteArray Encode(const QImage& image, const QString& fileName);
  // The analysis windows' "save picture" (file dialog, format by the extension) and "copy
  // picture" (PNG on the clipboard).
  static void SavePictureAs(const QImage& image);
  static void CopyPictureToClipboard(const QImage& image);

  // Re-reads everything from the logic after a command.
  void Refresh();

 private:
  void BuildCommands();
  QAction* AddCommand(const char* name, const QString& text, const QKeySequence& key, void (ChartWindow::*slot)());
  void FillParameterTable();
  void ChooseTableColumns(const QPoint& at);

  void EditOptions();
  void EditCriteria();
  void AddParameters();
  void RemoveParameter();
  void ShowCalculations();
  void ShowPointInformation();
  void ToggleActivation();
  void ActivateAll();
  void PrintWithDialog();
  void PrintPreview();
  void SavePicture();
  void CopyPicture();
  void CopyConclusion();
  void CopyTexts();
  void PictureWindow();

  std::unique_ptr<ChartWindowLogic> m_logic;
  ChartView* m_view = nullptr;
  QTableView* m_table = nullptr;
  ParameterTableModel* m_tableModel = nullptr;
  QLabel* m_status = nullptr;
  QActionGroup* m_upperKinds = nullptr;
  QActionGroup* m_lowerKinds = nullptr;
  std::vector<std::pair<QAction*, ChartKind>> m_upperActions;
  std::vector<std::pair<QAction*, std::optional<ChartKind>>> m_lowerActions;
  TextWindow* m_information = nullptr;
};

}  // namespace mv::ui
