#include "reports/color_names.h"

#include <array>

namespace mv {
namespace {

constexpr std::array<NamedColor, kNamedColorCount> kColors = {{
    {"None", "Нет", kColorNone},
    {"Aqua", "Голубой", 0xFFFF00},
    {"Black", "Черный", 0x000000},
    {"Blue", "Синий", 0xFF0000},
    {"Cream", "Кремовый", 0xF0FBFF},
    {"DkGray", "Серый", 0x808080},
    {"Gray", "Светло-серый", 0x808080},
    {"Fuchsia", "Розовый", 0xFF00FF},
    {"Green", "Зеленый", 0x008000},
    {"LtGray", "Серебристый", 0xC0C0C0},
    {"Lime", "Травяной", 0x00FF00},
    {"Maroon", "Малиновый", 0x000080},
    {"MedGray", "Средне-серый", 0xA4A0A0},
    {"MoneyGr", "Темно-зеленый", 0xC0DCC0},
    {"Navy", "Темно-синий", 0x800000},
    {"Olive", "Оливковый", 0x008080},
    {"Purple", "Сиреневый", 0x800080},
    {"Red", "Красный", 0x0000FF},
    {"Silver", "Серебряный", 0xC0C0C0},
    {"SkyBlue", "Небесный", 0xF0CAA6},
    {"Teal", "Бирюзовый", 0x808000},
    {"White", "Белый", 0xFFFFFF},
    {"Yellow", "Желтый", 0x00FFFF},
    {"Window", "Окно", kColorWindow},
    {"GrayText", "Затен.текст", kColorGrayText},
}};

}  // namespace

std::string ColorToHex(std::uint32_t color) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out(6, '0');
  for (int i = 0; i < 3; ++i) {
    const unsigned byte = (color >> (8 * i)) & 0xFFu;
    out[static_cast<std::size_t>(2 * i)] = kDigits[byte >> 4];
    out[static_cast<std::size_t>(2 * i + 1)] = kDigits[byte & 0xFu];
  }
  return out;
}

std::string ColorToHtml(std::uint32_t color) { return "#" + ColorToHex(color); }

std::uint32_t PlainColor(std::uint32_t color) {
  if (color == kColorWindow) return 0xFFFFFF;
  if (color == kColorGrayText) return 0x808080;
  return color;
}

std::string ColorName(std::uint32_t color, bool russian, bool withDigits) {
  for (const NamedColor& row : kColors) {
    if (row.value != color) continue;
    std::string name = russian ? row.russian : row.english;
    if (withDigits) name += " (" + ColorToHex(color) + ")";
    return name;
  }
  return ColorToHex(color);
}

const NamedColor& NamedColorAt(std::size_t index) { return kColors[index < kColors.size() ? index : 0]; }

}  // namespace mv
