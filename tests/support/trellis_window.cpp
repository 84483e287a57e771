#include "tests/support/trellis_window.h"

#include <GL/gl.h>
#include <unistd.h>

#include "base/modules.h"
#include "base/plugin.h"
#include "base/trigonometry.h"

void TrellisWindow::SetUp()
{
    char here[4096];
    ASSERT_NE(getcwd(here, sizeof here), nullptr);
    home = here;
    make_folder(scratch / "plugin");
    copy_file(std::string(ZR_GAME_DIR) + "/plugin/trellis.so", scratch / "plugin/trellis.so");
    ASSERT_EQ(chdir(scratch.path().c_str()), 0);
    __mCore_open();
    __init_trig_tables();
    graphics = __mGraphics_instance()->interface_table;
    ASSERT_NE(graphics, nullptr);
    ASSERT_TRUE(graphics->open_window(kWidth, kHeight, false, shaders, vbos, display_lists));
    graphics->set_orthographic(0, 0, kWidth, kHeight);
    // The counters belong to the plug-in, not the window: start each test
    // with a fresh frame so a whole binary can run in one process.
    FrameStatistics ended = {};
    graphics->end_frame(nullptr, &ended);
    clear_to(0);
}

void TrellisWindow::TearDown()
{
    if (graphics) graphics->close_window();
    __clear_trig_tables();
    if (!home.empty()) {
        ASSERT_EQ(chdir(home.c_str()), 0);
    }
}

Pixel TrellisWindow::pixel(int x, int y) const
{
    GLubyte rgba[4] = {};
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, kHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

std::vector<uint8_t> TrellisWindow::screenshot() const
{
    std::vector<uint8_t> bottom_up(size_t(kWidth) * kHeight * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
    std::vector<uint8_t> top_down(bottom_up.size());
    const size_t row = size_t(kWidth) * 4;
    for (size_t y = 0; y < kHeight; ++y)
        std::copy_n(&bottom_up[(kHeight - 1 - y) * row], row, &top_down[y * row]);
    return top_down;
}

void TrellisWindow::clear_to(float grey)
{
    cColor color(grey, grey, grey, 1);
    graphics->set_clear_color(&color);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

FrameStatistics TrellisWindow::end_frame()
{
    FrameStatistics stats = {};
    graphics->end_frame(nullptr, &stats);
    return stats;
}

int TrellisWindow::texture_of(uint16_t width, uint16_t height, std::vector<uint8_t> rgba)
{
    return graphics->create_texture(&width, &height, rgba.data(), false, false, false, -1, nullptr);
}

int TrellisWindow::coded_glyph_sheet()
{
    std::vector<uint8_t> sheet(256 * 256 * 4);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int c = (y / 16) * 16 + x / 16;
            uint8_t* p = &sheet[size_t(y * 256 + x) * 4];
            if (c == ' ') continue;
            p[0] = 255;
            p[1] = uint8_t(c);
            p[2] = 255;
            p[3] = 255;
        }
    return texture_of(256, 256, sheet);
}

void expect_pixel(const Pixel& actual, const Pixel& expected, int tolerance, const std::string& where)
{
    EXPECT_NEAR(actual.r, expected.r, tolerance) << where;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << where;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << where;
}
