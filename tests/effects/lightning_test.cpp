#include <cmath>

#include "tests/effects/effects_fixture.h"

namespace {

struct BoltArgs {
    std::vector<float> xs{0, 100}, ys{0, 0};
    int16_t count = 2;
    Keys keys{{cColor(1, 1, 1, 1)}};
    int16_t key_count = 1;
    float life = 1, jitter = 0;
    int16_t segments = 4;
    float fork_chance = 0;
    int16_t fork_depth = 0;

    void add()
    {
        __mFX_lightning_add(xs.data(), ys.data(), &count, keys.data(), &key_count, &life, &jitter, &segments,
                            &fork_chance, &fork_depth);
    }
};

using EffectsLightning = EffectsTest;

TEST_F(EffectsLightning, ALineIsOneSegmentFadingBetweenItsTwoColours)
{
    float x1 = 10, y1 = 20, x2 = 30, y2 = 40, life = 2;
    cColor red(1, 0, 0, 1), blue(0, 0, 1, 1);
    __mFX_lightning_add_line(&x1, &y1, &x2, &y2, &red, &blue, &life);
    const FakeGraphics& log = draw_bolts();
    EXPECT_EQ(log.slots(), (std::vector<int>{22, 57, 55, 70, 60, 30}));
    EXPECT_EQ(log.calls[2].numbers, (std::vector<double>{0, 0}));
    EXPECT_EQ(log.calls[3].numbers, (std::vector<double>{10, 20, 30, 40}));
    expect_colour(log.calls[3].colour, red, "new line");
    update(1);
    expect_colour(draw_bolts().of_slot(70)[0].colour, cColor(0.5f, 0, 0.5f, 1), "halfway");
}

TEST_F(EffectsLightning, WithoutJitterTheLegIsCutIntoEqualSegments)
{
    BoltArgs b;
    b.add();
    std::vector<std::vector<double>> lines;
    for (const GraphicsCall& line : draw_bolts().of_slot(70)) lines.push_back(line.numbers);
    EXPECT_EQ(lines, (std::vector<std::vector<double>>{{0, 0, 25, 0}, {25, 0, 50, 0}, {50, 0, 75, 0},
                                                         {75, 0, 100, 0}}));
}

TEST_F(EffectsLightning, JitterPushesSidewaysButTheBoltStaysJoinedAndEndsOnTheLastPoint)
{
    BoltArgs b;
    b.xs = {0, 100, 100};
    b.ys = {0, 0, 100};
    b.count = 3;
    b.jitter = 10;
    b.segments = 5;
    b.add();
    const std::vector<GraphicsCall> lines = draw_bolts().of_slot(70);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[0].numbers[0], 0);
    EXPECT_EQ(lines[0].numbers[1], 0);
    for (size_t i = 1; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].numbers[0], lines[i - 1].numbers[2]);
        EXPECT_EQ(lines[i].numbers[1], lines[i - 1].numbers[3]);
    }
    for (size_t i = 0; i < 4; ++i) EXPECT_LE(std::fabs(lines[i].numbers[3]), 10);
    EXPECT_EQ(lines.back().numbers[2], 100);
    EXPECT_EQ(lines.back().numbers[3], 100);
}

TEST_F(EffectsLightning, ForksBranchFromEachSegmentLevelByLevel)
{
    struct Case {
        int16_t depth;
        size_t lines;
    };
    // Depth 1: a fork beside each of the 4 segments. Depth 3: the fork's end
    // branches in two, and each branch in two again.
    for (const Case& c : {Case{1, 8}, Case{3, 32}}) {
        SCOPED_TRACE(c.depth);
        BoltArgs b;
        b.fork_chance = 1.5f;
        b.fork_depth = c.depth;
        b.add();
        const std::vector<GraphicsCall> lines = draw_bolts().of_slot(70);
        EXPECT_EQ(lines.size(), c.lines);
        for (const GraphicsCall& line : lines) {
            const double dx = line.numbers[2] - line.numbers[0], dy = line.numbers[3] - line.numbers[1];
            EXPECT_LE(std::sqrt(dx * dx + dy * dy), 27);
        }
        __mFX_close();
        ASSERT_TRUE(__mFX_open());
    }
}

TEST_F(EffectsLightning, AFullPoolIgnoresTheNextBolt)
{
    int two = 2;
    __mFX_lightning_set_max(&two);
    BoltArgs b;
    b.segments = 1;
    for (int i = 0; i < 3; ++i) b.add();
    EXPECT_EQ(draw_bolts().count(70), 2);
}

}  // namespace
