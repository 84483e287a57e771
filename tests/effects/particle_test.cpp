#include "base/modules.h"
#include "tests/effects/effects_fixture.h"

namespace {

using EffectsParticles = EffectsTest;

const std::vector<int> kOneParticle = {58, 55, 76, 59, 55, 76, 60};

TEST_F(EffectsParticles, DrawIsMaskPassThenGlowPassInsideTheCameraShift)
{
    ParticleArgs p;
    p.add();
    p.x = 300;
    p.add();
    fake_graphics().calls.clear();
    double camera_x = 12, camera_y = -4;
    __mFX_particle_draw(&camera_x, &camera_y);
    const FakeGraphics& log = fake_graphics();

    std::vector<int> expected = {22};
    for (int i = 0; i < 2; ++i) expected.insert(expected.end(), kOneParticle.begin(), kOneParticle.end());
    expected.push_back(30);
    EXPECT_EQ(log.slots(), expected);
    EXPECT_EQ(log.calls[0].numbers, (std::vector<double>{-12, 4}));

    // The mask (image b) in the grey of the alpha, then the glow (image a) in the colour.
    EXPECT_EQ(log.calls[2].numbers, (std::vector<double>{9, 0}));
    expect_colour(log.calls[3].colour, cColor(0.8f, 0.8f, 0.8f, 1), "mask pass");
    EXPECT_EQ(log.calls[5].numbers, (std::vector<double>{7, 0}));
    expect_colour(log.calls[6].colour, cColor(1, 0.5f, 0.25f, 0.8f), "glow pass");
    // An 8 x 6 rectangle centred on (100, 50), the one cell of a 1 x 1 sheet.
    EXPECT_EQ(log.calls[3].numbers, (std::vector<double>{96, 47, 8, 6, 0, 0, 1, 1}));
    EXPECT_EQ(log.calls[6].numbers, log.calls[3].numbers);
}

TEST_F(EffectsParticles, AFullPoolIgnoresTheNextAddUntilOneExpires)
{
    int four = 4;
    __mFX_particle_set_max(&four);
    ParticleArgs p;
    for (int i = 0; i < 5; ++i) {
        p.x = float(10 * i);
        p.life = i == 1 ? 0.5f : 10.0f;
        p.add();
    }
    const FakeGraphics& log = draw_particles();
    ASSERT_EQ(log.count(76), 8);
    for (const GraphicsCall& rectangle : log.of_slot(76)) EXPECT_LT(rectangle.numbers[0], 40 - 4);

    update(0.5f);  // the second particle expires
    p.x = 500;
    p.add();
    bool found = false;
    for (const GraphicsCall& rectangle : draw_particles().of_slot(76)) found |= rectangle.numbers[0] == 496;
    EXPECT_TRUE(found);
    EXPECT_EQ(particles_drawn(), 4);
}

TEST_F(EffectsParticles, DragOfOneHalvesTheVelocityInAHalfSecondStep)
{
    struct Case {
        float drag;
        double x_after_first, x_after_second;
    };
    // Without drag 50 a step; with drag 1 the step moves at half the speed,
    // and the next step at half that again.
    for (const Case& c : {Case{0, 50, 100}, Case{1, 25, 37.5}}) {
        SCOPED_TRACE(c.drag);
        ParticleArgs p;
        p.x = 0;
        p.y = 0;
        p.vx = 100;
        p.drag_x = c.drag;
        p.size_x = {0};
        p.size_y = {0};
        p.life = 10;
        p.add();
        update(0.5f);
        EXPECT_EQ(draw_particles().of_slot(76)[0].numbers[0], c.x_after_first);
        update(0.5f);
        EXPECT_EQ(draw_particles().of_slot(76)[0].numbers[0], int(c.x_after_second));
        __mFX_close();
        ASSERT_TRUE(__mFX_open());
    }
}

TEST_F(EffectsParticles, AccelerationThenDragThenMove)
{
    ParticleArgs p;
    p.x = 0;
    p.y = 0;
    p.ay = 40;
    p.drag_y = 0.5f;
    p.size_x = {0};
    p.size_y = {0};
    p.add();
    update(0.5f);
    // vy = 20, minus 0.5 * 20 * 0.5 = 15; y = 7.5
    EXPECT_EQ(draw_particles().of_slot(76)[0].numbers[1], 7);
}

TEST_F(EffectsParticles, ColourAndSizeFollowTheKeysOverTheLife)
{
    ParticleArgs p;
    p.keys = Keys({cColor(1, 0, 0, 1), cColor(0, 0, 1, 1)});
    p.key_count = 2;
    p.size_x = {10, 30};
    p.size_y = {2, 4};
    p.size_count = 2;
    p.life = 2;
    p.add();
    update(1);
    const GraphicsCall glow = draw_particles().of_slot(76)[1];
    expect_colour(glow.colour, cColor(0.5f, 0, 0.5f, 1), "halfway from red to blue");
    EXPECT_EQ(glow.numbers[2], 20);
    EXPECT_EQ(glow.numbers[3], 3);
}

TEST_F(EffectsParticles, ThreeKeysBlendTheNeighboursOfTheLifeReached)
{
    ParticleArgs p;
    p.keys = Keys({cColor(1, 0, 0, 1), cColor(0, 1, 0, 1), cColor(0, 0, 1, 1)});
    p.key_count = 3;
    p.life = 4;
    p.add();
    update(3);  // t = 1.5: halfway from green to blue
    expect_colour(draw_particles().of_slot(76)[1].colour, cColor(0, 0.5f, 0.5f, 1), "three keys");
}

TEST_F(EffectsParticles, TheSheetCellFollowsTheFramesOverTheLife)
{
    ParticleArgs p;
    p.cells = 4;
    p.frames = 8;  // two rounds of the sheet over the life
    p.life = 2;
    p.frame = 1;
    p.add();
    update(0.75f);  // frame 1 + 3 = 4: cell 0
    GraphicsCall rectangle = draw_particles().of_slot(76)[0];
    EXPECT_EQ(rectangle.numbers[4], 0);
    EXPECT_EQ(rectangle.numbers[6], 4);
    EXPECT_EQ(rectangle.numbers[7], 1);
    update(0.25f);  // frame 5: cell 1
    EXPECT_EQ(draw_particles().of_slot(76)[0].numbers[4], 1);
}

TEST_F(EffectsParticles, AParticleLeavesThePoolWhenItsLifeRunsOut)
{
    ParticleArgs p;
    p.life = 0.5f;
    p.add();
    update(0.25f);
    EXPECT_EQ(particles_drawn(), 1);
    update(0.25f);
    EXPECT_EQ(particles_drawn(), 0);
    EXPECT_EQ(draw_particles().slots(), (std::vector<int>{22, 30}));
}

TEST_F(EffectsParticles, TextDrawsTwoGlyphPassesWithTheGlyphSheet)
{
    __mGraphics_instance()->glyph_texture = 33;
    ParticleArgs p;
    p.text = "+25";
    p.size_x = {16};
    p.size_y = {20};
    p.add();
    __mGraphics_instance()->glyph_texture = 0;
    const FakeGraphics& log = draw_particles();
    EXPECT_EQ(log.slots(), (std::vector<int>{22, 58, 55, 77, 59, 55, 77, 60, 30}));
    EXPECT_EQ(log.calls[2].numbers[0], 33);
    EXPECT_EQ(log.calls[5].numbers[0], 33);
    const GraphicsCall mask = log.calls[3], glow = log.calls[6];
    EXPECT_EQ(mask.text, "+25");
    // At (100, 50), centred, glyphs 16 x 20 advancing 12; grey first, then coloured.
    EXPECT_EQ(mask.numbers, (std::vector<double>{100, 50, 16, 20, 12, 20, 1, 1}));
    EXPECT_EQ(glow.numbers, (std::vector<double>{100, 50, 16, 20, 12, 20, 1, 0}));
}

TEST_F(EffectsParticles, SetMaxDestroysTheLiveParticles)
{
    ParticleArgs p;
    p.add();
    int count = 16;
    __mFX_particle_set_max(&count);
    EXPECT_EQ(particles_drawn(), 0);
    p.add();
    EXPECT_EQ(particles_drawn(), 1);
}

}  // namespace
