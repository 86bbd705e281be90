#include "reports/report_viewer.h"

#include <filesystem>
#include <system_error>
#include <utility>

#include "core/date_time.h"
#include "core/file_error.h"
#include "core/file_routines.h"
#include "core/messages.h"
#include "core/text.h"
#include "platform/clipboard.h"
#include "platform/file_associations.h"
#include "platform/file_dialogs.h"
#include "platform/log_sink.h"
#include "platform/program_start.h"
#include "platform/services.h"
#include "platform/shell_open.h"

namespace mv {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kOpenDocumentText = "application/vnd.oasis.opendocument.text";
constexpr const char* kProgramName = "Morvalen";

// The lookup of the word processor, made once per run, and whether the user has agreed to the
// hand-off in this run.
struct WordProcessorState {
  bool looked = false;
  std::optional<WordProcessor> found;
  bool confirmed = false;
};
WordProcessorState& WordState() {
  static WordProcessorState state;
  return state;
}

HeadlessReportWindow& Headless() {
  static HeadlessReportWindow headless;
  return headless;
}

IReportWindow*& InstalledWindow() {
  static IReportWindow* current = &Headless();
  return current;
}

std::string Joined(const WordProcessor& w) {
  std::string text = w.program;
  for (const std::string& a : w.arguments) text += " " + a;
  return text;
}

std::string FileName(const std::string& path) { return fs::path(path).filename().string(); }

}  // namespace

IReportWindow* InstallReportWindow(IReportWindow* window) {
  IReportWindow* previous = InstalledWindow();
  InstalledWindow() = window ? window : &Headless();
  return previous;
}

ReportResult ShowReport(const TReportTask& task) { return InstalledWindow()->Show(task); }

ReportResult HeadlessReportWindow::Show(const TReportTask& task) {
  ReportViewer viewer(task);
  (void)viewer.Load();
  return ReportResult::Closed;
}

std::string_view ReportCommandCaption(ReportCommand command) {
  switch (command) {
    case ReportCommand::Print: return "Печать";
    case ReportCommand::PageSetup: return "Параметры страницы";
    case ReportCommand::Preview: return "Предварительный просмотр";
    case ReportCommand::ExportPdf: return "Экспорт в PDF";
    case ReportCommand::SaveAs: return "Сохранение в файле";
    case ReportCommand::CopyToClipboard: return "Копирование в буфер (clipboard)";
    case ReportCommand::Email: return "Отправка по Email";
    // The desktop's own program for the document, whichever browser that is.
    case ReportCommand::OpenInBrowser: return "Просмотр в браузере по умолчанию";
    // The desktop's word processor, whichever that is.
    case ReportCommand::WordExport: return "Экспорт в текстовый редактор";
    case ReportCommand::Recreate: return "Пересоздание отчета";
    case ReportCommand::Permanent: return "Сохранение в постоянной папке";
    case ReportCommand::Info: return "Информация об отчете";
    case ReportCommand::Settings: return "Настройки отчета";
  }
  return {};
}

std::vector<std::string> ExecWords(std::string_view exec) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false;
  bool quoted = false;
  bool fieldCode = false;  // the word is a field code: left out
  for (std::size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < exec.size()) {
        word.push_back(exec[++i]);
      } else {
        word.push_back(c);
      }
      continue;
    }
    if (c == ' ' || c == '\t') {
      if (inWord && !fieldCode) words.push_back(word);
      word.clear();
      inWord = fieldCode = false;
      continue;
    }
    inWord = true;
    if (c == '"') {
      quoted = true;
    } else if (c == '%' && i + 1 < exec.size()) {
      if (exec[i + 1] == '%') {
        word.push_back('%');
      } else {
        fieldCode = true;
      }
      ++i;
    } else {
      word.push_back(c);
    }
  }
  if (inWord && !fieldCode) words.push_back(word);
  return words;
}

std::optional<WordProcessor> FindWordProcessor() {
  WordProcessorState& state = WordState();
  if (state.looked) return state.found;
  state.looked = true;
  const platform::FileTypeAssociation types =
      platform::Current<platform::IFileAssociations>().Query(std::string(kOpenDocumentText));
  for (const platform::FileTypeHandler& handler : types.handlers) {
    if (types.defaultHandler.empty() || handler.id != types.defaultHandler) continue;
    std::vector<std::string> words = ExecWords(handler.command);
    if (words.empty()) break;
    WordProcessor w;
    w.name = handler.name.empty() ? FileName(words[0]) : handler.name;
    w.program = words[0];
    w.arguments.assign(words.begin() + 1, words.end());
    state.found = std::move(w);
    return state.found;
  }
  platform::IProgramStart& programs = platform::Current<platform::IProgramStart>();
  const std::pair<const char*, std::vector<std::string>> kKnown[] = {{"lowriter", {}}, {"soffice", {"--writer"}}};
  for (const auto& [name, arguments] : kKnown) {
    const std::string path = programs.FindProgram(name);
    if (path.empty()) continue;
    state.found = WordProcessor{name, path, arguments};
    return state.found;
  }
  return std::nullopt;
}

void ForgetWordProcessor() { WordState() = {}; }

ReportViewer::ReportViewer(TReportTask task) : m_task(std::move(task)) {
  m_current = m_task.document;
  const fs::path document(m_task.document);
  m_temporaryFolder = document.parent_path().string();
  m_fileName = document.filename().string();
}

void ReportViewer::Log(const std::string& line) const {
  platform::Current<platform::ILog>().LogLine(line, m_task.logNumber);
}

bool ReportViewer::Shows(ReportCommand command) const {
  switch (command) {
    case ReportCommand::Email: return m_task.emailButton && static_cast<bool>(m_task.callback);
    case ReportCommand::WordExport: return m_task.wordButton;
    case ReportCommand::Recreate: return m_task.recreateButton;
    case ReportCommand::Settings: return m_task.settingsButton;
    default: return true;
  }
}

std::string ReportViewer::Hint(ReportCommand command) const {
  switch (command) {
    case ReportCommand::Recreate: return "Имеет смысл только при недавнем изменении файла шаблона отчета";
    case ReportCommand::Permanent:
      return HasPermanentCopy() ? " Удаление постоянной папки данного отчета (" + m_permanentFolder + ") "
                                : " Сохранение отчета в постоянной папке ";
    default: return std::string(ReportCommandCaption(command));
  }
}

std::optional<ReportDocument> ReportViewer::Load() {
  ReportDocument document;
  int code = 0;
  if (!ReadReportDocument(m_current, document, code)) {
    ShowError("Не удалось загрузить отчет\r\n\r\n" + Quoted(m_current), 0, kReportViewerTag, 0, FileErrorText(code));
    return std::nullopt;
  }
  return document;
}

void ReportViewer::PrintStarted() {
  Log("Print report: " + (m_task.printTitle.empty() ? m_task.caption : m_task.printTitle));
}

bool ReportViewer::SaveAs() {
  platform::FileDialogRequest request;
  request.title = "Сохранение отчета в файле";
  request.filter = "Документ HTML (*.htm *.html)";
  request.fileName = m_fileName;
  request.defaultExt = "htm";
  const std::optional<std::string> chosen = platform::Current<platform::IFileDialogs>().ChooseSave(request);
  if (!chosen || chosen->empty()) return false;
  const std::string& path = *chosen;
  const fs::path target(path);
  const fs::path folder = target.parent_path().empty() ? fs::path(".") : target.parent_path();
  CopiedFiles copied;
  std::string error;
  std::error_code ec;
  if (fs::equivalent(folder, m_temporaryFolder, ec)) {
    // Into the report's own folder: its files are there already; the document is copied under
    // the new name and stays under its own for the viewer.
    std::string bytes;
    int code = 0;
    if (!ReadWholeFile(m_task.document, bytes, code, kMaxReportBytes) || !WriteFileAtomically(path, bytes, code)) {
      ShowError("Сбой при сохранении файлов отчета в\r\n" + path, 0, kReportViewerTag, 0, FileErrorText(code));
      return false;
    }
    copied.files = 1;
    copied.bytes = bytes.size();
  } else {
    if (!CopyReportFiles(m_temporaryFolder, folder.string(), copied, error)) {
      ShowError("Сбой при сохранении файлов отчета в\r\n" + path, 0, kReportViewerTag, 0, error);
      return false;
    }
    const fs::path copiedDocument = folder / m_fileName;
    if (copiedDocument.filename() != target.filename()) {
      fs::rename(copiedDocument, target, ec);
      if (ec) {
        ShowError("Сбой при сохранении отчета (переименование) в\r\n" + path, 0, kReportViewerTag, 0,
                  FolderErrorText(ec, true, target));
        return false;
      }
    }
  }
  Log("Save report to " + path + " (" + std::to_string(copied.files) + "f, " + std::to_string(copied.Kilobytes()) +
      "kb)");
  ShowInfo("Отчет сохранен в файле\r\n\r\n" + path, 30);
  return true;
}

bool ReportViewer::ExportPdf(const PdfWriter& write) {
  platform::FileDialogRequest request;
  request.title = "Экспорт отчета в PDF";
  request.filter = "Документ PDF (*.pdf)";
  request.fileName = fs::path(m_fileName).replace_extension(".pdf").string();
  request.defaultExt = "pdf";
  const std::optional<std::string> chosen = platform::Current<platform::IFileDialogs>().ChooseSave(request);
  if (!chosen || chosen->empty()) return false;
  std::uint64_t bytes = 0;
  std::string error;
  if (!write(*chosen, bytes, error)) {
    ShowError("Сбой при экспорте отчета в PDF\r\n" + *chosen, 0, kReportViewerTag, 0, error);
    return false;
  }
  Log("Export report to PDF " + *chosen + " (" + std::to_string(bytes / 1024) + "kb)");
  ShowInfo("Отчет сохранен в файле PDF\r\n\r\n" + *chosen, 30);
  return true;
}

bool ReportViewer::CopyToClipboard() {
  std::string bytes;
  int code = 0;
  if (!ReadWholeFile(m_current, bytes, code, kMaxReportBytes)) {
    ShowError("Сбой при загрузке файла\r\n" + m_current, 0, kReportViewerTag, 0, FileErrorText(code));
    return false;
  }
  platform::Current<platform::IClipboard>().SetText(DecodeReport(bytes));
  ShowInfo("Текст отчета скопирован в буфер обмена", 25);
  return true;
}

bool ReportViewer::Email() {
  if (!Shows(ReportCommand::Email)) return false;
  return m_task.callback(kReportRequestEmail);
}

bool ReportViewer::OpenInBrowser() {
  if (!platform::Current<platform::IShellOpen>().Open(m_current)) {
    ShowError("Не найдено приложение для просмотра отчета\r\n\r\n" + Quoted(m_current), 0, kReportViewerTag);
    return false;
  }
  ++m_externalOpens;
  return true;
}

bool ReportViewer::ExportToWord() {
  if (m_task.wordExportUnsupported) {
    ShowInfo("Экспорт данного отчета в текстовый редактор не поддерживается в текущей версии системы");
    return false;
  }
  WordProcessorState& state = WordState();
  const bool firstLookup = !state.looked;
  const std::optional<WordProcessor> word = FindWordProcessor();
  if (!word) {
    platform::Current<platform::ILog>().LogError("MS Word info not found in the Registry", m_task.logNumber);
    ShowError("В системе не найдена информация о текстовом редакторе", 0, kReportViewerTag);
    return false;
  }
  if (firstLookup) Log("MS Word info - " + Joined(*word));
  if (!state.confirmed) {
    if (!Ask(std::string("Сейчас ") + kProgramName + " передаст отчет в приложение " + word->name +
             " как HTML-документ")) {
      return false;
    }
    state.confirmed = true;
  }
  if (!HasPermanentCopy() && !m_task.reportsFolder.empty() && !MakePermanentCopy()) return false;
  Log("Send report to MS Word - " + FileName(m_current));
  // The path is one argument of its own, whatever it holds: no shell ever sees it.
  std::vector<std::string> arguments = word->arguments;
  arguments.push_back(m_current);
  if (!platform::Current<platform::IProgramStart>().StartDetached(word->program, arguments)) {
    ShowError("Не удалось запустить приложение " + word->name + "\r\n\r\n" + Quoted(word->program), 0,
              kReportViewerTag);
    return false;
  }
  ++m_wordHandoffs;
  return true;
}

bool ReportViewer::TogglePermanent() {
  if (HasPermanentCopy()) return RemovePermanentCopy();
  if (!Ask("Поместить данный отчет в постоянную папку (для использования в будущем) ?")) return false;
  return MakePermanentCopy();
}

bool ReportViewer::MakePermanentCopy() {
  if (m_task.reportsFolder.empty()) {
    ShowError(
        "Невозможно создать постоянную папку для этого отчета, т.к. в настройках приложения не указана папка отчетов",
        0, kReportViewerTag);
    return false;
  }
  const std::string folder = NextPermanentFolder(m_task.reportsFolder, Now());
  std::error_code ec;
  fs::create_directories(folder, ec);
  if (ec) {
    ShowError("Не удалось создать постоянную папку для отчета\r\n\r\n" + folder, 0, kReportViewerTag, 0,
              FolderErrorText(ec, true, folder));
    return false;
  }
  CopiedFiles copied;
  std::string error;
  if (!CopyReportFiles(m_temporaryFolder, folder, copied, error)) {
    ShowError("Сбой при копировании файлов отчета в постоянную папку\r\n\r\n" + folder, 0, kReportViewerTag, 0, error);
    return false;
  }
  m_permanentFolder = folder;
  m_current = (fs::path(folder) / m_fileName).string();
  Log("Reserve report to " + folder + " (" + std::to_string(copied.files) + "f, " +
      std::to_string(copied.Kilobytes()) + "kb)");
  return true;
}

bool ReportViewer::RemovePermanentCopy() {
  std::string question = "После удаления постоянной папки " + m_permanentFolder +
                         " и закрытия окна отчета, он станет недоступен.\r\n";
  if (m_wordHandoffs > 0 || m_externalOpens > 0) {
    question +=
        "Возможно, это повлечет проблемы в документах, созданных на основе данного отчета (в текстовом редакторе "
        "и др.). Перед удалением закройте все сторонние приложения, использующие отчет.\r\n";
  }
  question += "\r\nУдалить постоянную папку данного отчета ?";
  if (!Ask(question)) return false;
  std::error_code ec;
  fs::remove_all(m_permanentFolder, ec);
  if (ec) {
    ShowError("Не удалось удалить постоянную папку отчета\r\n\r\n" + m_permanentFolder, 0, kReportViewerTag, 0,
              FolderErrorText(ec, true, m_permanentFolder));
    return false;
  }
  Log("Delete permanent folder " + m_permanentFolder);
  m_permanentFolder.clear();
  m_current = m_task.document;
  return true;
}

std::string ReportViewer::InfoText() const {
  return "Информация об отчете\r\n\r\n"
         "Временная папка  : " +
         m_temporaryFolder + "\r\nПостоянная папка : " + (HasPermanentCopy() ? m_permanentFolder : "<не создавалась>") +
         "\r\nДоп.информация   : " + m_task.extraInfo;
}

}  // namespace mv
