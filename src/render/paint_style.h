#pragma once
// What every painter shares: the graphics font with its fallback, the colours and line styles
// of colour and black-and-white drawing, and the pixel unit of the device (a printer page has
// many more pixels to a millimetre than a screen).

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QPen>

#include "core/font_descr.h"

namespace mv::render {

// The family used when the configured one is not installed: DejaVu Sans ships with the program's
// dependencies and holds Cyrillic.
inline constexpr const char* kFallbackFontFamily = "DejaVu Sans";

struct PaintStyle {
  TFontDescr font;          // the configuration's graphics font
  bool monochrome = false;  // black and white: shapes and line styles alone tell things apart
};

// The font of the description on this painter's device (its size in points, so a printer page
// gets the same size on paper as the screen); a family that is not installed gives the fallback.
// `scale` multiplies the size (titles are larger than labels); `bold` adds to the style.
QFont GraphicsFont(const TFontDescr& font, double scale = 1, bool bold = false);

// Device pixels per screen pixel (96 dpi): 1 on a screen or an image of 96 dpi, about 6 on a
// 600 dpi printer page. Line widths and gaps are multiples of it.
double PixelUnit(const QPainter& painter);

// The colours of the drawing. In black and white every one is black or a grey that prints.
struct Palette {
  QColor background, frame, text, grid;
  QColor series;           // the series line and the analysed points
  QColor centralLine, limits, ownLimits, tolerance, qualityLimit;
  QColor beyond, signal, excluded, filtered, chosen;
  QColor zoneA, zoneB, zoneC;
  QColor good, bad;
  QColor bar, barEdge, curve, mean, nominal, centre, levels;
  QColor boxFill;
};
Palette PaletteOf(const PaintStyle& style);

// A cosmetic-free pen of `width` screen pixels on this painter.
QPen MakePen(const QPainter& painter, const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine);

}  // namespace mv::render
