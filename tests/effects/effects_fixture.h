// An open effects module drawing into the logging graphics table, and the
// effects' long argument lists with plain defaults to change one at a time.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "base/color.h"
#include "base/random.h"
#include "effects/sparkle.h"
#include "tests/effects/fake_graphics.h"

struct Keys {
    std::vector<cColor> colours;
    std::vector<cColor*> pointers;
    explicit Keys(std::vector<cColor> given) : colours(std::move(given))
    {
        for (cColor& c : colours) pointers.push_back(&c);
    }
    cColor** data() { return pointers.empty() ? nullptr : pointers.data(); }
    int16_t count() const { return int16_t(colours.size()); }
};

struct ParticleArgs {
    float x = 100, y = 50;
    std::vector<float> size_x{8}, size_y{6};
    int16_t size_count = 1;
    Keys keys{{cColor(1, 0.5f, 0.25f, 0.8f)}};
    int16_t key_count = 1;
    float life = 1;
    float vx = 0, vy = 0, ax = 0, ay = 0, drag_x = 0, drag_y = 0;
    int image_a = 7, image_b = 9;
    int16_t cells = 1, frames = 0;
    float frame = 0;
    const char* text = nullptr;

    void add()
    {
        // Empty size lists stand for null arrays.
        __mFX_particle_add(&x, &y, size_x.empty() ? nullptr : size_x.data(), size_y.empty() ? nullptr : size_y.data(), &size_count, keys.data(), &key_count, &life, &vx,
                           &vy, &ax, &ay, &drag_x, &drag_y, &image_a, &image_b, &cells, &frames, &frame, text);
    }
};

struct EmitterArgs {
    double x = 200, y = 100, radius_x = 0, radius_y = 0;
    float emitter_life = 10, rate = 10;
    std::vector<float> size_x{4}, size_y{4};
    int16_t size_count = 1;
    Keys keys{{cColor(1, 1, 1, 1)}};
    int16_t key_count = 1;
    float particle_life = 100, speed = 0;
    float ax = 0, ay = 0, drag_x = 0, drag_y = 0;
    int image_a = 1, image_b = 2;
    int16_t cells = 1, frames = 0;
    float frame = 0;

    void add()
    {
        __mFX_particle_add_emitter(&x, &y, &radius_x, &radius_y, &emitter_life, &rate, size_x.data(),
                                   size_y.data(), &size_count, keys.data(), &key_count, &particle_life, &speed, &ax,
                                   &ay, &drag_x, &drag_y, &image_a, &image_b, &cells, &frames, &frame);
    }
};

class EffectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        install_fake_graphics();
        __mRandom_srand(1);
        ASSERT_TRUE(__mFX_open());
    }
    void TearDown() override
    {
        __mFX_close();
        uninstall_fake_graphics();
    }

    static void update(float dt) { __mFX_update(&dt); }
    // The particle pool's draw at camera (0, 0), logged from a fresh log.
    static const FakeGraphics& draw_particles()
    {
        fake_graphics().calls.clear();
        double camera_x = 0, camera_y = 0;
        __mFX_particle_draw(&camera_x, &camera_y);
        return fake_graphics();
    }
    static const FakeGraphics& draw_chains()
    {
        fake_graphics().calls.clear();
        double camera_x = 0, camera_y = 0;
        __mFX_chain_draw(&camera_x, &camera_y);
        return fake_graphics();
    }
    static const FakeGraphics& draw_bolts()
    {
        fake_graphics().calls.clear();
        double camera_x = 0, camera_y = 0;
        __mFX_lightning_draw(&camera_x, &camera_y);
        return fake_graphics();
    }
    // Sprites drawn: each particle draws two rectangles.
    static int particles_drawn() { return draw_particles().count(76) / 2; }
};

inline void expect_colour(const cColor& actual, const cColor& expected, const char* where)
{
    EXPECT_NEAR(actual.r, expected.r, 1e-5) << where;
    EXPECT_NEAR(actual.g, expected.g, 1e-5) << where;
    EXPECT_NEAR(actual.b, expected.b, 1e-5) << where;
    EXPECT_NEAR(actual.a, expected.a, 1e-5) << where;
}
