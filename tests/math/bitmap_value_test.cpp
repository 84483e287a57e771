#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "base/graphics_interface.h"
#include "base/modules.h"
#include "base/value_bitmap.h"
#include "tests/math/packed_bytes.h"

namespace {

cBitmap two_by_two()
{
    cBitmap bitmap;
    const uint8_t header[4] = {2, 0, 2, 0};
    std::vector<uint8_t> bytes(header, header + 4);
    for (uint8_t i = 0; i < 16; ++i) bytes.push_back(i);
    bitmap.deserialize(bytes.data());
    return bitmap;
}

TEST(BitmapPacking, TwoByTwoPacksToTwentyBytes)
{
    const cBitmap bitmap = two_by_two();
    EXPECT_EQ(bitmap.serialized_size(), 20);
    const std::vector<uint8_t> bytes = packed(bitmap);
    ASSERT_EQ(bytes.size(), 20u);
    EXPECT_EQ(bytes[0], 2);
    EXPECT_EQ(bytes[2], 2);
    EXPECT_EQ(bytes[4], 0);
    EXPECT_EQ(bytes[19], 15);
}

TEST(BitmapPacking, ReadingAllocatesForTheIncomingSize)
{
    cBitmap bitmap = two_by_two();
    std::vector<uint8_t> larger = {3, 0, 1, 1};  // 3 x 257
    larger.resize(4 + 3 * 257 * 4, 7);
    EXPECT_EQ(bitmap.deserialize(larger.data()), int(larger.size()));
    EXPECT_EQ(bitmap.width, 3);
    EXPECT_EQ(bitmap.height, 257);
    EXPECT_EQ(bitmap.pixels[3 * 257 * 4 - 1], 7);

    const uint8_t empty[4] = {0, 0, 5, 0};
    EXPECT_EQ(bitmap.deserialize(empty), 4);
    EXPECT_EQ(bitmap.pixels, nullptr);
    EXPECT_EQ(packed(bitmap).size(), 4u);
}

TEST(BitmapCopy, CopiesOwnTheirPixels)
{
    const cBitmap original = two_by_two();
    cBitmap copy(original);
    copy.pixels[0] = 99;
    EXPECT_EQ(original.pixels[0], 0);
    cBitmap assigned;
    assigned = copy;
    EXPECT_EQ(assigned.pixels[0], 99);
    EXPECT_NE(assigned.pixels, copy.pixels);
}

// A graphics table whose image import answers with a 2 x 1 image or nothing.
class FakeGraphics : public ::testing::Test {
protected:
    void SetUp() override
    {
        table = static_cast<graphics_interface*>(std::calloc(1, sizeof(graphics_interface)));
        table->import_image = &import_image;
        table->create_texture = &create_texture;
        graphics()->interface_table = table;
        created = 0;
    }
    void TearDown() override
    {
        graphics()->interface_table = nullptr;
        std::free(table);
    }
    static modGraphics* graphics() { return __mGraphics_instance(); }

    static void import_image(const char* path, uint16_t* width, uint16_t* height, uint8_t** rgba)
    {
        if (std::string(path) != "good.png") return;
        *width = 2;
        *height = 1;
        *rgba = new uint8_t[8]();
    }
    static int create_texture(uint16_t* width, uint16_t* height, uint8_t* rgba, bool, bool, bool, int replace,
                              TextureDoneCallback done)
    {
        ++created;
        last_size = *width * 100 + *height;
        last_replace = replace;
        last_had_pixels = rgba != nullptr;
        last_had_callback = done != nullptr;
        return 41;
    }

    graphics_interface* table = nullptr;
    static inline int created = 0;
    static inline int last_size = 0;
    static inline int last_replace = 0;
    static inline bool last_had_pixels = false;
    static inline bool last_had_callback = true;
};

TEST_F(FakeGraphics, LoadReadsTheImageOrLeavesAnEmptyBitmap)
{
    cBitmap bitmap;
    EXPECT_TRUE(bitmap.load("good.png"));
    EXPECT_EQ(bitmap.width, 2);
    EXPECT_EQ(bitmap.height, 1);
    EXPECT_NE(bitmap.pixels, nullptr);
    EXPECT_FALSE(bitmap.load("missing.png"));
    EXPECT_EQ(bitmap.width, 0);
    EXPECT_EQ(bitmap.height, 0);
    EXPECT_EQ(bitmap.pixels, nullptr);
}

TEST_F(FakeGraphics, LoadTextureAppendsAndReturnsTheId)
{
    EXPECT_EQ(cBitmap::load_texture(graphics()->textures, "good.png", true, false, true), 41);
    EXPECT_EQ(created, 1);
    EXPECT_EQ(last_size, 201);
    EXPECT_EQ(last_replace, -1);
    EXPECT_TRUE(last_had_pixels);
    EXPECT_FALSE(last_had_callback);
}

TEST_F(FakeGraphics, FailedLoadCreatesNoTexture)
{
    EXPECT_EQ(cBitmap::load_texture(graphics()->textures, "missing.png", true, false, true), -1);
    EXPECT_EQ(created, 0);
}

}  // namespace
