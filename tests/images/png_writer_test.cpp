// The exported PNG writer: colour types for each kind of surface, the
// compression rules, and its failures.
#include <gtest/gtest.h>
#include <SDL.h>
#include <SDL_image.h>
#include <png.h>

#include <string>
#include <vector>

#include "platform/png_writer.h"
#include "tests/images/image_fixtures.h"
#include "tests/support/scratch.h"

namespace {

SDL_Surface* surface_of(int bits, Uint32 r, Uint32 g, Uint32 b, Uint32 a)
{
    return SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 2, bits, r, g, b, a);
}

void put(SDL_Surface* surface, int x, int y, Uint8 r, Uint8 g, Uint8 b, Uint8 a)
{
    const Uint32 pixel = SDL_MapRGBA(surface->format, r, g, b, a);
    auto* at = static_cast<Uint8*>(surface->pixels) + y * surface->pitch + x * surface->format->BytesPerPixel;
    for (int i = 0; i < surface->format->BytesPerPixel; ++i) at[i] = Uint8(pixel >> (8 * i));
}

// Red, green, blue and a translucent grey.
void paint(SDL_Surface* surface)
{
    put(surface, 0, 0, 255, 0, 0, 255);
    put(surface, 1, 0, 0, 255, 0, 255);
    put(surface, 0, 1, 0, 0, 255, 255);
    put(surface, 1, 1, 90, 90, 90, 100);
}

std::vector<uint8_t> read_back_rgba(const std::string& path)
{
    std::vector<uint8_t> rgba;
    SDL_Surface* loaded = IMG_Load(path.c_str());
    if (!loaded) return rgba;
    for (int y = 0; y < loaded->h; ++y)
        for (int x = 0; x < loaded->w; ++x) {
            const auto* at = static_cast<Uint8*>(loaded->pixels) + y * loaded->pitch + x * loaded->format->BytesPerPixel;
            Uint32 pixel = 0;
            for (int i = 0; i < loaded->format->BytesPerPixel; ++i) pixel |= Uint32(at[i]) << (8 * i);
            Uint8 r, g, b, a;
            SDL_GetRGBA(pixel, loaded->format, &r, &g, &b, &a);
            rgba.insert(rgba.end(), {r, g, b, a});
        }
    SDL_FreeSurface(loaded);
    return rgba;
}

int color_type_of(const std::string& path)
{
    const std::vector<PngChunk> chunks = png_chunks(read_file(path));
    const PngChunk* header = find_chunk(chunks, "IHDR");
    return header && header->data.size() == 13 ? header->data[9] : -1;
}

}  // namespace

TEST(PngWriter, ColourTypeFollowsTheSurface)
{
    const std::vector<uint8_t> with_alpha = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 90, 90, 90, 100};
    const std::vector<uint8_t> without_alpha = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 90, 90, 90, 255};
    const struct {
        const char* name;
        int bits;
        Uint32 r, g, b, a;
        int color_type;
        const std::vector<uint8_t>* expected;
    } cases[] = {
        {"rgba bytes", 32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000, PNG_COLOR_TYPE_RGB_ALPHA, &with_alpha},
        {"argb words", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, PNG_COLOR_TYPE_RGB_ALPHA, &with_alpha},
        {"rgb bytes", 24, 0x000000FF, 0x0000FF00, 0x00FF0000, 0, PNG_COLOR_TYPE_RGB, &without_alpha},
        {"bgr bytes", 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, PNG_COLOR_TYPE_RGB, &without_alpha},
        {"xrgb words", 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0, PNG_COLOR_TYPE_RGB, &without_alpha},
    };
    ScratchFolder scratch;
    for (const auto& c : cases) {
        SDL_Surface* surface = surface_of(c.bits, c.r, c.g, c.b, c.a);
        ASSERT_NE(surface, nullptr) << c.name;
        paint(surface);
        const Uint32 blending_before = surface->flags & SDL_SRCALPHA;
        const std::string path = scratch / (std::string(c.name) + ".png");
        EXPECT_EQ(IMG_SavePNG(path.c_str(), surface, 6), 0) << c.name << ": " << SDL_GetError();
        EXPECT_EQ(surface->flags & SDL_SRCALPHA, blending_before) << c.name;
        SDL_FreeSurface(surface);
        EXPECT_EQ(color_type_of(path), c.color_type) << c.name;
        EXPECT_EQ(read_back_rgba(path), *c.expected) << c.name;
    }
}

TEST(PngWriter, EightBitSurfaceIsAPaletteImageWithItsColourKey)
{
    SDL_Surface* surface = SDL_CreateRGBSurface(SDL_SWSURFACE, 2, 2, 8, 0, 0, 0, 0);
    ASSERT_NE(surface, nullptr);
    SDL_Color colors[3] = {{10, 20, 30, 0}, {40, 50, 60, 0}, {70, 80, 90, 0}};
    SDL_SetColors(surface, colors, 0, 3);
    surface->format->palette->ncolors = 3;
    const Uint8 indices[4] = {0, 1, 2, 1};
    for (int i = 0; i < 4; ++i) static_cast<Uint8*>(surface->pixels)[(i / 2) * surface->pitch + i % 2] = indices[i];
    SDL_SetColorKey(surface, SDL_SRCCOLORKEY, 2);
    ScratchFolder scratch;
    const std::string path = scratch / "palette.png";
    ASSERT_EQ(IMG_SavePNG(path.c_str(), surface, 2), 0) << SDL_GetError();
    SDL_FreeSurface(surface);

    const std::vector<PngChunk> chunks = png_chunks(read_file(path));
    EXPECT_EQ(color_type_of(path), PNG_COLOR_TYPE_PALETTE);
    const PngChunk* palette = find_chunk(chunks, "PLTE");
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->data, std::vector<uint8_t>({10, 20, 30, 40, 50, 60, 70, 80, 90}));
    const PngChunk* transparency = find_chunk(chunks, "tRNS");
    ASSERT_NE(transparency, nullptr);
    EXPECT_EQ(transparency->data, std::vector<uint8_t>({255, 255, 0}));
}

// zlib's second header byte holds the level class in its top two bits.
TEST(PngWriter, CompressionLevels)
{
    const struct {
        int compression;
        int level_class;  // 0 fastest, 2 default, 3 best
    } cases[] = {{0, 0}, {1, 0}, {-1, 2}, {-7, 2}, {6, 2}, {9, 3}, {12, 3}};
    ScratchFolder scratch;
    for (const auto& c : cases) {
        SDL_Surface* surface = surface_of(32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
        paint(surface);
        const std::string path = scratch / ("level" + std::to_string(c.compression) + ".png");
        ASSERT_EQ(IMG_SavePNG(path.c_str(), surface, c.compression), 0);
        SDL_FreeSurface(surface);
        const std::vector<PngChunk> chunks = png_chunks(read_file(path));
        const PngChunk* data = find_chunk(chunks, "IDAT");
        ASSERT_NE(data, nullptr);
        ASSERT_GE(data->data.size(), 3u);
        EXPECT_EQ(data->data[1] >> 6, c.level_class) << c.compression;
    }
}

// Level 0 without filters: one stored deflate block holding each row behind
// a zero filter byte.
TEST(PngWriter, CompressionZeroStoresRowsUnfiltered)
{
    SDL_Surface* surface = surface_of(32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    paint(surface);
    ScratchFolder scratch;
    ASSERT_EQ(IMG_SavePNG((scratch / "stored.png").c_str(), surface, 0), 0);
    SDL_FreeSurface(surface);
    const std::vector<PngChunk> chunks = png_chunks(read_file(scratch / "stored.png"));
    const PngChunk* data = find_chunk(chunks, "IDAT");
    ASSERT_NE(data, nullptr);
    const std::vector<uint8_t> rows = {0, 255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 255, 255, 90, 90, 90, 100};
    ASSERT_GE(data->data.size(), 7 + rows.size());
    EXPECT_EQ(data->data[2] & 0x06, 0);  // block type: stored
    EXPECT_EQ(data->data[3] | data->data[4] << 8, int(rows.size()));
    EXPECT_EQ(std::vector<uint8_t>(data->data.begin() + 7, data->data.begin() + 7 + long(rows.size())), rows);
}

TEST(PngWriter, FailuresReturnMinusOneWithAReason)
{
    SDL_Surface* surface = surface_of(32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000);
    paint(surface);
    char small[16];
    SDL_RWops* too_small = SDL_RWFromMem(small, sizeof small);
    EXPECT_EQ(IMG_SavePNG_RW(too_small, surface, 2), -1);
    EXPECT_STREQ(SDL_GetError(), "Unknown error writing PNG");
    SDL_RWclose(too_small);

    char big[4096];
    SDL_RWops* roomy = SDL_RWFromMem(big, sizeof big);
    EXPECT_EQ(IMG_SavePNG_RW(nullptr, surface, 2), -1);
    EXPECT_EQ(IMG_SavePNG_RW(roomy, nullptr, 2), -1);
    EXPECT_EQ(IMG_SavePNG_RW(roomy, surface, 2), 0);
    SDL_RWclose(roomy);
    EXPECT_EQ(IMG_SavePNG("/no/such/folder/x.png", surface, 2), -1);
    SDL_FreeSurface(surface);
}
