#pragma once
// Plays a .wav file asynchronously. A new call cuts off the sound still
// playing. A bare name is looked up in the current folder, then beside the
// program; a name that cannot be found plays the default sound. A machine
// without an audio device plays nothing and raises nothing.

#include <QString>
#include <functional>

namespace plat {

enum SoundFlags : int { SND_SYNC = 0, SND_ASYNC = 1, SND_NODEFAULT = 2 };

// Returns 1 when a sound (the file's or the default) was started, else 0.
int sndPlaySound(const QString& fileName, int flags);

// Tests observe what would play: the resolved path, or "" for the default sound.
using SoundObserver = std::function<void(const QString& requested, const QString& resolved)>;
void SetSoundObserver(SoundObserver observer);

}  // namespace plat
