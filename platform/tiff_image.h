// TIFF images through libtiff, whose directory alone decides how much it
// allocates: a file of a hundred bytes can ask for a strip of gigabytes. The
// directory is checked against the RGBA image it makes before any pixel is
// read, and libtiff is held to that size besides.
#pragma once

#include <SDL.h>

namespace trellis {

// A 32-bit RGBA surface, or null with the reason set through SDL_SetError.
SDL_Surface* load_tiff(SDL_RWops* source);

}  // namespace trellis
