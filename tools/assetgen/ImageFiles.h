#pragma once

#include <QByteArray>
#include <QImage>

namespace assetgen {

QByteArray encodePng(const QImage& image);
QByteArray encodeJpeg(const QImage& image, int quality);

// An uncompressed Windows bitmap with 24 bits per pixel, whatever the image's format.
QByteArray encodeBmp24(const QImage& image);

} // namespace assetgen
