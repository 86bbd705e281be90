#include "core/short_text.h"

#include <algorithm>
#include <cstring>

#include "core/cp1251.h"

namespace mv {

void PutShortText(std::string& record, std::size_t off, std::string_view utf8, std::size_t capacity) {
  std::string bytes = Utf8ToCp1251(utf8);
  if (bytes.size() > capacity) bytes.resize(capacity);
  record[off] = static_cast<char>(bytes.size());
  std::memcpy(record.data() + off + 1, bytes.data(), bytes.size());
}

std::string GetShortText(std::string_view record, std::size_t off, std::size_t capacity) {
  const std::size_t n = std::min<std::size_t>(static_cast<unsigned char>(record[off]), capacity);
  return Cp1251ToUtf8(record.substr(off + 1, n));
}

}  // namespace mv
