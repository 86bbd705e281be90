#include "core/font_descr.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

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

namespace {

std::int32_t ClampToSize(std::int64_t value) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

TFontDescr TFontDescr::Scaled(std::int32_t percent) const {
  // size x (100 + percent) / 100 in whole numbers, so 12.5 is exactly a half.
  const std::int64_t product = std::int64_t{size} * (std::int64_t{100} + percent);
  std::int64_t quotient = product / 100;
  std::int64_t remainder = product % 100;
  if (remainder < 0) {
    quotient -= 1;
    remainder += 100;
  }
  if (remainder > 50 || (remainder == 50 && quotient % 2 != 0)) quotient += 1;
  TFontDescr copy = *this;
  copy.size = ClampToSize(std::max<std::int64_t>(quotient, kMinChangedSize));
  return copy;
}

void TFontDescr::Grow(std::int32_t points) {
  const std::int64_t grown = std::int64_t{size} + points;
  size = ClampToSize(points <= 0 && grown < kMinChangedSize ? kMinChangedSize : grown);
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

std::array<TFontDescr, kReportFontCount> NewReportKindFonts() {
  const auto font = [](std::string_view name, std::int32_t size, std::uint8_t style, std::uint32_t color) {
    TFontDescr f;
    f.name = std::string(name);
    f.size = size;
    f.style = style;
    f.color = color;
    f.charset = TFontDescr::kCyrillic;
    return f;
  };
  constexpr std::uint8_t kBold = 1;
  return {font("Verdana", 18, kBold, 0x0000FF), font("Verdana", 14, kBold, 0), font("Verdana", 10, 0, 0),
          font("Verdana", 10, 0, 0),          font("Tahoma", 8, 0, 0x303030),  font("Verdana", 10, 0, 0)};
}

}  // namespace mv
