#include "Wave.h"

#include "LittleEndian.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assetgen {

void FadeEdges(Samples& s, double fadeInSeconds, double fadeOutSeconds)
{
    const int n = static_cast<int>(s.size());
    const int in = std::min(n, SampleCount(fadeInSeconds));
    const int out = std::min(n, SampleCount(fadeOutSeconds));
    for (int i = 0; i < in; ++i)
        s[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / in);
    for (int i = 0; i < out; ++i)
        s[n - 1 - i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * i / out);
}

void Normalise(Samples& s, double peak)
{
    double loudest = 0;
    for (double v : s)
        loudest = std::max(loudest, std::abs(v));
    if (loudest > 0)
        for (double& v : s)
            v *= peak / loudest;
}

QByteArray EncodeWave(const Samples& s)
{
    const quint32 dataBytes = static_cast<quint32>(s.size() * 2);
    QByteArray out;
    out.reserve(44 + static_cast<int>(dataBytes));
    out.append("RIFF", 4);
    Put32(out, 36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    Put32(out, 16);
    Put16(out, 1);                  // PCM
    Put16(out, 1);                  // mono
    Put32(out, SampleRate);
    Put32(out, SampleRate * 2);    // bytes per second
    Put16(out, 2);                  // bytes per frame
    Put16(out, 16);                 // bits per sample
    out.append("data", 4);
    Put32(out, dataBytes);
    for (double v : s) {
        const long q = std::lround(std::clamp(v, -1.0, 1.0) * 32767.0);
        Put16(out, static_cast<quint16>(static_cast<qint16>(q)));
    }
    return out;
}

} // namespace assetgen
