#pragma once

#include <QByteArray>

#include <vector>

namespace assetgen {

constexpr int SampleRate = 22050;

// Mono samples in -1 .. 1 at SampleRate.
using Samples = std::vector<double>;

inline int SampleCount(double seconds) { return static_cast<int>(seconds * SampleRate + 0.5); }

// Raised-cosine fades at both ends so that playback starts and stops without a click.
void FadeEdges(Samples& s, double fadeInSeconds, double fadeOutSeconds);

// Scales the samples so that the loudest one reaches the given peak.
void Normalise(Samples& s, double peak);

// A RIFF/WAVE file: 16-bit PCM, one channel, SampleRate.
QByteArray EncodeWave(const Samples& s);

} // namespace assetgen
