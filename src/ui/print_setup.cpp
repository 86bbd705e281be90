#include "ui/print_setup.h"

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cmath>

namespace mv::ui {
namespace {

struct PaperName {
  PaperSize paper;
  QPageSize::PageSizeId id;
};
constexpr PaperName kPapers[] = {{PaperSize::A4, QPageSize::A4},
                                 {PaperSize::A3, QPageSize::A3},
                                 {PaperSize::A5, QPageSize::A5},
                                 {PaperSize::Letter, QPageSize::Letter},
                                 {PaperSize::Legal, QPageSize::Legal}};

// Tenths of a millimetre.
std::uint16_t Tenths(double millimetres) {
  return static_cast<std::uint16_t>(std::clamp(std::lround(millimetres * 10), 0L, long{PrintOptions::kMaxMargin}));
}

}  // namespace

void ApplyPrintOptions(QPrinter& printer, const PrintOptions& o) {
  if (!o.printer.empty() && printer.outputFormat() == QPrinter::NativeFormat) {
    const QString name = QString::fromStdString(o.printer);
    if (QPrinterInfo::availablePrinterNames().contains(name)) printer.setPrinterName(name);
  }
  for (const PaperName& p : kPapers) {
    if (p.paper == o.paper) printer.setPageSize(QPageSize(p.id));
  }
  printer.setPageOrientation(o.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  printer.setPageMargins(QMarginsF(o.marginLeft / 10.0, o.marginTop / 10.0, o.marginRight / 10.0, o.marginBottom / 10.0),
                         QPageLayout::Millimeter);
  printer.setColorMode(o.greyscale ? QPrinter::GrayScale : QPrinter::Color);
  printer.setCopyCount(o.copies);
}

void TakePrintOptions(const QPrinter& printer, PrintOptions& o) {
  const QPageSize::PageSizeId id = printer.pageLayout().pageSize().id();
  for (const PaperName& p : kPapers) {
    if (p.id == id) o.paper = p.paper;
  }
  o.landscape = printer.pageLayout().orientation() == QPageLayout::Landscape;
  const QMarginsF m = printer.pageLayout().margins(QPageLayout::Millimeter);
  o.marginLeft = Tenths(m.left());
  o.marginTop = Tenths(m.top());
  o.marginRight = Tenths(m.right());
  o.marginBottom = Tenths(m.bottom());
  o.greyscale = printer.colorMode() == QPrinter::GrayScale;
  o.copies = static_cast<std::uint16_t>(std::clamp(printer.copyCount(), 1, int{PrintOptions::kMaxCopies}));
  if (printer.outputFormat() == QPrinter::NativeFormat) {
    o.printer = printer.printerName().left(static_cast<int>(PrintOptions::kPrinterMax)).toStdString();
  }
}

}  // namespace mv::ui
