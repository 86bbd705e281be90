#include "render/picture.h"

#include <QBuffer>
#include <QByteArray>

#include <cstdint>

#include "core/file_error.h"
#include "core/file_routines.h"
#include "core/text.h"

namespace mv::render {

std::optional<PictureFormat> PictureFormatOf(std::string_view path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return std::nullopt;
  const std::string_view ext = path.substr(dot + 1);
  if (SameText(ext, "png")) return PictureFormat::Png;
  if (SameText(ext, "jpg") || SameText(ext, "jpeg")) return PictureFormat::Jpeg;
  if (SameText(ext, "bmp")) return PictureFormat::Bmp;
  return std::nullopt;
}

std::string_view PictureFormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Png: break;
  }
  return "png";
}

QImage BlankPicture(int width, int height) {
  QImage image(width, height, QImage::Format_RGB32);
  // 96 dpi, the screen's: the graphics font's points come out as on the screen.
  constexpr int kDotsPerMetre = 3780;
  image.setDotsPerMeterX(kDotsPerMetre);
  image.setDotsPerMeterY(kDotsPerMetre);
  image.fill(Qt::white);
  return image;
}

QByteArray EncodePicture(const QImage& image, PictureFormat format) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  static constexpr const char* kQtFormats[] = {"PNG", "JPG", "BMP"};
  const int quality = format == PictureFormat::Jpeg ? 92 : -1;
  if (image.isNull() || !image.save(&buffer, kQtFormats[static_cast<int>(format)], quality)) bytes.clear();
  return bytes;
}

bool SavePicture(const QImage& image, const std::string& path, std::string& error) {
  const auto format = PictureFormatOf(path);
  if (!format) {
    error = "the picture's extension must be .png, .jpg, .jpeg or .bmp";
    return false;
  }
  const QByteArray bytes = EncodePicture(image, *format);
  if (bytes.isEmpty()) {
    error = "the picture could not be encoded as " + std::string(PictureFormatName(*format));
    return false;
  }
  int code = 0;
  if (!WriteFileAtomically(path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), code)) {
    error = "cannot write " + path + ": " + FileErrorText(code);
    return false;
  }
  return true;
}

}  // namespace mv::render
