#include "app/config_file.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "core/byte_order.h"
#include "core/cp1251.h"
#include "core/date_time.h"
#include "core/file_error.h"
#include "core/file_facts.h"
#include "core/file_routines.h"
#include "core/messages.h"
#include "core/numbers.h"
#include "core/options.h"
#include "core/short_text.h"
#include "platform/app_folders.h"
#include "platform/log_sink.h"
#include "platform/services.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

// Header fields (offsets in the 6111-byte header).
namespace cfg {
constexpr std::size_t kVersion = 4;
constexpr std::size_t kInstall = 5;            // 163-byte installation record
constexpr std::size_t kInstallVersion = 5 + 4;
constexpr std::size_t kInstallTitle = 5 + 5;   // short text 50
constexpr std::size_t kInstallCompany = 5 + 56;  // short text 30
constexpr std::size_t kInstallUser = 5 + 87;     // short text 30
constexpr std::size_t kInstallSaveTime = 5 + 131;
constexpr std::size_t kInstallRunCounter = 5 + 145;
constexpr std::size_t kInstallBuild = 5 + 153;
constexpr std::size_t kRunCounter = 168;
constexpr std::size_t kChartOptions = 1919;     // 1796 + 2 bytes, owned by the charts
constexpr std::size_t kChartOptionsSize = 1798;
constexpr std::size_t kHistogramOptions = 3717;  // 821 bytes, owned by the histograms
constexpr std::size_t kHistogramOptionsSize = 821;
constexpr std::size_t kPreviousCount = 1317;  // u16
constexpr std::size_t kAutoSave = 4669;
constexpr std::size_t kLoadPrevious = 4670;
constexpr std::size_t kSystemFont = 4671;
constexpr std::size_t kGraphicsFont = 4712;
constexpr std::size_t kHistoryListCount = 5403;
constexpr std::size_t kBlockASize = 5698;
constexpr std::size_t kBlockBSize = 5700;
constexpr std::size_t kLevelUnit = 5752;
constexpr std::size_t kKeepPrevious = 5776;
constexpr std::size_t kObsoleteSize = 5800;
constexpr std::size_t kSession1Size = 5802;
constexpr std::size_t kSession2Size = 5807;
constexpr std::size_t kOne = 5809;
constexpr std::size_t kHistoryCount = 5810;  // u8
constexpr std::size_t kHistorySize = 5811;   // u16
constexpr std::size_t kFolderCount = 5834;
constexpr std::size_t kBlockCSize = 6085;
constexpr std::size_t kBlockDSize = 6087;
constexpr std::size_t kWelcome = 6089;
constexpr std::size_t kObsoleteSizes = 6090;  // 3 x u16
constexpr std::size_t kSoundsLength = 6096;
constexpr std::size_t kProfilesLength = 6098;
constexpr std::size_t kSampleWindowHeight = 6100;
static_assert(kInstall + 163 == kRunCounter && kSystemFont + 41 == kGraphicsFont);
static_assert(kChartOptions + kChartOptionsSize == kHistogramOptions);
static_assert(kSampleWindowHeight + 2 <= ConfigFile::kHeaderSize);
}  // namespace cfg

constexpr std::size_t kPreviousRecord = 12;  // kind, id (4), flag, 3 reserved, flag, path length (2)
constexpr int kShortRead = 100;

const char* const kFolderNames[ConfigFile::kFolders] = {"Samples", "Reports", "Tmp", "Log"};
const char* const kFolderPlaceholders[ConfigFile::kFolders] = {"$DataFolder", "$RepFolder", "$TmpFolder",
                                                                "$LogFolder"};
constexpr std::string_view kAppPlaceholder = "$AppFolder";
constexpr std::string_view kDefaultsText = ".\r\nУстанавливаются настройки по умолчанию";

platform::ILog& Log() { return platform::Current<platform::ILog>(); }

std::string ReplaceAll(std::string text, std::string_view what, std::string_view with) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

// A cursor over the trailing part that remembers where reading failed.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : m_bytes(bytes) {}
  bool Take(std::size_t n, std::string_view& out) {
    if (m_bytes.size() - m_pos < n) return Fail();
    out = m_bytes.substr(m_pos, n);
    m_pos += n;
    return true;
  }
  bool Skip(std::uint64_t n) {
    if (m_bytes.size() - m_pos < n) return Fail();
    m_pos += static_cast<std::size_t>(n);
    return true;
  }
  bool U16(std::uint16_t& v) {
    std::string_view b;
    if (!Take(2, b)) return false;
    v = GetU16(b, 0);
    return true;
  }
  // A text: a 16-bit length and that many bytes.
  bool Text(std::string& bytes) {
    std::uint16_t n = 0;
    std::string_view b;
    if (!U16(n) || !Take(n, b)) return false;
    bytes.assign(b);
    return true;
  }
  std::size_t Position() const { return m_pos; }
  std::size_t FailedAt() const { return m_failedAt; }

 private:
  bool Fail() {
    m_failedAt = m_pos;
    return false;
  }
  std::string_view m_bytes;
  std::size_t m_pos = 0;
  std::size_t m_failedAt = 0;
};

void AppendText(std::string& out, std::string_view bytes) {
  const std::size_t n = std::min<std::size_t>(bytes.size(), 0xFFFF);
  out += static_cast<char>(n & 0xFF);
  out += static_cast<char>(n >> 8);
  out.append(bytes.substr(0, n));
}

// Reads a block of the expected size, or skips one stored with another size.
bool BlockOfSize(Reader& r, std::uint16_t stored, std::size_t expected, std::string& block) {
  if (stored != expected) return r.Skip(stored);
  std::string_view b;
  if (!r.Take(expected, b)) return false;
  block.assign(b);
  return true;
}

std::string FactsText(const std::string& path) {
  std::uint64_t size = 0;
  TDateTime time = 0;
  if (!FileFacts(path, size, time)) return path;
  return path + ", " + std::to_string(size) + " bt, " + DateTimeText(time, true);
}

}  // namespace

ConfigFile::ConfigFile(std::string appFolder, TEventSoundSet& sounds, TInputProfileSet& profiles)
    : m_appFolder(std::move(appFolder)), m_sounds(sounds), m_profiles(profiles) {
  Defaults();
}

std::string ConfigFile::FileName() const { return (fs::path(m_appFolder) / "mvl.cfg").string(); }
std::string ConfigFile::BackupFileName() const { return (fs::path(m_appFolder) / "mvl_prev.cfg").string(); }

void ConfigFile::Defaults() {
  keepPreviousDataFile = false;
  loadPreviousDatasets = true;
  showWelcome = true;
  autoSaveDatasets = false;
  levelUnit = 0;
  systemFont = TFontDescr();
  graphicsFont = TFontDescr();
  for (std::size_t i = 0; i < kFolders; ++i) folders[i] = std::string(kAppPlaceholder) + "\\" + kFolderNames[i];
  runCounter = 0;
  sampleWindowHeight = kDefaultSampleWindowHeight;
  blockA.assign(kBlockA, '\0');
  blockB.assign(kBlockB, '\0');
  previousDatasets.clear();
  for (auto& list : historyLists) list.clear();
  session1.assign(kSession1, '\0');
  session2.assign(kSession2, '\0');
  historyRecords.clear();
  blockC.assign(kBlockC, '\0');
  blockD.assign(kBlockD, '\0');
  m_header.assign(kHeaderSize, '\0');
  Options().keepPreviousDataFile = keepPreviousDataFile;
}

std::string ConfigFile::InstallationSummary() const {
  return "\"" + GetShortText(m_header, cfg::kInstallTitle, 50) + "\" build " +
         std::to_string(GetU16(m_header, cfg::kInstallBuild)) + ", run " + std::to_string(GetI32(m_header, cfg::kRunCounter));
}

void ConfigFile::ApplyHeader() {
  const std::string_view h = m_header;
  runCounter = GetI32(h, cfg::kRunCounter);
  autoSaveDatasets = GetU8(h, cfg::kAutoSave) != 0;
  loadPreviousDatasets = GetU8(h, cfg::kLoadPrevious) != 0;
  systemFont.Decode(h.substr(cfg::kSystemFont, TFontDescr::kSize));
  graphicsFont.Decode(h.substr(cfg::kGraphicsFont, TFontDescr::kSize));
  levelUnit = std::min<std::uint8_t>(GetU8(h, cfg::kLevelUnit), 2);
  keepPreviousDataFile = GetU8(h, cfg::kKeepPrevious) != 0;
  showWelcome = GetU8(h, cfg::kWelcome) != 0;
  const std::uint16_t height = GetU16(h, cfg::kSampleWindowHeight);
  sampleWindowHeight = height != 0 ? height : kDefaultSampleWindowHeight;
  Options().keepPreviousDataFile = keepPreviousDataFile;
}

void ConfigFile::StoreHeader(std::string& h, TDateTime now, std::uint16_t soundsLength,
                             std::uint16_t profilesLength) const {
  std::memcpy(h.data(), "CFG ", 4);
  PutU8(h, cfg::kVersion, kVersion);
  std::memcpy(h.data() + cfg::kInstall, "RWB ", 4);
  PutU8(h, cfg::kInstallVersion, 1);
  PutShortText(h, cfg::kInstallTitle, "Morvalen", 50);
  PutShortText(h, cfg::kInstallCompany, "Morvalen", 30);
  PutF64(h, cfg::kInstallSaveTime, now);
  PutI32(h, cfg::kInstallRunCounter, runCounter);
  PutU16(h, cfg::kInstallBuild, kBuildNumber);
  PutI32(h, cfg::kRunCounter, runCounter);
  PutU16(h, cfg::kPreviousCount, static_cast<std::uint16_t>(std::min(previousDatasets.size(), kMaxPreviousDatasets)));
  PutU8(h, cfg::kAutoSave, autoSaveDatasets ? 1 : 0);
  PutU8(h, cfg::kLoadPrevious, loadPreviousDatasets ? 1 : 0);
  const std::string sys = systemFont.Encode();
  const std::string gfx = graphicsFont.Encode();
  std::memcpy(h.data() + cfg::kSystemFont, sys.data(), sys.size());
  std::memcpy(h.data() + cfg::kGraphicsFont, gfx.data(), gfx.size());
  PutU8(h, cfg::kHistoryListCount, static_cast<std::uint8_t>(kHistoryLists));
  PutU16(h, cfg::kBlockASize, static_cast<std::uint16_t>(kBlockA));
  PutU16(h, cfg::kBlockBSize, static_cast<std::uint16_t>(kBlockB));
  PutU8(h, cfg::kLevelUnit, levelUnit);
  PutU8(h, cfg::kKeepPrevious, keepPreviousDataFile ? 1 : 0);
  PutU16(h, cfg::kObsoleteSize, 0);
  PutU16(h, cfg::kSession1Size, static_cast<std::uint16_t>(kSession1));
  PutU16(h, cfg::kSession2Size, static_cast<std::uint16_t>(kSession2));
  PutU8(h, cfg::kOne, 1);
  const std::size_t records = std::min(historyRecords.size(), kMaxHistoryRecords);
  PutU8(h, cfg::kHistoryCount, static_cast<std::uint8_t>(records));
  PutU16(h, cfg::kHistorySize, static_cast<std::uint16_t>(records * kHistoryRecord));
  PutU8(h, cfg::kFolderCount, static_cast<std::uint8_t>(kFolders));
  PutU16(h, cfg::kBlockCSize, static_cast<std::uint16_t>(kBlockC));
  PutU16(h, cfg::kBlockDSize, static_cast<std::uint16_t>(kBlockD));
  PutU8(h, cfg::kWelcome, showWelcome ? 1 : 0);
  std::memset(h.data() + cfg::kObsoleteSizes, 0, 6);
  PutU16(h, cfg::kSoundsLength, soundsLength);
  PutU16(h, cfg::kProfilesLength, profilesLength);
  PutU16(h, cfg::kSampleWindowHeight, sampleWindowHeight);
}

std::string ConfigFile::Encode(TDateTime now) const {
  std::string sounds = m_sounds.SaveToString();
  std::string profiles = m_profiles.SaveToString();
  if (sounds.size() > 0xFFFF) sounds.clear();  // cannot be stored: the defaults come back next time
  if (profiles.size() > 0xFFFF) profiles.clear();
  std::string out = m_header;
  out.resize(kHeaderSize, '\0');
  StoreHeader(out, now, static_cast<std::uint16_t>(sounds.size()), static_cast<std::uint16_t>(profiles.size()));
  const auto sized = [](std::string block, std::size_t size) {
    block.resize(size, '\0');
    return block;
  };
  out += sized(blockA, kBlockA);
  out += sized(blockB, kBlockB);
  for (std::size_t i = 0; i < std::min(previousDatasets.size(), kMaxPreviousDatasets); ++i) {
    const PreviousDataset& d = previousDatasets[i];
    std::string record(kPreviousRecord, '\0');
    PutU8(record, 0, d.kind);
    PutI32(record, 1, d.id);
    PutU8(record, 5, d.flag1);
    PutU8(record, 9, d.flag2);
    std::string path = Utf8ToCp1251(d.path);
    if (path.size() > 0xFFFF) path.resize(0xFFFF);
    PutU16(record, 10, static_cast<std::uint16_t>(path.size()));
    out += record + path;
  }
  for (const std::string& list : historyLists) AppendText(out, list);
  out += sized(session1, kSession1);
  out += sized(session2, kSession2);
  for (std::size_t i = 0; i < std::min(historyRecords.size(), kMaxHistoryRecords); ++i) {
    out += sized(historyRecords[i], kHistoryRecord);
  }
  for (const std::string& folder : folders) AppendText(out, Utf8ToCp1251(folder));
  out += sized(blockC, kBlockC);
  out += sized(blockD, kBlockD);
  out += sounds;
  out += profiles;
  out += Utf8ToCp1251("<END " + DateTimeText(now, true) + ">");
  return out;
}

ConfigFile::Problem ConfigFile::Decode(std::string_view bytes) {
  if (bytes.size() < 5) return {Problem::kEndOfData, 0};
  if (bytes.substr(0, 4) != "CFG ") return {Problem::kSignature, 0};
  if (GetU8(bytes, cfg::kVersion) != kVersion) return {Problem::kVersion, GetU8(bytes, cfg::kVersion)};
  Reader r(bytes);
  const auto failed = [&] { return Problem{Problem::kEndOfData, r.FailedAt()}; };
  std::string_view header;
  if (!r.Take(kHeaderSize, header)) return failed();
  m_header.assign(header);
  // Chart and histogram options are taken only from files of this build; others get their
  // owners' defaults.
  if (GetU16(m_header, cfg::kInstallBuild) != kBuildNumber) {
    std::memset(m_header.data() + cfg::kChartOptions, 0, cfg::kChartOptionsSize);
    std::memset(m_header.data() + cfg::kHistogramOptions, 0, cfg::kHistogramOptionsSize);
  }
  ApplyHeader();
  const std::string_view h = m_header;

  if (!BlockOfSize(r, GetU16(h, cfg::kBlockASize), kBlockA, blockA)) return failed();
  // Update settings: an older 279-byte layout and oversized blocks are skipped (their owner
  // keeps its defaults); otherwise the stored bytes are taken.
  const std::uint16_t sizeB = GetU16(h, cfg::kBlockBSize);
  std::string_view b;
  if (sizeB == 279 || sizeB > kBlockB) {
    if (!r.Skip(sizeB)) return failed();
  } else {
    if (!r.Take(sizeB, b)) return failed();
    blockB.assign(b);
    blockB.resize(kBlockB, '\0');
  }

  // At most the first N of every list are kept; the rest are read past, so that everything
  // after them is still found where it is.
  previousDatasets.clear();
  const std::uint16_t previous = GetU16(h, cfg::kPreviousCount);
  for (std::size_t i = 0; i < previous; ++i) {
    std::string_view record;
    std::string_view pathBytes;
    if (!r.Take(kPreviousRecord, record) || !r.Take(GetU16(record, 10), pathBytes)) return failed();
    if (previousDatasets.size() < kMaxPreviousDatasets) {
      previousDatasets.push_back(
          {GetU8(record, 0), GetI32(record, 1), GetU8(record, 5), GetU8(record, 9), Cp1251ToUtf8(pathBytes)});
    }
  }
  const std::uint8_t lists = GetU8(h, cfg::kHistoryListCount);
  for (std::size_t i = 0; i < lists; ++i) {
    std::string text;
    if (!r.Text(text)) return failed();
    if (i < kHistoryLists) historyLists[i] = std::move(text);
  }
  if (!r.Skip(GetU16(h, cfg::kObsoleteSize))) return failed();
  const std::uint16_t s1 = GetU16(h, cfg::kSession1Size);
  const std::uint16_t s2 = GetU16(h, cfg::kSession2Size);
  for (const auto& [size, capacity, target] : {std::tuple{s1, kSession1, &session1}, std::tuple{s2, kSession2, &session2}}) {
    if (size > capacity) {
      if (!r.Skip(size)) return failed();
    } else {
      if (!r.Take(size, b)) return failed();
      target->assign(b);
      target->resize(capacity, '\0');
    }
  }
  historyRecords.clear();
  const std::uint64_t records = GetU8(h, cfg::kHistoryCount);
  for (std::uint64_t i = 0; i < records; ++i) {
    if (!r.Take(kHistoryRecord, b)) return failed();
    if (historyRecords.size() < kMaxHistoryRecords) historyRecords.emplace_back(b);
  }
  const std::uint8_t folderCount = GetU8(h, cfg::kFolderCount);
  for (std::size_t i = 0; i < folderCount; ++i) {
    std::string text;
    if (!r.Text(text)) return failed();
    if (i < kFolders) folders[i] = Cp1251ToUtf8(text);
  }
  if (!BlockOfSize(r, GetU16(h, cfg::kBlockCSize), kBlockC, blockC) ||
      !BlockOfSize(r, GetU16(h, cfg::kBlockDSize), kBlockD, blockD)) {
    return failed();
  }
  for (std::size_t i = 0; i < 3; ++i) {
    if (!r.Skip(GetU16(h, cfg::kObsoleteSizes + 2 * i))) return failed();
  }
  const auto loadList = [&](TCoreList& list, std::uint16_t length, const char* section) {
    std::string_view text;
    if (!r.Take(length, text)) return false;
    if (length == 0 || list.LoadFromString(text)) return true;
    Log().LogError("CFG load error on \"" + std::string(section) + "\": " + list.LastError);
    ShowError("Сбой при загрузке файла конфигурации\r\n(раздел: " + std::string(section) + "):\r\n\r\n" + list.LastError,
              0);
    return true;
  };
  if (!loadList(m_sounds, GetU16(h, cfg::kSoundsLength), "звуки") ||
      !loadList(m_profiles, GetU16(h, cfg::kProfilesLength), "профили ввода")) {
    return failed();
  }
  return {};
}

bool ConfigFile::LoadOnce(const std::string& path, bool& missing) {
  const std::string name = "конфигурации системы Morvalen " + path;
  std::error_code ec;
  missing = !fs::exists(path, ec);
  if (missing) {
    ShowInfo("Не найден файл " + name + " (это обычно бывает при первом запуске приложения)" + std::string(kDefaultsText),
             30);
    return false;
  }
  std::string bytes;
  int code = 0;
  if (!ReadWholeFile(path, bytes, code, 1ULL << 30)) {
    Log().LogError("CFG load error #" + std::to_string(code) + ", offs 0 (00000000h)");
    ShowError("Сбой при загрузке файла конфигурации\r\n" + path + "\r\n\r\n" + FileErrorText(code) + "\r\n\r\n" +
                  std::string(kDefaultsText),
              0);
    return false;
  }
  const Problem problem = Decode(bytes);
  if (problem.kind == Problem::kNone) {
    Log().LogLine("Load CFG: " + InstallationSummary() + ", datasets=" + std::to_string(previousDatasets.size()));
    return true;
  }
  if (problem.kind == Problem::kSignature) {
    ShowError("Неизвестный формат файла " + name + std::string(kDefaultsText));
  } else if (problem.kind == Problem::kVersion) {
    ShowError("Неверная версия формата файла " + name + "  (" + std::to_string(problem.value) + " вместо ожидаемого " +
              std::to_string(kVersion) + ")" + std::string(kDefaultsText));
  } else {
    const auto offset = static_cast<std::uint32_t>(problem.value);
    Log().LogError("CFG load error #" + std::to_string(kShortRead) + ", offs " + std::to_string(offset) + " (" +
                   HexUpper(offset, 8) + "h)");
    ShowError("Сбой при загрузке файла конфигурации\r\n" + path + "\r\n\r\n" + FileErrorText(kShortRead) + "\r\n\r\n" +
                  std::string(kDefaultsText),
              0);
  }
  return false;
}

bool ConfigFile::Load(const std::string& path) {
  bool missing = false;
  if (LoadOnce(path, missing)) return true;
  const std::string summary = missing ? std::string() : InstallationSummary();
  Log().LogError("Failed to load CFG: " + FactsText(path) + " (" + summary + ")");
  Defaults();
  const std::string backup = (fs::path(path).parent_path() / "mvl_prev.cfg").string();
  std::error_code ec;
  if (!fs::exists(backup, ec)) return false;
  Log().LogLine("Try to load backup: " + FactsText(backup));
  if (!fs::copy_file(backup, path, fs::copy_options::overwrite_existing, ec)) {
    Log().LogError("Failed to copy to " + path);
    return false;
  }
  if (LoadOnce(path, missing)) return true;
  Log().LogError("Failed to load CFG: " + FactsText(path) + " (" + InstallationSummary() + ")");
  Defaults();
  return false;
}

bool ConfigFile::Save(const std::string& path, bool keepBackup) {
  std::error_code ec;
  const bool backedUp = keepBackup && fs::exists(path, ec) &&
                        KeepCopyAs(path, (fs::path(path).parent_path() / "mvl_prev.cfg").string());
  const std::string bytes = Encode(Now());
  int code = 0;
  if (!WriteFileAtomically(path, bytes, code)) {
    Log().LogError("CFG write err #" + std::to_string(code));
    ShowError("Сбой при записи файла конфигурации\r\n" + path + "\r\n\r\n" + FileErrorText(code));
    return false;
  }
  Log().LogLine("Save CFG (" + std::to_string(bytes.size()) + " bt)" + (backedUp ? " w/back" : ""));
  return true;
}

std::string ConfigFile::Folder(int index) const {
  if (index < 1 || index > static_cast<int>(kFolders)) return {};
  std::string text = folders[static_cast<std::size_t>(index - 1)];
  // Another folder named in this one is put in one level deep (its own "$AppFolder"
  // expanded); a folder naming itself stays as written.
  for (std::size_t i = 0; i < kFolders; ++i) {
    if (static_cast<int>(i + 1) == index) continue;
    text = ReplaceAll(std::move(text), kFolderPlaceholders[i], ReplaceAll(folders[i], kAppPlaceholder, m_appFolder));
  }
  return platform::NativePath(ReplaceAll(std::move(text), kAppPlaceholder, m_appFolder)).string();
}

std::string ConfigFile::ExpandPath(std::string_view text, bool all) const {
  std::string out(text);
  if (all) {
    for (std::size_t i = 0; i < kFolders; ++i) out = ReplaceAll(std::move(out), kFolderPlaceholders[i], Folder(static_cast<int>(i + 1)));
  }
  return platform::NativePath(ReplaceAll(std::move(out), kAppPlaceholder, m_appFolder)).string();
}

std::string ConfigFile::FolderListText() const {
  std::string text;
  for (std::size_t i = 0; i < kFolders; ++i) {
    if (i > 0) text += "; ";
    text += std::string(kFolderNames[i]) + "=\"" + folders[i] + "\"";
  }
  return text;
}

}  // namespace mv
