#include "ui/parameter_editor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/numbers.h"
#include "ui/editor_fields.h"
#include "ui/scale_class_editors.h"

namespace mv::ui {
namespace {

// A typed number keeps at most 30 characters.
constexpr std::size_t kNumberChars = 30;

QLineEdit* NumberField(const char* name, const std::string& text) { return TextField(name, text, kNumberChars); }

QCheckBox* Switch(const char* name, const QString& text, bool on) {
  auto* box = new QCheckBox(text);
  box->setObjectName(QLatin1String(name));
  box->setChecked(on);
  return box;
}

QWidget* Row(QWidget* first, QWidget* second, QWidget* third = nullptr, QWidget* fourth = nullptr) {
  auto* row = new QWidget;
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(first, 1);
  for (QWidget* w : {second, third, fourth}) {
    if (w) layout->addWidget(w);
  }
  return row;
}

// A small button with the dialog's delete icon; reached by Tab and pressed with Space.
QToolButton* DeleteButton(const char* name, const QString& toolTip) {
  auto* button = new QToolButton;
  button->setObjectName(QLatin1String(name));
  button->setIcon(button->style()->standardIcon(QStyle::SP_DialogDiscardButton));
  button->setToolTip(toolTip);
  button->setAccessibleName(toolTip);
  button->setFocusPolicy(Qt::StrongFocus);
  return button;
}

QWidget* Find(const std::map<EditorField, QWidget*>& fields, EditorField field) {
  const auto it = fields.find(field);
  return it == fields.end() ? nullptr : it->second;
}

}  // namespace

// --- quantitative parameter ---

VarParameterDialog::VarParameterDialog(TDatasetSPC& ds, int position, ConfigFile* config, QWidget* parent)
    : QDialog(parent), m_logic(ds, DataKind::Var, position, config) {
  setObjectName(QStringLiteral("dlgVarParameter"));
  setWindowTitle(ToQ(m_logic.Title()));
  const ParameterForm& f = m_logic.form;

  m_name = HistoryField("cbName", config, HistoryList::ParameterName, f.name, TSPCParameter::kNameMax);
  m_shortName =
      HistoryField("cbShortName", config, HistoryList::ParameterShortName, f.shortName, TSPCParameter::kShortNameMax);
  m_unit = HistoryField("cbUnit", config, HistoryList::ParameterUnit, f.unit, TSPCParameter::kUnitMax);
  m_decimals = new QSpinBox;
  m_decimals->setObjectName(QStringLiteral("spnDecimals"));
  m_decimals->setRange(0, kMaxDecimals);
  m_decimals->setValue(f.decimals);
  m_scale = new QComboBox;
  m_scale->setObjectName(QStringLiteral("cbScale"));
  m_newScale = SideButton("btnNewScale", QStringLiteral("Новый мас&штаб..."));
  m_editScale = SideButton("btnEditScale", QStringLiteral("Изменить масш&таб..."));
  m_deleteScale = DeleteButton("btnDeleteScale", QStringLiteral("Удалить масштаб"));
  m_class = new QComboBox;
  m_class->setObjectName(QStringLiteral("cbClass"));
  m_newClass = SideButton("btnNewClass", QStringLiteral("Новый кла&сс..."));
  m_editClass = SideButton("btnEditClass", QStringLiteral("И&зменить класс..."));
  m_deleteClass = DeleteButton("btnDeleteClass", QStringLiteral("Удалить класс"));
  m_note = HistoryField("cbNote", config, HistoryList::ParameterNote, f.note, TSPCParameter::kNoteMax);
  m_tag = Switch("chkTag", QStringLiteral("Параметр &является признаком"), f.tag);

  m_default = NumberField("edtDefault", f.defaultValue);
  m_lsl = NumberField("edtLsl", f.lsl);
  m_usl = NumberField("edtUsl", f.usl);
  m_nominal = NumberField("edtNominal", f.nominal);
  m_middle = SideButton("btnMiddle", QStringLiteral("= &центр допуска"));
  m_lrl = NumberField("edtLrl", f.lrl);
  m_url = NumberField("edtUrl", f.url);
  m_relative = Switch("chkRelative", QStringLiteral("Ввод относительн&ых значений"), f.relative);
  m_base = NumberField("edtBase", f.base);
  m_multiplier = new QComboBox;
  m_multiplier->setObjectName(QStringLiteral("cbMultiplier"));
  for (std::uint8_t code = 0; code <= kMaxMultiplierCode; ++code) m_multiplier->addItem(ToQ(MultiplierText(code)));
  m_multiplier->setCurrentIndex(f.multiplierCode);
  m_negate = Switch("chkNegate", QStringLiteral("Изменят&ь знак ( + на - )"), f.negate);
  m_max = NumberField("edtMaxPossible", f.maxPossible);
  m_min = NumberField("edtMinPossible", f.minPossible);
  m_noSkip = Switch("chkNoSkip", QStringLiteral("Запре&щено пропускать значения при вводе"), f.noSkip);
  m_explain = Switch("chkExplain", QStringLiteral("Требуется пояснение при вы&ходе за допуск"), f.explain);

  auto* general = new QGroupBox(QStringLiteral("Параметр"));
  auto* generalForm = new QFormLayout(general);
  generalForm->addRow(QStringLiteral("&Название:"), m_name);
  generalForm->addRow(QStringLiteral("&Краткое название:"), m_shortName);
  generalForm->addRow(QStringLiteral("&Единица измерения:"), m_unit);
  generalForm->addRow(QStringLiteral("&Десятичных знаков:"), m_decimals);
  auto* scaleLabel = new QLabel(QStringLiteral("&Масштаб:"));
  scaleLabel->setBuddy(m_scale);
  generalForm->addRow(scaleLabel, Row(m_scale, m_newScale, m_editScale, m_deleteScale));
  auto* classLabel = new QLabel(QStringLiteral("К&ласс:"));
  classLabel->setBuddy(m_class);
  generalForm->addRow(classLabel, Row(m_class, m_newClass, m_editClass, m_deleteClass));
  generalForm->addRow(QStringLiteral("&Примечание:"), m_note);
  // The value a new point starts with.
  generalForm->addRow(QStringLiteral("На&чальное значение:"), m_default);
  generalForm->addRow(m_tag);
  generalForm->addRow(m_noSkip);
  generalForm->addRow(m_explain);

  m_toleranceBox = new QGroupBox(QStringLiteral("Допуск и регулирование"));
  auto* toleranceForm = new QFormLayout(m_toleranceBox);
  toleranceForm->addRow(QStringLiteral("Нижняя граница доп&уска (LSL):"), m_lsl);
  toleranceForm->addRow(QStringLiteral("&Верхняя граница допуска (USL):"), m_usl);
  auto* nominalLabel = new QLabel(QStringLiteral("Н&оминал:"));
  nominalLabel->setBuddy(m_nominal);
  toleranceForm->addRow(nominalLabel, Row(m_nominal, m_middle));
  toleranceForm->addRow(QStringLiteral("Нижняя &граница регулирования (LRL):"), m_lrl);
  toleranceForm->addRow(QStringLiteral("Верхняя граница &регулирования (URL):"), m_url);

  m_relativeBox = new QGroupBox(QStringLiteral("Относительный ввод"));
  auto* relativeForm = new QFormLayout(m_relativeBox);
  relativeForm->addRow(m_relative);
  relativeForm->addRow(QStringLiteral("&Базовое значение:"), m_base);
  relativeForm->addRow(QStringLiteral("Мно&житель:"), m_multiplier);
  relativeForm->addRow(m_negate);
  m_relativeText = new QLabel;
  m_relativeText->setObjectName(QStringLiteral("lblRelative"));
  relativeForm->addRow(m_relativeText);

  auto* limits = new QGroupBox(QStringLiteral("Возможные значения"));
  auto* limitsForm = new QFormLayout(limits);
  limitsForm->addRow(QStringLiteral("М&аксимально возможное значение:"), m_max);
  limitsForm->addRow(QStringLiteral("М&инимально возможное значение:"), m_min);

  auto* columns = new QGridLayout;
  columns->addWidget(general, 0, 0, 3, 1);
  columns->addWidget(m_toleranceBox, 0, 1);
  columns->addWidget(m_relativeBox, 1, 1);
  columns->addWidget(limits, 2, 1);
  columns->setRowStretch(3, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(columns);
  layout->addWidget(EditorButtons(this));

  m_fields = {
      {EditorField::Name, m_name},       {EditorField::ShortName, m_shortName}, {EditorField::Unit, m_unit},
      {EditorField::Decimals, m_decimals}, {EditorField::Scale, m_scale},      {EditorField::Class, m_class},
      {EditorField::Note, m_note},       {EditorField::DefaultValue, m_default}, {EditorField::Lsl, m_lsl},
      {EditorField::Usl, m_usl},         {EditorField::Nominal, m_nominal},   {EditorField::Lrl, m_lrl},
      {EditorField::Url, m_url},         {EditorField::Base, m_base},         {EditorField::MaxPossible, m_max},
      {EditorField::MinPossible, m_min},
  };
  // Tab follows kVarParameterFieldOrder, with the buttons and switches where they stand.
  ChainTabOrder({m_name, m_shortName, m_unit, m_decimals, m_scale, m_newScale, m_editScale, m_deleteScale, m_class,
                 m_newClass, m_editClass, m_deleteClass, m_note, m_default, m_tag, m_noSkip, m_explain, m_lsl, m_usl, m_nominal, m_middle,
                 m_lrl, m_url, m_relative, m_base, m_multiplier, m_negate, m_max, m_min});

  FillScales(f.scaleId);
  FillClasses(f.classId);
  connect(m_tag, &QCheckBox::toggled, this, [this] { Enable(); });
  connect(m_relative, &QCheckBox::toggled, this, [this] { Enable(); });
  connect(m_scale, &QComboBox::currentIndexChanged, this, [this] { Enable(); });
  connect(m_class, &QComboBox::currentIndexChanged, this, [this] { Enable(); });
  connect(m_middle, &QPushButton::clicked, this, &VarParameterDialog::SetNominalToMiddle);
  connect(m_newScale, &QPushButton::clicked, this, [this] { EditScale(true); });
  connect(m_editScale, &QPushButton::clicked, this, [this] { EditScale(false); });
  connect(m_newClass, &QPushButton::clicked, this, [this] { EditClass(true); });
  connect(m_editClass, &QPushButton::clicked, this, [this] { EditClass(false); });
  connect(m_deleteScale, &QToolButton::clicked, this, &VarParameterDialog::DeleteScale);
  connect(m_deleteClass, &QToolButton::clicked, this, &VarParameterDialog::DeleteClass);
  connect(m_negate, &QCheckBox::toggled, this, [this] { Enable(); });
  connect(m_multiplier, &QComboBox::currentIndexChanged, this, [this] { Enable(); });
  connect(m_base, &QLineEdit::textChanged, this, [this] { Enable(); });
  Enable();
  for (QComboBox* list : {m_scale, m_class}) list->setMinimumWidth(170);
  m_nominal->setMinimumWidth(110);
  resize(sizeHint());
  m_name->setFocus();
}

QWidget* VarParameterDialog::FieldWidget(EditorField field) const { return Find(m_fields, field); }

void VarParameterDialog::FillScales(std::int32_t chosenId) {
  const ScaleList& scales = m_logic.scales;
  m_scale->blockSignals(true);
  m_scale->clear();
  m_scale->addItem(ToQ(scales.ChoiceText(0)), 0);
  for (int i = 1; i <= scales.Count(); ++i) m_scale->addItem(ToQ(scales.ChoiceText(i)), scales.Get(i)->id);
  m_scale->setCurrentIndex(scales.IndexOfID(chosenId));
  m_scale->blockSignals(false);
  Enable();
}

void VarParameterDialog::FillClasses(std::int16_t chosenId) {
  const ParamClassList& classes = m_logic.classes;
  m_class->blockSignals(true);
  m_class->clear();
  m_class->addItem(ToQ(classes.ChoiceText(0)), 0);
  for (int i = 1; i <= classes.Count(); ++i) m_class->addItem(ToQ(classes.ChoiceText(i)), classes.Get(i)->id);
  m_class->setCurrentIndex(classes.IndexOfID(chosenId));
  m_class->blockSignals(false);
  Enable();
}

void VarParameterDialog::Enable() {
  if (!m_relativeText) return;  // still being built
  const bool tag = m_tag->isChecked();
  m_toleranceBox->setEnabled(!tag);
  m_relativeBox->setEnabled(!tag);
  const bool relative = m_relative->isChecked();
  m_multiplier->setEnabled(relative);
  m_negate->setEnabled(relative);
  // A parameter with a scale takes the scale's unit.
  const std::int32_t scaleId = m_scale->currentData().toInt();
  m_unit->setEnabled(scaleId == 0);
  if (scaleId != 0) m_unit->setEditText(ToQ(m_logic.ScaleUnit(scaleId)));
  m_editScale->setEnabled(scaleId != 0);
  m_newScale->setEnabled(m_logic.scales.Count() < static_cast<int>(ScaleList::kCapacity));
  m_newClass->setEnabled(m_logic.classes.Count() < static_cast<int>(ParamClassList::kCapacity));
  m_deleteScale->setEnabled(scaleId != 0);
  const bool hasClass = m_class->currentData().toInt() != 0;
  m_editClass->setEnabled(hasClass);
  m_deleteClass->setEnabled(hasClass);
  ParameterForm& f = m_logic.form;
  f.tag = tag;
  f.relative = relative;
  f.negate = m_negate->isChecked();
  f.multiplierCode = static_cast<std::uint8_t>(m_multiplier->currentIndex());
  f.base = FieldText(m_base);
  m_relativeText->setText(ToQ(m_logic.RelativeText()));
}

void VarParameterDialog::ReadForm() {
  ParameterForm& f = m_logic.form;
  f.name = FieldText(m_name);
  f.shortName = FieldText(m_shortName);
  f.unit = FieldText(m_unit);
  f.note = FieldText(m_note);
  f.decimals = static_cast<std::uint8_t>(m_decimals->value());
  f.scaleId = m_scale->currentData().toInt();
  f.classId = static_cast<std::int16_t>(m_class->currentData().toInt());
  f.tag = m_tag->isChecked();
  f.defaultValue = FieldText(m_default);
  f.lsl = FieldText(m_lsl);
  f.usl = FieldText(m_usl);
  f.nominal = FieldText(m_nominal);
  f.lrl = FieldText(m_lrl);
  f.url = FieldText(m_url);
  f.relative = m_relative->isChecked();
  f.base = FieldText(m_base);
  f.multiplierCode = static_cast<std::uint8_t>(m_multiplier->currentIndex());
  f.negate = m_negate->isChecked();
  f.maxPossible = FieldText(m_max);
  f.minPossible = FieldText(m_min);
  f.noSkip = m_noSkip->isChecked();
  f.explain = m_explain->isChecked();
}

void VarParameterDialog::SetNominalToMiddle() {
  ReadForm();
  const EditorOutcome outcome = m_logic.SetNominalToMiddle();
  if (!outcome.Ok()) {
    FocusField(FieldWidget(outcome.field));
    return;
  }
  m_nominal->setText(ToQ(m_logic.form.nominal));
}

void VarParameterDialog::EditScale(bool create) {
  const int position = create ? 0 : m_logic.scales.IndexOfID(m_scale->currentData().toInt());
  if (!create && position == 0) return;
  int edited = 0;
  if (!ScaleEditorDialog::Edit(m_logic.scales, position, this, &edited)) return;
  FillScales(m_logic.scales.Get(edited)->id);
}

void VarParameterDialog::EditClass(bool create) {
  const int position =
      create ? 0 : m_logic.classes.IndexOfID(static_cast<std::int16_t>(m_class->currentData().toInt()));
  if (!create && position == 0) return;
  int edited = 0;
  if (!ClassEditorDialog::Edit(m_logic.classes, position, this, &edited)) return;
  FillClasses(m_logic.classes.Get(edited)->id);
}

void VarParameterDialog::DeleteScale() {
  ReadForm();
  if (m_logic.DeleteScale(m_logic.scales.IndexOfID(m_logic.form.scaleId))) FillScales(m_logic.form.scaleId);
}

void VarParameterDialog::DeleteClass() {
  ReadForm();
  if (m_logic.DeleteClass(m_logic.classes.IndexOfID(m_logic.form.classId))) FillClasses(m_logic.form.classId);
}

void VarParameterDialog::accept() {
  ReadForm();
  const EditorOutcome outcome = m_logic.Accept();
  if (!outcome.Ok()) {
    FocusField(FieldWidget(outcome.field == EditorField::None ? EditorField::Name : outcome.field));
    return;
  }
  QDialog::accept();
}

// --- alternative parameter ---

AltParameterDialog::AltParameterDialog(TDatasetSPC& ds, int position, ConfigFile* config, QWidget* parent)
    : QDialog(parent), m_logic(ds, DataKind::Attr, position, config) {
  setObjectName(QStringLiteral("dlgAltParameter"));
  setWindowTitle(ToQ(m_logic.Title()));
  const AltParameterForm& f = m_logic.altForm;
  m_name = HistoryField("cbName", config, HistoryList::ParameterName, f.name, TSPCParameter::kNameMax);
  m_shortName =
      HistoryField("cbShortName", config, HistoryList::ParameterShortName, f.shortName, TSPCParameter::kShortNameMax);
  m_note = HistoryField("cbNote", config, HistoryList::ParameterNote, f.note, TSPCParameter::kNoteMax);
  m_type = new QComboBox;
  m_type->setObjectName(QStringLiteral("cbType"));
  for (AttrType type : {AttrType::Units, AttrType::Nonconformities}) m_type->addItem(ToQ(AttrTypeName(type)));
  m_type->setCurrentIndex(f.type == AttrType::Nonconformities ? 1 : 0);
  m_type->setSizeAdjustPolicy(QComboBox::AdjustToContents);
  m_ppm = NumberField("edtPpm", f.ppm);
  m_noSkip = Switch("chkNoSkip", QStringLiteral("Запре&щено пропускать значения при вводе"), f.noSkip);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Название:"), m_name);
  form->addRow(QStringLiteral("&Краткое название:"), m_shortName);
  form->addRow(QStringLiteral("&Тип:"), m_type);
  form->addRow(QStringLiteral("Пре&дельный уровень несоответствий (ПУН), PPM:"), m_ppm);
  form->addRow(QStringLiteral("&Примечание:"), m_note);
  form->addRow(m_noSkip);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(EditorButtons(this));
  ChainTabOrder({m_name, m_shortName, m_type, m_ppm, m_note, m_noSkip});
  resize(sizeHint().expandedTo(QSize(560, 0)));
  m_name->setFocus();
}

QWidget* AltParameterDialog::FieldWidget(EditorField field) const {
  switch (field) {
    case EditorField::ShortName:
      return m_shortName;
    case EditorField::Ppm:
      return m_ppm;
    case EditorField::Note:
      return m_note;
    default:
      return m_name;
  }
}

void AltParameterDialog::accept() {
  AltParameterForm& f = m_logic.altForm;
  f.name = FieldText(m_name);
  f.shortName = FieldText(m_shortName);
  f.note = FieldText(m_note);
  f.ppm = FieldText(m_ppm);
  f.type = m_type->currentIndex() == 1 ? AttrType::Nonconformities : AttrType::Units;
  f.noSkip = m_noSkip->isChecked();
  const EditorOutcome outcome = m_logic.Accept();
  if (!outcome.Ok()) {
    FocusField(FieldWidget(outcome.field));
    return;
  }
  QDialog::accept();
}

}  // namespace mv::ui
