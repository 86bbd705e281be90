#include "render/report_printer.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QTextDocument>
#include <QUrl>

#include <string_view>

#include "core/file_error.h"
#include "core/file_routines.h"

namespace mv::render {

void SetReportHtml(QTextDocument& document, const QString& html, const std::string& documentPath) {
  // The document's own resource lookup goes by the base URL; the copy the toolkit lays out
  // for printing goes by the document URL. Both point at the file, so both find its pictures.
  const QUrl url = QUrl::fromLocalFile(QString::fromStdString(documentPath));
  document.setBaseUrl(url);
  document.setMetaInformation(QTextDocument::DocumentUrl, url.toString());
  // The reports ask for their page breaks in a print rule, which the toolkit's rich text
  // leaves out (it applies rules for the screen); the same rule for every medium brings them
  // in. The screen shows no pages, so nothing changes there.
  document.setDefaultStyleSheet(QString::fromUtf8(kReportDefaultStyleSheet));
  document.setHtml(html);
}

int PrintReport(const QTextDocument& document, QPagedPaintDevice& device) {
  // A copy laid out on the device's page at the screen's scale: the page the user chose, no
  // margins or page numbers of the toolkit's own added, and the shown document left alone.
  // QTextDocument::clone shares the resources already loaded and keeps the URLs.
  QTextDocument* copy = document.clone();
  const QRect page = device.pageLayout().paintRectPixels(device.logicalDpiX());
  const double toScreen = 96.0 / device.logicalDpiX();
  copy->setPageSize(QSizeF(page.width() * toScreen, page.height() * toScreen));
  copy->print(&device);
  const int pages = copy->pageCount();
  delete copy;
  return pages;
}

bool WriteReportPdf(const QString& html, const std::string& documentPath, const std::string& path,
                    const PdfPage& page, PdfFacts& facts, std::string& error) {
  facts = {};
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("Morvalen"));
    writer.setPageLayout(QPageLayout(QPageSize(page.letter ? QPageSize::Letter : QPageSize::A4),
                                     page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                     QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                                     QPageLayout::Millimeter));
    QTextDocument document;
    SetReportHtml(document, html, documentPath);
    writer.setTitle(document.metaInformation(QTextDocument::DocumentTitle));
    facts.pages = PrintReport(document, writer);
  }
  buffer.close();
  const QByteArray& bytes = buffer.data();
  int code = 0;
  if (bytes.isEmpty()) {
    error = "the PDF could not be made";
    return false;
  }
  if (!WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), code)) {
    error = "cannot write " + path + ": " + FileErrorText(code);
    return false;
  }
  facts.bytes = static_cast<std::uint64_t>(bytes.size());
  return true;
}

}  // namespace mv::render
