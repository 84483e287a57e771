#include "framework/screen_text.h"

void draw_screen_box(const cVector2D<int32_t>& size, cGraphicsText* text, const cVector2D<int32_t>& centre,
                     const cColor& color)
{
    const cVector2D<int32_t> top_left(centre.x - size.x / 2, centre.y - size.y / 2);
    draw_screen_textured_box(text, 0, top_left, size, color, false, false, cVector2D<double>(0, 0));
}

void draw_screen_textured_box(cGraphicsText* text, int texture, const cVector2D<int32_t>& top_left,
                              const cVector2D<int32_t>& size, const cColor& color, bool flip_u, bool flip_v,
                              const cVector2D<double>& uv_size)
{
    graphics_interface* table = *text->table;
    cColor tint = color;
    table->bind_texture(texture, 0);
    table->draw_textured_rectangle(top_left.x, top_left.y, size.x, size.y, 0, 0, 1, 1, &tint, flip_u, flip_v,
                                   uv_size.x, uv_size.y);
}

void draw_glyph_string(cGraphicsText* text, const cVector2D<int32_t>& position, const cVector2D<int32_t>& glyph_size,
                       const cVector2D<int32_t>& advance, const char* string, const cColor& color, int32_t cursor,
                       bool centred, bool underscores_as_blanks, bool masked)
{
    graphics_interface* table = *text->table;
    // The slot takes pointers it only reads through.
    cColor tint = color;
    cVector2D<int32_t> glyphs = glyph_size;
    cVector2D<int32_t> step = advance;
    table->enable_inverse_multiply_blending();
    table->bind_texture(*text->glyph_mask, 0);
    table->draw_glyph_text(position.x, position.y, &glyphs, &step, string, &tint, cursor, centred,
                           underscores_as_blanks, true, masked);
    table->enable_additive_blending();
    table->bind_texture(*text->glyph, 0);
    table->draw_glyph_text(position.x, position.y, &glyphs, &step, string, &tint, cursor, centred,
                           underscores_as_blanks, false, masked);
    table->disable_blending();
}

void draw_screen_text(cGraphicsText* text, const cVector2D<int32_t>& position, int32_t glyph_size, int32_t advance,
                      const char* string, const cColor& color, int32_t cursor, bool centred,
                      bool underscores_as_blanks, bool masked)
{
    draw_glyph_string(text, position, cVector2D<int32_t>(glyph_size, glyph_size),
                      cVector2D<int32_t>(advance, glyph_size), string, color, cursor, centred, underscores_as_blanks,
                      masked);
}
