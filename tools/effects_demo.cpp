// Shows each of sparkle's effects in a window through the platform plug-in:
// an emitter's sparks, text particles, a chain, lightning bolts and fog.
//   effects_demo [--frames N] [--screenshot file.png]
// Runs N frames (600 by default) at 60 a second; the screenshot is of the last.
#include <GL/gl.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/color.h"
#include "base/modules.h"
#include "base/plugin.h"
#include "base/random.h"
#include "effects/sparkle.h"

namespace {

constexpr uint16_t kWidth = 640;
constexpr uint16_t kHeight = 480;
constexpr float kStep = 1.0f / 60;

graphics_interface& graphics()
{
    return *__mGraphics_instance()->interface_table;
}

int texture_of(uint16_t width, uint16_t height, std::vector<uint8_t>& rgba)
{
    return graphics().create_texture(&width, &height, rgba.data(), true, false, true, -1, nullptr);
}

// A white disc fading out from its centre, in `cells` cells across, each a
// little smaller than the one before.
int soft_disc(int size, int cells)
{
    std::vector<uint8_t> rgba(size_t(size) * cells * size * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size * cells; ++x) {
            const int cell = x / size;
            const double dx = (x % size + 0.5) / size * 2 - 1, dy = (y + 0.5) / size * 2 - 1;
            const double reach = 1 - 0.15 * cell;
            const double fade = std::fmax(0, 1 - std::sqrt(dx * dx + dy * dy) / reach);
            uint8_t* p = &rgba[(size_t(y) * size * cells + x) * 4];
            p[0] = p[1] = p[2] = uint8_t(255 * fade);
            p[3] = uint8_t(255 * fade);
        }
    return texture_of(uint16_t(size * cells), uint16_t(size), rgba);
}

// Bright along its middle line, dark at both edges: the look of a beam.
int beam(int length, int cells)
{
    const int height = 32;
    std::vector<uint8_t> rgba(size_t(length) * cells * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < length * cells; ++x) {
            const double across = 1 - std::fabs((y + 0.5) / height * 2 - 1);
            const double ripple = 0.7 + 0.3 * std::sin(x * 6.2831853 / length);
            const uint8_t v = uint8_t(255 * across * across * ripple);
            uint8_t* p = &rgba[(size_t(y) * length * cells + x) * 4];
            p[0] = p[1] = p[2] = p[3] = v;
        }
    return texture_of(uint16_t(length * cells), uint16_t(height), rgba);
}

struct Textures {
    int spark, disc, nodes, beam;
};

void add_sparks(const Textures& t)
{
    double x = 140, y = 380, radius_x = 30, radius_y = 8;
    float emitter_life = 1000, rate = 120, particle_life = 1.6f, speed = 90;
    float size_x[3] = {18, 12, 4}, size_y[3] = {18, 12, 4};
    int16_t size_count = 3, key_count = 3, cells = 4, frames = 4;
    cColor yellow(1, 0.9f, 0.3f, 1), orange(1, 0.4f, 0.05f, 0.8f), smoke(0.3f, 0.3f, 0.3f, 0);
    cColor* keys[3] = {&yellow, &orange, &smoke};
    float ax = 0, ay = -120, drag = 0.8f, frame = 0;
    int glow = t.spark, mask = t.spark;
    __mFX_particle_add_emitter(&x, &y, &radius_x, &radius_y, &emitter_life, &rate, size_x, size_y, &size_count,
                               keys, &key_count, &particle_life, &speed, &ax, &ay, &drag, &drag, &glow, &mask,
                               &cells, &frames, &frame);
}

void add_score_text(int frame)
{
    if (frame % 40 != 0) return;
    float x = 140 + float(__mRandom_rand() % 60) - 30, y = 200;
    float size_x[1] = {16}, size_y[1] = {20};
    int16_t size_count = 1, key_count = 2, cells = 1, frames = 0;
    cColor green(0.3f, 1, 0.4f, 1), gone(0.3f, 1, 0.4f, 0);
    cColor* keys[2] = {&green, &gone};
    float life = 1.5f, vx = 0, vy = -40, zero = 0, current = 0;
    int image = 0;
    __mFX_particle_add(&x, &y, size_x, size_y, &size_count, keys, &key_count, &life, &vx, &vy, &zero, &zero, &zero,
                       &zero, &image, &image, &cells, &frames, &current, "+25");
}

void add_chain(const Textures& t, int frame)
{
    if (frame % 75 != 0) return;
    float xs[10], ys[10];
    for (int i = 0; i < 10; ++i) {
        xs[i] = 300 + 30.0f * i;
        ys[i] = 110 + 40 * std::sin(i * 0.8f + frame * 0.05f);
    }
    int16_t count = 10, key_count = 2, cells = 2, rate = 3, mode = 1;
    cColor cyan(0.2f, 0.8f, 1, 1), violet(0.7f, 0.2f, 1, 0.3f);
    cColor* keys[2] = {&cyan, &violet};
    float life = 1.2f, final_width = 6, initial_width = 26, phase = 0;
    int strip_glow = t.beam, strip_mask = -1, node_glow = t.nodes, node_mask = t.nodes;
    __mFX_chain_add(xs, ys, &count, keys, &key_count, &life, &final_width, &initial_width, &strip_glow, &strip_mask,
                    &node_glow, &node_mask, &cells, &rate, &phase, &mode);
}

void add_lightning(int frame)
{
    if (frame % 20 != 0) return;
    float xs[3] = {320, 420 + float(__mRandom_rand() % 80), 600}, ys[3] = {250, 330, 420};
    int16_t count = 3, key_count = 2, segments = 9, depth = 4;
    cColor white(0.9f, 0.9f, 1, 1), blue(0.3f, 0.4f, 1, 0);
    cColor* keys[2] = {&white, &blue};
    float life = 0.4f, jitter = 12, chance = 0.3f;
    __mFX_lightning_add(xs, ys, &count, keys, &key_count, &life, &jitter, &segments, &chance, &depth);
    float x1 = 20, y1 = 20, x2 = 620, y2 = 20;
    __mFX_lightning_add_line(&x1, &y1, &x2, &y2, &white, &blue, &life);
}

// A band of fog over the lower right that drifts with the frames.
void set_fog(int frame)
{
    for (int16_t y = 0; y < 12; ++y)
        for (int16_t x = 0; x < 16; ++x) {
            const float d = x < 8 || y < 6 ? 0 : 0.25f + 0.2f * std::sin(x * 0.9f + y * 0.7f + frame * 0.03f);
            int16_t cx = x, cy = y;
            __mFX_fog_change_point(&cx, &cy, d);
        }
}

void save_screenshot(const char* path)
{
    std::vector<uint8_t> bottom_up(size_t(kWidth) * kHeight * 4), top_down(bottom_up.size());
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
    const size_t row = size_t(kWidth) * 4;
    for (size_t y = 0; y < kHeight; ++y) memcpy(&top_down[y * row], &bottom_up[(kHeight - 1 - y) * row], row);
    // The blending leaves its own alpha behind; the window shows none.
    for (size_t i = 3; i < top_down.size(); i += 4) top_down[i] = 255;
    if (!graphics().export_image(path, kWidth, kHeight, top_down.data()))
        printf("ERROR: Could not write the screenshot %s\n", path);
}

}  // namespace

int main(int argc, char** argv)
{
    int frames = 600;
    const char* screenshot = nullptr;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!strcmp(argv[i], "--frames")) frames = atoi(argv[i + 1]);
        if (!strcmp(argv[i], "--screenshot")) screenshot = argv[i + 1];
    }
    char here[4096] = "";
    if (!getcwd(here, sizeof here)) here[0] = 0;
    const std::string screenshot_path = !screenshot ? "" : screenshot[0] == '/' ? screenshot : std::string(here) + "/" + screenshot;
    // The plug-ins are found in "plugin" beside the program.
    if (chdir(ZR_GAME_DIR) != 0 || !__mCore_open() || !__mGraphics_instance()->interface_table) {
        printf("ERROR: No graphics module to draw with\n");
        return 1;
    }
    if (!graphics().open_window(kWidth, kHeight, false, false, false, false)) return 1;
    __mGraphics_instance()->window_width = kWidth;
    __mGraphics_instance()->window_height = kHeight;
    graphics().set_orthographic(0, 0, kWidth, kHeight);
    graphics().set_depth_test(false);
    cColor night(0.22f, 0.26f, 0.4f, 1);
    graphics().set_clear_color(&night);

    __mFX_open();
    const Textures t{soft_disc(32, 4), soft_disc(64, 1), soft_disc(32, 2), beam(64, 2)};
    modGraphics* module = __mGraphics_instance();
    module->glyph_texture = module->textures->load_texture("data/+engine/font.png", true, false, true);
    int16_t fog_width = 16, fog_height = 12;
    __mFX_fog_set_grid_size(&fog_width, &fog_height);
    add_sparks(t);

    double camera = 0;
    float step = kStep;
    FrameStatistics stats = {};
    for (int frame = 0; frame < frames; ++frame) {
        add_score_text(frame);
        add_chain(t, frame);
        add_lightning(frame);
        set_fog(frame);
        __mFX_update(&step);
        __mFX_fog_draw(t.disc);
        __mFX_chain_draw(&camera, &camera);
        __mFX_lightning_draw(&camera, &camera);
        __mFX_particle_draw(&camera, &camera);
        if (frame + 1 == frames && screenshot) save_screenshot(screenshot_path.c_str());
        graphics().end_frame(nullptr, &stats);
        usleep(1000000 / 60);
    }
    __mFX_close();
    graphics().close_window();
    __mCore_close();
    return 0;
}
