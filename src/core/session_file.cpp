#include "core/session_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include "core/byte_order.h"
#include "core/check_value.h"
#include "core/cp1251.h"
#include "core/date_time.h"
#include "core/file_error.h"
#include "core/unique_fd.h"
#include "core/file_facts.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/text.h"
#include "platform/log_sink.h"
#include "platform/services.h"

namespace mv {
namespace {

// A short read is what the system reports as a disk read error.
constexpr int kShortRead = 100;
constexpr int kShortWrite = 101;


// Exactly n bytes from pos, or false with the system's code.
bool ReadAt(int fd, std::int64_t pos, std::size_t n, std::string& out, const std::string& path, int& error) {
  out.assign(n, '\0');
  std::size_t done = 0;
  while (done < n) {
    const ssize_t got = ::pread(fd, out.data() + done, n - done, static_cast<off_t>(pos) + static_cast<off_t>(done));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      error = FileErrorCode(errno, FileOp::Read, path);
      return false;
    }
    if (got == 0) {
      error = kShortRead;
      return false;
    }
    done += static_cast<std::size_t>(got);
  }
  return true;
}

bool WriteAt(int fd, std::int64_t pos, std::string_view bytes, const std::string& path, int& error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                                 static_cast<off_t>(pos) + static_cast<off_t>(done));
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) {
      error = FileErrorCode(errno, FileOp::Write, path);
      return false;
    }
    if (put == 0) {
      error = kShortWrite;
      return false;
    }
    done += static_cast<std::size_t>(put);
  }
  return true;
}

// Short texts: a length byte and at most `capacity` Windows-1251 characters.
void PutShortText(std::string& b, std::size_t off, std::string_view utf8, std::size_t capacity) {
  std::string bytes = Utf8ToCp1251(CutToChars(utf8, capacity));
  if (bytes.size() > capacity) bytes.resize(capacity);
  b[off] = static_cast<char>(bytes.size());
  std::memcpy(b.data() + off + 1, bytes.data(), bytes.size());
}

std::string GetShortText(std::string_view b, std::size_t off, std::size_t capacity) {
  const std::size_t length = std::min<std::size_t>(GetU8(b, off), capacity);
  return Cp1251ToUtf8(b.substr(off + 1, length));
}

std::string EncodeHeader(const SessionFileHeader& h) {
  using namespace ses::hdr;
  std::string b = h.bytes.size() == kSize ? h.bytes : std::string(kSize, '\0');
  std::memcpy(b.data(), kMarker, 4);
  PutU8(b, kVersion, h.version);
  std::memset(b.data() + kProgram, 0, 51);
  PutShortText(b, kProgram, h.program, 50);
  PutI32(b, kSessions, h.sessions);
  PutI32(b, kFirstRun, h.firstRun);
  PutI32(b, kLastRun, h.lastRun);
  PutI32(b, kLastPosition, h.lastPosition);
  return b;
}

SessionFileHeader DecodeHeader(std::string_view b) {
  using namespace ses::hdr;
  SessionFileHeader h;
  h.version = GetU8(b, kVersion);
  h.program = GetShortText(b, kProgram, 50);
  h.sessions = GetI32(b, kSessions);
  h.firstRun = GetI32(b, kFirstRun);
  h.lastRun = GetI32(b, kLastRun);
  h.lastPosition = GetI32(b, kLastPosition);
  h.bytes = std::string(b.substr(0, kSize));
  return h;
}

std::string EncodeRecord(const SessionRecord& r) {
  using namespace ses::rec;
  std::string b(kSize, '\0');
  std::memcpy(b.data(), kMarker, 4);
  PutI32(b, kRun, r.runNumber);
  PutU32(b, kSessionFlags, r.sessionFlags);
  PutShortText(b, kSummary, r.summary, 22);
  PutU8(b, kState, r.state);
  PutF64(b, kStarted, r.started);
  PutF64(b, kEnded, r.ended);
  PutI32(b, kTimeZoneBias, r.timeZoneBias);
  PutU32(b, kRunFlags, r.runFlags);
  PutShortText(b, kProgram, r.program, 50);
  PutF64(b, kProgramTime, r.programTime);
  PutI32(b, kProgramSize, r.programSize);
  PutI32(b, kLogSizeAtOpen, r.logSizeAtOpen);
  PutU16(b, kLogGrowth, r.logGrowth);
  PutU16(b, kLogLines, r.logLines);
  PutShortText(b, kParameters, r.parameters, 30);
  PutI32(b, kRunAgain, r.runNumber);
  PutI16(b, kRecordSize, static_cast<std::int16_t>(kSize));
  PutU8(b, kVersion, r.version);
  std::memcpy(b.data() + kMarkerAgain, kMarker, 4);
  return b;
}

SessionRecord DecodeRecord(std::string_view b) {
  using namespace ses::rec;
  SessionRecord r;
  r.runNumber = GetI32(b, kRun);
  r.sessionFlags = GetU32(b, kSessionFlags);
  r.summary = GetShortText(b, kSummary, 22);
  r.state = GetU8(b, kState);
  r.started = GetF64(b, kStarted);
  r.ended = GetF64(b, kEnded);
  r.timeZoneBias = GetI32(b, kTimeZoneBias);
  r.runFlags = GetU32(b, kRunFlags);
  r.program = GetShortText(b, kProgram, 50);
  r.programTime = GetF64(b, kProgramTime);
  r.programSize = GetI32(b, kProgramSize);
  r.logSizeAtOpen = GetI32(b, kLogSizeAtOpen);
  r.logGrowth = GetU16(b, kLogGrowth);
  r.logLines = GetU16(b, kLogLines);
  r.parameters = GetShortText(b, kParameters, 30);
  r.version = GetU8(b, kVersion);
  return r;
}

std::string Chunk(std::int32_t code, std::int32_t number, const std::string& content) {
  ChunkHeader header;
  header.contentVersion = 1;
  header.contentCode = code;
  header.contentSize = static_cast<std::int32_t>(content.size());
  header.check = CheckValue(content);
  header.written = Now();
  std::string bytes = header.Encode();
  PutI32(bytes, ses::kChunkNumber, number);
  return bytes + content;
}

// Reads the chunk at pos into header and content (content padded with zeros to capacity).
// FileError with `error` set when the bytes cannot be read.
ChunkStatus ReadChunk(int fd, std::int64_t pos, std::size_t capacity, const std::string& path, ChunkHeader& header,
                      std::string& content, int& error) {
  std::string head;
  if (!ReadAt(fd, pos, ChunkHeader::kSize, head, path, error)) return ChunkStatus::FileError;
  if (!ChunkHeader::Decode(head, header)) return ChunkStatus::BadHeader;
  if (header.formatVersion != ChunkHeader::kFormatVersion) return ChunkStatus::BadHeaderVersion;
  if (header.contentSize < 0 || static_cast<std::size_t>(header.contentSize) > capacity) {
    return ChunkStatus::BufferTooSmall;
  }
  if (!ReadAt(fd, pos + static_cast<std::int64_t>(ChunkHeader::kSize), static_cast<std::size_t>(header.contentSize),
              content, path, error)) {
    return ChunkStatus::FileError;
  }
  // A check value of 0 means the writer did not compute one.
  if (header.check != 0 && header.check != CheckValue(content)) return ChunkStatus::Damaged;
  content.resize(capacity, '\0');
  return ChunkStatus::Ok;
}

ChunkStatus CheckHeaderContent(const ChunkHeader& chunk, std::string_view content) {
  if (chunk.contentCode != ses::kHeaderCode || content.substr(0, 4) != ses::hdr::kMarker) return ChunkStatus::BadType;
  if (chunk.contentVersion >= 2 || GetU8(content, ses::hdr::kVersion) >= 2) return ChunkStatus::BadTypeVersion;
  return ChunkStatus::Ok;
}

ChunkStatus CheckRecordContent(const ChunkHeader& chunk, std::string_view content) {
  using namespace ses::rec;
  if (chunk.contentCode != ses::kRecordCode || content.substr(0, 4) != kMarker ||
      content.substr(kMarkerAgain, 4) != kMarker) {
    return ChunkStatus::BadType;
  }
  if (chunk.contentVersion >= 2 || GetU8(content, kVersion) >= 2) return ChunkStatus::BadTypeVersion;
  return ChunkStatus::Ok;
}

void SetStatus(TSessFile& file, ChunkStatus status) { file.status = static_cast<std::uint8_t>(status); }

// Refreshes the directory entry; false when the file does not exist.
bool Lookup(TSessFile& file) {
  std::uint64_t size = 0;
  TDateTime time = 0;
  if (!FileFacts(file.fileName, size, time)) {
    file.fileSize = -1;
    struct stat info {};
    return ::stat(file.fileName.c_str(), &info) == 0;  // something that is not a regular file
  }
  file.fileSize = static_cast<std::int64_t>(size);
  file.fileTime = time;
  return true;
}

void ReportFailure(TSessFile& file, std::string_view step) {
  SetStatus(file, ChunkStatus::FileError);
  std::string text = "Session file err #" + FormatInt(file.ioError) + " (" + FileErrorText(file.ioError) + ") in " +
                     file.fileName;
  if (file.fileSize >= 0) text += " (" + FormatInt(file.fileSize) + " bt, " + DateTimeText(file.fileTime, true) + ")";
  text += " [" + std::string(step) + "]";
  platform::Current<platform::ILog>().LogError(text);
  ShowError("Сбой при работе с файлом\r\n" + file.fileName + "\r\n\r\n" + FileErrorText(file.ioError), 0, text);
}

void ReportDamage(TSessFile& file, ChunkStatus status, std::string_view what) {
  SetStatus(file, status);
  platform::Current<platform::ILog>().LogError(std::string(what) + " - " + ChunkStatusText(static_cast<int>(status)) +
                                               " (" + file.fileName + ")");
}

std::int64_t SlotPosition(std::int64_t n) { return ses::kFirstRecordPosition + ses::kRecordStride * (n - 1); }

// The slot of the next record. A healthy file reaches exactly `sessions` slots; one more
// counted than present is a record whose write failed (its slot stays reserved, so every
// later record keeps its place). Any other disagreement means the count cannot be trusted:
// the record goes after the last slot the file reaches, overwriting nothing.
std::int64_t NextSlot(std::int32_t sessions, std::int64_t fileSize) {
  const std::int64_t present = fileSize <= ses::kFirstRecordPosition
                                   ? 0
                                   : (fileSize - ses::kFirstRecordPosition + ses::kRecordStride - 1) /
                                         ses::kRecordStride;
  if (sessions == present || sessions == present + 1) return std::int64_t{sessions} + 1;
  return present + 1;
}

bool WriteRecord(TSessFile& file, UniqueFd& fd, const RunState& run, const SessionRecord& record, std::int64_t position) {
  if (!WriteAt(fd.get(), position, Chunk(ses::kRecordCode, run.runNumber, EncodeRecord(record)), file.fileName,
               file.ioError)) {
    ReportFailure(file, "save session");
    return false;
  }
  if (!fd.Close()) {
    file.ioError = FileErrorCode(errno, FileOp::Write, file.fileName);
    ReportFailure(file, "close");
    return false;
  }
  SetStatus(file, ChunkStatus::Ok);
  return true;
}

std::string Digits(int value, std::size_t width) {
  std::string text = FormatInt(value);
  if (text.size() < width) text.insert(0, width - text.size(), '0');
  return text;
}

// "yyyy-MM-dd"
std::string DayText(TDateTime value) {
  const CalendarDate d = DecodeDate(value);
  return Digits(d.year, 4) + "-" + Digits(d.month, 2) + "-" + Digits(d.day, 2);
}

std::int32_t SecondsBetween(TDateTime from, TDateTime to) {
  const double seconds = std::round((to - from) * 86400.0);
  if (!std::isfinite(seconds)) return 0;
  constexpr double kMax = std::numeric_limits<std::int32_t>::max();
  constexpr double kMin = std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(std::clamp(seconds, kMin, kMax));
}

bool SameDay(TDateTime a, TDateTime b) {
  const CalendarDate x = DecodeDate(a);
  const CalendarDate y = DecodeDate(b);
  return x.year == y.year && x.month == y.month && x.day == y.day;
}

void ComputeIntervals(std::vector<ListedSession>& sessions) {
  bool haveEnd = false;
  TDateTime lastEnd = 0;
  for (std::size_t i = 0; i < sessions.size(); ++i) {
    ListedSession& s = sessions[i];
    const bool additional = (s.record.sessionFlags & ses::rec::kAdditional) != 0;
    s.interval = !additional && haveEnd ? SecondsBetween(lastEnd, s.record.started) : 0;
    s.ordinal = i > 0 && SameDay(s.record.started, sessions[i - 1].record.started)
                    ? static_cast<std::uint16_t>(sessions[i - 1].ordinal + 1)
                    : std::uint16_t{1};
    if (!additional && s.record.ended != 0) {
      haveEnd = true;
      lastEnd = s.record.ended;
    }
  }
}

}  // namespace

std::string ChunkStatusText(int code) {
  switch (code) {
    case 0: return "OK";
    case 1: return "O" "шибка обработки";  // processing error; a Latin O, kept as the system shows it
    case 3: return "Неверный формат заголовка";     // bad header format
    case 4: return "Неверная версия заголовка";     // bad header version
    case 5: return "Неверный тип данных";           // wrong data type
    case 6: return "Неверная версия типа данных";   // wrong data type version
    case 7: return "Файловая ошибка";               // file error
    case 8: return "Размер буфера недостаточен";    // buffer too small
    case 9: return "Повреждение данных";            // data damaged
    default: return "Ошибка #" + FormatInt(code);
  }
}

SessionRecord MakeSessionRecord(const RunState& run, const SessionLogUsage& usage, TDateTime ended) {
  SessionRecord r;
  r.runNumber = run.runNumber;
  if (run.Has(RunFlag::PrevInstance)) r.sessionFlags |= ses::rec::kAdditional;
  if (run.Has(RunFlag::UpdatedEXE)) r.sessionFlags |= ses::rec::kNewBuild;
  if (run.Has(RunFlag::CFG_Loaded)) r.sessionFlags |= ses::rec::kConfigRead;
  r.summary = std::string(ended != 0 ? "#> " : ">> ") + DayText(run.started) + " " + FormatInt(run.runNumber);
  r.state = ended != 0 ? 2 : 1;
  r.started = run.started;
  r.ended = ended;
  r.timeZoneBias = run.timeZoneBias;
  r.runFlags = run.flags;
  r.program = run.program.title;
  r.programTime = run.program.time;
  r.programSize = static_cast<std::int32_t>(std::min<std::uint64_t>(run.program.size, 0x7FFFFFFF));
  // Sizes beyond 32 bits keep their low bits, so the growth's low 16 bits stay exact.
  r.logSizeAtOpen = static_cast<std::int32_t>(usage.sizeAtOpen);
  r.logGrowth = static_cast<std::uint16_t>(usage.growth & 0xFFFF);
  r.logLines = static_cast<std::uint16_t>(usage.lines);
  r.parameters = CutToChars(run.parameters, 30);
  return r;
}

bool ReadSessionHeader(TSessFile& file) {
  if (file.fileName.empty()) {
    SetStatus(file, ChunkStatus::Failed);
    return false;
  }
  if (!Lookup(file)) {
    SetStatus(file, ChunkStatus::Ok);
    return false;
  }
  UniqueFd fd(::open(file.fileName.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok()) {
    file.ioError = FileErrorCode(errno, FileOp::Read, file.fileName);
    ReportFailure(file, "open");
    return false;
  }
  ChunkHeader chunk;
  std::string content;
  ChunkStatus status = ReadChunk(fd.get(), 0, ses::hdr::kSize, file.fileName, chunk, content, file.ioError);
  // A file that ends before its header does is damaged, not a failing disk.
  if (status == ChunkStatus::FileError && file.fileSize >= 0 && file.fileSize < ses::kFirstRecordPosition) {
    status = ChunkStatus::Damaged;
  }
  if (status == ChunkStatus::FileError) {
    ReportFailure(file, "load header");
    return false;
  }
  if (status == ChunkStatus::Ok) status = CheckHeaderContent(chunk, content);
  if (status != ChunkStatus::Ok) {
    ReportDamage(file, status, "Session file header");
    return false;
  }
  file.header = DecodeHeader(content);
  file.headerRead = true;
  SetStatus(file, ChunkStatus::Ok);
  return true;
}

bool AppendSession(TSessFile& file, const RunState& run, std::uint32_t logSizeAtOpen) {
  if (file.fileName.empty()) {
    SetStatus(file, ChunkStatus::Failed);
    return false;
  }
  const SessionRecord record = MakeSessionRecord(run, SessionLogUsage{logSizeAtOpen, 0, 0}, 0);
  if (Lookup(file)) {
    if (!file.headerRead && !ReadSessionHeader(file)) return false;
    SessionFileHeader& h = file.header;
    const std::int64_t slot = NextSlot(h.sessions, file.fileSize);
    const std::int64_t position = SlotPosition(slot);
    if (position > std::numeric_limits<std::int32_t>::max() - ses::kRecordStride) {
      ReportDamage(file, ChunkStatus::BufferTooSmall, "Session file");
      return false;
    }
    if (h.sessions <= 0) h.firstRun = run.runNumber;
    h.program = run.program.title;
    h.lastRun = run.runNumber;
    h.sessions = static_cast<std::int32_t>(slot);
    h.lastPosition = static_cast<std::int32_t>(position);
    UniqueFd fd(::open(file.fileName.c_str(), O_RDWR | O_CLOEXEC));
    if (!fd.ok()) {
      file.ioError = FileErrorCode(errno, FileOp::Write, file.fileName);
      ReportFailure(file, "open");
      return false;
    }
    if (!WriteAt(fd.get(), 0, Chunk(ses::kHeaderCode, 0, EncodeHeader(h)), file.fileName, file.ioError)) {
      ReportFailure(file, "save hdr");
      return false;
    }
    file.headerRead = true;
    file.recordPosition = position;
    return WriteRecord(file, fd, run, record, position);
  }

  UniqueFd fd(::open(file.fileName.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
  if (!fd.ok()) {
    file.ioError = FileErrorCode(errno, FileOp::Write, file.fileName);
    ReportFailure(file, "create");
    return false;
  }
  SessionFileHeader& h = file.header;
  h = SessionFileHeader{};
  h.program = run.program.title;
  h.sessions = 1;
  h.firstRun = run.runNumber;
  h.lastRun = run.runNumber;
  h.lastPosition = static_cast<std::int32_t>(ses::kFirstRecordPosition);
  if (!WriteAt(fd.get(), 0, Chunk(ses::kHeaderCode, 0, EncodeHeader(h)), file.fileName, file.ioError)) {
    ReportFailure(file, "save new hdr");
    return false;
  }
  file.headerRead = true;
  file.recordPosition = ses::kFirstRecordPosition;
  return WriteRecord(file, fd, run, record, ses::kFirstRecordPosition);
}

bool FinishSession(TSessFile& file, const RunState& run, const SessionLogUsage& usage) {
  if (!file.headerRead || file.recordPosition == 0) return false;
  Lookup(file);
  UniqueFd fd(::open(file.fileName.c_str(), O_WRONLY | O_CLOEXEC));
  if (!fd.ok()) {
    file.ioError = FileErrorCode(errno, FileOp::Write, file.fileName);
    ReportFailure(file, "open");
    return false;
  }
  return WriteRecord(file, fd, run, MakeSessionRecord(run, usage, Now()), file.recordPosition);
}

bool ReadSessions(TSessFile& file, std::int32_t first, std::int32_t count) {
  file.sessions.clear();
  file.firstRead = 0;
  if (!ReadSessionHeader(file)) return false;
  const std::int32_t recorded = file.header.sessions;
  if (recorded <= 0 || first < 1 || first > recorded) return true;
  const std::int64_t remaining = std::int64_t{recorded} - first + 1;
  std::int64_t wanted = count <= 0 ? remaining : std::min<std::int64_t>(count, remaining);
  wanted = std::min<std::int64_t>(wanted, static_cast<std::int64_t>(kMaxListedSessions));

  UniqueFd fd(::open(file.fileName.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd.ok()) {
    file.ioError = FileErrorCode(errno, FileOp::Read, file.fileName);
    ReportFailure(file, "open");
    return false;
  }
  bool ok = true;
  for (std::int64_t k = 0; k < wanted; ++k) {
    const std::int64_t n = first + k;
    ChunkHeader chunk;
    std::string content;
    ChunkStatus status = ReadChunk(fd.get(), SlotPosition(n), ses::rec::kSize, file.fileName, chunk, content,
                                   file.ioError);
    if (status == ChunkStatus::FileError) {
      ReportFailure(file, "load sess #" + FormatInt(n));
      ok = false;
      break;
    }
    if (status == ChunkStatus::Ok) status = CheckRecordContent(chunk, content);
    if (status != ChunkStatus::Ok) {
      ReportDamage(file, status, "Session file");
      continue;
    }
    file.sessions.push_back(ListedSession{DecodeRecord(content), 0, 0});
  }
  if (!file.sessions.empty()) file.firstRead = file.sessions.front().record.runNumber;
  ComputeIntervals(file.sessions);
  return ok;
}

}  // namespace mv
