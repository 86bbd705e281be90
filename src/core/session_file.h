#pragma once
// The session file "mvl.ses" in the log folder: one fixed-size record per run. It gives the run
// its number, records when each run started and ended and how much it logged, and shows by a
// missing end which runs stopped abnormally.
//
//   0                     chunk header: code 1601, size 512, number 0
//   32                    header record (512)
//   544 + 800 × (n − 1)   chunk header of session n: code 1602, size 768, number = its run number
//   576 + 800 × (n − 1)   session record (768)
//
// Every chunk carries the 32-byte "[UDB" header of core/check_value.h with the content's check
// value; in this file the header's bytes 24..27 hold the number above. Everything read is
// checked against its capacity and the bytes present before use. Failures are logged through
// the installed log and shown as "Сбой при работе с файлом"; they never stop the run.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/run_state.h"
#include "platform/clock.h"

namespace mv {

namespace ses {
inline constexpr std::size_t kChunkNumber = 24;  // i32 within the chunk header
inline constexpr std::int32_t kHeaderCode = 1601;
inline constexpr std::int32_t kRecordCode = 1602;
inline constexpr std::int64_t kFirstRecordPosition = 544;  // chunk header of session 1
inline constexpr std::int64_t kRecordStride = 800;         // chunk header + record

// Header record (512 bytes; bytes not named are zero or belong to other facilities).
namespace hdr {
inline constexpr char kMarker[] = "[SH]";
inline constexpr std::size_t kVersion = 4;        // u8, 1
inline constexpr std::size_t kProgram = 7;        // s[50]
inline constexpr std::size_t kSessions = 168;     // i32
inline constexpr std::size_t kFirstRun = 172;     // i32
inline constexpr std::size_t kLastRun = 176;      // i32
inline constexpr std::size_t kLastPosition = 180; // i32, chunk header of the last session
inline constexpr std::size_t kSize = 512;
static_assert(kProgram + 51 <= kSessions && kLastPosition + 4 <= kSize);
}  // namespace hdr

// Session record (768 bytes; bytes not named are zero).
namespace rec {
inline constexpr char kMarker[] = "[SR]";
inline constexpr std::size_t kRun = 4;             // i32
inline constexpr std::size_t kSessionFlags = 8;    // u32
inline constexpr std::size_t kSummary = 12;        // s[22]
inline constexpr std::size_t kState = 35;          // u8: 1 started, 2 ended
inline constexpr std::size_t kStarted = 36;        // date-time
inline constexpr std::size_t kEnded = 44;          // date-time, 0 until the end
inline constexpr std::size_t kTimeZoneBias = 52;   // i32, minutes
inline constexpr std::size_t kRunFlags = 56;       // u32, RunFlag bits
inline constexpr std::size_t kProgram = 68;        // s[50]
inline constexpr std::size_t kProgramTime = 119;   // date-time
inline constexpr std::size_t kProgramSize = 127;   // i32
inline constexpr std::size_t kLogSizeAtOpen = 400; // i32
inline constexpr std::size_t kLogGrowth = 404;     // u16, low 16 bits
inline constexpr std::size_t kLogLines = 406;      // u16
inline constexpr std::size_t kParameters = 656;    // s[30]
inline constexpr std::size_t kRunAgain = 757;      // i32
inline constexpr std::size_t kRecordSize = 761;    // i16, 768
inline constexpr std::size_t kVersion = 763;       // u8, 1
inline constexpr std::size_t kMarkerAgain = 764;
inline constexpr std::size_t kSize = 768;
static_assert(kSummary + 23 == kState && kProgram + 51 == kProgramTime && kProgramTime + 8 == kProgramSize);
static_assert(kParameters + 31 <= kRunAgain && kRunAgain + 4 == kRecordSize && kMarkerAgain + 4 == kSize);

// Session flags.
inline constexpr std::uint32_t kAdditional = 1;   // from RunFlag::PrevInstance
inline constexpr std::uint32_t kNewBuild = 2;     // from RunFlag::UpdatedEXE
inline constexpr std::uint32_t kConfigRead = 4;   // from RunFlag::CFG_Loaded
}  // namespace rec

static_assert(kFirstRecordPosition == 32 + hdr::kSize && kRecordStride == 32 + rec::kSize);
}  // namespace ses

// Status of reading a chunk.
enum class ChunkStatus : std::uint8_t {
  Ok = 0,
  Failed = 1,             // also: no file name
  BadHeader = 3,          // marker or closing mark
  BadHeaderVersion = 4,   // chunk format version
  BadType = 5,            // content code or record marker
  BadTypeVersion = 6,     // content or record version
  FileError = 7,
  BufferTooSmall = 8,     // content larger than the record
  Damaged = 9,            // check value mismatch
};

// "OK", "Oшибка обработки" (its first letter is a Latin O, as the system has always shown it),
// ..., "Повреждение данных"; any other code "Ошибка #" + code.
std::string ChunkStatusText(int code);

struct SessionFileHeader {
  std::uint8_t version = 1;
  std::string program;  // name and version, at most 50 characters
  std::int32_t sessions = 0;
  std::int32_t firstRun = 0;
  std::int32_t lastRun = 0;
  std::int32_t lastPosition = 0;
  // The 512 bytes as read, so that other facilities' areas are written back unchanged; empty
  // for a new header.
  std::string bytes;
};

struct SessionRecord {
  std::int32_t runNumber = 0;
  std::uint32_t sessionFlags = 0;  // ses::rec::kAdditional, kNewBuild, kConfigRead
  std::string summary;             // ">> 2024-03-05 17" while running, "#> ..." once ended
  std::uint8_t state = 1;          // 1 started, 2 ended
  TDateTime started = 0;
  TDateTime ended = 0;
  std::int32_t timeZoneBias = 0;
  std::uint32_t runFlags = 0;
  std::string program;
  TDateTime programTime = 0;
  std::int32_t programSize = 0;
  std::int32_t logSizeAtOpen = 0;
  std::uint16_t logGrowth = 0;
  std::uint16_t logLines = 0;
  std::string parameters;  // the first 30 characters
  std::uint8_t version = 1;
};

// What the main log did in the run, as the session record keeps it.
struct SessionLogUsage {
  std::uint32_t sizeAtOpen = 0;
  std::uint32_t growth = 0;  // the record keeps the low 16 bits
  std::int32_t lines = 0;
};

// The record of a run: as at its start (state 1, ">> ", no end) or, with ended set, at its end
// (state 2, "#> ").
SessionRecord MakeSessionRecord(const RunState& run, const SessionLogUsage& usage, TDateTime ended);

// A record as listed, with the seconds since the end of the latest earlier session of a
// primary instance that has an end (0 when unknown and for additional instances) and the
// record's ordinal within its start day.
struct ListedSession {
  SessionRecord record;
  std::int32_t interval = 0;
  std::uint16_t ordinal = 0;
};

// At most this many records are listed at once.
inline constexpr std::size_t kMaxListedSessions = 65535;

struct TSessFile {
  std::string fileName;
  // The directory entry as last found (size -1 when unknown).
  std::int64_t fileSize = -1;
  TDateTime fileTime = 0;
  std::uint8_t status = static_cast<std::uint8_t>(ChunkStatus::Failed);
  int ioError = 0;  // system's file error code of the last failed operation
  SessionFileHeader header;
  bool headerRead = false;         // read or written successfully in this run
  std::int64_t recordPosition = 0; // where this run's record went (0: not yet)

  // Filled by ReadSessions.
  std::vector<ListedSession> sessions;
  std::int32_t firstRead = 0;  // run number of the first record listed
};

// Reads and checks the header chunk. False with status 0 when the file does not exist, with
// status 1 when no file name is set; a damaged header (a file too short to hold it included,
// status 9) is logged as "Session file header - " + status text + " (" + path + ")".
[[nodiscard]] bool ReadSessionHeader(TSessFile& file);

// At start-up, once the run number is settled: counts the run in the header and writes its
// record (state 1) in slot n = sessions + 1 at 544 + 800 × (n − 1). Creates the file when it is
// missing. When the header's count disagrees with the slots the file reaches by more than the
// one record a failed write may have left out, the record goes after the last slot present.
bool AppendSession(TSessFile& file, const RunState& run, std::uint32_t logSizeAtOpen);

// At the very end of the run: writes the run's record again as ended, over the same place.
// Only after AppendSession placed the record in this run.
bool FinishSession(TSessFile& file, const RunState& run, const SessionLogUsage& usage);

// Lists the records first, first + 1, ... (count of them; all remaining when count is 0 or
// less) into file.sessions. An empty list when the file records no sessions or first is
// outside 1..sessions. A damaged record is logged and skipped; a read failure stops the
// reading and gives false.
bool ReadSessions(TSessFile& file, std::int32_t first, std::int32_t count);

}  // namespace mv
