#include "core/font_descr.h"

#include <algorithm>
#include <cstring>

#include "core/byte_order.h"
#include "core/cp1251.h"

namespace mv {
namespace {

constexpr std::size_t kSizeField = 31;
constexpr std::size_t kColorField = 35;
constexpr std::size_t kStyleField = 39;
constexpr std::size_t kCharsetField = 40;
static_assert(kCharsetField + 1 == TFontDescr::kSize && 1 + TFontDescr::kNameMax == kSizeField);

constexpr std::int32_t kSystemFontMin = 8;
constexpr std::int32_t kSystemFontMax = 14;

}  // namespace

std::string TFontDescr::Encode() const {
  std::string out(kSize, '\0');
  std::string bytes = Utf8ToCp1251(name);
  if (bytes.size() > kNameMax) bytes.resize(kNameMax);
  out[0] = static_cast<char>(bytes.size());
  std::memcpy(out.data() + 1, bytes.data(), bytes.size());
  PutI32(out, kSizeField, size);
  PutU32(out, kColorField, color);
  PutU8(out, kStyleField, style);
  PutU8(out, kCharsetField, charset);
  return out;
}

bool TFontDescr::Decode(std::string_view bytes) {
  if (bytes.size() < kSize) return false;
  const std::size_t n = std::min<std::size_t>(GetU8(bytes, 0), kNameMax);
  name = Cp1251ToUtf8(bytes.substr(1, n));
  size = GetI32(bytes, kSizeField);
  color = GetU32(bytes, kColorField);
  style = GetU8(bytes, kStyleField);
  charset = GetU8(bytes, kCharsetField);
  return true;
}

std::string CheckSystemFontSize(std::int32_t size) {
  if (size >= kSystemFontMin && size <= kSystemFontMax) return {};
  return "Недопустимо выбирать размер системного шрифта менее " + std::to_string(kSystemFontMin) + " и более " +
         std::to_string(kSystemFontMax);
}

std::string NonCyrillicFontQuestion() {
  return "В свойствах шрифта установлена таблица символов, отличная от \"Кирилица\".\r\n"
         "Это может привести к проблемам при отображении текста на русском языке\r\n\r\n"
         "Использовать этот шрифт?";
}

}  // namespace mv
