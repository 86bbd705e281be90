#include "reports/report_viewer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "reports/viewer_fakes.h"
#include "support/bytes.h"
#include "support/fake_platform.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// A report as the reports leave one: a document and its pictures in a numbered folder.
class ReportViewerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetWordProcessor();
    fake.clock.Freeze(test::At(2024, 1, 31, 10, 0, 0));
    folder = dir.Path("session/001");
    fs::create_directories(folder);
    test::WriteFileBytes(folder + "/rep_spc_X.htm",
                         "<html><head><meta charset=\"windows-1251\"></head><body>\xCE\xF2\xF7\xE5\xF2</body></html>");
    test::WriteFileBytes(folder + "/img1_1.jpg", std::string(3000, 'j'));
    test::WriteFileBytes(folder + "/yes.gif", std::string(200, 'g'));
    task.document = folder + "/rep_spc_X.htm";
    task.caption = "Отчет по процессу";
    task.logNumber = 7;
    task.extraInfo = "X";
  }
  void TearDown() override { ForgetWordProcessor(); }

  std::uint64_t ReportBytes() const {
    std::uint64_t total = 0;
    for (const auto& e : fs::directory_iterator(folder)) total += e.file_size();
    return total;
  }
  std::vector<std::string> Errors() const {
    std::vector<std::string> texts;
    for (const auto& m : fake.messages.shown) {
      if (m.kind == platform::MsgKind::Error) texts.push_back(m.text);
    }
    return texts;
  }
  bool Logged(const std::string& line) const {
    return std::find(fake.log.lines.begin(), fake.log.lines.end(), line) != fake.log.lines.end();
  }

  test::FakePlatform fake;
  test::ViewerFakes services;
  test::TempFolder dir;
  std::string folder;
  TReportTask task;
};

TEST_F(ReportViewerTest, SaveAsCopiesThePicturesAndRenamesTheDocument) {
  fs::create_directories(dir.Path("out"));
  const std::string target = dir.Path("out/report.htm");
  test::WriteFileBytes(target, "older report");  // the dialog has asked about replacing it
  fake.fileDialogs.choices.push_back(target);
  ReportViewer viewer(task);
  ASSERT_TRUE(viewer.SaveAs());
  ASSERT_EQ(fake.fileDialogs.asked.size(), 1u);
  EXPECT_EQ(fake.fileDialogs.asked[0].title, "Сохранение отчета в файле");
  EXPECT_EQ(fake.fileDialogs.asked[0].defaultExt, "htm");
  EXPECT_EQ(fake.fileDialogs.asked[0].filter, "Документ HTML (*.htm *.html)");
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.Path("out"))) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"img1_1.jpg", "report.htm", "yes.gif"}));
  EXPECT_EQ(test::ReadFileBytes(target), test::ReadFileBytes(task.document));
  EXPECT_EQ(fake.log.lines.back(), "Save report to " + target + " (3f, " + std::to_string(ReportBytes() / 1024) + "kb)");
  const platform::TMsgWinParams& info = fake.messages.shown.back();
  EXPECT_EQ(info.kind, platform::MsgKind::Info);
  EXPECT_EQ(info.text, "Отчет сохранен в файле\r\n\r\n" + target);
  EXPECT_EQ(info.timeout, 30);
  // The report itself is as it was.
  EXPECT_TRUE(fs::exists(task.document));
}

TEST_F(ReportViewerTest, SaveAsFailuresLeaveTheReportAsItWas) {
  // Into a folder that is not there: the copy fails.
  fake.fileDialogs.choices.push_back(dir.Path("missing/report.htm"));
  // Into the report's own folder under another name: the document is copied, not moved away.
  fake.fileDialogs.choices.push_back(folder + "/copy.htm");
  ReportViewer viewer(task);
  EXPECT_FALSE(viewer.SaveAs());
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0], "Сбой при сохранении файлов отчета в\r\n" + dir.Path("missing/report.htm"));
  EXPECT_EQ(fake.messages.shown[0].details, "каталог не найден (#3)");
  EXPECT_EQ(fake.messages.shown[0].sourceTag, kReportViewerTag);
  EXPECT_TRUE(viewer.SaveAs());
  EXPECT_TRUE(fs::exists(task.document));
  EXPECT_EQ(test::ReadFileBytes(folder + "/copy.htm"), test::ReadFileBytes(task.document));
  // Cancelled: nothing at all.
  const std::size_t shown = fake.messages.shown.size();
  EXPECT_FALSE(viewer.SaveAs());
  EXPECT_EQ(fake.messages.shown.size(), shown);
}

TEST_F(ReportViewerTest, PermanentCopyGoesToTheNextFolderOfTheDayAndCanBeRemoved) {
  task.reportsFolder = dir.Path("Reports");
  fs::create_directories(dir.Path("Reports/2024-01/2024-01-31/001"));
  fs::create_directories(dir.Path("Reports/2024-01/2024-01-31/abc"));
  const std::string permanent = dir.Path("Reports/2024-01/2024-01-31/002");
  ReportViewer viewer(task);
  EXPECT_EQ(viewer.Hint(ReportCommand::Permanent), " Сохранение отчета в постоянной папке ");
  fake.messages.answers = {false, true};
  EXPECT_FALSE(viewer.TogglePermanent());  // "Нет"
  EXPECT_FALSE(viewer.HasPermanentCopy());
  ASSERT_TRUE(viewer.TogglePermanent());
  EXPECT_EQ(fake.messages.shown[0].text, "Поместить данный отчет в постоянную папку (для использования в будущем) ?");
  EXPECT_EQ(viewer.PermanentFolder(), permanent);
  EXPECT_EQ(viewer.CurrentDocument(), permanent + "/rep_spc_X.htm");
  EXPECT_EQ(test::ReadFileBytes(permanent + "/img1_1.jpg"), std::string(3000, 'j'));
  EXPECT_EQ(fake.log.lines.back(),
            "Reserve report to " + permanent + " (3f, " + std::to_string(ReportBytes() / 1024) + "kb)");
  EXPECT_EQ(viewer.Hint(ReportCommand::Permanent), " Удаление постоянной папки данного отчета (" + permanent + ") ");
  EXPECT_EQ(viewer.InfoText(),
            "Информация об отчете\r\n\r\nВременная папка  : " + folder + "\r\nПостоянная папка : " + permanent +
                "\r\nДоп.информация   : X");

  // Removing: the question warns of other programs only once the report went to one.
  const std::string plain = "После удаления постоянной папки " + permanent +
                            " и закрытия окна отчета, он станет недоступен.\r\n\r\nУдалить постоянную папку данного "
                            "отчета ?";
  fake.messages.answers = {false};
  EXPECT_FALSE(viewer.TogglePermanent());
  EXPECT_EQ(fake.messages.shown.back().text, plain);
  ASSERT_TRUE(viewer.OpenInBrowser());
  EXPECT_EQ(fake.shellOpen.opened.back(), permanent + "/rep_spc_X.htm");
  fake.messages.answers = {true};
  ASSERT_TRUE(viewer.TogglePermanent());
  EXPECT_EQ(fake.messages.shown.back().text,
            "После удаления постоянной папки " + permanent +
                " и закрытия окна отчета, он станет недоступен.\r\nВозможно, это повлечет проблемы в документах, "
                "созданных на основе данного отчета (в текстовом редакторе и др.). Перед удалением закройте все "
                "сторонние приложения, использующие отчет.\r\n\r\nУдалить постоянную папку данного отчета ?");
  EXPECT_FALSE(fs::exists(permanent));
  EXPECT_EQ(fake.log.lines.back(), "Delete permanent folder " + permanent);
  EXPECT_EQ(viewer.CurrentDocument(), task.document);
  EXPECT_EQ(viewer.InfoText(), "Информация об отчете\r\n\r\nВременная папка  : " + folder +
                                   "\r\nПостоянная папка : <не создавалась>\r\nДоп.информация   : X");
}

TEST_F(ReportViewerTest, WithoutAReportsFolderTheWordProcessorGetsTheTemporaryDocument) {
  services.programs.onPath["lowriter"] = "/usr/bin/lowriter";
  ReportViewer viewer(task);
  fake.messages.answers = {true};
  EXPECT_FALSE(viewer.TogglePermanent());
  ASSERT_EQ(Errors().size(), 1u);
  EXPECT_EQ(Errors()[0],
            "Невозможно создать постоянную папку для этого отчета, т.к. в настройках приложения не указана папка "
            "отчетов");
  fake.messages.answers = {true};
  ASSERT_TRUE(viewer.ExportToWord());
  ASSERT_EQ(services.programs.started.size(), 1u);
  EXPECT_EQ(services.programs.started[0], (std::vector<std::string>{"/usr/bin/lowriter", task.document}));
  EXPECT_TRUE(Logged("MS Word info - /usr/bin/lowriter"));
  EXPECT_EQ(fake.log.lines.back(), "Send report to MS Word - rep_spc_X.htm");
  EXPECT_EQ(fake.messages.shown.back().text, "Сейчас Morvalen передаст отчет в приложение lowriter как HTML-документ");
  EXPECT_EQ(viewer.WordHandoffs(), 1);
}

// The path goes to the program as one argument, unchanged, whatever it holds: no shell sees it.
TEST_F(ReportViewerTest, TheWordProcessorGetsThePathAsOneArgument) {
  const std::string odd = dir.Path("a b\"c;d $(x)");
  fs::create_directories(odd);
  for (const auto& e : fs::directory_iterator(folder)) fs::copy_file(e.path(), odd + "/" + e.path().filename().string());
  task.document = odd + "/rep_spc_X.htm";
  task.reportsFolder = dir.Path("Reports dir; rm -rf ~");
  services.fileTypes.association.defaultHandler = "writer.desktop";
  services.fileTypes.association.handlers = {
      {"other.desktop", "Other", "", "other %U"},
      {"writer.desktop", "Текстовый редактор", "", "/opt/office/program/soffice --writer %U"}};
  ReportViewer viewer(task);
  fake.messages.answers = {true};
  ASSERT_TRUE(viewer.ExportToWord());
  // The permanent copy was made first, and it is what the program got.
  const std::string permanent = task.reportsFolder + "/2024-01/2024-01-31/001";
  EXPECT_EQ(viewer.PermanentFolder(), permanent);
  ASSERT_EQ(services.programs.started.size(), 1u);
  EXPECT_EQ(services.programs.started[0], (std::vector<std::string>{"/opt/office/program/soffice", "--writer",
                                                                    permanent + "/rep_spc_X.htm"}));
  EXPECT_EQ(fake.messages.shown.back().text,
            "Сейчас Morvalen передаст отчет в приложение Текстовый редактор как HTML-документ");
  EXPECT_TRUE(Logged("MS Word info - /opt/office/program/soffice --writer"));
  // A second hand-off in the run: no new lookup, no question.
  const std::size_t shown = fake.messages.shown.size();
  ReportViewer next(task);
  ASSERT_TRUE(next.ExportToWord());
  EXPECT_EQ(fake.messages.shown.size(), shown);
  EXPECT_EQ(services.fileTypes.queried, (std::vector<std::string>{"application/vnd.oasis.opendocument.text"}));
}

TEST_F(ReportViewerTest, WordHandOffRefusals) {
  // No word processor anywhere.
  ReportViewer viewer(task);
  EXPECT_FALSE(viewer.ExportToWord());
  EXPECT_EQ(Errors(), (std::vector<std::string>{"В системе не найдена информация о текстовом редакторе"}));
  EXPECT_TRUE(Logged("[ERR] MS Word info not found in the Registry"));
  EXPECT_TRUE(services.programs.started.empty());
  // Found, but the user says no: nothing is started, and the question comes again next time.
  ForgetWordProcessor();
  services.programs.onPath["soffice"] = "/usr/bin/soffice";
  fake.messages.answers = {false};
  EXPECT_FALSE(viewer.ExportToWord());
  EXPECT_TRUE(services.programs.started.empty());
  // A program that does not start.
  services.programs.startSucceeds = false;
  fake.messages.answers = {true};
  EXPECT_FALSE(viewer.ExportToWord());
  EXPECT_EQ(services.programs.started.back(), (std::vector<std::string>{"/usr/bin/soffice", "--writer", task.document}));
  EXPECT_EQ(Errors().back(), "Не удалось запустить приложение soffice\r\n\r\n\"/usr/bin/soffice\"");
  EXPECT_EQ(viewer.WordHandoffs(), 0);
  // A report that cannot be handed over says so.
  task.wordExportUnsupported = true;
  ReportViewer msa(task);
  const std::size_t started = services.programs.started.size();
  EXPECT_FALSE(msa.ExportToWord());
  EXPECT_EQ(fake.messages.shown.back().text,
            "Экспорт данного отчета в текстовый редактор не поддерживается в текущей версии системы");
  EXPECT_EQ(services.programs.started.size(), started);
}

TEST(ReportViewerExec, DesktopEntryCommandsGiveTheProgramAndItsFixedArguments) {
  const struct {
    std::string exec;
    std::vector<std::string> expected;
  } kCases[] = {
      {"libreoffice --writer %U", {"libreoffice", "--writer"}},
      {"\"/opt/my office/writer\" -n %f", {"/opt/my office/writer", "-n"}},
      {"env LANG=C abiword %F", {"env", "LANG=C", "abiword"}},
      {"prog --rate=100%% %u", {"prog", "--rate=100%"}},
      {"\"a\\\"b\"  ", {"a\"b"}},
      {"%U", {}},
      {"", {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.exec);
    EXPECT_EQ(ExecWords(c.exec), c.expected);
  }
}

TEST_F(ReportViewerTest, TheOtherCommandsSayAndLogWhatTheyDid) {
  task.printTitle = "";
  bool asked = false;
  task.callback = [&asked](int code) {
    asked = code == kReportRequestEmail;
    return true;
  };
  ReportViewer viewer(task);
  viewer.PrintStarted();
  EXPECT_EQ(fake.log.lines.back(), "Print report: Отчет по процессу");
  // The text goes to the clipboard as the document's characters, not its bytes.
  ASSERT_TRUE(viewer.CopyToClipboard());
  EXPECT_EQ(fake.clipboard.Text(),
            "<html><head><meta charset=\"windows-1251\"></head><body>Отчет</body></html>");
  EXPECT_EQ(fake.messages.shown.back().text, "Текст отчета скопирован в буфер обмена");
  EXPECT_EQ(fake.messages.shown.back().timeout, 25);
  EXPECT_TRUE(viewer.Email());
  EXPECT_TRUE(asked);
  const std::optional<ReportDocument> shown = viewer.Load();
  ASSERT_TRUE(shown);
  EXPECT_NE(shown->html.find("Отчет"), std::string::npos);

  // PDF export: the writer is asked for the chosen file and its size logged.
  fake.fileDialogs.choices.push_back(dir.Path("out.pdf"));
  ASSERT_TRUE(viewer.ExportPdf([](const std::string&, std::uint64_t& bytes, std::string&) {
    bytes = 5000;
    return true;
  }));
  EXPECT_EQ(fake.fileDialogs.asked.back().title, "Экспорт отчета в PDF");
  EXPECT_EQ(fake.fileDialogs.asked.back().filter, "Документ PDF (*.pdf)");
  EXPECT_EQ(fake.fileDialogs.asked.back().fileName, "rep_spc_X.pdf");
  EXPECT_EQ(fake.log.lines.back(), "Export report to PDF " + dir.Path("out.pdf") + " (4kb)");
  EXPECT_EQ(fake.messages.shown.back().text, "Отчет сохранен в файле PDF\r\n\r\n" + dir.Path("out.pdf"));
  EXPECT_EQ(fake.messages.shown.back().timeout, 30);
  fake.fileDialogs.choices.push_back(dir.Path("bad.pdf"));
  EXPECT_FALSE(viewer.ExportPdf([](const std::string&, std::uint64_t&, std::string& error) {
    error = "диск переполнен";
    return false;
  }));
  EXPECT_EQ(Errors().back(), "Сбой при экспорте отчета в PDF\r\n" + dir.Path("bad.pdf"));

  // A document that has gone: an error, and nothing to show.
  fs::remove(task.document);
  EXPECT_EQ(viewer.Load(), std::nullopt);
  EXPECT_EQ(Errors().back(), "Не удалось загрузить отчет\r\n\r\n\"" + task.document + "\"");
  EXPECT_EQ(fake.messages.shown.back().details, "файл не найден (#2)");
  EXPECT_EQ(ShowReport(task), ReportResult::Closed);
}

TEST_F(ReportViewerTest, TheOptionalCommandsFollowTheTask) {
  const struct {
    bool email, callback, word, settings, recreate;
  } kCases[] = {{true, true, true, false, false}, {true, false, false, true, true}, {false, true, true, true, false}};
  for (const auto& c : kCases) {
    task.emailButton = c.email;
    task.callback = c.callback ? std::function<bool(int)>([](int) { return false; }) : nullptr;
    task.wordButton = c.word;
    task.settingsButton = c.settings;
    task.recreateButton = c.recreate;
    ReportViewer viewer(task);
    EXPECT_EQ(viewer.Shows(ReportCommand::Email), c.email && c.callback);
    EXPECT_EQ(viewer.Shows(ReportCommand::WordExport), c.word);
    EXPECT_EQ(viewer.Shows(ReportCommand::Settings), c.settings);
    EXPECT_EQ(viewer.Shows(ReportCommand::Recreate), c.recreate);
    EXPECT_TRUE(viewer.Shows(ReportCommand::Print));
    EXPECT_FALSE(viewer.Email() && !(c.email && c.callback));
  }
  EXPECT_EQ(ReportViewer(task).Hint(ReportCommand::Recreate),
            "Имеет смысл только при недавнем изменении файла шаблона отчета");
}

}  // namespace
}  // namespace mv
