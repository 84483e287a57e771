// Inputs a caller can get wrong, each run through the whole module: none may
// fault, hang or leave an effect the draws cannot handle.
#include <climits>
#include <cmath>
#include <functional>
#include <limits>

#include "base/modules.h"
#include "tests/effects/effects_fixture.h"
#include "tests/support/printed.h"

#ifdef __SANITIZE_ADDRESS__
// A refused allocation must come back as null here, as it does outside the
// sanitizer, so that the module's own failure path is what runs.
extern "C" const char* __asan_default_options()
{
    return "allocator_may_return_null=1";
}
#endif

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInfinity = std::numeric_limits<float>::infinity();

struct BadInput {
    const char* name;
    std::function<void()> act;
    // What the draws show afterwards; null when only "no fault" is asked.
    std::function<void()> check;
};

using EffectsBadInput = EffectsTest;

void update(float dt)
{
    __mFX_update(&dt);
}

int particles_drawn()
{
    fake_graphics().calls.clear();
    double camera = 0;
    __mFX_particle_draw(&camera, &camera);
    return fake_graphics().count(76) / 2;
}

void draw_everything()
{
    double camera = 0;
    __mFX_particle_draw(&camera, &camera);
    __mFX_chain_draw(&camera, &camera);
    __mFX_lightning_draw(&camera, &camera);
    __mFX_fog_draw(1);
}

std::vector<float> many(size_t count, float step)
{
    std::vector<float> out(count);
    for (size_t i = 0; i < count; ++i) out[i] = float(i) * step;
    return out;
}

void add_bolt(std::vector<float> xs, std::vector<float> ys, int16_t segments, float chance, int16_t depth,
              float jitter = 5)
{
    int16_t count = int16_t(xs.size());
    Keys keys({cColor(1, 1, 1, 1)});
    int16_t key_count = 1;
    float life = 1;
    __mFX_lightning_add(xs.data(), ys.data(), &count, keys.data(), &key_count, &life, &jitter, &segments, &chance,
                        &depth);
}

int lines_drawn()
{
    fake_graphics().calls.clear();
    double camera = 0;
    __mFX_lightning_draw(&camera, &camera);
    return fake_graphics().count(70);
}

void expect_finite_lines()
{
    lines_drawn();
    for (const GraphicsCall& line : fake_graphics().of_slot(70))
        for (double n : line.numbers) EXPECT_LT(std::fabs(n), 1e6);
}

void add_chain(int16_t count)
{
    std::vector<float> xs = many(size_t(count > 0 ? count : 1), 10), ys = xs;
    Keys keys({cColor(1, 1, 1, 1)});
    int16_t key_count = 1, cells = 0, rate = 3, mode = 7;
    float life = 1, width = 4, phase = -3;
    int glow = 1, mask = 2;
    __mFX_chain_add(xs.data(), ys.data(), &count, keys.data(), &key_count, &life, &width, &width, &glow, &mask,
                    &glow, &mask, &cells, &rate, &phase, &mode);
}

const std::vector<BadInput> kBadInputs = {
    {"no colour keys reads none and draws transparent black",
     [] {
         ParticleArgs p;
         p.keys = Keys({});
         p.key_count = 0;
         p.add();
         update(0.5f);
     },
     [] {
         particles_drawn();
         expect_colour(fake_graphics().of_slot(76)[1].colour, cColor(0, 0, 0, 0), "no keys");
     }},
    {"more than six colour keys keeps six",
     [] {
         ParticleArgs p;
         std::vector<cColor> keys(9, cColor(0, 1, 0, 1));
         keys[5] = cColor(0, 0, 1, 1);
         p.keys = Keys(keys);
         p.key_count = 9;
         p.life = 1;
         p.add();
         update(0.999f);
     },
     [] {
         particles_drawn();
         EXPECT_GT(fake_graphics().of_slot(76)[1].colour.b, 0.99f);
     }},
    {"negative colour key count", [] {
         ParticleArgs p;
         p.key_count = -5;
         p.add();
         update(0.1f);
     },
     [] { EXPECT_EQ(particles_drawn(), 1); }},
    {"size key counts of 0 and 30000",
     [] {
         ParticleArgs p;
         p.size_count = 0;
         p.add();
         p.size_x = p.size_y = many(30000, 1);
         p.size_count = 30000;
         p.add();
         update(0.5f);
     },
     [] { EXPECT_EQ(particles_drawn(), 2); }},
    {"null key arrays", [] {
         ParticleArgs p;
         p.keys = Keys({});
         p.key_count = 3;
         p.size_x.clear();
         p.size_y.clear();
         p.size_count = 3;
         p.add();
         update(0.5f);
     },
     [] { EXPECT_EQ(particles_drawn(), 1); }},
    {"a particle life of 0, below 0 or NaN is refused",
     [] {
         for (float life : {0.0f, -1.0f, kNaN}) {
             ParticleArgs p;
             p.life = life;
             EXPECT_EQ(printed([&] { p.add(); }), "WARNING: Refused a particle: its life must be above 0\n");
         }
     },
     [] { EXPECT_EQ(particles_drawn(), 0); }},
    {"an emitter or emitted life of 0 is refused",
     [] {
         EmitterArgs e;
         e.emitter_life = 0;
         e.add();
         EmitterArgs f;
         f.particle_life = -2;
         f.add();
         update(1);
     },
     [] { EXPECT_EQ(particles_drawn(), 0); }},
    {"a chain or bolt life of 0 is refused",
     [] {
         std::vector<float> xs{0, 1}, ys{0, 1};
         int16_t count = 2, key_count = 1, cells = 1, rate = 0, mode = 0, segments = 2, depth = 0;
         Keys keys({cColor(1, 1, 1, 1)});
         float life = 0, width = 1, phase = 0, jitter = 0, chance = 0;
         int image = 1;
         __mFX_chain_add(xs.data(), ys.data(), &count, keys.data(), &key_count, &life, &width, &width, &image,
                         &image, &image, &image, &cells, &rate, &phase, &mode);
         __mFX_lightning_add(xs.data(), ys.data(), &count, keys.data(), &key_count, &life, &jitter, &segments,
                             &chance, &depth);
         float x = 0;
         cColor white(1, 1, 1, 1);
         __mFX_lightning_add_line(&x, &x, &x, &x, &white, &white, &life);
     },
     [] {
         fake_graphics().calls.clear();
         draw_everything();
         EXPECT_EQ(fake_graphics().slots(), (std::vector<int>{22, 30, 22, 30, 22, 30}));
     }},
    {"cells across of 0 and below become 1",
     [] {
         for (int16_t cells : {int16_t(0), int16_t(-3)}) {
             ParticleArgs p;
             p.cells = cells;
             p.frames = 7;
             p.add();
         }
         update(0.3f);
     },
     [] {
         particles_drawn();
         for (const GraphicsCall& r : fake_graphics().of_slot(76)) {
             EXPECT_EQ(r.numbers[4], 0);
             EXPECT_EQ(r.numbers[6], 1);
         }
     }},
    {"huge and non-finite positions and sizes", [] {
         ParticleArgs p;
         p.x = kInfinity;
         p.y = kNaN;
         p.size_x = {1e30f};
         p.size_y = {-kInfinity};
         p.frame = kNaN;
         p.add();
         p.x = -kInfinity;
         p.size_x = {-1e30f};
         p.add();
         p.x = 3e38f;
         p.vx = 3e38f;
         p.ax = 3e38f;
         p.add();
         update(1);
     },
     nullptr},
    {"rate 0 or below emits nothing",
     [] {
         for (float rate : {0.0f, -5.0f, kNaN}) {
             EmitterArgs e;
             e.rate = rate;
             e.add();
         }
         update(1);
         update(1);
     },
     [] { EXPECT_EQ(particles_drawn(), 0); }},
    {"a tiny interval stops at a full pool",
     [] {
         int sixteen = 16;
         __mFX_particle_set_max(&sixteen);
         for (float rate : {1e30f, kInfinity}) {
             EmitterArgs e;
             e.rate = rate;
             e.add();
         }
         update(1);
         update(1e30f);
     },
     [] { EXPECT_EQ(particles_drawn(), 16); }},
    {"a step of NaN or infinity is ignored",
     [] {
         ParticleArgs p;
         p.add();
         EmitterArgs e;
         e.add();
         update(kNaN);
         update(kInfinity);
     },
     [] { EXPECT_EQ(particles_drawn(), 1); }},
    {"more than 16 chain points keeps 16",
     [] { add_chain(40); },
     [] {
         fake_graphics().calls.clear();
         double camera = 0;
         __mFX_chain_draw(&camera, &camera);
         EXPECT_EQ(fake_graphics().count(69), 15 * 4);
         EXPECT_EQ(fake_graphics().count(76), 16 * 2);
     }},
    {"a negative chain point count keeps none", [] { add_chain(-7); },
     [] {
         fake_graphics().calls.clear();
         double camera = 0;
         __mFX_chain_draw(&camera, &camera);
         EXPECT_EQ(fake_graphics().slots(), (std::vector<int>{22, 60, 30}));
     }},
    {"a zero-length leg adds no segments and no NaN",
     [] { add_bolt({0, 0, 50, 50, 50}, {0, 0, 0, 0, 0}, 5, 1.5f, 3); },
     [] {
         expect_finite_lines();
         bool ends_on_the_last_point = false;
         for (const GraphicsCall& line : fake_graphics().of_slot(70))
             ends_on_the_last_point |= line.numbers[2] == 50 && line.numbers[3] == 0;
         EXPECT_TRUE(ends_on_the_last_point);
     }},
    {"a bolt whose points all coincide or are not finite builds nothing",
     [] {
         add_bolt({3, 3, 3}, {4, 4, 4}, 5, 1.5f, 3);
         add_bolt({kNaN, kInfinity}, {0, 0}, 5, 1.5f, 3);
     },
     [] { EXPECT_EQ(lines_drawn(), 0); }},
    {"segments of 0 or below are refused",
     [] {
         add_bolt({0, 100}, {0, 0}, 0, 0, 0);
         add_bolt({0, 100}, {0, 0}, -4, 0, 0);
     },
     [] { EXPECT_EQ(lines_drawn(), 0); }},
    {"fewer than two points or a negative count is refused",
     [] {
         add_bolt({0}, {0}, 4, 0, 0);
         std::vector<float> x{0, 1};
         int16_t count = -3, key_count = 1, segments = 2, depth = 0;
         float life = 1, jitter = 0, chance = 0;
         __mFX_lightning_add(x.data(), x.data(), &count, nullptr, &key_count, &life, &jitter, &segments, &chance,
                             &depth);
     },
     [] { EXPECT_EQ(lines_drawn(), 0); }},
    {"a fork depth of 32767 is capped at 8",
     [] { add_bolt({0, 100}, {0, 0}, 1, 1.5f, 32767); },
     [] {
         // One segment, its fork and the builder from depth 6 down: 2 + (2^8 - 2).
         EXPECT_EQ(lines_drawn(), 2 + 254);
     }},
    {"a huge bolt stops at its segment limit",
     [] {
         add_bolt(many(32767, 1), many(32767, 0), 32767, 1.5f, 8, 1e30f);
         float huge = 1e30f;
         __mFX_lightning_set_fork_falloff(&huge);
         add_bolt({0, 1e30f}, {0, 0}, 32767, 1.5f, 8, kNaN);
     },
     [] { EXPECT_EQ(lines_drawn(), 2 * 8192); }},
    {"non-finite fork parameters are ignored",
     [] {
         float nan = kNaN;
         __mFX_lightning_set_fork_factor(&nan);
         __mFX_lightning_set_fork_falloff(&nan);
         __mFX_lightning_set_fork_randomness(&nan);
         add_bolt({0, 100}, {0, 0}, 1, 1.5f, 3);
     },
     [] { expect_finite_lines(); }},
    {"a 32767 x 32767 fog grid is had or refused cleanly",
     [] {
         int16_t side = 32767, x = 32766;
         const std::string out = printed([&] { __mFX_fog_set_grid_size(&side, &side); });
         EXPECT_TRUE(out.empty() || out == "ERROR: Could not allocate a fog grid of 32767 x 32767\n") << out;
         __mFX_fog_change_point(&x, &x, 0.5f);
         int16_t small = 2;
         __mFX_fog_set_grid_size(&small, &small);
     },
     nullptr},
    {"pools of INT_MAX are refused cleanly and leave none",
     [] {
         int huge = INT_MAX;
         const std::string out = printed([&] { __mFX_particle_set_max(&huge); });
         EXPECT_EQ(out, "ERROR: Could not allocate 2147483647 particles\n");
         ParticleArgs p;
         p.add();
         EmitterArgs e;
         e.add();
         update(1);
     },
     [] { EXPECT_EQ(particles_drawn(), 0); }},
    {"pools of 0 and below",
     [] {
         for (int count : {0, -1}) {
             __mFX_particle_set_max(&count);
             __mFX_particle_set_emitter_max(&count);
             __mFX_chain_set_max(&count);
             __mFX_lightning_set_max(&count);
         }
         ParticleArgs p;
         p.add();
         EmitterArgs e;
         e.add();
         add_chain(3);
         add_bolt({0, 100}, {0, 0}, 3, 0, 0);
         update(1);
     },
     [] {
         fake_graphics().calls.clear();
         draw_everything();
         EXPECT_TRUE(fake_graphics().calls.empty());
     }},
    {"null arguments do nothing",
     [] {
         ParticleArgs p;
         __mFX_particle_add(nullptr, &p.y, nullptr, nullptr, &p.size_count, nullptr, &p.key_count, &p.life, &p.vx,
                            &p.vy, &p.ax, &p.ay, &p.drag_x, &p.drag_y, &p.image_a, &p.image_b, &p.cells,
                            &p.frames, &p.frame, nullptr);
         __mFX_update(nullptr);
         __mFX_particle_set_max(nullptr);
         __mFX_fog_set_grid_size(nullptr, nullptr);
         __mFX_fog_change_point(nullptr, nullptr, 1);
         __mFX_lightning_add_line(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
         __mFX_particle_draw(nullptr, nullptr);
     },
     [] { EXPECT_EQ(particles_drawn(), 0); }},
};

TEST_F(EffectsBadInput, NoneFaultsOrHangs)
{
    for (const BadInput& input : kBadInputs) {
        SCOPED_TRACE(input.name);
        input.act();
        fake_graphics().calls.clear();
        draw_everything();
        if (input.check) input.check();
        __mFX_close();
        ASSERT_TRUE(__mFX_open());
    }
}

TEST(EffectsUnopened, EveryCallBeforeOpenOrWithoutGraphicsDoesNothing)
{
    install_fake_graphics();
    ParticleArgs p;
    p.add();
    float dt = 0.1f;
    __mFX_update(&dt);
    draw_everything();
    EXPECT_TRUE(fake_graphics().calls.empty());

    uninstall_fake_graphics();
    ASSERT_TRUE(__mFX_open());
    p.add();
    int16_t side = 3, zero = 0;
    __mFX_fog_set_grid_size(&side, &side);
    __mFX_fog_change_point(&zero, &zero, 1);
    draw_everything();
    EXPECT_TRUE(fake_graphics().calls.empty());
    __mFX_close();
}

}  // namespace
