#include "ui/filter_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/condition_window.h"
#include "ui/ui_text.h"

namespace mv::ui {

FilterWindow::FilterWindow(TDatasetSPC& ds, DataKind kind, std::vector<std::string>* nameHistory,
                           std::vector<std::string>* valueHistory, QWidget* parent)
    : QDialog(parent), m_logic(ds, kind), m_nameHistory(nameHistory), m_valueHistory(valueHistory) {
  setObjectName(QStringLiteral("frmSampleFilter"));
  setWindowTitle(ToQ(m_logic.Title()));
  editCondition = [this](ConditionWindowLogic& logic) {
    ConditionWindow window(logic, m_valueHistory, this);
    return window.exec() == QDialog::Accepted;
  };

  m_active = new QCheckBox(QStringLiteral("&Фильтр активен"));
  m_active->setObjectName(QStringLiteral("chkActive"));
  m_active->setChecked(m_logic.Active());

  auto* caption = new QLabel(ToQ(FilterWindowLogic::Caption()));
  m_table = new QTableWidget(0, FilterWindowLogic::kColumns);
  m_table->setObjectName(QStringLiteral("tblConditions"));
  caption->setBuddy(m_table);
  QStringList headings;
  for (const std::string& h : FilterWindowLogic::ColumnTitles()) headings << ToQ(h);
  m_table->setHorizontalHeaderLabels(headings);
  m_table->verticalHeader()->hide();
  m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_table->setSelectionMode(QAbstractItemView::SingleSelection);
  m_table->setTabKeyNavigation(false);
  m_table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  m_table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
  m_table->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
  m_table->horizontalHeader()->setStretchLastSection(true);
  m_table->setMinimumHeight(m_table->fontMetrics().height() * 9);

  m_add = new QPushButton(QStringLiteral("&Добавить"));
  m_change = new QPushButton(QStringLiteral("&Изменить"));
  m_delete = new QPushButton(QStringLiteral("&Удалить"));
  m_up = new QPushButton(QStringLiteral("В&верх"));
  m_down = new QPushButton(QStringLiteral("Вни&з"));
  const char* names[] = {"btnAdd", "btnChange", "btnDelete", "btnUp", "btnDown"};
  auto* column = new QVBoxLayout;
  int i = 0;
  for (QPushButton* b : {m_add, m_change, m_delete, m_up, m_down}) {
    b->setObjectName(QLatin1String(names[i++]));
    b->setAutoDefault(false);
    column->addWidget(b);
  }
  column->addStretch(1);

  m_status = new QLabel;
  m_status->setObjectName(QStringLiteral("lblStatus"));
  m_name = new QComboBox;
  m_name->setObjectName(QStringLiteral("cbName"));
  m_name->setEditable(true);
  m_name->setInsertPolicy(QComboBox::NoInsert);
  m_name->lineEdit()->setMaxLength(static_cast<int>(SampleFilter::kNameMax) + 20);  // trimmed and cut on OK
  if (m_nameHistory) {
    for (const std::string& n : *m_nameHistory) m_name->addItem(ToQ(n));
  }
  m_name->setEditText(ToQ(m_logic.Name()));
  auto* nameLabel = new QLabel(QStringLiteral("&Название фильтра:"));
  nameLabel->setBuddy(m_name);

  auto* grid = new QGridLayout;
  grid->addWidget(caption, 0, 0, 1, 2);
  grid->addWidget(m_table, 1, 0);
  grid->addLayout(column, 1, 1);
  grid->addWidget(m_status, 2, 0, 1, 2);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("О&тмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &FilterWindow::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_active);
  layout->addLayout(grid, 1);
  layout->addWidget(nameLabel);
  layout->addWidget(m_name);
  layout->addWidget(buttons);
  setTabOrder(m_active, m_table);
  setTabOrder(m_table, m_add);
  setTabOrder(m_add, m_change);
  setTabOrder(m_change, m_delete);
  setTabOrder(m_delete, m_up);
  setTabOrder(m_up, m_down);
  setTabOrder(m_down, m_name);

  connect(m_active, &QCheckBox::toggled, this, [this](bool on) {
    m_logic.SetActive(on);
    ShowState(CurrentRow());
  });
  connect(m_add, &QPushButton::clicked, this, [this] { AddCondition(); });
  connect(m_change, &QPushButton::clicked, this, [this] { ChangeCondition(); });
  connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int row, int col) {
    if (!m_logic.Editable()) return;
    if (col == 0) {
      m_logic.ToggleActive(row);
      ShowState(row);
    } else {
      ChangeCondition();
    }
  });
  m_table->installEventFilter(this);
  connect(m_delete, &QPushButton::clicked, this, [this] { ShowState(m_logic.Delete(CurrentRow())); });
  connect(m_up, &QPushButton::clicked, this, [this] { ShowState(m_logic.MoveUp(CurrentRow())); });
  connect(m_down, &QPushButton::clicked, this, [this] { ShowState(m_logic.MoveDown(CurrentRow())); });
  ShowState(m_logic.Count() > 0 ? 0 : -1);
  resize(640, 400);
}

// Space on the table switches the current condition on or off, as a double click on its mark.
bool FilterWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_table && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && m_logic.Editable()) {
    const int row = CurrentRow();
    m_logic.ToggleActive(row);
    ShowState(row);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

int FilterWindow::CurrentRow() const { return m_table->currentRow(); }

void FilterWindow::ShowState(int selectRow) {
  m_table->setRowCount(m_logic.Count());
  for (int r = 0; r < m_logic.Count(); ++r) {
    const std::vector<std::string> texts = m_logic.RowTexts(r);
    for (int c = 0; c < FilterWindowLogic::kColumns; ++c) {
      auto* item = new QTableWidgetItem(ToQ(texts[static_cast<std::size_t>(c)]));
      if (c == 0) item->setTextAlignment(Qt::AlignCenter);
      m_table->setItem(r, c, item);
    }
  }
  if (selectRow >= 0 && selectRow < m_logic.Count()) m_table->selectRow(selectRow);
  m_status->setText(ToQ(m_logic.StatusText()));
  m_table->setEnabled(m_logic.Editable());
  m_name->setEnabled(m_logic.Editable());
  m_add->setEnabled(m_logic.CanAdd());
  m_change->setEnabled(m_logic.CanChange());
  m_delete->setEnabled(m_logic.CanDelete());
  m_up->setEnabled(m_logic.CanMove());
  m_down->setEnabled(m_logic.CanMove());
}

void FilterWindow::AddCondition() {
  if (!m_logic.CanAdd()) return;
  ConditionWindowLogic logic(m_logic.Dataset(), m_logic.Kind());
  if (editCondition(logic)) ShowState(m_logic.Add(logic.Result()));
}

void FilterWindow::ChangeCondition() {
  const int row = CurrentRow();
  if (!m_logic.CanChange() || row < 0 || row >= m_logic.Count()) return;
  ConditionWindowLogic logic(m_logic.Dataset(), m_logic.Kind(), m_logic.At(row));
  if (editCondition(logic)) ShowState(m_logic.Change(row, logic.Result()));
}

void FilterWindow::accept() {
  m_logic.SetName(FromQ(m_name->currentText()));
  m_logic.Accept(m_nameHistory);
  QDialog::accept();
}

}  // namespace mv::ui
