// 2D text and flat boxes in window pixels (origin top-left), drawn through
// the graphics module's text accessor: every menu, lobby, chat and HUD text.
#pragma once

#include <cstdint>

#include "base/color.h"
#include "base/modules.h"
#include "base/vector.h"

// A flat box of the given size centred on centre; an odd size puts the extra
// pixel on the right and bottom.
void draw_screen_box(const cVector2D<int32_t>& size, cGraphicsText* text, const cVector2D<int32_t>& centre,
                     const cColor& color);
// A texture stretched over the box at top_left; a UV size of (0, 0) means the
// whole texture.
void draw_screen_textured_box(cGraphicsText* text, int texture, const cVector2D<int32_t>& top_left,
                              const cVector2D<int32_t>& size, const cColor& color, bool flip_u, bool flip_v,
                              const cVector2D<double>& uv_size);
// Glyph-sheet text in two passes: the mask darkens the glyph shapes by the
// colour's alpha, then the coloured glyphs are added. cursor -1 is none.
void draw_glyph_string(cGraphicsText* text, const cVector2D<int32_t>& position, const cVector2D<int32_t>& glyph_size,
                       const cVector2D<int32_t>& advance, const char* string, const cColor& color, int32_t cursor,
                       bool centred, bool underscores_as_blanks, bool masked);
// Square glyphs of glyph_size pixels, advance pixels apart on lines glyph_size apart.
void draw_screen_text(cGraphicsText* text, const cVector2D<int32_t>& position, int32_t glyph_size, int32_t advance,
                      const char* string, const cColor& color, int32_t cursor, bool centred,
                      bool underscores_as_blanks, bool masked);
