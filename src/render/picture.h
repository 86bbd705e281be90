#pragma once
// Pictures of the painters' drawings: PNG, JPEG or BMP chosen by the file's extension, written
// beside the target and renamed over it only when complete, so that no failure destroys a
// file that was there.

#include <QByteArray>
#include <QImage>

#include <optional>
#include <string>
#include <string_view>

namespace mv::render {

enum class PictureFormat : std::uint8_t { Png = 0, Jpeg = 1, Bmp = 2 };

// By the extension, letter case aside: .png, .jpg or .jpeg, .bmp; nothing for any other.
std::optional<PictureFormat> PictureFormatOf(std::string_view path);
// "png", "jpeg", "bmp".
std::string_view PictureFormatName(PictureFormat format);

// A white picture of `width` x `height` pixels at 96 dpi, ready for a painter.
QImage BlankPicture(int width, int height);

// The image's bytes in `format`; empty when it cannot be encoded.
QByteArray EncodePicture(const QImage& image, PictureFormat format);

// Writes `image` to `path` in the format of its extension. False with `error` (one line) for
// an unknown extension, an image that cannot be encoded or a file that cannot be written; the
// file at `path` is then as it was.
[[nodiscard]] bool SavePicture(const QImage& image, const std::string& path, std::string& error);

}  // namespace mv::render
