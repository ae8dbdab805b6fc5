#pragma once

#include <QImage>
#include <QString>

namespace assetgen {

QImage BrowserIcon(int size);                   // roamwell.png (32), roamwell16.png (16)
QImage ToolbarGlyph(const QString& name);       // tb_*.png, 24 x 24; null for an unknown name
QImage BrowserAboutPicture();                   // roamwell_about.jpg, 139 x 214

} // namespace assetgen
