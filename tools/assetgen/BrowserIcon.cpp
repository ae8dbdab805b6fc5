#include "BrowserArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace assetgen {

// A globe crossed by a compass needle pointing north-east. The small size drops
// the meridians, which would only blur at 16 pixels.
QImage BrowserIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 32.0, size / 32.0);
    const bool detailed = size >= 24;

    const QPointF c(16, 16);
    const double r = 14;
    QRadialGradient sea(QPointF(11, 10), 20);
    sea.setColorAt(0, QColor(0x8a, 0xd8, 0xef));
    sea.setColorAt(0.55, QColor(0x3a, 0x97, 0xc9));
    sea.setColorAt(1, QColor(0x1c, 0x5a, 0x93));
    p.setPen(QPen(QColor(0x14, 0x40, 0x6b), detailed ? 1.2 : 1.8));
    p.setBrush(sea);
    p.drawEllipse(c, r, r);

    QPainterPath globe;
    globe.addEllipse(c, r - 0.6, r - 0.6);
    p.save();
    p.setClipPath(globe);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(255, 255, 255, detailed ? 85 : 70), detailed ? 1.0 : 1.6));
    p.drawLine(QPointF(c.x() - r, c.y()), QPointF(c.x() + r, c.y()));
    if (detailed) {
        p.drawEllipse(c, r * 0.45, r);
        p.drawLine(QPointF(c.x(), c.y() - r), QPointF(c.x(), c.y() + r));
        p.drawLine(QPointF(c.x() - r, c.y() - r * 0.5), QPointF(c.x() + r, c.y() - r * 0.5));
        p.drawLine(QPointF(c.x() - r, c.y() + r * 0.5), QPointF(c.x() + r, c.y() + r * 0.5));
    }
    p.restore();

    // The needle: a long diamond, red towards the north-east, pale towards the south-west.
    p.translate(c);
    p.rotate(45);
    const double len = detailed ? 12.5 : 13, half = detailed ? 3.6 : 4.4;
    QPainterPath north, south;
    north.moveTo(0, -len);
    north.lineTo(half, 0);
    north.lineTo(-half, 0);
    north.closeSubpath();
    south.moveTo(0, len);
    south.lineTo(half, 0);
    south.lineTo(-half, 0);
    south.closeSubpath();
    const QPen rim(QColor(0x2a, 0x1e, 0x1e, detailed ? 200 : 120), detailed ? 0.9 : 1.0, Qt::SolidLine,
                   Qt::RoundCap, Qt::RoundJoin);
    p.setPen(rim);
    p.setBrush(QColor(0xf4, 0xf1, 0xea));
    p.drawPath(south);
    p.setBrush(QColor(0xe0, 0x43, 0x36));
    p.drawPath(north);
    if (detailed) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x2a, 0x1e, 0x1e));
        p.drawEllipse(QPointF(0, 0), 1.4, 1.4);
    }
    return img;
}

} // namespace assetgen
