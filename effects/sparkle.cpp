// sparkle's module: opening and closing, the pools' sizes, the update of every
// effect and the pooled draws.
#include "effects/sparkle.h"

#include <cmath>

#include "base/modules.h"
#include "base/trigonometry.h"
#include "effects/module.h"

namespace {

constexpr int kDefaultEmitters = 128;
constexpr int kDefaultParticles = 8192;
constexpr int kDefaultChains = 512;
constexpr int kDefaultBolts = 128;

// Hosts that do not open the engine's physics module never fill the sine
// tables the emitters read; an empty table answers cos 0 = 0.
void ensure_trig_tables()
{
    if (cosTD(0) != 1.0) __init_trig_tables();
}

template <class T>
bool resize(fxPool<T>& pool, int count, const char* what)
{
    if (pool.reset(count)) return true;
    printf("ERROR: Could not allocate %d %s\n", count, what);
    return false;
}

template <class T>
void draw_pool(fxPool<T>& pool, const double* camera_x, const double* camera_y)
{
    modGraphics* graphics = bound_graphics();
    if (!graphics || !camera_x || !camera_y || pool.count() == 0) return;
    graphics_interface& g = *graphics->interface_table;
    g.push_translate_2d(-*camera_x, -*camera_y);
    pool.for_each_active([graphics](T& element) { element.draw(*graphics); });
    g.pop_matrix();
}

}  // namespace

fxModule& fx_module()
{
    static fxModule module;
    return module;
}

modGraphics* bound_graphics()
{
    modGraphics* graphics = fx_module().graphics;
    return graphics && graphics->interface_table ? graphics : nullptr;
}

void refuse_life(const char* what)
{
    printf("WARNING: Refused %s: its life must be above 0\n", what);
}

modFX* __mFX_instance()
{
    static modFX instance;
    return &instance;
}

bool __mFX_open()
{
    ensure_trig_tables();
    fxModule& fx = fx_module();
    fx.graphics = __mGraphics_instance();
    fx.fork = fxForkParameters();
    bool made = resize(fx.emitters, kDefaultEmitters, "emitters");
    made = resize(fx.particles, kDefaultParticles, "particles") && made;
    made = resize(fx.chains, kDefaultChains, "chains") && made;
    made = resize(fx.bolts, kDefaultBolts, "lightning bolts") && made;
    return made;
}

void __mFX_close()
{
    fxModule& fx = fx_module();
    fx.emitters.reset(0);
    fx.particles.reset(0);
    fx.chains.reset(0);
    fx.bolts.reset(0);
    fx.fog.release();
    fx.graphics = nullptr;
}

void __mFX_update(float* dt)
{
    // A non-finite step would leave every effect with a NaN life that never ends.
    if (!dt || !std::isfinite(*dt)) return;
    fxModule& fx = fx_module();
    update_pool(fx.particles, *dt);
    update_pool(fx.emitters, *dt);
    update_pool(fx.chains, *dt);
    update_pool(fx.bolts, *dt);
}

void __mFX_particle_set_max(int* count)
{
    if (count) resize(fx_module().particles, *count, "particles");
}

void __mFX_particle_set_emitter_max(int* count)
{
    if (count) resize(fx_module().emitters, *count, "emitters");
}

void __mFX_chain_set_max(int* count)
{
    if (count) resize(fx_module().chains, *count, "chains");
}

void __mFX_lightning_set_max(int* count)
{
    if (count) resize(fx_module().bolts, *count, "lightning bolts");
}

void __mFX_particle_draw(double* camera_x, double* camera_y)
{
    draw_pool(fx_module().particles, camera_x, camera_y);
}

void __mFX_chain_draw(double* camera_x, double* camera_y)
{
    draw_pool(fx_module().chains, camera_x, camera_y);
}

void __mFX_lightning_draw(double* camera_x, double* camera_y)
{
    draw_pool(fx_module().bolts, camera_x, camera_y);
}
