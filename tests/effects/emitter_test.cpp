#include "tests/effects/effects_fixture.h"

namespace {

using EffectsEmitters = EffectsTest;

TEST_F(EffectsEmitters, RateTenOverAThirtyFiveHundredthsStepEmitsThreeAndKeepsTheRest)
{
    EmitterArgs e;
    e.add();
    update(0.35f);
    EXPECT_EQ(particles_drawn(), 3);
    // 0.05 s kept: 0.049 more is not yet a tenth, 0.002 more is.
    update(0.049f);
    EXPECT_EQ(particles_drawn(), 3);
    update(0.002f);
    EXPECT_EQ(particles_drawn(), 4);
}

TEST_F(EffectsEmitters, ParticlesStartAtTheEmitterWithTheTemplate)
{
    EmitterArgs e;
    e.size_x = {6};
    e.size_y = {10};
    e.image_a = 21;
    e.image_b = 22;
    e.add();
    update(0.15f);
    const FakeGraphics& log = draw_particles();
    ASSERT_EQ(log.count(76), 2);
    EXPECT_EQ(log.of_slot(76)[0].numbers, (std::vector<double>{197, 95, 6, 10, 0, 0, 1, 1}));
    EXPECT_EQ(log.of_slot(55)[0].numbers[0], 22);
    EXPECT_EQ(log.of_slot(55)[1].numbers[0], 21);
}

TEST_F(EffectsEmitters, TwoEmittersEmitInTheirOwnColours)
{
    EmitterArgs red, green;
    red.keys = Keys({cColor(1, 0, 0, 1)});
    red.x = 100;
    green.keys = Keys({cColor(0, 1, 0, 1)});
    green.x = 600;
    red.add();
    green.add();
    update(0.15f);
    const std::vector<GraphicsCall> rectangles = draw_particles().of_slot(76);
    ASSERT_EQ(rectangles.size(), 4u);
    for (size_t i = 1; i < rectangles.size(); i += 2) {
        const bool left = rectangles[i].numbers[0] < 300;
        expect_colour(rectangles[i].colour, left ? cColor(1, 0, 0, 1) : cColor(0, 1, 0, 1), "emitter colour");
    }
}

TEST_F(EffectsEmitters, EmittedParticlesSpreadWithinTheRingAndTheSpeed)
{
    EmitterArgs e;
    e.radius_x = 30;
    e.radius_y = 10;
    e.speed = 50;
    e.rate = 1000;
    e.add();
    update(0.1f);
    const std::vector<GraphicsCall> before = draw_particles().of_slot(76);
    ASSERT_GE(before.size(), 2 * 99u);
    bool spread = false;
    for (const GraphicsCall& r : before) {
        const double dx = r.numbers[0] + 2 - 200, dy = r.numbers[1] + 2 - 100;
        EXPECT_LE(dx * dx / (31 * 31) + dy * dy / (11 * 11), 1.0);
        spread |= dx != 0 || dy != 0;
    }
    EXPECT_TRUE(spread);
}

TEST_F(EffectsEmitters, AnEmitterStopsWhenItsLifeRunsOut)
{
    EmitterArgs e;
    e.emitter_life = 0.3f;
    e.add();
    update(0.25f);
    const int first = particles_drawn();
    update(0.27f);  // emits what it owes, then expires
    const int second = particles_drawn();
    update(1);
    EXPECT_EQ(particles_drawn(), second);
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 5);
}

}  // namespace
