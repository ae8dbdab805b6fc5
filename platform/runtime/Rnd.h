#pragma once
// The runtime's one pseudo-random generator: single precision, 0 <= r < 1.
// Tests script the draws by injecting a source.

#include <functional>

namespace plat {

float Rnd();
void Randomize();              // seeds from the system clock
void Randomize(double seed);   // fixed seed, for reproducible runs

using RndSource = std::function<float()>;
void SetRndSource(RndSource source);  // empty restores the generator
int RndDrawCount();                   // draws taken so far, for tests
void ResetRndDrawCount();

}  // namespace plat
