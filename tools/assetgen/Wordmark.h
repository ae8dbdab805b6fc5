#pragma once

#include <QPainterPath>
#include <QString>

namespace assetgen {

// Our own geometric capitals, built from strokes so that no font is needed.
// Only the letters of the names we draw are known: A..Z outside that set are skipped.
// The path's top-left corner is the origin; letters are `height` tall.
QPainterPath WordmarkPath(const QString& text, double height, double stroke, double tracking);

} // namespace assetgen
