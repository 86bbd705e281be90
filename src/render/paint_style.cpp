#include "render/paint_style.h"

#include <QFontDatabase>
#include <QPaintDevice>
#include <QString>

namespace mv::render {

QFont GraphicsFont(const TFontDescr& font, double scale, bool bold) {
  const QString family = QString::fromStdString(font.name);
  QFont f(QFontDatabase::hasFamily(family) ? family : QString::fromLatin1(kFallbackFontFamily));
  const int points = font.size >= 4 && font.size <= 72 ? font.size : 9;
  f.setPointSizeF(points * scale);
  f.setBold(bold || (font.style & 1) != 0);
  f.setItalic((font.style & 2) != 0);
  return f;
}

double PixelUnit(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  if (device == nullptr) return 1;
  const int dpi = device->logicalDpiY();
  return dpi > 0 ? dpi / 96.0 : 1;
}

Palette PaletteOf(const PaintStyle& style) {
  Palette p;
  p.background = Qt::white;
  p.frame = QColor(0x40, 0x40, 0x40);
  p.text = Qt::black;
  p.grid = QColor(0xD0, 0xD0, 0xD0);
  if (style.monochrome) {
    const QColor black = Qt::black;
    const QColor grey(0x70, 0x70, 0x70);
    p.series = black;
    p.centralLine = black;
    p.limits = black;
    p.ownLimits = black;
    p.tolerance = grey;
    p.qualityLimit = grey;
    p.beyond = black;
    p.signal = black;
    p.excluded = grey;
    p.filtered = grey;
    p.chosen = black;
    p.zoneA = QColor(0xC8, 0xC8, 0xC8);
    p.zoneB = QColor(0xE0, 0xE0, 0xE0);
    p.zoneC = QColor(0xF2, 0xF2, 0xF2);
    p.good = black;
    p.bad = black;
    p.bar = QColor(0xD8, 0xD8, 0xD8);
    p.barEdge = black;
    p.curve = black;
    p.mean = black;
    p.nominal = grey;
    p.centre = grey;
    p.levels = grey;
    p.boxFill = QColor(0xE8, 0xE8, 0xE8);
    return p;
  }
  p.series = QColor(0x1F, 0x3A, 0x93);
  p.centralLine = QColor(0x00, 0x80, 0x00);
  p.limits = QColor(0xC0, 0x00, 0x00);
  p.ownLimits = QColor(0xC0, 0x50, 0x00);
  p.tolerance = QColor(0x80, 0x00, 0x80);
  p.qualityLimit = QColor(0x80, 0x00, 0x80);
  p.beyond = QColor(0xE0, 0x00, 0x00);
  p.signal = QColor(0xE0, 0x80, 0x00);
  p.excluded = QColor(0x80, 0x80, 0x80);
  p.filtered = QColor(0x00, 0x90, 0xA0);
  p.chosen = QColor(0x00, 0x00, 0x00);
  p.zoneA = QColor(0xF6, 0xD0, 0xD0);
  p.zoneB = QColor(0xFA, 0xEC, 0xC8);
  p.zoneC = QColor(0xDC, 0xF0, 0xDC);
  p.good = QColor(0x00, 0x90, 0x00);
  p.bad = QColor(0xD0, 0x00, 0x00);
  p.bar = QColor(0x9D, 0xB9, 0xE0);
  p.barEdge = QColor(0x2A, 0x4A, 0x80);
  p.curve = QColor(0xC0, 0x00, 0x00);
  p.mean = QColor(0x00, 0x70, 0x00);
  p.nominal = QColor(0x60, 0x00, 0x80);
  p.centre = QColor(0x00, 0x60, 0xA0);
  p.levels = QColor(0xB0, 0x60, 0x00);
  p.boxFill = QColor(0xFF, 0xF0, 0xC0);
  return p;
}

QPen MakePen(const QPainter& painter, const QColor& colour, double width, Qt::PenStyle style) {
  QPen pen(colour, width * PixelUnit(painter), style, Qt::FlatCap, Qt::MiterJoin);
  pen.setCosmetic(false);
  return pen;
}

}  // namespace mv::render
