#include "ui/criteria_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/ui_text.h"

namespace mv::ui {

CriteriaDialog::CriteriaDialog(ChartKind kind, const TCriteriaChoice& choice, QWidget* parent)
    : QDialog(parent), m_editor(kind, choice) {
  setWindowTitle(ToQ(kCriteriaDialogTitle));
  m_sets = new QComboBox;
  m_sets->setObjectName("sets");
  for (int set = 1; set <= kCriteriaSetCount; ++set) m_sets->addItem(ToQ(CriteriaSetLongName(set)));
  m_sets->setCurrentIndex(m_editor.Set() - 1);
  auto* setLabel = new QLabel(QStringLiteral("&Набор критериев:"));
  setLabel->setBuddy(m_sets);

  m_gridCaption = new QLabel(ToQ(kCriteriaGridCaption));
  m_grid = new QTableWidget(static_cast<int>(m_editor.Rows().size()), 5);
  m_grid->setObjectName("grid");
  QStringList headers;
  for (const std::string_view h : kCriteriaColumns) headers << ToQ(h);
  m_grid->setHorizontalHeaderLabels(headers);
  m_grid->verticalHeader()->hide();
  m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
  m_grid->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
  for (std::size_t r = 0; r < m_editor.Rows().size(); ++r) {
    const int c = m_editor.Rows()[r];
    const int row = static_cast<int>(r);
    m_grid->setItem(row, 0, new QTableWidgetItem);
    m_grid->setItem(row, 1, new QTableWidgetItem(ToQ(CriteriaEditor::RowName(c))));
    for (int set = 2; set <= 4; ++set) {
      auto* mark = new QTableWidgetItem(CriteriaEditor::InSet(c, set) ? QStringLiteral("✓") : QString());
      mark->setTextAlignment(Qt::AlignCenter);
      m_grid->setItem(row, set, mark);
    }
  }
  connect(m_grid, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
    if (m_editor.Toggle(m_editor.Rows()[static_cast<std::size_t>(row)])) ShowSet();
  });
  connect(m_grid, &QTableWidget::currentCellChanged, this, [this] { ShowDefinition(); });
  m_definition = new QLabel;
  m_definition->setObjectName("definition");
  m_definition->setWordWrap(true);
  connect(m_sets, &QComboBox::currentIndexChanged, this, [this](int index) {
    m_editor.ChooseSet(index + 1);
    ShowSet();
  });

  auto* zones = new QGroupBox(ToQ(kZonesGroupTitle));
  auto* zoneLayout = new QVBoxLayout(zones);
  auto* series = new QVBoxLayout;
  for (const DisplayFlagText& f : kDisplayFlagTexts) {
    auto* box = new QCheckBox(ToQ(f.text));
    box->setObjectName(QStringLiteral("flag%1").arg(f.flag));
    box->setChecked((m_editor.Display() & f.flag) != 0);
    const std::uint8_t flag = f.flag;
    connect(box, &QCheckBox::toggled, this, [this, flag](bool on) { m_editor.SetDisplayFlag(flag, on); });
    const bool zoneFlag = flag == criteria_display::kZones || flag == criteria_display::kZoneAnalysis;
    (zoneFlag ? zoneLayout : series)->addWidget(box);
    m_flags.push_back(box);
  }
  zones->setVisible(m_editor.ZonesShown());

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(setLabel);
  layout->addWidget(m_sets);
  layout->addWidget(m_gridCaption);
  layout->addWidget(m_grid, 1);
  layout->addWidget(m_definition);
  layout->addLayout(series);
  layout->addWidget(zones);
  layout->addWidget(buttons);
  resize(720, 520);
  ShowSet();
  m_grid->setCurrentCell(0, 1);
}

void CriteriaDialog::ShowSet() {
  const bool enabled = m_editor.GridEnabled();
  m_grid->setEnabled(enabled);
  m_gridCaption->setEnabled(enabled);
  for (std::size_t r = 0; r < m_editor.Rows().size(); ++r) {
    const bool active = m_editor.Active(m_editor.Rows()[r]);
    m_grid->item(static_cast<int>(r), 0)->setText(active ? QStringLiteral("✓") : QString());
  }
}

void CriteriaDialog::ShowDefinition() {
  const int row = m_grid->currentRow();
  if (row < 0 || row >= static_cast<int>(m_editor.Rows().size())) return m_definition->clear();
  m_definition->setText(ToQ(CriteriaEditor::Definition(m_editor.Rows()[static_cast<std::size_t>(row)])));
}

bool CriteriaDialog::Edit(ChartKind kind, TCriteriaChoice& choice, QWidget* parent) {
  CriteriaDialog dialog(kind, choice, parent);
  if (dialog.exec() != QDialog::Accepted) return false;
  choice = dialog.Result();
  return true;
}

}  // namespace mv::ui
