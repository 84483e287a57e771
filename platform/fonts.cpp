// Fonts through SDL_ttf. Text is rendered blended in white, then copied to
// the top-left of a power-of-two surface whose bytes are RGBA in memory, the
// layout GL_RGBA uploads.
#include "platform/fonts.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <vector>

#include "platform/images.h"
#include "platform/window.h"

namespace trellis {

namespace {

std::vector<TTF_Font*> fonts;

int power_of_two_at_least(int size)
{
    int power = 1;
    while (power < size) power *= 2;
    return power;
}

SDL_Surface* rendered_text(const char* text, int font)
{
    if (!text || !text[0] || font < 0 || font >= int(fonts.size())) return nullptr;
    const SDL_Color white = {255, 255, 255, 0};
    return TTF_RenderText_Blended(fonts[size_t(font)], text, white);
}

// The text's alpha is copied, not blended onto the transparent sheet.
SDL_Surface* power_of_two_copy(SDL_Surface* text)
{
    const int width = power_of_two_at_least(text->w);
    const int height = power_of_two_at_least(text->h);
    if (width > 0xFFFF || height > 0xFFFF) return nullptr;
    SDL_Surface* sheet =
        SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 32, kRedMask, kGreenMask, kBlueMask, kAlphaMask);
    if (!sheet) return nullptr;
    SDL_SetAlpha(text, 0, SDL_ALPHA_OPAQUE);
    if (SDL_BlitSurface(text, nullptr, sheet, nullptr) != 0) {
        SDL_FreeSurface(sheet);
        return nullptr;
    }
    return sheet;
}

}  // namespace

int open_font(const char* file, uint16_t point_size)
{
    TTF_Font* font = file ? TTF_OpenFont(file, point_size) : nullptr;
    if (!font) return -1;
    fonts.push_back(font);
    return int(fonts.size()) - 1;
}

int render_text(const char* text, int font, uint16_t* width, uint16_t* height)
{
    SDL_Surface* rendered = rendered_text(text, font);
    if (!rendered) return -1;
    SDL_Surface* sheet = power_of_two_copy(rendered);
    SDL_FreeSurface(rendered);
    if (!sheet) return -1;
    uint16_t sheet_width = uint16_t(sheet->w);
    uint16_t sheet_height = uint16_t(sheet->h);
    if (width) *width = sheet_width;
    if (height) *height = sheet_height;
    const int texture = create_texture(&sheet_width, &sheet_height, static_cast<uint8_t*>(sheet->pixels), true,
                                       false, false, -1, nullptr);
    SDL_FreeSurface(sheet);
    return texture;
}

void close_fonts()
{
    for (TTF_Font* font : fonts) TTF_CloseFont(font);
    fonts.clear();
}

}  // namespace trellis
