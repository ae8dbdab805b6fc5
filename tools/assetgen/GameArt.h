#pragma once

#include <QImage>

namespace assetgen {

QImage wallPicture(int width, int height, int brickOffset);   // wall_left.png, wall_right.png
QImage gameIcon();                                            // velmor.png, 64 x 64
QImage gameLogo();                                            // velmor_logo.bmp, 450 x 116

} // namespace assetgen
