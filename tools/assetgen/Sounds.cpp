#include "Sounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace assetgen {

namespace {

constexpr double TwoPi = 2 * std::numbers::pi;

// A sawtooth built from its first few harmonics: bright but free of aliasing.
double SoftSaw(double phase, int harmonics)
{
    double v = 0;
    for (int k = 1; k <= harmonics; ++k)
        v += std::sin(k * phase) / k;
    return v;
}

} // namespace

// A two-octave slide down from a buzzy, slightly detuned pair of voices.
Samples GameOverSound()
{
    const double length = 0.8;
    Samples s(SampleCount(length));
    double p1 = 0, p2 = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        const double glide = 330.0 * std::pow(0.25, t / length);
        const double wobble = 1 + 0.012 * std::sin(TwoPi * 6 * t);
        p1 += TwoPi * glide * wobble / SampleRate;
        p2 += TwoPi * glide * 1.013 / SampleRate;
        const double voice = SoftSaw(p1, 7) + 0.6 * SoftSaw(p2, 5);
        const double envelope = 1.0 - 0.45 * t / length;
        s[i] = std::tanh(1.2 * voice) * envelope;
    }
    Normalise(s, 0.6);
    FadeEdges(s, 0.01, 0.16);
    return s;
}

// A water drop: a sine whose pitch jumps up while it dies away, over a soft knock.
Samples LandingSound()
{
    Samples s(SampleCount(0.15));
    double phase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        const double pitch = 480 + 900 * (1 - std::exp(-t / 0.025));
        phase += TwoPi * pitch / SampleRate;
        const double drop = (std::sin(phase) + 0.12 * std::sin(2 * phase)) * std::exp(-t / 0.04);
        const double knock = 0.35 * std::sin(TwoPi * 170 * t) * std::exp(-t / 0.015);
        s[i] = drop + knock;
    }
    Normalise(s, 0.7);
    FadeEdges(s, 0.002, 0.03);
    return s;
}

// A quick upward zap under a rising four-note bell chord.
Samples RowRemovedSound()
{
    Samples s(SampleCount(0.35));
    const double notes[] = {1046.5, 1318.5, 1568.0, 2093.0};
    double zapPhase = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = static_cast<double>(i) / SampleRate;
        double v = 0;
        if (t < 0.14) {
            zapPhase += TwoPi * 600 * std::pow(3.5, t / 0.14) / SampleRate;
            v += 0.35 * SoftSaw(zapPhase, 3) * (1 - t / 0.14);
        }
        for (int n = 0; n < 4; ++n) {
            const double dt = t - 0.045 * n;
            if (dt < 0)
                continue;
            const double f = notes[n];
            const double strike = std::min(1.0, dt / 0.003);   // soft onset: no click per note
            v += strike * (0.5 * std::sin(TwoPi * f * dt) * std::exp(-dt / 0.1)
                           + 0.15 * std::sin(TwoPi * f * 2.76 * dt) * std::exp(-dt / 0.04));
        }
        s[i] = v;
    }
    Normalise(s, 0.6);
    FadeEdges(s, 0.003, 0.06);
    return s;
}

} // namespace assetgen
