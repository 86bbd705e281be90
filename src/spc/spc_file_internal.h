#pragma once
// Pieces shared by the SPC file's writer, reader and flows.

#include <cstdint>
#include <string>

#include "core/file_facts.h"
#include "spc/dataset_spc.h"

namespace mv {

// Whole attestation kinds held in the dataset's settings, at most 20.
std::int16_t AttestationCount(const TDatasetSPC& ds);

// A file offset in messages: "0", or decimal "=" 8 hexadecimal digits "h" (1234=000004D2h).
std::string OffsetText(std::uint64_t offset);


// The save counter after one more save; it wraps instead of overflowing (a file can hold any
// value).
inline std::int32_t NextSaveCounter(std::int32_t counter) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(counter) + 1U);
}

// The message of a failed save: "Сбой при записи файла" CR LF name CR LF CR LF the cause.
std::string WriteFailureText(const std::string& fileName, int code);

// The error window's source tag of the loading messages.
inline constexpr const char* kLoadPlace = "LoadFile_MVL";

}  // namespace mv
