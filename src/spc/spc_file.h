#pragma once
// The SPC data file (extension mvl): the whole dataset in one binary file, always written as
// format version 6.
//
//   prefix (8)  header (11836)  texts  report kinds  attestation kinds  attachments
//   parameters (514 each)  blocks (268 each, each followed by its samples and points)
//   parameter classes chunk
//
// Every count, length, index and code read from a file is checked against its capacity and
// against the bytes left before it is used; a damaged file gives the system's message and
// nothing else happens. Saving writes a temporary file beside the target and renames it over
// the target only when complete, so a failed save leaves the previous file as it was.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "spc/dataset_spc.h"

namespace mv {

inline constexpr std::uint8_t kSpcFileVersion = 6;
inline constexpr std::size_t kSpcPrefixSize = 8;
inline constexpr std::size_t kSpcHeaderSize = 11836;
inline constexpr std::int16_t kSpcWriterRelease = 50;

// "d/a.mvl" -> "d/a.~mv": the extension replaced by ".~" and the first two characters of the
// old extension.
std::string BackupName(const std::string& fileName);

// Whether fileName has the data file's extension, "mvl" in any letter case ("a.MVL" too). The
// one rule for opening a file by its extension and for saving under the current name.
bool HasSpcExtension(const std::string& fileName);

// The outcome of reading a file, without any window: what the user would be told.
struct SpcReadResult {
  std::unique_ptr<TDatasetSPC> dataset;  // only on success
  std::string message;  // the error window's text
  std::string details;  // its details ("" when none)
  std::string place;    // the error window's source tag
  bool aborted = false;  // the user stopped the loading
  bool Ok() const { return dataset != nullptr; }
};

// Reads a data file into a new dataset (no windows; progress through the installed progress
// interface, which may abort between blocks). On success the dataset has its file name,
// folder, size and time, format version, load time, rebuilt lists and statistics.
SpcReadResult ReadSpcFile(const std::string& fileName);
// The same from bytes already in memory (fileName only names the file in messages).
SpcReadResult ReadSpcBytes(const std::string& bytes, const std::string& fileName);

// The file's bytes for a dataset (version 6) saved as fileName at saveTime (both go into the
// header). The header's stamp also carries the date of the program's file: the executable's,
// or programDate when given (so that a file made by a build comes out the same every time).
std::string EncodeSpcFile(const TDatasetSPC& dataset, const std::string& fileName, TDateTime saveTime,
                          std::optional<TDateTime> programDate = std::nullopt);

// Writes the dataset to fileName safely (temporary file, flush, rename). No windows but the
// installed progress interface ("Cохранение файла": a step for the header, each parameter and
// block and each piece written), which may stop it between blocks and between pieces; on
// failure `error` holds the system's message text ("Сбой при записи файла" CR LF name CR LF
// CR LF cause, or "Сохранение файла прервано пользователем" with *aborted set after a stop).
// Does not change the dataset; a failure or a stop leaves the file on disk as it was.
// programDate as for EncodeSpcFile.
bool WriteSpcFile(const TDatasetSPC& dataset, const std::string& fileName, std::string& error,
                  bool* aborted = nullptr, std::optional<TDateTime> programDate = std::nullopt);

// The program's flows with their questions and messages.
// Loading: shows its own messages, offers the backup file when loading failed; nothing on
// failure.
// The "Load DS from file" line goes to the log, or into *loadLine when given (for a caller
// that logs it once the dataset has its slot).
std::unique_ptr<TDatasetSPC> LoadDatasetFile(const std::string& fileName, std::string* loadLine = nullptr);
// Saving: chooses the name (asking about conflicts, or through the file dialog when askName or
// the dataset has no file yet), gives a dataset saved under a new name a new identifier, keeps
// the previous version as the backup when the option is on, writes, logs; on success the
// dataset takes the file's name and counts as saved. nameAllowed, when given, sees the chosen
// name (absolute) before anything is written and may refuse it (telling the user why).
bool SaveDatasetFile(TDatasetSPC& dataset, bool askName,
                     const std::function<bool(const std::string& target)>& nameAllowed = {});

}  // namespace mv
