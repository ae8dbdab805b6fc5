#pragma once

#include <cmath>
#include <cstdint>

// Seeded integer hashing: textures must come out byte for byte the same on
// every run, so nothing here uses the standard library's distributions.
namespace assetgen {

inline std::uint32_t Hash32(std::uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// A value in [0, 1) fixed by two coordinates and a seed.
inline double HashUnit(int a, int b, std::uint32_t seed)
{
    std::uint32_t h = Hash32(seed ^ Hash32(static_cast<std::uint32_t>(a) * 0x9e3779b9U
                                           ^ Hash32(static_cast<std::uint32_t>(b) + 0x632be5abU)));
    return (h >> 8) * (1.0 / 16777216.0);
}

// Smooth value noise in [0, 1): lattice values blended with a smoothstep.
inline double ValueNoise(double x, double y, std::uint32_t seed)
{
    const double fx = std::floor(x), fy = std::floor(y);
    const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const double a = HashUnit(ix, iy, seed), b = HashUnit(ix + 1, iy, seed);
    const double c = HashUnit(ix, iy + 1, seed), d = HashUnit(ix + 1, iy + 1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

} // namespace assetgen
