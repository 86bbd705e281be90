#pragma once
// The configuration file "mvl.cfg": every setting and much remembered state, read once at
// start-up and written once at the end of the run.
//
//   header (6111 bytes)  block A (570)  block B (1055)  previous-run datasets  22 history
//   lists  session blocks (426, 1136)  dataset-history records (1012 each)  4 folder texts
//   block C (2699)  block D (169)  event-sounds list  input-profiles list  "<END ...>"
//
// The header is kept as one image: the fields this module owns are decoded from it and
// encoded back into it, and every area that belongs to another part of the program (chart,
// histogram and print options, window areas, e-mail, text import options, ...) travels
// untouched until its owner decodes it. The trailing blocks of other owners are kept as bytes
// of their stated sizes likewise.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/event_sounds.h"
#include "core/font_descr.h"
#include "spc/input_profiles.h"

namespace mv {

class ConfigFile {
 public:
  static constexpr std::size_t kHeaderSize = 6111;
  static constexpr std::uint8_t kVersion = 14;
  static constexpr std::uint16_t kBuildNumber = 133;
  static constexpr std::size_t kBlockA = 570;
  static constexpr std::size_t kBlockB = 1055;
  static constexpr std::size_t kSession1 = 426;
  static constexpr std::size_t kSession2 = 1136;
  static constexpr std::size_t kHistoryRecord = 1012;
  static constexpr std::size_t kMaxHistoryRecords = 35;
  static constexpr std::size_t kHistoryLists = 22;
  static constexpr std::size_t kFolders = 4;
  static constexpr std::size_t kMaxPreviousDatasets = 20;
  static constexpr std::size_t kBlockC = 2699;
  static constexpr std::size_t kBlockD = 169;
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

  // appFolder: the program's folder ("$AppFolder"). The lists are the program's own and are
  // filled by Load and stored by Save.
  ConfigFile(std::string appFolder, TEventSoundSet& sounds, TInputProfileSet& profiles);

  // --- settings owned here ---
  bool keepPreviousDataFile = false;  // "Оставлять прежнюю версию файла данных при его сохранении"
  bool loadPreviousDatasets = true;
  bool showWelcome = true;
  bool autoSaveDatasets = false;
  std::uint8_t levelUnit = 0;  // 0 automatic, 1 PPM, 2 %
  TFontDescr systemFont;
  TFontDescr graphicsFont;
  std::array<std::string, kFolders> folders;  // texts, possibly with placeholders
  std::int32_t runCounter = 0;                // the number of the current run once loaded
  std::uint16_t sampleWindowHeight = kDefaultSampleWindowHeight;

  // --- kept for their owners ---
  std::string blockA;  // MSA chart options
  std::string blockB;  // update settings
  std::vector<PreviousDataset> previousDatasets;
  std::array<std::string, kHistoryLists> historyLists;  // Windows-1251 bytes as stored
  std::string session1;
  std::string session2;
  std::vector<std::string> historyRecords;  // kHistoryRecord bytes each
  std::string blockC;
  std::string blockD;

  // The header image with every area of other owners.
  std::string& Header() { return m_header; }

  // Every setting at its default and the remembered state cleared.
  void Defaults();
  // Reads the file with all its checks and messages; on failure the defaults apply and the
  // backup "mvl_prev.cfg" is tried once. True when a file was read completely.
  bool Load(const std::string& path);
  // Writes the file (keeping the previous one as "mvl_prev.cfg" when it was read at start-up).
  bool Save(const std::string& path, bool keepBackup);

  // The file's bytes as Save writes them (the end marker with `now`).
  std::string Encode(TDateTime now) const;
  // What went wrong reading a file's bytes.
  struct Problem {
    enum Kind : std::uint8_t { kNone = 0, kSignature = 1, kVersion = 2, kEndOfData = 3 };
    Kind kind = kNone;
    std::size_t value = 0;  // the version read, or the offset where the data ended
  };
  // Reads a file's bytes. Lists that fail to load are reported and skipped.
  Problem Decode(std::string_view bytes);

  // The expanded folder for 1 data, 2 reports, 3 temporary, 4 log; "" for other numbers.
  std::string Folder(int index) const;
  // "$AppFolder" replaced, and with `all` also the four folder placeholders.
  std::string ExpandPath(std::string_view text, bool all) const;
  // "Samples="...", Reports="...", ..." joined by "; ".
  std::string FolderListText() const;
  // A summary of the installation record for the log.
  std::string InstallationSummary() const;

  // The configuration's file names in the program folder.
  std::string FileName() const;
  std::string BackupFileName() const;

 private:
  void ApplyHeader();
  void StoreHeader(std::string& header, TDateTime now, std::uint16_t soundsLength, std::uint16_t profilesLength) const;
  bool LoadOnce(const std::string& path, bool& missing);

  std::string m_appFolder;
  TEventSoundSet& m_sounds;
  TInputProfileSet& m_profiles;
  std::string m_header;
};

}  // namespace mv
