#include "reports/report_folders.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include <unistd.h>

#include "core/date_time.h"
#include "core/file_error.h"
#include "core/file_routines.h"
#include "core/messages.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/services.h"

namespace mv {
namespace fs = std::filesystem;

namespace {

std::string TwoDigits(int n) {
  char text[4];
  std::snprintf(text, sizeof text, "%02d", n % 100);
  return text;
}

std::string FourDigits(int n) {
  char text[8];
  std::snprintf(text, sizeof text, "%04d", n % 10000);
  return text;
}

std::string ThreeDigitsAtLeast(std::uint64_t n) {
  std::string text = std::to_string(n);
  if (text.size() < 3) text.insert(0, 3 - text.size(), '0');
  return text;
}

bool AllDigits(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Makes `path` when nothing of that name exists; false with taken = true when something does.
bool MakeNewFolder(const fs::path& path, bool& taken, std::error_code& ec) {
  taken = false;
  if (fs::create_directory(path, ec)) return true;
  // An existing folder is "not made" without an error; anything else of the name is an error.
  if (!ec || ec == std::errc::file_exists) {
    ec.clear();
    taken = true;
  }
  return false;
}

}  // namespace

std::string SessionFolderName(TDateTime start) {
  const CalendarDate date = DecodeDate(start);
  const ClockTime time = DecodeTime(start);
  return FourDigits(date.year) + TwoDigits(date.month) + TwoDigits(date.day) + "_" + TwoDigits(time.hour) +
         TwoDigits(time.minute) + TwoDigits(time.second);
}

std::string FolderErrorText(const std::error_code& code, bool writing, const fs::path& path) {
  return FileErrorText(FileErrorCode(code.value(), writing ? FileOp::Write : FileOp::Read, path));
}

bool ReportSession::Begin(const std::string& tempFolder, TDateTime start) {
  m_path.clear();
  m_counter = 0;
  const std::string base = SessionFolderName(start);
  std::error_code ec;
  // Another program of the same second has the plain name: the next free suffix is ours.
  for (int n = 1; n <= 1000; ++n) {
    const fs::path candidate = fs::path(tempFolder) / (n == 1 ? base : base + "_" + std::to_string(n));
    bool taken = false;
    if (MakeNewFolder(candidate, taken, ec)) {
      m_path = candidate.string();
      return true;
    }
    if (!taken) break;
  }
  platform::Current<platform::ILog>().LogError("Session report folder not created in " + Quoted(tempFolder) +
                                              (ec ? " - " + FolderErrorText(ec, true, tempFolder + "/x") : std::string()));
  return false;
}

std::optional<std::string> ReportSession::MakeReportFolder() {
  if (CharCount(m_path) < 4) {
    ShowError("Не создана папка для временных файлов сеанса\r\n\r\n" + Quoted(m_path), 0, kReportFolderTag);
    return std::nullopt;
  }
  for (;;) {
    ++m_counter;
    const fs::path folder = fs::path(m_path) / ThreeDigitsAtLeast(static_cast<std::uint64_t>(m_counter));
    std::error_code ec;
    bool taken = false;
    if (MakeNewFolder(folder, taken, ec)) return folder.string();
    if (taken && m_counter < 100000) continue;  // made by something else: never shared
    ShowError("Не удалось создать рабочую папку отчета\r\n\r\n" + Quoted(folder.string()), 0, kReportFolderTag, 0,
              ec ? FolderErrorText(ec, true, folder) : std::string());
    return std::nullopt;
  }
}

void ReportSession::End() {
  if (m_path.empty()) return;
  std::error_code ec;
  fs::remove_all(m_path, ec);
  if (ec) {
    platform::Current<platform::ILog>().LogError("Session report folder not removed: " + Quoted(m_path) + " - " +
                                                FolderErrorText(ec, true));
  }
  m_path.clear();
}

std::string NextPermanentFolder(const std::string& reportsFolder, TDateTime today) {
  const CalendarDate date = DecodeDate(today);
  const std::string month = FourDigits(date.year) + "-" + TwoDigits(date.month);
  const fs::path day = fs::path(reportsFolder) / month / (month + "-" + TwoDigits(date.day));
  std::uint64_t largest = 0;
  std::error_code ec;
  for (fs::directory_iterator it(day, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    // Names too long for a number cannot be the largest one we could ever make.
    if (!AllDigits(name) || name.size() > 18) continue;
    largest = std::max<std::uint64_t>(largest, std::stoull(name));
  }
  return (day / ThreeDigitsAtLeast(largest + 1)).string();
}

bool CopyReportFiles(const std::string& from, const std::string& to, CopiedFiles& copied, std::string& error) {
  copied = {};
  error.clear();
  std::error_code ec;
  fs::directory_iterator it(from, ec);
  if (ec) {
    error = FolderErrorText(ec, false, fs::path(from) / "x");
    return false;
  }
  static unsigned number = 0;
  fs::path failed;  // the file a failure was about
  for (const fs::directory_iterator end; it != end; it.increment(ec)) {
    if (ec) break;
    const fs::directory_entry& entry = *it;
    if (!entry.is_regular_file(ec)) continue;
    // Each file is copied beside its target and renamed over it once complete, so a failure
    // leaves a file of the same name as it was.
    const fs::path target = fs::path(to) / entry.path().filename();
    const fs::path temporary = TemporaryNameFor(target.string(), ::getpid(), number++);
    failed = target;
    if (!fs::copy_file(entry.path(), temporary, fs::copy_options::overwrite_existing, ec)) break;
    const std::uintmax_t size = fs::file_size(temporary, ec);
    if (!ec) fs::rename(temporary, target, ec);
    if (ec) {
      std::error_code ignored;
      fs::remove(temporary, ignored);
      break;
    }
    ++copied.files;
    copied.bytes += size;
  }
  if (ec) {
    error = FolderErrorText(ec, true, failed);
    return false;
  }
  return true;
}

}  // namespace mv
