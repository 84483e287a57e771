// The PNG writer: SDL surfaces to PNG through libpng. 8-bit surfaces become
// palette images (their colour key a tRNS chunk); everything else is written
// as 8-bit RGB or RGBA, straight from the surface when its bytes already lie
// in that order, else from a converted copy.
#include "platform/png_writer.h"

#include <png.h>

#include <cstdlib>

#include "platform/images.h"

namespace {

using trellis::kAlphaMask;
using trellis::kBlueMask;
using trellis::kGreenMask;
using trellis::kRedMask;
constexpr int kLibraryDefaultLevel = -1;

int fail(const char* reason)
{
    SDL_SetError("%s", reason);
    return -1;
}

// Palette and transparency entries of an 8-bit surface, owned by the writer.
struct PngPalette {
    png_colorp colors = nullptr;
    int color_count = 0;
    png_bytep transparency = nullptr;
    int transparency_count = 0;
};

void write_to_stream(png_structp png, png_bytep data, png_size_t length)
{
    auto* destination = static_cast<SDL_RWops*>(png_get_io_ptr(png));
    if (SDL_RWwrite(destination, data, 1, int(length)) != int(length)) png_error(png, "short write");
}

// libpng's own flush would treat the stream as a FILE.
void flush_nothing(png_structp)
{
}

bool has_rgba_bytes(const SDL_PixelFormat* format)
{
    return format->BytesPerPixel == 4 && format->Rmask == kRedMask && format->Gmask == kGreenMask &&
           format->Bmask == kBlueMask && format->Amask == kAlphaMask;
}

bool has_rgb_bytes(const SDL_PixelFormat* format)
{
    return format->BytesPerPixel == 3 && format->Amask == 0 && format->Rmask == kRedMask &&
           format->Gmask == kGreenMask && format->Bmask == kBlueMask;
}

bool is_palette_surface(const SDL_Surface* surface)
{
    return surface->format->BitsPerPixel == 8 && surface->format->palette;
}

// A copy in RGB or RGBA byte order; with alpha it needs four bytes a pixel.
SDL_Surface* converted_copy(SDL_Surface* source)
{
    const bool alpha = source->format->Amask != 0;
    SDL_Surface* copy = SDL_CreateRGBSurface(SDL_SWSURFACE, source->w, source->h, alpha ? 32 : 24, kRedMask,
                                             kGreenMask, kBlueMask, alpha ? kAlphaMask : 0);
    if (!copy) {
        fail("Couldn't allocate temp surface");
        return nullptr;
    }
    const Uint32 blending = source->flags & SDL_SRCALPHA;
    const Uint8 surface_alpha = source->format->alpha;
    if (blending) SDL_SetAlpha(source, 0, surface_alpha);
    const bool blitted = SDL_BlitSurface(source, nullptr, copy, nullptr) == 0;
    if (blending) SDL_SetAlpha(source, blending, surface_alpha);
    if (!blitted) {
        SDL_FreeSurface(copy);
        fail("Couldn't blit surface to temp surface");
        return nullptr;
    }
    return copy;
}

SDL_Surface* rows_source(SDL_Surface* surface)
{
    const SDL_PixelFormat* format = surface->format;
    if (is_palette_surface(surface) || has_rgba_bytes(format) || has_rgb_bytes(format)) return surface;
    return converted_copy(surface);
}

bool fill_palette(const SDL_Surface* surface, PngPalette& palette)
{
    const SDL_Palette* source = surface->format->palette;
    palette.color_count = source->ncolors < 256 ? source->ncolors : 256;
    palette.colors = static_cast<png_colorp>(malloc(sizeof(png_color) * 256));
    if (!palette.colors) {
        fail("Couldn't create memory for palette");
        return false;
    }
    for (int i = 0; i < palette.color_count; ++i) {
        palette.colors[i].red = source->colors[i].r;
        palette.colors[i].green = source->colors[i].g;
        palette.colors[i].blue = source->colors[i].b;
    }
    const Uint32 key = surface->format->colorkey;
    if (!(surface->flags & SDL_SRCCOLORKEY) || key >= Uint32(palette.color_count)) return true;
    palette.transparency_count = int(key) + 1;
    palette.transparency = static_cast<png_bytep>(malloc(size_t(palette.transparency_count)));
    if (!palette.transparency) {
        fail("Couldn't create memory for palette transparency");
        return false;
    }
    for (int i = 0; i < palette.transparency_count; ++i) palette.transparency[i] = i == int(key) ? 0 : 255;
    return true;
}

void set_compression(png_structp png, int compression)
{
    if (compression == 0) png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE);
    const int level = compression < 0 ? kLibraryDefaultLevel : (compression > 9 ? 9 : compression);
    png_set_compression_level(png, level);
}

void set_header(png_structp png, png_infop info, const SDL_Surface* surface, const PngPalette& palette)
{
    int color_type = PNG_COLOR_TYPE_RGB;
    if (is_palette_surface(surface))
        color_type = PNG_COLOR_TYPE_PALETTE;
    else if (surface->format->Amask)
        color_type = PNG_COLOR_TYPE_RGB_ALPHA;
    png_set_IHDR(png, info, png_uint_32(surface->w), png_uint_32(surface->h), 8, color_type, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (color_type != PNG_COLOR_TYPE_PALETTE) return;
    png_set_PLTE(png, info, palette.colors, palette.color_count);
    if (palette.transparency) png_set_tRNS(png, info, palette.transparency, palette.transparency_count, nullptr);
}

// libpng reports errors by a long jump back here; nothing in this frame
// needs unwinding.
int write_with_recovery(png_structp png, png_infop info, SDL_RWops* destination, SDL_Surface* surface,
                        png_bytepp rows, int compression, const PngPalette& palette)
{
    if (setjmp(png_jmpbuf(png))) return fail("Unknown error writing PNG");
    png_set_write_fn(png, destination, write_to_stream, flush_nothing);
    set_compression(png, compression);
    set_header(png, info, surface, palette);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, info);
    return 0;
}

int write_locked(png_structp png, png_infop info, SDL_RWops* destination, SDL_Surface* surface, png_bytepp rows,
                 int compression, const PngPalette& palette)
{
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return fail("Couldn't lock the surface");
    for (int y = 0; y < surface->h; ++y) rows[y] = static_cast<png_bytep>(surface->pixels) + y * surface->pitch;
    const int result = write_with_recovery(png, info, destination, surface, rows, compression, palette);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    return result;
}

int write_surface(SDL_RWops* destination, SDL_Surface* surface, int compression)
{
    png_bytepp rows = static_cast<png_bytepp>(malloc(sizeof(png_bytep) * size_t(surface->h)));
    if (!rows) return fail("Couldn't allocate memory for rowpointers");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    PngPalette palette;
    int result = -1;
    if (!png)
        fail("Couldn't allocate memory for PNG file");
    else if (!info)
        fail("Couldn't allocate image information for PNG file");
    else if (!is_palette_surface(surface) || fill_palette(surface, palette))
        result = write_locked(png, info, destination, surface, rows, compression, palette);
    png_destroy_write_struct(&png, &info);
    free(palette.colors);
    free(palette.transparency);
    free(rows);
    return result;
}

}  // namespace

int IMG_SavePNG(const char* file, SDL_Surface* surface, int compression)
{
    SDL_RWops* destination = file ? SDL_RWFromFile(file, "wb") : nullptr;
    if (!destination) return -1;
    const int result = IMG_SavePNG_RW(destination, surface, compression);
    SDL_RWclose(destination);
    return result;
}

int IMG_SavePNG_RW(SDL_RWops* destination, SDL_Surface* surface, int compression)
{
    if (!destination || !surface) return fail("No destination or surface for the PNG");
    if (surface->w <= 0 || surface->h <= 0) return fail("Cannot write an empty image as PNG");
    SDL_Surface* source = rows_source(surface);
    if (!source) return -1;
    const int result = write_surface(destination, source, compression);
    if (source != surface) SDL_FreeSurface(source);
    return result;
}
