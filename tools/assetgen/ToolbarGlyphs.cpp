#include "BrowserArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QRadialGradient>

#include <cmath>
#include <numbers>

namespace assetgen {

namespace {

// Glyphs are drawn on a 24-unit grid: a filled shape with a darker rim reads on
// light and dark toolbars alike.
void FillOutlined(QPainter& p, const QPainterPath& shape, const QBrush& fill, const QColor& rim)
{
    p.setPen(QPen(rim, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(shape);
}

QLinearGradient Vertical(double top, double bottom, QColor light, QColor dark)
{
    QLinearGradient g(0, top, 0, bottom);
    g.setColorAt(0, light);
    g.setColorAt(1, dark);
    return g;
}

QPainterPath ArrowLeft()
{
    QPainterPath a;
    a.moveTo(2.5, 12);
    a.lineTo(11, 3.5);
    a.lineTo(11, 8.5);
    a.lineTo(21, 8.5);
    a.lineTo(21, 15.5);
    a.lineTo(11, 15.5);
    a.lineTo(11, 20.5);
    a.closeSubpath();
    return a;
}

void DrawBack(QPainter& p)
{
    FillOutlined(p, ArrowLeft(), Vertical(4, 20, QColor(0x6c, 0xaa, 0xe8), QColor(0x22, 0x5f, 0xa8)),
                 QColor(0x17, 0x42, 0x78));
}

void DrawForward(QPainter& p)
{
    const QPainterPath a = QTransform(-1, 0, 0, 1, 24, 0).map(ArrowLeft());
    FillOutlined(p, a, Vertical(4, 20, QColor(0x6c, 0xaa, 0xe8), QColor(0x22, 0x5f, 0xa8)),
                 QColor(0x17, 0x42, 0x78));
}

void DrawStop(QPainter& p)
{
    QPainterPath sq;
    sq.addRoundedRect(QRectF(4.5, 4.5, 15, 15), 3, 3);
    FillOutlined(p, sq, Vertical(4.5, 19.5, QColor(0xf0, 0x74, 0x66), QColor(0xb8, 0x2e, 0x25)),
                 QColor(0x80, 0x1f, 0x19));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 80));
    p.drawRoundedRect(QRectF(7, 6.5, 10, 3), 1.5, 1.5);
}

void DrawRefresh(QPainter& p)
{
    // Clockwise most of the way round, ending at the top with the head pointing on
    // into the gap at the upper right.
    const QPointF c(12, 12.5);
    const double r = 7;
    const QRectF ring(c.x() - r, c.y() - r, 2 * r, 2 * r);
    QPainterPath arc;
    arc.arcMoveTo(ring, 20);
    arc.arcTo(ring, 20, -300);
    QPainterPathStroker stroker;
    stroker.setWidth(3.2);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath shape = stroker.createStroke(arc).simplified();

    const double a = 80 * std::numbers::pi / 180;
    const QPointF end(c.x() + r * std::cos(a), c.y() - r * std::sin(a));
    const QPointF along(std::sin(a), std::cos(a));     // clockwise on the screen
    const QPointF out(std::cos(a), -std::sin(a));
    QPainterPath head;
    head.moveTo(end + out * 4.3);
    head.lineTo(end - out * 4.3);
    head.lineTo(end + along * 5.5);
    head.closeSubpath();
    shape = shape.united(head);
    FillOutlined(p, shape.simplified(), Vertical(3, 21, QColor(0x6c, 0xc9, 0x7e), QColor(0x24, 0x85, 0x45)),
                 QColor(0x17, 0x5c, 0x2e));
}

void DrawHome(QPainter& p)
{
    QPainterPath body;
    body.addRect(QRectF(5.5, 11, 13, 9.5));
    QPainterPath door;
    door.addRect(QRectF(10, 14, 4, 6.5));
    FillOutlined(p, body.subtracted(door), Vertical(11, 20.5, QColor(0xf6, 0xf1, 0xe6), QColor(0xd6, 0xcb, 0xb4)),
                 QColor(0x5e, 0x4e, 0x3c));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8a, 0x5a, 0x34));
    p.drawRect(QRectF(10.6, 14.6, 2.8, 5.9));

    QPainterPath roof;
    roof.moveTo(2, 12.5);
    roof.lineTo(12, 3);
    roof.lineTo(22, 12.5);
    roof.lineTo(19.5, 12.5);
    roof.lineTo(12, 5.8);
    roof.lineTo(4.5, 12.5);
    roof.closeSubpath();
    QPainterPath chimney;
    chimney.addRect(QRectF(16, 4, 2.5, 5));
    FillOutlined(p, chimney, QColor(0xa8, 0x4a, 0x36), QColor(0x6e, 0x2c, 0x20));
    FillOutlined(p, roof, Vertical(3, 12.5, QColor(0xe8, 0x74, 0x58), QColor(0xb6, 0x40, 0x2c)),
                 QColor(0x6e, 0x2c, 0x20));
}

void DrawSearch(QPainter& p)
{
    QPen handle(QColor(0x4a, 0x3a, 0x2c), 4.2, Qt::SolidLine, Qt::RoundCap);
    p.setPen(handle);
    p.drawLine(QPointF(15, 15), QPointF(20.5, 20.5));
    p.setPen(QPen(QColor(0x8c, 0x6a, 0x48), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(15.3, 15.3), QPointF(20.3, 20.3));

    const QPointF c(10, 10);
    QRadialGradient glass(QPointF(8.5, 8.5), 7);
    glass.setColorAt(0, QColor(0xf2, 0xfa, 0xff, 235));
    glass.setColorAt(1, QColor(0xa9, 0xd4, 0xf0, 235));
    p.setPen(QPen(QColor(0x3b, 0x4a, 0x5a), 2.4));
    p.setBrush(glass);
    p.drawEllipse(c, 6.3, 6.3);
    p.setPen(QPen(QColor(255, 255, 255, 220), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 6, 8, 8), 100 * 16, 70 * 16);
}

void DrawSitepins(QPainter& p)
{
    // A push pin seen from the side, leaning so that its point is at the lower left.
    p.save();
    p.translate(14, 9.5);
    p.rotate(45);
    p.setPen(QPen(QColor(0x6c, 0x74, 0x7e), 1.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 3), QPointF(0, 12.5));

    QPainterPath pin;
    pin.addRoundedRect(QRectF(-5, -9.5, 10, 3.4), 1.5, 1.5);   // the cap
    pin.addRect(QRectF(-2.4, -6.5, 4.8, 7.5));                  // the grip
    pin.addRoundedRect(QRectF(-5.6, 0.6, 11.2, 3), 1.4, 1.4);   // the flange
    QLinearGradient red(-5.6, 0, 5.6, 0);
    red.setColorAt(0, QColor(0xf2, 0x7a, 0x6a));
    red.setColorAt(1, QColor(0xb4, 0x2a, 0x22));
    FillOutlined(p, pin.simplified(), red, QColor(0x7a, 0x1c, 0x16));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 120));
    p.drawRect(QRectF(-1.6, -5.8, 1.2, 5.8));
    p.restore();
}

} // namespace

QImage ToolbarGlyph(const QString& name)
{
    void (*draw)(QPainter&) = nullptr;
    if (name == "back") draw = DrawBack;
    else if (name == "forward") draw = DrawForward;
    else if (name == "stop") draw = DrawStop;
    else if (name == "refresh") draw = DrawRefresh;
    else if (name == "home") draw = DrawHome;
    else if (name == "search") draw = DrawSearch;
    else if (name == "sitepins") draw = DrawSitepins;
    if (!draw)
        return {};
    QImage img(24, 24, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    return img;
}

} // namespace assetgen
