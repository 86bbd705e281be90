#pragma once
// The histogram window: up to 6 histograms of its logic side by side, more and fewer bins,
// the options, printing, pictures and copies; the mouse names the bin or value it is over.
// Every decision is the HistogramWindowLogic's.

#include <QMainWindow>

#include <memory>

#include "app/histogram_window_logic.h"
#include "render/histogram_painter.h"
#include "ui/print_caption_dialog.h"

class QAction;
class QLabel;
class QPrinter;

namespace mv::ui {

class HistogramView;

class HistogramWindow : public QMainWindow {
  Q_OBJECT

 public:
  explicit HistogramWindow(std::unique_ptr<HistogramWindowLogic> logic, QWidget* parent = nullptr);
  ~HistogramWindow() override;

  // Computes the histograms of the selection with the run's options and opens the window;
  // nullptr when none could be computed (their messages were shown).
  static HistogramWindow* Open(const TDatasetSPC& dataset, const SampleSelection& selection,
                               const std::vector<int>& parameters, QWidget* parent = nullptr);

  HistogramWindowLogic& Logic() { return *m_logic; }
  QAction* Command(const char* name) const;
  // Draws the histograms into `area` (screen, printer page, picture) with the histogram painter;
  // the layout it used. `drawings` are the logic's (Drawings()); black and white for a
  // greyscale printer.
  static render::HistogramsLayout Paint(QPainter& painter, const QRect& area, const HistogramWindowLogic& logic,
                                        const std::vector<HistogramDrawing>& drawings, bool monochrome = false);
  // The layout of the last drawing on the screen.
  const render::HistogramsLayout& ScreenLayout() const;
  bool Print(QPrinter& printer, const PrintTexts& texts);
  QImage Picture(const QSize& size) const;
  void Refresh();

 private:
  QAction* AddCommand(const char* name, const QString& text, const QKeySequence& key, void (HistogramWindow::*slot)());
  void MoreBins();
  void FewerBins();
  void EditOptions();
  void PrintWithDialog();
  void PrintPreview();
  void SavePicture();
  void CopyPicture();

  std::unique_ptr<HistogramWindowLogic> m_logic;
  HistogramView* m_view = nullptr;
  QLabel* m_status = nullptr;
};

}  // namespace mv::ui
