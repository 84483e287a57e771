// The glyph sheet the build draws: character c in cell (c mod 16, c div 16),
// grey glyph coverage on opaque black.
#include <gtest/gtest.h>
#include <png.h>

#include <vector>

namespace {

constexpr int kSheet = 256;
constexpr int kCell = 16;

struct Sheet {
    png_uint_32 width = 0, height = 0, file_format = 0;
    std::vector<uint8_t> rgba;
};

Sheet read_sheet()
{
    Sheet sheet;
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, ZR_GAME_DIR "/data/+engine/font.png")) return sheet;
    sheet.width = image.width;
    sheet.height = image.height;
    sheet.file_format = image.format;
    image.format = PNG_FORMAT_RGBA;
    sheet.rgba.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, sheet.rgba.data(), 0, nullptr)) sheet.rgba.clear();
    return sheet;
}

// Pixels of the cell with any coverage; every pixel of it must be an opaque
// grey, so that where nothing is covered the sheet is black.
int covered_pixels(const Sheet& sheet, int character, int* not_opaque_grey)
{
    int covered = 0;
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x) {
            const int sx = (character % 16) * kCell + x, sy = (character / 16) * kCell + y;
            const uint8_t* p = &sheet.rgba[size_t(sy * kSheet + sx) * 4];
            if (p[3] != 255 || p[1] != p[0] || p[2] != p[0]) ++*not_opaque_grey;
            if (p[0] != 0) ++covered;
        }
    return covered;
}

}  // namespace

TEST(GlyphSheet, IsSquareRgbaWithTheGlyphsTheEngineNeeds)
{
    const Sheet sheet = read_sheet();
    ASSERT_EQ(sheet.width, png_uint_32(kSheet));
    ASSERT_EQ(sheet.height, png_uint_32(kSheet));
    EXPECT_EQ(sheet.file_format, png_uint_32(PNG_FORMAT_RGBA));
    ASSERT_EQ(sheet.rgba.size(), size_t(kSheet) * kSheet * 4);

    const struct {
        int character;
        bool drawn;
    } cases[] = {{0, false}, {' ', false}, {'\n', false}, {'*', true}, {'_', true}, {'A', true}, {'g', true},
                 {'#', true}, {'~', true}, {0xE9, true}};
    for (const auto& c : cases) {
        int not_opaque_grey = 0;
        const int covered = covered_pixels(sheet, c.character, &not_opaque_grey);
        if (c.drawn)
            EXPECT_GT(covered, 4) << "character " << c.character;
        else
            EXPECT_EQ(covered, 0) << "character " << c.character;
        EXPECT_EQ(not_opaque_grey, 0) << "character " << c.character;
    }
}

// The cursor is drawn over the text: it must sit low in its cell, and '*'
// must stand where letters stand.
TEST(GlyphSheet, CursorSitsLowAndTheMaskGlyphMidCell)
{
    const Sheet sheet = read_sheet();
    ASSERT_FALSE(sheet.rgba.empty());
    auto lowest_row = [&](int character) {
        int lowest = -1;
        for (int y = 0; y < kCell; ++y)
            for (int x = 0; x < kCell; ++x) {
                const int sx = (character % 16) * kCell + x, sy = (character / 16) * kCell + y;
                if (sheet.rgba[size_t(sy * kSheet + sx) * 4]) lowest = y;
            }
        return lowest;
    };
    EXPECT_GE(lowest_row('_'), 11);
    EXPECT_LE(lowest_row('*'), lowest_row('A'));
}
