#include "Blocks.h"

#include <QLinearGradient>

namespace assetgen {

void DrawBlock(QPainter& p, const QRectF& r, const QColor& colour)
{
    const double radius = r.width() * 0.22;
    QLinearGradient shade(r.topLeft(), r.bottomLeft());
    shade.setColorAt(0, colour.lighter(128));
    shade.setColorAt(0.55, colour);
    shade.setColorAt(1, colour.darker(125));
    p.setPen(QPen(colour.darker(165), std::max(1.0, r.width() / 14)));
    p.setBrush(shade);
    p.drawRoundedRect(r, radius, radius);

    const QRectF gloss(r.left() + r.width() * 0.18, r.top() + r.height() * 0.12,
                       r.width() * 0.5, r.height() * 0.2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 95));
    p.drawRoundedRect(gloss, gloss.height() / 2, gloss.height() / 2);
}

} // namespace assetgen
