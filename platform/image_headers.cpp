#include "platform/image_headers.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "base/bytes.h"

namespace trellis {

namespace {

bool too_large(uint64_t width, uint64_t height)
{
    return width > 0xFFFF || height > 0xFFFF || width * height > kMaxImagePixels;
}

// The bytes of the surface SDL makes for the size and bit count, its rows
// padded to four bytes.
uint64_t surface_bytes(int64_t width, int64_t height, uint16_t bits)
{
    const uint8_t bits_a_pixel = uint8_t(bits);
    const uint8_t bytes_a_pixel = uint8_t((bits + 7) / 8);
    uint64_t pitch = uint64_t(width) * bytes_a_pixel;
    if (bits_a_pixel == 1) pitch = (pitch + 7) / 8;
    if (bits_a_pixel == 4) pitch = (pitch + 1) / 2;
    return (pitch + 3) / 4 * 4 * uint64_t(height);
}

// Up to count bytes from the file's current place; the file is put back there.
std::vector<uint8_t> stream_bytes(SDL_RWops* file, size_t count = SIZE_MAX)
{
    const int start = SDL_RWtell(file);
    std::vector<uint8_t> bytes;
    uint8_t chunk[4096];
    int got = 0;
    while (bytes.size() < count &&
           (got = SDL_RWread(file, chunk, 1, int(std::min(sizeof chunk, count - bytes.size())))) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    SDL_RWseek(file, start, RW_SEEK_SET);
    return bytes;
}

// Big-endian, as PNG and JPEG keep their fields.
bool u16_be(ByteReader& in, uint16_t& out)
{
    const uint8_t* at = in.take(2);
    out = at ? uint16_t((at[0] << 8) | at[1]) : 0;
    return at;
}

// ---- PNG, through libpng's own header read

void read_png_bytes(png_structp png, png_bytep data, png_size_t length)
{
    SDL_RWops* file = static_cast<SDL_RWops*>(png_get_io_ptr(png));
    if (SDL_RWread(file, data, 1, int(length)) != int(length)) png_error(png, "cut short");
}

// Quiet: the loader reports a damaged header itself.
void png_header_error(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void png_header_warning(png_structp, png_const_charp) {}

// The header's width and height; false when libpng cannot read the header.
bool read_png_size(SDL_RWops* file, png_uint_32* width, png_uint_32* height)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_header_error, png_header_warning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    bool read = false;
    if (info && setjmp(png_jmpbuf(png)) == 0) {
        png_set_read_fn(png, file, read_png_bytes);
        png_read_info(png, info);
        *width = png_get_image_width(png, info);
        *height = png_get_image_height(png, info);
        read = true;
    }
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    return read;
}

// ---- JPEG: the frame header's size fields

bool is_frame_marker(uint8_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool stands_alone(uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

// As the decoder finds markers: anything up to the next 0xFF is skipped, and
// any run of 0xFF fill before the marker's code.
bool next_marker(ByteReader& in, uint8_t& marker)
{
    uint8_t byte = 0;
    do {
        if (!in.u8(byte)) return false;
    } while (byte != 0xFF);
    do {
        if (!in.u8(byte)) return false;
    } while (byte == 0xFF);
    marker = byte;
    return true;
}

// ---- GIF

// The blocks of one extension, as the loader reads them.
bool skip_gif_extension(ByteReader& in)
{
    uint8_t label = 0;
    if (!in.u8(label)) return true;
    uint8_t count = 0;
    const auto block = [&] { return in.u8(count) && in.skip(count); };
    // The graphic control extension's first block is read even when it is empty.
    if (label == 0xF9 && !block()) return false;
    do {
        if (!block()) return false;
    } while (count != 0);
    return true;
}

}  // namespace

// SDL reads an unsigned 16-bit size from the small OS/2 header and a signed
// 32-bit one from any other, where a negative height keeps the rows from the
// top. It makes the surface with the bit count as given: the low byte of it
// becomes the bits a pixel and the low byte of (bits + 7) / 8 the bytes a
// pixel, so a forged bit count makes a huge surface of few pixels, whose size
// can overflow SDL's own int arithmetic.
const char* bmp_header_fault(SDL_RWops* file)
{
    const std::vector<uint8_t> bytes = stream_bytes(file, 30);
    ByteReader in(bytes.data(), bytes.size());
    uint8_t magic[2] = {};
    uint32_t header_size = 0;
    in.bytes(magic, 2);
    in.skip(12);
    if (!in.u32(header_size) || magic[0] != 'B' || magic[1] != 'M') return nullptr;
    int64_t width = 0;
    int64_t height = 0;
    if (header_size == 12) {
        uint16_t w = 0, h = 0;
        in.u16(w);
        in.u16(h);
        width = w;
        height = h;
    } else {
        int32_t w = 0, h = 0;
        in.i32(w);
        in.i32(h);
        width = w;
        height = h;
    }
    uint16_t bits = 0;
    in.skip(2);
    if (!in.u16(bits) || width < 0) return nullptr;
    if (height < 0) height = -height;
    if (too_large(uint64_t(width), uint64_t(height)) || surface_bytes(width, height, bits) > kMaxImagePixels * 4)
        return "BMP image size out of range";
    return nullptr;
}

const char* png_header_fault(SDL_RWops* file)
{
    const int start = SDL_RWtell(file);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    const bool read = read_png_size(file, &width, &height);
    SDL_RWseek(file, start, RW_SEEK_SET);
    return read && too_large(width, height) ? "PNG image size out of range" : nullptr;
}

// The first frame header before the first scan holds the size; the decoder
// refuses a file that does not begin with the start-of-image marker.
const char* jpeg_header_fault(SDL_RWops* file)
{
    const std::vector<uint8_t> bytes = stream_bytes(file);
    ByteReader in(bytes.data(), bytes.size());
    uint8_t start[2] = {};
    if (!in.bytes(start, 2) || start[0] != 0xFF || start[1] != 0xD8) return nullptr;
    uint8_t marker = 0;
    while (next_marker(in, marker)) {
        if (marker == 0xD9 || marker == 0xDA) return nullptr;
        if (stands_alone(marker)) continue;
        uint16_t length = 0;
        if (!u16_be(in, length) || length < 2) return nullptr;
        if (is_frame_marker(marker)) {
            uint16_t height = 0;
            uint16_t width = 0;
            in.skip(1);
            u16_be(in, height);
            if (!u16_be(in, width)) return nullptr;
            return too_large(width, height) ? "JPEG image size out of range" : nullptr;
        }
        in.skip(length - 2u);
    }
    return nullptr;
}

// SDL_image's GIF loader has faults a file can trigger: it takes the end of
// the file for a block, so an extension cut off there never returns; and it
// writes through the surface it could not make for an image without pixels
// or 16384 pixels wide or more (SDL's limit); its surface is made before the
// pixels are read, so a short file still costs the whole size. An image with
// a code size past 12 bits fails, but the loader then scans on through that
// image's data as if it were blocks. So the blocks up to the first image are
// walked here first, as the loader walks them.
const char* gif_header_fault(SDL_RWops* file)
{
    const std::vector<uint8_t> bytes = stream_bytes(file);
    if (bytes.size() < 3 || std::memcmp(bytes.data(), "GIF", 3) != 0) return nullptr;
    ByteReader in(bytes.data(), bytes.size());
    uint8_t flags = 0;
    in.skip(10);
    in.u8(flags);
    in.skip(2);
    if (flags & 0x80) in.skip(3u << ((flags & 7) + 1));
    uint8_t c = 0;
    while (in.u8(c) && c != ';') {
        if (c == '!' && !skip_gif_extension(in)) return "GIF extension cut off by the end of the file";
        if (c != ',') continue;
        uint8_t image[9] = {};
        if (!in.bytes(image, sizeof image)) return nullptr;
        const uint16_t width = load_u16_le(image + 4);
        const uint16_t height = load_u16_le(image + 6);
        if (width == 0 || height == 0 || width >= 16384 || size_t(width) * height > kMaxImagePixels)
            return "GIF image size out of range";
        if (image[8] & 0x80) in.skip(3u << ((image[8] & 7) + 1));
        uint8_t code_size = 0;
        if (in.u8(code_size) && code_size > 12) return "GIF code size past 12 bits";
        return nullptr;
    }
    return nullptr;
}

}  // namespace trellis
