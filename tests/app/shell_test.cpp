#include "app/shell.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "app/password.h"
#include "spc/spc_file.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// Records what the shell tells the windows.
class RecordingView final : public ShellView {
 public:
  void StatusChanged(const std::string& text) override { statuses.push_back(text); }
  void DatasetsChanged() override { ++changes; }
  void BringToFront() override { ++raised; }
  void MarkTitle(const std::string& suffix) override { title = suffix; }
  void EndRun() override { ++endRuns; }
  bool ModalWindowUp() const override { return modal; }
  std::vector<std::string> statuses;
  int changes = 0;
  int raised = 0;
  int endRuns = 0;
  std::string title;
  bool modal = false;
};

class ShellTest : public ::testing::Test {
 protected:
  // A data file of the sample dataset in the test's folder.
  std::string File(const std::string& name, std::string_view process = "Токарная обработка") {
    const std::string path = m_dir.Path(name);
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    EXPECT_TRUE(test::WriteSampleDataset(path, process));
    return path;
  }
  // The index it is open at afterwards, or -1.
  int Open(const std::string& name, int source = kFromDialog) {
    return m_shell.OpenDatasetFile(name, source) ? m_shell.Datasets().CurrentIndex() : -1;
  }
  int SlotAt(int index) const { return m_shell.Datasets().Entry(index) ? m_shell.Datasets().Entry(index)->slot : 0; }
  OpenDatasetList& List() { return m_shell.Datasets(); }
  int Loads() const { return Count("Load DS from file"); }
  int Count(std::string_view prefix) const {
    int n = 0;
    for (const std::string& line : m_fake.log.lines) n += line.find(prefix) != std::string::npos ? 1 : 0;
    return n;
  }
  std::vector<std::string> Processes() {
    std::vector<std::string> names;
    for (int i = 0; i < List().Count(); ++i) names.push_back(List().At(i)->processName);
    return names;
  }
  void Change(int index) {
    List().At(index)->comment = "изменено";
    List().At(index)->Touch();
  }

  test::FakePlatform m_fake;
  test::TempFolder m_dir;
  RecordingView m_view;
  Shell m_shell{&m_view};
};

TEST_F(ShellTest, EachFileIsOpenOnceAndOpeningItAgainSwitchesToIt) {
  const std::string a = File("a.mvl", "А");
  const std::string b = File("b.mvl", "Б");
  EXPECT_EQ(Open(a), 0);
  EXPECT_EQ(Open(b), 1);
  EXPECT_EQ(Processes(), (std::vector<std::string>{"А", "Б"}));
  EXPECT_EQ(SlotAt(0), 1);
  EXPECT_EQ(SlotAt(1), 2);
  EXPECT_EQ(List().At(1)->slot, 2);

  fs::create_symlink(a, m_dir.Path("link.mvl"));
  const struct {
    const char* what;
    std::string name;
  } kSpellings[] = {
      {"as opened", a},
      {"with ./", m_dir.Path("./a.mvl")},
      {"through a missing folder and ..", m_dir.Path("nowhere/../a.mvl")},
      {"through a link", m_dir.Path("link.mvl")},
      {"relative", fs::relative(a).string()},
  };
  for (const auto& c : kSpellings) {
    SCOPED_TRACE(c.what);
    List().SetCurrent(1);
    EXPECT_EQ(Open(c.name), 0);
    EXPECT_EQ(m_shell.StatusLine(), "Запрошенный файл уже открыт \"" + c.name + "\"");
  }
  EXPECT_EQ(List().Count(), 2);
  EXPECT_EQ(Loads(), 2);
  EXPECT_TRUE(m_fake.messages.shown.empty());
}

TEST_F(ShellTest, OpeningLogsAndTellsWhatHappened) {
  const std::string a = File("a.mvl");
  ASSERT_EQ(Open(a, kFromCommandLine), 0);
  bool logged = false;
  for (const auto& line : m_fake.log.lines) logged |= line.starts_with("-Open.3: File \"" + a + "\", ");
  EXPECT_TRUE(logged);
  EXPECT_EQ(Loads(), 1);  // once, by the shell, with the slot
  EXPECT_TRUE(m_shell.StatusLine().ends_with("  Открыт файл \"" + a + "\""));
  EXPECT_FALSE(m_shell.Busy());

  // The kinds of file that cannot be opened yet say so plainly, in capitals too, as a warning;
  // any other extension is unknown.
  const struct {
    const char* name;
    const char* kind;  // "" for an unknown extension
  } kCases[] = {{"x.txt", ""},
                {"X.MEF", "файл обмена данными (расширение mef)"},
                {"old.smp", "файл данных версии DOS (расширение smp)"},
                {"study.Msa", "файл данных MSA (расширение msa)"}};
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    m_fake.messages.shown.clear();
    const std::string path = m_dir.Path(c.name);
    test::WriteFileBytes(path, "x");
    EXPECT_EQ(Open(path), -1);
    EXPECT_EQ(List().Count(), 1);
    ASSERT_EQ(m_fake.messages.shown.size(), 1u);
    const platform::TMsgWinParams& shown = m_fake.messages.shown[0];
    if (*c.kind == '\0') {
      EXPECT_EQ(shown.kind, platform::MsgKind::Error);
      EXPECT_EQ(shown.text, UnknownExtensionText(path));
      EXPECT_FALSE(NotYetOpenedText(path));
    } else {
      EXPECT_EQ(shown.kind, platform::MsgKind::Warning);
      EXPECT_EQ(shown.text, "Файл \"" + path + "\" не открыт\r\n\r\nЭто " + c.kind +
                                ", а данная версия приложения Morvalen пока не умеет открывать файлы этого типа");
    }
  }
  const std::string text = m_dir.Path("x.txt");
  EXPECT_EQ(UnknownExtensionText(text),
            "Неизвестное расширение имени файла - \"txt\"\r\n\r\nНе опознан тип загружаемого файла \"" + text +
                "\"\r\n\r\nДанная версия приложения Morvalen может работать только с файлами, имеющими "
                "расширения:\r\nmvl, smp, msa, mef\r\n\r\nЕсли Вы считаете, то текущее расширение файла указано "
                "неверно, то Вы можете изменить его средствами операционной системы и загрузить файл снова");
}

TEST_F(ShellTest, WhatCannotBeOpenedLeavesTheListAsItWas) {
  const std::string damaged = m_dir.Path("damaged.mvl");
  test::WriteFileBytes(damaged, "not a data file at all");
  for (const std::string& name : {m_dir.Path("missing.mvl"), damaged}) {
    SCOPED_TRACE(name);
    m_fake.messages.shown.clear();
    EXPECT_EQ(Open(name), -1);
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(List().CurrentIndex(), -1);
    ASSERT_EQ(m_fake.messages.shown.size(), 1u);  // the load flow's own message
    EXPECT_EQ(m_fake.messages.shown[0].kind, platform::MsgKind::Error);
  }
}

TEST_F(ShellTest, OpenDialogFiltersInOrderStartingInTheLastFolder) {
  const std::string a = File("sub/a.mvl");
  m_shell.dataFolder = "/данные";
  m_fake.fileDialogs.choices = {std::nullopt, a, std::nullopt};
  EXPECT_FALSE(m_shell.OpenWithDialog());  // cancelled
  EXPECT_TRUE(m_shell.OpenWithDialog());
  EXPECT_FALSE(m_shell.OpenWithDialog(true));
  ASSERT_EQ(m_fake.fileDialogs.asked.size(), 3u);
  EXPECT_EQ(m_fake.fileDialogs.asked[0].title, "Открыть файл данных");
  EXPECT_EQ(m_fake.fileDialogs.asked[0].filter,
            "Файл данных SPC (*.mvl);;Файл данных MSA (*.msa);;Файл данных любого поддерживаемого формата (*.mvl "
            "*.smp *.msa);;Все файлы (*)");
  EXPECT_TRUE(m_fake.fileDialogs.asked[2].filter.starts_with("Файл данных MSA (*.msa);;Файл данных SPC (*.mvl)"));
  EXPECT_EQ(m_fake.fileDialogs.asked[0].folder, "/данные");
  EXPECT_EQ(m_fake.fileDialogs.asked[2].folder, m_dir.Path("sub"));
  bool logged = false;
  for (const auto& line : m_fake.log.lines) logged |= line.starts_with("-Open.1: File");
  EXPECT_TRUE(logged);
}

TEST_F(ShellTest, TwentyFirstDatasetIsRefusedHoweverItComes) {
  const std::string kLimit =
      "Количество открытых наборов данных достигло максимума - 20. Закройте один из них, чтобы создать или "
      "открыть новый";
  for (int i = 0; i < kMaxOpenDatasets; ++i) {
    ASSERT_EQ(Open(File("f" + std::to_string(i) + ".mvl")), i);
  }
  const std::string extra = File("extra.mvl");
  EXPECT_EQ(Open(extra), -1);
  m_fake.messages.answers = {true};
  EXPECT_FALSE(m_shell.NewDataset(DatasetKind::Spc));
  EXPECT_EQ(List().Count(), kMaxOpenDatasets);
  EXPECT_EQ(Loads(), kMaxOpenDatasets);
  const auto texts = m_fake.messages.Texts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), kLimit), 2);
  // A file already open is still found; a closed one frees its place and its slot.
  EXPECT_EQ(Open(m_dir.Path("f3.mvl")), 3);
  ASSERT_TRUE(m_shell.CloseDataset(SlotAt(3)));
  EXPECT_EQ(Open(extra), kMaxOpenDatasets - 1);
  EXPECT_EQ(SlotAt(kMaxOpenDatasets - 1), 4);
  EXPECT_EQ(List().MostOpen(), kMaxOpenDatasets);
}

TEST_F(ShellTest, NewDatasetsAreNumberedInTheRun) {
  m_fake.messages.answers = {false, true, true};
  EXPECT_FALSE(m_shell.NewDataset(DatasetKind::Spc));
  EXPECT_TRUE(m_shell.NewDataset(DatasetKind::Spc));
  EXPECT_TRUE(m_shell.NewDataset(DatasetKind::Spc));
  EXPECT_EQ(m_fake.messages.shown[0].text, "Вы действительно хотите создать новый набор данных SPC?");
  EXPECT_EQ(List().DisplayName(0), "Новый SPC 1");
  EXPECT_EQ(List().DisplayName(1), "Новый SPC 2");
  EXPECT_EQ(List().StatusText(1), "Новый");
  EXPECT_EQ(Count("-Create new SPC dataset"), 2);
  // Closing the first frees the lowest slot for the next one.
  m_fake.prompts.choices = {static_cast<int>(CloseChoice::DontSave)};
  ASSERT_TRUE(m_shell.CloseDataset(1));
  m_fake.messages.answers = {true};
  ASSERT_TRUE(m_shell.NewDataset(DatasetKind::Spc));
  EXPECT_EQ(SlotAt(1), 1);
  EXPECT_EQ(List().DisplayName(1), "Новый SPC 3");
  EXPECT_EQ(List().SummaryText(), "2 (SPC-2, MSA-0)");
}

TEST_F(ShellTest, CloseQuestionAndItsFiveAnswers) {
  const std::string files[] = {File("a.mvl", "А"), File("b.mvl", "Б"), File("c.mvl", "В")};
  const auto openAllChanged = [&] {
    for (const std::string& f : files) ASSERT_GE(Open(f), 0);
    for (int i = 0; i < 3; ++i) Change(i);
  };
  const auto comment = [](const std::string& file) { return ReadSpcFile(file).dataset->comment; };

  // "Продолжить работу" closes nothing and asks nothing more.
  openAllChanged();
  m_fake.prompts.choices = {static_cast<int>(CloseChoice::Continue)};
  EXPECT_FALSE(m_shell.CloseAll());
  EXPECT_EQ(List().Count(), 3);
  ASSERT_EQ(m_fake.prompts.questions.size(), 1u);
  const platform::ChoiceRequest& q = m_fake.prompts.questions[0];
  EXPECT_EQ(q.caption, "Нужно ли сохранить файл ?");
  EXPECT_EQ(q.text, "Вы хотите сохранить файл\r\n" + files[0]);
  EXPECT_EQ(q.buttons, (std::vector<std::string>{"Сохранить", "Сохранить все", "Не сохранять", "Не сохранять все",
                                                  "Продолжить работу"}));
  EXPECT_EQ(q.cancelButton, 4);

  // "Не сохранять все" closes the rest without questions; nothing is written.
  m_fake.prompts.questions.clear();
  m_fake.prompts.choices = {static_cast<int>(CloseChoice::DontSaveAll)};
  EXPECT_TRUE(m_shell.CloseAll());
  EXPECT_EQ(m_fake.prompts.questions.size(), 1u);
  for (const std::string& f : files) EXPECT_EQ(comment(f), "");
  EXPECT_EQ(Count("-Close DS "), 3);
  EXPECT_EQ(Count("-Close DS " + files[0] + ", changes="), 1);

  // "Сохранить все" saves this one and the rest; the choice ends with that closing run.
  openAllChanged();
  m_fake.prompts.questions.clear();
  m_fake.prompts.choices = {static_cast<int>(CloseChoice::Save), static_cast<int>(CloseChoice::SaveAll)};
  EXPECT_TRUE(m_shell.CloseAll());
  EXPECT_EQ(m_fake.prompts.questions.size(), 2u);
  for (const std::string& f : files) EXPECT_EQ(comment(f), "изменено");
}

TEST_F(ShellTest, AFailedSaveKeepsTheDatasetOpenAndEndsTheChoiceForAll) {
  ASSERT_EQ(Open(File("a.mvl", "А")), 0);
  ASSERT_EQ(Open(File("gone/b.mvl", "Б")), 1);
  ASSERT_EQ(Open(File("c.mvl", "В")), 2);
  for (int i = 0; i < 3; ++i) Change(i);
  fs::remove_all(m_dir.Path("gone"));
  m_fake.prompts.choices = {static_cast<int>(CloseChoice::SaveAll)};
  EXPECT_FALSE(m_shell.CloseAll());
  EXPECT_EQ(Processes(), (std::vector<std::string>{"Б", "В"}));
  EXPECT_EQ(List().CurrentIndex(), 0);
  EXPECT_TRUE(List().At(0)->IsChanged());
  // The next closing run asks again, from the dataset that stayed.
  m_fake.prompts.questions.clear();
  m_fake.prompts.choices = {static_cast<int>(CloseChoice::DontSave), static_cast<int>(CloseChoice::DontSave)};
  EXPECT_TRUE(m_shell.CloseAll());
  EXPECT_EQ(m_fake.prompts.questions.size(), 2u);
  EXPECT_EQ(List().CurrentIndex(), -1);
}

TEST_F(ShellTest, TheNextDatasetTakesTheClosedCurrentOnesPlace) {
  const std::string files[] = {File("a.mvl", "А"), File("b.mvl", "Б"), File("c.mvl", "В")};
  const struct {
    int current;
    int closed;
    int currentAfter;
    const char* currentName;
  } kCases[] = {
      {1, 1, 1, "В"},  // the one after it
      {2, 2, 1, "Б"},  // the last: the one before it
      {2, 0, 1, "В"},  // one before the current: the same dataset stays current
      {0, 2, 0, "А"},  // one after the current
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(testing::Message() << "current " << c.current << ", closed " << c.closed);
    for (const std::string& file : files) ASSERT_GE(Open(file), 0);
    List().SetCurrent(c.current);
    ASSERT_TRUE(m_shell.CloseDataset(SlotAt(c.closed)));
    EXPECT_EQ(List().CurrentIndex(), c.currentAfter);
    ASSERT_NE(List().Current(), nullptr);
    EXPECT_EQ(List().Current()->processName, c.currentName);
    ASSERT_TRUE(m_shell.CloseAll());
  }
  EXPECT_FALSE(m_shell.CloseDataset(1));  // nothing open
}

TEST_F(ShellTest, SaveAsMovesTheDatasetButNeverOntoAnotherOpenOne) {
  const std::string a = File("a.mvl");
  const std::string b = File("b.mvl");
  ASSERT_EQ(Open(a), 0);
  ASSERT_EQ(Open(b), 1);
  m_fake.fileDialogs.choices = {std::nullopt};  // cancelled
  EXPECT_FALSE(m_shell.SaveDataset(1, true));
  const std::string bBefore = test::ReadFileBytes(b);
  m_fake.fileDialogs.choices = {b};
  EXPECT_FALSE(m_shell.SaveDataset(1, true));
  EXPECT_EQ(test::ReadFileBytes(b), bBefore);
  EXPECT_EQ(m_fake.messages.shown.back().kind, platform::MsgKind::Warning);

  const std::string copy = m_dir.Path("copy.mvl");
  m_fake.fileDialogs.choices = {copy};
  ASSERT_TRUE(m_shell.SaveDataset(1, true));
  EXPECT_EQ(List().At(0)->fileName, copy);
  EXPECT_EQ(m_shell.StatusLine(), "  Сохранен файл " + copy);
  EXPECT_TRUE(ReadSpcFile(copy).Ok());
  EXPECT_EQ(Open(copy), 0);
  EXPECT_EQ(Open(a), 2);  // the original is another file again
  EXPECT_FALSE(m_shell.SaveDataset(9, false));
}

TEST_F(ShellTest, AnExampleIsNeverSavedUnderItsOwnName) {
  const std::string a = File("a.mvl");
  ASSERT_EQ(Open(a), 0);
  List().At(0)->accessFlags |= access_flag::kExample;
  Change(0);
  const std::string before = test::ReadFileBytes(a);
  const std::string warning = "Набор данных\r\n" + a +
                              "\r\nне может быть сохранен под своим именем, т.к. он является файлом примера и не "
                              "должен изменяться пользователем.\r\n\r\nОднако, если внесенные изменения нужны для "
                              "дальнейшей работы, этот набор данных можно сохранить под другим именем через пункт "
                              "меню \"Файл/Сохранить как...\"";
  m_fake.messages.shown.clear();
  EXPECT_FALSE(m_shell.SaveDataset(1, false));
  m_fake.fileDialogs.choices = {m_dir.Path("./a.mvl")};  // "save as" the same file
  EXPECT_FALSE(m_shell.SaveDataset(1, true));
  EXPECT_EQ(m_fake.messages.Texts(), (std::vector<std::string>{warning, warning}));
  EXPECT_EQ(test::ReadFileBytes(a), before);

  // Under another name it is saved and is no example any more.
  const std::string mine = m_dir.Path("mine.mvl");
  m_fake.fileDialogs.choices = {mine};
  ASSERT_TRUE(m_shell.SaveDataset(1, true));
  EXPECT_FALSE(List().At(0)->IsExample());
  EXPECT_TRUE(m_shell.SaveDataset(1, false));

  // In debug mode the example may be saved where it is.
  ASSERT_EQ(Open(a), 1);
  List().At(1)->accessFlags |= access_flag::kExample;
  m_shell.debugMode = true;
  EXPECT_TRUE(m_shell.SaveDataset(SlotAt(1), false));
}

TEST_F(ShellTest, PasswordOnOpening) {
  const std::string file = m_dir.Path("secret.mvl");
  {
    auto ds = test::SampleDataset("Секрет");
    ds->responsible = "Иванов И.И.";
    ds->passwordHash = *PasswordHash("abcde");
    ds->accessFlags |= 1;
    std::string error;
    ASSERT_TRUE(WriteSpcFile(*ds, file, error)) << error;
  }
  // Cancelled after a wrong try: refused, logged, nothing open.
  m_fake.prompts.passwords = {"wrong"};
  EXPECT_EQ(Open(file), -1);
  EXPECT_EQ(List().Count(), 0);
  ASSERT_EQ(m_fake.prompts.passwordPrompts.size(), 1u);
  const platform::PasswordRequest& prompt = m_fake.prompts.passwordPrompts[0];
  EXPECT_EQ(prompt.caption, "Укажите пароль");
  EXPECT_EQ(prompt.text, "Для доступа к файлу \"" + file + "\" требуется указать пароль");
  EXPECT_EQ(prompt.note, "Для информации: владелец набора данных - Иванов И.И.");
  EXPECT_EQ(m_fake.messages.Texts(), (std::vector<std::string>{"Пароль указан неверно",
                                                               "Доступ к файлу \"" + file +
                                                                   "\" невозможен без указания пароля"}));
  EXPECT_EQ(Count("Access denied: password failed (owner - Иванов И.И.)"), 1);

  // The right one, in other letter case, opens it unlocked.
  m_fake.prompts.passwords = {"AbCdE"};
  ASSERT_EQ(Open(file), 0);
  EXPECT_TRUE(List().At(0)->unlocked);
}

TEST_F(ShellTest, SettingAndRemovingAPassword) {
  TDatasetSPC ds;
  m_fake.prompts.newPasswords = {{"abcde", "abcdf"}, {"abcd", "abcd"}, {"aaaaa", "aaaaa"}, {"секрет", "СЕКРЕТ"},
                                 {"секрет", "СЕКРЕТ"}};
  ds.responsible = "";
  // Without a responsible person the password is not taken.
  EXPECT_FALSE(Shell::SetPassword(ds));
  EXPECT_EQ(m_fake.prompts.setPasswordMessages,
            (std::vector<std::string>{
                "Пароль не совпадает с повтором", "Длина пароля не может быть менее 5 символов",
                "Пароль не может целиком состоять из одинаковых символов",
                "При установленном пароле необходимо указать ответственного за набор данных (рекомендуется указать "
                "имя и координаты для связи)",
                "При установленном пароле необходимо указать ответственного за набор данных (рекомендуется указать "
                "имя и координаты для связи)"}));
  EXPECT_EQ(ds.passwordHash, 0u);
  ds.responsible = "Петров";
  m_fake.prompts.newPasswords = {{"секрет", "СЕКРЕТ"}};
  ASSERT_TRUE(Shell::SetPassword(ds));
  EXPECT_EQ(ds.passwordHash, *PasswordHash("секрет"));
  EXPECT_EQ(ds.accessFlags & 1u, 1u);
  // "Сбросить": asked, then the hash 0.
  m_fake.prompts.resetPassword = true;
  m_fake.messages.answers = {true};
  ASSERT_TRUE(Shell::SetPassword(ds));
  EXPECT_EQ(ds.passwordHash, 0u);
  EXPECT_EQ(m_fake.messages.shown.back().text, "Вы действительно желаете снять пароль?");
}

TEST_F(ShellTest, InstanceMessagesQueueFilesForTheIdleOpener) {
  const std::string file = File("x.mvl");
  const auto record = [](const std::string& bytes) {
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
  };
  const std::string valid = EncodeInstanceMessage(OpenFileMessage(file));
  std::string wrongHeader = valid;
  wrongHeader[1] = 'X';
  std::string tooLong = valid;
  tooLong[70] = 0x7F;  // payload size beyond what arrived
  for (const std::string& ignored : {valid.substr(0, 127), wrongHeader, tooLong}) {
    EXPECT_EQ(m_shell.HandleInstanceMessage(record(ignored)), std::nullopt);
  }
  EXPECT_TRUE(m_shell.Queue().Empty());

  m_shell.HandleInstanceMessage(record(valid));
  ASSERT_EQ(m_shell.Queue().Size(), 1u);
  EXPECT_EQ(m_shell.Queue().Items()[0].source, kFromInstance);
  EXPECT_EQ(m_view.raised, 1);
  // Not while a modal window is up, nor while the shell is busy (the start-up, say).
  m_view.modal = true;
  EXPECT_FALSE(m_shell.OpenQueued());
  m_view.modal = false;
  {
    const Shell::BusyScope busy(m_shell, "start-up");
    EXPECT_FALSE(m_shell.OpenQueued());
    EXPECT_EQ(m_shell.EndRun(false), std::nullopt);  // the window is not closed meanwhile
    EXPECT_EQ(Count("Deny close app: process is active - start-up"), 1);
  }
  EXPECT_TRUE(m_shell.OpenQueued());
  EXPECT_EQ(List().Count(), 1);
  EXPECT_FALSE(m_shell.OpenQueued());
  bool logged = false;
  for (const auto& line : m_fake.log.lines) logged |= line.starts_with("-Open.4: File");
  EXPECT_TRUE(logged);
}

TEST_F(ShellTest, TerminateRequestEndsTheRunOnlyWithoutUnsavedChanges) {
  InstanceMessage terminate;
  terminate.code = InstanceCode::Terminate;
  terminate.requester = "Установщик";
  const std::string bytes = EncodeInstanceMessage(terminate);
  const std::vector<std::uint8_t> record(bytes.begin(), bytes.end());

  m_shell.HandleInstanceMessage(record);
  EXPECT_EQ(m_view.endRuns, 1);
  EXPECT_EQ(Count("Request for terminate: Установщик"), 1);
  EXPECT_EQ(Count("Terminate: Установщик"), 1);

  ASSERT_EQ(Open(File("a.mvl")), 0);
  Change(0);
  m_shell.HandleInstanceMessage(record);
  EXPECT_EQ(m_view.endRuns, 1);
  EXPECT_EQ(m_view.title, " - ЗАКРОЙТЕ ЭТО ОКНО!");
  EXPECT_EQ(m_shell.StatusLine(),
            "Закройте этот экземпляр приложения (это окно) прямо сейчас, чтобы другой экземпляр мог выполнить важную "
            "операцию");
}

TEST_F(ShellTest, SessionInformationIsAnsweredAndKept) {
  m_shell.sessionInfo.program = "Morvalen 1.0";
  m_shell.sessionInfo.dataFolder = "/данные";
  m_shell.sessionNumber = 17;
  InstanceMessage ask;
  ask.code = InstanceCode::AskSession;
  ask.senderWindow = 4242;
  const std::string bytes = EncodeInstanceMessage(ask);
  const auto answer = m_shell.HandleInstanceMessage(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
  ASSERT_TRUE(answer);
  const auto decoded = DecodeInstanceMessage(*answer);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->code, InstanceCode::SessionInfo);
  EXPECT_EQ(decoded->session, 17);
  EXPECT_EQ(decoded->targetWindow, 4242);
  // An instance that receives it keeps it.
  Shell other;
  other.HandleInstanceMessage(std::vector<std::uint8_t>(answer->begin(), answer->end()));
  ASSERT_TRUE(other.PeerInfo());
  EXPECT_EQ(other.PeerInfo()->dataFolder, "/данные");
}

TEST_F(ShellTest, StartupOpensCommandLineFilesThenAsksAboutThePreviousOnes) {
  const std::string a = File("a.mvl", "А");
  const std::string b = File("b.mvl", "Б");
  const std::string c = File("c.mvl", "В");
  m_shell.Queue().Push(a, kFromCommandLine);
  m_shell.Queue().Push(c, kFromInstance);  // handed over during the start: opened, not counted
  m_fake.messages.answers = {true};
  m_shell.OpenStartupDatasets({b, a, c}, false, "Morvalen");
  EXPECT_EQ(Processes(), (std::vector<std::string>{"А", "В", "Б"}));
  ASSERT_EQ(m_fake.messages.shown.size(), 1u);
  EXPECT_EQ(m_fake.messages.shown[0].text,
            "При запуске приложения по запросу были открыты наборы данных (1).\r\nНужно ли также открыть наборы "
            "данных (1), которые были в предыдущем сеансе работы ?");
  EXPECT_EQ(Count("Activation OK: Datasets - 3 (SPC-3, MSA-0)"), 1);
  EXPECT_EQ(m_view.statuses.back(), "  Система Morvalen успешно загружена");
  EXPECT_EQ(Count("-Open.5: File"), 1);
  EXPECT_EQ(Count("-Open.4: File"), 1);

  // Without command-line files the previous ones open without a question; with "Y" not at all.
  Shell quiet;
  m_fake.messages.shown.clear();
  quiet.OpenStartupDatasets({b}, false, "Morvalen");
  EXPECT_EQ(quiet.Datasets().Count(), 1);
  Shell none;
  none.OpenStartupDatasets({b}, true, "Morvalen");
  EXPECT_EQ(none.Datasets().Count(), 0);
  EXPECT_TRUE(m_fake.messages.shown.empty());
}

TEST_F(ShellTest, EndOfRunKeepsTheOpenFilesForTheNextRun) {
  const std::string a = File("a.mvl");
  const std::string b = File("b.mvl");
  ASSERT_EQ(Open(a), 0);
  ASSERT_EQ(Open(b), 1);
  m_fake.messages.answers = {true};
  ASSERT_TRUE(m_shell.NewDataset(DatasetKind::Spc));  // no file: not kept
  Change(0);
  // "Продолжить работу": the run goes on with everything open.
  m_fake.prompts.choices = {static_cast<int>(CloseChoice::Continue)};
  EXPECT_EQ(m_shell.EndRun(false), std::nullopt);
  EXPECT_EQ(List().Count(), 3);
  // Saved automatically, without a question; only the dataset without a file is asked about.
  m_fake.prompts.questions.clear();
  m_fake.prompts.choices = {static_cast<int>(CloseChoice::DontSave)};
  const auto files = m_shell.EndRun(true);
  ASSERT_TRUE(files);
  EXPECT_EQ(*files, (std::vector<std::string>{a, b}));
  EXPECT_EQ(ReadSpcFile(a).dataset->comment, "изменено");
  EXPECT_EQ(List().Count(), 0);
  ASSERT_EQ(m_fake.prompts.questions.size(), 1u);
  EXPECT_EQ(m_fake.prompts.questions[0].text, "Вы хотите сохранить файл\r\nНовый SPC 1");
}

}  // namespace
}  // namespace mv
