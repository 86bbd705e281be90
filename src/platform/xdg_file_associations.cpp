#include "platform/xdg_file_associations.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>

extern char** environ;

namespace mv::platform {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kMaxOutput = 4096;       // what xdg-mime may print that is read
constexpr std::size_t kMaxEntriesPerFolder = 5000;

std::string_view TrimBlanks(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

// Runs the program with its arguments (no shell), its standard output kept up to kMaxOutput
// bytes. True when it ran and exited with 0.
bool Run(std::vector<std::string> args, std::string* output) {
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  pid_t pid = 0;
  const int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  if (spawned != 0) {
    close(pipeFds[0]);
    return false;
  }
  std::string text;
  char buffer[512];
  for (;;) {
    const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    // Read to the end so the program never blocks on a full pipe; keep only the start.
    const std::size_t room = kMaxOutput - std::min(kMaxOutput, text.size());
    text.append(buffer, std::min(room, static_cast<std::size_t>(n)));
  }
  close(pipeFds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (output) *output = std::move(text);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The folders that hold desktop entries, the user's own first.
std::vector<fs::path> ApplicationFolders() {
  std::vector<fs::path> folders;
  const char* home = std::getenv("XDG_DATA_HOME");
  const char* user = std::getenv("HOME");
  if (home && *home == '/') {
    folders.emplace_back(home);
  } else if (user && *user == '/') {
    folders.push_back(fs::path(user) / ".local" / "share");
  }
  const char* dirs = std::getenv("XDG_DATA_DIRS");
  std::string_view list = dirs && *dirs ? dirs : "/usr/local/share:/usr/share";
  while (!list.empty()) {
    const std::size_t colon = list.find(':');
    const std::string_view dir = list.substr(0, colon);
    if (!dir.empty() && dir.front() == '/') folders.emplace_back(std::string(dir));
    if (colon == std::string_view::npos) break;
    list.remove_prefix(colon + 1);
  }
  for (fs::path& folder : folders) folder /= "applications";
  return folders;
}

std::string ReadEntry(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(kMaxEntryBytes, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, in.gcount())));
  return text;
}

}  // namespace

DesktopEntryFacts ParseDesktopEntry(std::string_view text) {
  DesktopEntryFacts facts;
  if (text.size() > kMaxEntryBytes) text = text.substr(0, kMaxEntryBytes);
  bool inEntry = false;
  bool russianName = false;
  bool russianComment = false;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    const std::string_view line = TrimBlanks(text.substr(0, end));
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    if (line.empty() || line.front() == '#') continue;
    if (line.front() == '[') {
      inEntry = line == "[Desktop Entry]";
      continue;
    }
    if (!inEntry) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    const std::string_view key = TrimBlanks(line.substr(0, equals));
    const std::string_view value = TrimBlanks(line.substr(equals + 1));
    if (key == "Name[ru]" || (key == "Name" && !russianName)) {
      facts.name = std::string(value);
      russianName = russianName || key != "Name";
    } else if (key == "Comment[ru]" || (key == "Comment" && !russianComment)) {
      facts.comment = std::string(value);
      russianComment = russianComment || key != "Comment";
    } else if (key == "Exec") {
      facts.exec = std::string(value);
    } else if (key == "Hidden") {
      facts.hidden = value == "true";
    } else if (key == "MimeType") {
      facts.mimeTypes.clear();
      std::string_view types = value;
      while (!types.empty()) {
        const std::size_t semicolon = types.find(';');
        const std::string_view type = TrimBlanks(types.substr(0, semicolon));
        if (!type.empty()) facts.mimeTypes.emplace_back(type);
        if (semicolon == std::string_view::npos) break;
        types.remove_prefix(semicolon + 1);
      }
    }
  }
  return facts;
}

FileTypeAssociation XdgFileAssociations::Query(const std::string& mimeType) {
  FileTypeAssociation answer;
  std::string output;
  if (Run({"xdg-mime", "query", "default", mimeType}, &output)) {
    const std::string_view text = output;
    answer.defaultHandler = std::string(TrimBlanks(text.substr(0, text.find('\n'))));
  }
  std::set<std::string> seen;  // an entry of the user's folder hides the system's of that name
  for (const fs::path& folder : ApplicationFolders()) {
    std::error_code ec;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, ec);
    std::size_t visited = 0;
    for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (++visited > kMaxEntriesPerFolder) break;
      if (it.depth() > 2) it.disable_recursion_pending();
      const fs::path& path = it->path();
      if (path.extension() != ".desktop" || !it->is_regular_file(ec)) continue;
      // The entry's identifier: its path below the folder with '/' as '-'.
      std::string id = path.lexically_relative(folder).generic_string();
      std::replace(id.begin(), id.end(), '/', '-');
      if (!seen.insert(id).second) continue;
      const DesktopEntryFacts facts = ParseDesktopEntry(ReadEntry(path));
      if (facts.hidden || std::find(facts.mimeTypes.begin(), facts.mimeTypes.end(), mimeType) == facts.mimeTypes.end()) {
        continue;
      }
      answer.handlers.push_back({id, facts.name, facts.comment, facts.exec});
    }
  }
  return answer;
}

bool XdgFileAssociations::SetDefault(const std::string& mimeType, const std::string& handlerId) {
  return Run({"xdg-mime", "default", handlerId, mimeType}, nullptr);
}

}  // namespace mv::platform
