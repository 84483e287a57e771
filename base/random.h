// The game's one random generator. Every peer must draw the same 15-bit
// sequence from the same seed (the track is rebuilt from it on each machine),
// so all draws go through here and never through the C library.
#pragma once

#include "base/keel.h"

constexpr int kRandomMax = 32767;

KEEL_API void __mRandom_srand(uint32_t seed);
// The next draw, 0 to 32767.
KEEL_API int __mRandom_rand();
