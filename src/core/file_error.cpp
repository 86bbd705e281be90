#include "core/file_error.h"

#include <cerrno>
#include <cstring>
#include <system_error>

#include "core/numbers.h"

namespace mv {
namespace {

// strerror_r comes in two shapes: XSI returns an int and fills the buffer, GNU returns the
// text (which may or may not be the buffer). Overloads pick whichever the C library gave us.
[[maybe_unused]] const char* ErrorMessage(int result, const char* buffer) {
  return result == 0 ? buffer : nullptr;
}
[[maybe_unused]] const char* ErrorMessage(const char* result, const char* /*buffer*/) {
  return result;
}

std::string OsMessage(int code) {
  char buffer[256] = {};
  const char* text = ErrorMessage(strerror_r(code, buffer, sizeof buffer), buffer);
  if (text == nullptr || *text == '\0') return "ошибка";  // "error"
  return text;
}

// The codes with a text of their own in FileErrorText.
bool HasOwnText(int code) {
  switch (code) {
    case 2: case 3: case 4: case 5: case 8: case 100: case 101: case 103:
    case 150: case 152: case 158: case 163: case 1001:
      return true;
    default:
      return false;
  }
}

}  // namespace

int FileErrorCode(int err, FileOp op, const std::filesystem::path& path) {
  switch (err) {
    case ENOENT: {
      // Opening "a/b/c.dat" when "a/b" is missing reports ENOENT as well; the system tells
      // the two apart.
      const std::filesystem::path folder = path.parent_path();
      std::error_code ec;
      if (!folder.empty() && !std::filesystem::is_directory(folder, ec)) return 3;
      return 2;
    }
    case ENOTDIR:
      return 3;
    case EMFILE:
    case ENFILE:
      return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
      return 5;
    case ENOMEM:
      return kOutOfMemoryCode;
    case EIO:
    // An interrupted call is a failed read or write; left as itself, EINTR (4) would read as
    // "too many open files".
    case EINTR:
      return op == FileOp::Read ? 100 : 101;
    case EROFS:
      return 150;
    default:
      // A full disk (ENOSPC), an exceeded quota and the rest keep their own numbers, so that
      // the text is the operating system's, which says what went wrong. A number that happens
      // to be one of the codes above ("файл не открыт" for a broken network connection) would
      // name another failure: it counts as a failed read or write.
      if (HasOwnText(err)) return op == FileOp::Read ? 100 : 101;
      return err;
  }
}

std::string FileErrorText(int code) {
  std::string text;
  switch (code) {
    case 2: text = "файл не найден"; break;                     // file not found
    case 3: text = "каталог не найден"; break;                  // folder not found
    case 4: text = "слишком много открытых файлов"; break;      // too many open files
    case 5: text = "ошибка доступа"; break;                     // access denied
    case 8: text = "недостаточно памяти"; break;                // out of memory
    case 100: text = "ошибка чтения диска"; break;              // disk read error
    case 101: text = "ошибка записи на диск"; break;            // disk write error
    case 103: text = "файл не открыт"; break;                   // file not open
    case 150: text = "файл или диск защищен от записи"; break;  // write-protected
    case 152: text = "устройство не готово"; break;             // drive not ready
    case 158: text = "сектор не найден"; break;                 // sector not found
    case 163: text = "файл блокирован по сети"; break;          // locked over the network
    case 1001: text = "GMB занят"; break;                       // GMB busy
    default: text = OsMessage(code); break;
  }
  return text + " (#" + FormatInt(code) + ")";
}

}  // namespace mv
