#include "effects/fog.h"

#include <cstdio>
#include <cstdlib>

#include "base/modules.h"
#include "effects/fx_base.h"
#include "effects/module.h"
#include "effects/sparkle.h"

void fxFog::release()
{
    free(density);
    density = nullptr;
}

void fxFog::set_size(int16_t new_width, int16_t new_height)
{
    release();
    width = new_width;
    height = new_height;
    if (width <= 1 || height <= 1) return;
    // calloc: a large grid need not be touched to come back zeroed.
    density = static_cast<float*>(calloc(size_t(width) * size_t(height), sizeof(float)));
    if (!density) printf("ERROR: Could not allocate a fog grid of %d x %d\n", width, height);
}

void fxFog::change_point(int16_t x, int16_t y, float value)
{
    if (!density || x < 0 || y < 0 || x >= width || y >= height) return;
    density[size_t(x) + size_t(width) * size_t(y)] = value;
}

void fxFog::draw(modGraphics& graphics, int texture) const
{
    if (!density) return;
    graphics_interface& g = *graphics.interface_table;
    const double across = double(graphics.window_width) / (width - 1);
    const double down = double(graphics.window_height) / (height - 1);
    const int cell_width = to_int(2 * across), cell_height = to_int(2 * down);
    g.enable_inverse_multiply_blending();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const float d = density[size_t(x) + size_t(width) * size_t(y)];
            if (!(d > 0)) continue;
            cColor grey(d, d, d, 1);
            g.bind_texture(texture, 0);
            g.draw_textured_rectangle(to_int(x * across) - cell_width / 2, to_int(y * down) - cell_height / 2,
                                      cell_width, cell_height, 0, 0, 1, 1, &grey, false, false, 0, 0);
        }
    g.disable_blending();
}

void __mFX_fog_set_grid_size(int16_t* width, int16_t* height)
{
    if (!all_given(width, height)) return;
    fx_module().fog.set_size(*width, *height);
}

void __mFX_fog_change_point(int16_t* x, int16_t* y, float density)
{
    if (!all_given(x, y)) return;
    fx_module().fog.change_point(*x, *y, density);
}

void __mFX_fog_draw(int texture)
{
    modGraphics* graphics = bound_graphics();
    if (graphics) fx_module().fog.draw(*graphics, texture);
}
