#pragma once
// Report documents on paper and in PDF files: one layout of the toolkit's rich text for the
// screen, the printer and PDF. The document's relative names (its pictures) resolve against
// the document's own folder, whatever the folder's name holds (blanks, "#", "%").

#include <QString>

#include <cstdint>
#include <string>

class QPagedPaintDevice;
class QTextDocument;

namespace mv::render {

// What the toolkit needs beside a report's own style sheet (never written into the file).
inline constexpr const char* kReportDefaultStyleSheet = ".pagebreak { page-break-before: always; }";

// Gives the document its HTML (decoded, style comment markers removed) with documentPath as
// the place its relative names are found from.
void SetReportHtml(QTextDocument& document, const QString& html, const std::string& documentPath);

// Prints the document on the device's pages as they are laid out (page size and margins are
// the device's), at the screen's scale. Gives the number of pages.
int PrintReport(const QTextDocument& document, QPagedPaintDevice& device);

struct PdfPage {
  bool letter = false;     // US Letter instead of A4
  bool landscape = false;
};
// The margins of every PDF page, in millimetres.
inline constexpr double kPdfMarginMm = 15.0;

struct PdfFacts {
  int pages = 0;
  std::uint64_t bytes = 0;
};

// Writes the report's PDF to `path`: written beside it and renamed over it only when complete,
// so a failure leaves a file of that name as it was. False with `error` (one line) when it
// cannot be written.
[[nodiscard]] bool WriteReportPdf(const QString& html, const std::string& documentPath, const std::string& path,
                                  const PdfPage& page, PdfFacts& facts, std::string& error);

}  // namespace mv::render
