#include "ui/chart_window.h"

#include <QAction>
#include <QActionGroup>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QAbstractTableModel>
#include <QMenu>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

#include "analysis/chart_kinds.h"
#include "app/histogram_window_logic.h"
#include "core/date_time.h"
#include "core/file_routines.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "platform/clipboard.h"
#include "platform/file_dialogs.h"
#include "platform/services.h"
#include "render/picture.h"
#include "ui/analysis_settings.h"
#include "ui/print_setup.h"
#include "ui/chart_options_dialog.h"
#include "ui/chart_view.h"
#include "ui/criteria_dialog.h"
#include "ui/parameter_choice_dialog.h"
#include "ui/text_window.h"
#include "ui/ui_text.h"

namespace mv::ui {
namespace {

constexpr QSize kPictureSize(1600, 1000);

// The entries of the standard form's table that fit the page's width.
void DrawSampleTable(QPainter& p, const QRect& area, const ChartWindowLogic& logic) {
  const TChart* upper = logic.Chart(1);
  if (!upper) return;
  const TChart* lower = logic.Chart(2);
  const int rowHeight = p.fontMetrics().height() + 6;
  const int labelWidth = 90;
  const int cellWidth = std::max(40, p.fontMetrics().horizontalAdvance(QStringLiteral("00000.000")));
  const int columns = std::max(1, (area.width() - labelWidth) / cellWidth);
  const auto count = static_cast<int>(std::min<std::uint32_t>(upper->data.Count(), static_cast<std::uint32_t>(columns)));
  const QString rows[] = {QStringLiteral("Выборка"), QStringLiteral("Дата"), ToQ(upper->code),
                          lower ? ToQ(lower->code) : QString()};
  const int rowCount = lower ? 4 : 3;
  p.setPen(Qt::black);
  for (int r = 0; r < rowCount; ++r) {
    const int y = area.top() + r * rowHeight;
    p.drawRect(QRect(area.left(), y, labelWidth, rowHeight));
    p.drawText(QRect(area.left() + 4, y, labelWidth - 8, rowHeight), Qt::AlignVCenter, rows[r]);
    for (int c = 0; c < count; ++c) {
      const auto index = static_cast<std::uint32_t>(c + 1);
      const TChartPoint& point = upper->data.points[index - 1];
      QString text;
      if (r == 0) text = QString::number(point.sample);
      if (r == 1 && point.date > 0) text = ToQ(DateText(point.date)).left(5);
      const TChart* chart = r == 2 ? upper : r == 3 ? lower : nullptr;
      if (chart && chart->Current() && chart->Current()->set.HasFlag(index, dsp_flag::kPresent) &&
          index >= chart->Current()->set.FirstIndex()) {
        text = ToQ(FormatFixed(chart->Current()->set.Value(index), chart->decimals));
      }
      const QRect cell(area.left() + labelWidth + c * cellWidth, y, cellWidth, rowHeight);
      p.drawRect(cell);
      p.drawText(cell, Qt::AlignCenter, text);
    }
  }
}

}  // namespace

// The logic's parameter table as a model: the current parameter's row in bold.
class ParameterTableModel final : public QAbstractTableModel {
 public:
  explicit ParameterTableModel(const ChartWindowLogic& logic, QObject* parent) : QAbstractTableModel(parent), m_logic(logic) {}

  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_logic.ParameterTable().rows.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_logic.ParameterTable().columns.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const ParamTable& table = m_logic.ParameterTable();
    if (!index.isValid() || static_cast<std::size_t>(index.row()) >= table.rows.size() ||
        static_cast<std::size_t>(index.column()) >= table.columns.size()) {
      return {};
    }
    const auto row = static_cast<std::size_t>(index.row());
    if (role == Qt::DisplayRole) return ToQ(table.rows[row][static_cast<std::size_t>(index.column())]);
    if (role == Qt::FontRole && row == m_logic.Current()) {
      QFont bold;
      bold.setBold(true);
      return bold;
    }
    if (role == Qt::TextAlignmentRole) {
      // Names, units, tolerances and scales read from the left; figures are centred.
      const int number = table.columns[static_cast<std::size_t>(index.column())].number;
      const bool text = number >= 2 && number <= 5;
      return QVariant::fromValue(Qt::AlignVCenter | (text ? Qt::AlignLeft : Qt::AlignHCenter));
    }
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    const ParamTable& table = m_logic.ParameterTable();
    if (orientation != Qt::Horizontal || section < 0 || static_cast<std::size_t>(section) >= table.columns.size()) {
      return {};
    }
    const ParamTable::Column& column = table.columns[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole) return ToQ(column.caption);
    if (role == Qt::ToolTipRole) {
      if (const TColPrototype* p = TColPrototypeSet::ParameterTable().Find(column.number)) {
        return QString::fromUtf8(p->longName.data(), static_cast<qsizetype>(p->longName.size()));
      }
    }
    return {};
  }
  // The logic renewed its table.
  void Renew() {
    beginResetModel();
    endResetModel();
  }

 private:
  const ChartWindowLogic& m_logic;
};

ChartWindow::ChartWindow(std::unique_ptr<ChartWindowLogic> logic, QWidget* parent)
    : QMainWindow(parent), m_logic(std::move(logic)) {
  setObjectName("frmChart");
  setAttribute(Qt::WA_DeleteOnClose);
  m_view = new ChartView(*m_logic);
  m_tableModel = new ParameterTableModel(*m_logic, this);
  m_table = new QTableView;
  m_table->setObjectName("parameters");
  m_table->setModel(m_tableModel);
  m_table->verticalHeader()->hide();
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->horizontalHeader()->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_table->horizontalHeader(), &QWidget::customContextMenuRequested, this, &ChartWindow::ChooseTableColumns);
  // A click or the arrow keys make a row current. The table is renewed only after the view has
  // finished with the event that moved its current row.
  connect(
      m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
      [this](const QModelIndex& index) {
        if (!index.isValid()) return;
        const auto row = static_cast<std::size_t>(index.row());
        if (row == m_logic->Current() || row >= m_logic->Parameters().size()) return;
        m_logic->SetCurrent(row);
        Refresh();
      },
      Qt::QueuedConnection);
  auto* split = new QSplitter(Qt::Vertical);
  split->addWidget(m_view);
  split->addWidget(m_table);
  split->setStretchFactor(0, 5);
  split->setStretchFactor(1, 1);
  split->setChildrenCollapsible(false);
  setCentralWidget(split);
  m_status = new QLabel;
  m_status->setObjectName("mouseText");
  statusBar()->addWidget(m_status, 1);
  connect(m_view, &ChartView::StatusText, m_status, &QLabel::setText);
  connect(m_view, &ChartView::ChosenChanged, this, [this] {
    if (m_information && m_information->isVisible()) m_information->SetText(m_logic->ChosenPointInformation());
    Refresh();
  });
  connect(m_view, &ChartView::InformationAsked, this, &ChartWindow::ShowPointInformation);
  BuildCommands();
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), this);
  connect(close, &QShortcut::activated, this, &QWidget::close);
  resize(1100, 760);
  Refresh();
  m_view->setFocus();
}

ChartWindow::~ChartWindow() = default;

ChartWindow* ChartWindow::Open(TDatasetSPC& dataset, const SampleSelection& selection, ChartKind upper,
                               std::optional<ChartKind> lower, const std::vector<int>& parameters, QWidget* parent) {
  auto logic = std::make_unique<ChartWindowLogic>(dataset, selection, upper, lower, parameters, ChartSettings());
  if (logic->Parameters().empty()) {
    ShowError(kNoDisplayableParameters);
    return nullptr;
  }
  if (!logic->Rebuild()) return nullptr;
  auto* window = new ChartWindow(std::move(logic), parent);
  window->setWindowFlag(Qt::Window, true);
  window->show();
  return window;
}

QAction* ChartWindow::AddCommand(const char* name, const QString& text, const QKeySequence& key,
                                 void (ChartWindow::*slot)()) {
  auto* action = new QAction(text, this);
  action->setObjectName(QString::fromUtf8(name));
  action->setShortcut(key);
  action->setShortcutContext(Qt::WindowShortcut);
  action->setToolTip(text + QStringLiteral(" (") + key.toString(QKeySequence::NativeText) + QStringLiteral(")"));
  if (slot) connect(action, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
  addAction(action);
  return action;
}

QAction* ChartWindow::Command(const char* name) const { return findChild<QAction*>(QString::fromUtf8(name)); }

void ChartWindow::BuildCommands() {
  auto* kinds = addToolBar(QStringLiteral("Виды карт"));
  kinds->setObjectName("kinds");
  m_upperKinds = new QActionGroup(this);
  int key = 0;
  for (const ChartKind kind : UpperKindsOf(m_logic->Type())) {
    auto* action = new QAction(ToQ(ChartKindCode(kind)), this);
    action->setObjectName(QStringLiteral("upper") + ToQ(ChartKindCode(kind)));
    action->setCheckable(true);
    action->setToolTip(ToQ(ChartKindTitle(kind, Lang::Ru)));
    action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_1 + key++)));
    m_upperKinds->addAction(action);
    kinds->addAction(action);
    addAction(action);
    connect(action, &QAction::triggered, this, [this, kind] {
      m_logic->SetUpper(kind);
      ChartSettings().windows = m_logic->Options().windows;
      Refresh();
    });
    m_upperActions.emplace_back(action, kind);
  }
  kinds->addSeparator();
  m_lowerKinds = new QActionGroup(this);
  key = 0;
  std::vector<std::optional<ChartKind>> lowers;
  if (m_logic->Type() == ChartWindowType::Subgroup) {
    lowers = {std::nullopt, ChartKind::Mean, ChartKind::Median, ChartKind::Range, ChartKind::StdDev};
  } else if (m_logic->Type() == ChartWindowType::Individuals) {
    lowers = {ChartKind::MovingRange};
    m_lowerKinds->setExclusive(false);  // the MR button toggles
  }
  for (const std::optional<ChartKind>& lower : lowers) {
    const QString code = lower ? ToQ(ChartKindCode(*lower)) : QStringLiteral("—");
    auto* action = new QAction(code, this);
    action->setObjectName(QStringLiteral("lower") + (lower ? code : QStringLiteral("None")));
    action->setCheckable(true);
    action->setToolTip(lower ? QStringLiteral("Нижняя карта: ") + ToQ(ChartKindTitle(*lower, Lang::Ru))
                             : QStringLiteral("Без нижней карты"));
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | static_cast<Qt::Key>(Qt::Key_0 + key++)));
    m_lowerKinds->addAction(action);
    kinds->addAction(action);
    addAction(action);
    connect(action, &QAction::triggered, this, [this, lower] {
      if (m_logic->Type() == ChartWindowType::Individuals) {
        m_logic->ToggleMovingRange();
      } else {
        m_logic->SetLower(lower);
      }
      ChartSettings().windows = m_logic->Options().windows;
      Refresh();
    });
    m_lowerActions.emplace_back(action, lower);
  }

  auto* tools = addToolBar(QStringLiteral("Команды"));
  tools->setObjectName("commands");
  tools->addAction(AddCommand("options", QStringLiteral("Параметры карт..."), QKeySequence(Qt::Key_F6),
                              &ChartWindow::EditOptions));
  tools->addAction(AddCommand("criteria", QStringLiteral("Критерии..."), QKeySequence(Qt::CTRL | Qt::Key_K),
                              &ChartWindow::EditCriteria));
  tools->addSeparator();
  tools->addAction(AddCommand("addParameters", QStringLiteral("Добавить параметры..."), QKeySequence(Qt::Key_Insert),
                              &ChartWindow::AddParameters));
  tools->addAction(AddCommand("removeParameter", QStringLiteral("Убрать параметр"),
                              QKeySequence(Qt::CTRL | Qt::Key_Delete), &ChartWindow::RemoveParameter));
  tools->addSeparator();
  tools->addAction(AddCommand("calculations", ToQ(kCalculationsTitle), QKeySequence(Qt::Key_F9),
                              &ChartWindow::ShowCalculations));
  tools->addAction(AddCommand("pointInformation", ToQ(kPointInformationTitle), QKeySequence(Qt::CTRL | Qt::Key_I),
                              &ChartWindow::ShowPointInformation));
  tools->addAction(AddCommand("activation", QStringLiteral("Деактивировать выборку"), QKeySequence(Qt::CTRL | Qt::Key_D),
                              &ChartWindow::ToggleActivation));
  tools->addAction(AddCommand("activateAll", ToQ(kActivateAllCommand), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D),
                              &ChartWindow::ActivateAll));
  tools->addSeparator();
  tools->addAction(AddCommand("print", QStringLiteral("Печать..."), QKeySequence::Print, &ChartWindow::PrintWithDialog));
  tools->addAction(AddCommand("preview", QStringLiteral("Предварительный просмотр..."),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P), &ChartWindow::PrintPreview));
  tools->addAction(AddCommand("savePicture", QStringLiteral("Сохранить рисунок..."), QKeySequence::Save,
                              &ChartWindow::SavePicture));
  tools->addAction(AddCommand("copyPicture", QStringLiteral("Копировать рисунок"), QKeySequence::Copy,
                              &ChartWindow::CopyPicture));
  tools->addAction(AddCommand("copyConclusion", QStringLiteral("Копировать заключение"),
                              QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C), &ChartWindow::CopyConclusion));
  tools->addAction(AddCommand("copyTexts", QStringLiteral("Копировать тексты"), QKeySequence(Qt::CTRL | Qt::Key_T),
                              &ChartWindow::CopyTexts));
  tools->addAction(AddCommand("pictureWindow", QStringLiteral("Рисунок в отдельном окне"), QKeySequence(Qt::Key_F11),
                              &ChartWindow::PictureWindow));
  tools->addAction(AddCommand("close", QStringLiteral("Закрыть"), QKeySequence(Qt::CTRL | Qt::Key_W), nullptr));
  connect(Command("close"), &QAction::triggered, this, &QWidget::close);
}

void ChartWindow::Refresh() {
  setWindowTitle(ToQ(m_logic->Caption()));
  for (auto& [action, kind] : m_upperActions) action->setChecked(kind == m_logic->Upper());
  for (auto& [action, kind] : m_lowerActions) action->setChecked(kind == m_logic->Lower());
  const bool offered = m_logic->ActivationOffered();
  QAction* activation = Command("activation");
  activation->setVisible(offered);
  const std::string text = m_logic->ActivationCommandText();
  activation->setText(text.empty() ? QStringLiteral("Деактивировать выборку") : ToQ(text));
  activation->setEnabled(offered && !text.empty());
  Command("activateAll")->setVisible(offered);
  Command("activateAll")->setEnabled(offered && m_logic->SomeInactive());
  Command("pointInformation")->setEnabled(m_logic->Chosen().index != 0);
  Command("removeParameter")->setEnabled(m_logic->Parameters().size() > 1);
  Command("addParameters")->setEnabled(m_logic->Parameters().size() < ChartWindowLogic::kMaxParameters);
  FillParameterTable();
  m_view->update();
}

void ChartWindow::FillParameterTable() {
  m_tableModel->Renew();
  const ParamTable& table = m_logic->ParameterTable();
  for (std::size_t c = 0; c < table.columns.size(); ++c) {
    const int section = static_cast<int>(c);
    const int number = table.columns[c].number;
    // The parameter's name takes the room that is left; the others start at the catalogue's width.
    if (number == 2) {
      m_table->horizontalHeader()->setSectionResizeMode(section, QHeaderView::Stretch);
    } else {
      m_table->horizontalHeader()->setSectionResizeMode(section, QHeaderView::Interactive);
      m_table->setColumnWidth(section, std::max(table.columns[c].width, 40));
    }
  }
  m_table->selectRow(static_cast<int>(m_logic->Current()));
}

void ChartWindow::ChooseTableColumns(const QPoint& at) {
  QMenu menu(this);
  for (const auto& [number, shown] : m_logic->TableColumnChoice()) {
    const TColPrototype* column = TColPrototypeSet::ParameterTable().Find(number);
    QAction* action = menu.addAction(QString::fromUtf8(column->longName.data(),
                                                       static_cast<qsizetype>(column->longName.size())));
    action->setCheckable(true);
    action->setChecked(shown);
    action->setData(number);
  }
  QAction* chosen = menu.exec(m_table->horizontalHeader()->mapToGlobal(at));
  if (!chosen) return;
  m_logic->ShowTableColumn(chosen->data().toInt(), chosen->isChecked());
  ChartSettings().windows = m_logic->Options().windows;
  FillParameterTable();
}

// --- commands ---

void ChartWindow::EditOptions() {
  TChartOptions options = m_logic->Options();
  if (!ChartOptionsDialog::Edit(options, m_logic->Upper(), this)) return;
  m_logic->SetOptions(options);
  ChartSettings() = m_logic->Options();
  Refresh();
}

void ChartWindow::EditCriteria() {
  TCriteriaChoice choice = m_logic->Options().criteria;
  if (!CriteriaDialog::Edit(m_logic->Upper(), choice, this)) return;
  m_logic->SetCriteria(choice);
  ChartSettings().criteria = choice;
  Refresh();
}

void ChartWindow::AddParameters() {
  const auto chosen =
      ParameterChoiceDialog::Choose(m_logic->Dataset(), m_logic->Upper(), m_logic->Lower(), m_logic->Parameters(), this);
  if (!chosen) return;
  if (m_logic->AddParameters(*chosen) > 0) m_logic->Rebuild();
  Refresh();
}

void ChartWindow::RemoveParameter() {
  m_logic->RemoveParameter(m_logic->Current());
  Refresh();
}

void ChartWindow::ShowCalculations() {
  auto* window = new TextWindow(ToQ(kCalculationsTitle), m_logic->Calculations(), this);
  window->setObjectName("calculationsWindow");
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
}

void ChartWindow::ShowPointInformation() {
  if (!m_logic->Chosen().index) return;
  if (!m_information) {
    m_information = new TextWindow(ToQ(kPointInformationTitle), {}, this);
    m_information->setObjectName("pointInformationWindow");
  }
  m_information->SetText(m_logic->ChosenPointInformation());
  m_information->show();
  m_information->raise();
}

void ChartWindow::ToggleActivation() {
  m_logic->ToggleChosenActivation();
  Refresh();
}

void ChartWindow::ActivateAll() {
  m_logic->ActivateAll();
  Refresh();
}

bool ChartWindow::Print(QPrinter& printer, const PrintTexts& texts) {
  if (texts.gostForm && !m_logic->CheckGostForm()) return false;
  QPainter p;
  if (!p.begin(&printer)) return false;
  const bool monochrome = printer.colorMode() == QPrinter::GrayScale;
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution()).translated(
      -printer.pageLayout().paintRectPixels(printer.resolution()).topLeft());
  const int line = p.fontMetrics().height() + 8;
  QRect area = page;
  QFont title = p.font();
  title.setBold(true);
  p.setFont(title);
  const QString header = ToQ(ExpandTitle(texts.header.empty() ? m_logic->PrintTitle(texts.gostForm)
                                                               : texts.header + (texts.gostForm
                                                                                     ? std::string(kGostTitleSuffix)
                                                                                     : std::string())));
  p.drawText(QRect(area.left(), area.top(), area.width(), line), Qt::AlignLeft | Qt::AlignVCenter, header);
  p.setFont(QFont(title.family(), title.pointSize()));
  area.setTop(area.top() + line + 4);
  if (!texts.caption.empty()) {
    p.drawText(QRect(area.left(), area.bottom() - line, area.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
               ToQ(ExpandTitle(texts.caption)));
    area.setBottom(area.bottom() - line - 4);
  }
  if (texts.gostForm) {
    const int tableHeight = 4 * (p.fontMetrics().height() + 6) + 8;
    QRect charts = area;
    charts.setBottom(area.bottom() - tableHeight);
    ChartView::Paint(p, QRectF(charts), *m_logic, false, {}, monochrome);
    DrawSampleTable(p, QRect(area.left(), charts.bottom() + 8, area.width(), tableHeight - 8), *m_logic);
  } else {
    ChartView::Paint(p, QRectF(area), *m_logic, false, {}, monochrome);
  }
  return p.end();
}

QImage ChartWindow::Picture(const QSize& size) const {
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter p(&image);
  ChartView::Paint(p, QRectF(QPointF(0, 0), QSizeF(size)), *m_logic, false, m_logic->Caption());
  return image;
}

QByteArray ChartWindow::Encode(const QImage& image, const QString& fileName) {
  const auto format = render::PictureFormatOf(fileName.toStdString());
  return format ? render::EncodePicture(image, *format) : QByteArray();
}

void ChartWindow::SavePictureAs(const QImage& image) {
  platform::FileDialogRequest request;
  request.title = "Сохранить рисунок";
  request.filter = "Рисунок PNG (*.png);;Рисунок JPEG (*.jpg *.jpeg);;Рисунок BMP (*.bmp)";
  request.defaultExt = "png";
  const auto file = platform::Current<platform::IFileDialogs>().ChooseSave(request);
  if (!file) return;
  const QByteArray bytes = Encode(image, ToQ(*file));
  if (bytes.isEmpty()) {
    ShowError("Неизвестный формат рисунка: " + *file);
    return;
  }
  // Written beside the file and renamed over it: a failure (shown by the save) leaves the old
  // picture.
  (void)SaveStringToFile(*file, bytes.toStdString(), false);
}

void ChartWindow::CopyPictureToClipboard(const QImage& image) {
  const QByteArray png = render::EncodePicture(image, render::PictureFormat::Png);
  platform::Current<platform::IClipboard>().SetPicture(png.toStdString());
}

void ChartWindow::PrintWithDialog() {
  PrintTexts texts{m_logic->Options().printHeader, m_logic->Options().printCaption,
                   (PrintSettings().contents & print_contents::kGostForm) != 0};
  if (!PrintCaptionDialog::Edit(PrintCaptionDialog::Kind::Chart, texts, this)) return;
  ChartSettings().printHeader = texts.header;
  ChartSettings().printCaption = texts.caption;
  PrintSettings().contents = static_cast<std::uint8_t>(
      texts.gostForm ? (PrintSettings().contents | print_contents::kGostForm)
                     : (PrintSettings().contents & ~print_contents::kGostForm));
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrintOptions(printer, PrintSettings());
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() != QDialog::Accepted) return;
  TakePrintOptions(printer, PrintSettings());
  Print(printer, texts);
}

void ChartWindow::PrintPreview() {
  const PrintTexts texts{ChartSettings().printHeader, ChartSettings().printCaption,
                         (PrintSettings().contents & print_contents::kGostForm) != 0};
  if (texts.gostForm && !m_logic->CheckGostForm()) return;
  QPrinter printer(QPrinter::HighResolution);
  ApplyPrintOptions(printer, PrintSettings());
  QPrintPreviewDialog preview(&printer, this);
  connect(&preview, &QPrintPreviewDialog::paintRequested, this, [this, texts](QPrinter* p) { Print(*p, texts); });
  preview.exec();
}

void ChartWindow::SavePicture() { SavePictureAs(Picture(kPictureSize)); }

void ChartWindow::CopyPicture() { CopyPictureToClipboard(Picture(kPictureSize)); }

void ChartWindow::CopyConclusion() {
  std::string text;
  for (int n = 1; n <= m_logic->ChartCount(); ++n) {
    const ChartConclusion c = m_logic->Conclusion(n);
    if (c.text.empty()) continue;
    if (!text.empty()) text += "\r\n";
    text += c.text;
  }
  platform::Current<platform::IClipboard>().SetText(text);
}

void ChartWindow::CopyTexts() {
  std::string text = m_logic->Caption() + "\r\n";
  for (int n = 1; n <= m_logic->ChartCount(); ++n) {
    const ChartConclusion c = m_logic->Conclusion(n);
    if (!c.text.empty()) text += c.text + "\r\n";
    const TChart* chart = m_logic->Chart(n);
    if (chart && chart->Current() && chart->Current()->set.zones.valid) {
      text += ZoneAnalysisFull(chart->Current()->set.zoneStat) + "\r\n";
    }
  }
  text += "\r\n" + m_logic->Calculations();
  platform::Current<platform::IClipboard>().SetText(text);
}

void ChartWindow::PictureWindow() {
  auto* window = new QScrollArea;
  window->setObjectName("pictureWindow");
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowTitle(windowTitle());
  auto* label = new QLabel;
  label->setPixmap(QPixmap::fromImage(Picture(kPictureSize)));
  window->setWidget(label);
  window->resize(1000, 700);
  auto* close = new QShortcut(QKeySequence(Qt::Key_Escape), window);
  connect(close, &QShortcut::activated, window, &QWidget::close);
  connect(this, &QObject::destroyed, window, &QWidget::close);
  window->show();
}

}  // namespace mv::ui
