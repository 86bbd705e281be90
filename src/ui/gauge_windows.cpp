#include "ui/gauge_windows.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace mv::ui {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
std::string S(const QString& text) { return text.toStdString(); }

QLineEdit* Field(const char* name, const std::string& text, std::size_t maxChars) {
  auto* field = new QLineEdit(Q(text));
  field->setObjectName(QLatin1String(name));
  field->setMaxLength(static_cast<int>(maxChars));
  return field;
}

QPushButton* Button(const char* name, const QString& text) {
  auto* button = new QPushButton(text);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

// OK and Cancel with their Russian texts; OK is the default button (Enter), Cancel takes Escape.
QDialogButtonBox* OkCancel(QDialog* dialog, const QString& okText = QStringLiteral("ОК")) {
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Ok)->setText(okText);
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

// A read-only list of whole rows, one selected at a time.
QTableWidget* ListTable(const char* name, const auto& columns) {
  auto* table = new QTableWidget(0, static_cast<int>(columns.size()));
  table->setObjectName(QLatin1String(name));
  QStringList headers;
  for (const char* column : columns) headers << Q(column);
  table->setHorizontalHeaderLabels(headers);
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setAlternatingRowColors(true);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->horizontalHeader()->setStretchLastSection(true);
  table->setTabKeyNavigation(false);
  table->setWordWrap(false);
  return table;
}

template <class Logic>
void FillTable(QTableWidget* table, const Logic& logic) {
  table->setRowCount(logic.Count());
  for (int row = 0; row < logic.Count(); ++row) {
    const std::vector<std::string> cells = logic.Row(row + 1);
    for (std::size_t c = 0; c < cells.size(); ++c) {
      table->setItem(row, static_cast<int>(c), new QTableWidgetItem(Q(cells[c])));
    }
  }
  if (logic.current > 0) table->selectRow(logic.current - 1);
}

}  // namespace

// --- gauge editor ---

GageEditorDialog::GageEditorDialog(TGageSet& list, int position, QWidget* parent)
    : QDialog(parent), m_logic(list, position) {
  setObjectName(QStringLiteral("dlgGageEditor"));
  setWindowTitle(Q(m_logic.Title()));
  const GageForm& f = m_logic.form;
  m_name = Field("edtName", f.name, GageForm::kNameMax);
  m_fullName = Field("edtFullName", f.fullName, GageForm::kFullNameMax);
  m_serial = Field("edtSerial", f.serialNumber, GageForm::kSerialMax);
  m_unit = Field("edtUnit", f.unit, TGage::kUnitMax);
  m_decimals = new QSpinBox;
  m_decimals->setObjectName(QStringLiteral("spnDecimals"));
  m_decimals->setRange(0, GageForm::kDecimalsMax);
  m_decimals->setValue(f.decimals);
  m_minimum = Field("edtMinimum", f.minimum, 30);
  m_maximum = Field("edtMaximum", f.maximum, 30);
  m_note = Field("edtNote", f.note, GageForm::kNoteMax);
  m_connection = new QComboBox;
  m_connection->setObjectName(QStringLiteral("cmbConnection"));
  for (std::uint8_t type = 0; type <= 2; ++type) m_connection->addItem(Q(ConnectionTypeText(type)));
  m_connection->setCurrentIndex(f.connectionType <= 2 ? f.connectionType : 1);
  m_start = new QComboBox;
  m_start->setObjectName(QStringLiteral("cmbStart"));
  for (std::uint8_t start = 1; start <= 2; ++start) m_start->addItem(Q(TransmissionStartText(start)));
  m_start->setCurrentIndex(f.start == 2 ? 1 : 0);
  m_format = new QComboBox;
  m_format->setObjectName(QStringLiteral("cmbFormat"));
  for (const TransmissionFormat& format : TransmissionFormats()) m_format->addItem(Q(format.text));
  m_format->setCurrentIndex(f.formatPosition);
  m_deviceId = Field("edtDeviceId", f.deviceId, 100);

  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Название:"), m_name);
  form->addRow(QStringLiteral("&Полное название:"), m_fullName);
  form->addRow(QStringLiteral("&Серийный номер:"), m_serial);
  form->addRow(QStringLiteral("&Единица измерения:"), m_unit);
  form->addRow(QStringLiteral("&Десятичных знаков:"), m_decimals);
  form->addRow(QStringLiteral("&Минимальный предел измерения:"), m_minimum);
  form->addRow(QStringLiteral("Ма&ксимальный предел измерения:"), m_maximum);
  form->addRow(QStringLiteral("Пр&имечание:"), m_note);
  // Held in memory only: an edit of these lasts until the end of the run.
  form->addRow(QStringLiteral("&Тип подключения (не сохраняется):"), m_connection);
  m_connectionFields = new QWidget;
  m_connectionFields->setObjectName(QStringLiteral("pnlConnection"));
  auto* connection = new QFormLayout(m_connectionFields);
  connection->setContentsMargins(0, 0, 0, 0);
  connection->addRow(QStringLiteral("Нач&ало передачи (не сохраняется):"), m_start);
  connection->addRow(QStringLiteral("&Формат передачи (не сохраняется):"), m_format);
  connection->addRow(QStringLiteral("Идентификатор п&рибора:"), m_deviceId);
  auto* note = new QLabel(Q(GageEditor::ConnectionNote()));
  note->setObjectName(QStringLiteral("lblConnectionNote"));
  note->setWordWrap(true);
  note->setEnabled(false);
  connection->addRow(note);
  connect(m_connection, &QComboBox::currentIndexChanged, this, [this] { ShowConnectionFields(); });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(m_connectionFields);
  layout->addWidget(OkCancel(this));
  ShowConnectionFields();
  resize(520, sizeHint().height());
}

void GageEditorDialog::ShowConnectionFields() {
  m_logic.form.connectionType = static_cast<std::uint8_t>(m_connection->currentIndex());
  m_connectionFields->setVisible(m_logic.ConnectionFieldsShown());
}

void GageEditorDialog::accept() {
  GageForm& f = m_logic.form;
  f.name = S(m_name->text());
  f.fullName = S(m_fullName->text());
  f.serialNumber = S(m_serial->text());
  f.unit = S(m_unit->text());
  f.decimals = static_cast<std::uint8_t>(m_decimals->value());
  f.minimum = S(m_minimum->text());
  f.maximum = S(m_maximum->text());
  f.note = S(m_note->text());
  f.connectionType = static_cast<std::uint8_t>(m_connection->currentIndex());
  f.start = static_cast<std::uint8_t>(m_start->currentIndex() + 1);
  f.formatPosition = m_format->currentIndex();
  f.deviceId = S(m_deviceId->text());
  if (m_logic.Accept()) QDialog::accept();
}

bool GageEditorDialog::Edit(TGageSet& list, int position, QWidget* parent, int* editedPosition) {
  GageEditorDialog dialog(list, position, parent);
  const bool accepted = dialog.exec() == QDialog::Accepted;
  if (editedPosition) *editedPosition = dialog.m_logic.Position();
  return accepted && dialog.m_logic.Changed();
}

// --- gauge list ---

GageListWindow::GageListWindow(TGageSet& list, bool selectMode, std::int32_t currentId, QWidget* parent)
    : QDialog(parent), m_logic(list, selectMode, currentId) {
  setObjectName(QStringLiteral("dlgGageList"));
  setWindowTitle(Q(GageListLogic::Title()));
  m_caption = new QLabel;
  m_caption->setObjectName(QStringLiteral("lblCaption"));
  m_table = ListTable("tblGages", GageListLogic::kColumns);
  m_add = Button("btnAdd", QStringLiteral("&Добавить..."));
  m_edit = Button("btnEdit", QStringLiteral("&Изменить..."));
  m_delete = Button("btnDelete", QStringLiteral("&Удалить"));
  connect(m_add, &QPushButton::clicked, this, &GageListWindow::Add);
  connect(m_edit, &QPushButton::clicked, this, &GageListWindow::EditCurrent);
  connect(m_delete, &QPushButton::clicked, this, &GageListWindow::DeleteCurrent);
  connect(m_table, &QTableWidget::cellDoubleClicked, this, [this] { EditCurrent(); });
  connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) {
    m_logic.current = row + 1;
    Enable();
  });

  auto* commands = new QVBoxLayout;
  for (QPushButton* button : {m_add, m_edit, m_delete}) commands->addWidget(button);
  commands->addStretch();
  auto* body = new QHBoxLayout;
  body->addWidget(m_table, 1);
  body->addLayout(commands);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_caption);
  layout->addLayout(body, 1);
  layout->addWidget(OkCancel(this, selectMode ? QStringLiteral("&Выбор") : QStringLiteral("ОК")));
  Fill();
  resize(1020, 380);
}

void GageListWindow::Fill() {
  m_caption->setText(Q(m_logic.Caption()));
  const int current = m_logic.current;
  FillTable(m_table, m_logic);
  m_logic.current = current;
  Enable();
}

void GageListWindow::Enable() {
  m_add->setEnabled(m_logic.CanAdd());
  m_edit->setEnabled(m_logic.CanEdit());
  m_delete->setEnabled(m_logic.CanDelete());
}

void GageListWindow::Add() {
  if (!m_logic.CanAdd()) return;
  int position = 0;
  const bool changed = GageEditorDialog::Edit(m_logic.List(), 0, this, &position);
  m_logic.Edited(changed, position);
  Fill();
}

void GageListWindow::EditCurrent() {
  if (!m_logic.CanEdit()) return;
  int position = m_logic.current;
  const bool changed = GageEditorDialog::Edit(m_logic.List(), position, this, &position);
  m_logic.Edited(changed, position);
  Fill();
}

void GageListWindow::DeleteCurrent() {
  if (m_logic.DeleteCurrent()) Fill();
}

void GageListWindow::done(int result) {
  if (!m_finished) {
    m_finished = true;
    m_logic.Finish(result == QDialog::Accepted);
  }
  QDialog::done(result);
}

bool GageListWindow::Run(TGageSet& list, bool selectMode, std::int32_t currentId, int& position, QWidget* parent) {
  GageListWindow window(list, selectMode, currentId, parent);
  const bool accepted = window.exec() == QDialog::Accepted;
  if (accepted) position = window.m_logic.current;
  return accepted;
}

// --- profile editor ---

ProfileEditorDialog::ProfileEditorDialog(TInputProfileSet& list, TGageSet& gages, int position, QWidget* parent)
    : QDialog(parent), m_logic(list, gages, position) {
  setObjectName(QStringLiteral("dlgProfileEditor"));
  setWindowTitle(Q(m_logic.Title()));
  m_name = Field("edtName", m_logic.form.name, ProfileForm::kNameMax);
  m_note = Field("edtNote", m_logic.form.note, ProfileForm::kNoteMax);
  m_source = new QComboBox;
  m_source->setObjectName(QStringLiteral("cmbSource"));
  m_source->addItem(Q(InputSourceText(1)));
  m_source->addItem(Q(InputSourceText(2)));
  m_source->setCurrentIndex(m_logic.form.source == 2 ? 1 : 0);
  auto* form = new QFormLayout;
  form->addRow(QStringLiteral("&Название:"), m_name);
  form->addRow(QStringLiteral("&Примечание:"), m_note);
  form->addRow(QStringLiteral("&Способ ввода:"), m_source);

  m_gageFields = new QWidget;
  m_gageFields->setObjectName(QStringLiteral("pnlGage"));
  m_gageName = new QLabel;
  m_gageName->setObjectName(QStringLiteral("lblGageName"));
  auto* choose = Button("btnChooseGage", QStringLiteral("&Выбрать..."));
  connect(choose, &QPushButton::clicked, this, &ProfileEditorDialog::ChooseGage);
  m_gageDetails = new QLabel;
  m_gageDetails->setObjectName(QStringLiteral("lblGageDetails"));
  auto* gage = new QGridLayout(m_gageFields);
  gage->setContentsMargins(0, 0, 0, 0);
  auto* gageLabel = new QLabel(QStringLiteral("Средство измерения:"));
  gage->addWidget(gageLabel, 0, 0);
  gage->addWidget(m_gageName, 0, 1);
  gage->addWidget(choose, 0, 2);
  gage->addWidget(m_gageDetails, 1, 0, 1, 3);
  gage->setColumnStretch(1, 1);
  connect(m_source, &QComboBox::currentIndexChanged, this, [this](int index) {
    m_logic.form.source = static_cast<std::uint8_t>(index + 1);
    ShowGage();
  });

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(m_gageFields);
  layout->addWidget(OkCancel(this));
  ShowGage();
  resize(480, sizeHint().height());
}

void ProfileEditorDialog::ShowGage() {
  m_gageFields->setVisible(m_logic.form.source == static_cast<std::uint8_t>(InputSource::Gage));
  m_gageName->setText(Q(m_logic.GageName()));
  m_gageDetails->setText(Q(m_logic.GageDetails()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void ProfileEditorDialog::ChooseGage() {
  int position = 0;
  if (GageListWindow::Run(m_logic.Gages(), true, m_logic.form.gageId, position, this)) m_logic.ChooseGage(position);
  ShowGage();
}

void ProfileEditorDialog::accept() {
  m_logic.form.name = S(m_name->text());
  m_logic.form.note = S(m_note->text());
  m_logic.form.source = static_cast<std::uint8_t>(m_source->currentIndex() + 1);
  if (m_logic.Accept()) QDialog::accept();
}

bool ProfileEditorDialog::Edit(TInputProfileSet& list, TGageSet& gages, int position, QWidget* parent) {
  ProfileEditorDialog dialog(list, gages, position, parent);
  return dialog.exec() == QDialog::Accepted;
}

// --- profile list page ---

ProfileListPage::ProfileListPage(TInputProfileSet& list, TGageSet& gages, QWidget* parent)
    : QWidget(parent), m_logic(list, gages) {
  setObjectName(QStringLiteral("pgProfiles"));
  m_caption = new QLabel;
  m_caption->setObjectName(QStringLiteral("lblProfilesCaption"));
  m_table = ListTable("tblProfiles", ProfileListLogic::kColumns);
  m_add = Button("btnAddProfile", QStringLiteral("Доб&авить..."));
  m_edit = Button("btnEditProfile", QStringLiteral("Измени&ть..."));
  m_delete = Button("btnDeleteProfile", QStringLiteral("Уда&лить"));
  connect(m_add, &QPushButton::clicked, this, [this] { Edit(0); });
  connect(m_edit, &QPushButton::clicked, this, [this] { Edit(m_logic.current); });
  connect(m_delete, &QPushButton::clicked, this, &ProfileListPage::DeleteCurrent);
  connect(m_table, &QTableWidget::cellDoubleClicked, this, [this] { Edit(m_logic.current); });
  connect(m_table, &QTableWidget::currentCellChanged, this, [this](int row) {
    m_logic.current = row + 1;
    Enable();
  });
  auto* commands = new QHBoxLayout;
  for (QPushButton* button : {m_add, m_edit, m_delete}) commands->addWidget(button);
  commands->addStretch();
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_caption);
  layout->addWidget(m_table, 1);
  layout->addLayout(commands);
  Fill();
}

void ProfileListPage::Fill() {
  m_caption->setText(Q(m_logic.Caption()));
  const int current = m_logic.current;
  FillTable(m_table, m_logic);
  m_logic.current = current;
  Enable();
}

void ProfileListPage::Enable() {
  m_add->setEnabled(m_logic.CanAdd());
  m_edit->setEnabled(m_logic.CanEdit());
  m_delete->setEnabled(m_logic.CanDelete());
}

void ProfileListPage::Edit(int position) {
  if (position == 0 ? !m_logic.CanAdd() : !m_logic.CanEdit()) return;
  if (ProfileEditorDialog::Edit(m_logic.List(), m_logic.Gages(), position, this)) {
    m_logic.current = position == 0 ? m_logic.Count() : position;
  }
  Fill();
}

void ProfileListPage::DeleteCurrent() {
  if (m_logic.DeleteCurrent()) Fill();
}

}  // namespace mv::ui
