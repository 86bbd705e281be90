#include "ui/quality_calculator_dialog.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace mv::ui {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A read-only result with its copy command beside it.
QWidget* ResultRow(QLineEdit* field, QPushButton* copy) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  field->setReadOnly(true);
  layout->addWidget(field, 1);
  layout->addWidget(copy);
  return row;
}

}  // namespace

QualityCalculatorDialog::QualityCalculatorDialog(QualityCalculator& calculator, QWidget* parent)
    : QDialog(parent), m_calc(calculator) {
  setWindowTitle(QStringLiteral("Калькулятор качества"));

  m_level = new QLineEdit(Q(m_calc.LevelText()));
  m_level->setObjectName("level");
  m_width = new QLineEdit(Q(m_calc.WidthText()));
  m_width->setObjectName("width");
  for (QLineEdit* input : {m_level, m_width}) input->setMaxLength(static_cast<int>(kQualityInputMax));
  auto* inputs = new QFormLayout;
  inputs->addRow(Q(std::string(kQualityLevelLabel) + ", PPM:"), m_level);
  inputs->addRow(Q(std::string(kToleranceWidthLabel) + ":"), m_width);
  connect(m_level, &QLineEdit::textEdited, this, [this](const QString& t) { m_calc.SetLevelText(t.toStdString()); });
  connect(m_width, &QLineEdit::textEdited, this, [this](const QString& t) { m_calc.SetWidthText(t.toStdString()); });

  m_command = new QPushButton;
  m_command->setObjectName("command");
  m_command->setDefault(true);
  connect(m_command, &QPushButton::clicked, this, [this] { m_calc.Calculated() ? ChangeConditions() : Calculate(); });

  m_index = new QLineEdit;
  m_index->setObjectName("index");
  m_sigma = new QLineEdit;
  m_sigma->setObjectName("sigma");
  m_copyIndex = new QPushButton(QStringLiteral("Копировать"));
  m_copyIndex->setObjectName("copyIndex");
  m_copySigma = new QPushButton(QStringLiteral("Копировать"));
  m_copySigma->setObjectName("copySigma");
  connect(m_copyIndex, &QPushButton::clicked, this, [this] { m_calc.CopyIndex(); });
  connect(m_copySigma, &QPushButton::clicked, this, [this] { m_calc.CopySigma(); });
  m_results = new QGroupBox(QStringLiteral("Результаты"));
  m_results->setObjectName("results");
  auto* results = new QFormLayout(m_results);
  results->addRow(QStringLiteral("Индекс Cp (Pp):"), ResultRow(m_index, m_copyIndex));
  results->addRow(QStringLiteral("Стандартное отклонение:"), ResultRow(m_sigma, m_copySigma));
  m_note = new QLabel(Q(kQualityCalculatorNote).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  m_note->setObjectName("note");
  m_note->setWordWrap(true);
  results->addRow(m_note);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
  buttons->button(QDialogButtonBox::Close)->setText(QStringLiteral("Закрыть"));
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(inputs);
  layout->addWidget(m_command, 0, Qt::AlignRight);
  layout->addWidget(m_results);
  layout->addStretch(1);
  layout->addWidget(buttons);

  // A new opening starts with the conditions open to editing; the texts are those of the run.
  m_calc.ChangeConditions();
  ShowState();
  FitToContents();
}

void QualityCalculatorDialog::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitToContents();
}

void QualityCalculatorDialog::FitToContents() {
  if (!m_note) return;  // a font change while the window is being built
  // Each field is wide enough for the most it can hold, whatever the font.
  const int field = fontMetrics().horizontalAdvance(QStringLiteral("0").repeated(kQualityInputMax + 3));
  for (QLineEdit* edit : {m_level, m_width, m_index, m_sigma}) edit->setMinimumWidth(field);
  // The note keeps its own lines: the window is never narrower than its longest line, so the
  // note's height is known from its lines and the window's minimum size holds all of it (the
  // wrapping is there for texts longer than these).
  int longest = 0;
  for (const QString& line : m_note->text().split(QLatin1Char('\n'))) {
    longest = std::max(longest, m_note->fontMetrics().horizontalAdvance(line));
  }
  m_note->setMinimumWidth(longest + m_note->fontMetrics().averageCharWidth());
  if (QLayout* all = layout()) all->invalidate();
  if (isVisible()) adjustSize();
}

void QualityCalculatorDialog::Open(QWidget* parent) {
  static QualityCalculator runState;  // kept for the run, not written to the configuration
  QualityCalculatorDialog dialog(runState, parent);
  dialog.exec();
}

void QualityCalculatorDialog::Calculate() {
  m_calc.SetLevelText(m_level->text().toStdString());
  m_calc.SetWidthText(m_width->text().toStdString());
  m_calc.Calculate();  // a refused input has shown its message
  ShowState();
  if (!m_calc.Calculated()) m_level->setFocus();
}

void QualityCalculatorDialog::ChangeConditions() {
  m_calc.ChangeConditions();
  ShowState();
  m_level->setFocus();
}

void QualityCalculatorDialog::ShowState() {
  const bool done = m_calc.Calculated();
  m_level->setReadOnly(done);
  m_width->setReadOnly(done);
  m_command->setText(done ? QStringLiteral("Изменить условия") : QStringLiteral("Расчет"));
  m_results->setVisible(done);
  m_index->setText(done ? Q(m_calc.Result().indexText) : QString());
  m_sigma->setText(done ? Q(m_calc.Result().sigmaText) : QString());
  m_copySigma->setEnabled(m_calc.CanCopySigma());
  // The results come and go: the window grows to show them whole.
  if (isVisible()) {
    layout()->activate();
    resize(size().expandedTo(minimumSizeHint()));
  }
}

}  // namespace mv::ui
