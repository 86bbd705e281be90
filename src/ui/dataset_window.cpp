#include "ui/dataset_window.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QEvent>
#include <QFile>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "app/chart_window_logic.h"
#include "app/dataset_outline.h"
#include "app/filter_window_logic.h"
#include "app/pending_edits.h"
#include "platform/file_dialogs.h"
#include "platform/services.h"
#include "ui/block_window.h"
#include "ui/chart_window.h"
#include "ui/dataset_properties_window.h"
#include "ui/filter_window.h"
#include "ui/histogram_window.h"
#include "ui/parameter_choice_dialog.h"
#include "ui/sample_range_dialog.h"
#include "ui/spc_editors.h"

namespace mv::ui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

// The rows of one list as the logic gives them, taken when the list is refreshed.
class DatasetRowsModel final : public QAbstractTableModel {
 public:
  using RowsFn = std::function<std::vector<std::vector<std::string>>()>;
  DatasetRowsModel(std::vector<std::string> headings, RowsFn rows, QObject* parent)
      : QAbstractTableModel(parent), m_headings(std::move(headings)), m_fetch(std::move(rows)) {}

  void Reset() {
    beginResetModel();
    m_rows = m_fetch ? m_fetch() : std::vector<std::vector<std::string>>{};
    endResetModel();
  }
  void Clear() {
    beginResetModel();
    m_rows.clear();
    m_fetch = nullptr;
    endResetModel();
  }
  int rowCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
  }
  int columnCount(const QModelIndex& parent = {}) const override {
    return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const auto& row = m_rows[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<std::size_t>(index.column());
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) return column < row.size() ? Q(row[column]) : QString();
    if (role == Qt::TextAlignmentRole && column == 0) return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnCount()) return {};
    return Q(m_headings[static_cast<std::size_t>(section)]);
  }

 private:
  std::vector<std::string> m_headings;
  RowsFn m_fetch;
  std::vector<std::vector<std::string>> m_rows;
};

namespace {

QTableView* MakeView(DatasetRowsModel* model, const char* name, bool multi, QWidget* parent) {
  auto* view = new QTableView(parent);
  view->setObjectName(QLatin1String(name));
  view->setModel(model);
  view->verticalHeader()->hide();
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setSelectionMode(multi ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
  view->setAlternatingRowColors(true);
  view->setWordWrap(false);
  view->setTabKeyNavigation(false);
  view->horizontalHeader()->setStretchLastSection(true);
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  return view;
}

QToolButton* MakeButton(const QString& text, const char* name, const QString& hint, QWidget* parent) {
  auto* button = new QToolButton(parent);
  button->setObjectName(QLatin1String(name));
  button->setText(text);
  button->setToolTip(hint);
  button->setToolButtonStyle(Qt::ToolButtonTextOnly);
  return button;
}

}  // namespace

TfrmDatasetSPC::TfrmDatasetSPC(TDatasetSPC& ds, EditContext context, Options options, QWidget* parent)
    : QWidget(parent), m_logic(ds, options.debugMode), m_context(std::move(context)), m_options(std::move(options)) {
  setObjectName(QStringLiteral("frmDatasetSPC"));
  if (!m_options.editParameter) m_options.editParameter = EditParameter;
  if (!m_options.editBlock) m_options.editBlock = EditBlock;
  if (!m_options.openBlock) m_options.openBlock = OpenBlockWindow;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 6, 8, 0);
  BuildHeader();

  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("tabKinds"));
  m_pages[0].kind = DataKind::Var;
  m_pages[1].kind = DataKind::Attr;
  m_tabs->addTab(BuildPage(m_pages[0]), QStringLiteral("Коли&чественные данные"));
  m_tabs->addTab(BuildPage(m_pages[1]), QStringLiteral("Аль&тернативные данные"));
  layout->addWidget(m_tabs, 1);

  auto* status = new QStatusBar(this);
  status->setObjectName(QStringLiteral("sbDataset"));
  status->setSizeGripEnabled(false);
  m_stateMarks = new QLabel(status);
  m_stateMarks->setObjectName(QStringLiteral("lblState"));
  m_stateMarks->setMinimumWidth(70);
  m_nameLabel = new QLabel(status);
  m_nameLabel->setObjectName(QStringLiteral("lblName"));
  m_nameLabel->setToolTip(Q(DatasetWindowLogic::NameHint()));
  m_lastAction = new QLabel(status);
  m_lastAction->setObjectName(QStringLiteral("lblLastAction"));
  m_lastAction->setToolTip(Q(DatasetWindowLogic::ActionHint()));
  status->addWidget(m_stateMarks);
  status->addWidget(m_nameLabel, 1);
  status->addWidget(m_lastAction, 1);
  layout->addWidget(status);

  BuildKeys();
  if (m_context.pending) {
    m_pendingHandle = m_context.pending->Add(m_context.slot, [this] {
      TakeFields();
      return true;
    });
  }
  Refresh();
  setTabOrder(m_name, m_comment);
  setTabOrder(m_comment, m_tabs);
}

TfrmDatasetSPC::~TfrmDatasetSPC() {
  m_name->disconnect(this);
  m_comment->disconnect(this);
  Detach();
}

void TfrmDatasetSPC::Detach() {
  if (m_detached) return;
  m_detached = true;
  if (m_context.pending && m_pendingHandle) m_context.pending->Remove(m_pendingHandle);
  m_pendingHandle = 0;
  for (Page& page : m_pages) {
    page.paramModel->Clear();
    page.blockModel->Clear();
  }
}

void TfrmDatasetSPC::BuildHeader() {
  auto* row = new QHBoxLayout;
  m_picture = new QToolButton(this);
  m_picture->setObjectName(QStringLiteral("imgPicture"));
  m_picture->setFixedSize(104, 104);
  m_picture->setIconSize(QSize(100, 100));
  m_picture->setToolTip(QStringLiteral("Рисунок процесса: щелкните, чтобы выбрать другой"));
  connect(m_picture, &QToolButton::clicked, this, &TfrmDatasetSPC::imgPictureClick);
  row->addWidget(m_picture);

  auto* form = new QFormLayout;
  m_name = new QLineEdit(this);
  m_name->setObjectName(QStringLiteral("edName"));
  m_name->setMaxLength(static_cast<int>(TDatasetSPC::kProcessNameMax));
  m_comment = new QLineEdit(this);
  m_comment->setObjectName(QStringLiteral("edComment"));
  m_comment->setMaxLength(static_cast<int>(TDatasetSPC::kCommentMax));
  connect(m_name, &QLineEdit::editingFinished, this, [this] {
    if (!m_detached && m_logic.TakeName(m_name->text().toStdString())) Changed();
  });
  connect(m_comment, &QLineEdit::editingFinished, this, [this] {
    if (!m_detached && m_logic.TakeComment(m_comment->text().toStdString())) Changed();
  });
  auto* nameLabel = new QLabel(QStringLiteral("&Название:"), this);
  nameLabel->setBuddy(m_name);
  auto* commentLabel = new QLabel(QStringLiteral("К&омментарий:"), this);
  commentLabel->setBuddy(m_comment);
  form->addRow(nameLabel, m_name);
  form->addRow(commentLabel, m_comment);
  auto* typeRow = new QHBoxLayout;
  m_type = new QLabel(this);
  m_type->setObjectName(QStringLiteral("lblType"));
  typeRow->addWidget(m_type, 1);
  auto* properties = new QPushButton(QStringLiteral("&Дополнительные свойства..."), this);
  properties->setObjectName(QStringLiteral("btnProperties"));
  connect(properties, &QPushButton::clicked, this, &TfrmDatasetSPC::OpenProperties);
  typeRow->addWidget(properties);
  form->addRow(typeRow);
  row->addLayout(form, 1);
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

QWidget* TfrmDatasetSPC::BuildPage(Page& page) {
  const DataKind kind = page.kind;
  const bool var = kind == DataKind::Var;
  auto* widget = new QWidget(m_tabs);
  widget->setObjectName(var ? QStringLiteral("pgVar") : QStringLiteral("pgAttr"));
  auto* layout = new QVBoxLayout(widget);
  layout->setContentsMargins(6, 6, 6, 6);

  // The commands.
  auto* tools = new QHBoxLayout;
  page.addParam = MakeButton(QStringLiteral("+ Пара&метр"), var ? "tbtNumPrmAdd" : "tbtAltPrmAdd",
                             QStringLiteral("Добавить параметр (Insert)"), widget);
  page.deleteParam = MakeButton(QStringLiteral("&Удалить параметр"), var ? "tbtNumPrmDel" : "tbtAltPrmDel",
                                QStringLiteral("Удалить параметр (Delete)"), widget);
  page.paramUp = MakeButton(QStringLiteral("▲ Вы&ше"), var ? "tbtNumPrmUp" : "tbtAltPrmUp",
                            QStringLiteral("Переместить параметр вверх (Ctrl+Up)"), widget);
  page.paramDown = MakeButton(QStringLiteral("▼ Ни&же"), var ? "tbtNumPrmDown" : "tbtAltPrmDown",
                              QStringLiteral("Переместить параметр вниз (Ctrl+Down)"), widget);
  page.addBlock = MakeButton(QStringLiteral("+ Нов&ый блок"), var ? "tbtNumBlkAdd" : "tbtAltBlkAdd",
                             QStringLiteral("Добавить блок (Insert)"), widget);
  page.deleteBlocks = MakeButton(QStringLiteral("Удал&ить блоки"), var ? "tbtNumBlkDel" : "tbtAltBlkDel",
                                 QStringLiteral("Удалить выделенные блоки (Delete)"), widget);
  page.selectAll = MakeButton(QStringLiteral("Выделить &все"), var ? "tbtNumBlkSelectAll" : "tbtAltBlkSelectAll",
                              QStringLiteral("Выделить все блоки (Ctrl+A)"), widget);
  page.editSwitch = MakeButton(QStringLiteral("И&зменение блоков"), var ? "tbtNumBlkEditAvl" : "tbtAltBlkEditAvl",
                               QString(), widget);
  page.editSwitch->setCheckable(true);
  connect(page.addParam, &QToolButton::clicked, this, &TfrmDatasetSPC::mnuEditAddPrmClick);
  connect(page.deleteParam, &QToolButton::clicked, this, &TfrmDatasetSPC::mnuEditDelPrmClick);
  connect(page.paramUp, &QToolButton::clicked, this, &TfrmDatasetSPC::tbtNumPrmUpClick);
  connect(page.paramDown, &QToolButton::clicked, this, &TfrmDatasetSPC::tbtNumPrmDownClick);
  connect(page.addBlock, &QToolButton::clicked, this, &TfrmDatasetSPC::mnuEditAddBlkClick);
  connect(page.deleteBlocks, &QToolButton::clicked, this, &TfrmDatasetSPC::mnuEditDelBlkClick);
  connect(page.selectAll, &QToolButton::clicked, this, &TfrmDatasetSPC::tbtNumBlkSelectAllClick);
  connect(page.editSwitch, &QToolButton::clicked, this, &TfrmDatasetSPC::tbtNumBlkEditAvlClick);

  // The analysis: the chart kinds of the page (Ctrl+1...), the histogram, the filter.
  auto* chart = MakeButton(QStringLiteral("Контро&льная карта"), var ? "btnChartVar" : "btnChartAttr",
                           QStringLiteral("Контрольная карта по выделенным блокам (Ctrl+K)"), widget);
  chart->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(chart);
  menu->setObjectName(var ? QStringLiteral("mnuChartVar") : QStringLiteral("mnuChartAttr"));
  int number = 1;
  for (const ChartLaunchChoice& c : ChartLaunchChoices(kind)) {
    QAction* action = menu->addAction(Q(c.text));
    action->setShortcut(QKeySequence(Qt::CTRL | static_cast<Qt::Key>(Qt::Key_0 + number++)));
    action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    widget->addAction(action);
    connect(action, &QAction::triggered, this, [this, c] { OpenChart(c.upper, c.lower, c.blockDefault); });
  }
  chart->setMenu(menu);
  auto* chartKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_K), widget, nullptr, nullptr,
                                 Qt::WidgetWithChildrenShortcut);
  connect(chartKey, &QShortcut::activated, chart, &QToolButton::showMenu);
  tools->addWidget(chart);
  if (var) {
    auto* histogram = MakeButton(QStringLiteral("&Гистограмма"), "btnHistogram",
                                 QStringLiteral("Гистограммы по выделенным блокам (Ctrl+G)"), widget);
    histogram->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    connect(histogram, &QToolButton::clicked, this, &TfrmDatasetSPC::mnuAnalHistoClick);
    tools->addWidget(histogram);
  }
  page.filter = new QPushButton(widget);
  page.filter->setObjectName(var ? QStringLiteral("btnFilterVar") : QStringLiteral("btnFilterAttr"));
  page.filter->setCheckable(true);
  connect(page.filter, &QPushButton::clicked, this, [this, kind] {
    EditFilter(kind);
    ShowFilterCommands();  // a click toggles the button; it shows the filter's state instead
  });
  auto* filterKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), widget, nullptr, nullptr,
                                  Qt::WidgetWithChildrenShortcut);
  connect(filterKey, &QShortcut::activated, this, [this, kind] {
    EditFilter(kind);
    ShowFilterCommands();
  });
  tools->addWidget(page.filter);
  tools->addStretch(1);
  layout->addLayout(tools);

  // The lists.
  page.paramModel = new DatasetRowsModel(
      DatasetWindowLogic::ParameterColumns(kind),
      [this, kind] {
        std::vector<std::vector<std::string>> rows;
        for (int r = 1; r <= m_logic.ParameterRows(kind); ++r) rows.push_back(m_logic.ParameterRow(kind, r));
        return rows;
      },
      widget);
  page.blockModel = new DatasetRowsModel(
      DatasetWindowLogic::BlockColumns(),
      [this, kind] {
        std::vector<std::vector<std::string>> rows;
        for (int r = 1; r <= m_logic.BlockRows(kind); ++r) rows.push_back(m_logic.BlockRow(kind, r));
        return rows;
      },
      widget);
  auto* split = new QSplitter(Qt::Vertical, widget);
  split->setChildrenCollapsible(false);
  auto* top = new QWidget(split);
  auto* topLayout = new QVBoxLayout(top);
  topLayout->setContentsMargins(0, 0, 0, 0);
  page.paramCaption = new QLabel(top);
  page.paramCaption->setObjectName(var ? QStringLiteral("lblNumParams") : QStringLiteral("lblAltParams"));
  page.params = MakeView(page.paramModel, var ? "stgParams" : "stgAltParams", false, top);
  page.paramCaption->setBuddy(page.params);
  // Each list has its commands beside its caption, so the page stays narrow enough for a
  // small screen.
  auto* paramRow = new QHBoxLayout;
  paramRow->addWidget(page.paramCaption);
  paramRow->addStretch(1);
  for (QToolButton* b : {page.addParam, page.deleteParam, page.paramUp, page.paramDown}) paramRow->addWidget(b);
  topLayout->addLayout(paramRow);
  topLayout->addWidget(page.params);
  auto* bottom = new QWidget(split);
  auto* bottomLayout = new QVBoxLayout(bottom);
  bottomLayout->setContentsMargins(0, 0, 0, 0);
  page.blockCaption = new QLabel(bottom);
  page.blockCaption->setObjectName(var ? QStringLiteral("lblNumBlocks") : QStringLiteral("lblAltBlocks"));
  page.blocks = MakeView(page.blockModel, var ? "stgNumBlocks" : "stgAltBlocks", true, bottom);
  page.blockCaption->setBuddy(page.blocks);
  auto* blockRow = new QHBoxLayout;
  blockRow->addWidget(page.blockCaption);
  blockRow->addStretch(1);
  for (QToolButton* b : {page.addBlock, page.deleteBlocks, page.selectAll, page.editSwitch}) blockRow->addWidget(b);
  bottomLayout->addLayout(blockRow);
  bottomLayout->addWidget(page.blocks);
  split->addWidget(top);
  split->addWidget(bottom);
  layout->addWidget(split, 1);

  for (QTableView* view : {page.params, page.blocks}) {
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { ShowCommands(); });
  }
  setTabOrder(page.params, page.blocks);
  return widget;
}

void TfrmDatasetSPC::BuildKeys() {
  auto* selectAll = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_A), this, nullptr, nullptr,
                                  Qt::WidgetWithChildrenShortcut);
  selectAll->setObjectName(QStringLiteral("keySelectAllBlocks"));
  connect(selectAll, &QShortcut::activated, this, &TfrmDatasetSPC::tbtNumBlkSelectAllClick);
  auto* editing = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_E), this, nullptr, nullptr,
                                Qt::WidgetWithChildrenShortcut);
  connect(editing, &QShortcut::activated, this, &TfrmDatasetSPC::tbtNumBlkEditAvlClick);
  if (m_options.saveKey) {
    auto* save = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this, nullptr, nullptr,
                               Qt::WidgetWithChildrenShortcut);
    save->setObjectName(QStringLiteral("keySave"));
    connect(save, &QShortcut::activated, this, [this] { Save(); });
  }
}

bool TfrmDatasetSPC::eventFilter(QObject* watched, QEvent* event) {
  for (const Page& page : m_pages) {
    const bool params = watched == page.params || watched == page.params->viewport();
    const bool blocks = watched == page.blocks || watched == page.blocks->viewport();
    if (!params && !blocks) continue;
    if (event->type() == QEvent::MouseButtonDblClick) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      QTableView* view = params ? page.params : page.blocks;
      const QModelIndex index = view->indexAt(mouse->position().toPoint());
      const int row = index.isValid() ? index.row() + 1 : view->model()->rowCount() + 1;
      if (params) {
        stgParamsDblClick(row);
      } else {
        OpenBlock(page.kind, row);
      }
      return true;
    }
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrl = (key->modifiers() & Qt::ControlModifier) != 0;
    switch (key->key()) {
      case Qt::Key_Insert:
        params ? mnuEditAddPrmClick() : mnuEditAddBlkClick();
        return true;
      case Qt::Key_Delete:
        params ? mnuEditDelPrmClick() : mnuEditDelBlkClick();
        return true;
      case Qt::Key_Return:
      case Qt::Key_Enter: {
        if (params) {
          const int row = CurrentParameterRow(page.kind);
          if (row > 0) stgParamsDblClick(row);
        } else {
          const QModelIndex current = page.blocks->currentIndex();
          OpenBlock(page.kind, current.isValid() ? current.row() + 1 : 0);
        }
        return true;
      }
      case Qt::Key_Up:
      case Qt::Key_Down:
        if (params && ctrl) {
          MoveParameter(key->key() == Qt::Key_Up ? -1 : +1);
          return true;
        }
        return false;
      default:
        return false;
    }
  }
  return QWidget::eventFilter(watched, event);
}

// --- showing ---

void TfrmDatasetSPC::Refresh() {
  if (m_detached) return;
  const TDatasetSPC& ds = Dataset();
  if (!m_name->hasFocus()) m_name->setText(Q(ds.processName));
  if (!m_comment->hasFocus()) m_comment->setText(Q(ds.comment));
  for (Page& page : m_pages) {
    const int paramRow = CurrentParameterRow(page.kind);
    const std::vector<int> blockRows = SelectedBlockRows(page.kind);
    page.paramModel->Reset();
    page.blockModel->Reset();
    // The captions name the lists for the keyboard: Alt+П, Alt+Б.
    page.paramCaption->setText(QStringLiteral("&") + Q(m_logic.ParameterCaption(page.kind)));
    page.blockCaption->setText(QStringLiteral("&") + Q(m_logic.BlockCaption(page.kind)));
    if (paramRow > 0) SelectParameterRow(page.kind, std::min(paramRow, m_logic.ParameterRows(page.kind)));
    for (const int row : blockRows) {
      if (row <= m_logic.BlockRows(page.kind)) {
        page.blocks->selectionModel()->select(page.blockModel->index(row - 1, 0),
                                              QItemSelectionModel::Select | QItemSelectionModel::Rows);
      }
    }
  }
  ShowPicture();
  ShowFilterCommands();
  RefreshState();
}

void TfrmDatasetSPC::RefreshState() {
  if (m_detached) return;
  const TDatasetSPC& ds = Dataset();
  m_type->setText(Q(DatasetTypeText(ds)));
  QPalette palette = m_type->palette();
  palette.setColor(QPalette::WindowText, ds.IsExample() ? ExampleColour() : this->palette().color(QPalette::WindowText));
  m_type->setPalette(palette);
  m_stateMarks->setText(Q(m_logic.StateMarks()));
  m_stateMarks->setToolTip(Q(m_logic.StateHint()));
  m_nameLabel->setText(Q(m_logic.DisplayName()));
  m_lastAction->setText(Q(m_logic.LastAction()));
  ShowCommands();
}

void TfrmDatasetSPC::ShowCommands() {
  if (m_detached) return;
  for (Page& page : m_pages) {
    const DatasetWindowLogic::Commands c = m_logic.Enabling(page.kind);
    page.addParam->setEnabled(c.addParameter);
    page.deleteParam->setEnabled(c.deleteParameter);
    page.paramUp->setEnabled(c.moveParameter);
    page.paramDown->setEnabled(c.moveParameter);
    page.addBlock->setEnabled(c.addBlock);
    page.deleteBlocks->setEnabled(c.deleteBlocks);
    page.selectAll->setEnabled(c.selectAllBlocks);
    page.editSwitch->setChecked(Dataset().blockEditingAllowed);
    page.editSwitch->setToolTip(Q(m_logic.BlockEditingCommandText()) + QStringLiteral(" (Ctrl+E)"));
  }
}

void TfrmDatasetSPC::ShowPicture() {
  const ProcessPicture& picture = Dataset().picture;
  QPixmap pixmap;
  if (!picture.data.empty() &&
      pixmap.loadFromData(reinterpret_cast<const uchar*>(picture.data.data()), static_cast<uint>(picture.data.size()))) {
    m_picture->setText(QString());
    m_picture->setIcon(QIcon(pixmap.scaled(100, 100, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
  } else {
    m_picture->setIcon(QIcon());
    m_picture->setText(QStringLiteral("&Рисунок\nпроцесса"));
  }
}

void TfrmDatasetSPC::ShowFilterCommands() {
  for (Page& page : m_pages) {
    const FilterCommandState state = FilterCommand(Dataset(), page.kind);
    QString text = Q(state.text);
    text.insert(text.indexOf(QLatin1Char('(')) + 1, QLatin1Char('&'));  // the mnemonic on the kind's word
    page.filter->setText(text);
    page.filter->setChecked(state.pressed);
    page.filter->setToolTip(Q(state.hint));
  }
}

void TfrmDatasetSPC::Changed() {
  RefreshState();
  Q_EMIT DatasetChanged();
}

void TfrmDatasetSPC::TakeFields() {
  if (m_detached) return;
  const bool name = m_logic.TakeName(m_name->text().toStdString());
  const bool comment = m_logic.TakeComment(m_comment->text().toStdString());
  if (name || comment) RefreshState();
}

bool TfrmDatasetSPC::Save() {
  if (m_detached) return false;
  TakeFields();
  if (!m_context.saveDataset) return false;
  const bool saved = m_context.saveDataset();
  if (saved) m_logic.Saved();
  Changed();
  return saved;
}

// --- selection ---

DataKind TfrmDatasetSPC::CurrentKind() const { return m_tabs->currentIndex() == 1 ? DataKind::Attr : DataKind::Var; }

void TfrmDatasetSPC::ShowKind(DataKind kind) { m_tabs->setCurrentIndex(kind == DataKind::Attr ? 1 : 0); }

QTableView* TfrmDatasetSPC::ParameterView(DataKind kind) const { return PageOf(kind).params; }
QTableView* TfrmDatasetSPC::BlockView(DataKind kind) const { return PageOf(kind).blocks; }
QPushButton* TfrmDatasetSPC::FilterButton(DataKind kind) const { return PageOf(kind).filter; }

int TfrmDatasetSPC::CurrentParameterRow(DataKind kind) const {
  const QModelIndexList rows = PageOf(kind).params->selectionModel()->selectedRows();
  if (!rows.isEmpty()) return rows.front().row() + 1;
  const QModelIndex current = PageOf(kind).params->currentIndex();
  return current.isValid() ? current.row() + 1 : 0;
}

std::vector<int> TfrmDatasetSPC::SelectedBlockRows(DataKind kind) const {
  std::vector<int> rows;
  for (const QModelIndex& index : PageOf(kind).blocks->selectionModel()->selectedRows()) rows.push_back(index.row() + 1);
  std::sort(rows.begin(), rows.end());
  return rows;
}

void TfrmDatasetSPC::SelectParameterRow(DataKind kind, int row) {
  QTableView* view = PageOf(kind).params;
  if (row < 1 || row > view->model()->rowCount()) return;
  view->selectRow(row - 1);
  view->setCurrentIndex(view->model()->index(row - 1, 0));
}

void TfrmDatasetSPC::SelectBlockRow(DataKind kind, int row) {
  QTableView* view = PageOf(kind).blocks;
  if (row < 1 || row > view->model()->rowCount()) return;
  view->clearSelection();
  view->selectRow(row - 1);
  view->setCurrentIndex(view->model()->index(row - 1, 0));
}

// --- parameter commands ---

void TfrmDatasetSPC::mnuEditAddPrmClick() {
  const DataKind kind = CurrentKind();
  if (!m_logic.MayAddParameter()) return;
  if (!m_options.editParameter(this, Dataset(), kind, 0, m_context)) return;
  Refresh();
  SelectParameterRow(kind, m_logic.ParameterRows(kind));
  Changed();
}

void TfrmDatasetSPC::stgParamsDblClick(int row) {
  const DataKind kind = CurrentKind();
  if (row < 1) return;
  const int position = m_logic.ParameterAt(kind, row);  // 0: a new parameter
  if (!m_logic.MayEditParameter()) return;
  if (!m_options.editParameter(this, Dataset(), kind, position, m_context)) return;
  Refresh();
  SelectParameterRow(kind, position ? m_logic.ParameterRowOf(position) : m_logic.ParameterRows(kind));
  Changed();
}

void TfrmDatasetSPC::mnuEditDelPrmClick() {
  const DataKind kind = CurrentKind();
  const int row = CurrentParameterRow(kind);
  if (row < 1 || !m_logic.DeleteParameter(kind, row)) return;
  Refresh();
  SelectParameterRow(kind, std::min(row, m_logic.ParameterRows(kind)));
  Changed();
}

void TfrmDatasetSPC::MoveParameter(int direction) {
  const DataKind kind = CurrentKind();
  const int row = CurrentParameterRow(kind);
  if (row < 1) return;
  const int moved = m_logic.MoveParameter(kind, row, direction);
  if (moved == 0) return;
  Refresh();
  SelectParameterRow(kind, moved);
  Changed();
}

void TfrmDatasetSPC::tbtNumPrmUpClick() { MoveParameter(-1); }
void TfrmDatasetSPC::tbtNumPrmDownClick() { MoveParameter(+1); }

// --- block commands ---

void TfrmDatasetSPC::mnuEditAddBlkClick() {
  const DataKind kind = CurrentKind();
  if (!m_logic.Enabling(kind).addBlock || !m_logic.MayAddBlock()) return;
  int created = 0;
  if (!m_options.editBlock(this, Dataset(), kind, 0, m_context, &created)) return;
  Dataset().RebuildBlockLists();
  if (created > 0 && Dataset().blockEditingAllowed) m_options.openBlock(this, Dataset(), created, m_context);
  Refresh();
  SelectBlockRow(kind, created > 0 ? m_logic.BlockRowOf(created) : m_logic.BlockRows(kind));
  Changed();
}

void TfrmDatasetSPC::OpenBlock(DataKind kind, int row) {
  const int position = m_logic.BlockAt(kind, row);
  if (position == 0) {
    if (kind == DataKind::Var && m_logic.BlockRows(kind) == 0) mnuEditAddBlkClick();
    return;
  }
  if (!m_logic.MayOpenBlock(position)) return;
  m_options.openBlock(this, Dataset(), position, m_context);
  Refresh();
  SelectBlockRow(kind, m_logic.BlockRowOf(position));
  Changed();
}

void TfrmDatasetSPC::stgNumBlocksDblClick(int row) { OpenBlock(CurrentKind(), row); }

void TfrmDatasetSPC::mnuEditDelBlkClick() {
  const DataKind kind = CurrentKind();
  const std::vector<int> rows = SelectedBlockRows(kind);
  if (rows.empty()) return;
  if (m_logic.DeleteBlocks(kind, rows) == 0) {
    RefreshState();
    return;
  }
  PageOf(kind).blocks->clearSelection();
  Refresh();
  SelectBlockRow(kind, std::min(rows.front(), m_logic.BlockRows(kind)));
  Changed();
}

void TfrmDatasetSPC::tbtNumBlkSelectAllClick() {
  QTableView* view = PageOf(CurrentKind()).blocks;
  view->setFocus();
  view->selectAll();
}

void TfrmDatasetSPC::tbtNumBlkEditAvlClick() {
  m_logic.ToggleBlockEditing();
  Changed();
}

// --- analysis ---

namespace {

// The selected blocks as they are when several are selected, else the choice of the dialog.
std::optional<SampleSelection> ChooseSelection(const TDatasetSPC& ds, DataKind kind, const std::vector<int>& blocks,
                                               QWidget* parent) {
  if (blocks.size() > 1) return SampleSelection{&ds, blocks, true, 1, 1};
  return SampleRangeDialog::Choose(ds, kind, blocks.empty() ? 0 : blocks.front(), parent);
}

}  // namespace

void TfrmDatasetSPC::OpenChart(ChartKind upper, std::optional<ChartKind> lower, bool blockDefault) {
  const DataKind kind = IsAttributeChart(upper) ? DataKind::Attr : DataKind::Var;
  if (!m_logic.AnalysisAvailable(kind)) return;
  const std::vector<int> blocks = m_logic.ChartBlocks(kind, SelectedBlockRows(kind));
  const auto selection = ChooseSelection(Dataset(), kind, blocks, this);
  if (!selection || selection->blocks.empty()) return;
  if (blockDefault) {
    const ChartLaunchChoice choice = DefaultChartOfBlock(*Dataset().Block(selection->blocks.front()));
    upper = choice.upper;
    lower = choice.lower;
  }
  const auto parameters = ParameterChoiceDialog::Choose(Dataset(), upper, lower, {}, this);
  if (!parameters) return;
  ChartWindow::Open(Dataset(), *selection, upper, lower, *parameters, window());
}

void TfrmDatasetSPC::mnuAnalHistoClick() {
  if (!m_logic.AnalysisAvailable(DataKind::Var)) return;
  const auto selection =
      ChooseSelection(Dataset(), DataKind::Var, m_logic.SelectedBlocks(DataKind::Var, SelectedBlockRows(DataKind::Var)), this);
  if (!selection) return;
  const auto parameters = ParameterChoiceDialog::Choose(Dataset(), ChartKind::Mean, std::nullopt, {}, this,
                                                         "Отметьте параметры, по которым будут построены гистограммы");
  if (!parameters) return;
  HistogramWindow::Open(Dataset(), *selection, *parameters, window());
}

bool TfrmDatasetSPC::EditFilter(DataKind kind) {
  FilterWindow filterWindow(Dataset(), kind, m_options.filterNames, m_options.filterValues, this);
  if (filterWindow.exec() != QDialog::Accepted) return false;
  ShowFilterCommands();
  // The open charts and histograms of this dataset count other points now.
  for (ChartWindow* chart : window()->findChildren<ChartWindow*>()) {
    if (&chart->Logic().Dataset() == &Dataset() && chart->Logic().Rebuild()) chart->Refresh();
  }
  for (HistogramWindow* histogram : window()->findChildren<HistogramWindow*>()) {
    if (&histogram->Logic().Dataset() == &Dataset()) {
      histogram->Logic().Recompute();
      histogram->Refresh();
    }
  }
  Refresh();
  Changed();
  Q_EMIT DerivedDataChanged();
  return true;
}

// --- picture and properties ---

void TfrmDatasetSPC::imgPictureClick() {
  platform::FileDialogRequest request;
  request.title = "Выбор рисунка для набора данных";
  request.filter = "Рисунки (*.bmp *.jpg *.jpeg *.png *.gif);;Все файлы (*)";
  const std::optional<std::string> file = platform::Current<platform::IFileDialogs>().ChooseOpen(request);
  if (!file) return;
  const QString path = Q(*file);
  QImageReader reader(path);
  const QImage image = reader.read();
  if (image.isNull()) {
    m_logic.PictureFailed(reader.errorString().toStdString());
    return;
  }
  QFile source(path);
  if (!source.open(QIODevice::ReadOnly)) {
    m_logic.PictureFailed(source.errorString().toStdString());
    return;
  }
  // One byte beyond what the data file can hold is enough to know the file is too big.
  const QByteArray bytes = source.read(static_cast<qint64>(DatasetWindowLogic::kMaxPictureBytes) + 1);
  if (!m_logic.TakePicture(*file, bytes.toStdString(), image.width(), image.height())) return;
  ShowPicture();
  Changed();
}

void TfrmDatasetSPC::OpenProperties() {
  if (DatasetPropertiesWindow::Edit(Dataset(), m_options.debugMode, m_context.config, this)) {
    Refresh();
    Changed();
  }
}

}  // namespace mv::ui
