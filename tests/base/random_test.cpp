#include <gtest/gtest.h>

#include "base/random.h"

TEST(Random, DrawsTheRunTimeSequence)
{
    struct Case {
        bool seeded;
        uint32_t seed;
        int draws[5];
    } cases[] = {
        {false, 0, {41, 18467, 6334, 26500, 19169}},
        {true, 0, {38, 7719, 21238, 2437, 8855}},
        {true, 1, {41, 18467, 6334, 26500, 19169}},
    };
    for (const Case& c : cases) {
        if (c.seeded) __mRandom_srand(c.seed);
        for (int expected : c.draws) EXPECT_EQ(__mRandom_rand(), expected) << "seed " << c.seed;
    }
}

TEST(Random, StaysWithinFifteenBits)
{
    __mRandom_srand(0xDEADBEEF);
    for (int i = 0; i < 100000; ++i) {
        const int draw = __mRandom_rand();
        ASSERT_GE(draw, 0);
        ASSERT_LE(draw, kRandomMax);
    }
}
