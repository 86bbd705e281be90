#include "ui/block_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QVBoxLayout>

#include "ui/editor_fields.h"

namespace mv::ui {
namespace {

QCheckBox* Switch(const char* name, const QString& text, bool on) {
  auto* box = new QCheckBox(text);
  box->setObjectName(QLatin1String(name));
  box->setChecked(on);
  return box;
}

}  // namespace

BlockEditorDialog::BlockEditorDialog(TDatasetSPC& ds, DataKind kind, int position, ConfigFile* config,
                                     QWidget* parent)
    : QDialog(parent), m_logic(ds, kind, position, config) {
  setObjectName(QStringLiteral("dlgBlockEditor"));
  setWindowTitle(ToQ(m_logic.Title()));
  const BlockForm& f = m_logic.form;
  m_name = HistoryField("cbName", config, HistoryList::BlockName, f.name, TSPCBlock::kNameMax);
  m_note = HistoryField("cbNote", config, HistoryList::BlockNote, f.note, TSPCBlock::kNoteMax);
  m_frequency = HistoryField("cbFrequency", config, HistoryList::BlockFrequency, f.frequency, TSPCBlock::kFrequencyMax);
  m_mode = new QComboBox;
  m_mode->setObjectName(QStringLiteral("cbMode"));
  for (SamplingMode mode : {SamplingMode::Samples, SamplingMode::Individual}) m_mode->addItem(ToQ(SamplingModeText(mode)));
  m_mode->setCurrentIndex(f.mode == SamplingMode::Individual ? 1 : 0);
  m_mode->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  m_size = TextField("edtSampleSize", f.sampleSize, 10);
  m_dates = Switch("chkDates", QStringLiteral("Выборки имеют &дату"), f.dates);
  m_times = Switch("chkTimes", QStringLiteral("Выборки имеют &время"), f.times);
  m_protect = Switch("chkProtect", QStringLiteral("Доступ к блоку только по п&аролю набора данных"), f.protect);
  m_protectView = Switch("chkProtectView", QStringLiteral("Пароль и для п&росмотра блока"), f.protectView);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Название:"), m_name);
  form->addRow(QStringLiteral("&Примечание:"), m_note);
  form->addRow(QStringLiteral("&Частота отбора выборок:"), m_frequency);
  form->addRow(QStringLiteral("&Способ отбора:"), m_mode);
  form->addRow(QStringLiteral("&Объем выборки (0 - любой):"), m_size);
  form->addRow(m_dates);
  form->addRow(m_times);
  form->addRow(m_protect);
  form->addRow(m_protectView);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(EditorButtons(this));
  ChainTabOrder({m_name, m_note, m_frequency, m_mode, m_size, m_dates, m_times, m_protect, m_protectView});
  connect(m_dates, &QCheckBox::toggled, this, [this] { Enable(); });
  connect(m_protect, &QCheckBox::toggled, this, [this] { Enable(); });
  Enable();
  resize(sizeHint().expandedTo(QSize(520, 0)));
  m_name->setFocus();
}

void BlockEditorDialog::Enable() {
  // A time only together with a date; viewing protected only with the protection.
  m_times->setEnabled(m_dates->isChecked());
  m_protectView->setEnabled(m_protect->isChecked());
}

QWidget* BlockEditorDialog::FieldWidget(EditorField field) const {
  switch (field) {
    case EditorField::Note:
      return m_note;
    case EditorField::Frequency:
      return m_frequency;
    case EditorField::SampleSize:
      return m_size;
    default:
      return m_name;
  }
}

void BlockEditorDialog::accept() {
  BlockForm& f = m_logic.form;
  f.name = FieldText(m_name);
  f.note = FieldText(m_note);
  f.frequency = FieldText(m_frequency);
  f.mode = m_mode->currentIndex() == 1 ? SamplingMode::Individual : SamplingMode::Samples;
  f.sampleSize = FieldText(m_size);
  f.dates = m_dates->isChecked();
  f.times = f.dates && m_times->isChecked();
  f.protect = m_protect->isChecked();
  f.protectView = f.protect && m_protectView->isChecked();
  const EditorOutcome outcome = m_logic.Accept();
  if (!outcome.Ok()) {
    FocusField(FieldWidget(outcome.field));
    return;
  }
  QDialog::accept();
}

}  // namespace mv::ui
