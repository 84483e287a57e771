// Faults an image file's header shows before its loader is given the file.
// SDL_image's loaders make the whole surface from the size in the header
// before they read a pixel, and its GIF loader has faults of its own, so a
// few forged bytes could cost a gigabyte, a hang or a crash. Each check
// leaves the file where it found it and returns null when the loader may have
// the file (it reports any other damage itself).
#pragma once

#include <SDL.h>

#include <cstddef>

namespace trellis {

// The most pixels an image may have: an RGBA array of 256 MiB. A header of a
// few bytes can announce 65535 x 65535 pixels, 16 GiB.
constexpr size_t kMaxImagePixels = size_t(8192) * 8192;

const char* bmp_header_fault(SDL_RWops* file);
const char* png_header_fault(SDL_RWops* file);
const char* jpeg_header_fault(SDL_RWops* file);
const char* gif_header_fault(SDL_RWops* file);

}  // namespace trellis
