#pragma once

#include <QColor>
#include <QPainter>
#include <QRectF>

namespace assetgen {

// The game's colours for its blocks, shared by the icon and the logo.
namespace blockcolour {
inline const QColor red{0xd9, 0x45, 0x3b};
inline const QColor orange{0xf0, 0x93, 0x2b};
inline const QColor yellow{0xf2, 0xcf, 0x3a};
inline const QColor green{0x4c, 0xb3, 0x5a};
inline const QColor cyan{0x3f, 0xb8, 0xc9};
inline const QColor blue{0x3d, 0x7f, 0xd9};
inline const QColor purple{0x8c, 0x5b, 0xd1};
} // namespace blockcolour

// One rounded, lit block: a vertical shade, a darker rim and a soft gloss at the top.
void DrawBlock(QPainter& p, const QRectF& r, const QColor& colour);

} // namespace assetgen
