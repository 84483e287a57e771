#include "effects/particles.h"

#include "base/modules.h"
#include "effects/module.h"
#include "effects/sparkle.h"
#include "effects/sprite.h"

void fxParticle::deactivate()
{
    fxBase::deactivate();
    has_text = false;
    text.clear();
}

bool fxParticle::update(float dt)
{
    vx += ax * dt;
    vy += ay * dt;
    vx -= drag_x * vx * dt;
    vy -= drag_y * vy * dt;
    x += vx * dt;
    y += vy * dt;
    current_frame += float(frames_over_life) / lifetime * dt;
    return fxBase::update(dt);
}

static int size_over_life(const float* keys, int count, float life, float lifetime)
{
    const fxKeyBlend blend = blend_over_life(life, lifetime, count);
    if (count <= 1) return to_int(keys[0]);
    return to_int(blend.f * keys[blend.k + 1] + (1 - blend.f) * keys[blend.k]);
}

int fxParticle::width_over_life() const
{
    return size_over_life(size_keys_x, size_key_count, life, lifetime);
}

int fxParticle::height_over_life() const
{
    return size_over_life(size_keys_y, size_key_count, life, lifetime);
}

void fxParticle::draw(modGraphics& graphics)
{
    graphics_interface& g = *graphics.interface_table;
    const cColor colour = colour_over_life();
    const int width = width_over_life();
    const int height = height_over_life();
    if (has_text) {
        draw_text(graphics, colour, width, height);
        return;
    }
    const fxSprite sprite{to_int(x), to_int(y), width, height, wrap(to_int(current_frame), cells_across),
                          cells_across, image_a, image_b};
    draw_sprite(g, sprite, colour);
}

void fxParticle::draw_text(modGraphics& graphics, const cColor& colour, int width, int height)
{
    graphics_interface& g = *graphics.interface_table;
    cVector2D<int32_t> glyph(width, height);
    cVector2D<int32_t> advance(to_int(0.75 * width), height);
    cColor pass_colour = colour;
    g.enable_inverse_multiply_blending();
    g.bind_texture(image_b, 0);
    g.draw_glyph_text(to_int(x), to_int(y), &glyph, &advance, text.c_str(), &pass_colour, -1, true, false, true,
                      false);
    g.enable_additive_blending();
    g.bind_texture(image_a, 0);
    g.draw_glyph_text(to_int(x), to_int(y), &glyph, &advance, text.c_str(), &pass_colour, -1, true, false, false,
                      false);
    g.disable_blending();
}

bool add_particle(const fxParticle& templ, float x, float y, float vx, float vy)
{
    fxParticle* particle = fx_module().particles.take();
    if (!particle) return false;
    *particle = templ;
    particle->active = true;
    particle->life = particle->lifetime;
    particle->x = x;
    particle->y = y;
    particle->vx = vx;
    particle->vy = vy;
    return true;
}

// Fills a template from the shared particle arguments; false for a life of 0 or less.
bool fill_particle_template(fxParticle& templ, float* size_keys_x, float* size_keys_y, int16_t size_key_count,
                            cColor** colour_keys, int16_t colour_key_count, float life, float ax, float ay,
                            float drag_x, float drag_y, int image_a, int image_b, int16_t cells_across,
                            int16_t frames_over_life, float current_frame)
{
    if (!templ.set_up(life, colour_keys, colour_key_count)) return false;
    templ.size_key_count = copy_float_keys(templ.size_keys_x, size_keys_x, size_key_count);
    copy_float_keys(templ.size_keys_y, size_keys_y, size_key_count);
    templ.ax = ax;
    templ.ay = ay;
    templ.drag_x = drag_x;
    templ.drag_y = drag_y;
    templ.image_a = image_a;
    templ.image_b = image_b;
    templ.cells_across = cells_across < 1 ? int16_t(1) : cells_across;
    templ.frames_over_life = frames_over_life;
    templ.current_frame = current_frame;
    return true;
}

void __mFX_particle_add(float* x, float* y, float* size_keys_x, float* size_keys_y, int16_t* size_key_count,
                        cColor** colour_keys, int16_t* colour_key_count, float* life, float* vx, float* vy,
                        float* ax, float* ay, float* drag_x, float* drag_y, int* image_a, int* image_b,
                        int16_t* cells_across, int16_t* frames_over_life, float* current_frame, const char* text)
{
    if (!all_given(x, y, size_key_count, colour_key_count, life, vx, vy, ax, ay, drag_x, drag_y, image_a, image_b,
                   cells_across, frames_over_life, current_frame))
        return;
    fxParticle templ;
    if (!fill_particle_template(templ, size_keys_x, size_keys_y, *size_key_count, colour_keys, *colour_key_count,
                                *life, *ax, *ay, *drag_x, *drag_y, *image_a, *image_b, *cells_across,
                                *frames_over_life, *current_frame)) {
        refuse_life("a particle");
        return;
    }
    if (text) {
        templ.has_text = true;
        templ.text = text;
        templ.image_a = templ.image_b = __mGraphics_instance()->glyph_texture;
    }
    add_particle(templ, *x, *y, *vx, *vy);
}
