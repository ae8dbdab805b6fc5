#include "ImageFiles.h"

#include "LittleEndian.h"

#include <QBuffer>
#include <QImageWriter>

#include <stdexcept>

namespace assetgen {

namespace {

constexpr int DotsPerMetre = 2835;     // 72 dpi

QByteArray EncodeWith(QImage image, const char* format, int quality)
{
    // A fixed resolution: left alone, it would follow the screen of whoever runs the build.
    image.setDotsPerMeterX(DotsPerMetre);
    image.setDotsPerMeterY(DotsPerMetre);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image))
        throw std::runtime_error("cannot encode " + std::string(format) + ": "
                                 + writer.errorString().toStdString());
    return bytes;
}

} // namespace

QByteArray EncodePng(const QImage& image)
{
    return EncodeWith(image, "png", -1);
}

QByteArray EncodeJpeg(const QImage& image, int quality)
{
    return EncodeWith(image.convertToFormat(QImage::Format_RGB32), "jpeg", quality);
}

QByteArray EncodeBmp24(const QImage& image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    const int w = rgb.width(), h = rgb.height();
    const int stride = (w * 3 + 3) & ~3;    // rows are padded to whole 32-bit words
    const quint32 pixelBytes = static_cast<quint32>(stride) * h;
    const quint32 offset = 14 + 40;

    QByteArray out;
    out.reserve(static_cast<int>(offset + pixelBytes));
    out.append("BM", 2);
    Put32(out, offset + pixelBytes);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<quint32>(w));
    Put32(out, static_cast<quint32>(h));    // positive: rows stored bottom-up
    Put16(out, 1);
    Put16(out, 24);
    Put32(out, 0);                          // no compression
    Put32(out, pixelBytes);
    Put32(out, DotsPerMetre);
    Put32(out, DotsPerMetre);
    Put32(out, 0);
    Put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        QByteArray row(stride, '\0');
        for (int x = 0; x < w; ++x) {
            row[x * 3] = static_cast<char>(qBlue(line[x]));
            row[x * 3 + 1] = static_cast<char>(qGreen(line[x]));
            row[x * 3 + 2] = static_cast<char>(qRed(line[x]));
        }
        out.append(row);
    }
    return out;
}

} // namespace assetgen
