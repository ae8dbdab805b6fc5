#include "GameArt.h"

#include "Blocks.h"
#include "Noise.h"
#include "Wordmark.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>

namespace assetgen {

namespace {

int Clamp255(double v)
{
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

int FloorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The stack shown by the icon and the logo: a letter per cell, '.' for none.
constexpr const char* StackRows[4] = {"..y.", "g.yb", "ggyb", "rrbb"};

QColor StackColour(char c)
{
    switch (c) {
    case 'r': return blockcolour::red;
    case 'g': return blockcolour::green;
    case 'y': return blockcolour::yellow;
    case 'b': return blockcolour::blue;
    default: return blockcolour::purple;
    }
}

void DrawStack(QPainter& p, QPointF origin, double cell, double gap)
{
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            if (StackRows[row][col] != '.')
                DrawBlock(p, QRectF(origin.x() + col * cell + gap / 2, origin.y() + row * cell + gap / 2,
                                    cell - gap, cell - gap),
                          StackColour(StackRows[row][col]));
}

} // namespace

// Staggered stone courses of one cell's height (20 px), bricks two cells long.
// A brick offset lets the narrow right-hand wall show a joint on every other course.
QImage WallPicture(int width, int height, int brickOffset)
{
    constexpr int course = 20, brick = 40;
    constexpr std::uint32_t seed = 0x5717e;
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(img.scanLine(y));
        const int row = y / course, fy = y % course;
        for (int x = 0; x < width; ++x) {
            const int gx = x + brickOffset + (row % 2 ? brick / 2 : 0);
            const int col = FloorDiv(gx, brick), fx = gx - col * brick;
            const double grain = HashUnit(gx, y, seed) - 0.5;
            const bool edgeX = fx == 0 || fx == brick - 1, edgeY = fy == 0 || fy == course - 1;
            const bool corner = (fx == 1 || fx == brick - 2) && (fy == 1 || fy == course - 2);
            if (edgeX || edgeY || corner) {
                const double m = 60 + grain * 8;
                line[x] = qRgb(Clamp255(m - 4), Clamp255(m), Clamp255(m + 8));
                continue;
            }
            // Each stone has its own shade and a little tint, then mottling and grain.
            const double shade = (HashUnit(col, row, seed + 1) - 0.5) * 26;
            const double tint = (HashUnit(col, row, seed + 2) - 0.5) * 10;
            const double mottle = (ValueNoise(gx / 5.0, y / 4.0, seed + 3) - 0.5) * 16
                                  + (ValueNoise(gx / 2.0, y / 2.0, seed + 4) - 0.5) * 7;
            const double slope = (1 - (fx / double(brick) + fy / double(course))) * 7;
            double bevel = 0;
            if (fy <= 2) bevel += (3 - fy) * 5.5;
            if (fx <= 2) bevel += (3 - fx) * 3.5;
            if (fy >= course - 3) bevel -= (fy - (course - 4)) * 6;
            if (fx >= brick - 3) bevel -= (fx - (brick - 4)) * 4;
            const double pit = HashUnit(gx * 7, y * 3, seed + 5) < 0.018 ? -18 : 0;
            const double v = 104 + shade + mottle + slope + bevel + pit + grain * 9;
            line[x] = qRgb(Clamp255(v - 14 - tint), Clamp255(v - 4), Clamp255(v + 12 + tint));
        }
    }
    return img;
}

QImage GameIcon()
{
    QImage img(64, 64, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    DrawStack(p, QPointF(2, 2), 15, 1.5);
    return img;
}

QImage GameLogo()
{
    constexpr int w = 450, h = 116;
    QImage img(w, h, QImage::Format_RGB32);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(0x24, 0x30, 0x45));
    sky.setColorAt(1, QColor(0x10, 0x15, 0x20));
    p.fillRect(img.rect(), sky);
    // A faint cell grid, like the inside of the well.
    p.setPen(QPen(QColor(255, 255, 255, 12), 1));
    for (int x = 9; x < w; x += 18)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, h));
    for (int y = 4; y < h; y += 18)
        p.drawLine(QPointF(0, y + 0.5), QPointF(w, y + 0.5));
    QRadialGradient glow(QPointF(270, 58), 210);
    glow.setColorAt(0, QColor(0x6a, 0x8c, 0xc0, 70));
    glow.setColorAt(1, QColor(0x6a, 0x8c, 0xc0, 0));
    p.fillRect(img.rect(), glow);

    DrawStack(p, QPointF(26, 22), 18, 2);

    const double letterHeight = 54;
    const QPainterPath word = WordmarkPath(QStringLiteral("VELMOR"), letterHeight, 11, 8);
    const QRectF bounds = word.boundingRect();
    const QPointF at(26 + 72 + (w - 26 - 72 - bounds.width()) / 2, 22);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 110));
    p.drawPath(word.translated(at + QPointF(2.5, 3)));
    QLinearGradient face(0, at.y(), 0, at.y() + letterHeight);
    face.setColorAt(0, QColor(0xff, 0xff, 0xff));
    face.setColorAt(0.5, QColor(0xe4, 0xea, 0xf3));
    face.setColorAt(1, QColor(0xa9, 0xb8, 0xcf));
    p.setBrush(face);
    p.drawPath(word.translated(at));

    // A line of small blocks under the word, one colour after another.
    const QColor trail[] = {blockcolour::red, blockcolour::orange, blockcolour::yellow,
                            blockcolour::green, blockcolour::cyan, blockcolour::blue,
                            blockcolour::purple};
    const double cell = 9;
    const int count = static_cast<int>(bounds.width() / (cell + 3));
    const double start = at.x() + (bounds.width() - count * (cell + 3) + 3) / 2;
    for (int i = 0; i < count; ++i)
        DrawBlock(p, QRectF(start + i * (cell + 3), at.y() + letterHeight + 10, cell, cell),
                  trail[i * 7 / count]);
    return img;
}

} // namespace assetgen
