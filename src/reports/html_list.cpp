#include "reports/html_list.h"

#include <algorithm>

#include "core/cp1251.h"
#include "core/file_error.h"
#include "core/file_routines.h"
#include "core/messages.h"
#include "core/utf8.h"

namespace mv {
namespace {

constexpr char32_t kNumeroSign = 0x2116;
constexpr char32_t kReplacementChar = 0xFFFD;
// The unassigned byte of Windows-1251; the codec keeps it for round trips, a page must not.
constexpr char kUnassignedByte = static_cast<char>(0x98);

bool IsLowOrBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimLowEnd(std::string_view text) {
  while (!text.empty() && IsLowOrBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimLow(std::string_view text) {
  while (!text.empty() && IsLowOrBlank(text.front())) text.remove_prefix(1);
  return TrimLowEnd(text);
}

bool IsDroppedControl(char32_t code) {
  return (code < 0x20 && code != '\t' && code != '\r' && code != '\n') || (code >= 0x7F && code <= 0x9F);
}

void AppendReference(std::string& out, char32_t code) {
  out += "&#";
  out += std::to_string(static_cast<std::uint32_t>(code));
  out += ';';
}

}  // namespace

std::string HtmlText(std::string_view text, bool nbspIfEmpty) {
  if (text.empty()) return nbspIfEmpty ? "&nbsp;" : "";
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  char32_t previous = ' ';
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char ch = NextUtf8Char(text, pos);
    const std::string_view bytes = text.substr(pos, ch.size);
    pos += ch.size;
    if (!ch.valid) {
      AppendReference(out, kReplacementChar);
      previous = kReplacementChar;
      continue;
    }
    char32_t code = ch.code == '\t' ? U' ' : ch.code;
    if (IsDroppedControl(code)) continue;
    switch (code) {
      case '\r': out += "<br>"; break;
      case '\n':
        if (previous != '\r') out += "<br>";
        break;
      case ' ': out += previous == ' ' ? "&nbsp;" : " "; break;
      case '"': out += "&quot;"; break;
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case kNumeroSign: AppendReference(out, code); break;
      default:
        if (code < 0x80 || FitsCp1251(bytes)) {
          out += bytes;
        } else {
          AppendReference(out, code);
        }
    }
    previous = code;
  }
  return out;
}

std::string HtmlAttributeValue(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    if (c == '&') {
      out += "&amp;";
    } else if (c == '"') {
      out += "&quot;";
    } else {
      out += c;
    }
  }
  return out;
}

std::string HtmlElement(std::string_view tag, std::string_view attributes, std::string_view content) {
  std::string out;
  out.reserve(2 * tag.size() + attributes.size() + content.size() + 6);
  out += '<';
  out += tag;
  if (!attributes.empty()) {
    out += ' ';
    out += attributes;
  }
  out += '>';
  out += content;
  out += "</";
  out += tag;
  out += '>';
  return out;
}

std::string HtmlLink(std::string_view url, std::string_view content) {
  return HtmlElement("a", "href=\"" + HtmlAttributeValue(url) + "\"", content);
}

std::string HtmlImage(std::string_view source, std::string_view width, std::string_view height,
                      std::string_view margin) {
  std::string out = "<img border=\"0\" src=\"" + HtmlAttributeValue(source) + "\"";
  if (!width.empty()) out += " width=\"" + HtmlAttributeValue(width) + "\"";
  if (!height.empty()) out += " height=\"" + HtmlAttributeValue(height) + "\"";
  if (!margin.empty()) out += " style=\"margin:" + HtmlAttributeValue(margin) + "\"";
  out += '>';
  return out;
}

std::string HtmlImagePx(std::string_view source, std::uint16_t width, std::uint16_t height) {
  const auto px = [](std::uint16_t n) { return n == 0 ? std::string() : std::to_string(n) + "px"; };
  return HtmlImage(source, px(width), px(height));
}

std::string HtmlBold(std::string_view text, bool bold) {
  if (!bold) return std::string(text);
  return "<b>" + std::string(text) + "</b>";
}

std::string HtmlOverline(std::string_view text) {
  return "<span style=\"text-decoration: overline\">" + std::string(text) + "</span>";
}

void THTMLList::BeginDocument(std::string_view title, bool closeHead) {
  m_lines.emplace_back("<!DOCTYPE html>");
  m_lines.emplace_back("<html>");
  m_lines.emplace_back("<head>");
  m_lines.emplace_back("<meta charset=\"windows-1251\">");
  m_lines.push_back("<meta name=\"GENERATOR\" content=\"" + HtmlText(kReportGenerator, false) + "\">");
  m_lines.push_back("<title>" + HtmlText(title, false) + "</title>");
  if (closeHead) EndHead();
}

void THTMLList::EndHead() {
  m_lines.emplace_back("</head>");
  m_lines.emplace_back("<body>");
}

void THTMLList::AddLine(std::string_view text) { m_lines.emplace_back(TrimLowEnd(text)); }

void THTMLList::AddElement(std::string_view tag, std::string_view attributes, std::string_view content) {
  m_lines.push_back(HtmlElement(tag, attributes, content));
}

void THTMLList::AddParagraph(std::string_view attributes, std::string_view content) {
  AddElement("p", attributes, content);
}

void THTMLList::AddCenteredParagraph(std::string_view content) { AddElement("p", "align=\"center\"", content); }

void THTMLList::AddCell(std::string_view attributes, std::string_view content) {
  const std::string_view trimmed = TrimLow(attributes);
  std::string line = "    <td";
  if (!trimmed.empty()) {
    line += ' ';
    line += trimmed;
  }
  line += '>';
  if (TrimLow(content).empty()) {
    line += "&nbsp;";
  } else {
    line += content;
  }
  line += "</td>";
  m_lines.push_back(std::move(line));
}

void THTMLList::AddBoldCell(std::string_view attributes, std::string_view text) {
  AddCell(attributes, "<b>" + HtmlText(text, true) + "</b>");
}

void THTMLList::AddBoldCenteredCell(std::string_view text, std::string_view extraAttributes) {
  AddCell("align=\"center\" " + std::string(extraAttributes), "<b>" + HtmlText(text, true) + "</b>");
}

void THTMLList::AddCenteredCell(std::string_view content, std::string_view extraAttributes) {
  AddCell("align=\"center\" " + std::string(extraAttributes), content);
}

void THTMLList::EndDocument() {
  m_lines.emplace_back("</body>");
  m_lines.emplace_back("</html>");
}

std::string THTMLList::Text() const {
  std::size_t size = 0;
  for (const std::string& line : m_lines) size += line.size() + 2;
  std::string out;
  out.reserve(size);
  for (const std::string& line : m_lines) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::string THTMLList::Bytes() const {
  std::string bytes = Utf8ToCp1251(Text());
  std::replace(bytes.begin(), bytes.end(), kUnassignedByte, '?');
  return bytes;
}

bool THTMLList::SaveToFile(const std::string& fileName) const {
  int code = 0;
  if (WriteFileAtomically(fileName, Bytes(), code)) return true;
  ShowError("Сбой при записи в файл\r\n" + fileName + "\r\n\r\n(" + FileErrorText(code) + ")", 0,
            "SaveStringsToFile");
  return false;
}

}  // namespace mv
