#pragma once
// Whole small files as byte strings. Failures are shown as error windows (unless quiet) with
// the routine's name as the place of the failure.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace mv {

// The largest amount LoadFileToString reads.
inline constexpr std::size_t kMaxFileStringSize = 65520;

// Reads the bytes of fileName from offset (to the end, or at most maxLength bytes when
// maxLength is not 0). False without a message when the file is shorter than offset; false
// with "Размер файла <name> слишком велик - <amount>" when the amount exceeds 65520 bytes;
// false with "Сбой при загрузке файла" CR LF <name> and the system's error text when the file
// cannot be opened or read.
[[nodiscard]] bool LoadFileToString(const std::string& fileName, std::string& text, bool quiet,
                                    std::int32_t offset = 0, std::uint16_t maxLength = 0);

// Writes text as the whole new content of fileName. The bytes go to a temporary file in the
// same folder, which replaces the old file only once it is complete and flushed, so a failure
// at any point leaves the old file as it was. False with "Сбой при записи файла" CR LF <name>
// and the system's error text on failure.
[[nodiscard]] bool SaveStringToFile(const std::string& fileName, const std::string& text, bool quiet);

// The quiet primitives below them. Each gives the system's file error code (FileErrorText) on
// failure.
// Replaces fileName with `bytes` safely: temporary file beside it, flush, rename; a symbolic
// link is followed, an existing file's permissions are kept and so are its owner and group
// where the system lets us; a file that may not be written is refused (ReplaceRefusal).
[[nodiscard]] bool WriteFileAtomically(const std::string& fileName, std::string_view bytes, int& errorCode);
// The size of the pieces a long write is made in.
inline constexpr std::size_t kWritePieceSize = std::size_t{1} << 20;
// Told how many bytes are written so far: before the first piece, between pieces and after the
// last one. Gives 0 to go on, or an errno to stop with (a stop asked by the user, a failure).
using WriteProgress = std::function<int(std::size_t written)>;
// WriteFileAtomically reporting to `progress` (empty: not told). A stop removes the temporary
// and leaves the file as it was; errorCode is the stop's errno as FileErrorCode gives it.
[[nodiscard]] bool WriteFileAtomically(const std::string& fileName, std::string_view bytes, int& errorCode,
                                       const WriteProgress& progress);
// 0 when a save may replace fileName (it does not exist yet, or it may be written), else the
// code to refuse with: 150 "файл или диск защищен от записи" for a file this user may not write
// and for one without any write permission (the administrator could override it, but a file
// made read-only is a finished record), the system's code for a failure to look at it.
// WriteFileAtomically checks this first; a caller that prepares the save (a backup copy) asks
// before that.
[[nodiscard]] int ReplaceRefusal(const std::string& fileName);
// Removes the temporaries that saves of this program left in `folder` when their process ended
// before finishing (killed, crashed, the machine stopped): a temporary's name carries the id of
// the process writing it, and it is stale once that process no longer runs and no save holds
// it. Gives how many were removed. Every save into a folder does this first.
int RemoveStaleTemporaries(const std::string& folder);
// The name of the temporary number `number` of process processId beside `target`.
std::string TemporaryNameFor(const std::string& target, int processId, unsigned number);
// The id of the process whose temporary a file name (without folder) names, 0 when the name is
// not a temporary of this program.
int TemporaryOwner(std::string_view fileName);
// Reads a whole file of at most maxSize bytes (larger: error code 8, not enough memory).
[[nodiscard]] bool ReadWholeFile(const std::string& fileName, std::string& bytes, int& errorCode,
                                 std::uint64_t maxSize);
// Opens fileName for reading without ever waiting on it. Anything that is not a regular file
// (a folder, a pipe, a device, a socket) is refused before it is opened, with error code 5 as
// for a folder, and the open descriptor is checked again in case the name was replaced in
// between. The descriptor (the caller closes it) with the file's size, or -1 with errorCode.
[[nodiscard]] int OpenRegularFile(const std::string& fileName, std::uint64_t& size, int& errorCode);
// Reads up to n bytes at offset into out, stopping early only at the end of the file; `got`
// says how many arrived. False with errorCode when the system reports a failure.
[[nodiscard]] bool ReadFileAt(int fd, std::uint64_t offset, char* out, std::size_t n, std::size_t& got,
                              int& errorCode, const std::string& fileName);

// Keeps the current content of `file` under the name `copy` (an older `copy` is replaced)
// without moving `file` away: a hard link where the file system allows it, else a copy. Used
// before replacing a file whose previous version is to be kept.
bool KeepCopyAs(const std::string& file, const std::string& copy);

// The "file too large" text of LoadFileToString.
std::string FileTooLargeText(const std::string& fileName, std::uint64_t amount);

}  // namespace mv
