// Image files: the supported formats, reading any of them into RGBA bytes
// (4 a pixel, rows from the top) and writing RGBA bytes as ".bmp" or ".png".
#pragma once

#include <cstdint>

namespace trellis {

// Where each channel of an RGBA byte quad lies in a 32-bit pixel on this
// little-endian machine.
constexpr uint32_t kRedMask = 0x000000FF;
constexpr uint32_t kGreenMask = 0x0000FF00;
constexpr uint32_t kBlueMask = 0x00FF0000;
constexpr uint32_t kAlphaMask = 0xFF000000;

// Extension of format index (0 .. count - 1); null for any other index.
const char* get_image_format_name(int index);
int get_image_format_count();
// On success *rgba is a new[] array the caller frees; on failure width and
// height are 0 and *rgba is null.
void import_image(const char* path, uint16_t* width, uint16_t* height, uint8_t** rgba);
bool export_image(const char* path, uint16_t width, uint16_t height, uint8_t* rgba);

}  // namespace trellis
