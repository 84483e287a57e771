#include "effects/sprite.h"

#include "effects/fx_base.h"

cColor grey_of(const cColor& colour)
{
    return cColor(colour.a, colour.a, colour.a, 1);
}

static void draw_cell(graphics_interface& g, const fxSprite& sprite, int image, cColor colour)
{
    g.bind_texture(image, 0);
    const int left = to_int(double(sprite.x) - sprite.width / 2);
    const int top = to_int(double(sprite.y) - sprite.height / 2);
    g.draw_textured_rectangle(left, top, sprite.width, sprite.height, sprite.cell, 0, sprite.cells_across, 1, &colour,
                              false, false, 0, 0);
}

void draw_sprite(graphics_interface& g, const fxSprite& sprite, const cColor& colour)
{
    g.enable_inverse_multiply_blending();
    draw_cell(g, sprite, sprite.mask_image, grey_of(colour));
    g.enable_additive_blending();
    draw_cell(g, sprite, sprite.glow_image, colour);
    g.disable_blending();
}
