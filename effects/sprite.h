// The two-pass sprite every effect draws with: the mask image darkens what is
// behind by the alpha, then the glow image adds the colour.
#pragma once

#include "base/color.h"
#include "base/graphics_interface.h"

struct fxSprite {
    int x, y;  // centre
    int width, height;
    int cell, cells_across;  // a sheet of cells across by 1
    int glow_image, mask_image;
};

// (alpha, alpha, alpha, 1): how much of what is behind the mask pass takes away.
cColor grey_of(const cColor& colour);
// Slots 58, 55, 76 in the grey, 59, 55, 76 in the colour, 60.
void draw_sprite(graphics_interface& g, const fxSprite& sprite, const cColor& colour);
