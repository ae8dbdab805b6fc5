#include "Wordmark.h"

#include <QPainterPathStroker>

namespace assetgen {

namespace {

// Strokes the centre lines and trims what spills past the letter's box, so that
// mitred corners end flush with the cap line and the base line.
QPainterPath StrokeInBox(const QPainterPath& centre, double width, double height, double stroke,
                         double top = 0)
{
    QPainterPathStroker stroker;
    stroker.setWidth(stroke);
    stroker.setCapStyle(Qt::SquareCap);
    stroker.setJoinStyle(Qt::MiterJoin);
    stroker.setMiterLimit(8);
    QPainterPath box;
    box.addRect(0, top, width, height - top);
    return stroker.createStroke(centre).simplified().intersected(box);
}

struct Glyph {
    QPainterPath path;
    double width;
};

Glyph Letter(QChar c, double h, double s)
{
    const double half = s / 2;
    QPainterPath p;
    switch (c.unicode()) {
    case 'V': {
        const double w = h * 0.92;
        p.moveTo(half * 1.2, -s);
        p.lineTo(w / 2, h - half);
        p.lineTo(w - half * 1.2, -s);
        return {StrokeInBox(p, w, h, s), w};
    }
    case 'E': {
        const double w = h * 0.66;
        p.moveTo(w + s, half);
        p.lineTo(half, half);
        p.lineTo(half, h - half);
        p.lineTo(w + s, h - half);
        p.moveTo(half, h / 2);
        p.lineTo(w * 0.86, h / 2);
        return {StrokeInBox(p, w, h, s), w};
    }
    case 'L': {
        const double w = h * 0.6;
        p.moveTo(half, -s);
        p.lineTo(half, h - half);
        p.lineTo(w + s, h - half);
        return {StrokeInBox(p, w, h, s), w};
    }
    case 'M': {
        const double w = h * 1.02;
        p.moveTo(half, h + s);
        p.lineTo(half, half);
        p.lineTo(w / 2, h * 0.62);
        p.lineTo(w - half, half);
        p.lineTo(w - half, h + s);
        return {StrokeInBox(p, w, h, s), w};
    }
    case 'O': {
        const double w = h * 0.9;
        const double r = h * 0.34;
        QPainterPath ring;
        ring.addRoundedRect(0, 0, w, h, r, r);
        QPainterPath hole;
        hole.addRoundedRect(s, s, w - 2 * s, h - 2 * s, r - s * 0.6, r - s * 0.6);
        return {ring.subtracted(hole), w};
    }
    case 'R': {
        const double w = h * 0.74;
        const double bowl = h * 0.56;          // height of the bowl, outer edge
        const double r = (bowl - s) / 2;       // radius of its centre line
        p.moveTo(half, h + s);
        p.lineTo(half, half);
        p.lineTo(w - half - r, half);
        p.arcTo(w - half - 2 * r, half, 2 * r, 2 * r, 90, -180);
        p.lineTo(half, bowl - half);
        QPainterPath leg;
        leg.moveTo(w * 0.42, bowl - half);
        leg.lineTo(w - half * 0.9, h + s);
        // Trimmed at the bowl's lower bar, so that its cap does not poke into the opening.
        return {StrokeInBox(p, w, h, s).united(StrokeInBox(leg, w, h, s, bowl - s)), w};
    }
    default:
        return {QPainterPath(), 0};
    }
}

} // namespace

QPainterPath WordmarkPath(const QString& text, double height, double stroke, double tracking)
{
    QPainterPath all;
    double x = 0;
    for (QChar c : text) {
        const Glyph g = Letter(c.toUpper(), height, stroke);
        if (g.width == 0)
            continue;
        all.addPath(g.path.translated(x, 0));
        x += g.width + tracking;
    }
    return all.simplified();
}

} // namespace assetgen
