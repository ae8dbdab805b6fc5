#pragma once

#include <QByteArray>
#include <QImage>

namespace assetgen {

QByteArray EncodePng(const QImage& image);
QByteArray EncodeJpeg(const QImage& image, int quality);

// An uncompressed Windows bitmap with 24 bits per pixel, whatever the image's format.
QByteArray EncodeBmp24(const QImage& image);

} // namespace assetgen
