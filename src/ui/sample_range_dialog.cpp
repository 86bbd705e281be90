#include "ui/sample_range_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/ui_text.h"

namespace mv::ui {

SampleRangeDialog::SampleRangeDialog(const TDatasetSPC& dataset, DataKind kind, int block, QWidget* parent)
    : QDialog(parent), m_choice(dataset, kind) {
  setWindowTitle(QStringLiteral("Выбор данных"));
  m_blocks = new QComboBox;
  m_blocks->setObjectName("blocks");
  for (const std::string& text : m_choice.BlockTexts()) m_blocks->addItem(ToQ(text));
  m_blocks->setEnabled(m_choice.HasBlocks());
  if (block > 0) {
    int row = 0;
    for (int b = 1; b <= dataset.BlockCount() && b <= block; ++b) row += dataset.Block(b)->kind == kind ? 1 : 0;
    if (row >= 1 && dataset.Block(block) && dataset.Block(block)->kind == kind) m_blocks->setCurrentIndex(row);
  }
  m_all = new QRadioButton;
  m_all->setObjectName("all");
  m_range = new QRadioButton(QStringLiteral("&с"));
  m_range->setObjectName("range");
  m_from = new QLineEdit;
  m_from->setObjectName("from");
  m_to = new QLineEdit;
  m_to->setObjectName("to");
  for (QLineEdit* e : {m_from, m_to}) {
    e->setMaxLength(5);
    e->setMaximumWidth(60);
  }
  m_all->setChecked(true);
  auto* rangeRow = new QHBoxLayout;
  rangeRow->addWidget(m_range);
  rangeRow->addWidget(m_from);
  rangeRow->addWidget(new QLabel(QStringLiteral("по")));
  rangeRow->addWidget(m_to);
  rangeRow->addStretch(1);
  connect(m_blocks, &QComboBox::currentIndexChanged, this, [this] { ShowRange(); });
  connect(m_range, &QRadioButton::toggled, this, [this] { ShowRange(); });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  buttons->button(QDialogButtonBox::Ok)->setEnabled(m_choice.HasBlocks());
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Блоки:"), m_blocks);
  form->addRow(QStringLiteral("Выборки:"), m_all);
  form->addRow(QString(), rangeRow);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  ShowRange();
}

void SampleRangeDialog::ShowRange() {
  m_choice.ChooseRow(m_blocks->currentIndex());
  const bool offered = m_choice.RangeOffered();
  m_all->setText(offered ? ToQ(m_choice.AllSamplesChoiceText()) : QStringLiteral("все"));
  if (!offered) m_all->setChecked(true);
  m_range->setEnabled(offered);
  m_from->setEnabled(offered && m_range->isChecked());
  m_to->setEnabled(offered && m_range->isChecked());
}

void SampleRangeDialog::accept() {
  m_result = m_choice.Result(!m_range->isChecked(), FromQ(m_from->text()), FromQ(m_to->text()));
  if (!m_result) {  // the wrong numbers were shown; the dialog stays open on them
    m_from->setFocus();
    return;
  }
  QDialog::accept();
}

std::optional<SampleSelection> SampleRangeDialog::Choose(const TDatasetSPC& dataset, DataKind kind, int block,
                                                         QWidget* parent) {
  SampleRangeDialog dialog(dataset, kind, block, parent);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Result();
}

}  // namespace mv::ui
