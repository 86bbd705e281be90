#include "ui/histogram_window.h"

#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

#include <cmath>

#include "analysis/normal_distribution.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "ui/analysis_settings.h"
#include "ui/print_setup.h"
#include "ui/chart_window.h"
#include "ui/histogram_options_dialog.h"
#include "ui/settings_window.h"
#include "ui/ui_text.h"

namespace mv::ui {
namespace {

constexpr QSize kPictureSize(1600, 1000);

// The cell of histogram i among `count` in `area`: up to three a row.
QRect CellOf(const QRect& area, std::size_t i, std::size_t count) {
  const int columns = static_cast<int>(std::min<std::size_t>(count, 3));
  const int rows = static_cast<int>((count + 2) / 3);
  const int w = area.width() / std::max(1, columns), h = area.height() / std::max(1, rows);
  return {area.left() + static_cast<int>(i % 3) * w, area.top() + static_cast<int>(i / 3) * h, w, h};
}

QRect PlotOf(const QRect& cell, int textHeight) {
  return cell.adjusted(40, textHeight + 12, -16, -(2 * textHeight + 12));
}

void DrawHistogram(QPainter& p, const QRect& cell, const THisto& h, const QString& title, const HistogramOptions& o) {
  const int textHeight = p.fontMetrics().height();
  p.setPen(Qt::black);
  p.drawText(QRect(cell.left() + 4, cell.top() + 2, cell.width() - 8, textHeight + 4), Qt::AlignCenter, title);
  const QRect plot = PlotOf(cell, textHeight);
  p.fillRect(plot, Qt::white);
  const THistogram& g = h.histogram;
  if (!h.loaded || !g.computed || g.bins.empty() || !(g.scaleTop > 0) || !(g.width > 0)) {
    p.drawText(plot, Qt::AlignCenter, QStringLiteral("Нет данных для построения гистограммы"));
    return;
  }
  const auto xOf = [&](double v) { return plot.left() + (v - g.min) / g.width * plot.width(); };
  const auto yOf = [&](double density) { return plot.bottom() - density / (g.scaleTop * 1.1) * plot.height(); };
  for (std::size_t b = 0; b < g.bins.size(); ++b) {
    const HistogramBin& bin = g.bins[b];
    const QRectF bar(QPointF(xOf(bin.lower), yOf(bin.shareDensity)), QPointF(xOf(bin.upper), plot.bottom()));
    p.setPen(QPen(QColor(40, 40, 40), 1));
    p.setBrush(o.barColours ? QColor(120, 160, 220) : QColor(200, 200, 200));
    p.drawRect(bar);
    if (o.binCounts && bin.count > 0) {
      p.drawText(QRectF(bar.left(), bar.top() - textHeight - 2, bar.width(), textHeight), Qt::AlignCenter,
                 QString::number(bin.count));
    }
  }
  if (o.normalCurve && g.sigma > 0) {
    QPainterPath curve;
    for (int k = 0; k <= 120; ++k) {
      const double x = g.min + g.width * k / 120;
      const double density = std::exp(-0.5 * std::pow((x - g.mean) / g.sigma, 2)) / (g.sigma * std::sqrt(2 * M_PI));
      const QPointF at(xOf(x), yOf(density));
      k == 0 ? curve.moveTo(at) : curve.lineTo(at);
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(200, 0, 0), 1.5));
    p.drawPath(curve);
  }
  const auto vertical = [&](std::optional<double> v, const QPen& pen, const QString& label) {
    if (!v || *v < g.min || *v > g.max) return;
    p.setPen(pen);
    p.drawLine(QPointF(xOf(*v), plot.top()), QPointF(xOf(*v), plot.bottom()));
    p.drawText(QPointF(xOf(*v) + 2, plot.top() + textHeight), label);
  };
  if (o.toleranceLimits) {
    vertical(h.data.tolerance.Get(ValueRange::kLower), QPen(QColor(0, 0, 160), 1.5, Qt::DashLine), "LSL");
    vertical(h.data.tolerance.Get(ValueRange::kUpper), QPen(QColor(0, 0, 160), 1.5, Qt::DashLine), "USL");
  }
  if (o.mean) vertical(g.mean, QPen(QColor(0, 120, 0), 1.5), QStringLiteral("X"));
  p.setPen(QColor(60, 60, 60));
  p.setBrush(Qt::NoBrush);
  p.drawRect(plot);
  const int d = h.data.decimals;
  p.drawText(QRect(plot.left() - 30, plot.bottom() + 2, 60, textHeight), Qt::AlignCenter, ToQ(FormatFixed(g.min, d)));
  p.drawText(QRect(plot.right() - 30, plot.bottom() + 2, 60, textHeight), Qt::AlignCenter, ToQ(FormatFixed(g.max, d)));
  p.drawText(QRect(plot.left(), plot.bottom() + textHeight + 4, plot.width(), textHeight), Qt::AlignCenter,
             QStringLiteral("n=%1, X=%2, s=%3")
                 .arg(g.valueCount)
                 .arg(ToQ(FormatFixed(g.mean, d + 1)))
                 .arg(ToQ(FormatFixed(g.sigma, d + 1))));
}

}  // namespace

// The drawing area: the histograms, and under the mouse the text of the bin it is over.
class HistogramView : public QWidget {
 public:
  explicit HistogramView(HistogramWindowLogic& logic, QLabel* status) : m_logic(logic), m_status(status) {
    setObjectName("histogramView");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(400, 300);
  }
  QSize sizeHint() const override { return {900, 560}; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.fillRect(rect(), QColor(246, 246, 246));
    HistogramWindow::Paint(p, rect(), m_logic);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    const QPoint at = event->position().toPoint();
    const std::size_t count = m_logic.Count();
    for (std::size_t i = 0; i < count; ++i) {
      const QRect plot = PlotOf(CellOf(rect(), i, count), fontMetrics().height());
      const THistogram& g = m_logic.Histograms()[i].histogram;
      if (!plot.contains(at) || !g.computed || !(g.width > 0)) continue;
      const double x = g.min + (at.x() - plot.left()) * g.width / plot.width();
      m_status->setText(ToQ(m_logic.BinText(i, g.BinAt(x))));
      return;
    }
    m_status->clear();
  }

 private:
  HistogramWindowLogic& m_logic;
  QLabel* m_status;
};

HistogramWindow::HistogramWindow(std::unique_ptr<HistogramWindowLogic> logic, QWidget* parent)
    : QMainWindow(parent), m_logic(std::move(logic)) {
  setObjectName("frmHistogram");
  setAttribute(Qt::WA_DeleteOnClose);
  m_status = new QLabel;
  m_status->setObjectName("mouseText");
  statusBar()->addWidget(m_status, 1);
  m_view = new HistogramView(*m_logic, m_status);
  setCentralWidget(m_view);
  auto* tools = addToolBar(QStringLiteral("Команды"));
  tools->setObjectName("commands");
  tools->addAction(AddCommand("moreBins", QStringLiteral("Больше интервалов"), QKeySequence(Qt::CTRL | Qt::Key_Plus),
                              &HistogramWindow::MoreBins));
  tools->addAction(AddCommand("fewerBins", QStringLiteral("Меньше интервалов"), QKeySequence(Qt::CTRL | Qt::Key_Minus),
                              &HistogramWindow::FewerBins));
  tools->addAction(AddCommand("options", QStringLiteral("Настройки гистограмм..."), QKeySequence(Qt::Key_F6),
                              &HistogramWindow::EditOptions));
  tools->addSeparator();
  tools->addAction(AddCommand("print", QStringLiteral("Печать..."), QKeySequence::Print, &HistogramWindow::PrintWithDialog));
  tools->addAction(AddCommand("preview", QStringLiteral("Предварительный просмотр..."),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), &HistogramWindow::PrintPreview));
  tools->addAction(AddCommand("savePicture", QStringLiteral("Сохранить рисунок..."), QKeySequence::Save,
                              &HistogramWindow::SavePicture));
  tools->addAction(AddCommand("copyPicture", QStringLiteral("Копировать рисунок"), QKeySequence::Copy,
                              &HistogramWindow::CopyPicture));
  tools->addAction(AddCommand("close", QStringLiteral("Закрыть"), QKeySequence(Qt::CTRL | Qt::Key_W), nullptr));
  connect(Command("close"), &QAction::triggered, this, &QWidget::close);
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
  const HistogramOptions& o = m_logic->Options();
  resize(o.windowWidth ? o.windowWidth : 1100, o.windowHeight ? o.windowHeight : 700);
  Refresh();
}

HistogramWindow::~HistogramWindow() = default;

HistogramWindow* HistogramWindow::Open(const TDatasetSPC& dataset, const SampleSelection& selection,
                                       const std::vector<int>& parameters, QWidget* parent) {
  auto logic = std::make_unique<HistogramWindowLogic>(dataset, selection, parameters, HistogramWindowSettings());
  if (logic->Count() == 0) {
    ShowError(kNoVarParameters);
    return nullptr;
  }
  if (logic->Recompute() == 0) return nullptr;
  auto* window = new HistogramWindow(std::move(logic), parent);
  window->setWindowFlag(Qt::Window, true);
  window->show();
  return window;
}

QAction* HistogramWindow::AddCommand(const char* name, const QString& text, const QKeySequence& key,
                                     void (HistogramWindow::*slot)()) {
  auto* action = new QAction(text, this);
  action->setObjectName(QString::fromUtf8(name));
  action->setShortcut(key);
  action->setToolTip(text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QStringLiteral(")"));
  if (slot) connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
  addAction(action);
  return action;
}

QAction* HistogramWindow::Command(const char* name) const { return findChild<QAction*>(QString::fromUtf8(name)); }

void HistogramWindow::Paint(QPainter& painter, const QRect& area, const HistogramWindowLogic& logic) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setFont(QFontOf(GraphicsFontSetting()));
  for (std::size_t i = 0; i < logic.Count(); ++i) {
    DrawHistogram(painter, CellOf(area, i, logic.Count()), logic.Histograms()[i], ToQ(logic.Title(i)),
                  logic.Options());
  }
  painter.restore();
}

void HistogramWindow::Refresh() {
  setWindowTitle(ToQ(m_logic->Caption()));
  m_view->update();
}

void HistogramWindow::MoreBins() {
  m_logic->MoreBins();
  Refresh();
}

void HistogramWindow::FewerBins() {
  m_logic->FewerBins();
  Refresh();
}

void HistogramWindow::EditOptions() {
  HistogramOptions options = m_logic->Options();
  if (!HistogramOptionsDialog::Edit(options, {}, this)) return;
  m_logic->SetOptions(options);
  HistogramWindowSettings() = options;
  Refresh();
}

bool HistogramWindow::Print(QPrinter& printer, const PrintTexts& texts) {
  QPainter p;
  if (!p.begin(&printer)) return false;
  const QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
  QRect area(0, 0, paint.width(), paint.height());
  const int line = p.fontMetrics().height() + 8;
  p.drawText(QRect(area.left(), area.top(), area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
             ToQ(ExpandTitle(texts.header.empty() ? m_logic->Caption() : texts.header)));
  area.setTop(area.top() + line);
  if (!texts.caption.empty()) {
    p.drawText(QRect(area.left(), area.bottom() - line, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
               ToQ(ExpandTitle(texts.caption)));
    area.setBottom(area.bottom() - line);
  }
  Paint(p, area, *m_logic);
  return p.end();
}

QImage HistogramWindow::Picture(const QSize& size) const {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  Paint(p, QRect(QPoint(0, 0), size), *m_logic);
  return image;
}

void HistogramWindow::PrintWithDialog() {
  PrintTexts texts{m_logic->Options().printHeader, m_logic->Options().printCaption, false};
  if (!PrintCaptionDialog::Edit(PrintCaptionDialog::Kind::Histogram, texts, this)) return;
  HistogramWindowSettings().printHeader = texts.header;
  HistogramWindowSettings().printCaption = texts.caption;
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrintOptions(printer, PrintSettings());
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  TakePrintOptions(printer, PrintSettings());
  Print(printer, texts);
}

void HistogramWindow::PrintPreview() {
  const PrintTexts texts{HistogramWindowSettings().printHeader, HistogramWindowSettings().printCaption, false};
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrintOptions(printer, PrintSettings());
  QPrintPreviewDialog preview(&printer, this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this, texts](QPrinter* p) { Print(*p, texts); });
  preview.exec();
}

void HistogramWindow::SavePicture() { ChartWindow::SavePictureAs(Picture(kPictureSize)); }

void HistogramWindow::CopyPicture() { ChartWindow::CopyPictureToClipboard(Picture(kPictureSize)); }

}  // namespace mv::ui
