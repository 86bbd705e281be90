#pragma once
// Where reports are written. Every report is a folder holding its HTML document and the
// pictures it names:
//   - the session folder "YYYYMMDD_HHNNSS" inside the temporary folder, made once per run of the
//     program and removed with its content at the end of the run;
//   - a numbered folder "001", "002", ... inside it for every report;
//   - on request a permanent copy in <reports>/YYYY-MM/YYYY-MM-DD/NNN.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/clock.h"

namespace mv {

// The source tag of the folder operations' error windows.
inline constexpr std::string_view kReportFolderTag = "MakeReportFolder";

// "YYYYMMDD_HHNNSS" of the moment.
std::string SessionFolderName(TDateTime start);

// The session's report folders. Two programs started within the same second each get their
// own session folder ("_2", "_3", ... after the name), and a numbered folder is only ever one
// this session made itself.
class ReportSession {
 public:
  // Makes the session folder inside tempFolder, named after start. False (the path stays
  // empty) when it cannot be made; the reason is logged.
  bool Begin(const std::string& tempFolder, TDateTime start);
  // The session folder; empty before Begin or when it failed.
  const std::string& Path() const { return m_path; }

  // A new numbered report folder: the counter grows by one on every attempt, failed ones
  // included, and a name that exists already is passed over. Nothing, after an error window,
  // without a session folder or when the folder cannot be made.
  std::optional<std::string> MakeReportFolder();

  // Removes the session folder with everything in it (the end of the run). A failure is
  // logged and the path forgotten all the same.
  void End();

 private:
  std::string m_path;
  int m_counter = 0;
};

// The next permanent folder of the day (not made): <reportsFolder>/YYYY-MM/YYYY-MM-DD/NNN,
// NNN one more than the largest entry name of the day folder made wholly of digits, written
// with at least three digits ("001" for an empty or missing day folder, "1000" after "999").
std::string NextPermanentFolder(const std::string& reportsFolder, TDateTime today);

// What a copy of a report's files moved.
struct CopiedFiles {
  int files = 0;
  std::uint64_t bytes = 0;
  // Kilobytes as the log lines give them: bytes / 1024, truncated.
  std::uint64_t Kilobytes() const { return bytes / 1024; }
};

// Copies every regular file of `from` (not its subfolders) into the existing folder `to`,
// replacing files of the same names. False with the system's error text (FileErrorText) at
// the first failure; `copied` then holds what was done before it.
bool CopyReportFiles(const std::string& from, const std::string& to, CopiedFiles& copied, std::string& error);

// The system's error text of a std::filesystem failure on `path` (which tells a missing folder
// from a missing file).
std::string FolderErrorText(const std::error_code& code, bool writing, const std::filesystem::path& path = {});

}  // namespace mv
