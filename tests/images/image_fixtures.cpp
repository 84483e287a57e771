#include "tests/images/image_fixtures.h"

#include <SDL.h>
#include <png.h>

#include <cstdio>

#include "base/bytes.h"
#include "tests/support/scratch.h"

namespace {

bool write_png_rows(png_structp png, png_infop info, FILE* file, const PngFixture& fixture)
{
    if (setjmp(png_jmpbuf(png))) return false;
    png_init_io(png, file);
    png_set_check_for_invalid_index(png, 0);
    png_set_IHDR(png, info, png_uint_32(fixture.width), png_uint_32(fixture.height), fixture.bit_depth,
                 fixture.color_type, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> colors;
    for (size_t i = 0; i + 2 < fixture.palette.size(); i += 3)
        colors.push_back({fixture.palette[i], fixture.palette[i + 1], fixture.palette[i + 2]});
    if (!colors.empty()) png_set_PLTE(png, info, colors.data(), int(colors.size()));
    if (!fixture.palette_alpha.empty())
        png_set_tRNS(png, info, const_cast<png_bytep>(fixture.palette_alpha.data()), int(fixture.palette_alpha.size()),
                     nullptr);
    png_write_info(png, info);
    const size_t row_bytes = fixture.rows.size() / size_t(fixture.height);
    for (int y = 0; y < fixture.height; ++y)
        png_write_row(png, const_cast<png_bytep>(&fixture.rows[size_t(y) * row_bytes]));
    png_write_end(png, info);
    return true;
}

}  // namespace

bool write_png_fixture(const std::string& path, const PngFixture& fixture)
{
    FILE* file = fopen(path.c_str(), "wb");
    if (!file) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool written = png && info && write_png_rows(png, info, file, fixture);
    png_destroy_write_struct(&png, &info);
    return fclose(file) == 0 && written;
}

bool write_bmp16_fixture(const std::string& path, int width, int height, const std::vector<uint16_t>& pixels)
{
    const uint32_t row_bytes = (uint32_t(width) * 2 + 3) / 4 * 4;
    const uint32_t offset = 14 + 40;
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    out.bytes("BM", 2);
    out.u32(offset + row_bytes * uint32_t(height));
    out.u32(0);
    out.u32(offset);
    out.u32(40);
    out.i32(width);
    out.i32(height);
    out.u16(1);
    out.u16(16);
    out.u32(0);  // uncompressed: five bits a channel
    out.u32(row_bytes * uint32_t(height));
    out.i32(2835);
    out.i32(2835);
    out.u32(0);
    out.u32(0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) out.u16(pixels[size_t(y * width + x)]);
        out.zeros(row_bytes - uint32_t(width) * 2);
    }
    if (!out.ok()) return false;
    write_file(path, std::string(bytes.begin(), bytes.end()));
    return true;
}

bool write_bmp8_fixture(const std::string& path, int width, int height, const std::vector<uint8_t>& palette,
                        const std::vector<uint8_t>& indices)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, width, height, 8, 0, 0, 0, 0);
    if (!surface) return false;
    std::vector<SDL_Color> colors;
    for (size_t i = 0; i + 2 < palette.size(); i += 3) colors.push_back({palette[i], palette[i + 1], palette[i + 2], 0});
    SDL_SetColors(surface, colors.data(), 0, int(colors.size()));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            static_cast<uint8_t*>(surface->pixels)[y * surface->pitch + x] = indices[size_t(y * width + x)];
    const bool saved = SDL_SaveBMP(surface, path.c_str()) == 0;
    SDL_FreeSurface(surface);
    return saved;
}

// PNG keeps its lengths big-endian: length, type, data, CRC.
std::vector<PngChunk> png_chunks(const std::string& file)
{
    std::vector<PngChunk> chunks;
    const auto* bytes = reinterpret_cast<const uint8_t*>(file.data());
    size_t at = 8;
    while (at + 12 <= file.size()) {
        const uint8_t* p = bytes + at;
        const uint32_t length = uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
        if (length > file.size() - at - 12) break;
        chunks.push_back({file.substr(at + 4, 4), std::vector<uint8_t>(p + 8, p + 8 + length)});
        at += 12 + size_t(length);
    }
    return chunks;
}

const PngChunk* find_chunk(const std::vector<PngChunk>& chunks, const std::string& type)
{
    for (const PngChunk& chunk : chunks)
        if (chunk.type == type) return &chunk;
    return nullptr;
}
