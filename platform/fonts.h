// TrueType fonts, and lines of text rendered into new textures.
#pragma once

#include <cstdint>

namespace trellis {

// Font id (its place in opening order) or -1.
int open_font(const char* file, uint16_t point_size);
// A new texture of the text in white, each side rounded up to a power of two
// (the sizes go to width and height); -1 for an unknown font or empty text.
int render_text(const char* text, int font, uint16_t* width, uint16_t* height);
// Closing the window closes every font, before the font library stops.
void close_fonts();

}  // namespace trellis
