#pragma once
// The report viewer's logic: what each command of the viewer window decides, says, logs and
// does to files. The window draws the document and forwards its commands here; everything but
// the pixels and the toolkit's print dialogs is decided in this class.
//
// The viewer knows the report's temporary folder (the folder of the task's document), the
// permanent copy once one is made, and which of them is the current document. Log lines carry
// the task's log number.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/report_document.h"
#include "reports/report_folders.h"
#include "reports/report_task.h"

namespace mv {

// The source tag of the viewer's error windows.
inline constexpr std::string_view kReportViewerTag = "ReportViewer";

// The commands of the toolbar and of the "Действия" menu, in their order.
enum class ReportCommand : std::uint8_t {
  Print = 0,
  PageSetup = 1,
  Preview = 2,
  ExportPdf = 3,
  SaveAs = 4,
  CopyToClipboard = 5,
  Email = 6,
  OpenInBrowser = 7,
  WordExport = 8,
  Recreate = 9,
  Permanent = 10,
  Info = 11,
  Settings = 12,
};
inline constexpr ReportCommand kReportCommands[] = {
    ReportCommand::Print,         ReportCommand::PageSetup,   ReportCommand::Preview,
    ReportCommand::ExportPdf,     ReportCommand::SaveAs,      ReportCommand::CopyToClipboard,
    ReportCommand::Email,         ReportCommand::OpenInBrowser, ReportCommand::WordExport,
    ReportCommand::Recreate,      ReportCommand::Permanent,   ReportCommand::Info,
    ReportCommand::Settings};

// The command's caption in the menu and on the toolbar.
std::string_view ReportCommandCaption(ReportCommand command);

// The program that takes reports as documents to edit, and what it is started with (the
// document's path follows as one more argument).
struct WordProcessor {
  std::string name;     // as the user knows it: the desktop entry's name, or the program's
  std::string program;  // the executable, a full path where one is known
  std::vector<std::string> arguments;
};

// The desktop's default program for OpenDocument text (its desktop entry's Exec= without the
// field codes), else "lowriter" or "soffice --writer" on the PATH; nothing when none is there.
std::optional<WordProcessor> FindWordProcessor();
// The program and fixed arguments of a desktop entry's Exec= value: words split at blanks
// (double quotes group, a backslash escapes inside them), field codes (%f, %U, ...) left out,
// "%%" kept as "%". Empty when no program is named.
std::vector<std::string> ExecWords(std::string_view exec);
// The lookup is made once per run; this forgets it (for tests).
void ForgetWordProcessor();

// The headless viewer installed until the windows install theirs: loads the document (an
// error window when it cannot be read) and gives Closed.
class HeadlessReportWindow final : public IReportWindow {
 public:
  ReportResult Show(const TReportTask& task) override;
};

class ReportViewer {
 public:
  explicit ReportViewer(TReportTask task);

  const TReportTask& Task() const { return m_task; }
  // The document shown: the temporary one, or its copy in the permanent folder once made.
  const std::string& CurrentDocument() const { return m_current; }
  const std::string& TemporaryFolder() const { return m_temporaryFolder; }
  // Empty while there is no permanent copy.
  const std::string& PermanentFolder() const { return m_permanentFolder; }
  bool HasPermanentCopy() const { return !m_permanentFolder.empty(); }
  int WordHandoffs() const { return m_wordHandoffs; }
  int ExternalOpens() const { return m_externalOpens; }

  // Whether the window shows the command (the optional ones as the task asks: e-mail only
  // with a callback to send it).
  bool Shows(ReportCommand command) const;
  // The command's hint on the toolbar and in the status line.
  std::string Hint(ReportCommand command) const;
  // The print modes print without showing the window.
  bool PrintsWithoutWindow() const { return m_task.mode != ReportMode::Show; }

  // The current document to show. Nothing, after an error window, when it cannot be read: the
  // viewer then closes with Closed.
  std::optional<ReportDocument> Load();

  // Printing has started (the print dialog was accepted, or the task prints at once).
  void PrintStarted();
  // "Сохранение в файле": asks for a name, copies the report's files beside it, renames the
  // document. True when saved.
  bool SaveAs();
  // Export to PDF: asks for a name and has `write` make the file (it gives the bytes written
  // or an error text). True when written.
  using PdfWriter = std::function<bool(const std::string& path, std::uint64_t& bytes, std::string& error)>;
  bool ExportPdf(const PdfWriter& write);
  // The document's source text, decoded by its charset, on the clipboard.
  bool CopyToClipboard();
  // Hands the report to its e-mail callback; true when the callback did something (the window
  // then shows the document again).
  bool Email();
  // Opens the current document with the desktop's program for it.
  bool OpenInBrowser();
  // Hands the current document to the word processor (making the permanent copy first when a
  // reports folder is set). True when the program was started.
  bool ExportToWord();
  // Makes the permanent copy (after a question) or, when one exists, removes it (after a
  // question). True when it was made or removed.
  bool TogglePermanent();
  // The text of "Информация об отчете".
  std::string InfoText() const;

 private:
  bool MakePermanentCopy();
  bool RemovePermanentCopy();
  void Log(const std::string& line) const;

  TReportTask m_task;
  std::string m_current;
  std::string m_temporaryFolder;
  std::string m_permanentFolder;
  std::string m_fileName;
  int m_wordHandoffs = 0;
  int m_externalOpens = 0;
};

}  // namespace mv
