// Draws the glyph sheet the engine's text uses: a 256 x 256 RGBA image with
// character c in cell (c mod 16, c div 16), grey glyph coverage on opaque
// black. Text is drawn in two passes over the same sheet: the background is
// multiplied by one minus the sheet's colour, then the sheet's colour times
// its alpha is added; coverage in the colour and a full alpha make that
// exactly the text laid over the background, and black leaves it alone.
//   font_sheet FONT.ttf OUT.png
#include <SDL.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <vector>

#include "tools/png_file.h"

static const int kCell = 16;
static const int kSheet = kCell * 16;
// Row of each cell on which the glyphs stand; descenders use the rows below.
static const int kBaseline = 12;

// Writes one rendered glyph's coverage into its cell: centred across, standing
// on the baseline (the rendered surface is cut to the glyph's own height).
static void place_glyph(SDL_Surface* glyph, int top_above_baseline, int cell_x, int cell_y,
                        std::vector<unsigned char>& rgba)
{
    SDL_LockSurface(glyph);
    const int left = cell_x * kCell + (kCell - glyph->w) / 2;
    const int top = cell_y * kCell + kBaseline - top_above_baseline;
    for (int y = 0; y < glyph->h; ++y) {
        for (int x = 0; x < glyph->w; ++x) {
            const int sx = left + x, sy = top + y;
            if (sx < cell_x * kCell || sx >= (cell_x + 1) * kCell || sy < cell_y * kCell || sy >= (cell_y + 1) * kCell)
                continue;
            const Uint32 pixel = static_cast<Uint32*>(glyph->pixels)[y * glyph->pitch / 4 + x];
            Uint8 r, g, b, a;
            SDL_GetRGBA(pixel, glyph->format, &r, &g, &b, &a);
            unsigned char* out = &rgba[size_t(sy * kSheet + sx) * 4];
            out[0] = out[1] = out[2] = a;
        }
    }
    SDL_UnlockSurface(glyph);
}

static bool write_png(const char* path, const std::vector<unsigned char>& rgba)
{
    return write_png_file(path, kSheet, kSheet, 4, rgba.data());
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: font_sheet FONT.ttf OUT.png\n");
        return 2;
    }
    if (TTF_Init() != 0) {
        fprintf(stderr, "ERROR: cannot start the font library: %s\n", TTF_GetError());
        return 1;
    }
    TTF_Font* font = TTF_OpenFont(argv[1], 13);
    if (!font) {
        fprintf(stderr, "ERROR: cannot open font %s: %s\n", argv[1], TTF_GetError());
        return 1;
    }
    std::vector<unsigned char> rgba(size_t(kSheet) * kSheet * 4, 0);
    for (size_t i = 3; i < rgba.size(); i += 4) rgba[i] = 255;
    const SDL_Color white = {255, 255, 255, 0};
    for (int c = 33; c < 256; ++c) {
        if (c >= 127 && c < 161) continue;  // control codes have no glyph
        int min_x, max_x, min_y, max_y, advance;
        if (TTF_GlyphMetrics(font, Uint16(c), &min_x, &max_x, &min_y, &max_y, &advance) != 0) continue;
        SDL_Surface* glyph = TTF_RenderGlyph_Blended(font, Uint16(c), white);
        if (!glyph) continue;
        place_glyph(glyph, max_y, c % 16, c / 16, rgba);
        SDL_FreeSurface(glyph);
    }
    TTF_CloseFont(font);
    TTF_Quit();
    if (!write_png(argv[2], rgba)) {
        fprintf(stderr, "ERROR: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
