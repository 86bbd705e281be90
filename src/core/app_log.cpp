#include "core/app_log.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <system_error>
#include <vector>

#include "core/date_time.h"
#include "core/file_error.h"
#include "core/file_facts.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/text.h"
#include "platform/app_folders.h"

namespace mv {
namespace fs = std::filesystem;
namespace {

constexpr char kCrLf[] = "\r\n";
// Source tag of the log's own failure window. It is logged like any tagged error window; the
// failing log is busy then, so the line waits in its pending text.
constexpr char kLogFailureTag[] = "WriteLogLine";

std::string Digits(std::int64_t value, std::size_t width) {
  std::string text = FormatInt(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

std::string RightAligned(std::int64_t value, std::size_t width) {
  std::string text = FormatInt(value);
  if (text.size() < width) text.insert(0, width - text.size(), ' ');
  return text;
}

// The line as it goes into the file, without its CR LF. The logs are read by people in a
// terminal or an editor, so they stay in UTF-8 like the text in memory.
std::string LineBytes(std::int32_t runNumber, std::uint8_t slot, std::string_view message) {
  std::string line = DateTimeText(Now(), true) + ' ';
  line += runNumber == 0 ? std::string("  --") : RightAligned(runNumber, 4);
  line += slot == 0 ? std::string("   ") : ' ' + RightAligned(slot, 2);
  line += "  ";
  line += message;
  return line;
}

void ReportFailure(TLogFile& log, int code) {
  log.lastResult = static_cast<std::uint32_t>(code);
  ++log.failures;
  if (log.failures > 2) return;
  ShowError("Сбой при попытке записи log-файла\r\n" + log.fileName + "\r\n\r\n" + FileErrorText(code), 0,
            kLogFailureTag);
}

// Appends bytes to an O_APPEND descriptor: one write() for the whole text, so that lines of
// two instances never tear; another only after a short write. The number of bytes that went
// out; `error` is set when not all did.
std::size_t AppendBytes(int fd, std::string_view bytes, const std::string& path, int& error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) {
      error = put < 0 ? FileErrorCode(errno, FileOp::Write, path) : 101;
      break;
    }
    done += static_cast<std::size_t>(put);
  }
  return done;
}

// A log that stays unusable keeps only its latest lines: the oldest whole lines go once the
// pending text passes this size, so a long run cannot fill the memory with them.
constexpr std::size_t kMaxPending = std::size_t{1} << 20;

void Bound(TLogFile& log) {
  if (log.pending.size() <= kMaxPending) return;
  const std::size_t cut = log.pending.find('\n', log.pending.size() - kMaxPending);
  log.pending.erase(0, cut == std::string::npos ? log.pending.size() : cut + 1);
}

void Queue(TLogFile& log, std::string_view text) {
  log.pending += text;
  Bound(log);
}

std::uint8_t SlotOf(int slot) { return slot > 0 && slot <= 255 ? static_cast<std::uint8_t>(slot) : 0; }

// "yyyyMMdd_hhnn"
std::string MinuteStamp(TDateTime value) {
  const CalendarDate d = DecodeDate(value);
  const ClockTime t = DecodeTime(value);
  return Digits(d.year, 4) + Digits(d.month, 2) + Digits(d.day, 2) + "_" + Digits(t.hour, 2) + Digits(t.minute, 2);
}

// Deletes a file when it exists; a failure is shown with the system's text as details.
void EraseAnyFile(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return;
  if (::unlink(path.c_str()) == 0) return;
  const int code = FileErrorCode(errno, FileOp::Write, path);
  ShowError("Сбой при попытке удаления файла\r\n" + path, 0, "EraseAnyFile", 0, FileErrorText(code));
}

// Rename, or copy and delete when the two folders are on different file systems.
bool MoveFile(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  fs::rename(from, to, ec);
  if (!ec) return true;
  if (ec != std::errc::cross_device_link) return false;
  if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec)) return false;
  return fs::remove(from, ec);
}

struct MovedLog {
  std::uint64_t size = 0;
  TDateTime time = 0;
};

// Logs that older versions kept beside the program move into the log folder once.
bool MoveOldLogs(const std::string& oldFolder, const std::string& logFolder, MovedLog& moved) {
  if (oldFolder.empty()) return false;
  std::error_code ec;
  const fs::path from(oldFolder);
  if (!FileFacts((from / "mvl.log").string(), moved.size, moved.time)) return false;
  if (fs::equivalent(from, fs::path(logFolder), ec) || fs::exists(fs::path(logFolder) / "mvl.log", ec)) return false;
  std::vector<fs::path> logs;
  for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->is_regular_file(ec) && SameText(it->path().extension().string(), ".log")) logs.push_back(it->path());
  }
  if (ec) return false;
  std::sort(logs.begin(), logs.end());
  for (const fs::path& source : logs) {
    const fs::path target = fs::path(logFolder) / source.filename();
    if (::unlink(target.c_str()) != 0 && errno != ENOENT) return false;
    if (!MoveFile(source, target)) return false;
  }
  return true;
}

std::string StartLine(const RunState& run) {
  std::string line = "- Start " + run.program.title;
  if (run.Has(RunFlag::JustUpdated)) line += " after update";
  line += " (" + run.program.path + ", " + std::to_string(run.program.size) + " bt, " +
          DateTimeText(run.program.time, true) + "), win=" + std::to_string(run.windowHandle);
  if (run.Has(RunFlag::PrevInstance)) line += ", double instance";
  return line;
}

// Whole seconds between two date-times, truncated toward zero after rounding to the
// millisecond (so 75 s held as a fraction of a day stays 75, not 74.999...).
std::int64_t WholeSeconds(TDateTime from, TDateTime to) {
  const double ms = std::round((to - from) * 86400000.0);
  if (!std::isfinite(ms) || std::fabs(ms) > 9e15) return 0;
  return static_cast<std::int64_t>(ms) / 1000;
}

std::string ReadSmallFile(const char* path, std::size_t limit) {
  std::string text;
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return text;
  char buffer[4096];
  std::size_t got = 0;
  while (text.size() < limit && (got = std::fread(buffer, 1, sizeof buffer, f)) > 0) text.append(buffer, got);
  std::fclose(f);
  return text;
}

// The value after "key" and a separator on the first line that starts with key.
std::string_view ValueOf(std::string_view text, std::string_view key, char separator) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(start, end - start);
    if (line.substr(0, key.size()) == key) {
      const std::size_t at = line.find(separator, key.size());
      if (at != std::string_view::npos && Trim(line.substr(key.size(), at - key.size())).empty()) {
        return Trim(line.substr(at + 1));
      }
    }
    start = end + 1;
  }
  return {};
}

std::string UserName() {
  std::vector<char> buffer(16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr &&
      found->pw_name != nullptr) {
    return found->pw_name;
  }
  const char* user = std::getenv("USER");
  return user != nullptr ? user : "";
}

std::string FirstAddress() {
  ifaddrs* list = nullptr;
  if (getifaddrs(&list) != 0) return {};
  std::string address;
  for (const ifaddrs* a = list; a != nullptr && address.empty(); a = a->ifa_next) {
    if (a->ifa_addr == nullptr || a->ifa_addr->sa_family != AF_INET) continue;
    if ((a->ifa_flags & IFF_UP) == 0 || (a->ifa_flags & IFF_LOOPBACK) != 0) continue;
    sockaddr_in in{};
    std::memcpy(&in, a->ifa_addr, sizeof in);
    char text[INET_ADDRSTRLEN] = {};
    if (inet_ntop(AF_INET, &in.sin_addr, text, sizeof text) != nullptr) address = text;
  }
  freeifaddrs(list);
  return address;
}

std::string OneLine(std::string_view text) {
  std::string line(Trim(text));
  std::replace_if(line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return line;
}

}  // namespace

std::string DefaultLogFolder() { return (platform::AppFolder() / "Log").string(); }

std::string AppFileName(int kind, std::string_view logFolder) {
  const char* name = nullptr;
  switch (kind) {
    case kFileProgram: return CurrentProgramFacts().path;
    case kFileMainLog: name = "mvl.log"; break;
    case kFileSessionLog: name = "mvl_sess.log"; break;
    case kFilePreviousLog: name = "mvl_prev.log"; break;
    case kFileSessionFile: name = "mvl.ses"; break;
    default: return {};
  }
  std::string path(logFolder);
  if (!path.empty() && path.back() != '/') path += '/';
  return path + name;
}

bool OpenLogFile(TLogFile& log, const std::string& fileName) {
  log.fileName = fileName;
  log.usable = false;
  log.created = false;
  log.busy = false;
  log.linesWritten = 0;
  struct stat info {};
  if (::stat(fileName.c_str(), &info) == 0) {
    log.sizeAtOpen = static_cast<std::uint32_t>(info.st_size);
    log.usable = true;
    return true;
  }
  log.sizeAtOpen = 0;
  log.created = true;
  if (FileErrorCode(errno, FileOp::Read, fileName) == 3) {
    log.lastResult = 3;  // no folder: nothing to report, the lines stay in memory
    return false;
  }
  const int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) {
    ReportFailure(log, FileErrorCode(errno, FileOp::Write, fileName));
    return false;
  }
  const std::string first = DateTimeText(Now(), true) + "  Start log file " + fileName + kCrLf;
  int code = 0;
  const bool written = AppendBytes(fd, first, fileName, code) == first.size();
  ::close(fd);
  if (!written) {
    ReportFailure(log, code);
    return false;
  }
  log.usable = true;
  return true;
}

bool WriteLogLine(TLogFile& log, std::int32_t runNumber, std::string_view message, std::uint8_t slot,
                  bool emptyLineBefore) {
  const std::string line = LineBytes(runNumber, slot, message) + kCrLf;
  if (!log.usable || log.busy) {
    Queue(log, line);
    return false;
  }
  log.busy = true;
  const int fd = ::open(log.fileName.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0) {
    const int code = FileErrorCode(errno, FileOp::Write, log.fileName);
    // Kept for the next write, ahead of whatever arrives while the failure is shown.
    Queue(log, emptyLineBefore ? kCrLf + line : line);
    ReportFailure(log, code);
    log.busy = false;
    return false;
  }
  std::string text = emptyLineBefore ? kCrLf : "";
  text += log.pending;
  text += line;
  log.pending.clear();
  int code = 0;
  const std::size_t written = AppendBytes(fd, text, log.fileName, code);
  const bool ok = written == text.size();
  if (ok) {
    ++log.linesWritten;
  } else {
    // Only what did not reach the file, so the next write continues it exactly.
    log.pending.insert(0, text, written);
    Bound(log);
    ReportFailure(log, code);
  }
  ::close(fd);
  log.busy = false;
  return ok;
}

std::uint64_t LogFileSize(const TLogFile& log) {
  struct stat info {};
  if (log.fileName.empty() || ::stat(log.fileName.c_str(), &info) != 0) return 0;
  return static_cast<std::uint64_t>(info.st_size);
}

void AppLog::LogLine(std::string_view text, int slot) { mv::LogLine(*this, text, SlotOf(slot)); }

void AppLog::LogError(std::string_view text, int slot) { mv::LogError(*this, text, SlotOf(slot)); }

bool OpenLogs(AppLog& log, const std::string& mainBase, const std::string& sessionBase) {
  const bool opened = OpenLogFile(log.mainLog, mainBase + ".log");
  if (!sessionBase.empty()) {
    std::string name = sessionBase;
    if (log.run.Has(RunFlag::PrevInstance)) name += "_" + MinuteStamp(Now());
    name += ".log";
    EraseAnyFile(name);
    OpenLogFile(log.sessionLog, name);
  }
  return opened;
}

bool LogLine(AppLog& log, std::string_view message, std::uint8_t slot, bool emptyLineBefore) {
  const bool written = WriteLogLine(log.mainLog, log.run.runNumber, message, slot, emptyLineBefore);
  WriteLogLine(log.sessionLog, log.run.runNumber, message, slot, emptyLineBefore);
  return written;
}

bool LogError(AppLog& log, std::string_view message, std::uint8_t slot) {
  return LogLine(log, "[ERR] " + std::string(message), slot, false);
}

bool StartLogs(AppLog& log, const std::string& logFolder, const std::string& oldFolder) {
  std::string folder = logFolder;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  log.logFolder = folder + '/';
  std::error_code ec;
  if (!fs::is_directory(folder, ec)) {
    fs::create_directories(folder, ec);
    if (!fs::is_directory(folder, ec)) {
      ShowError("Не найдена папка протокола работы (" + folder +
                ").\r\n\r\n"
                "Создайте эту папку в Windows или исправьте настройки приложения, а затем перезапустите " +
                std::string(kAppName) +
                ".\r\n"
                "Работа с наборами данных без ведения протокола несет дополнительные риски!");
      return false;
    }
  }
  log.sessionFile.fileName = AppFileName(kFileSessionFile, folder);

  MovedLog moved;
  const bool movedLogs = MoveOldLogs(oldFolder, folder, moved);

  if (!log.run.Has(RunFlag::PrevInstance)) {
    const std::string previous = AppFileName(kFilePreviousLog, folder);
    ::unlink(previous.c_str());
    ::rename(AppFileName(kFileSessionLog, folder).c_str(), previous.c_str());  // no session log is no error
  }

  if (!OpenLogs(log, log.logFolder + "mvl", log.logFolder + "mvl_sess")) return false;
  if (movedLogs) {
    LogLine(log,
            "- Move log file to " + log.logFolder + "mvl.log (" + std::to_string(moved.size) + " bt, " +
                DateTimeText(moved.time) + ")",
            0, true);
  }
  LogLine(log, StartLine(log.run), 0, true);
  const std::string_view parameters = Trim(log.run.parameters);
  if (!parameters.empty()) LogLine(log, "Prm: " + std::string(parameters));
  return true;
}

void SettleRunNumber(AppLog& log, std::int32_t configRunNumber) {
  log.run.runNumber = configRunNumber;
  if (!ReadSessionHeader(log.sessionFile)) return;
  const std::int64_t next = std::int64_t{log.sessionFile.header.lastRun} + 1;
  // A damaged count that gives no usable number leaves the configuration's.
  if (next <= 0 || next > std::numeric_limits<std::int32_t>::max()) return;
  log.run.runNumber = static_cast<std::int32_t>(next);
  if (next != configRunNumber) {
    LogLine(log, "Correct session number by session file: " + FormatInt(configRunNumber) + " -> " + FormatInt(next));
  }
}

bool AppendSession(AppLog& log) { return AppendSession(log.sessionFile, log.run, log.mainLog.sizeAtOpen); }

void LogSessionClosing(AppLog& log) { LogLine(log, "-Closing session"); }

bool FinishRun(AppLog& log) {
  std::string line = "- End: time=" + DurationText(WholeSeconds(log.run.started, Now()));
  if (log.run.Has(RunFlag::UpdateEXEStarted)) line += ", try to update EXE";
  LogLine(log, line);
  SessionLogUsage usage;
  usage.sizeAtOpen = log.mainLog.sizeAtOpen;
  // Both sizes modulo 2^32: the low bits of the difference stay exact.
  usage.growth = static_cast<std::uint32_t>(LogFileSize(log.mainLog)) - log.mainLog.sizeAtOpen;
  usage.lines = log.mainLog.linesWritten;
  return FinishSession(log.sessionFile, log.run, usage);
}

std::string DurationText(std::int64_t seconds) {
  const bool negative = seconds < 0;
  const std::uint64_t s = negative ? 0 - static_cast<std::uint64_t>(seconds) : static_cast<std::uint64_t>(seconds);
  const std::uint64_t hours = s / 3600;
  const auto minutes = static_cast<std::int64_t>(s / 60 % 60);
  const auto secs = static_cast<std::int64_t>(s % 60);
  std::string text = negative ? "-" : "";
  if (hours == 0) return text + FormatInt(minutes) + ":" + Digits(secs, 2);
  return text + std::to_string(hours) + ":" + Digits(minutes, 2) + ":" + Digits(secs, 2);
}

std::uint64_t MemTotalMegabytes(std::string_view meminfo) {
  const std::string_view value = ValueOf(meminfo, "MemTotal", ':');  // "16314132 kB"
  std::uint64_t kb = 0;
  for (const char c : value) {
    if (c < '0' || c > '9') break;
    if (kb > std::numeric_limits<std::uint64_t>::max() / 10 - 9) return 0;
    kb = kb * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return kb / 1024;
}

std::string CpuModel(std::string_view cpuinfo) { return OneLine(ValueOf(cpuinfo, "model name", ':')); }

std::string OsPrettyName(std::string_view osRelease) {
  std::string_view value = ValueOf(osRelease, "PRETTY_NAME", '=');
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  return OneLine(value);
}

SysInfo ReadSysInfo(bool bigFonts) {
  SysInfo info;
  char host[256] = {};
  if (::gethostname(host, sizeof host - 1) == 0) info.host = host;
  info.computer = info.host.substr(0, info.host.find('.'));
  info.user = UserName();
  info.address = FirstAddress();
  std::string os = OsPrettyName(ReadSmallFile("/etc/os-release", 65536));
  utsname names{};
  if (::uname(&names) == 0) {
    if (!os.empty()) os += ", ";
    os += std::string(names.sysname) + " " + names.release;
  }
  info.os = os;
  info.ramMegabytes = MemTotalMegabytes(ReadSmallFile("/proc/meminfo", 65536));
  const std::string vendor = OneLine(ReadSmallFile("/sys/class/dmi/id/bios_vendor", 256));
  const std::string version = OneLine(ReadSmallFile("/sys/class/dmi/id/bios_version", 256));
  info.bios = vendor.empty() || version.empty() ? vendor + version : vendor + " " + version;
  info.cpu = CpuModel(ReadSmallFile("/proc/cpuinfo", 65536));
  info.bigFonts = bigFonts;
  return info;
}

std::string SysInfoText(const SysInfo& info) {
  std::string text = "SysInfo: WinComputer=" + info.computer + ", WinUser=" + info.user + ", IP=" + info.address +
                     ", host=" + info.host + ", OS=\"" + info.os + "\", RAM=" + std::to_string(info.ramMegabytes) +
                     "M, BIOS=\"" + info.bios + "\"";
  if (!info.cpu.empty()) text += ", CPU=\"" + info.cpu + "\"";
  text += info.bigFonts ? ", SysFont=big" : ", SysFont=small";
  return text;
}

void LogSysInfo(AppLog& log, const SysInfo& info) {
  if (log.sysInfoLogged) return;
  log.sysInfoLogged = true;
  LogLine(log, SysInfoText(info));
}

}  // namespace mv
