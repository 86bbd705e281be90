#include "ui/settings_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFontDialog>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/messages.h"
#include "core/text.h"
#include "ui/gauge_windows.h"

namespace mv::ui {
namespace {

QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
QString Lines(std::string_view text) { return Q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }

QPushButton* Button(const char* name, const QString& text) {
  auto* button = new QPushButton(text);
  button->setObjectName(QLatin1String(name));
  button->setAutoDefault(false);
  return button;
}

QTableWidget* Table(const char* name, const QStringList& headers) {
  auto* table = new QTableWidget(0, static_cast<int>(headers.size()));
  table->setObjectName(QLatin1String(name));
  table->setHorizontalHeaderLabels(headers);
  table->verticalHeader()->hide();
  table->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table->setSelectionBehavior(QAbstractItemView::SelectRows);
  table->setSelectionMode(QAbstractItemView::SingleSelection);
  table->setTabKeyNavigation(false);
  table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table->horizontalHeader()->setStretchLastSection(true);
  return table;
}

const char* const kSwitchTexts[4] = {
    "&Оставлять прежнюю версию файла данных при его сохранении",
    "Автоматически &загружать наборы данных из предыдущего сеанса",
    "При отстутствии наборов данных показывать окно &приветствия",
    "Автоматически со&хранять наборы данных",
};

}  // namespace

TFontDescr FontDescrOf(const QFont& font) {
  TFontDescr d;
  d.name = CutToChars(font.family().toStdString(), TFontDescr::kNameMax);
  d.size = font.pointSize() > 0 ? font.pointSize() : static_cast<std::int32_t>(font.pointSizeF() + 0.5);
  d.style = static_cast<std::uint8_t>((font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0) |
                                      (font.strikeOut() ? 8 : 0));
  d.charset = QFontDatabase::writingSystems(font.family()).contains(QFontDatabase::Cyrillic) ? TFontDescr::kCyrillic : 0;
  return d;
}

QFont QFontOf(const TFontDescr& d) {
  QFont font(Q(d.name), d.size > 0 ? d.size : 9);
  font.setBold((d.style & 1) != 0);
  font.setItalic((d.style & 2) != 0);
  font.setUnderline((d.style & 4) != 0);
  font.setStrikeOut((d.style & 8) != 0);
  return font;
}

std::function<std::optional<QFont>(QWidget*, const QFont&, const QString&)> SettingsWindow::chooseFont =
    [](QWidget* parent, const QFont& initial, const QString& title) -> std::optional<QFont> {
  bool ok = false;
  const QFont font = QFontDialog::getFont(&ok, initial, parent, title);
  if (!ok) return std::nullopt;
  return font;
};

SettingsWindow::SettingsWindow(ConfigFile& config, TEventSoundSet& sounds, TGageSet& gages, TInputProfileSet& profiles,
                               SettingsWindowLogic::Options options, QWidget* parent)
    : QDialog(parent), m_logic(config, sounds, gages, profiles, std::move(options)) {
  setObjectName(QStringLiteral("dlgSettings"));
  setWindowTitle(Q(m_logic.Title()));
  m_pages = new QTabWidget;
  m_pages->setObjectName(QStringLiteral("tabPages"));
  m_pages->addTab(GeneralPage(), QStringLiteral("Общие"));
  m_pages->addTab(FoldersPage(), QStringLiteral("Папки"));
  m_pages->addTab(CalculationsPage(), QStringLiteral("Расчеты"));
  m_pages->addTab(AppearancePage(), QStringLiteral("Внешний вид"));
  m_pages->addTab(FileTypesPage(), QStringLiteral("Типы файлов"));
  m_pages->addTab(InformationPage(), QStringLiteral("Информация"));
  if (m_logic.AdministrationShown()) m_pages->addTab(AdministrationPage(), QStringLiteral("Администрирование"));

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(m_pages, 1);
  auto* bottom = new QHBoxLayout;
  auto* note = new QLabel(Q(m_logic.AdditionalSessionNote()));
  note->setObjectName(QStringLiteral("lblAdditionalSession"));
  note->setStyleSheet(QStringLiteral("color: #b00000; font-weight: bold"));
  note->setVisible(!m_logic.AdditionalSessionNote().empty());
  bottom->addWidget(note, 1);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
  buttons->setObjectName(QStringLiteral("buttons"));
  buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("ОК"));
  buttons->button(QDialogButtonBox::Ok)->setDefault(true);
  buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Отмена"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  bottom->addWidget(buttons);
  layout->addLayout(bottom);
  resize(820, 560);
}

QWidget* SettingsWindow::GeneralPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pgGeneral"));
  auto* layout = new QVBoxLayout(page);
  bool* values[4] = {&m_logic.setup.keepPreviousDataFile, &m_logic.setup.loadPreviousDatasets,
                     &m_logic.setup.showWelcome, &m_logic.setup.autoSaveDatasets};
  for (int i = 0; i < 4; ++i) {
    m_switches[i] = new QCheckBox(QString::fromUtf8(kSwitchTexts[i]));
    m_switches[i]->setObjectName(QStringLiteral("chkSwitch%1").arg(i + 1));
    m_switches[i]->setChecked(*values[i]);
    bool* value = values[i];
    connect(m_switches[i], &QCheckBox::toggled, this, [value](bool on) { *value = on; });
    layout->addWidget(m_switches[i]);
  }
  auto* gauges = Button("btnGauges", QStringLiteral("&Средства измерений..."));
  connect(gauges, &QPushButton::clicked, this, [this] {
    int position = 0;
    GageListWindow::Run(m_logic.Gages(), false, 0, position, this);
    m_profiles->Fill();  // profile texts name the gauges
  });
  layout->addWidget(gauges, 0, Qt::AlignLeft);
  // The input profiles, until the data-editing settings take them.
  m_profiles = new ProfileListPage(m_logic.Profiles(), m_logic.Gages());
  layout->addWidget(m_profiles, 1);
  return page;
}

QWidget* SettingsWindow::FoldersPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pgFolders"));
  auto* grid = new QGridLayout(page);
  const struct {
    int index;  // 0 the program folder, else the folder number
    const char* label;
    bool editable;
  } rows[] = {
      {0, "Папка &программы:", false},
      {ConfigFile::kDataFolder, "Папка &данных:", true},
      {ConfigFile::kReportFolder, "Папка &отчетов:", true},
      {ConfigFile::kTempFolder, "Папка &временных файлов (*):", true},
      {ConfigFile::kLogFolder, "Папка &журналов:", false},
  };
  int row = 0;
  for (const auto& r : rows) {
    auto* field = new QLineEdit;
    field->setObjectName(QStringLiteral("edtFolder%1").arg(r.index));
    if (r.editable) {
      const auto at = static_cast<std::size_t>(r.index - 1);
      field->setText(Q(m_logic.setup.folders[at]));
      m_folders[at] = field;
      connect(field, &QLineEdit::textEdited, this, [this, at](const QString& text) {
        m_logic.setup.folders[at] = text.toStdString();
      });
    } else {
      field->setReadOnly(true);
      field->setText(Q(r.index == 0 ? m_logic.ProgramFolder() : m_logic.LogFolder()));
    }
    auto* label = new QLabel(QString::fromUtf8(r.label));
    label->setBuddy(field);
    // One mnemonic for every "Открыть": pressing it again moves on to the next one.
    auto* open = Button(("btnOpen" + std::to_string(r.index)).c_str(), QStringLiteral("От&крыть"));
    const int index = r.index;
    connect(open, &QPushButton::clicked, this, [this, index] { m_logic.OpenFolder(index); });
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    grid->addWidget(open, row, 2);
    ++row;
  }
  auto* defaults = Button("btnDefaultFolders", QStringLiteral("&Установить значения по умолчанию"));
  connect(defaults, &QPushButton::clicked, this, [this] {
    m_logic.SetDefaultFolders();
    for (std::size_t i = 0; i < 3; ++i) m_folders[i]->setText(Q(m_logic.setup.folders[i]));
  });
  grid->addWidget(defaults, row++, 1, Qt::AlignLeft);
  auto* note = new QLabel(QString::fromUtf8(SettingsWindowLogic::kNextSessionNote));
  note->setObjectName(QStringLiteral("lblNextSession"));
  grid->addWidget(note, row++, 0, 1, 3);
  grid->setRowStretch(row, 1);
  grid->setColumnStretch(1, 1);
  return page;
}

QWidget* SettingsWindow::CalculationsPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pgCalculations"));
  auto* form = new QFormLayout(page);
  m_unit = new QComboBox;
  m_unit->setObjectName(QStringLiteral("cmbLevelUnit"));
  m_unit->addItems({QStringLiteral(" Авто (не более 100 PPM, далее - %)"), QStringLiteral(" PPM"), QStringLiteral(" %")});
  m_unit->setCurrentIndex(m_logic.setup.levelUnit <= 2 ? m_logic.setup.levelUnit : 0);
  connect(m_unit, &QComboBox::currentIndexChanged, this,
          [this](int index) { m_logic.setup.levelUnit = static_cast<std::uint8_t>(index); });
  form->addRow(QStringLiteral("&Единица измерения уровня несоответствий:"), m_unit);
  return page;
}

QWidget* SettingsWindow::AppearancePage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pgAppearance"));
  auto* layout = new QVBoxLayout(page);
  auto* fonts = new QGroupBox(QStringLiteral("Шрифты"));
  auto* grid = new QGridLayout(fonts);
  m_systemFont = new QLabel;
  m_systemFont->setObjectName(QStringLiteral("lblSystemFont"));
  m_graphicsFont = new QLabel;
  m_graphicsFont->setObjectName(QStringLiteral("lblGraphicsFont"));
  auto* system = Button("btnSystemFont", QStringLiteral("Выбрать с&истемный шрифт"));
  auto* graphics = Button("btnGraphicsFont", QStringLiteral("Выбрать шрифт &графиков"));
  auto* restore = Button("btnDefaultFonts", QStringLiteral("&Восстановить шрифты по умолчанию / Restore default fonts"));
  connect(system, &QPushButton::clicked, this, [this] { PickFont(true); });
  connect(graphics, &QPushButton::clicked, this, [this] { PickFont(false); });
  connect(restore, &QPushButton::clicked, this, [this] {
    m_logic.RestoreDefaultFonts();
    ShowFonts();
  });
  grid->addWidget(m_systemFont, 0, 0);
  grid->addWidget(system, 0, 1);
  grid->addWidget(m_graphicsFont, 1, 0);
  grid->addWidget(graphics, 1, 1);
  grid->addWidget(restore, 2, 0, 1, 2, Qt::AlignLeft);
  grid->setColumnStretch(0, 1);
  layout->addWidget(fonts);

  auto* soundBox = new QGroupBox(QStringLiteral("Звуки событий"));
  auto* sounds = new QGridLayout(soundBox);
  m_sounds = Table("tblSounds", {QStringLiteral(" Событие"), QStringLiteral(" Звук")});
  auto* file = Button("btnSoundFile", QStringLiteral("&Файл..."));
  auto* standard = Button("btnSoundDefault", QStringLiteral("По &умолчанию"));
  auto* silent = Button("btnSoundSilent", QStringLiteral("&Без звука"));
  auto* tryIt = Button("btnSoundTry", QStringLiteral("&Прослушать"));
  connect(file, &QPushButton::clicked, this, [this] {
    if (m_logic.ChooseSoundFile(CurrentSound())) FillSounds();
  });
  connect(standard, &QPushButton::clicked, this, [this] {
    m_logic.SetSoundDefault(CurrentSound());
    FillSounds();
  });
  connect(silent, &QPushButton::clicked, this, [this] {
    m_logic.SetSoundSilent(CurrentSound());
    FillSounds();
  });
  connect(tryIt, &QPushButton::clicked, this, [this] { m_logic.TrySound(CurrentSound()); });
  sounds->addWidget(m_sounds, 0, 0, 5, 1);
  sounds->addWidget(file, 0, 1);
  sounds->addWidget(standard, 1, 1);
  sounds->addWidget(silent, 2, 1);
  sounds->addWidget(tryIt, 3, 1);
  sounds->setRowStretch(4, 1);
  layout->addWidget(soundBox, 1);
  ShowFonts();
  FillSounds();
  return page;
}

void SettingsWindow::ShowFonts() {
  m_systemFont->setText(QStringLiteral("Системный шрифт: ") + Q(SettingsWindowLogic::FontText(m_logic.setup.systemFont)));
  m_systemFont->setFont(QFontOf(m_logic.setup.systemFont));
  m_graphicsFont->setText(QStringLiteral("Шрифт графиков: ") +
                          Q(SettingsWindowLogic::FontText(m_logic.setup.graphicsFont)));
  m_graphicsFont->setFont(QFontOf(m_logic.setup.graphicsFont));
}

void SettingsWindow::PickFont(bool system) {
  const TFontDescr& now = system ? m_logic.setup.systemFont : m_logic.setup.graphicsFont;
  const std::optional<QFont> font =
      chooseFont(this, QFontOf(now), system ? QStringLiteral("Системный шрифт") : QStringLiteral("Шрифт графиков"));
  if (!font) return;
  const TFontDescr chosen = FontDescrOf(*font);
  if (system ? m_logic.ChooseSystemFont(chosen) : m_logic.ChooseGraphicsFont(chosen)) ShowFonts();
}

int SettingsWindow::CurrentSound() const { return m_sounds->currentRow() + 1; }

void SettingsWindow::FillSounds() {
  const int current = std::max(0, m_sounds->currentRow());
  m_sounds->setRowCount(m_logic.SoundCount());
  for (int row = 0; row < m_logic.SoundCount(); ++row) {
    const auto cells = m_logic.SoundRow(row + 1);
    for (int c = 0; c < 2; ++c) m_sounds->setItem(row, c, new QTableWidgetItem(Q(cells[static_cast<std::size_t>(c)])));
  }
  if (m_logic.SoundCount() > 0) m_sounds->selectRow(std::min(current, m_logic.SoundCount() - 1));
}

QWidget* SettingsWindow::FileTypesPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pgFileTypes"));
  auto* layout = new QVBoxLayout(page);
  QStringList headers;
  for (const char* column : SettingsWindowLogic::kFileTypeColumns) headers << Q(column);
  m_fileTypes = Table("tblFileTypes", headers);
  connect(m_fileTypes, &QTableWidget::cellDoubleClicked, this,
          [this](int row) { ShowInfo(m_logic.FileTypeDetails(row)); });
  auto* assign = Button("btnAssignFileTypes", QStringLiteral("&") + Q(m_logic.AssignCommandText()));
  connect(assign, &QPushButton::clicked, this, [this] {
    m_logic.AssignFileTypes();
    FillFileTypes();
  });
  // The details also from the keyboard: the row's double click has no key of its own.
  auto* details = Button("btnFileTypeDetails", QStringLiteral("&Подробнее..."));
  connect(details, &QPushButton::clicked, this,
          [this] { ShowInfo(m_logic.FileTypeDetails(std::max(0, m_fileTypes->currentRow()))); });
  layout->addWidget(m_fileTypes, 1);
  auto* commands = new QHBoxLayout;
  commands->addWidget(assign);
  commands->addWidget(details);
  commands->addStretch();
  layout->addLayout(commands);
  FillFileTypes();
  return page;
}

void SettingsWindow::FillFileTypes() {
  const auto& types = m_logic.FileTypes();
  m_fileTypes->setRowCount(static_cast<int>(types.size()));
  for (std::size_t row = 0; row < types.size(); ++row) {
    const auto cells = types[row].Cells();
    for (std::size_t c = 0; c < cells.size(); ++c) {
      m_fileTypes->setItem(static_cast<int>(row), static_cast<int>(c), new QTableWidgetItem(Q(cells[c])));
    }
  }
}

QWidget* SettingsWindow::InformationPage() {
  auto* text = new QPlainTextEdit(Lines(m_logic.InformationText()));
  text->setObjectName(QStringLiteral("txtInformation"));
  text->setReadOnly(true);
  return text;
}

QWidget* SettingsWindow::AdministrationPage() {
  auto* page = new QWidget;
  page->setObjectName(QStringLiteral("pgAdministration"));
  auto* layout = new QVBoxLayout(page);
  auto* reset = Button("btnResetColumns", QStringLiteral("&Начальные значения ширин столбцов таблиц"));
  connect(reset, &QPushButton::clicked, this, [this] { m_logic.ResetColumnWidths(); });
  layout->addWidget(reset, 0, Qt::AlignLeft);
  layout->addStretch();
  return page;
}

void SettingsWindow::ShowPage(int page) {
  const int tab = page == kFolders ? 1 : page == kCalculations ? 2 : page == kAppearance ? 3 : page == kFileTypes ? 4
                  : page == kInformation ? 5 : 0;
  m_pages->setCurrentIndex(tab);
}

void SettingsWindow::accept() {
  m_applied = m_logic.Accept();
  if (m_applied->systemFontChanged) QApplication::setFont(QFontOf(m_logic.setup.systemFont));
  QDialog::accept();
}

void SettingsWindow::reject() {
  m_logic.Cancel();
  QDialog::reject();
}

}  // namespace mv::ui
