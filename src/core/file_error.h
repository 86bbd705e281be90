#pragma once
// Failures of file operations, told in the system's terms. Operating-system errors are mapped
// to the codes the system's texts know (2 file not found, 3 folder not found, 5 access denied,
// 100/101 read/write failure, ...); any other errno (a full disk among them) keeps its own
// number and is told in the operating system's words.

#include <filesystem>
#include <string>

namespace mv {

enum class FileOp : unsigned char { Read = 0, Write = 1 };

// The system's code for an errno from an operation on `path`.
int FileErrorCode(int err, FileOp op, const std::filesystem::path& path = {});

// The text for a code, always followed by " (#" + code + ")": 2 "файл не найден (#2)".
// Codes without a text of their own give the operating system's message.
std::string FileErrorText(int code);

// The code whose text is "недостаточно памяти": a failed allocation anywhere that bytes from
// outside decide how much is taken (a load, an import, a command).
inline constexpr int kOutOfMemoryCode = 8;

// The detail of a read that ran past the end of a file: the file is damaged or cut short, not
// the disk ("the file ends before its contents do"). No code: no device reported anything.
inline constexpr const char* kFileEndsEarlyText = "файл кончается раньше своего содержимого";

}  // namespace mv
