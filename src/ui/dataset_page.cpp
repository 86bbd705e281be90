#include "ui/dataset_page.h"

#include <QFont>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dataset_outline.h"
#include "app/filter_window_logic.h"
#include "ui/filter_window.h"

namespace mv::ui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

QGroupBox* TableBox(const OutlineTable& table, const char* name, QWidget* parent) {
  auto* box = new QGroupBox(Q(table.title), parent);
  auto* layout = new QVBoxLayout(box);
  auto* view = new QTableWidget(static_cast<int>(table.rows.size()), static_cast<int>(table.columns.size()), box);
  view->setObjectName(QLatin1String(name));
  QStringList headings;
  for (const std::string& heading : table.columns) headings << Q(heading);
  view->setHorizontalHeaderLabels(headings);
  view->verticalHeader()->hide();
  view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 8);
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setAlternatingRowColors(true);
  view->setWordWrap(false);
  for (int r = 0; r < view->rowCount(); ++r) {
    const auto& row = table.rows[static_cast<std::size_t>(r)];
    for (int c = 0; c < view->columnCount() && c < static_cast<int>(row.size()); ++c) {
      auto* item = new QTableWidgetItem(Q(row[static_cast<std::size_t>(c)]));
      const auto column = static_cast<std::size_t>(c);
      if (column < table.numeric.size() && table.numeric[column]) {
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      }
      view->setItem(r, c, item);
    }
  }
  for (int c = 0; c + 1 < view->columnCount(); ++c) {
    view->horizontalHeader()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
  }
  view->horizontalHeader()->setSectionResizeMode(view->columnCount() - 1, QHeaderView::Stretch);
  layout->addWidget(view);
  return box;
}

}  // namespace

DatasetPage::DatasetPage(TDatasetSPC& ds, std::vector<std::string>* filterNames, std::vector<std::string>* filterValues,
                         QWidget* parent)
    : QWidget(parent), m_ds(ds), m_filterNames(filterNames), m_filterValues(filterValues) {
  setObjectName(QStringLiteral("pgDataset"));
  const DatasetOutlineData outline = DatasetOutline(ds);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(12, 10, 12, 10);

  auto* heading = new QLabel(this);
  heading->setObjectName(QStringLiteral("lblProcess"));
  QFont big = heading->font();
  big.setPointSizeF(big.pointSizeF() * 1.35);
  big.setBold(true);
  heading->setFont(big);
  heading->setText(outline.process.empty() ? QStringLiteral("Процесс не указан") : Q(outline.process.front().second));
  heading->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(heading);
  auto* type = new QLabel(Q(outline.type), this);
  type->setObjectName(QStringLiteral("lblType"));
  if (ds.IsExample()) {
    QPalette palette = type->palette();
    palette.setColor(QPalette::WindowText, ExampleColour());
    type->setPalette(palette);
  }
  layout->addWidget(type);

  if (outline.process.size() > 1) {
    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft);
    for (std::size_t i = 1; i < outline.process.size(); ++i) {
      auto* text = new QLabel(Q(outline.process[i].second), this);
      text->setWordWrap(true);
      text->setTextInteractionFlags(Qt::TextSelectableByMouse);
      form->addRow(Q(outline.process[i].first) + QStringLiteral(":"), text);
    }
    layout->addLayout(form);
  }

  auto* split = new QSplitter(Qt::Vertical, this);
  split->addWidget(TableBox(outline.parameters, "tblParameters", split));
  split->addWidget(TableBox(outline.blocks, "tblBlocks", split));
  split->setChildrenCollapsible(false);
  layout->addWidget(split, 1);

  auto* commands = new QHBoxLayout;
  const char* names[] = {"btnFilterVar", "btnFilterAttr"};
  for (const DataKind kind : {DataKind::Var, DataKind::Attr}) {
    const int i = kind == DataKind::Var ? 0 : 1;
    auto* button = new QPushButton(this);
    button->setObjectName(QLatin1String(names[i]));
    button->setCheckable(true);
    connect(button, &QPushButton::clicked, this, [this, kind] {
      EditFilter(kind);
      ShowFilterCommands();  // a click toggles the button; it shows the filter's state instead
    });
    m_filterButtons[i] = button;
    commands->addWidget(button);
  }
  commands->addStretch(1);
  layout->addLayout(commands);
  ShowFilterCommands();
}

void DatasetPage::ShowFilterCommands() {
  for (const DataKind kind : {DataKind::Var, DataKind::Attr}) {
    const FilterCommandState state = FilterCommand(m_ds, kind);
    QPushButton* button = FilterButton(kind);
    // "Фильтр SPC (&количественные данные)": the mnemonic on the kind's word.
    QString text = Q(state.text);
    text.insert(text.indexOf(QLatin1Char('(')) + 1, QLatin1Char('&'));
    button->setText(text);
    button->setChecked(state.pressed);
    button->setToolTip(Q(state.hint));
  }
}

bool DatasetPage::EditFilter(DataKind kind) {
  FilterWindow window(m_ds, kind, m_filterNames, m_filterValues, this);
  if (window.exec() != QDialog::Accepted) return false;
  ShowFilterCommands();
  Q_EMIT DerivedDataChanged();
  return true;
}

}  // namespace mv::ui
