#pragma once
// The application log: two UTF-8 text files with CR LF line ends in the log folder (text for
// people to read in a terminal or an editor; the data files keep their Windows-1251).
// "mvl.log" collects every run and is never truncated; "mvl_sess.log" holds the current run
// (the previous run's copy is kept as "mvl_prev.log"). Every line goes to both.
//
// A line is written by opening the file for appending, one write() of the whole text and
// closing it, so the log is complete up to its last line even after a crash, and lines of two
// instances appending to one log interleave whole. Lines written before a log is ready, while
// it is being written (a failure window logged by the write itself), or whose write failed
// wait in the log's pending text and go out, in order, ahead of the next line that reaches
// the file.
//
// Line: "dd.MM.yyyy hh:nn:ss" + " " + run field + slot field + "  " + message, where the run
// field is the run number right-aligned in 4 ("  --" while it is 0) and the slot field is " "
// + the dataset's slot right-aligned in 2 (three blanks for slot 0):
//   05.03.2024 14:07:09   17  3  X
//
// Start-up (shell):                      End of the run (shell):
//   AppLog appLog;                         LogSessionClosing(appLog);
//   appLog.run.Begin();                    ...save the configuration...
//   ...set PrevInstance, parameters...     FinishRun(appLog);  // "- End: time=..." + record
//   platform::Install<ILog>(&appLog);
//   StartLogs(appLog, DefaultLogFolder(), AppFolder());
//   appLog.run.runNumber = 1;  ...read the configuration...
//   SettleRunNumber(appLog, counter + 1);
//   AppendSession(appLog);
//   ...main window shown: appLog.run.windowHandle = ...; LogSysInfo(appLog, ReadSysInfo(big));

#include <cstdint>
#include <string>
#include <string_view>

#include "core/run_state.h"
#include "core/session_file.h"
#include "platform/log_sink.h"

namespace mv {

// The log folder at start-up, before the configuration is read: the application folder's "Log".
std::string DefaultLogFolder();

// File kinds of AppFileName.
inline constexpr int kFileProgram = 1;      // the program file itself
inline constexpr int kFileMainLog = 2;      // "mvl.log"
inline constexpr int kFileSessionLog = 3;   // "mvl_sess.log"
inline constexpr int kFilePreviousLog = 4;  // "mvl_prev.log"
inline constexpr int kFileSessionFile = 5;  // "mvl.ses"

// Full path of a file of the given kind (all but the program file in logFolder); empty text
// for any other kind.
std::string AppFileName(int kind, std::string_view logFolder);

// One log file. No handle is kept: each line opens and closes the file.
struct TLogFile {
  bool usable = false;   // existed or was created at open; only a usable log is written to
  bool created = false;  // did not exist at open and was created in this run
  bool busy = false;     // a write to this file is under way
  std::string fileName;
  std::uint32_t lastResult = 0;  // system's file error code of the last failure, 0 = none
  std::int32_t failures = 0;     // failed operations so far
  std::int32_t linesWritten = 0; // successful writes in this run
  std::uint32_t sizeAtOpen = 0;  // bytes when opened (low 32 bits), 0 for a new file
  std::string pending;           // lines not yet written, each followed by CR LF
};

// Takes the file as the log. An existing file is usable at once and left as it is; a missing
// one is created with the line "<date time>  Start log file <path>". False with lastResult 3
// and no window when the folder is missing; false with the failure window when the file
// cannot be created.
bool OpenLogFile(TLogFile& log, const std::string& fileName);

// Writes one line (with an empty line before all of it when asked). True when it reached the
// file. A log that is not usable or busy keeps the line in its pending text. When the file
// cannot be opened the line joins the pending text; when the write fails, what did not reach
// the file goes back to the front of it. The first two failures of a log show
// "Сбой при попытке записи log-файла" CR LF path CR LF CR LF + FileErrorText (tagged, so it is
// logged like any error window); later ones are silent. The pending text keeps at most the
// latest 1 MiB of lines.
bool WriteLogLine(TLogFile& log, std::int32_t runNumber, std::string_view message, std::uint8_t slot = 0,
                  bool emptyLineBefore = false);

// The file's current size in bytes, 0 when it does not exist.
std::uint64_t LogFileSize(const TLogFile& log);

// The run's two logs, its state and its session file. Installed as the platform log, it takes
// every line the logic writes through platform::ILog.
class AppLog final : public platform::ILog {
 public:
  RunState run;
  TLogFile mainLog;
  TLogFile sessionLog;
  TSessFile sessionFile;
  std::string logFolder;  // with a trailing separator once StartLogs has run
  bool sysInfoLogged = false;

  void LogLine(std::string_view text, int slot = 0) override;
  void LogError(std::string_view text, int slot = 0) override;
};

// Opens mainBase + ".log" and, when sessionBase is not empty, the session log: sessionBase +
// ".log", or in an additional instance sessionBase + "_yyyyMMdd_hhnn.log". The session log is
// deleted first, so it always starts empty. The main log's result.
bool OpenLogs(AppLog& log, const std::string& mainBase, const std::string& sessionBase);

// A line to the main log and then the session log; the main log's result.
bool LogLine(AppLog& log, std::string_view message, std::uint8_t slot = 0, bool emptyLineBefore = false);
// LogLine("[ERR] " + message), never with an empty line before.
bool LogError(AppLog& log, std::string_view message, std::uint8_t slot = 0);

// The first step of start-up. Creates the log folder when missing (when that fails: the
// "Не найдена папка протокола работы" error, no log is opened and lines stay in memory);
// moves "*.log" of oldFolder into the log folder once (when oldFolder holds "mvl.log" and the
// log folder does not); in a primary instance keeps the last session log as "mvl_prev.log";
// opens the logs and writes the start lines. True when the main log is open.
bool StartLogs(AppLog& log, const std::string& logFolder, const std::string& oldFolder);

// Once the configuration is read (configRunNumber: its stored counter + 1, or 1 when it could
// not be read): the run takes that number, then the session file's last run + 1 when its
// header reads, logging "Correct session number by session file: old -> new" when they differ.
void SettleRunNumber(AppLog& log, std::int32_t configRunNumber);

// AppendSession for this run (after SettleRunNumber).
bool AppendSession(AppLog& log);

// "-Closing session": the first line of the end of the run.
void LogSessionClosing(AppLog& log);
// The last step of the run: "- End: time=" + duration (+ ", try to update EXE" when a new
// program file is to be installed), then FinishSession.
bool FinishRun(AppLog& log);

// Whole seconds as "m:ss" under an hour and "h:mm:ss" from an hour on; negative values get a
// leading "-": 75 -> "1:15", 3725 -> "1:02:05".
std::string DurationText(std::int64_t seconds);

// The facts of the "SysInfo: " line.
struct SysInfo {
  std::string computer;  // host name up to the first dot
  std::string user;
  std::string address;   // first IPv4 address of an interface that is up and not loopback
  std::string host;      // full host name
  std::string os;        // "Debian GNU/Linux 12 (bookworm), Linux 6.1.0-18-amd64"
  std::uint64_t ramMegabytes = 0;
  std::string bios;
  std::string cpu;       // empty when unknown
  bool bigFonts = false; // large system fonts (the shell knows)
};

// Reads the facts from this machine.
SysInfo ReadSysInfo(bool bigFonts);
// "SysInfo: WinComputer=..., WinUser=..., IP=..., host=..., OS=\"...\", RAM=...M,
// BIOS=\"...\"[, CPU=\"...\"], SysFont=big|small"
std::string SysInfoText(const SysInfo& info);
// Logs the line once per run (after the main window has been shown).
void LogSysInfo(AppLog& log, const SysInfo& info);

// Parts of the Linux sources, kept apart so they can be checked on fixed texts.
std::uint64_t MemTotalMegabytes(std::string_view meminfo);  // /proc/meminfo
std::string CpuModel(std::string_view cpuinfo);              // /proc/cpuinfo, "model name"
std::string OsPrettyName(std::string_view osRelease);        // /etc/os-release, PRETTY_NAME

}  // namespace mv
