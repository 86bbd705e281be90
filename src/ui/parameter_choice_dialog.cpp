#include "ui/parameter_choice_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "core/messages.h"
#include "ui/ui_text.h"

namespace mv::ui {

ParameterChoiceDialog::ParameterChoiceDialog(const TDatasetSPC& dataset, ChartKind kind,
                                             std::optional<ChartKind> lower, const std::vector<int>& checked,
                                             QWidget* parent, const std::string& promptText)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Выбор параметров"));
  auto* prompt = new QLabel(
      LinesToQ(promptText.empty() ? ParameterChoicePrompt(ChartPairText(kind, lower)) : promptText));
  m_list = new QListWidget;
  m_list->setObjectName("parameters");
  prompt->setBuddy(m_list);
  for (const ParameterChoiceItem& item : ParameterChoiceItems(dataset, kind)) {
    auto* row = new QListWidgetItem(ToQ(item.text));
    row->setData(Qt::UserRole, item.position);
    row->setFlags(row->flags() | Qt::ItemIsUserCheckable);
    const bool on = std::find(checked.begin(), checked.end(), item.position) != checked.end();
    row->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    m_list->addItem(row);
  }
  if (m_list->count() > 0) m_list->setCurrentRow(0);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(prompt);
  layout->addWidget(m_list, 1);
  layout->addWidget(buttons);
}

std::vector<int> ParameterChoiceDialog::Chosen() const {
  std::vector<int> chosen;
  for (int i = 0; i < m_list->count() && chosen.size() < TChartTask::kMaxParameters; ++i) {
    if (m_list->item(i)->checkState() == Qt::Checked) chosen.push_back(m_list->item(i)->data(Qt::UserRole).toInt());
  }
  return chosen;
}

void ParameterChoiceDialog::accept() {
  if (Chosen().empty()) {
    ShowError(kNoParameterChosen);
    return;
  }
  QDialog::accept();
}

std::optional<std::vector<int>> ParameterChoiceDialog::Choose(const TDatasetSPC& dataset, ChartKind kind,
                                                              std::optional<ChartKind> lower,
                                                              const std::vector<int>& checked, QWidget* parent,
                                                              const std::string& prompt) {
  if (ParameterChoiceItems(dataset, kind).empty()) {
    ShowError(NoFittingParameterText(ChartPairText(kind, lower)));
    return std::nullopt;
  }
  ParameterChoiceDialog dialog(dataset, kind, lower, checked, parent, prompt);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  return dialog.Chosen();
}

}  // namespace mv::ui
