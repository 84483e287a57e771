// Boxes and two-pass text through the graphics module, as the game draws
// them, on a mid-grey background.
#include <GL/gl.h>

#include <cstdio>

#include "base/modules.h"
#include "framework/screen_text.h"
#include "tests/support/trellis_window.h"

class ScreenText : public TrellisWindow {
protected:
    void SetUp() override
    {
        TrellisWindow::SetUp();
        text = __mGraphics_instance()->text;
        clear_to(0.5f);
    }

    void use_glyph_sheet(int sheet)
    {
        __mGraphics_instance()->glyph_texture = sheet;
        __mGraphics_instance()->glyph_mask_texture = sheet;
    }

    // The game's own glyph sheet, as the engine loads it.
    bool use_real_glyph_sheet()
    {
        uint16_t width = 0, height = 0;
        uint8_t* pixels = nullptr;
        graphics->import_image(ZR_GAME_DIR "/data/+engine/font.png", &width, &height, &pixels);
        if (!pixels) return false;
        use_glyph_sheet(graphics->create_texture(&width, &height, pixels, false, false, false, -1, nullptr));
        delete[] pixels;
        return true;
    }

    cGraphicsText* text = nullptr;
    const Pixel background{128, 128, 128, 255};
};

TEST_F(ScreenText, OddBoxPutsTheExtraPixelRightAndDown)
{
    draw_screen_box(cVector2D<int32_t>(5, 5), text, cVector2D<int32_t>(10, 10), cColor(1, 0, 0, 1));
    const Pixel red{255, 0, 0, 255};
    expect_pixel(pixel(8, 8), red, 0, "top left");
    expect_pixel(pixel(12, 12), red, 0, "bottom right");
    expect_pixel(pixel(7, 10), background, 1, "left of it");
    expect_pixel(pixel(13, 10), background, 1, "right of it");
    expect_pixel(pixel(10, 7), background, 1, "above");
    expect_pixel(pixel(10, 13), background, 1, "below");
}

TEST_F(ScreenText, TexturedBoxStretchesTheTexture)
{
    const int texture = texture_of(2, 1, {255, 0, 0, 255, 0, 0, 255, 255});
    draw_screen_textured_box(text, texture, cVector2D<int32_t>(20, 30), cVector2D<int32_t>(40, 10), cColor(1, 1, 1, 1),
                             true, false, cVector2D<double>(0, 0));
    expect_pixel(pixel(21, 31), {0, 0, 255, 255}, 0, "flipped: blue on the left");
    expect_pixel(pixel(58, 38), {255, 0, 0, 255}, 0, "flipped: red on the right");
    expect_pixel(pixel(60, 35), background, 1, "right of it");
}

TEST_F(ScreenText, GlyphsAreMaskedThenAdded)
{
    use_glyph_sheet(coded_glyph_sheet());
    draw_screen_text(text, cVector2D<int32_t>(16, 16), 16, 12, "A B", cColor(1, 1, 1, 1), -1, false, false, false);
    // The coded sheet's glyphs are (1, c, 1): the mask clears red and blue,
    // the added glyph puts them back.
    expect_pixel(pixel(20, 20), {255, 128 + 65 - 128 * 65 / 255, 255, 255}, 2, "A");
    expect_pixel(pixel(16 + 12 + 4, 20), background, 1, "the blank leaves the background");
    expect_pixel(pixel(16 + 24 + 4, 20), {255, 128 + 66 - 128 * 66 / 255, 255, 255}, 2, "B");
    EXPECT_EQ(end_frame().draw_calls, 2);

    clear_to(0.5f);
    draw_screen_text(text, cVector2D<int32_t>(16, 16), 16, 12, "A", cColor(1, 0, 0, 1), -1, false, false, false);
    expect_pixel(pixel(20, 20), {255, 128 - 128 * 65 / 255, 0, 255}, 2, "red text");

    clear_to(0.5f);
    draw_screen_text(text, cVector2D<int32_t>(16, 16), 16, 12, "A", cColor(1, 1, 1, 0), -1, false, false, false);
    expect_pixel(pixel(20, 20), background, 1, "alpha 0 draws nothing");
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

// The picture is kept beside the test for a person to look at.
TEST_F(ScreenText, RealGlyphSheetDrawsReadableText)
{
    ASSERT_TRUE(use_real_glyph_sheet());
    clear_to(0.2f);
    draw_screen_text(text, cVector2D<int32_t>(8, 8), 16, 12, "Zorblit Rally\n#C8008red #C0808green #C0088blue",
                     cColor(1, 1, 1, 1), -1, false, false, false);
    draw_screen_text(text, cVector2D<int32_t>(160, 80), 16, 12, "centred\ntwo lines", cColor(1, 1, 0, 1), -1, true,
                     false, false);
    draw_screen_text(text, cVector2D<int32_t>(8, 120), 16, 12, "secret", cColor(1, 1, 1, 1), 6, false, false, true);
    draw_screen_box(cVector2D<int32_t>(60, 20), text, cVector2D<int32_t>(200, 200), cColor(0, 0.5f, 1, 1));
    std::vector<uint8_t> shot = screenshot();
    EXPECT_TRUE(graphics->export_image(ZR_BUILD_DIR "/tests/drawing/screen_text.png", kWidth, kHeight, shot.data()));

    int lit = 0, red_only = 0;
    for (int y = 8; y < 24; ++y)
        for (int x = 8; x < 8 + 13 * 12; ++x) lit += pixel(x, y).r > 200 && pixel(x, y).g > 200;
    for (int y = 24; y < 40; ++y)
        for (int x = 8; x < 8 + 3 * 12; ++x) red_only += pixel(x, y).r > 150 && pixel(x, y).g < 80;
    EXPECT_GT(lit, 100) << "white glyph pixels of the first line";
    EXPECT_GT(red_only, 20) << "red glyph pixels of \"red\"";
    expect_pixel(pixel(300, 10), {51, 51, 51, 255}, 1, "untouched background");
}

// Text on a lit box, as on the menu's buttons: the glyph cells must not
// darken the box around the letters, and the letters stay brighter than it.
TEST_F(ScreenText, RealGlyphSheetOverAGreyBoxLeavesTheGreyAroundTheLetters)
{
    ASSERT_TRUE(use_real_glyph_sheet());
    clear_to(0);
    draw_screen_box(cVector2D<int32_t>(200, 32), text, cVector2D<int32_t>(120, 40), cColor(0.5f, 0.5f, 0.5f, 1));
    const char* const line = "Host Game, iii!";
    draw_screen_text(text, cVector2D<int32_t>(32, 32), 16, 12, line, cColor(1, 1, 1, 1), -1, false, false, false);
    std::vector<uint8_t> shot = screenshot();
    EXPECT_TRUE(graphics->export_image(ZR_BUILD_DIR "/tests/drawing/text_on_grey.png", kWidth, kHeight, shot.data()));

    int darker = 0, brighter = 0;
    for (int y = 24; y < 56; ++y)
        for (int x = 20; x < 220; ++x) {
            const Pixel p = pixel(x, y);
            darker += p.r < 124 || p.g < 124 || p.b < 124;
            brighter += p.r > 200 && p.g > 200 && p.b > 200;
        }
    EXPECT_EQ(darker, 0) << "pixels of the box darker than its grey";
    EXPECT_GT(brighter, 100) << "white glyph pixels";
    expect_pixel(pixel(32 + 4 * 12 + 6, 40), {128, 128, 128, 255}, 1, "the blank between the words");
    expect_pixel(pixel(26, 40), {128, 128, 128, 255}, 1, "left of the text");
}
