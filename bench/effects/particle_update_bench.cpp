// One update of a full pool of 10,000 moving, dragged, colour-keyed
// particles, against the frame budget at 60 frames per second.
#include <vector>

#include "base/color.h"
#include "base/random.h"
#include "bench/support/timing.h"
#include "effects/sparkle.h"

namespace {

constexpr int kParticles = 10000;

void fill_pool()
{
    int count = kParticles;
    __mFX_particle_set_max(&count);
    cColor from(1, 0.6f, 0.2f, 1), to(0.2f, 0.2f, 1, 0);
    cColor* keys[2] = {&from, &to};
    int16_t key_count = 2, size_count = 2, cells = 4, frames = 8;
    float size_x[2] = {16, 4}, size_y[2] = {16, 4};
    // Long enough that no particle expires while the figure is taken.
    float life = 1e6f, ax = 0, ay = 30, drag = 0.5f, frame = 0;
    int glow = 1, mask = 2;
    for (int i = 0; i < kParticles; ++i) {
        float x = float(i % 100) * 8, y = float(i / 100) * 6;
        float vx = float(__mRandom_rand() % 200 - 100), vy = float(__mRandom_rand() % 200 - 100);
        __mFX_particle_add(&x, &y, size_x, size_y, &size_count, keys, &key_count, &life, &vx, &vy, &ax, &ay, &drag,
                           &drag, &glow, &mask, &cells, &frames, &frame, nullptr);
    }
}

}  // namespace

int main()
{
    __mRandom_srand(7);
    __mFX_open();
    fill_pool();
    float dt = float(kFrameBudgetSeconds);
    const double update = median_seconds([&] { __mFX_update(&dt); }, 101);
    print_ratio("update of 10,000 particles", update, "s", kFrameBudgetSeconds, "s frame at 60 fps");
    __mFX_close();
    return 0;
}
