#include "effects/emitters.h"

#include "base/angles.h"
#include "base/trigonometry.h"
#include "effects/module.h"
#include "effects/sparkle.h"

bool fxEmitter::emit_one()
{
    const float a = unit_random() * kTwoPi;
    const double offset_y = unit_random() * sinTR(a) * radius.y;
    const double offset_x = unit_random() * cosTR(a) * radius.x;
    const float b = unit_random() * kTwoPi;
    const float vx = float(unit_random() * cosTR(b) * speed);
    const float vy = float(unit_random() * sinTR(b) * speed);
    return add_particle(templ, float(position.x + offset_x), float(position.y + offset_y), vx, vy);
}

bool fxEmitter::update(float dt)
{
    accumulator += dt;
    if (rate > 0) {
        const float interval = 1 / rate;
        // A full pool ends the burst: with a tiny interval the subtraction
        // below may no longer change the accumulator.
        while (accumulator > interval) {
            accumulator -= interval;
            if (!emit_one()) break;
        }
    }
    life -= dt;
    return life <= 0;
}

void __mFX_particle_add_emitter(double* x, double* y, double* radius_x, double* radius_y, float* emitter_life,
                                float* rate, float* size_keys_x, float* size_keys_y, int16_t* size_key_count,
                                cColor** colour_keys, int16_t* colour_key_count, float* particle_life, float* speed,
                                float* ax, float* ay, float* drag_x, float* drag_y, int* image_a, int* image_b,
                                int16_t* cells_across, int16_t* frames_over_life, float* current_frame)
{
    if (!all_given(x, y, radius_x, radius_y, emitter_life, rate, size_key_count, colour_key_count, particle_life,
                   speed, ax, ay, drag_x, drag_y, image_a, image_b, cells_across, frames_over_life, current_frame))
        return;
    if (!(*emitter_life > 0)) {
        refuse_life("an emitter");
        return;
    }
    fxParticle templ;
    if (!fill_particle_template(templ, size_keys_x, size_keys_y, *size_key_count, colour_keys, *colour_key_count,
                                *particle_life, *ax, *ay, *drag_x, *drag_y, *image_a, *image_b, *cells_across,
                                *frames_over_life, *current_frame)) {
        refuse_life("an emitter's particle");
        return;
    }
    fxEmitter* emitter = fx_module().emitters.take();
    if (!emitter) return;
    emitter->active = true;
    emitter->templ = templ;
    emitter->templ.active = false;
    emitter->position = cVector2D<double>(*x, *y);
    emitter->radius = cVector2D<double>(*radius_x, *radius_y);
    emitter->speed = *speed;
    emitter->life = emitter->lifetime = *emitter_life;
    emitter->accumulator = 0;
    emitter->rate = *rate;
}
