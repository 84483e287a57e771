// Bitmap operations on RGBA pixel arrays (4 bytes a pixel, rows in order).
#pragma once

#include <cstdint>
#include <string>

#include "base/keel.h"

// Reads an image file through the graphics module into a new[] pixel array;
// a failed read leaves width and height 0 and pixels null.
KEEL_API void __cBitmap_load(std::string path, uint16_t* width, uint16_t* height, uint8_t** pixels);
KEEL_API bool __cBitmap_save(std::string path, uint16_t width, uint16_t height, uint8_t* pixels);

class cColor;

// A new[] array of width x height opaque black pixels.
KEEL_API void __cBitmap_init(int16_t width, int16_t height, uint8_t** pixels);
// Pixel index: each channel as byte / 255.
KEEL_API void __cBitmap_get_pixel(cColor* out, uint8_t* pixels, int index);
// Each byte = channel x 255, truncated; the channels are taken to lie in 0..1.
KEEL_API void __cBitmap_set_pixel(cColor* color, uint8_t* pixels, int index);
KEEL_API void __cBitmap_set_to_color(cColor* color, uint8_t* pixels, int count);
// Adds colour x weight to every channel: full weight inside the radius, a
// Gaussian fall-off just outside it, none from 4 sigma squared beyond.
KEEL_API void __cBitmap_gauss_brush(cColor* color, uint8_t* pixels, int cx, int cy, int width, int height,
                                    float* radius, float* sigma);
// Replaces a height map (the mean of R, G, B scaled by alpha) by its normal
// map; neighbours wrap around the edges.
KEEL_API void __cBitmap_bump_map_to_normal_map(uint8_t* pixels, int width, int height, float strength);
// Pixels of the key's colour turn opaque black, all others opaque white.
KEEL_API void __cBitmap_color_key_mask(cColor* key, uint8_t* pixels, int count);
// R, G and B take channel's value (0..3; any other channel leaves the pixels alone); A becomes 255.
KEEL_API void __cBitmap_monochrome_saturate_by_channel(uint8_t channel, uint8_t* pixels, int count);
KEEL_API void __cBitmap_multiply(float factor, uint8_t* pixels, int count);
KEEL_API void __cBitmap_darken(uint8_t amount, uint8_t* pixels, int count);
KEEL_API void __cBitmap_brighten(uint8_t amount, uint8_t* pixels, int count);
