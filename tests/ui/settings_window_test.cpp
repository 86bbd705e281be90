#include "ui/settings_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>

#include "support/bytes.h"
#include "support/fake_platform.h"
#include "ui/gauge_windows.h"
#include "mnemonics.h"
#include "ui_test_app.h"

namespace mv {
namespace {

template <class W>
W* Child(QWidget* parent, const char* name) {
  W* w = parent->findChild<W*>(QLatin1String(name));
  EXPECT_NE(w, nullptr) << name;
  return w;
}

class SettingsWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    test::UiApp();
    AddStandardEventDefaults(sounds);
    ASSERT_TRUE(profiles.AddDefaultProfile());
    ASSERT_TRUE(gages.AddNew());
    gages.Item(1)->name = "Микрометр";
    m_savedChooser = ui::SettingsWindow::chooseFont;
    m_savedFont = QApplication::font();
  }
  void TearDown() override {
    ui::SettingsWindow::chooseFont = m_savedChooser;
    QApplication::setFont(m_savedFont);
  }
  SettingsWindowLogic::Options Options(bool additional = false, bool debug = false) {
    SettingsWindowLogic::Options o;
    o.version = "0.1.0";
    o.additionalInstance = additional;
    o.debugMode = debug;
    o.programFolder = dir.path();
    o.soundFolder = dir.Path("Sys/Sound");
    return o;
  }
  // The font dialog answers with this font.
  void FontDialogGives(const QString& family, int points) {
    ui::SettingsWindow::chooseFont = [family, points](QWidget*, const QFont&, const QString&) {
      return std::optional<QFont>(QFont(family, points));
    };
  }

  test::FakePlatform fake;
  test::TempFolder dir;
  TEventSoundSet sounds;
  TInputProfileSet profiles;
  TGageSet gages;
  ConfigFile config{dir.path(), sounds, profiles};

 private:
  decltype(ui::SettingsWindow::chooseFont) m_savedChooser;
  QFont m_savedFont;
};

TEST_F(SettingsWindow, PagesTitleAndTheNoteOfAnAdditionalSession) {
  ui::SettingsWindow first(config, sounds, gages, profiles, Options());
  first.show();
  EXPECT_EQ(first.windowTitle(), "Настройки системы Morvalen");
  auto* pages = Child<QTabWidget>(&first, "tabPages");
  QStringList names;
  for (int i = 0; i < pages->count(); ++i) names << pages->tabText(i);
  EXPECT_EQ(names, (QStringList{"Общие", "Папки", "Расчеты", "Внешний вид", "Типы файлов", "Информация"}));
  EXPECT_FALSE(Child<QLabel>(&first, "lblAdditionalSession")->isVisible());
  first.ShowPage(ui::SettingsWindow::kFileTypes);
  EXPECT_EQ(pages->currentIndex(), 4);

  ui::SettingsWindow second(config, sounds, gages, profiles, Options(true, true));
  second.show();
  EXPECT_EQ(Child<QTabWidget>(&second, "tabPages")->count(), 7);
  EXPECT_TRUE(Child<QLabel>(&second, "lblAdditionalSession")->isVisible());
  EXPECT_EQ(Child<QLabel>(&second, "lblAdditionalSession")->text(), "Настройки дополнительного сеанса не сохраняются !");
  EXPECT_NE(Child<QPushButton>(&second, "btnResetColumns"), nullptr);
  // Each page's commands by the keyboard; the folders' "Открыть" share theirs.
  auto* secondPages = Child<QTabWidget>(&second, "tabPages");
  for (int i = 0; i < secondPages->count(); ++i) test::ExpectOwnMnemonics(secondPages->widget(i), QStringLiteral("к"));
}

TEST_F(SettingsWindow, GeneralPageSwitchesGaugesAndProfilesReachTheirListsAndOk) {
  ui::SettingsWindow window(config, sounds, gages, profiles, Options());
  window.show();
  auto* autoSave = Child<QCheckBox>(&window, "chkSwitch4");
  EXPECT_EQ(autoSave->text(), "Автоматически со&хранять наборы данных");
  EXPECT_EQ(Child<QCheckBox>(&window, "chkSwitch3")->text(), "При отстутствии наборов данных показывать окно &приветствия");
  QTest::keyClick(autoSave, Qt::Key_Space);
  EXPECT_EQ(Child<QLabel>(&window, "lblProfilesCaption")->text(), "Профили ввода исходных данных (1):");

  test::WhenModal([](QWidget* list) {
    EXPECT_EQ(list->windowTitle(), "Средства измерений, подключаемые к компьютеру");
    QTest::keyClick(list, Qt::Key_Escape);
  });
  QTest::mouseClick(Child<QPushButton>(&window, "btnGauges"), Qt::LeftButton);
  EXPECT_EQ(fake.log.lines.front(), "Open gages: #gages=1");

  EXPECT_FALSE(config.autoSaveDatasets);
  QTest::keyClick(&window, Qt::Key_Return);
  EXPECT_EQ(window.result(), QDialog::Accepted);
  EXPECT_TRUE(config.autoSaveDatasets);
  EXPECT_EQ(fake.log.lines.back(), "System setup changed");
}

TEST_F(SettingsWindow, FoldersPageDefaultsOpenAndTheLogOfAChangedFolder) {
  ui::SettingsWindow window(config, sounds, gages, profiles, Options());
  window.show();
  Child<QTabWidget>(&window, "tabPages")->setCurrentIndex(1);
  auto* data = Child<QLineEdit>(&window, "edtFolder1");
  EXPECT_TRUE(Child<QLineEdit>(&window, "edtFolder0")->isReadOnly());
  EXPECT_TRUE(Child<QLineEdit>(&window, "edtFolder4")->isReadOnly());
  EXPECT_EQ(Child<QLabel>(&window, "lblNextSession")->text(), "(*)  Вступит в действие только в следующем сеансе работы");
  data->clear();
  QTest::keyClicks(data, "/srv/spc");
  QTest::mouseClick(Child<QPushButton>(&window, "btnOpen1"), Qt::LeftButton);
  EXPECT_EQ(fake.shellOpen.opened, std::vector<std::string>{"/srv/spc"});
  QTest::mouseClick(Child<QPushButton>(&window, "btnDefaultFolders"), Qt::LeftButton);
  EXPECT_EQ(data->text().toStdString(), ConfigFile::DefaultFolders()[0]);
  QTest::keyClicks(data, "2");
  window.accept();
  ASSERT_TRUE(window.Applied());
  EXPECT_TRUE(window.Applied()->foldersChanged);
  EXPECT_EQ(config.folders[0], ConfigFile::DefaultFolders()[0] + "2");
  EXPECT_EQ(fake.log.lines.back(), "System setup changed. Folders: " + config.FolderListText());
}

TEST_F(SettingsWindow, CalculationsPageSetsTheNonconformityUnit) {
  ui::SettingsWindow window(config, sounds, gages, profiles, Options());
  auto* unit = Child<QComboBox>(&window, "cmbLevelUnit");
  EXPECT_EQ(unit->itemText(0), " Авто (не более 100 PPM, далее - %)");
  unit->setCurrentIndex(1);
  window.accept();
  EXPECT_EQ(config.levelUnit, 1);
}

TEST_F(SettingsWindow, AppearancePageFontsAndSounds) {
  ui::SettingsWindow window(config, sounds, gages, profiles, Options());
  window.show();
  Child<QTabWidget>(&window, "tabPages")->setCurrentIndex(3);
  const QString family = QApplication::font().family();

  FontDialogGives(family, 15);
  QTest::mouseClick(Child<QPushButton>(&window, "btnSystemFont"), Qt::LeftButton);
  ASSERT_FALSE(fake.messages.shown.empty());
  const std::string refusal = "Недопустимо выбирать размер системного шрифта менее 8 и более 14";
  EXPECT_EQ(fake.messages.shown.back().text, refusal);
  QTest::mouseClick(Child<QPushButton>(&window, "btnGraphicsFont"), Qt::LeftButton);
  const bool cyrillic = ui::FontDescrOf(QFont(family, 15)).charset == TFontDescr::kCyrillic;
  if (cyrillic) {
    EXPECT_EQ(window.Logic().setup.graphicsFont.size, 15);
    EXPECT_TRUE(Child<QLabel>(&window, "lblGraphicsFont")->text().endsWith(", 15 пт"));
  } else {
    EXPECT_EQ(fake.messages.shown.back().text, NonCyrillicFontQuestion());
  }
  FontDialogGives(family, 12);
  fake.messages.answers.push_back(true);
  QTest::mouseClick(Child<QPushButton>(&window, "btnSystemFont"), Qt::LeftButton);
  EXPECT_EQ(window.Logic().setup.systemFont.size, 12);
  test::SaveScreenshot(window, "settings.png");

  // Sounds: a file outside the sound folder is refused and the dialog comes again.
  auto* table = Child<QTableWidget>(&window, "tblSounds");
  ASSERT_GT(table->rowCount(), 0);
  table->setCurrentCell(0, 0);
  fake.fileDialogs.choices = {std::string("/tmp/bell.wav"), dir.Path("Sys/Sound") + "/Гонг.wav"};
  QTest::mouseClick(Child<QPushButton>(&window, "btnSoundFile"), Qt::LeftButton);
  EXPECT_EQ(fake.fileDialogs.asked.size(), 2u);
  EXPECT_EQ(table->item(0, 1)->text(), "Гонг.wav");
  QTest::mouseClick(Child<QPushButton>(&window, "btnSoundSilent"), Qt::LeftButton);
  EXPECT_EQ(table->item(0, 1)->text(), "Без звука");
  QTest::mouseClick(Child<QPushButton>(&window, "btnSoundTry"), Qt::LeftButton);
  EXPECT_EQ(fake.messages.shown.back().text, "Звук не выбран для текущего события");

  window.accept();
  EXPECT_EQ(config.systemFont.size, 12);
  EXPECT_EQ(QApplication::font().pointSize(), 12);  // applied at once
  EXPECT_EQ(sounds.Item(1)->soundKind, static_cast<std::uint8_t>(SoundKind::Silent));

  ui::SettingsWindow again(config, sounds, gages, profiles, Options());
  QTest::mouseClick(Child<QPushButton>(&again, "btnDefaultFonts"), Qt::LeftButton);
  EXPECT_EQ(again.Logic().setup.systemFont, TFontDescr{});
  QTest::mouseClick(Child<QPushButton>(&again, "btnSoundDefault"), Qt::LeftButton);
  again.reject();  // Cancel undoes the sound choice
  EXPECT_EQ(sounds.Item(1)->soundKind, static_cast<std::uint8_t>(SoundKind::Silent));
  EXPECT_EQ(config.systemFont.size, 12);
}

TEST_F(SettingsWindow, AFontTakesItsFamilyCutToWholeCharactersAndItsStyle) {
  QFont font(QStringLiteral("Очень длинное название шрифта для проверки"), 11);
  font.setBold(true);
  font.setItalic(true);
  const TFontDescr d = ui::FontDescrOf(font);
  EXPECT_EQ(d.name, "Очень длинное название шрифта ");
  EXPECT_EQ(d.size, 11);
  EXPECT_EQ(d.style, 3);
  EXPECT_EQ(ui::QFontOf(d).bold(), true);
  EXPECT_EQ(ui::QFontOf(d).pointSize(), 11);
}

TEST_F(SettingsWindow, FileTypesInformationAndAdministrationPages) {
  ui::SettingsWindow window(config, sounds, gages, profiles, Options(false, true));
  window.show();
  window.ShowPage(ui::SettingsWindow::kFileTypes);
  auto* types = Child<QTableWidget>(&window, "tblFileTypes");
  ASSERT_EQ(types->rowCount(), 3);
  EXPECT_EQ(types->horizontalHeaderItem(2)->text(), " К-во приложений");
  EXPECT_EQ(types->item(0, 0)->text(), "mvl");
  EXPECT_EQ(types->item(1, 1)->text(), "Файл данных MSA");
  EXPECT_EQ(types->item(2, 3)->text(), "<не выбрано>");
  auto* assign = Child<QPushButton>(&window, "btnAssignFileTypes");
  EXPECT_EQ(assign->text(), "&Назначить \"Morvalen\" текущим приложением для открытия этих типов файлов");
  fake.messages.answers.push_back(false);
  QTest::mouseClick(assign, Qt::LeftButton);
  ASSERT_EQ(fake.messages.shown.size(), 1u);
  EXPECT_TRUE(fake.messages.shown[0].text.starts_with("Данное действие может повлиять"));
  QApplication::processEvents();
  const QPoint first = types->visualItemRect(types->item(0, 0)).center();
  QTest::mouseClick(types->viewport(), Qt::LeftButton, {}, first);
  QTest::mouseDClick(types->viewport(), Qt::LeftButton, {}, first);
  ASSERT_EQ(fake.messages.shown.size(), 2u);
  EXPECT_TRUE(fake.messages.shown[1].text.starts_with("Тип файла:  Файл данных SPC"));
  types->setCurrentCell(2, 0);
  QTest::mouseClick(Child<QPushButton>(&window, "btnFileTypeDetails"), Qt::LeftButton);
  ASSERT_EQ(fake.messages.shown.size(), 3u);
  EXPECT_TRUE(fake.messages.shown[2].text.starts_with("Тип файла:  Файл обмена данными измерений"));

  EXPECT_TRUE(Child<QPlainTextEdit>(&window, "txtInformation")->toPlainText().startsWith("Morvalen 0.1.0"));
  config.SetArea(OwnedArea::kColumnWidths, "\x50");
  QTest::mouseClick(Child<QPushButton>(&window, "btnResetColumns"), Qt::LeftButton);
  EXPECT_EQ(config.Area(OwnedArea::kColumnWidths)[0], '\0');
}

}  // namespace
}  // namespace mv
