#include "reports/report_document.h"

#include <algorithm>

#include "core/cp1251.h"
#include "core/file_routines.h"
#include "core/utf8.h"

namespace mv {
namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Where `needle` (lower-case ASCII) starts in text at or after `from`, letter case aside;
// npos when it does not.
std::size_t FindNoCase(std::string_view text, std::string_view needle, std::size_t from = 0) {
  if (needle.size() > text.size()) return std::string_view::npos;
  for (std::size_t i = from; i + needle.size() <= text.size(); ++i) {
    std::size_t k = 0;
    while (k < needle.size() && Lower(text[i + k]) == needle[k]) ++k;
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool IsNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' ||
         c == ':' || c == '.';
}

// The charset a meta tag's text (between "<meta" and ">") names; empty when none.
std::string CharsetOfMeta(std::string_view tag) {
  const std::size_t at = FindNoCase(tag, "charset");
  if (at == std::string_view::npos) return {};
  std::size_t i = at + 7;
  while (i < tag.size() && IsBlank(tag[i])) ++i;
  if (i >= tag.size() || tag[i] != '=') return {};
  ++i;
  while (i < tag.size() && IsBlank(tag[i])) ++i;
  if (i < tag.size() && (tag[i] == '"' || tag[i] == '\'')) ++i;
  std::string name;
  while (i < tag.size() && IsNameChar(tag[i]) && name.size() < 40) name.push_back(Lower(tag[i++]));
  return name;
}

std::string ValidUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  for (std::size_t pos = 0; pos < bytes.size();) {
    const Utf8Char c = NextUtf8Char(bytes, pos);
    if (c.valid) {
      text.append(bytes.substr(pos, c.size));
    } else {
      text.append("\xEF\xBF\xBD");  // U+FFFD
    }
    pos += c.size;
  }
  return text;
}

}  // namespace

ReportCharset SniffReportCharset(std::string_view bytes) {
  if (bytes.substr(0, kBom.size()) == kBom) return ReportCharset::Utf8;
  const std::string_view head = bytes.substr(0, kCharsetSniffBytes);
  for (std::size_t at = FindNoCase(head, "<meta"); at != std::string_view::npos;
       at = FindNoCase(head, "<meta", at + 5)) {
    const std::size_t close = head.find('>', at);
    const std::string_view tag = head.substr(at + 5, close == std::string_view::npos ? head.npos : close - at - 5);
    const std::string name = CharsetOfMeta(tag);
    if (name.empty()) continue;
    return name == "utf-8" || name == "utf8" ? ReportCharset::Utf8 : ReportCharset::Cp1251;
  }
  return ReportCharset::Cp1251;
}

std::string DecodeReport(std::string_view bytes) {
  if (SniffReportCharset(bytes) == ReportCharset::Cp1251) return Cp1251ToUtf8(bytes);
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  return ValidUtf8(bytes);
}

std::string RemoveStyleCommentMarkers(std::string_view html) {
  std::string out;
  out.reserve(html.size());
  std::size_t pos = 0;
  for (;;) {
    const std::size_t open = FindNoCase(html, "<style", pos);
    if (open == std::string_view::npos) break;
    const std::size_t contentStart = html.find('>', open);
    if (contentStart == std::string_view::npos) break;
    std::size_t contentEnd = FindNoCase(html, "</style", contentStart + 1);
    if (contentEnd == std::string_view::npos) contentEnd = html.size();
    out.append(html.substr(pos, contentStart + 1 - pos));
    const std::string_view content = html.substr(contentStart + 1, contentEnd - contentStart - 1);
    for (std::size_t i = 0; i < content.size();) {
      if (content.substr(i, 4) == "<!--") {
        i += 4;
      } else if (content.substr(i, 3) == "-->") {
        i += 3;
      } else {
        out.push_back(content[i++]);
      }
    }
    pos = contentEnd;
  }
  out.append(html.substr(pos));
  return out;
}

bool ReadReportDocument(const std::string& path, ReportDocument& document, int& errorCode) {
  std::string bytes;
  if (!ReadWholeFile(path, bytes, errorCode, kMaxReportBytes)) return false;
  document.charset = SniffReportCharset(bytes);
  document.bytes = bytes.size();
  document.html = RemoveStyleCommentMarkers(DecodeReport(bytes));
  return true;
}

}  // namespace mv
