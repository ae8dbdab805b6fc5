#pragma once

#include <QImage>

namespace assetgen {

QImage WallPicture(int width, int height, int brickOffset);   // wall_left.png, wall_right.png
QImage GameIcon();                                            // velmor.png, 64 x 64
QImage GameLogo();                                            // velmor_logo.bmp, 450 x 116

} // namespace assetgen
