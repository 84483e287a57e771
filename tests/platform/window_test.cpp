// The window, the texture table, the loader thread and the frame, on a real
// window under X with software GL; pixels are read back from the back buffer.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <SDL.h>
#include <SDL_syswm.h>
#include <X11/Xutil.h>

#include <atomic>
#include <string>
#include <vector>

#include "base/color.h"
#include "base/matrix.h"
#include "base/vector.h"
#include "platform/device.h"
#include "platform/window.h"
#include "platform/x11.h"

namespace {

constexpr uint16_t kWidth = 320;
constexpr uint16_t kHeight = 240;

// Colours as the window shows them; its visual may have no alpha.
struct Rgb {
    uint8_t r, g, b;
    bool operator==(const Rgb& other) const { return r == other.r && g == other.g && b == other.b; }
    bool operator!=(const Rgb& other) const { return !(*this == other); }
};

std::ostream& operator<<(std::ostream& out, const Rgb& c)
{
    return out << "(" << int(c.r) << "," << int(c.g) << "," << int(c.b) << ")";
}

struct Rgba {
    uint8_t r, g, b, a;
};

const Rgb kWhite = {255, 255, 255};
const Rgb kBlack = {0, 0, 0};
const Rgba kRed = {255, 0, 0, 255};
const Rgba kGreen = {0, 255, 0, 255};
const Rgba kBlue = {0, 0, 255, 255};

Rgb rgb(const Rgba& c)
{
    return {c.r, c.g, c.b};
}

// What the X server shows of the window at (x, y) from the top-left. Other
// tests' windows may cover it, so it is raised first.
Rgb shown(int x, int y)
{
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (SDL_GetWMInfo(&info) <= 0) return {};
    Display* display = XOpenDisplay(nullptr);
    XRaiseWindow(display, info.info.x11.wmwindow);
    XSync(display, False);
    XImage* image = XGetImage(display, info.info.x11.window, x, y, 1, 1, AllPlanes, ZPixmap);
    const unsigned long value = image ? XGetPixel(image, 0, 0) : 0;
    if (image) XDestroyImage(image);
    XCloseDisplay(display);
    return {uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
}

std::atomic<int> lastDone{-100};

void note_done(int32_t texture)
{
    lastDone = texture;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        trellis::x11_prepare_threads();
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        testing::internal::CaptureStdout();
        const bool opened = trellis::open_window(kWidth, kHeight, false, true, true, false);
        opening_output = testing::internal::GetCapturedStdout();
        ASSERT_TRUE(opened) << opening_output;
    }
    void TearDown() override
    {
        trellis::close_window();
        SDL_Quit();
    }

    // A texture of one colour; the printed lines go to printed.
    int make(Rgba colour, int replace = -1, uint16_t width = 4, uint16_t height = 4)
    {
        std::vector<Rgba> pixels(size_t(width) * height, colour);
        testing::internal::CaptureStdout();
        const int id = trellis::create_texture(&width, &height, reinterpret_cast<uint8_t*>(pixels.data()), false,
                                               false, false, replace, nullptr);
        printed = testing::internal::GetCapturedStdout();
        return id;
    }

    // Draws the texture over the whole window and reads the middle pixel.
    static Rgb drawn(int texture)
    {
        trellis::set_orthographic(0, 0, kWidth, kHeight);
        glDisable(GL_CULL_FACE);
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, trellis::texture_gl_name(texture));
        glColor4f(1, 1, 1, 1);
        glBegin(GL_QUADS);
        glTexCoord2d(0, 0);
        glVertex2i(0, 0);
        glTexCoord2d(1, 0);
        glVertex2i(kWidth, 0);
        glTexCoord2d(1, 1);
        glVertex2i(kWidth, kHeight);
        glTexCoord2d(0, 1);
        glVertex2i(0, kHeight);
        glEnd();
        return pixel(kWidth / 2, kHeight / 2);
    }

    // x, y from the bottom-left, as GL counts.
    static Rgb pixel(int x, int y)
    {
        Rgb colour = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, &colour);
        return colour;
    }

    static int modelview_depth()
    {
        GLint depth = 0;
        glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
        return depth;
    }

    std::string opening_output;
    std::string printed;
};

}  // namespace

TEST_F(WindowTest, OpensAtTheAskedSizeWithWhiteTextureZero)
{
    SDL_Surface* screen = SDL_GetVideoSurface();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->w, kWidth);
    EXPECT_EQ(screen->h, kHeight);
    EXPECT_EQ(opening_output, "") << "no warning on a GL 2 context, texture zero is id 0";
    EXPECT_TRUE(trellis::shaders_available());
    EXPECT_TRUE(trellis::vbos_available());
    EXPECT_FALSE(trellis::display_lists_available());
    EXPECT_EQ(drawn(0), kWhite);
}

TEST_F(WindowTest, TextureIdsAndRefusedDeletes)
{
    EXPECT_EQ(make(kRed), 1);
    EXPECT_EQ(make(kGreen), 2);
    EXPECT_EQ(drawn(1), rgb(kRed));
    EXPECT_EQ(drawn(2), rgb(kGreen));

    for (int id : {0, -3}) {
        testing::internal::CaptureStdout();
        EXPECT_FALSE(trellis::delete_texture(id)) << id;
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "ERROR: Cannot delete texture 0 or lower\n") << id;
    }
    EXPECT_FALSE(trellis::delete_texture(3)) << "past the end";
    EXPECT_TRUE(trellis::delete_texture(2));
    EXPECT_FALSE(trellis::delete_texture(2)) << "already white";
    EXPECT_EQ(drawn(2), kWhite) << "a deleted id draws white";
    EXPECT_EQ(drawn(1), rgb(kRed));
    EXPECT_EQ(make(kBlue), 3) << "ids are never reused by append";
}

TEST_F(WindowTest, ReplacingKeepsOnlyIdsInsideTheTable)
{
    ASSERT_EQ(make(kRed), 1);
    ASSERT_EQ(make(kRed), 2);
    const struct {
        int replace;
        int id;
    } cases[] = {{2, 2}, {1, 1}, {0, 3}, {99, 4}, {-5, 5}, {-1, 6}};
    for (const auto& c : cases) {
        EXPECT_EQ(make(kGreen, c.replace), c.id) << "replace " << c.replace;
        EXPECT_EQ(drawn(c.id), rgb(kGreen)) << "replace " << c.replace;
    }
    EXPECT_EQ(drawn(0), kWhite) << "texture zero is never replaced";
}

TEST_F(WindowTest, SidesThatAreNoPowerOfTwoWarnButMakeTheTexture)
{
    const struct {
        uint16_t width, height;
        const char* printed;
    } cases[] = {
        {100, 64, "WARNING: Graphic width not a power of 2\n"},
        {64, 3, "WARNING: Graphic height not a power of 2\n"},
        {6, 0, "WARNING: Graphic width not a power of 2\nWARNING: Graphic height not a power of 2\n"},
        {128, 32, ""},
    };
    for (const auto& c : cases) {
        const int id = make(kBlue, -1, c.width, c.height);
        EXPECT_GT(id, 0);
        EXPECT_EQ(printed, c.printed) << c.width << "x" << c.height;
    }
    EXPECT_EQ(drawn(1), rgb(kBlue));
}

TEST_F(WindowTest, CallbackRunsAndMipmapsWithoutPixelsSkipTheUpload)
{
    uint16_t width = 8, height = 8;
    const int id = trellis::create_texture(&width, &height, nullptr, true, true, true, -1, note_done);
    EXPECT_EQ(id, 1);
    EXPECT_EQ(lastDone, 1);
}

TEST_F(WindowTest, TextureMadeOnTheLoaderThreadDrawsInTheWindowContext)
{
    std::vector<Rgba> pixels(16, kBlue);
    const int id = trellis::queue_texture_load(4, 4, reinterpret_cast<uint8_t*>(pixels.data()), false, false,
                                               false, note_done);
    ASSERT_EQ(id, 1);
    pixels.assign(16, kRed);  // the loader works from its own copy
    for (int wait = 0; wait < 500 && (lastDone != id || trellis::texture_loads_pending()); ++wait) SDL_Delay(10);
    ASSERT_EQ(lastDone, id);
    EXPECT_EQ(drawn(id), rgb(kBlue));
}

TEST_F(WindowTest, EndFrameHandsOutTheCountersAndSwapsFromTheSecondFrameOn)
{
    trellis::device().counters = {3, 12, 4, 1, 2};
    FrameStatistics stats = {};
    // The first frame does not swap: what it drew never reaches the front.
    EXPECT_EQ(drawn(0), kWhite);
    trellis::end_frame(nullptr, &stats);
    EXPECT_EQ(stats.frames, 1);
    EXPECT_EQ(stats.draw_calls, 3);
    EXPECT_EQ(stats.vertices, 12);
    EXPECT_EQ(stats.triangles, 4);
    EXPECT_EQ(stats.vbo_draws, 1);
    EXPECT_EQ(stats.display_list_calls, 2);
    glFinish();
    EXPECT_NE(shown(10, 10), kWhite);
    EXPECT_EQ(pixel(10, 10), kBlack) << "the back buffer is cleared";

    EXPECT_EQ(drawn(0), kWhite);
    trellis::end_frame(nullptr, &stats);
    EXPECT_EQ(stats.frames, 2);
    EXPECT_EQ(stats.draw_calls, 0) << "the counters start again at zero";
    glFinish();
    EXPECT_EQ(shown(10, 10), kWhite);
}

TEST_F(WindowTest, ProjectionsKeepOnePushedMatrixAndCloseTakesItBack)
{
    EXPECT_EQ(modelview_depth(), 1);
    trellis::set_orthographic(0, 0, kWidth, kHeight);
    trellis::set_orthographic(0, 0, kWidth, kHeight);
    EXPECT_EQ(modelview_depth(), 2);
    double fov = 45;
    cVector3D position(0, 0, 5);
    cMatrix3D rotation;
    trellis::set_perspective(0, 0, kWidth, kHeight, &fov, &position, &rotation);
    EXPECT_EQ(modelview_depth(), 2);
    trellis::close_window();
    EXPECT_EQ(modelview_depth(), 1);
    trellis::close_window();  // a closed window closes quietly
    EXPECT_EQ(modelview_depth(), 1);
}

TEST_F(WindowTest, OpeningAgainStartsANewTextureTable)
{
    ASSERT_EQ(make(kRed), 1);
    trellis::set_orthographic(0, 0, kWidth, kHeight);
    testing::internal::CaptureStdout();
    ASSERT_TRUE(trellis::open_window(160, 120, false, false, false, true));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(SDL_GetVideoSurface()->w, 160);
    EXPECT_FALSE(trellis::shaders_available()) << "not wanted";
    EXPECT_TRUE(trellis::display_lists_available());
    EXPECT_EQ(modelview_depth(), 1);
    EXPECT_EQ(make(kGreen), 1) << "the old table went with the old window";
}

TEST_F(WindowTest, TwoDimensionalCoordinatesStartAtTheTopLeft)
{
    trellis::set_viewport(10, 20, 100, 50, kWidth, kHeight, false);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4), (std::vector<GLint>{10, kHeight - 70, 100, 50}));

    trellis::set_orthographic(0, 0, kWidth, kHeight);
    glDisable(GL_TEXTURE_2D);
    glColor4f(1, 0, 0, 1);
    glBegin(GL_QUADS);
    glVertex2i(0, 0);
    glVertex2i(10, 0);
    glVertex2i(10, 10);
    glVertex2i(0, 10);
    glEnd();
    EXPECT_EQ(pixel(2, kHeight - 3), rgb(kRed)) << "near the top-left corner";
    EXPECT_EQ(pixel(2, 2), kBlack) << "not at the bottom";
}

TEST_F(WindowTest, UnprojectingAndProjectingAPointComeBackToIt)
{
    trellis::set_depth_range(0.5, 100);
    double fov = 60;
    cVector3D position(1, 2, 10);
    cMatrix3D rotation;
    trellis::set_perspective(0, 0, kWidth, kHeight, &fov, &position, &rotation);
    glClear(GL_DEPTH_BUFFER_BIT);

    const struct {
        int32_t x, y;
    } cases[] = {{100, 60}, {0, 0}, {319, 239}, {-40, 900}};
    for (const auto& c : cases) {
        cVector2D<int32_t> window(c.x, c.y);
        cVector3D world;
        EXPECT_EQ(trellis::unproject_point(&world, &window), GL_TRUE);
        cVector2D<int32_t> back;
        trellis::project_point(&back, &world);
        EXPECT_NEAR(back.x, c.x, 1) << c.x << "," << c.y;
        EXPECT_NEAR(back.y, c.y, 1) << c.x << "," << c.y;
    }
    // The middle of the window looks straight down -z from the camera.
    cVector2D<int32_t> middle(kWidth / 2, kHeight / 2);
    cVector3D world;
    trellis::unproject_point(&world, &middle);
    EXPECT_NEAR(world.x, 1, 0.1);
    EXPECT_NEAR(world.y, 2, 0.1);
    EXPECT_NEAR(world.z, 10 - 100, 1) << "on the far plane, where the cleared depth lies";
}

TEST_F(WindowTest, ClearColourIgnoresAlphaAndFogWeighsByIt)
{
    cColor colour(0.5f, 0.25f, 1.0f, 0.5f);
    trellis::set_clear_color(&colour);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_EQ(std::vector<GLfloat>(clear, clear + 4), (std::vector<GLfloat>{0.5f, 0.25f, 1.0f, 1.0f}));

    float density = 0.35f, start = 900, end = 1000;
    trellis::set_fog(&colour, &density, &start, &end);
    GLfloat fog[4];
    glGetFloatv(GL_FOG_COLOR, fog);
    EXPECT_EQ(std::vector<GLfloat>(fog, fog + 4), (std::vector<GLfloat>{0.25f, 0.125f, 0.5f, 1.0f}));
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    GLfloat fog_end = 0;
    glGetFloatv(GL_FOG_END, &fog_end);
    EXPECT_EQ(fog_end, 1000);

    trellis::set_ambient_light(&colour);
    GLfloat ambient[4];
    glGetFloatv(GL_LIGHT_MODEL_AMBIENT, ambient);
    EXPECT_EQ(std::vector<GLfloat>(ambient, ambient + 4), (std::vector<GLfloat>{0.25f, 0.125f, 0.5f, 1.0f}));
}
