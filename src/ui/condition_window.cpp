#include "ui/condition_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/history_lists.h"
#include "core/messages.h"
#include "ui/ui_text.h"

namespace mv::ui {

ConditionWindow::ConditionWindow(ConditionWindowLogic& logic, std::vector<std::string>* history, QWidget* parent)
    : QDialog(parent), m_logic(logic), m_history(history) {
  setObjectName(QStringLiteral("frmFilterCondition"));
  setWindowTitle(ToQ(logic.Title()));
  m_property = new QComboBox;
  m_property->setObjectName(QStringLiteral("cbProperty"));
  for (const auto& p : logic.Properties()) m_property->addItem(ToQ(p.text));
  m_property->setCurrentIndex(logic.PropertyIndex());
  m_propertyNote = new QLabel;
  m_propertyNote->setObjectName(QStringLiteral("lblPropertyNote"));
  m_condition = new QComboBox;
  m_condition->setObjectName(QStringLiteral("cbCondition"));
  for (const std::string& name : ConditionWindowLogic::ConditionNames()) m_condition->addItem(ToQ(name));
  m_condition->setCurrentIndex(logic.Condition() - 1);
  m_value = new QComboBox;
  m_value->setObjectName(QStringLiteral("cbValue"));
  m_value->setEditable(true);
  m_value->setInsertPolicy(QComboBox::NoInsert);
  m_value->lineEdit()->setMaxLength(static_cast<int>(SampleFilterCondition::kTextMax));
  if (history) {
    for (const std::string& v : *history) m_value->addItem(ToQ(v));
  }
  m_value->setEditText(ToQ(logic.Text()));
  m_intervalNote = new QLabel(ToQ(ConditionWindowLogic::IntervalNote()));
  m_intervalNote->setObjectName(QStringLiteral("lblIntervalNote"));
  m_case = new QCheckBox(QStringLiteral("С учетом &регистра символов"));
  m_case->setObjectName(QStringLiteral("chkCase"));
  m_case->setChecked(logic.MatchCase());
  m_active = new QCheckBox(QStringLiteral("&Активное условие"));
  m_active->setObjectName(QStringLiteral("chkActive"));
  m_active->setChecked(logic.Active());

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Свойство:"), m_property);
  form->addRow(QString(), m_propertyNote);
  form->addRow(QStringLiteral("&Вид условия:"), m_condition);
  form->addRow(QStringLiteral("&Значение:"), m_value);
  form->addRow(QString(), m_intervalNote);
  form->addRow(QString(), m_case);
  form->addRow(QString(), m_active);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("О&тмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &ConditionWindow::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(buttons);
  setTabOrder(m_property, m_condition);
  setTabOrder(m_condition, m_value);
  setTabOrder(m_value, m_case);
  setTabOrder(m_case, m_active);

  connect(m_property, &QComboBox::currentIndexChanged, this, [this](int index) {
    m_logic.SetPropertyIndex(index);
    ShowState();
  });
  connect(m_condition, &QComboBox::currentIndexChanged, this, [this](int index) {
    m_logic.SetCondition(static_cast<std::uint8_t>(index + 1));
    ShowState();
  });
  ShowState();
  setMinimumWidth(420);
}

void ConditionWindow::ShowState() {
  const auto& p = m_logic.Properties()[static_cast<std::size_t>(m_logic.PropertyIndex())];
  m_propertyNote->setText(ToQ(p.note));
  m_propertyNote->setVisible(!p.note.empty());
  m_case->setVisible(m_logic.CaseVisible());
  m_intervalNote->setVisible(m_logic.IntervalNoteVisible());
}

void ConditionWindow::accept() {
  m_logic.SetText(FromQ(m_value->currentText()));
  m_logic.SetMatchCase(m_case->isChecked());
  m_logic.SetActive(m_active->isChecked());
  const std::string message = m_logic.Accept();
  if (!message.empty()) {
    ShowWarning(message);
    m_value->setFocus();
    return;
  }
  if (m_history) RememberValue(*m_history, m_logic.Text());
  QDialog::accept();
}

}  // namespace mv::ui
