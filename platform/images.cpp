// Reading image files into RGBA bytes through SDL and SDL_image, and writing
// RGBA bytes as BMP or PNG. The format comes from the path's ending, in any
// case; the path itself goes to the loader unchanged.
#include "platform/images.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cstdio>
#include <string>

#include "base/fileops.h"
#include "base/strings.h"
#include "platform/image_headers.h"
#include "platform/png_writer.h"
#include "platform/tiff_image.h"

namespace trellis {

namespace {

enum class ImageFormat { bmp, png, gif, jpg, tif, unsupported };

const char* const kFormatNames[] = {"bmp", "png", "gif", "jpg", "jpeg", "tif", "tiff"};
constexpr int kFormatCount = int(sizeof(kFormatNames) / sizeof(kFormatNames[0]));
const ImageFormat kFormatOfName[kFormatCount] = {ImageFormat::bmp, ImageFormat::png, ImageFormat::gif, ImageFormat::jpg,
                                                 ImageFormat::jpg, ImageFormat::tif, ImageFormat::tif};

void error_line(const std::string& message, const std::string& detail = "")
{
    printf("ERROR: %s%s\n", message.c_str(), detail.c_str());
}

std::string last_characters(const std::string& text, size_t count)
{
    return text.size() > count ? text.substr(text.size() - count) : text;
}

ImageFormat format_of(std::string path)
{
    __mystring_lower_case(&path[0]);
    for (int i = 0; i < kFormatCount; ++i) {
        const std::string ending = std::string(".") + kFormatNames[i];
        if (last_characters(path, ending.size()) == ending) return kFormatOfName[i];
    }
    return ImageFormat::unsupported;
}

// How one format is loaded and reported; header_fault, when set, is asked
// first (image_headers.h).
struct ImageLoader {
    ImageFormat format;
    SDL_Surface* (*load)(SDL_RWops* source);
    bool keeps_alpha;
    const char* (*header_fault)(SDL_RWops* source);
};

SDL_Surface* load_bmp(SDL_RWops* source)
{
    return SDL_LoadBMP_RW(source, 0);
}

const ImageLoader kLoaders[] = {
    {ImageFormat::bmp, load_bmp, false, bmp_header_fault},
    {ImageFormat::png, IMG_LoadPNG_RW, true, png_header_fault},
    {ImageFormat::tif, load_tiff, true, nullptr},
    {ImageFormat::jpg, IMG_LoadJPG_RW, false, jpeg_header_fault},
    {ImageFormat::gif, IMG_LoadGIF_RW, false, gif_header_fault},
};

const ImageLoader* loader_for(ImageFormat format)
{
    for (const ImageLoader& loader : kLoaders)
        if (loader.format == format) return &loader;
    return nullptr;
}

void report_load_failure(const ImageLoader& loader, const std::string& path)
{
    if (loader.format == ImageFormat::bmp)
        error_line("File load error");
    else
        error_line("File load error: ", std::string(SDL_GetError()) + " (" + path + ")");
}

void report_open_failure(const ImageLoader& loader, const std::string& path)
{
    if (loader.format == ImageFormat::png || loader.format == ImageFormat::tif)
        error_line("Unable to open file: ", path);
    else
        report_load_failure(loader, path);
}

// The format checks are warnings: the surface is read all the same.
void check_surface(const ImageLoader& loader, const SDL_Surface* surface, const std::string& path)
{
    const SDL_PixelFormat* format = surface->format;
    if (loader.format == ImageFormat::jpg && format->BytesPerPixel != 3) error_line("JPG is not 24bit: ", path);
    if (loader.format != ImageFormat::gif) return;
    if (!format->palette) error_line("Could not find GIF palette info: ", path);
    if (format->BytesPerPixel != 1) error_line("Gif is not 8bit: ", path);
}

// Reads pixels of any depth from 1 to 4 bytes through their own format, so
// palette, grey and 16-bit images come out as plain RGBA too.
class SurfaceReader {
public:
    SurfaceReader(const SDL_Surface* surface, bool keeps_alpha) : surface(surface), keeps_alpha(keeps_alpha) {}

    void read(int x, int y, uint8_t* out)
    {
        const SDL_PixelFormat* format = surface->format;
        const uint8_t* p = static_cast<const uint8_t*>(surface->pixels) + y * surface->pitch + x * format->BytesPerPixel;
        Uint8 a = 255;
        if (format->palette && format->BytesPerPixel == 1)
            read_palette_entry(p[0], out);
        else
            SDL_GetRGBA(pixel_value(p, format->BytesPerPixel), format, &out[0], &out[1], &out[2], &a);
        out[3] = keeps_alpha && format->Amask ? a : 255;
    }

private:
    // SDL keeps pixels in host order; this machine is little-endian.
    static Uint32 pixel_value(const uint8_t* p, int bytes)
    {
        Uint32 value = 0;
        for (int i = 0; i < bytes; ++i) value |= Uint32(p[i]) << (8 * i);
        return value;
    }

    // An index past the palette reads black, and is reported once an image.
    void read_palette_entry(uint8_t index, uint8_t* out)
    {
        const SDL_Palette* palette = surface->format->palette;
        if (index < palette->ncolors) {
            out[0] = palette->colors[index].r;
            out[1] = palette->colors[index].g;
            out[2] = palette->colors[index].b;
            return;
        }
        if (!bad_index_reported) error_line("Invalid palette index ", std::to_string(index));
        bad_index_reported = true;
        out[0] = out[1] = out[2] = 0;
    }

    const SDL_Surface* surface;
    bool keeps_alpha;
    bool bad_index_reported = false;
};

bool readable(const SDL_Surface* surface, const std::string& path)
{
    // Bit-packed pixels (fewer than 8 bits each) and rows shorter than their
    // pixels would make the reader run past the surface.
    const int bytes = surface->format->BytesPerPixel;
    if (bytes < 1 || bytes > 4 || surface->format->BitsPerPixel < 8 || !surface->pixels ||
        surface->pitch < surface->w * bytes) {
        error_line("Unsupported pixel layout: ", path);
        return false;
    }
    if (surface->w <= 0 || surface->h <= 0 || surface->w > 0xFFFF || surface->h > 0xFFFF ||
        size_t(surface->w) * size_t(surface->h) > kMaxImagePixels) {
        error_line("Unsupported image size: ", path);
        return false;
    }
    return true;
}

void read_rgba(SDL_Surface* surface, bool keeps_alpha, uint16_t* width, uint16_t* height, uint8_t** rgba)
{
    if (SDL_MUSTLOCK(surface) && SDL_LockSurface(surface) != 0) return;
    uint8_t* pixels = new uint8_t[size_t(surface->w) * surface->h * 4];
    SurfaceReader reader(surface, keeps_alpha);
    for (int y = 0; y < surface->h; ++y)
        for (int x = 0; x < surface->w; ++x) reader.read(x, y, &pixels[(size_t(y) * surface->w + x) * 4]);
    if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
    *width = uint16_t(surface->w);
    *height = uint16_t(surface->h);
    *rgba = pixels;
}

SDL_Surface* load_surface(const ImageLoader& loader, const char* path)
{
    if (!__mFileOps_file_exists(path)) error_line("File not found: ", path);
    SDL_RWops* file = SDL_RWFromFile(path, "rb");
    if (!file) {
        report_open_failure(loader, path);
        return nullptr;
    }
    if (const char* fault = loader.header_fault ? loader.header_fault(file) : nullptr) {
        SDL_RWclose(file);
        SDL_SetError("%s", fault);
        report_load_failure(loader, path);
        return nullptr;
    }
    SDL_Surface* surface = loader.load(file);
    SDL_RWclose(file);
    if (!surface) report_load_failure(loader, path);
    return surface;
}

int save_bmp(SDL_RWops* destination, SDL_Surface* surface)
{
    // SDL reports a BMP write through its error text alone.
    SDL_ClearError();
    return SDL_SaveBMP_RW(surface, destination, 0);
}

// The file is opened here rather than by SDL so that a failed write or close
// is seen.
bool write_file(const char* path, ImageFormat format, SDL_Surface* surface)
{
    FILE* file = fopen(path, "wb");
    if (!file) return false;
    int result = -1;
    if (SDL_RWops* stream = SDL_RWFromFP(file, 0)) {
        result = format == ImageFormat::bmp ? save_bmp(stream, surface) : IMG_SavePNG_RW(stream, surface, 2);
        SDL_RWclose(stream);
    }
    const bool write_failed = ferror(file) != 0;
    const bool close_failed = fclose(file) != 0;
    return result == 0 && !write_failed && !close_failed;
}

}  // namespace

const char* get_image_format_name(int index)
{
    return index >= 0 && index < kFormatCount ? kFormatNames[index] : nullptr;
}

int get_image_format_count()
{
    return kFormatCount;
}

void import_image(const char* path, uint16_t* width, uint16_t* height, uint8_t** rgba)
{
    if (!width || !height || !rgba) return;
    *width = 0;
    *height = 0;
    *rgba = nullptr;
    if (!path) return;
    const ImageLoader* loader = loader_for(format_of(path));
    if (!loader) {
        error_line("Bitmap could not be imported from format: ", last_characters(path, 4));
        return;
    }
    SDL_Surface* surface = load_surface(*loader, path);
    if (!surface) return;
    check_surface(*loader, surface, path);
    if (readable(surface, path)) read_rgba(surface, loader->keeps_alpha, width, height, rgba);
    SDL_FreeSurface(surface);
}

bool export_image(const char* path, uint16_t width, uint16_t height, uint8_t* rgba)
{
    if (!path) return false;
    const ImageFormat format = format_of(path);
    if (format != ImageFormat::bmp && format != ImageFormat::png) {
        error_line("Bitmap could not be exported to format: ", last_characters(path, 4));
        return false;
    }
    if (!rgba || width == 0 || height == 0) return false;
    SDL_Surface* surface =
        SDL_CreateRGBSurfaceFrom(rgba, width, height, 32, width * 4, kRedMask, kGreenMask, kBlueMask, kAlphaMask);
    if (!surface) return false;
    // The pixels are copied as they are, never blended over anything.
    SDL_SetAlpha(surface, 0, SDL_ALPHA_OPAQUE);
    const bool written = write_file(path, format, surface);
    SDL_FreeSurface(surface);
    return written;
}

}  // namespace trellis
