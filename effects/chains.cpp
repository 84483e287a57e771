#include "effects/chains.h"

#include <cmath>
#include <utility>

#include "base/modules.h"
#include "effects/module.h"
#include "effects/sparkle.h"
#include "effects/sprite.h"

namespace {

struct Direction {
    double x, y;
};

Direction normalised(double x, double y)
{
    const double length = std::sqrt(x * x + y * y);
    if (!(length > 0) || !std::isfinite(length)) return {0, 0};
    return {x / length, y / length};
}

}  // namespace

bool fxChain::update(float dt)
{
    phase += float(animation_rate) * float(cells_across) / lifetime * dt;
    return fxBase::update(dt);
}

float fxChain::width_over_life() const
{
    const float h = life / lifetime;
    return (1 - h) * final_width + h * initial_width;
}

fxChain::Corner fxChain::cross_at(int i) const
{
    Direction from_previous{0, 0}, to_next{0, 0};
    if (i > 0) from_previous = normalised(point_x[i] - point_x[i - 1], point_y[i] - point_y[i - 1]);
    if (i + 1 < point_count) to_next = normalised(point_x[i + 1] - point_x[i], point_y[i + 1] - point_y[i]);
    const Direction mean = normalised(from_previous.x + to_next.x, from_previous.y + to_next.y);
    return {mean.y, -mean.x};
}

// One segment as two triangles, each pass drawn like a sprite: the mask
// darkens by the alpha, the glow adds the colour.
void fxChain::draw_piece(graphics_interface& g, int segment, float width, int cell, const cColor& colour) const
{
    const Corner near_cross = cross_at(segment), far_cross = cross_at(segment + 1);
    const double half = width / 2.0;
    const double ax = point_x[segment], ay = point_y[segment];
    const double bx = point_x[segment + 1], by = point_y[segment + 1];
    const int a1x = to_int(ax + near_cross.x * half), a1y = to_int(ay + near_cross.y * half);
    const int a2x = to_int(ax - near_cross.x * half), a2y = to_int(ay - near_cross.y * half);
    const int b1x = to_int(bx + far_cross.x * half), b1y = to_int(by + far_cross.y * half);
    const int b2x = to_int(bx - far_cross.x * half), b2y = to_int(by - far_cross.y * half);

    const int c = draw_mode == 1 ? cell - segment : cell;
    double u_near = double(c) / cells_across, u_far = double(c + 1) / cells_across;
    if (draw_mode == 2 && segment % 2 == 1) std::swap(u_near, u_far);

    auto pass = [&](int image, cColor tint) {
        g.bind_texture(image, 0);
        g.draw_textured_triangle(a1x, a1y, u_near, 0, b1x, b1y, u_far, 0, b2x, b2y, u_far, 1, &tint, &tint, &tint);
        g.bind_texture(image, 0);
        g.draw_textured_triangle(a1x, a1y, u_near, 0, b2x, b2y, u_far, 1, a2x, a2y, u_near, 1, &tint, &tint, &tint);
    };
    if (strip_mask_image == -1) {
        g.enable_alpha_blending();
    } else {
        g.enable_inverse_multiply_blending();
        pass(strip_mask_image, grey_of(colour));
    }
    g.enable_additive_blending();
    pass(strip_glow_image, colour);
    g.disable_blending();
}

void fxChain::draw(modGraphics& graphics)
{
    graphics_interface& g = *graphics.interface_table;
    const cColor colour = colour_over_life();
    const float width = width_over_life();
    const int cell = wrap(to_int(phase), cells_across);
    for (int segment = 0; segment + 1 < point_count; ++segment) draw_piece(g, segment, width, cell, colour);
    const int size = to_int(width);
    for (int i = 0; i < point_count; ++i) {
        const fxSprite node{to_int(point_x[i]), to_int(point_y[i]), size, size, cell, cells_across,
                            node_glow_image, node_mask_image};
        draw_sprite(g, node, colour);
    }
    g.disable_blending();
}

void __mFX_chain_add(float* xs, float* ys, int16_t* point_count, cColor** colour_keys, int16_t* colour_key_count,
                     float* life, float* final_width, float* initial_width, int* strip_glow_image,
                     int* strip_mask_image, int* node_glow_image, int* node_mask_image, int16_t* cells_across,
                     int16_t* animation_rate, float* phase, int16_t* draw_mode)
{
    if (!all_given(point_count, colour_key_count, life, final_width, initial_width, strip_glow_image,
                   strip_mask_image, node_glow_image, node_mask_image, cells_across, animation_rate, phase,
                   draw_mode))
        return;
    if (!(*life > 0)) {
        refuse_life("a chain");
        return;
    }
    const int count = *point_count < 0 ? 0 : *point_count > kMaxChainPoints ? kMaxChainPoints : *point_count;
    if (count > 0 && (!xs || !ys)) return;
    fxChain* chain = fx_module().chains.take();
    if (!chain) return;
    chain->set_up(*life, colour_keys, *colour_key_count);
    chain->point_count = int16_t(count);
    for (int i = 0; i < kMaxChainPoints; ++i) {
        chain->point_x[i] = i < count ? xs[i] : 0.0f;
        chain->point_y[i] = i < count ? ys[i] : 0.0f;
    }
    chain->final_width = *final_width;
    chain->initial_width = *initial_width;
    chain->strip_glow_image = *strip_glow_image;
    chain->strip_mask_image = *strip_mask_image;
    chain->node_glow_image = *node_glow_image;
    chain->node_mask_image = *node_mask_image;
    chain->cells_across = *cells_across < 1 ? int16_t(1) : *cells_across;
    chain->animation_rate = *animation_rate;
    chain->phase = *phase;
    chain->draw_mode = *draw_mode >= 0 && *draw_mode <= 2 ? *draw_mode : int16_t(0);
}
