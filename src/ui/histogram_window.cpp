#include "ui/histogram_window.h"

#include <QAction>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QShortcut>
#include <QStatusBar>
#include <QToolBar>

#include "core/messages.h"
#include "render/picture.h"
#include "ui/analysis_settings.h"
#include "ui/print_setup.h"
#include "ui/chart_window.h"
#include "ui/histogram_options_dialog.h"
#include "ui/settings_window.h"
#include "ui/ui_text.h"

namespace mv::ui {
namespace {

constexpr QSize kPictureSize(1600, 1000);

render::HistogramPaintOptions PaintOptionsOf(const HistogramWindowLogic& logic, bool monochrome) {
  render::HistogramPaintOptions o;
  o.histogram = logic.Options();
  o.style.font = GraphicsFontSetting();
  o.style.monochrome = monochrome;
  return o;
}

}  // namespace

// The drawing area: the histograms, and under the mouse the text of the bin or value it is over,
// found by the layout the painter used.
class HistogramView : public QWidget {
 public:
  explicit HistogramView(HistogramWindowLogic& logic, QLabel* status) : m_logic(logic), m_status(status) {
    setObjectName("histogramView");
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(400, 300);
  }
  QSize sizeHint() const override { return {900, 560}; }
  const render::HistogramsLayout& Layout() const { return m_layout; }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    m_drawings = m_logic.Drawings();
    m_layout = HistogramWindow::Paint(p, rect(), m_logic, m_drawings);
  }
  void mouseMoveEvent(QMouseEvent* event) override {
    const render::HistogramHit hit = m_layout.HitAt(event->position(), m_drawings);
    std::string text;
    if (hit.histogram >= 0 && hit.value) {
      text = m_logic.ValueText(static_cast<std::size_t>(hit.histogram), *hit.value);
    } else if (hit.histogram >= 0 && hit.bin > 0) {
      text = m_logic.BinText(static_cast<std::size_t>(hit.histogram), hit.bin);
    }
    m_status->setText(ToQ(text));
  }

 private:
  HistogramWindowLogic& m_logic;
  QLabel* m_status;
  std::vector<HistogramDrawing> m_drawings;
  render::HistogramsLayout m_layout;
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

render::HistogramsLayout HistogramWindow::Paint(QPainter& painter, const QRect& area, const HistogramWindowLogic& logic,
                                                const std::vector<HistogramDrawing>& drawings, bool monochrome) {
  render::HistogramsLayout layout;
  render::PaintHistograms(painter, QRectF(area), drawings, PaintOptionsOf(logic, monochrome), {}, &layout);
  return layout;
}

const render::HistogramsLayout& HistogramWindow::ScreenLayout() const { return m_view->Layout(); }

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
  p.setFont(render::GraphicsFont(GraphicsFontSetting(), 1.1, true));
  const int line = p.fontMetrics().height() + 8;
  p.drawText(QRect(area.left(), area.top(), area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
             ToQ(ExpandTitle(texts.header.empty() ? m_logic->Caption() : texts.header)));
  area.setTop(area.top() + line);
  if (!texts.caption.empty()) {
    p.drawText(QRect(area.left(), area.bottom() - line, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
               ToQ(ExpandTitle(texts.caption)));
    area.setBottom(area.bottom() - line);
  }
  Paint(p, area, *m_logic, m_logic->Drawings(), printer.colorMode() == QPrinter::GrayScale);
  return p.end();
}

QImage HistogramWindow::Picture(const QSize& size) const {
  QImage image = render::BlankPicture(size.width(), size.height());
  QPainter p(&image);
  Paint(p, QRect(QPoint(0, 0), size), *m_logic, m_logic->Drawings());
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
