#pragma once
// What SPC and MSA datasets have in common: identity, access, the file they came from, change
// tracking, password and display state.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"

namespace mv {

enum class DatasetKind : std::uint8_t { Spc = 1, Msa = 2 };

// A file attached to a dataset (a picture or a document), possibly with its content embedded.
struct TDatasetImage {
  static constexpr std::size_t kTitleMax = 80;
  static constexpr std::size_t kShortTextMax = 40;
  static constexpr std::uint16_t kEmbedded = 0x0001;

  std::int16_t type = 0;
  std::int16_t flags = 0;
  std::int32_t fileSize = 0;
  TDateTime fileTime = 0;
  std::string title;      // at most 80 characters
  std::string shortText;  // at most 40
  std::string folder;     // where the file lies
  std::string fileName;   // its name within the folder
  std::string content;    // the embedded bytes (with kEmbedded), at most 65520
};

class TDatasetBasic {
 public:
  static constexpr std::size_t kColumnWidthCount = 185;
  static constexpr std::int16_t kDefaultColumnWidth = 30;
  static constexpr std::size_t kResponsibleMax = 100;
  static constexpr std::size_t kCreationNoteMax = 60;
  static constexpr std::int32_t kEditedIdMin = 100000000;  // an identifier edited by hand
  static constexpr std::int32_t kEditedIdMax = 999999999;

  // A new dataset: a new identifier, created now with its creation note, marked new.
  explicit TDatasetBasic(DatasetKind datasetKind);
  virtual ~TDatasetBasic() = default;
  TDatasetBasic(const TDatasetBasic&) = delete;
  TDatasetBasic& operator=(const TDatasetBasic&) = delete;

  std::int32_t id = 0;
  DatasetKind kind;
  bool inDatabase = false;  // always false here
  std::uint32_t accessFlags = 0;  // access_flag
  std::string fileName;  // full path
  std::string folder;
  std::uint64_t fileSize = 0;  // as found when read or saved
  TDateTime fileTime = 0;
  bool fromBackup = false;
  bool replaceAllowed = false;  // saving may replace an existing file without asking
  bool isNew = true;            // never saved
  bool loaded = false;
  TDateTime created = 0;
  TDateTime changedAt = 0;
  TDateTime savedAt = 0;
  TDateTime loadedAt = 0;
  std::int32_t saveCounter = 0;
  std::uint8_t formatVersion = 0;  // of the file it was read from
  std::vector<TDatasetImage> attachments;
  std::uint32_t passwordHash = 0;  // 0: no password
  bool unlocked = false;
  std::string responsible;  // at most 100 characters; shown as the owner
  std::array<std::int16_t, kColumnWidthCount> columnWidths{};
  std::string creationNote;  // at most 60 characters
  std::uint8_t logLevel = 0;
  int slot = 0;  // in the list of open datasets
  std::int32_t historyKey = 0;  // of its entry in the dataset history while it is open

  // 1 SPC file, 2 SPC database, 3 MSA file, 4 MSA database.
  int TypeCode() const;
  bool IsExample() const;
  // A new identifier (and no example mark any more).
  void SetNewIdentifier();

  // Changed: new, or changed after the last save.
  bool IsChanged() const { return isNew || changedAt > savedAt; }
  // Records a change now.
  void Touch();

  virtual std::string ContentsText() const { return {}; }
  // ", new dataset" for a new one, ", secured by "<owner>"" with a password.
  virtual std::string LogDetails() const;
  virtual std::string ChangesText() const { return {}; }
  // The save time becomes now and the dataset is no longer new.
  virtual void MarkSaved();
  virtual std::string UsageCounters() const { return {}; }
};

}  // namespace mv
