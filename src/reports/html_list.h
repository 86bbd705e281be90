#pragma once
// The builder of every report page: a list of text lines with the calls that append the
// document frame, paragraphs, cells and other elements, and the free functions that escape a
// text or build one element.
//
// The rule for every report writer: the calls that take markup (AddLine, AddElement,
// AddParagraph, AddCenteredParagraph, AddCell, AddCenteredCell, HtmlElement, HtmlBold,
// HtmlOverline and the content of HtmlLink) write their argument as it is. Every text that comes
// from a data file, a reference book or the keyboard (names, notes, units, process texts,
// person names, study names, condition texts) is passed through HtmlText first; only texts the
// program makes itself (its own captions, numbers it formats, markup) go in raw. The calls that
// take a plain text (BeginDocument's title, AddBoldCell, AddBoldCenteredCell) escape it
// themselves.
//
// Lines are UTF-8 in memory; the file is Windows-1251. HtmlText writes a character that
// Windows-1251 has no byte for as a numeric reference, so escaped texts arrive whole; in raw
// content such a character becomes '?' when the file is written.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "reports/color_names.h"

namespace mv {

// The application title the documents name as their generator.
inline constexpr std::string_view kReportGenerator = "Morvalen 3.2.50.133";

// Plain text as page content. Characters, not bytes, are read, left to right:
//   CR "<br>"; LF "<br>", or nothing right after a CR (CR LF is one line break);
//   a blank (TAB counts as one) after a blank "&nbsp;", else a blank; before the first
//   character the previous one counts as a blank, so a leading blank is "&nbsp;";
//   " & < > as "&quot;" "&amp;" "&lt;" "&gt;"; the numero sign "&#8470;";
//   a character Windows-1251 cannot hold "&#" + its decimal code point + ";" ("&#937;" for
//   omega); a byte that is not valid UTF-8 "&#65533;";
//   other control characters (below 32 but TAB, CR and LF; DEL; 128..159) are dropped and do
//   not count as the previous character;
//   everything else as it is (the apostrophe included).
// An empty text gives "&nbsp;" when `nbspIfEmpty`, else an empty text.
std::string HtmlText(std::string_view text, bool nbspIfEmpty = true);

// A value for a double-quoted attribute: "&" and "\"" escaped, nothing else changed.
std::string HtmlAttributeValue(std::string_view value);

// "<tag attributes>content</tag>" ("<tag>" without attributes); nothing is escaped.
std::string HtmlElement(std::string_view tag, std::string_view attributes, std::string_view content);
// An "a" element; the url is escaped as an attribute value, the content is not.
std::string HtmlLink(std::string_view url, std::string_view content);
// <img border="0" src="…" width="…" height="…" style="margin:…">; an empty width, height or
// margin leaves its attribute out. The values are escaped as attribute values.
std::string HtmlImage(std::string_view source, std::string_view width = {}, std::string_view height = {},
                      std::string_view margin = {});
// HtmlImage with the sizes as "<n>px" (0 leaves the attribute out) and no margin.
std::string HtmlImagePx(std::string_view source, std::uint16_t width, std::uint16_t height);
// "<b>text</b>" when `bold`, the text unchanged otherwise.
std::string HtmlBold(std::string_view text, bool bold = true);
// The text with a bar over it (X-bar and the like).
std::string HtmlOverline(std::string_view text);

class THTMLList {
 public:
  // The six head lines: doctype, html, head, the charset and generator meta elements and the
  // escaped title; then EndHead when `closeHead`.
  void BeginDocument(std::string_view title, bool closeHead);
  // "</head>", "<body>".
  void EndHead();
  // The text without its trailing characters of code 32 or below (a multibyte character is
  // never cut); an empty text adds an empty line. A line may hold CR LF pairs (the style sheet).
  void AddLine(std::string_view text);
  void AddElement(std::string_view tag, std::string_view attributes, std::string_view content);
  void AddParagraph(std::string_view attributes, std::string_view content);
  void AddCenteredParagraph(std::string_view content);
  // "    <td attributes>content</td>": the attributes trimmed of characters of code 32 or below
  // at both ends (left out when nothing stays), the content as it is, or "&nbsp;" when it holds
  // nothing but such characters.
  void AddCell(std::string_view attributes, std::string_view content);
  // A cell of the escaped text in bold.
  void AddBoldCell(std::string_view attributes, std::string_view text);
  void AddBoldCenteredCell(std::string_view text, std::string_view extraAttributes = {});
  void AddCenteredCell(std::string_view content, std::string_view extraAttributes = {});
  // "</body>", "</html>".
  void EndDocument();

  // Writes every line and CR LF after it, in Windows-1251, as the whole new content of the file
  // (beside it first, then renamed over it). On failure shows "Сбой при записи в файл" CR LF
  // name CR LF CR LF "(" + the system's text + ")" (tag "SaveStringsToFile") and gives false;
  // the lines stay.
  [[nodiscard]] bool SaveToFile(const std::string& fileName) const;
  // The bytes SaveToFile writes.
  std::string Bytes() const;
  // The lines as one UTF-8 text, CR LF after every line.
  std::string Text() const;

  const std::vector<std::string>& Lines() const { return m_lines; }
  std::size_t Count() const { return m_lines.size(); }
  void Clear() { m_lines.clear(); }

 private:
  std::vector<std::string> m_lines;
};

}  // namespace mv
