#pragma once

#include "Wave.h"

namespace assetgen {

Samples gameOverSound();    // sidestopper.wav
Samples landingSound();     // waterdrop.wav
Samples rowRemovedSound();  // energypod.wav

} // namespace assetgen
