#pragma once

#include <QByteArray>

#include <vector>

namespace assetgen {

constexpr int kSampleRate = 22050;

// Mono samples in -1 .. 1 at kSampleRate.
using Samples = std::vector<double>;

inline int SampleCount(double seconds) { return static_cast<int>(seconds * kSampleRate + 0.5); }

// Raised-cosine fades at both ends so that playback starts and stops without a click.
void FadeEdges(Samples& s, double fadeInSeconds, double fadeOutSeconds);

// Scales the samples so that the loudest one reaches the given peak.
void Normalise(Samples& s, double peak);

// A RIFF/WAVE file: 16-bit PCM, one channel, kSampleRate.
QByteArray EncodeWave(const Samples& s);

} // namespace assetgen
