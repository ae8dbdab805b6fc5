#pragma once

#include "Wave.h"

namespace assetgen {

Samples GameOverSound();    // sidestopper.wav
Samples LandingSound();     // waterdrop.wav
Samples RowRemovedSound();  // energypod.wav

} // namespace assetgen
