#pragma once
// Character-level text helpers for UTF-8 strings. Every "at most N characters" limit of the
// system counts characters (one Windows-1251 byte each), never UTF-8 bytes.

#include <cstdint>
#include <string>
#include <string_view>

namespace mv {

// Language of report and chart texts.
enum class Lang : std::uint8_t { Ru = 0, En = 1 };

// Number of characters (code points; an invalid byte counts as one).
std::size_t CharCount(std::string_view utf8);

// The first n characters, never splitting a character.
std::string CutToChars(std::string_view utf8, std::size_t n);

// Upper and lower case for Latin and for the Cyrillic letters of Windows-1251 (Ё/ё and the
// other Slavic letters included); any other character is kept. Independent of the locale.
std::string UpperCase(std::string_view utf8);
std::string LowerCase(std::string_view utf8);

// Equal ignoring letter case by the rule above.
bool SameText(std::string_view a, std::string_view b);

// Leading and trailing blanks, tabs, CR and LF removed.
std::string_view Trim(std::string_view text);

// The text in double quotes, as messages and log lines name files and values.
std::string Quoted(std::string_view text);

// The Russian counting-word rule: the number, the stem and one of three forms. The numbers
// 11..14 take the third form; otherwise the last digit decides: 1 the first form, 2..4 the
// second, 0 and 5..9 the third. Only 11..14 themselves: 111 takes the first form.
//   PluralRu(3, " параметр", "", "а", "ов") == "3 параметра"
std::string PluralRu(std::int64_t n, std::string_view stem, std::string_view form1,
                     std::string_view form2to4, std::string_view form5);

}  // namespace mv
