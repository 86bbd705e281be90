#pragma once
// The configuration file "mvl.cfg": every setting and much remembered state, read once at
// start-up and written once at the end of the run.
//
//   header (6111 bytes)  block A (570)  block B (1055)  previous-run datasets  22 history
//   lists  session blocks (426, 1136)  dataset-history records (1012 each)  4 folder texts
//   block C (2699)  block D (169)  event-sounds list  input-profiles list  "<END ...>"
//
// The settings this module owns are fields of the object. Every area that belongs to another
// part of the program (chart, histogram and print options, window areas, e-mail, text import
// options, the trailing blocks, ...) is an `OwnedArea`: bytes of its stated size that travel
// untouched until their owner decodes them. An owner reads Area() after Load, writes
// MutableArea() before Save and gives its default image once with SetAreaDefaults().

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/event_sounds.h"
#include "core/font_descr.h"
#include "spc/input_profiles.h"

namespace mv {

// The areas of the file kept for their owners (header offset and size, or trailing block size).
enum class OwnedArea : int {
  kInstallation = 0,          // header 5, 163: installation record (the fields named here are ours)
  kDialogPositions = 1,       // 172, 500: positions and sizes of dialog windows
  kColumnWidths = 2,          // 672, 400: column widths of the tables (six sets)
  kMailServer = 3,            // 1072, 164: e-mail server settings
  kSenderAddress = 4,         // 1236, 81: sender e-mail address (short text 80)
  kViewOptions = 5,           // 1319, 600: windows' view options, first part
  kChartOptions = 6,          // 1919, 1798: chart options with their last byte
  kHistogramOptions = 7,      // 3717, 821
  kPrintOptions = 8,          // 4538, 131: print options of charts and histograms
  kWindowArea = 9,            // 4753, 20
  kMailMessage = 10,          // 5009, 394: e-mail message settings
  kTextImportOptions = 11,    // 5404, 294
  kDistributionName = 12,     // 5711, 41: installed distribution (short text 40)
  kDatasetListArea = 13,      // 5756, 20: the main window's dataset list
  kMainWindowFlag = 14,       // 5777, 1
  kHistoryWindowOption = 15,  // 5813, 1: option of the dataset history window
  kHistoryWindowArea = 16,    // 5814, 20
  kViewOptionsRest = 17,      // 5835, 250: windows' view options, second part
  kMsaChartOptions = 18,      // block A, 570
  kUpdateSettings = 19,       // block B, 1055
  kSessionBlock1 = 20,        // 426: the previous run as the periphery keeps it
  kSessionBlock2 = 21,        // 1136
  kUsageStatistics = 22,      // block C, 2699
  kDistributionDownload = 23  // block D, 169
};
inline constexpr std::size_t kOwnedAreaCount = 24;

class ConfigFile {
 public:
  static constexpr std::size_t kHeaderSize = 6111;
  static constexpr std::uint8_t kVersion = 14;
  static constexpr std::uint16_t kBuildNumber = 133;
  static constexpr std::size_t kHistoryRecord = 1012;
  static constexpr std::size_t kMaxHistoryRecords = 35;
  static constexpr std::size_t kHistoryLists = 22;
  static constexpr std::size_t kFolders = 4;
  static constexpr std::size_t kMaxPreviousDatasets = 20;
  static constexpr std::uint16_t kDefaultSampleWindowHeight = 450;

  // Folder numbers of Folder().
  enum FolderIndex : int { kDataFolder = 1, kReportFolder = 2, kTempFolder = 3, kLogFolder = 4 };

  // A dataset that was open at the end of the previous run.
  struct PreviousDataset {
    std::uint8_t kind = 0;
    std::int32_t id = 0;
    std::uint8_t flag1 = 0;
    std::uint8_t flag2 = 0;
    std::string path;
  };

  // What the settings dialog edits. The log folder is shown there but not edited.
  struct SystemSetup {
    bool keepPreviousDataFile = false;
    bool loadPreviousDatasets = true;
    bool showWelcome = true;
    bool autoSaveDatasets = false;
    std::uint8_t levelUnit = 0;
    TFontDescr systemFont;
    TFontDescr graphicsFont;
    std::array<std::string, kFolders> folders;
    bool operator==(const SystemSetup&) const = default;
  };

  // appFolder: the program's folder ("$AppFolder"). The lists are the program's own and are
  // filled by Load and stored by Save.
  ConfigFile(std::string appFolder, TEventSoundSet& sounds, TInputProfileSet& profiles);

  // --- settings owned here ---
  // The switch "Оставлять прежнюю версию файла данных при его сохранении" lives in
  // Options().keepPreviousDataFile, where the data file consults it; Load fills it and Save
  // stores it.
  bool loadPreviousDatasets = true;  // "Автоматически загружать наборы данных из предыдущего сеанса"
  bool showWelcome = true;  // "При отстутствии наборов данных показывать окно приветствия"
  bool autoSaveDatasets = false;  // "Автоматически сохранять наборы данных"
  std::uint8_t levelUnit = 0;     // nonconformity level: 0 automatic, 1 PPM, 2 %
  TFontDescr systemFont;
  TFontDescr graphicsFont;
  std::array<std::string, kFolders> folders;  // texts, possibly with placeholders
  std::int32_t runCounter = 0;                // as stored; the program run makes it the current run
  std::uint16_t sampleWindowHeight = kDefaultSampleWindowHeight;

  // --- remembered state kept for its owners ---
  std::vector<PreviousDataset> previousDatasets;  // at most kMaxPreviousDatasets are stored
  // Recently typed values, one list per editor; stored as one text with the items joined by
  // CR LF.
  std::array<std::vector<std::string>, kHistoryLists> historyLists;
  std::vector<std::string> historyRecords;  // kHistoryRecord bytes each, at most kMaxHistoryRecords

  std::string_view Area(OwnedArea area) const;
  std::span<char> MutableArea(OwnedArea area);
  // The area's content from an owner's record, cut or padded with zeros to the area's size.
  void SetArea(OwnedArea area, std::string_view bytes);
  // The area's content whenever defaults apply (Defaults, a block stored with another size, chart
  // options of another build); zeros until an owner gives its image. Cut or padded with zeros
  // to the area's size.
  void SetAreaDefaults(OwnedArea area, std::string_view image);
  static std::size_t AreaSize(OwnedArea area);
  // The area back to its owner's default image.
  void ResetArea(OwnedArea area) { AreaToDefaults(area); }

  // Every setting at its default, every area at its owner's default, the remembered state and
  // the two lists cleared.
  void Defaults();
  // Reads the file with all its checks and messages; on failure the defaults apply and the
  // backup "mvl_prev.cfg" beside it is tried once. True when a file was read completely.
  bool Load(const std::string& path);
  // Writes the file safely; with keepBackup the file being replaced is kept as "mvl_prev.cfg".
  bool Save(const std::string& path, bool keepBackup);

  // The file's bytes as Save writes them (the end marker with `now`).
  std::string Encode(TDateTime now) const;
  // What went wrong reading a file's bytes.
  struct Problem {
    enum Kind : std::uint8_t { kNone = 0, kSignature = 1, kVersion = 2, kEndOfData = 3 };
    Kind kind = kNone;
    std::size_t value = 0;  // the version read, or the offset where the data ended
  };
  // Reads a file's bytes over the defaults. A list that fails to load is reported and left
  // empty; on any other problem the caller applies the defaults.
  Problem Decode(std::string_view bytes);

  // The expanded folder for 1 data, 2 reports, 3 temporary, 4 log; "" for other numbers.
  std::string Folder(int index) const;
  // "$AppFolder" replaced, and with `all` also the four folder placeholders.
  std::string ExpandPath(std::string_view text, bool all) const;
  // "Samples="...", Reports="...", ..." joined by "; ".
  std::string FolderListText() const;
  // The default folder texts ("Установить значения по умолчанию").
  static std::array<std::string, kFolders> DefaultFolders();
  // A summary of the installation record for the log.
  std::string InstallationSummary() const;
  // The build number the installation record holds: the build of the program that wrote the
  // configuration read (0 when none was read).
  std::uint16_t WriterBuild() const;

  // The settings dialog: its current values, and its OK. ApplySetup stores the switches, the
  // data, report and temporary folder texts (trimmed), the unit and the fonts, and logs
  // "System setup changed" (with ". Folders: " and the folder list when a folder changed).
  // True when a folder changed: the paths derived from the folders are then recomputed.
  SystemSetup Setup() const;
  bool ApplySetup(const SystemSetup& setup);

  // The configuration's file names in the program folder.
  std::string FileName() const;
  std::string BackupFileName() const;

 private:
  void ApplyHeader(std::string_view header);
  void StoreHeader(std::string& header, TDateTime now, std::uint16_t soundsLength, std::uint16_t profilesLength) const;
  bool LoadOnce(const std::string& path, bool& missing);
  void AreaToDefaults(OwnedArea area);

  std::string m_appFolder;
  TEventSoundSet& m_sounds;
  TInputProfileSet& m_profiles;
  std::array<std::string, kOwnedAreaCount> m_areas;
  std::array<std::string, kOwnedAreaCount> m_areaDefaults;
};

}  // namespace mv
