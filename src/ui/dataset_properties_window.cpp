#include "ui/dataset_properties_window.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QInputDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/config_file.h"
#include "app/history_lists.h"
#include "core/file_facts.h"
#include "platform/file_dialogs.h"
#include "platform/services.h"
#include "platform/shell_open.h"

namespace mv::ui {
namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }
std::string S(const QString& text) { return text.toStdString(); }

QLineEdit* Field(const std::string& text, const char* name, int maxLength, QWidget* parent) {
  auto* edit = new QLineEdit(Q(text), parent);
  edit->setObjectName(QLatin1String(name));
  edit->setMaxLength(maxLength);
  return edit;
}

}  // namespace

DatasetPropertiesWindow::DatasetPropertiesWindow(TDatasetSPC& ds, bool debugMode, ConfigFile* config, QWidget* parent)
    : QDialog(parent), m_logic(ds, debugMode), m_config(config) {
  setObjectName(QStringLiteral("frmDatasetProperties"));
  setWindowTitle(QStringLiteral("Дополнительные свойства набора данных"));
  const DatasetPropertiesLogic::Form& form = m_logic.form;
  auto* layout = new QVBoxLayout(this);
  m_tabs = new QTabWidget(this);
  m_tabs->setObjectName(QStringLiteral("tabProperties"));
  layout->addWidget(m_tabs);

  // Notes.
  auto* notes = new QWidget(m_tabs);
  auto* notesForm = new QFormLayout(notes);
  const int textMax = static_cast<int>(TDatasetSPC::kProcessNameMax);
  m_department = Field(form.department, "edDepartment", textMax, notes);
  m_detail = Field(form.detail, "edDetail", textMax, notes);
  m_operation = Field(form.operation, "edOperation", textMax, notes);
  m_responsible = Field(form.responsible, "edResponsible", static_cast<int>(TDatasetBasic::kResponsibleMax), notes);
  m_note = new QPlainTextEdit(Q(form.note), notes);
  m_note->setObjectName(QStringLiteral("edNote"));
  m_note->setTabChangesFocus(true);
  notesForm->addRow(QStringLiteral("&Производство:"), m_department);
  notesForm->addRow(QStringLiteral("&Изделие:"), m_detail);
  notesForm->addRow(QStringLiteral("&Операция:"), m_operation);
  notesForm->addRow(QStringLiteral("&Ответственный:"), m_responsible);
  notesForm->addRow(QStringLiteral("При&мечание:"), m_note);
  m_tabs->addTab(notes, QStringLiteral(" Примечания "));

  // Pictures and documents, the process icon.
  auto* pictures = new QWidget(m_tabs);
  auto* picturesLayout = new QVBoxLayout(pictures);
  auto* listBox = new QGroupBox(QStringLiteral("Рисунки и документы"), pictures);
  auto* listLayout = new QHBoxLayout(listBox);
  m_attachments = new QListWidget(listBox);
  m_attachments->setObjectName(QStringLiteral("lstAttachments"));
  listLayout->addWidget(m_attachments, 1);
  auto* listButtons = new QVBoxLayout;
  auto* add = new QPushButton(QStringLiteral("&Добавить..."), listBox);
  add->setObjectName(QStringLiteral("btnAddAttachment"));
  connect(add, &QPushButton::clicked, this, [this] {
    platform::FileDialogRequest request;
    request.title = "Выбор рисунка или документа";
    request.filter = "Все файлы (*)";
    const std::optional<std::string> file = platform::Current<platform::IFileDialogs>().ChooseOpen(request);
    if (!file) return;
    std::uint64_t size = 0;
    TDateTime time = 0;
    FileFacts(*file, size, time);
    // One byte beyond the record's limit tells a file too big to embed.
    QFile source(Q(*file));
    std::string content;
    const bool read = source.open(QIODevice::ReadOnly);
    if (read) content = source.read(static_cast<qint64>(DatasetPropertiesLogic::kMaxEmbeddedBytes) + 1).toStdString();
    m_logic.AddAttachment(*file, size, time, read ? &content : nullptr);
    ShowAttachments();
    m_attachments->setCurrentRow(m_attachments->count() - 1);
  });
  auto* rename = new QPushButton(QStringLiteral("&Изменить..."), listBox);
  rename->setObjectName(QStringLiteral("btnRenameAttachment"));
  connect(rename, &QPushButton::clicked, this, [this] {
    const int row = m_attachments->currentRow();
    if (row < 0) return;
    bool ok = false;
    const QString title =
        QInputDialog::getText(this, QStringLiteral("Рисунок или документ"), QStringLiteral("Название:"),
                              QLineEdit::Normal, Q(m_logic.form.attachments[static_cast<std::size_t>(row)].title), &ok);
    if (ok && m_logic.RenameAttachment(static_cast<std::size_t>(row), S(title))) {
      ShowAttachments();
      m_attachments->setCurrentRow(row);
    }
  });
  auto* view = new QPushButton(QStringLiteral("Про&смотр"), listBox);
  view->setObjectName(QStringLiteral("btnViewAttachment"));
  connect(view, &QPushButton::clicked, this, [this] {
    const int row = m_attachments->currentRow();
    if (row >= 0) platform::Current<platform::IShellOpen>().Open(m_logic.AttachmentPath(static_cast<std::size_t>(row)));
  });
  auto* remove = new QPushButton(QStringLiteral("&Удалить"), listBox);
  remove->setObjectName(QStringLiteral("btnDeleteAttachment"));
  connect(remove, &QPushButton::clicked, this, [this] {
    const int row = m_attachments->currentRow();
    if (row >= 0 && m_logic.DeleteAttachment(static_cast<std::size_t>(row))) ShowAttachments();
  });
  for (QPushButton* button : {add, rename, view, remove}) listButtons->addWidget(button);
  listButtons->addStretch(1);
  listLayout->addLayout(listButtons);
  picturesLayout->addWidget(listBox, 1);
  const QString iconTexts[] = {QStringLiteral("Показывать иконку"),
                               QStringLiteral("Увеличивать иконку до размеров рамки  (100x100)"),
                               QStringLiteral("При изменении размеров соблюдать пропорции"),
                               QStringLiteral("Использовать прозрачность фона")};
  const std::uint8_t iconValues[] = {form.iconShow, form.iconEnlarge, form.iconKeepProportions, form.iconTransparent};
  for (int i = 0; i < 4; ++i) {
    m_icon[i] = new QCheckBox(iconTexts[i], pictures);
    m_icon[i]->setObjectName(QStringLiteral("chkIcon%1").arg(i + 1));
    m_icon[i]->setChecked(iconValues[i] != 0);
    picturesLayout->addWidget(m_icon[i]);
  }
  m_tabs->addTab(pictures, QStringLiteral(" Рисунки "));
  ShowAttachments();

  // Protection.
  auto* protection = new QWidget(m_tabs);
  auto* protectionLayout = new QVBoxLayout(protection);
  auto* stateRow = new QHBoxLayout;
  stateRow->addWidget(new QLabel(QStringLiteral("Пароль:"), protection));
  m_passwordState = new QLabel(protection);
  m_passwordState->setObjectName(QStringLiteral("lblPasswordState"));
  stateRow->addWidget(m_passwordState, 1);
  protectionLayout->addLayout(stateRow);
  auto* buttons = new QHBoxLayout;
  m_enterPassword = new QPushButton(QStringLiteral("&Ввести пароль"), protection);
  m_enterPassword->setObjectName(QStringLiteral("btnEnterPassword"));
  connect(m_enterPassword, &QPushButton::clicked, this, [this] {
    m_logic.EnterPassword();
    ShowProtection();
  });
  auto* setPassword = new QPushButton(QStringLiteral("&Установить / снять пароль..."), protection);
  setPassword->setObjectName(QStringLiteral("btnSetPassword"));
  connect(setPassword, &QPushButton::clicked, this, [this] {
    m_logic.form.responsible = S(m_responsible->text());
    m_logic.ChangePassword();
    ShowProtection();
  });
  buttons->addWidget(m_enterPassword);
  buttons->addWidget(setPassword);
  buttons->addStretch(1);
  protectionLayout->addLayout(buttons);
  auto* askBox = new QGroupBox(QStringLiteral(" Запрашивать пароль при... "), protection);
  askBox->setObjectName(QStringLiteral("grpAsk"));
  auto* askLayout = new QVBoxLayout(askBox);
  const QString askTexts[] = {QStringLiteral("открытии набора данных"), QStringLiteral("доступе к параметрам"),
                              QStringLiteral("создании и удалении блоков")};
  const bool askValues[] = {form.askOnOpen, form.askOnParameters, form.askOnBlocks};
  for (int i = 0; i < 3; ++i) {
    m_ask[i] = new QCheckBox(askTexts[i], askBox);
    m_ask[i]->setObjectName(QStringLiteral("chkAsk%1").arg(i + 1));
    m_ask[i]->setChecked(askValues[i]);
    askLayout->addWidget(m_ask[i]);
  }
  protectionLayout->addWidget(askBox);
  protectionLayout->addStretch(1);
  m_tabs->addTab(protection, QStringLiteral(" Защита "));
  ShowProtection();

  // Information.
  auto* information = new QPlainTextEdit(Q(m_logic.InformationText()), m_tabs);
  information->setObjectName(QStringLiteral("txtInformation"));
  information->setReadOnly(true);
  m_tabs->addTab(information, QStringLiteral(" Информация "));

  // Administration, in debug mode.
  if (debugMode) {
    auto* admin = new QWidget(m_tabs);
    auto* adminForm = new QFormLayout(admin);
    m_example = new QCheckBox(QStringLiteral("Набор данных является примером"), admin);
    m_example->setObjectName(QStringLiteral("chkExample"));
    m_example->setChecked(form.example);
    m_id = Field(form.idText, "edId", 9, admin);
    adminForm->addRow(m_example);
    adminForm->addRow(QStringLiteral("Идентификатор НД:"), m_id);
    m_tabs->addTab(admin, QStringLiteral(" Администрирование "));
  }

  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(box, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(box, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(box);
  resize(560, 420);
}

bool DatasetPropertiesWindow::Edit(TDatasetSPC& ds, bool debugMode, ConfigFile* config, QWidget* parent) {
  DatasetPropertiesWindow window(ds, debugMode, config, parent);
  return window.exec() == QDialog::Accepted;
}

void DatasetPropertiesWindow::ShowAttachments() {
  m_attachments->clear();
  for (const TDatasetImage& image : m_logic.form.attachments) {
    m_attachments->addItem(Q(image.title.empty() ? image.fileName : image.title));
  }
}

void DatasetPropertiesWindow::ShowProtection() {
  m_passwordState->setText(Q(m_logic.PasswordStateText()));
  const bool editable = m_logic.ProtectionEditable();
  for (QCheckBox* ask : m_ask) ask->setEnabled(editable);
  m_ask[0]->setChecked(m_logic.form.askOnOpen);
  m_enterPassword->setEnabled(m_logic.form.passwordHash != 0 && !editable);
}

void DatasetPropertiesWindow::TakeForm() {
  DatasetPropertiesLogic::Form& form = m_logic.form;
  form.department = S(m_department->text());
  form.detail = S(m_detail->text());
  form.operation = S(m_operation->text());
  form.responsible = S(m_responsible->text());
  form.note = S(m_note->toPlainText());
  std::uint8_t* icon[] = {&form.iconShow, &form.iconEnlarge, &form.iconKeepProportions, &form.iconTransparent};
  for (int i = 0; i < 4; ++i) *icon[i] = m_icon[i]->isChecked() ? 1 : 0;
  form.askOnOpen = m_ask[0]->isChecked();
  form.askOnParameters = m_ask[1]->isChecked();
  form.askOnBlocks = m_ask[2]->isChecked();
  if (m_example) form.example = m_example->isChecked();
  if (m_id) form.idText = S(m_id->text());
}

void DatasetPropertiesWindow::accept() {
  TakeForm();
  switch (m_logic.Accept(m_config)) {
    case DatasetPropertiesLogic::Field::None:
      QDialog::accept();
      return;
    case DatasetPropertiesLogic::Field::Responsible:
      m_tabs->setCurrentIndex(0);
      m_responsible->setFocus();
      return;
    case DatasetPropertiesLogic::Field::Identifier:
      m_tabs->setCurrentIndex(m_tabs->count() - 1);
      m_id->setFocus();
      return;
  }
}

}  // namespace mv::ui
