#pragma once
// Reading a report document as the viewer, the printer and the batch command show it. The
// bytes are decoded by the charset the document declares in a meta element (the program's
// reports declare windows-1251; utf-8 is honoured; any other charset, or none, is read as
// windows-1251), with the program's own codec, so the result never depends on the toolkit.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace mv {

enum class ReportCharset : std::uint8_t { Cp1251 = 0, Utf8 = 1 };

// How far into the document the declaration is looked for: it belongs in the head.
inline constexpr std::size_t kCharsetSniffBytes = 4096;
// The largest document the viewer and the batch command read.
inline constexpr std::uint64_t kMaxReportBytes = 64ull * 1024 * 1024;

// The charset of the document's bytes: a UTF-8 byte-order mark, else the first meta element
// within kCharsetSniffBytes that names one ("<meta charset=...>" or the charset= of
// "<meta http-equiv=... content=...>").
ReportCharset SniffReportCharset(std::string_view bytes);

// The document as UTF-8 text by its charset. Bytes that are not valid UTF-8 in a UTF-8
// document become U+FFFD each; a byte-order mark is dropped.
std::string DecodeReport(std::string_view bytes);

// The text with the comment markers "<!--" and "-->" taken out of every style element's
// content. The toolkit's rich text skips a style sheet wrapped in them (browsers do not), so
// the viewer and the printer show the document without them; the file keeps them.
std::string RemoveStyleCommentMarkers(std::string_view html);

// A document read for showing: decoded, without the style comment markers.
struct ReportDocument {
  std::string html;
  ReportCharset charset = ReportCharset::Cp1251;
  std::uint64_t bytes = 0;  // the file's size
};

// Reads the file (a regular file of at most kMaxReportBytes). False with the system's error
// code (FileErrorText) when it cannot be read; kOutOfMemoryCode when it is larger.
[[nodiscard]] bool ReadReportDocument(const std::string& path, ReportDocument& document, int& errorCode);

}  // namespace mv
