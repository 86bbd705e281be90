#include "ui/dataset_history_window.h"

#include <algorithm>

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

#include "core/date_time.h"
#include "ui/text_window.h"
#include "ui/ui_text.h"

namespace mv::ui {

// The rows of the logic; the name shows the data type's icon and the time of closing whether
// the entry is open.
class DatasetHistoryModel final : public QAbstractTableModel {
 public:
  DatasetHistoryModel(DatasetHistoryWindowLogic& logic, QObject* parent) : QAbstractTableModel(parent), m_logic(logic) {}

  int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : m_logic.RowCount(); }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : DatasetHistoryWindowLogic::kColumns;
  }
  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const DatasetHistoryEntry* e = m_logic.EntryAt(index.row());
    if (!e) return {};
    if (role == Qt::DisplayRole) {
      return ToQ(m_logic.RowTexts(index.row(), m_now)[static_cast<std::size_t>(index.column())]);
    }
    if (role == Qt::DecorationRole) {
      QStyle* style = QApplication::style();
      if (index.column() == 1) {
        return style->standardIcon(e->type == 2 ? QStyle::SP_FileDialogDetailedView : QStyle::SP_FileIcon);
      }
      if (index.column() == 4) {
        return style->standardIcon(e->IsOpen() ? QStyle::SP_DialogOpenButton : QStyle::SP_DialogCloseButton);
      }
    }
    if (role == Qt::TextAlignmentRole && index.column() == 0) {
      return static_cast<int>(Qt::AlignRight | Qt::AlignVCenter);
    }
    return {};
  }
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    const std::vector<std::string> titles = DatasetHistoryWindowLogic::ColumnTitles();
    return section >= 0 && section < static_cast<int>(titles.size()) ? ToQ(titles[static_cast<std::size_t>(section)])
                                                                     : QVariant();
  }
  void Reload() {
    beginResetModel();
    m_logic.Refresh();
    m_now = Now();
    endResetModel();
  }

 private:
  DatasetHistoryWindowLogic& m_logic;
  TDateTime m_now = Now();
};

DatasetHistoryWindow::DatasetHistoryWindow(DatasetHistory& history, QWidget* parent)
    : QDialog(parent), m_logic(history) {
  setObjectName(QStringLiteral("frmDatasetHistory"));
  setWindowTitle(ToQ(DatasetHistoryWindowLogic::Title()));
  showDetails = [this](const QString& title, const std::string& text) {
    TextWindow window(title, text, this);
    window.exec();
  };

  m_caption = new QLabel;
  m_caption->setObjectName(QStringLiteral("lblCaption"));
  m_model = new DatasetHistoryModel(m_logic, this);
  m_table = new QTableView;
  m_table->setObjectName(QStringLiteral("tblHistory"));
  m_table->setModel(m_model);
  m_table->verticalHeader()->hide();
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->setTabKeyNavigation(false);
  m_table->setAlternatingRowColors(true);
  m_table->setWordWrap(false);
  m_table->horizontalHeader()->setStretchLastSection(true);
  m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
  const int widths[] = {60, 160, 170, 260, 250};
  for (int c = 0; c < DatasetHistoryWindowLogic::kColumns; ++c) m_table->setColumnWidth(c, widths[c]);
  m_table->setMinimumHeight(m_table->fontMetrics().height() * 12);
  m_table->installEventFilter(this);

  m_showOpen = new QCheckBox(QStringLiteral("Показывать в списке наборы данных, открытые &сейчас"));
  m_showOpen->setObjectName(QStringLiteral("chkShowOpen"));
  m_showOpen->setChecked(m_logic.ShowOpen());

  m_entryText = new QLabel;
  m_entryText->setObjectName(QStringLiteral("lblEntry"));
  m_entryText->setTextFormat(Qt::PlainText);
  m_entryText->setWordWrap(true);
  m_entryText->setTextInteractionFlags(Qt::TextSelectableByMouse);
  m_entryText->setMinimumHeight(m_entryText->fontMetrics().lineSpacing() * 4 + 4);
  m_entryText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_entryText->setFrameShape(QFrame::StyledPanel);

  auto* note = new QLabel(ToQ(DatasetHistoryWindowLogic::Note()));
  note->setObjectName(QStringLiteral("lblNote"));
  note->setWordWrap(true);
  note->setEnabled(false);

  m_open = new QPushButton(QStringLiteral("&Открыть"));
  m_details = new QPushButton(QStringLiteral("&Просмотр"));
  m_delete = new QPushButton(QStringLiteral("&Удаление"));
  auto* close = new QPushButton(QStringLiteral("&Закрыть"));
  const char* names[] = {"btnOpen", "btnDetails", "btnDelete", "btnClose"};
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(m_showOpen);
  buttons->addStretch(1);
  int i = 0;
  for (QPushButton* b : {m_open, m_details, m_delete, close}) {
    b->setObjectName(QLatin1String(names[i++]));
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_caption);
  layout->addWidget(m_table, 1);
  layout->addWidget(m_entryText);
  layout->addWidget(note);
  layout->addLayout(buttons);
  setTabOrder(m_table, m_showOpen);
  setTabOrder(m_showOpen, m_open);
  setTabOrder(m_open, m_details);
  setTabOrder(m_details, m_delete);
  setTabOrder(m_delete, close);

  connect(m_open, &QPushButton::clicked, this, &DatasetHistoryWindow::OpenCurrent);
  connect(m_details, &QPushButton::clicked, this, &DatasetHistoryWindow::ShowDetails);
  connect(m_delete, &QPushButton::clicked, this, &DatasetHistoryWindow::DeleteCurrent);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(m_table, &QTableView::doubleClicked, this, [this](const QModelIndex&) { OpenCurrent(); });
  connect(m_showOpen, &QCheckBox::toggled, this, [this](bool on) {
    const DatasetHistoryEntry* current = m_logic.EntryAt(CurrentRow());
    const int entry = current ? m_logic.EntryOf(CurrentRow()) : -1;
    m_logic.SetShowOpen(on);
    int row = 0;
    for (int r = 0; r < m_logic.RowCount(); ++r) {
      if (m_logic.EntryOf(r) == entry) row = r;
    }
    Reload(row);
  });

  resize(960, 520);
  RestoreArea();
  Reload(0);
  m_table->setFocus();
}

DatasetHistoryWindow::~DatasetHistoryWindow() = default;

int DatasetHistoryWindow::CurrentRow() const {
  const QModelIndex current = m_table->currentIndex();
  return current.isValid() ? current.row() : -1;
}

void DatasetHistoryWindow::Reload(int selectRow) {
  m_model->Reload();
  if (m_logic.RowCount() > 0) {
    const int row = std::clamp(selectRow, 0, m_logic.RowCount() - 1);
    m_table->setCurrentIndex(m_model->index(row, 0));
    m_table->selectRow(row);
  }
  connect(m_table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &DatasetHistoryWindow::ShowState,
          Qt::UniqueConnection);
  ShowState();
}

void DatasetHistoryWindow::ShowState() {
  m_caption->setText(ToQ(m_logic.Caption()));
  m_entryText->setText(LinesToQ(m_logic.EntryText(CurrentRow())));
  m_open->setEnabled(m_logic.CanOpen());
  m_delete->setEnabled(m_logic.CanDelete());
  m_details->setEnabled(m_logic.EntryAt(CurrentRow()) != nullptr);
}

void DatasetHistoryWindow::OpenCurrent() {
  if (!m_logic.CanOpen()) return;
  if (const std::optional<int> entry = m_logic.Open(CurrentRow())) {
    m_chosen = entry;
    accept();
  }
}

void DatasetHistoryWindow::ShowDetails() {
  const int row = CurrentRow();
  if (!m_logic.EntryAt(row)) return;
  showDetails(ToQ(m_logic.DetailsTitle(row)), m_logic.DetailsText(row, Now()));
}

void DatasetHistoryWindow::DeleteCurrent() {
  if (!m_logic.CanDelete()) return;
  const int row = CurrentRow();
  if (m_logic.Delete(row)) Reload(row);
}

bool DatasetHistoryWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_table && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
      if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        OpenCurrent();
        return true;
      }
      if (key->key() == Qt::Key_Delete) {
        DeleteCurrent();
        return true;
      }
      // Home and End go to the first and the last entry (the rows are chosen whole).
      if ((key->key() == Qt::Key_Home || key->key() == Qt::Key_End) && m_logic.RowCount() > 0) {
        const int row = key->key() == Qt::Key_Home ? 0 : m_logic.RowCount() - 1;
        m_table->setCurrentIndex(m_model->index(row, 0));
        return true;
      }
    }
  }
  return QDialog::eventFilter(watched, event);
}

void DatasetHistoryWindow::RestoreArea() {
  const HistoryWindowArea& area = m_logic.History().windowArea;
  for (int c = 0; c < HistoryWindowArea::kColumns - 1; ++c) {
    if (area.columns[c] > 0) m_table->setColumnWidth(c, area.columns[c]);
  }
  if (!area.Placed()) return;
  QRect rect(area.left, area.top, area.width, area.height);
  // A place on a screen that is gone is given up for the size alone.
  const QScreen* screen = QGuiApplication::screenAt(rect.center());
  if (!screen) {
    resize(rect.size());
    return;
  }
  const QRect available = screen->availableGeometry();
  rect.setSize(rect.size().boundedTo(available.size()));
  setGeometry(rect);
}

void DatasetHistoryWindow::StoreArea() {
  HistoryWindowArea& area = m_logic.History().windowArea;
  const QRect rect = geometry();
  const auto clip = [](int v) { return static_cast<std::int16_t>(std::clamp(v, -32768, 32767)); };
  area.left = clip(rect.left());
  area.top = clip(rect.top());
  area.width = clip(rect.width());
  area.height = clip(rect.height());
  for (int c = 0; c < HistoryWindowArea::kColumns; ++c) area.columns[c] = clip(m_table->columnWidth(c));
}

void DatasetHistoryWindow::done(int result) {
  StoreArea();
  QDialog::done(result);
}

std::optional<int> ShowDatasetHistory(DatasetHistory& history, QWidget* parent) {
  if (!HistoryWindowMayOpen(history)) return std::nullopt;
  DatasetHistoryWindow window(history, parent);
  if (window.exec() != QDialog::Accepted) return std::nullopt;
  return window.Chosen();
}

}  // namespace mv::ui
