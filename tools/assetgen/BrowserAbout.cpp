#include "BrowserArt.h"

#include "Noise.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>


namespace assetgen {

namespace {

// A ridge line across the picture through the given heights, closed along the bottom.
QPainterPath Ridge(std::initializer_list<QPointF> points, double bottom)
{
    QPainterPath path;
    auto it = points.begin();
    path.moveTo(it->x(), bottom);
    path.lineTo(*it);
    QPointF prev = *it;
    for (++it; it != points.end(); ++it) {
        const QPointF mid = (prev + *it) / 2;
        path.quadTo(prev, mid);
        prev = *it;
    }
    path.lineTo(prev);
    path.lineTo(prev.x(), bottom);
    path.closeSubpath();
    return path;
}

void FillRidge(QPainter& p, const QPainterPath& path, QColor top, QColor bottom)
{
    const QRectF b = path.boundingRect();
    QLinearGradient g(0, b.top(), 0, b.bottom());
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
}

// An eight-pointed star inside a ring, drawn faintly into the sky.
void DrawCompassRose(QPainter& p, QPointF c, double r)
{
    p.save();
    p.translate(c);
    p.setPen(QPen(QColor(255, 255, 255, 70), 1));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(0, 0), r * 0.78, r * 0.78);
    p.drawEllipse(QPointF(0, 0), r * 0.7, r * 0.7);
    for (int i = 0; i < 8; ++i) {
        const bool major = i % 2 == 0;
        const double len = major ? r : r * 0.55, half = major ? r * 0.13 : r * 0.09;
        QPainterPath point;
        point.moveTo(0, -len);
        point.lineTo(half, 0);
        point.lineTo(0, 0);
        point.closeSubpath();
        QPainterPath shadowSide;
        shadowSide.moveTo(0, -len);
        shadowSide.lineTo(-half, 0);
        shadowSide.lineTo(0, 0);
        shadowSide.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, major ? 120 : 80));
        p.drawPath(point);
        p.setBrush(QColor(255, 255, 255, major ? 60 : 40));
        p.drawPath(shadowSide);
        p.rotate(45);
    }
    p.restore();
}

} // namespace

// Dusk over layered hills, a path winding towards the sun, a compass rose in the sky.
QImage BrowserAboutPicture()
{
    constexpr int w = 139, h = 214;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, 140);
    sky.setColorAt(0, QColor(0x16, 0x22, 0x4a));
    sky.setColorAt(0.45, QColor(0x4a, 0x4f, 0x8a));
    sky.setColorAt(0.8, QColor(0xd9, 0x8f, 0x8a));
    sky.setColorAt(1, QColor(0xf7, 0xc4, 0x8e));
    p.fillRect(img.rect(), sky);

    for (int i = 0; i < 26; ++i) {
        const double x = HashUnit(i, 1, 0xa57a) * w, y = HashUnit(i, 2, 0xa57a) * 70;
        const int alpha = 60 + static_cast<int>(HashUnit(i, 3, 0xa57a) * 150 * (1 - y / 90));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, alpha));
        const double size = HashUnit(i, 4, 0xa57a) < 0.2 ? 0.9 : 0.55;
        p.drawEllipse(QPointF(x, y), size, size);
    }

    DrawCompassRose(p, QPointF(46, 52), 30);

    const QPointF sun(98, 118);
    QRadialGradient glow(sun, 46);
    glow.setColorAt(0, QColor(0xff, 0xe9, 0xb0, 170));
    glow.setColorAt(1, QColor(0xff, 0xe9, 0xb0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(sun, 46, 46);
    p.setBrush(QColor(0xff, 0xf1, 0xc9));
    p.drawEllipse(sun, 13, 13);

    FillRidge(p, Ridge({{-5, 120}, {20, 104}, {42, 118}, {70, 98}, {96, 116}, {120, 106}, {145, 114}}, h),
              QColor(0x9a, 0x7f, 0xa8), QColor(0x7d, 0x6c, 0x9c));
    FillRidge(p, Ridge({{-5, 134}, {28, 122}, {58, 140}, {88, 126}, {118, 138}, {145, 128}}, h),
              QColor(0x64, 0x58, 0x8a), QColor(0x4e, 0x48, 0x78));
    FillRidge(p, Ridge({{-5, 158}, {30, 146}, {62, 160}, {100, 148}, {145, 162}}, h),
              QColor(0x3a, 0x3a, 0x66), QColor(0x2c, 0x2e, 0x56));
    FillRidge(p, Ridge({{-5, 184}, {40, 176}, {85, 186}, {145, 174}}, h),
              QColor(0x22, 0x26, 0x46), QColor(0x14, 0x17, 0x2e));

    // The path narrows as it climbs towards the hills.
    QPainterPath path;
    path.moveTo(52, h + 1);
    path.cubicTo(58, 196, 92, 190, 80, 176);
    path.cubicTo(72, 168, 88, 160, 92, 152);
    path.lineTo(93.5, 152);
    path.cubicTo(92, 160, 80, 168, 88, 176);
    path.cubicTo(104, 192, 84, 200, 92, h + 1);
    path.closeSubpath();
    QLinearGradient trail(0, 150, 0, h);
    trail.setColorAt(0, QColor(0xf7, 0xc4, 0x8e, 120));
    trail.setColorAt(1, QColor(0xf0, 0xb0, 0x80, 200));
    p.setBrush(trail);
    p.drawPath(path);
    return img;
}

} // namespace assetgen
