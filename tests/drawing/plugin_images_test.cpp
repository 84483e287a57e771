// The image slots and the PNG writer's exports as the loaded plug-in offers them.
#include "base/plugin.h"
#include "tests/support/trellis_window.h"

using PluginImages = TrellisWindow;

TEST_F(PluginImages, SlotsReadAndWriteThroughThePlugin)
{
    EXPECT_EQ(graphics->get_image_format_count(), 7);
    EXPECT_STREQ(graphics->get_image_format_name(4), "jpeg");
    std::vector<uint8_t> rgba = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(graphics->export_image((scratch / "two.png").c_str(), 2, 1, rgba.data()));
    uint16_t width = 0, height = 0;
    uint8_t* pixels = nullptr;
    graphics->import_image((scratch / "two.png").c_str(), &width, &height, &pixels);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(std::vector<uint8_t>(pixels, pixels + 8), rgba);
    delete[] pixels;
}

TEST_F(PluginImages, PngWriterIsExported)
{
    const int16_t trellis = __mCore_get_first_valid_plugin("Module", "GRAPHICS");
    ASSERT_GE(trellis, 0);
    EXPECT_NE(__mCore_get_plugin_function(trellis, "IMG_SavePNG"), nullptr);
    EXPECT_NE(__mCore_get_plugin_function(trellis, "IMG_SavePNG_RW"), nullptr);
}
