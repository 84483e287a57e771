#include "base/random.h"

// Linear congruential generator; the initial state is 1, as if seeded with 1.
static uint32_t randomState = 1;

void __mRandom_srand(uint32_t seed)
{
    randomState = seed;
}

int __mRandom_rand()
{
    randomState = randomState * 214013u + 2531011u;
    return int((randomState >> 16) & 0x7FFF);
}
