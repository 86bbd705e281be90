#include "ui/dataset_page.h"

#include <QAction>
#include <algorithm>
#include <QFont>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/chart_window_logic.h"
#include "app/dataset_outline.h"
#include "app/filter_window_logic.h"
#include "core/messages.h"
#include "ui/chart_window.h"
#include "ui/filter_window.h"
#include "ui/histogram_window.h"
#include "ui/parameter_choice_dialog.h"
#include "ui/sample_range_dialog.h"

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

DatasetPage::DatasetPage(const TDatasetSPC& ds, QWidget* parent) : QWidget(parent) { Build(ds); }

DatasetPage::DatasetPage(TDatasetSPC& ds, QWidget* parent, std::vector<std::string>* filterNames,
                         std::vector<std::string>* filterValues)
    : QWidget(parent), m_dataset(&ds), m_filterNames(filterNames), m_filterValues(filterValues) {
  Build(ds);
  AddAnalysisCommands();
  AddFilterCommands();
}

void DatasetPage::Build(const TDatasetSPC& ds) {
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
}

}  // namespace mv::ui

namespace mv::ui {

// --- analysis commands ---

void DatasetPage::AddAnalysisCommands() {
  auto* row = new QHBoxLayout;
  auto* chart = new QToolButton(this);
  chart->setObjectName(QStringLiteral("btnChart"));
  chart->setText(QStringLiteral("&Контрольная карта"));
  chart->setPopupMode(QToolButton::InstantPopup);
  auto* menu = new QMenu(chart);
  menu->setObjectName(QStringLiteral("mnuChart"));
  // The kinds follow the data kind of the selected rows when the menu opens.
  connect(menu, &QMenu::aboutToShow, this, [this, menu] {
    menu->clear();
    for (const ChartLaunchChoice& c : ChartLaunchChoices(SelectedKind())) {
      QAction* action = menu->addAction(QString::fromStdString(c.text));
      connect(action, &QAction::triggered, this, [this, c] { OpenChart(c.upper, c.lower, c.blockDefault); });
    }
  });
  chart->setMenu(menu);
  auto* histogram = new QToolButton(this);
  histogram->setObjectName(QStringLiteral("btnHistogram"));
  histogram->setText(QStringLiteral("&Гистограмма"));
  connect(histogram, &QToolButton::clicked, this, &DatasetPage::OpenHistogram);
  row->addWidget(chart);
  row->addWidget(histogram);
  row->addStretch(1);
  static_cast<QVBoxLayout*>(layout())->insertLayout(layout()->count() - 1, row);
}

DataKind DatasetPage::SelectedKind() const {
  const auto* table = findChild<QTableWidget*>(QStringLiteral("tblBlocks"));
  if (table && m_dataset) {
    for (const QModelIndex& index : table->selectionModel()->selectedRows()) {
      if (const TSPCBlock* block = m_dataset->Block(index.row() + 1)) return block->kind;
    }
  }
  return DataKind::Var;
}

std::vector<int> DatasetPage::SelectedBlocks(DataKind kind) const {
  std::vector<int> blocks;
  const auto* table = findChild<QTableWidget*>(QStringLiteral("tblBlocks"));
  if (!table || !m_dataset) return blocks;
  QModelIndexList rows = table->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(), [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  for (const QModelIndex& index : rows) {
    const TSPCBlock* block = m_dataset->Block(index.row() + 1);
    if (block && block->kind == kind) blocks.push_back(index.row() + 1);
  }
  return blocks;
}

namespace {

// Nothing when the dataset has no block of the kind (the error is shown).
bool HasBlockOf(const TDatasetSPC& ds, DataKind kind) {
  for (int b = 1; b <= ds.BlockCount(); ++b) {
    if (ds.Block(b)->kind == kind) return true;
  }
  ShowError(std::string("Функция недоступна, т.к. нет ни одного ") +
            (kind == DataKind::Attr ? "альтернатив" : "количествен") + "ного блока");
  return false;
}

// The selected blocks as they are when several are selected, else the choice of the dialog.
std::optional<SampleSelection> ChooseSelection(const TDatasetSPC& ds, DataKind kind, const std::vector<int>& blocks,
                                               QWidget* parent) {
  if (blocks.size() > 1) return SampleSelection{&ds, blocks, true, 1, 1};
  return SampleRangeDialog::Choose(ds, kind, blocks.empty() ? 0 : blocks.front(), parent);
}

}  // namespace

void DatasetPage::OpenChart(ChartKind upper, std::optional<ChartKind> lower, bool blockDefault) {
  if (!m_dataset) return;
  const DataKind kind = IsAttributeChart(upper) ? DataKind::Attr : SelectedKind();
  if (!HasBlockOf(*m_dataset, kind)) return;
  std::vector<int> blocks = SelectedBlocks(kind);
  if (blocks.size() > ChartWindowLogic::kMaxBlocks) blocks.resize(ChartWindowLogic::kMaxBlocks);
  const auto selection = ChooseSelection(*m_dataset, kind, blocks, this);
  if (!selection || selection->blocks.empty()) return;
  if (blockDefault) {
    const ChartLaunchChoice choice = DefaultChartOfBlock(*m_dataset->Block(selection->blocks.front()));
    upper = choice.upper;
    lower = choice.lower;
  }
  const auto parameters = ParameterChoiceDialog::Choose(*m_dataset, upper, lower, {}, this);
  if (!parameters) return;
  ChartWindow::Open(*m_dataset, *selection, upper, lower, *parameters, window());
}

void DatasetPage::OpenHistogram() {
  if (!m_dataset || !HasBlockOf(*m_dataset, DataKind::Var)) return;
  const auto selection = ChooseSelection(*m_dataset, DataKind::Var, SelectedBlocks(DataKind::Var), this);
  if (!selection) return;
  const auto parameters = ParameterChoiceDialog::Choose(*m_dataset, ChartKind::Mean, std::nullopt, {}, this,
                                                         "Отметьте параметры, по которым будут построены гистограммы");
  if (!parameters) return;
  HistogramWindow::Open(*m_dataset, *selection, *parameters, window());
}

// --- sample filters ---

void DatasetPage::AddFilterCommands() {
  auto* row = new QHBoxLayout;
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
    row->addWidget(button);
  }
  row->addStretch(1);
  static_cast<QVBoxLayout*>(layout())->addLayout(row);
  ShowFilterCommands();
}

void DatasetPage::ShowFilterCommands() {
  if (!m_dataset) return;
  for (const DataKind kind : {DataKind::Var, DataKind::Attr}) {
    const FilterCommandState state = FilterCommand(*m_dataset, kind);
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
  if (!m_dataset) return false;
  FilterWindow filterWindow(*m_dataset, kind, m_filterNames, m_filterValues, this);
  if (filterWindow.exec() != QDialog::Accepted) return false;
  ShowFilterCommands();
  // The open charts and histograms of this dataset count other points now.
  for (ChartWindow* chart : window()->findChildren<ChartWindow*>()) {
    if (&chart->Logic().Dataset() == m_dataset && chart->Logic().Rebuild()) chart->Refresh();
  }
  for (HistogramWindow* histogram : window()->findChildren<HistogramWindow*>()) {
    if (&histogram->Logic().Dataset() == m_dataset) {
      histogram->Logic().Recompute();
      histogram->Refresh();
    }
  }
  Q_EMIT DerivedDataChanged();
  return true;
}

}  // namespace mv::ui
