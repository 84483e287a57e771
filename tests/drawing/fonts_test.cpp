// Fonts through the plug-in: a line of text becomes a power-of-two texture
// with the text, white and visible, at its top-left.
#include <GL/gl.h>
#include <SDL_ttf.h>

#include "tests/support/trellis_window.h"

namespace {

int power_of_two_at_least(int size)
{
    int power = 1;
    while (power < size) power *= 2;
    return power;
}

}  // namespace

class Fonts : public TrellisWindow {
protected:
    std::vector<uint8_t> texture_pixels(int texture, int width, int height)
    {
        graphics->bind_texture(texture, 0);
        std::vector<uint8_t> rgba(size_t(width) * height * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        return rgba;
    }
};

TEST_F(Fonts, RenderedTextFillsAPowerOfTwoTexture)
{
    const int font = graphics->open_font(ZR_FONT_FILE, 16);
    ASSERT_EQ(font, 0);
    EXPECT_EQ(graphics->open_font(ZR_FONT_FILE, 30), 1);

    // The expected size comes from the font library itself.
    ASSERT_EQ(TTF_Init(), 0);
    TTF_Font* same = TTF_OpenFont(ZR_FONT_FILE, 16);
    ASSERT_NE(same, nullptr);
    const struct {
        const char* text;
    } cases[] = {{"Zorblit"}, {"x"}, {"A longer line of text for the menu"}};
    for (const auto& c : cases) {
        int text_width = 0, text_height = 0;
        TTF_SizeText(same, c.text, &text_width, &text_height);
        uint16_t width = 0, height = 0;
        const int texture = graphics->render_text(c.text, font, &width, &height);
        ASSERT_GT(texture, 0) << c.text;
        EXPECT_EQ(width, power_of_two_at_least(text_width)) << c.text;
        EXPECT_EQ(height, power_of_two_at_least(text_height)) << c.text;

        const std::vector<uint8_t> rgba = texture_pixels(texture, width, height);
        int visible = 0, not_white = 0, outside = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint8_t* p = &rgba[size_t(y * width + x) * 4];
                if (p[3] < 128) continue;
                ++visible;
                not_white += p[0] != 255 || p[1] != 255 || p[2] != 255;
                outside += x >= text_width || y >= text_height;
            }
        EXPECT_GT(visible, 5) << c.text;
        EXPECT_EQ(not_white, 0) << c.text;
        EXPECT_EQ(outside, 0) << c.text;
    }
    TTF_CloseFont(same);
    TTF_Quit();
}

TEST_F(Fonts, NothingToRenderIsMinusOne)
{
    const int font = graphics->open_font(ZR_FONT_FILE, 16);
    uint16_t width = 9, height = 9;
    EXPECT_EQ(graphics->render_text("", font, &width, &height), -1);
    EXPECT_EQ(graphics->render_text("text", font + 1, &width, &height), -1);
    EXPECT_EQ(graphics->render_text("text", -1, &width, &height), -1);
    EXPECT_EQ(graphics->open_font((scratch / "missing.ttf").c_str(), 16), -1);
    EXPECT_EQ(width, 9);
    EXPECT_EQ(height, 9);
}

TEST_F(Fonts, ClosingTheWindowClosesItsFonts)
{
    ASSERT_EQ(graphics->open_font(ZR_FONT_FILE, 16), 0);
    graphics->close_window();
    ASSERT_TRUE(graphics->open_window(kWidth, kHeight, false, false, false, false));
    uint16_t width = 0, height = 0;
    EXPECT_EQ(graphics->render_text("text", 0, &width, &height), -1);
    EXPECT_EQ(graphics->open_font(ZR_FONT_FILE, 16), 0);
}
