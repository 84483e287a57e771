// trellis's PNG writer over libpng, exported for any caller that holds an
// SDL surface. Both return 0 on success and -1 with the reason in SDL_GetError.
#pragma once

#include <SDL.h>

#include "base/keel.h"

// compression: 0 stores unfiltered, uncompressed data; negative is the
// library's default; 1..9 that level; 10 and above 9.
KEEL_API int IMG_SavePNG(const char* file, SDL_Surface* surface, int compression);
KEEL_API int IMG_SavePNG_RW(SDL_RWops* destination, SDL_Surface* surface, int compression);
