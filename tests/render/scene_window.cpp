#include "tests/render/scene_window.h"

#include "base/matrix.h"
#include "base/modules.h"
#include "base/strings.h"
#include "base/vector.h"
#include "scene/primitives.h"
#include "tests/support/gl_version.h"

SceneWindow::SceneWindow(bool shaders, bool vbos, bool display_lists, const char* gl_version)
    : TrellisWindow(shaders, vbos, display_lists), gl_version(gl_version)
{
    // Mesa reads it as the first context of the process is made (gl_version.h).
    if (gl_version) setenv("MESA_GL_VERSION_OVERRIDE", gl_version, 1);
}

SceneWindow::~SceneWindow()
{
    if (gl_version) unsetenv("MESA_GL_VERSION_OVERRIDE");
}

void SceneWindow::SetUp()
{
    if (ran_alone_for_gl_version(gl_version)) GTEST_SKIP() << "ran alone, for its GL version";
    TrellisWindow::SetUp();
    note_gl_version(gl_version);
    primitive_registry().open_sets();
}

void SceneWindow::TearDown()
{
    if (graphics) {
        // The next window gets the same GL context, lights and all.
        for (int16_t light = 0; light < 8; ++light) graphics->set_light(light, nullptr);
        const RoutedMessage close = {__mystring_hash("CloseGraphics"), 0, 0};
        __messageRouter_post_message(&__mGraphics_instance()->mailboxes, &close);
    }
    TrellisWindow::TearDown();
}

void SceneWindow::look_at_origin()
{
    graphics->set_depth_range(0.1, 100);
    double fov = 45;
    cVector3D camera(0, 0, 4);
    cMatrix3D rotation;
    graphics->set_perspective(0, 0, kWidth, kHeight, &fov, &camera, &rotation);
    cColor black(0, 0, 0, 1);
    float density = 0, start = 0, end = 1000;
    graphics->set_fog(&black, &density, &start, &end);
    cColor dim(0.15f, 0.15f, 0.15f, 1);
    graphics->set_ambient_light(&dim);
    graphics->set_lighting(true);
    graphics->set_depth_test(false);
    graphics->bind_texture(0, 0);
}

int SceneWindow::coverage(int threshold) const
{
    const std::vector<uint8_t> pixels = screenshot();
    int covered = 0;
    for (size_t i = 0; i < pixels.size(); i += 4)
        if (pixels[i] > threshold || pixels[i + 1] > threshold || pixels[i + 2] > threshold) ++covered;
    return covered;
}

double SceneWindow::brightness(int x, int y, int half) const
{
    double sum = 0;
    int count = 0;
    for (int dy = -half; dy <= half; ++dy)
        for (int dx = -half; dx <= half; ++dx) {
            const Pixel p = pixel(x + dx, y + dy);
            sum += p.r + p.g + p.b;
            ++count;
        }
    return sum / count;
}

void SceneWindow::save_screenshot(const std::string& name) const
{
    const char* folder = getenv("ZR_SCREENSHOT_DIR");
    if (!folder) return;
    std::vector<uint8_t> pixels = screenshot();
    graphics->export_image((std::string(folder) + "/" + name + ".png").c_str(), kWidth, kHeight, pixels.data());
}
