#pragma once
// Short texts of fixed records: a length byte and `capacity` character bytes (Windows-1251),
// the text cut to the capacity on writing and the length byte clamped to it on reading. The
// caller guarantees off + 1 + capacity <= the record's size.

#include <cstddef>
#include <string>
#include <string_view>

namespace mv {

void PutShortText(std::string& record, std::size_t off, std::string_view utf8, std::size_t capacity);
std::string GetShortText(std::string_view record, std::size_t off, std::size_t capacity);

}  // namespace mv
