#include "app/open_datasets.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "spc/spc_file.h"
#include "support/bytes.h"
#include "support/fake_platform.h"
#include "support/sample_dataset.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

class OpenDatasetsTest : public ::testing::Test {
 protected:
  // A data file of the sample dataset in the test's folder.
  std::string File(const std::string& name, std::string_view process = "Токарная обработка") {
    const std::string path = m_dir.Path(name);
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    EXPECT_TRUE(test::WriteSampleDataset(path, process));
    return path;
  }
  // Log lines of datasets read from files.
  int Loads() const {
    int n = 0;
    for (const std::string& line : m_fake.log.lines) n += line.starts_with("Load DS from file") ? 1 : 0;
    return n;
  }
  std::vector<std::string> Processes() const {
    std::vector<std::string> names;
    for (int i = 0; i < m_open.Count(); ++i) names.push_back(m_open.At(i)->processName);
    return names;
  }

  test::FakePlatform m_fake;
  test::TempFolder m_dir;
  OpenDatasets m_open;
};

TEST_F(OpenDatasetsTest, EachFileIsOpenOnceAndOpeningItAgainSwitchesToIt) {
  const std::string a = File("a.mvl", "А");
  const std::string b = File("b.mvl", "Б");
  EXPECT_EQ(m_open.Open(a), 0);
  EXPECT_EQ(m_open.Open(b), 1);
  EXPECT_EQ(m_open.CurrentIndex(), 1);
  EXPECT_EQ(Processes(), (std::vector<std::string>{"А", "Б"}));
  EXPECT_EQ(m_open.At(0)->slot, 1);
  EXPECT_EQ(m_open.At(1)->slot, 2);

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
    m_open.SetCurrent(1);
    EXPECT_EQ(m_open.Open(c.name), 0);
    EXPECT_EQ(m_open.CurrentIndex(), 0);
  }
  EXPECT_EQ(m_open.Count(), 2);
  EXPECT_EQ(Loads(), 2);
  EXPECT_TRUE(m_fake.messages.shown.empty());
}

TEST_F(OpenDatasetsTest, OpenDialogOffersDataFilesFromTheCurrentFolder) {
  const std::string a = File("sub/a.mvl");
  m_fake.fileDialogs.choices = {std::nullopt, a, std::nullopt};
  EXPECT_EQ(m_open.OpenWithDialog(), -1);  // cancelled
  EXPECT_EQ(m_open.OpenWithDialog(), 0);
  EXPECT_EQ(m_open.OpenWithDialog(), -1);
  ASSERT_EQ(m_fake.fileDialogs.asked.size(), 3u);
  for (const auto& request : m_fake.fileDialogs.asked) {
    EXPECT_EQ(request.title, "Открыть файл данных");
    EXPECT_EQ(request.filter, "Файл данных SPC (*.mvl);;Все файлы (*)");
  }
  EXPECT_EQ(m_fake.fileDialogs.asked[0].folder, "");
  EXPECT_EQ(m_fake.fileDialogs.asked[2].folder, m_dir.Path("sub"));
  EXPECT_EQ(m_open.Count(), 1);
}

TEST_F(OpenDatasetsTest, WhatCannotBeOpenedLeavesTheListAsItWas) {
  const std::string damaged = m_dir.Path("damaged.mvl");
  test::WriteFileBytes(damaged, "not a data file at all");
  for (const std::string& name : {m_dir.Path("missing.mvl"), damaged}) {
    SCOPED_TRACE(name);
    m_fake.messages.shown.clear();
    EXPECT_EQ(m_open.Open(name), -1);
    EXPECT_EQ(m_open.Count(), 0);
    EXPECT_EQ(m_open.CurrentIndex(), -1);
    ASSERT_EQ(m_fake.messages.shown.size(), 1u);  // the load flow's own message
    EXPECT_EQ(m_fake.messages.shown[0].kind, platform::MsgKind::Error);
  }
}

TEST_F(OpenDatasetsTest, TwentyFirstFileIsRefusedBeforeItIsRead) {
  for (int i = 0; i < kMaxOpenDatasets; ++i) {
    ASSERT_EQ(m_open.Open(File("f" + std::to_string(i) + ".mvl")), i);
  }
  const std::string extra = File("extra.mvl");
  EXPECT_EQ(m_open.Open(extra), -1);
  EXPECT_EQ(m_open.Count(), kMaxOpenDatasets);
  EXPECT_EQ(Loads(), kMaxOpenDatasets);
  ASSERT_EQ(m_fake.messages.shown.size(), 1u);
  EXPECT_EQ(m_fake.messages.shown[0].kind, platform::MsgKind::Warning);
  EXPECT_EQ(m_fake.messages.shown[0].text,
            "Количество открытых наборов данных достигло максимума - 20. Закройте один из них, чтобы создать или "
            "открыть новый");
  // A file already open is still found; a closed one frees its place and its slot.
  EXPECT_EQ(m_open.Open(m_dir.Path("f3.mvl")), 3);
  ASSERT_TRUE(m_open.Close(3));
  EXPECT_EQ(m_open.Open(extra), kMaxOpenDatasets - 1);
  EXPECT_EQ(m_open.At(kMaxOpenDatasets - 1)->slot, 4);
}

TEST_F(OpenDatasetsTest, ClosingAChangedDatasetAsksWhetherToSaveIt) {
  const struct {
    const char* what;
    const char* process;
    bool changed;
    bool answer;         // to the question, when asked
    bool folderRemoved;  // the file's folder is gone, so saving fails
    const char* question;  // nullptr: not asked; "%": with the file's name
    bool closed;
    bool saved;
  } kCases[] = {
      {"unchanged", "Токарная обработка", false, true, false, nullptr, true, false},
      {"changed, no", "Токарная обработка", true, false, false,
       "Сохранить изменения в наборе данных \"Токарная обработка\"?", true, false},
      {"changed, yes", "Токарная обработка", true, true, false,
       "Сохранить изменения в наборе данных \"Токарная обработка\"?", true, true},
      {"no process name", "", true, false, false, "%", true, false},
      {"yes, but the save fails", "Токарная обработка", true, true, true,
       "Сохранить изменения в наборе данных \"Токарная обработка\"?", false, false},
  };
  int n = 0;
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    const std::string file = File("case" + std::to_string(++n) + "/data.mvl", c.process);
    const std::string before = test::ReadFileBytes(file);
    ASSERT_EQ(m_open.Open(file), 0);
    TDatasetSPC& ds = *m_open.At(0);
    const std::string fileName = ds.fileName;  // ds goes with the closing
    ASSERT_FALSE(ds.IsChanged());
    if (c.changed) {
      ds.comment = "изменено";
      ds.Touch();
    }
    if (c.folderRemoved) fs::remove_all(fs::path(file).parent_path());
    m_fake.messages.shown.clear();
    m_fake.messages.answers = {c.answer};

    EXPECT_EQ(m_open.Close(0), c.closed);

    if (c.question) {
      ASSERT_FALSE(m_fake.messages.shown.empty());
      EXPECT_EQ(m_fake.messages.shown[0].kind, platform::MsgKind::Question);
      const std::string expected = std::string(c.question) == "%"
                                       ? "Сохранить изменения в наборе данных \"" + fileName + "\"?"
                                       : c.question;
      EXPECT_EQ(m_fake.messages.shown[0].text, expected);
    } else {
      EXPECT_TRUE(m_fake.messages.shown.empty());
    }
    if (c.folderRemoved) {
      EXPECT_EQ(m_fake.messages.shown.back().kind, platform::MsgKind::Error);  // the save flow's
    } else {
      const SpcReadResult onDisk = ReadSpcFile(file);
      ASSERT_TRUE(onDisk.Ok());
      EXPECT_EQ(onDisk.dataset->comment, c.saved ? "изменено" : "");
      if (!c.saved) {
        EXPECT_EQ(test::ReadFileBytes(file), before);
      }
    }
    EXPECT_EQ(m_open.Count(), c.closed ? 0 : 1);
    if (!c.closed) {
      EXPECT_EQ(m_open.CurrentIndex(), 0);
      EXPECT_TRUE(m_open.At(0)->IsChanged());
      // The user can still throw the changes away.
      m_fake.messages.answers = {false};
      EXPECT_TRUE(m_open.Close(0));
    }
  }
}

TEST_F(OpenDatasetsTest, CloseAllStopsAtTheFirstDatasetThatStaysOpen) {
  ASSERT_EQ(m_open.Open(File("a.mvl", "А")), 0);
  ASSERT_EQ(m_open.Open(File("gone/b.mvl", "Б")), 1);
  ASSERT_EQ(m_open.Open(File("c.mvl", "В")), 2);
  m_open.At(1)->Touch();
  fs::remove_all(m_dir.Path("gone"));
  m_fake.messages.answers = {true};  // save "Б": fails
  EXPECT_FALSE(m_open.CloseAll());
  EXPECT_EQ(Processes(), (std::vector<std::string>{"Б", "В"}));
  m_fake.messages.answers = {false};
  EXPECT_TRUE(m_open.CloseAll());
  EXPECT_EQ(m_open.Count(), 0);
  EXPECT_EQ(m_open.CurrentIndex(), -1);
}

TEST_F(OpenDatasetsTest, TheNextDatasetTakesTheClosedCurrentOnesPlace) {
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
    for (const std::string& file : files) ASSERT_GE(m_open.Open(file), 0);
    m_open.SetCurrent(c.current);
    ASSERT_TRUE(m_open.Close(c.closed));
    EXPECT_EQ(m_open.CurrentIndex(), c.currentAfter);
    ASSERT_NE(m_open.Current(), nullptr);
    EXPECT_EQ(m_open.Current()->processName, c.currentName);
    ASSERT_TRUE(m_open.CloseAll());
  }
  EXPECT_FALSE(m_open.Close(0));  // nothing open
}

TEST_F(OpenDatasetsTest, SaveAsMovesTheDatasetToTheChosenFile) {
  const std::string a = File("a.mvl");
  ASSERT_EQ(m_open.Open(a), 0);
  m_fake.fileDialogs.choices = {std::nullopt};  // cancelled
  EXPECT_FALSE(m_open.Save(0, true));
  const std::string copy = m_dir.Path("copy.mvl");
  m_fake.fileDialogs.choices = {copy};
  ASSERT_TRUE(m_open.Save(0, true));
  EXPECT_EQ(m_open.At(0)->fileName, copy);
  EXPECT_TRUE(ReadSpcFile(copy).Ok());
  // The dataset now belongs to the copy; the original is another file again.
  EXPECT_EQ(m_open.Open(copy), 0);
  EXPECT_EQ(m_open.Open(a), 1);
  EXPECT_FALSE(m_open.Save(2, false));
}

TEST_F(OpenDatasetsTest, SummaryAndStatusTexts) {
  EXPECT_EQ(m_open.SummaryText(), "нет");
  ASSERT_EQ(m_open.Open(File("a.mvl")), 0);
  ASSERT_EQ(m_open.Open(File("b.mvl")), 1);
  EXPECT_EQ(m_open.SummaryText(), "2 (SPC-2, MSA-0)");
  EXPECT_EQ(m_open.StatusText(0), "Сохранен");
  m_open.At(0)->Touch();
  EXPECT_EQ(m_open.StatusText(0), "Изменен");
  m_open.At(1)->isNew = true;
  EXPECT_EQ(m_open.StatusText(1), "Новый");
  EXPECT_EQ(m_open.StatusText(2), "");
}

TEST_F(OpenDatasetsTest, OpeningTellsWhatHappened) {
  const std::string a = File("a.mvl");
  ASSERT_EQ(m_open.Open(a, OpenDatasets::kFromCommandLine), 0);
  bool logged = false;
  for (const auto& line : m_fake.log.lines) logged |= line.rfind("-Open.3: File \"" + a + "\", ", 0) == 0;
  EXPECT_TRUE(logged);
  EXPECT_EQ(m_open.Open(a), 0);
  EXPECT_EQ(m_open.StatusLine(), "Запрошенный файл уже открыт \"" + a + "\"");

  m_fake.messages.shown.clear();
  const std::string text = m_dir.Path("x.txt");
  test::WriteFileBytes(text, "x");
  EXPECT_EQ(m_open.Open(text), -1);
  ASSERT_EQ(m_fake.messages.shown.size(), 1u);
  EXPECT_EQ(m_fake.messages.shown[0].text,
            "Неизвестное расширение имени файла - \"txt\"\r\n\r\nНе опознан тип загружаемого файла \"" + text +
                "\"\r\n\r\nДанная версия приложения Morvalen может работать только с файлами, имеющими "
                "расширения:\r\nmvl, smp, msa, mef\r\n\r\nЕсли Вы считаете, то текущее расширение файла указано "
                "неверно, то Вы можете изменить его средствами операционной системы и загрузить файл снова");
}

TEST_F(OpenDatasetsTest, AnExampleIsNotSavedUnderItsOwnName) {
  ASSERT_EQ(m_open.Open(File("a.mvl")), 0);
  m_open.At(0)->accessFlags |= access_flag::kExample;
  m_open.At(0)->Touch();
  m_fake.messages.shown.clear();
  EXPECT_FALSE(m_open.Save(0, false));
  ASSERT_EQ(m_fake.messages.shown.size(), 1u);
  EXPECT_EQ(m_fake.messages.shown[0].kind, platform::MsgKind::Warning);
  EXPECT_EQ(m_fake.messages.shown[0].text.rfind("Набор данных\r\n" + m_open.At(0)->fileName +
                                                    "\r\nне может быть сохранен под своим именем",
                                                0),
            0u);
  m_open.debugMode = true;
  EXPECT_TRUE(m_open.Save(0, false));
  EXPECT_EQ(m_open.StatusLine(), "  Сохранен файл " + m_open.At(0)->fileName);
}

}  // namespace
}  // namespace mv
