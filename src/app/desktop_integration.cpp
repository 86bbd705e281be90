#include "app/desktop_integration.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

#include "core/file_error.h"
#include "core/file_routines.h"

extern char** environ;

namespace mv {
namespace {

namespace fs = std::filesystem;

using FileType = DataFileType;

constexpr std::array<FileType, 3> kTypes{{
    {"mvl", "application/x-morvalen-spc", "Файл данных SPC"},
    {"msa", "application/x-morvalen-msa", "Файл данных MSA"},
    {"mef", "application/x-morvalen-exchange", "Файл обмена данными измерений"},
}};

std::string IconName(const FileType& type) {
  std::string name = type.mime;
  name[name.find('/')] = '-';
  return name;
}

// Writes the file unless it already holds exactly these bytes; `written` tells which.
bool Put(const fs::path& path, const std::string& bytes, bool& written, std::string& problem) {
  std::string old;
  int error = 0;
  if (ReadWholeFile(path.string(), old, error, bytes.size() + 1) && old == bytes) return true;
  std::error_code ec;
  fs::create_directories(path.parent_path(), ec);
  if (!WriteFileAtomically(path.string(), bytes, error)) {
    problem = path.string() + ": " + FileErrorText(error);
    return false;
  }
  written = true;
  return true;
}

// Runs a tool found on the PATH and waits for it; quietly nothing when it is not installed.
void RunTool(const char* tool, const std::string& argument) {
  std::vector<char*> argv{const_cast<char*>(tool), const_cast<char*>(argument.c_str()), nullptr};
  pid_t pid = 0;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  if (posix_spawnp(&pid, tool, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
  }
  posix_spawn_file_actions_destroy(&actions);
}

}  // namespace

std::span<const DataFileType> DataFileTypes() { return kTypes; }

std::string MimePackageXml() {
  std::string xml =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n";
  for (const FileType& type : kTypes) {
    xml += std::string("  <mime-type type=\"") + type.mime + "\">\n" + "    <comment xml:lang=\"ru\">" + type.comment +
           "</comment>\n" + "    <icon name=\"" + IconName(type) + "\"/>\n" + "    <glob pattern=\"*." +
           type.extension + "\" case-sensitive=\"false\"/>\n" + "  </mime-type>\n";
  }
  xml += "</mime-info>\n";
  return xml;
}

std::string DesktopEntry(const std::string& exec) {
  std::string mimes;
  for (const FileType& type : kTypes) mimes += std::string(type.mime) + ";";
  // The program path is quoted for the Exec key: blanks and quotes are escaped.
  std::string program = exec.empty() ? "morvalen" : exec;
  if (program.find_first_of(" \"\\`$") != std::string::npos) {
    std::string quoted = "\"";
    for (char c : program) {
      if (c == '"' || c == '`' || c == '$' || c == '\\') quoted += "\\\\";
      quoted += c;
    }
    program = quoted + "\"";
  }
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Version=1.5\n"
         "Name=Morvalen\n"
         "Comment=Статистическое управление качеством\n"
         "Exec=" + program + " %F\n"
         "Icon=morvalen\n"
         "Terminal=false\n"
         "Categories=Science;Education;Qt;\n"
         "MimeType=" + mimes + "\n";
}

std::string ProgramIconSvg() {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 64 64\" width=\"64\" height=\"64\">\n"
         "  <rect x=\"2\" y=\"2\" width=\"60\" height=\"60\" rx=\"10\" fill=\"#1f4e79\"/>\n"
         "  <line x1=\"8\" y1=\"18\" x2=\"56\" y2=\"18\" stroke=\"#e06c5a\" stroke-width=\"2\" stroke-dasharray=\"4 3\"/>\n"
         "  <line x1=\"8\" y1=\"32\" x2=\"56\" y2=\"32\" stroke=\"#9fd19b\" stroke-width=\"2\"/>\n"
         "  <line x1=\"8\" y1=\"46\" x2=\"56\" y2=\"46\" stroke=\"#e06c5a\" stroke-width=\"2\" stroke-dasharray=\"4 3\"/>\n"
         "  <polyline points=\"10,34 18,26 26,38 34,28 42,35 50,24 56,31\" fill=\"none\" stroke=\"#ffffff\" "
         "stroke-width=\"3\" stroke-linejoin=\"round\"/>\n"
         "</svg>\n";
}

std::string FileIconSvg(const std::string& extension) {
  return "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 64 64\" width=\"64\" height=\"64\">\n"
         "  <path d=\"M12 4 H40 L52 16 V60 H12 Z\" fill=\"#f4f7fb\" stroke=\"#1f4e79\" stroke-width=\"2\"/>\n"
         "  <path d=\"M40 4 V16 H52\" fill=\"none\" stroke=\"#1f4e79\" stroke-width=\"2\"/>\n"
         "  <polyline points=\"16,30 22,24 28,32 34,26 40,30 48,22\" fill=\"none\" stroke=\"#1f4e79\" "
         "stroke-width=\"2.5\"/>\n"
         "  <rect x=\"12\" y=\"42\" width=\"40\" height=\"14\" fill=\"#1f4e79\"/>\n"
         "  <text x=\"32\" y=\"53\" font-family=\"sans-serif\" font-size=\"11\" font-weight=\"bold\" fill=\"#ffffff\" "
         "text-anchor=\"middle\">" +
         extension + "</text>\n</svg>\n";
}

bool RegisterFileTypes(const std::string& dataHome, const std::string& programPath, std::string& problem) {
  fs::path home = dataHome;
  if (home.empty()) {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    const char* user = std::getenv("HOME");
    if (xdg && *xdg == '/') {
      home = xdg;
    } else if (user && *user == '/') {
      home = fs::path(user) / ".local" / "share";
    } else {
      problem = "no home folder";
      return false;
    }
  }
  const fs::path icons = home / "icons" / "hicolor" / "scalable";
  bool mimeChanged = false;
  bool entryChanged = false;
  bool iconsChanged = false;  // the icon theme needs no database of its own
  bool ok = Put(home / "mime" / "packages" / "morvalen.xml", MimePackageXml(), mimeChanged, problem) &&
            Put(home / "applications" / kDesktopEntryId, DesktopEntry(programPath), entryChanged, problem) &&
            Put(icons / "apps" / "morvalen.svg", ProgramIconSvg(), iconsChanged, problem);
  for (const FileType& type : kTypes) {
    ok = ok && Put(icons / "mimetypes" / (IconName(type) + ".svg"), FileIconSvg(type.extension), iconsChanged, problem);
  }
  if (!ok) return false;
  // The desktop's databases are rebuilt only when something changed: every start comes here.
  if (mimeChanged) RunTool("update-mime-database", (home / "mime").string());
  if (entryChanged) RunTool("update-desktop-database", (home / "applications").string());
  return true;
}

}  // namespace mv
