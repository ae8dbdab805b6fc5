#include "platform/forms/Shape.h"

#include "platform/forms/Colors.h"
#include "platform/forms/Twips.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace plat {

ShapeControl::ShapeControl(Container& container, QString name, int index)
    : Control(container, ControlKind::Windowless, std::move(name), index)
{
}

void ShapeControl::Paint(QPainter& painter) const
{
    QRectF r = PixelRect(Left, Top, Width, Height);
    const int style = Shape;
    const bool square = style == vbShapeSquare || style == vbShapeCircle || style == vbShapeRoundedSquare;
    if (square) {
        const double side = std::min(r.width(), r.height());
        r = QRectF(r.center().x() - side / 2, r.center().y() - side / 2, side, side);
    }

    const bool hasBorder = BorderStyle != vbBSNone;
    const double pen = std::max(1, static_cast<int>(BorderWidth));
    // Inside solid keeps the whole border within the bounds; the plain solid
    // border is centred on them.
    QRectF outline = r;
    if (hasBorder)
        outline = (BorderStyle == vbBSInsideSolid) ? r.adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2) : r;

    QPainterPath path;
    const double radius = std::min(r.width(), r.height()) / 6.0;
    switch (style) {
    case vbShapeOval:
    case vbShapeCircle:
        path.addEllipse(outline);
        break;
    case vbShapeRoundedRectangle:
    case vbShapeRoundedSquare:
        path.addRoundedRect(outline, radius, radius);
        break;
    default:
        path.addRect(outline);
        break;
    }

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, style != vbShapeRectangle && style != vbShapeSquare);
    if (BackStyle == vbOpaque)
        painter.fillPath(path, ToQColor(BackColor));
    if (FillStyle == vbFSSolid)
        painter.fillPath(path, ToQColor(FillColor));
    if (hasBorder) {
        QPen p(ToQColor(BorderColor));
        p.setWidthF(pen);
        painter.strokePath(path, p);
    }
    painter.restore();
}

}  // namespace plat
