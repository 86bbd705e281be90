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
#include "core/text.h"
#include "platform/app_folders.h"
#include "platform/log_sink.h"
#include "platform/services.h"

namespace mv {
namespace {

namespace fs = std::filesystem;

struct Field {
  std::size_t offset;
  std::size_t size;
};

// The header, one row per field in file order. Bytes between the rows are zero when written
// and ignored when read.
namespace hdr {
constexpr Field kSignature{0, 4};       // "CFG "
constexpr Field kVersion{4, 1};         // 14
constexpr Field kInstallation{5, 163};  // OwnedArea::kInstallation
constexpr Field kRunCounter{168, 4};
constexpr Field kDialogPositions{172, 500};
constexpr Field kColumnWidths{672, 400};
constexpr Field kMailServer{1072, 164};
constexpr Field kSenderAddress{1236, 81};
constexpr Field kPreviousCount{1317, 2};  // previous-run dataset records
constexpr Field kViewOptions{1319, 600};
constexpr Field kChartOptions{1919, 1798};  // 1796 bytes and the last byte at 3715..3716
constexpr Field kHistogramOptions{3717, 821};
constexpr Field kPrintOptions{4538, 131};
constexpr Field kAutoSave{4669, 1};
constexpr Field kLoadPrevious{4670, 1};
constexpr Field kSystemFont{4671, TFontDescr::kSize};
constexpr Field kGraphicsFont{4712, TFontDescr::kSize};
constexpr Field kWindowArea{4753, 20};
constexpr Field kMailMessage{5009, 394};
constexpr Field kHistoryListCount{5403, 1};
constexpr Field kTextImportOptions{5404, 294};
constexpr Field kBlockASize{5698, 2};
constexpr Field kBlockBSize{5700, 2};
constexpr Field kDistributionName{5711, 41};
constexpr Field kLevelUnit{5752, 1};
constexpr Field kDatasetListArea{5756, 20};
constexpr Field kKeepPrevious{5776, 1};
constexpr Field kMainWindowFlag{5777, 1};
constexpr Field kObsoleteSize{5800, 2};
constexpr Field kSession1Size{5802, 2};
constexpr Field kSession2Size{5807, 2};
constexpr Field kOne{5809, 1};
constexpr Field kHistoryCount{5810, 1};  // dataset-history records
constexpr Field kHistorySize{5811, 2};   // their total size (only written)
constexpr Field kHistoryWindowOption{5813, 1};
constexpr Field kHistoryWindowArea{5814, 20};
constexpr Field kFolderCount{5834, 1};
constexpr Field kViewOptionsRest{5835, 250};
constexpr Field kBlockCSize{6085, 2};
constexpr Field kBlockDSize{6087, 2};
constexpr Field kWelcome{6089, 1};
constexpr Field kObsoleteSizes{6090, 6};  // three u16
constexpr Field kSoundsLength{6096, 2};
constexpr Field kProfilesLength{6098, 2};
constexpr Field kSampleWindowHeight{6100, 2};

constexpr Field kRows[] = {kSignature,         kVersion,         kInstallation,        kRunCounter,
                           kDialogPositions,   kColumnWidths,    kMailServer,          kSenderAddress,
                           kPreviousCount,     kViewOptions,     kChartOptions,        kHistogramOptions,
                           kPrintOptions,      kAutoSave,        kLoadPrevious,        kSystemFont,
                           kGraphicsFont,      kWindowArea,      kMailMessage,         kHistoryListCount,
                           kTextImportOptions, kBlockASize,      kBlockBSize,          kDistributionName,
                           kLevelUnit,         kDatasetListArea, kKeepPrevious,        kMainWindowFlag,
                           kObsoleteSize,      kSession1Size,    kSession2Size,        kOne,
                           kHistoryCount,      kHistorySize,     kHistoryWindowOption, kHistoryWindowArea,
                           kFolderCount,       kViewOptionsRest, kBlockCSize,          kBlockDSize,
                           kWelcome,           kObsoleteSizes,   kSoundsLength,        kProfilesLength,
                           kSampleWindowHeight};

constexpr bool RowsInOrder() {
  for (std::size_t i = 0; i + 1 < std::size(kRows); ++i) {
    if (kRows[i].offset + kRows[i].size > kRows[i + 1].offset) return false;
  }
  return kRows[std::size(kRows) - 1].offset + kRows[std::size(kRows) - 1].size <= ConfigFile::kHeaderSize;
}
static_assert(RowsInOrder(), "header rows overlap or run past the header");
static_assert(kChartOptions.offset + kChartOptions.size == kHistogramOptions.offset);
static_assert(kViewOptions.size + kViewOptionsRest.size == 850);
}  // namespace hdr

// The installation record, offsets inside it.
namespace ins {
constexpr Field kSignature{0, 4};  // "RWB "
constexpr Field kVersion{4, 1};    // 1
constexpr Field kTitle{5, 51};     // short text 50
constexpr Field kCompany{56, 31};  // short text 30
constexpr Field kUser{87, 31};     // short text 30 (periphery)
constexpr Field kSaveTime{131, 8};
constexpr Field kRunCounter{145, 4};
constexpr Field kBuild{153, 2};
static_assert(kTitle.offset + kTitle.size == kCompany.offset && kCompany.offset + kCompany.size == kUser.offset);
static_assert(kUser.offset + kUser.size <= kSaveTime.offset && kSaveTime.offset + kSaveTime.size <= kRunCounter.offset);
static_assert(kRunCounter.offset + kRunCounter.size <= kBuild.offset &&
              kBuild.offset + kBuild.size <= hdr::kInstallation.size);
}  // namespace ins

// Where each owned area sits: a header field, or a trailing block (offset 0) of that size.
struct AreaPlace {
  bool inHeader;
  Field field;
};
constexpr AreaPlace kAreaPlaces[kOwnedAreaCount] = {{true, hdr::kInstallation},
                                                    {true, hdr::kDialogPositions},
                                                    {true, hdr::kColumnWidths},
                                                    {true, hdr::kMailServer},
                                                    {true, hdr::kSenderAddress},
                                                    {true, hdr::kViewOptions},
                                                    {true, hdr::kChartOptions},
                                                    {true, hdr::kHistogramOptions},
                                                    {true, hdr::kPrintOptions},
                                                    {true, hdr::kWindowArea},
                                                    {true, hdr::kMailMessage},
                                                    {true, hdr::kTextImportOptions},
                                                    {true, hdr::kDistributionName},
                                                    {true, hdr::kDatasetListArea},
                                                    {true, hdr::kMainWindowFlag},
                                                    {true, hdr::kHistoryWindowOption},
                                                    {true, hdr::kHistoryWindowArea},
                                                    {true, hdr::kViewOptionsRest},
                                                    {false, {0, 570}},   // block A
                                                    {false, {0, 1055}},  // block B
                                                    {false, {0, 426}},   // session block 1
                                                    {false, {0, 1136}},  // session block 2
                                                    {false, {0, 2699}},  // block C
                                                    {false, {0, 169}}};  // block D
static_assert(static_cast<std::size_t>(OwnedArea::kDistributionDownload) + 1 == kOwnedAreaCount);

constexpr std::size_t Index(OwnedArea area) { return static_cast<std::size_t>(area); }
constexpr std::size_t SizeOf(OwnedArea area) { return kAreaPlaces[Index(area)].field.size; }

// The update settings of builds that wrote them in an older, shorter layout.
constexpr std::uint16_t kOlderUpdateSettings = 279;

// A previous-run dataset: kind, id (4), flag, 3 reserved, flag, path length (2), then the path.
constexpr std::size_t kPreviousRecord = 12;
constexpr std::size_t kPreviousId = 1;
constexpr std::size_t kPreviousFlag1 = 5;
constexpr std::size_t kPreviousFlag2 = 9;
constexpr std::size_t kPreviousPathLength = 10;
static_assert(kPreviousPathLength + 2 == kPreviousRecord);

constexpr std::size_t kObsoleteBlocks = 3;
constexpr int kShortRead = 100;  // the code the log line of a short read has always carried

const char* const kFolderNames[ConfigFile::kFolders] = {"Samples", "Reports", "Tmp", "Log"};
const char* const kFolderPlaceholders[ConfigFile::kFolders] = {"$DataFolder", "$RepFolder", "$TmpFolder", "$LogFolder"};
constexpr std::string_view kAppPlaceholder = "$AppFolder";
constexpr std::string_view kDefaultsText = ".\r\nУстанавливаются настройки по умолчанию";
constexpr std::string_view kItemBreak = "\r\n";

platform::ILog& Log() { return platform::Current<platform::ILog>(); }

std::string ReplaceAll(std::string text, std::string_view what, std::string_view with) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
  return text;
}

std::vector<std::string> SplitItems(std::string_view cp1251) {
  std::vector<std::string> items;
  if (cp1251.empty()) return items;
  for (;;) {
    const std::size_t at = cp1251.find(kItemBreak);
    items.push_back(Cp1251ToUtf8(cp1251.substr(0, at)));
    if (at == std::string_view::npos) return items;
    cp1251.remove_prefix(at + kItemBreak.size());
  }
}

std::string JoinItems(const std::vector<std::string>& items) {
  std::string text;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) text += kItemBreak;
    text += Utf8ToCp1251(items[i]);
  }
  return text;
}

// A cursor over the file's bytes that remembers where reading failed.
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
  bool Text(std::string_view& bytes) {
    std::uint16_t n = 0;
    return U16(n) && Take(n, bytes);
  }
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

// `stored` bytes over the start of the area (which holds its defaults); a block stored larger
// than the area is skipped.
bool ReadUpTo(Reader& r, std::uint16_t stored, std::span<char> area) {
  if (stored > area.size()) return r.Skip(stored);
  std::string_view b;
  if (!r.Take(stored, b)) return false;
  std::copy(b.begin(), b.end(), area.begin());
  return true;
}

// The area when stored with exactly its size; any other size is skipped.
bool ReadExact(Reader& r, std::uint16_t stored, std::span<char> area) {
  if (stored != area.size()) return r.Skip(stored);
  return ReadUpTo(r, stored, area);
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
  for (std::size_t i = 0; i < kOwnedAreaCount; ++i) m_areaDefaults[i].assign(kAreaPlaces[i].field.size, '\0');
  Defaults();
}

std::string ConfigFile::FileName() const { return (fs::path(m_appFolder) / "mvl.cfg").string(); }
std::string ConfigFile::BackupFileName() const { return (fs::path(m_appFolder) / "mvl_prev.cfg").string(); }

std::size_t ConfigFile::AreaSize(OwnedArea area) { return SizeOf(area); }
std::string_view ConfigFile::Area(OwnedArea area) const { return m_areas[Index(area)]; }
std::span<char> ConfigFile::MutableArea(OwnedArea area) { return m_areas[Index(area)]; }

void ConfigFile::SetAreaDefaults(OwnedArea area, std::string_view image) {
  std::string& d = m_areaDefaults[Index(area)];
  d.assign(image.substr(0, SizeOf(area)));
  d.resize(SizeOf(area), '\0');
}

void ConfigFile::SetArea(OwnedArea area, std::string_view bytes) {
  std::string& a = m_areas[Index(area)];
  a.assign(bytes.substr(0, SizeOf(area)));
  a.resize(SizeOf(area), '\0');
}

void ConfigFile::AreaToDefaults(OwnedArea area) { m_areas[Index(area)] = m_areaDefaults[Index(area)]; }

std::array<std::string, ConfigFile::kFolders> ConfigFile::DefaultFolders() {
  std::array<std::string, kFolders> texts;
  for (std::size_t i = 0; i < kFolders; ++i) texts[i] = std::string(kAppPlaceholder) + "\\" + kFolderNames[i];
  return texts;
}

void ConfigFile::Defaults() {
  Options().keepPreviousDataFile = false;
  loadPreviousDatasets = true;
  showWelcome = true;
  autoSaveDatasets = false;
  levelUnit = 0;
  systemFont = TFontDescr();
  graphicsFont = TFontDescr();
  folders = DefaultFolders();
  runCounter = 0;
  sampleWindowHeight = kDefaultSampleWindowHeight;
  previousDatasets.clear();
  for (auto& list : historyLists) list.clear();
  historyRecords.clear();
  for (std::size_t i = 0; i < kOwnedAreaCount; ++i) AreaToDefaults(static_cast<OwnedArea>(i));
  // The program adds its standard sounds and profile to whatever the lists hold after loading.
  m_sounds.Clear();
  m_profiles.Clear();
}

std::string ConfigFile::InstallationSummary() const {
  const std::string_view record = Area(OwnedArea::kInstallation);
  return "\"" + GetShortText(record, ins::kTitle.offset, ins::kTitle.size - 1) + "\" build " +
         std::to_string(GetU16(record, ins::kBuild.offset)) + ", run " + std::to_string(runCounter);
}

std::uint16_t ConfigFile::WriterBuild() const { return GetU16(Area(OwnedArea::kInstallation), ins::kBuild.offset); }

void ConfigFile::ApplyHeader(std::string_view h) {
  // Of the two run counters, the header's own is the one read.
  runCounter = GetI32(h, hdr::kRunCounter.offset);
  autoSaveDatasets = GetU8(h, hdr::kAutoSave.offset) != 0;
  loadPreviousDatasets = GetU8(h, hdr::kLoadPrevious.offset) != 0;
  systemFont.Decode(h.substr(hdr::kSystemFont.offset, hdr::kSystemFont.size));
  graphicsFont.Decode(h.substr(hdr::kGraphicsFont.offset, hdr::kGraphicsFont.size));
  const std::uint8_t unit = GetU8(h, hdr::kLevelUnit.offset);
  levelUnit = unit <= 2 ? unit : 0;
  Options().keepPreviousDataFile = GetU8(h, hdr::kKeepPrevious.offset) != 0;
  showWelcome = GetU8(h, hdr::kWelcome.offset) != 0;
  const std::uint16_t height = GetU16(h, hdr::kSampleWindowHeight.offset);
  sampleWindowHeight = height != 0 ? height : kDefaultSampleWindowHeight;
}

void ConfigFile::StoreHeader(std::string& h, TDateTime now, std::uint16_t soundsLength,
                             std::uint16_t profilesLength) const {
  h.assign(kHeaderSize, '\0');
  for (std::size_t i = 0; i < kOwnedAreaCount; ++i) {
    if (kAreaPlaces[i].inHeader) h.replace(kAreaPlaces[i].field.offset, kAreaPlaces[i].field.size, m_areas[i]);
  }
  h.replace(hdr::kSignature.offset, hdr::kSignature.size, "CFG ");
  PutU8(h, hdr::kVersion.offset, kVersion);

  std::string record(Area(OwnedArea::kInstallation));
  record.replace(ins::kSignature.offset, ins::kSignature.size, "RWB ");
  PutU8(record, ins::kVersion.offset, 1);
  PutShortText(record, ins::kTitle.offset, "Morvalen", ins::kTitle.size - 1);
  PutShortText(record, ins::kCompany.offset, "Morvalen", ins::kCompany.size - 1);
  PutF64(record, ins::kSaveTime.offset, now);
  PutI32(record, ins::kRunCounter.offset, runCounter);
  PutU16(record, ins::kBuild.offset, kBuildNumber);
  h.replace(hdr::kInstallation.offset, hdr::kInstallation.size, record);

  PutI32(h, hdr::kRunCounter.offset, runCounter);
  PutU16(h, hdr::kPreviousCount.offset,
         static_cast<std::uint16_t>(std::min(previousDatasets.size(), kMaxPreviousDatasets)));
  PutU8(h, hdr::kAutoSave.offset, autoSaveDatasets ? 1 : 0);
  PutU8(h, hdr::kLoadPrevious.offset, loadPreviousDatasets ? 1 : 0);
  h.replace(hdr::kSystemFont.offset, hdr::kSystemFont.size, systemFont.Encode());
  h.replace(hdr::kGraphicsFont.offset, hdr::kGraphicsFont.size, graphicsFont.Encode());
  PutU8(h, hdr::kHistoryListCount.offset, static_cast<std::uint8_t>(kHistoryLists));
  PutU16(h, hdr::kBlockASize.offset, static_cast<std::uint16_t>(SizeOf(OwnedArea::kMsaChartOptions)));
  PutU16(h, hdr::kBlockBSize.offset, static_cast<std::uint16_t>(SizeOf(OwnedArea::kUpdateSettings)));
  PutU8(h, hdr::kLevelUnit.offset, levelUnit);
  PutU8(h, hdr::kKeepPrevious.offset, Options().keepPreviousDataFile ? 1 : 0);
  PutU16(h, hdr::kSession1Size.offset, static_cast<std::uint16_t>(SizeOf(OwnedArea::kSessionBlock1)));
  PutU16(h, hdr::kSession2Size.offset, static_cast<std::uint16_t>(SizeOf(OwnedArea::kSessionBlock2)));
  PutU8(h, hdr::kOne.offset, 1);
  const std::size_t records = std::min(historyRecords.size(), kMaxHistoryRecords);
  PutU8(h, hdr::kHistoryCount.offset, static_cast<std::uint8_t>(records));
  PutU16(h, hdr::kHistorySize.offset, static_cast<std::uint16_t>(records * kHistoryRecord));
  static_assert(kMaxHistoryRecords * kHistoryRecord <= 0xFFFF);
  PutU8(h, hdr::kFolderCount.offset, static_cast<std::uint8_t>(kFolders));
  PutU16(h, hdr::kBlockCSize.offset, static_cast<std::uint16_t>(SizeOf(OwnedArea::kUsageStatistics)));
  PutU16(h, hdr::kBlockDSize.offset, static_cast<std::uint16_t>(SizeOf(OwnedArea::kDistributionDownload)));
  PutU8(h, hdr::kWelcome.offset, showWelcome ? 1 : 0);
  PutU16(h, hdr::kSoundsLength.offset, soundsLength);
  PutU16(h, hdr::kProfilesLength.offset, profilesLength);
  PutU16(h, hdr::kSampleWindowHeight.offset, sampleWindowHeight);
}

std::string ConfigFile::Encode(TDateTime now) const {
  std::string sounds = m_sounds.SaveToString();
  std::string profiles = m_profiles.SaveToString();
  if (sounds.size() > 0xFFFF) sounds.clear();  // cannot be stored: the defaults come back next time
  if (profiles.size() > 0xFFFF) profiles.clear();
  std::string out;
  StoreHeader(out, now, static_cast<std::uint16_t>(sounds.size()), static_cast<std::uint16_t>(profiles.size()));
  out += Area(OwnedArea::kMsaChartOptions);
  out += Area(OwnedArea::kUpdateSettings);
  for (std::size_t i = 0; i < std::min(previousDatasets.size(), kMaxPreviousDatasets); ++i) {
    const PreviousDataset& d = previousDatasets[i];
    std::string record(kPreviousRecord, '\0');
    PutU8(record, 0, d.kind);
    PutI32(record, kPreviousId, d.id);
    PutU8(record, kPreviousFlag1, d.flag1);
    PutU8(record, kPreviousFlag2, d.flag2);
    std::string path = Utf8ToCp1251(d.path);
    if (path.size() > 0xFFFF) path.resize(0xFFFF);
    PutU16(record, kPreviousPathLength, static_cast<std::uint16_t>(path.size()));
    out += record;
    out += path;
  }
  for (const auto& list : historyLists) AppendText(out, JoinItems(list));
  out += Area(OwnedArea::kSessionBlock1);
  out += Area(OwnedArea::kSessionBlock2);
  for (std::size_t i = 0; i < std::min(historyRecords.size(), kMaxHistoryRecords); ++i) {
    std::string record = historyRecords[i];
    record.resize(kHistoryRecord, '\0');
    out += record;
  }
  for (const std::string& folder : folders) AppendText(out, Utf8ToCp1251(folder));
  out += Area(OwnedArea::kUsageStatistics);
  out += Area(OwnedArea::kDistributionDownload);
  out += sounds;
  out += profiles;
  out += Utf8ToCp1251("<END " + DateTimeText(now, true) + ">");
  return out;
}

ConfigFile::Problem ConfigFile::Decode(std::string_view bytes) {
  Defaults();
  if (bytes.size() <= hdr::kVersion.offset) return {Problem::kEndOfData, 0};
  if (bytes.substr(hdr::kSignature.offset, hdr::kSignature.size) != "CFG ") return {Problem::kSignature, 0};
  const std::uint8_t version = GetU8(bytes, hdr::kVersion.offset);
  if (version != kVersion) return {Problem::kVersion, version};
  Reader r(bytes);
  const auto failed = [&] { return Problem{Problem::kEndOfData, r.FailedAt()}; };
  std::string_view h;
  if (!r.Take(kHeaderSize, h)) return failed();
  for (std::size_t i = 0; i < kOwnedAreaCount; ++i) {
    if (kAreaPlaces[i].inHeader) m_areas[i].assign(h.substr(kAreaPlaces[i].field.offset, kAreaPlaces[i].field.size));
  }
  // Chart and histogram options are taken as they are only from files of this build; files of
  // other builds give their owners' defaults.
  if (GetU16(Area(OwnedArea::kInstallation), ins::kBuild.offset) != kBuildNumber) {
    AreaToDefaults(OwnedArea::kChartOptions);
    AreaToDefaults(OwnedArea::kHistogramOptions);
  }
  ApplyHeader(h);

  if (!ReadExact(r, GetU16(h, hdr::kBlockASize.offset), MutableArea(OwnedArea::kMsaChartOptions))) return failed();
  // Update settings of the older layout are skipped: their owner keeps its defaults.
  const std::uint16_t sizeB = GetU16(h, hdr::kBlockBSize.offset);
  if (sizeB == kOlderUpdateSettings) {
    if (!r.Skip(sizeB)) return failed();
  } else if (!ReadUpTo(r, sizeB, MutableArea(OwnedArea::kUpdateSettings))) {
    return failed();
  }

  // Of every list only the first N are kept, and the rest are read past, so that everything
  // after them is still found where it is.
  const std::uint16_t previous = GetU16(h, hdr::kPreviousCount.offset);
  for (std::size_t i = 0; i < previous; ++i) {
    std::string_view record;
    std::string_view path;
    if (!r.Take(kPreviousRecord, record) || !r.Take(GetU16(record, kPreviousPathLength), path)) return failed();
    if (previousDatasets.size() < kMaxPreviousDatasets) {
      previousDatasets.push_back({GetU8(record, 0), GetI32(record, kPreviousId), GetU8(record, kPreviousFlag1),
                                  GetU8(record, kPreviousFlag2), Cp1251ToUtf8(path)});
    }
  }
  const std::uint8_t lists = GetU8(h, hdr::kHistoryListCount.offset);
  for (std::size_t i = 0; i < lists; ++i) {
    std::string_view text;
    if (!r.Text(text)) return failed();
    if (i < kHistoryLists) historyLists[i] = SplitItems(text);
  }
  if (!r.Skip(GetU16(h, hdr::kObsoleteSize.offset)) ||
      !ReadUpTo(r, GetU16(h, hdr::kSession1Size.offset), MutableArea(OwnedArea::kSessionBlock1)) ||
      !ReadUpTo(r, GetU16(h, hdr::kSession2Size.offset), MutableArea(OwnedArea::kSessionBlock2))) {
    return failed();
  }
  // The stored total size of the records is not used: as a 16-bit number it cannot hold the
  // size of more than 64 of them.
  const std::uint8_t records = GetU8(h, hdr::kHistoryCount.offset);
  for (std::size_t i = 0; i < records; ++i) {
    std::string_view record;
    if (!r.Take(kHistoryRecord, record)) return failed();
    if (historyRecords.size() < kMaxHistoryRecords) historyRecords.emplace_back(record);
  }
  const std::uint8_t folderCount = GetU8(h, hdr::kFolderCount.offset);
  for (std::size_t i = 0; i < folderCount; ++i) {
    std::string_view text;
    if (!r.Text(text)) return failed();
    if (i < kFolders) folders[i] = Cp1251ToUtf8(text);
  }
  if (!ReadExact(r, GetU16(h, hdr::kBlockCSize.offset), MutableArea(OwnedArea::kUsageStatistics)) ||
      !ReadExact(r, GetU16(h, hdr::kBlockDSize.offset), MutableArea(OwnedArea::kDistributionDownload))) {
    return failed();
  }
  for (std::size_t i = 0; i < kObsoleteBlocks; ++i) {
    if (!r.Skip(GetU16(h, hdr::kObsoleteSizes.offset + 2 * i))) return failed();
  }
  // A damaged list is reported and left empty; the rest of the file is still read.
  const auto loadList = [&](TCoreList& list, std::uint16_t length, const char* section) {
    std::string_view text;
    if (!r.Take(length, text)) return false;
    if (length == 0 || list.LoadFromString(text)) return true;
    Log().LogError("CFG load error on \"" + std::string(section) + "\": " + list.LastError);
    ShowError("Сбой при загрузке файла конфигурации\r\n(раздел: " + std::string(section) + "):\r\n\r\n" +
              list.LastError);
    return true;
  };
  if (!loadList(m_sounds, GetU16(h, hdr::kSoundsLength.offset), "звуки") ||
      !loadList(m_profiles, GetU16(h, hdr::kProfilesLength.offset), "профили ввода")) {
    return failed();
  }
  // The end marker is not read.
  return {};
}

bool ConfigFile::LoadOnce(const std::string& path, bool& missing) {
  const std::string name = "конфигурации системы Morvalen " + path;
  std::error_code ec;
  missing = !fs::exists(path, ec);
  if (missing) {
    ShowInfo(
        "Не найден файл " + name + " (это обычно бывает при первом запуске приложения)" + std::string(kDefaultsText),
        30);
    return false;
  }
  std::string bytes;
  int code = 0;
  if (!ReadWholeFile(path, bytes, code, 1ULL << 30)) {
    Log().LogError("CFG load error #" + std::to_string(code) + ", offs 0 (00000000h)");
    ShowError("Сбой при загрузке файла конфигурации\r\n" + path + "\r\n\r\n" + FileErrorText(code) + "\r\n\r\n" +
              std::string(kDefaultsText));
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
    // The file is cut short or damaged, not the disk: say so rather than send the user to the disk.
    ShowError("Сбой при загрузке файла конфигурации\r\n" + path + "\r\n\r\n" + kFileEndsEarlyText + "\r\n\r\n" +
              std::string(kDefaultsText));
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
  const bool backedUp =
      keepBackup && fs::exists(path, ec) && KeepCopyAs(path, (fs::path(path).parent_path() / "mvl_prev.cfg").string());
  const std::string bytes = Encode(Now());
  int code = 0;
  // Written beside the target and renamed over it, so a failed write leaves the old file.
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
    for (std::size_t i = 0; i < kFolders; ++i) {
      out = ReplaceAll(std::move(out), kFolderPlaceholders[i], Folder(static_cast<int>(i + 1)));
    }
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

ConfigFile::SystemSetup ConfigFile::Setup() const {
  return {Options().keepPreviousDataFile,
          loadPreviousDatasets,
          showWelcome,
          autoSaveDatasets,
          levelUnit,
          systemFont,
          graphicsFont,
          folders};
}

bool ConfigFile::ApplySetup(const SystemSetup& setup) {
  Options().keepPreviousDataFile = setup.keepPreviousDataFile;
  loadPreviousDatasets = setup.loadPreviousDatasets;
  showWelcome = setup.showWelcome;
  autoSaveDatasets = setup.autoSaveDatasets;
  levelUnit = setup.levelUnit;
  systemFont = setup.systemFont;
  graphicsFont = setup.graphicsFont;
  bool changed = false;
  // The log folder is not edited: the logs are opened before the configuration is read.
  for (int i : {kDataFolder, kReportFolder, kTempFolder}) {
    const auto at = static_cast<std::size_t>(i - 1);
    std::string text(Trim(setup.folders[at]));
    if (text == folders[at]) continue;
    folders[at] = std::move(text);
    changed = true;
  }
  Log().LogLine("System setup changed" + (changed ? ". Folders: " + FolderListText() : std::string()));
  return changed;
}

}  // namespace mv
