// The plug-in's window set up for the scene: a perspective view from
// (0, 0, 4) towards the origin, fog pushed out of the way, a dim global
// ambient, and ways to measure what was drawn. Like the engine, a test ends
// by posting "CloseGraphics", which ends the cached spheres; the next test's
// window makes the registry's sets again.
#pragma once

#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdlib>
#include <string>

#include "tests/support/printed.h"
#include "tests/support/trellis_window.h"

class SceneWindow : public TrellisWindow {
protected:
    SceneWindow(bool shaders, bool vbos, bool display_lists, const char* gl_version = nullptr);
    ~SceneWindow() override;
    void SetUp() override;
    // Closes graphics as the engine does: "CloseGraphics", then the window.
    void TearDown() override;

    // The perspective view; lighting on for the fixed pipeline.
    void look_at_origin();
    // Pixels brighter than the background in any channel.
    int coverage(int threshold = 24) const;
    // Mean of r + g + b over a block of pixels around (x, y).
    double brightness(int x, int y, int half = 3) const;
    // Writes the back buffer to a PNG in ZR_SCREENSHOT_DIR when it is set.
    void save_screenshot(const std::string& name) const;

private:
    const char* gl_version;
};

// Every GL path of the plug-in: shaders, buffers and lists.
class FullGL : public SceneWindow {
protected:
    FullGL() : SceneWindow(true, true, true) {}
};

// The fixed pipeline, with buffers.
class FixedWithBuffers : public SceneWindow {
protected:
    FixedWithBuffers() : SceneWindow(false, true, true) {}
};

// Shaders but no vertex buffers: display lists draw.
class ShadersWithLists : public SceneWindow {
protected:
    ShadersWithLists() : SceneWindow(true, false, true) {}
};

// What a GL 1.4 driver offers: no shaders, no buffers; lists remain.
class OldGL : public SceneWindow {
protected:
    OldGL() : SceneWindow(true, true, true, "1.4") {}
};

// A GL 1.5 driver: buffers, no shaders.
class GL15 : public SceneWindow {
protected:
    GL15() : SceneWindow(true, true, true, "1.5") {}
};
