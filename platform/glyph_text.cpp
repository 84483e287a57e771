// Text from the 16 x 16 glyph sheet: character c is cell (c mod 16, c div 16).
// "##" shows one '#', "#P" moves to column 4, "#C" and four digits r, g, b, i
// sets the colour; '\n' starts the next line. The caller binds the sheet.
#include <GL/glew.h>

#include "base/color.h"
#include "base/strings.h"
#include "base/vector.h"
#include "platform/drawing.h"

namespace trellis {

namespace {

constexpr double kCellSize = 1.0 / 16;
constexpr unsigned char kMaskGlyph = '*';
constexpr unsigned char kCursorGlyph = '_';
constexpr int kPanelColumn = 4;

struct GlyphOptions {
    int cursor;
    bool underscores_as_spaces;
    bool grey;
    bool masked;
};

void apply_color(const cColor& color)
{
    glColor4f(color.r, color.g, color.b, color.a);
}

cColor base_color(const cColor& color, bool grey)
{
    if (grey) return cColor(color.a, color.a, color.a, 1);
    return cColor(color.r * color.a, color.g * color.a, color.b * color.a, 1);
}

float digit(char c)
{
    return float(c - '0');
}

// digits: r, g, b and the intensity i; eighths of the text's own colour.
cColor escape_color(const char* digits, const cColor& color, bool grey)
{
    const float q = 0.125f * digit(digits[3]) * color.a;
    if (grey) return cColor(q, q, q, 1);
    return cColor(q * 0.125f * digit(digits[0]) * color.r, q * 0.125f * digit(digits[1]) * color.g,
                  q * 0.125f * digit(digits[2]) * color.b, 1);
}

bool has_four_characters(const char* text)
{
    return text[0] && text[1] && text[2] && text[3];
}

// Lays out quads column by column and line by line; counts what it drew.
class GlyphWriter {
public:
    GlyphWriter(const cVector2D<int32_t>& glyph_size, const cVector2D<int32_t>& advance)
        : glyph_size(glyph_size), advance(advance) {}

    void glyph(unsigned char character)
    {
        quad(character);
        ++column;
    }

    void quad(unsigned char character)
    {
        const double u = (character % 16) * kCellSize, v = (character / 16) * kCellSize;
        const int x = column * advance.x, y = line * advance.y;
        glTexCoord2d(u, v);
        glVertex2i(x, y);
        glTexCoord2d(u + kCellSize, v);
        glVertex2i(x + glyph_size.x, y);
        glTexCoord2d(u + kCellSize, v + kCellSize);
        glVertex2i(x + glyph_size.x, y + glyph_size.y);
        glTexCoord2d(u, v + kCellSize);
        glVertex2i(x, y + glyph_size.y);
        ++quads;
    }

    void new_line()
    {
        column = 0;
        ++line;
    }

    void panel_column()
    {
        if (column > 0 && line > 0) ++line;
        column = kPanelColumn;
    }

    int quads = 0;

private:
    cVector2D<int32_t> glyph_size, advance;
    int column = 0;
    int line = 0;
};

void write_text(GlyphWriter& writer, const char* text, const cColor& color, const GlyphOptions& options)
{
    size_t i = 0;
    for (; text[i]; ++i) {
        if (int(i) == options.cursor) writer.quad(kCursorGlyph);
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '\n') {
            writer.new_line();
            continue;
        }
        if (c == '#' && text[i + 1] == 'P') {
            writer.panel_column();
            ++i;
            continue;
        }
        if (c == '#' && text[i + 1] == 'C') {
            if (!has_four_characters(&text[i + 2])) return;
            apply_color(escape_color(&text[i + 2], color, options.grey));
            i += 5;
            continue;
        }
        if (c == '#' && text[i + 1] == '#') ++i;
        if (c == '_' && options.underscores_as_spaces) c = ' ';
        writer.glyph(options.masked ? kMaskGlyph : c);
    }
    if (int(i) == options.cursor) writer.quad(kCursorGlyph);
}

// Centred text sits on (x, y) across by its longest line, down by its lines.
void text_origin(int x, int y, const cVector2D<int32_t>& glyph_size, const cVector2D<int32_t>& advance,
                 const char* text, bool centred, int* origin_x, int* origin_y)
{
    *origin_x = x;
    *origin_y = y;
    if (!centred) return;
    int columns = 0, lines = 0;
    __mystring_extract_width_and_height_from_string(text, &columns, &lines);
    *origin_x += -advance.x * (columns - 1) / 2 - glyph_size.x / 2;
    *origin_y += -glyph_size.y * (lines - 1) / 2 - glyph_size.y / 2;
}

}  // namespace

void draw_glyph_text(int x, int y, cVector2D<int32_t>* glyph_size, cVector2D<int32_t>* advance, const char* text,
                     cColor* color, int cursor, bool centred, bool underscores_as_spaces, bool grey, bool masked)
{
    if (!glyph_size || !advance || !text || !color) return;
    int origin_x = 0, origin_y = 0;
    text_origin(x, y, *glyph_size, *advance, text, centred, &origin_x, &origin_y);
    GlyphWriter writer(*glyph_size, *advance);
    glPushMatrix();
    glTranslated(origin_x, origin_y, 0);
    apply_color(base_color(*color, grey));
    glBegin(GL_QUADS);
    write_text(writer, text, *color, {cursor, underscores_as_spaces, grey, masked});
    glEnd();
    glPopMatrix();
    count_draw(4 * writer.quads, 2 * writer.quads);
}

}  // namespace trellis
