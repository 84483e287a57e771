// Bitmap operations on RGBA pixel arrays (4 bytes a pixel, rows in order).
#pragma once

#include <string>
#include "base/keel.h"

// Reads an image file through the graphics module into a new[] pixel array;
// a failed read leaves width and height 0 and pixels null.
KEEL_API void __cBitmap_load(std::string path, uint16_t* width, uint16_t* height, uint8_t** pixels);
KEEL_API bool __cBitmap_save(std::string path, uint16_t width, uint16_t height, uint8_t* pixels);
