// Bitmap operations on RGBA arrays, pinned by value. The 3 x 3 normal map was
// computed apart from this code, by this script over the same formulas:
//   h = 3x3 zeros, centre 255*255/65536; h(x, y) wraps both ways
//   nx = -((U0-U-1)/4 + (U1-U0)/4 + (M0-M-1)/8 + (M1-M0)/8 + (D0-D-1)/8 + (D1-D0)/8)
//   ny = -((M-1-U-1)/4 + (D-1-M-1)/4 + (M0-U0)/8 + (D0-M0)/8 + (M1-U1)/8 + (D1-M1)/8)
//   byte = clamp(int((n / |(nx, ny, 1)| + 1) * 128), 0, 255)
// (U, M, D: the rows above, at and below; the index is the column offset).
#include <gtest/gtest.h>

#include <vector>

#include "base/bitmap.h"
#include "base/color.h"
#include "base/trigonometry.h"

namespace {

using Pixels = std::vector<uint8_t>;

Pixels pixel_bytes(const Pixels& pixels, int index)
{
    return Pixels(pixels.begin() + 4 * index, pixels.begin() + 4 * index + 4);
}

}  // namespace

TEST(Bitmap, InitIsOpaqueBlack)
{
    uint8_t* pixels = nullptr;
    __cBitmap_init(2, 1, &pixels);
    EXPECT_EQ(Pixels(pixels, pixels + 8), (Pixels{0, 0, 0, 255, 0, 0, 0, 255}));
    delete[] pixels;
}

TEST(Bitmap, PixelsReadAndWriteAsChannelsTimes255Truncated)
{
    Pixels pixels(8, 0);
    cColor colour(1, 0.5f, 0.2f, 0.999f);
    __cBitmap_set_pixel(&colour, pixels.data(), 1);
    EXPECT_EQ(pixel_bytes(pixels, 1), (Pixels{255, 127, 51, 254}));
    cColor read;
    __cBitmap_get_pixel(&read, pixels.data(), 1);
    EXPECT_FLOAT_EQ(read.g, 127 / 255.0f);
    __cBitmap_set_to_color(&colour, pixels.data(), 2);
    EXPECT_EQ(pixel_bytes(pixels, 0), pixel_bytes(pixels, 1));
}

TEST(Bitmap, NormalMapOfAFlatImageOrAnyTwoByTwoPointsStraightUp)
{
    // Two columns wrap onto each other, so every difference cancels.
    for (const Pixels& image : {Pixels(16, 90), Pixels{255, 255, 255, 255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9, 9}}) {
        Pixels pixels = image;
        __cBitmap_bump_map_to_normal_map(pixels.data(), 2, 2, 1.0f);
        for (int i = 0; i < 4; ++i) EXPECT_EQ(pixel_bytes(pixels, i), (Pixels{128, 128, 255, 255})) << i;
    }
}

TEST(Bitmap, NormalMapLeansAwayFromARaisedPixelAndWrapsAtTheEdges)
{
    Pixels pixels(9 * 4, 0);
    for (int i = 0; i < 9; ++i) pixels[4 * i + 3] = 255;
    for (int c = 0; c < 3; ++c) pixels[4 * 4 + c] = 255;  // the centre of 3 x 3
    __cBitmap_bump_map_to_normal_map(pixels.data(), 3, 3, 1.0f);
    const Pixels expected[9] = {
        {112, 112, 254, 255}, {128, 112, 255, 255}, {143, 97, 251, 255},
        {112, 128, 255, 255}, {128, 128, 255, 255}, {143, 128, 255, 255},
        {97, 143, 251, 255},  {128, 143, 255, 255}, {157, 157, 248, 255},
    };
    for (int i = 0; i < 9; ++i) EXPECT_EQ(pixel_bytes(pixels, i), expected[i]) << "pixel " << i;
}

TEST(Bitmap, ChannelFiltersKeepAlphaAndRefuseAChannelPastFour)
{
    Pixels pixels{250, 5, 100, 7, 1, 2, 3, 4};
    __cBitmap_brighten(10, pixels.data(), 1);
    EXPECT_EQ(pixel_bytes(pixels, 0), (Pixels{255, 15, 110, 7}));
    __cBitmap_darken(10, pixels.data(), 1);
    EXPECT_EQ(pixel_bytes(pixels, 0), (Pixels{245, 5, 100, 7}));
    __cBitmap_multiply(2.0f, pixels.data(), 1);
    EXPECT_EQ(pixel_bytes(pixels, 0), (Pixels{255, 10, 200, 7}));
    __cBitmap_monochrome_saturate_by_channel(4, pixels.data(), 1);
    EXPECT_EQ(pixels, (Pixels{255, 10, 200, 7, 1, 2, 3, 4})) << "channel 4 would read the next pixel";
    __cBitmap_monochrome_saturate_by_channel(1, pixels.data(), 1);
    EXPECT_EQ(pixel_bytes(pixels, 0), (Pixels{10, 10, 10, 255}));
    EXPECT_EQ(pixel_bytes(pixels, 1), (Pixels{1, 2, 3, 4}));

    Pixels keyed{10, 20, 30, 0, 10, 20, 31, 0};
    cColor key(10 / 255.0f + 1e-4f, 20 / 255.0f + 1e-4f, 30 / 255.0f + 1e-4f, 1);
    __cBitmap_color_key_mask(&key, keyed.data(), 2);
    EXPECT_EQ(keyed, (Pixels{0, 0, 0, 255, 255, 255, 255, 255}));
}

TEST(Bitmap, SoftBrushIsFullInsideItsRadiusAndNothingFarOut)
{
    __init_trig_tables();
    uint8_t* pixels = nullptr;
    __cBitmap_init(12, 12, &pixels);
    cColor red(1, 0, 0, 0);
    float radius = 2, sigma = 1;
    __cBitmap_gauss_brush(&red, pixels, 5, 5, 12, 12, &radius, &sigma);
    EXPECT_EQ(pixels[4 * (6 * 12 + 6)], 255) << "(6, 6) lies inside";
    EXPECT_EQ(pixels[4 * (5 * 12 + 9)], 0) << "(9, 5): d = 12 is past 4 sigma squared";
    const uint8_t edge = pixels[4 * (5 * 12 + 7) + 0];  // (7, 5): d = 0
    EXPECT_EQ(edge, 255);
    const uint8_t soft = pixels[4 * (6 * 12 + 7)];  // (7, 6): d = 1, inside the fall-off
    EXPECT_GT(soft, 0);
    EXPECT_LT(soft, 255);
    EXPECT_EQ(pixels[3], 255) << "alpha takes the colour's own (0) added";
    delete[] pixels;
}
