#include "platform/tiff_image.h"

#include <tiffio.h>

#include <cstdarg>
#include <cstdint>

#include "platform/image_headers.h"

namespace trellis {

namespace {

// What libtiff may take at once beyond the RGBA image: its directory, colour
// maps and decoder tables.
constexpr uint64_t kTiffMargin = uint64_t(1) << 20;
// The RGBA reader takes at most four colour samples and an alpha from a
// pixel; a directory may claim thousands, each a plane of strips.
constexpr uint16_t kMostSamples = 8;

// Read through SDL_RWops; SDL_image's loader is not used because it keeps
// libtiff's handle (some kilobytes) whenever the pixels cannot be read.
tsize_t tiff_read(thandle_t source, tdata_t data, tsize_t size)
{
    return tsize_t(SDL_RWread(static_cast<SDL_RWops*>(source), data, 1, int(size)));
}

tsize_t tiff_write(thandle_t, tdata_t, tsize_t)
{
    return 0;
}

toff_t tiff_seek(thandle_t source, toff_t offset, int whence)
{
    return toff_t(SDL_RWseek(static_cast<SDL_RWops*>(source), int(offset), whence));
}

int tiff_close(thandle_t)
{
    return 0;
}

toff_t tiff_size(thandle_t source)
{
    SDL_RWops* rw = static_cast<SDL_RWops*>(source);
    const int here = SDL_RWtell(rw);
    const int end = SDL_RWseek(rw, 0, RW_SEEK_END);
    SDL_RWseek(rw, here, RW_SEEK_SET);
    return toff_t(end < 0 ? 0 : end);
}

int tiff_map(thandle_t, tdata_t*, toff_t*)
{
    return 0;
}

void tiff_unmap(thandle_t, tdata_t, toff_t)
{
}

// A refused image prints its one line through the caller; libtiff's own
// messages would add more on standard error.
int tiff_quiet(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

TIFF* open_tiff(SDL_RWops* source)
{
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    if (!options) return nullptr;
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, tmsize_t(kMaxImagePixels * 4 + kTiffMargin));
    TIFFOpenOptionsSetErrorHandlerExtR(options, tiff_quiet, nullptr);
    TIFFOpenOptionsSetWarningHandlerExtR(options, tiff_quiet, nullptr);
    TIFF* tiff = TIFFClientOpenExt("image", "rm", source, tiff_read, tiff_write, tiff_seek, tiff_close, tiff_size,
                                   tiff_map, tiff_unmap, options);
    TIFFOpenOptionsFree(options);
    return tiff;
}

struct TiffLayout {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t samples = 1;
    uint16_t planar = PLANARCONFIG_CONTIG;
};

TiffLayout layout_of(TIFF* tiff)
{
    TiffLayout layout;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &layout.planar);
    return layout;
}

// Every strip or tile lies within the file: libtiff would otherwise take a
// byte count of gigabytes at its word.
const char* data_fault(TIFF* tiff, uint64_t file_size)
{
    const uint32_t blocks = TIFFIsTiled(tiff) ? TIFFNumberOfTiles(tiff) : TIFFNumberOfStrips(tiff);
    for (uint32_t i = 0; i < blocks; ++i) {
        int missing = 0;
        const uint64_t offset = TIFFGetStrileOffsetWithErr(tiff, i, &missing);
        const uint64_t bytes = TIFFGetStrileByteCountWithErr(tiff, i, &missing);
        if (missing || offset > file_size || bytes > file_size - offset)
            return "TIFF pixel data past the end of the file";
    }
    return nullptr;
}

// What the reader takes to decode one strip or tile: separate planes are
// read side by side, up to four of them.
uint64_t block_buffer_bytes(TIFF* tiff, const TiffLayout& layout)
{
    const uint64_t block = TIFFIsTiled(tiff) ? TIFFTileSize64(tiff) : TIFFStripSize64(tiff);
    if (block == 0) return UINT64_MAX;
    return layout.planar == PLANARCONFIG_SEPARATE ? block * 4 : block;
}

// Why the image is refused before any pixel is read; null when it may be.
const char* tiff_fault(TIFF* tiff, const TiffLayout& layout, uint64_t file_size, char (&why)[1024])
{
    if (layout.width == 0 || layout.height == 0 || layout.width > 0xFFFF || layout.height > 0xFFFF ||
        uint64_t(layout.width) * layout.height > kMaxImagePixels)
        return "TIFF image size out of range";
    if (layout.samples == 0 || layout.samples > kMostSamples) return "TIFF image of too many samples a pixel";
    if (!TIFFRGBAImageOK(tiff, why)) return why;
    if (block_buffer_bytes(tiff, layout) > uint64_t(layout.width) * layout.height * 4 + kTiffMargin)
        return "TIFF strip or tile larger than its image";
    return data_fault(tiff, file_size);
}

SDL_Surface* read_rgba_surface(TIFF* tiff, const TiffLayout& layout)
{
    // libtiff writes each pixel as R, G, B, A bytes in memory, top row first.
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, int(layout.width), int(layout.height), 32, 0x000000FF,
                                                0x0000FF00, 0x00FF0000, 0xFF000000);
    if (!surface) return nullptr;
    if (!TIFFReadRGBAImageOriented(tiff, layout.width, layout.height, static_cast<uint32_t*>(surface->pixels),
                                   ORIENTATION_TOPLEFT, 0)) {
        SDL_FreeSurface(surface);
        SDL_SetError("TIFF image could not be read");
        return nullptr;
    }
    return surface;
}

}  // namespace

SDL_Surface* load_tiff(SDL_RWops* source)
{
    TIFF* tiff = open_tiff(source);
    if (!tiff) {
        SDL_SetError("Not a readable TIFF image");
        return nullptr;
    }
    const TiffLayout layout = layout_of(tiff);
    char why[1024] = {};
    const char* fault = tiff_fault(tiff, layout, tiff_size(source), why);
    SDL_Surface* surface = nullptr;
    if (fault)
        SDL_SetError("%s", fault);
    else
        surface = read_rgba_surface(tiff, layout);
    TIFFClose(tiff);
    return surface;
}

}  // namespace trellis
