// The plug-in's one device: the state shared by the window, the texture table
// and the drawing slots. Only the main thread touches it, except the
// open flag, which the texture loader watches.
#pragma once

#include <atomic>
#include <cstdint>

#include "base/light.h"
#include "base/matrix.h"
#include "base/vector.h"

namespace trellis {

struct LoaderGLContext;

// Counters of the frame being drawn; end_frame hands them out and zeroes them.
struct FrameCounters {
    int32_t draw_calls;
    int32_t vertices;
    int32_t triangles;
    int32_t vbo_draws;
    int32_t display_list_calls;
};

struct Device {
    std::atomic<bool> window_open{false};
    uint16_t width = 0;
    uint16_t height = 0;
    bool shaders = false;
    bool vbos = false;
    bool display_lists = false;
    int32_t max_lights = 0;  // for the lighting slots
    bool ttf_started = false;
    bool projection_pushed = false;
    bool skip_next_swap = true;  // the splash swaps by itself
    bool frame_flag = false;
    FrameCounters counters = {};
    double near_plane = 1.0;
    double far_plane = 1000.0;
    cVector3D camera_position;  // where the lighting slots place lights from
    cMatrix3D camera_rotation;
    cMaterial material;         // the last set_material; its diffuse tints uncoloured geometry
    int32_t tangent_location = -1;  // "tiv_tangent" of the program in use, -1 when none
    void* loader_mutex = nullptr;
    void* loader_thread = nullptr;
    LoaderGLContext* loader_context = nullptr;
};

Device& device();
// Multiplies the current matrix by the camera's rotation, then moves the world
// opposite to the camera's position.
void apply_camera_transform(const cVector3D& position, const cMatrix3D& rotation);

// The texture table and its loader thread (textures.cpp).
int make_white_texture();
// The GL name an id draws with: slot 0's for an unknown or deleted id.
uint32_t texture_gl_name(int texture);
bool start_texture_loader();
void stop_texture_loader();
void release_textures();

}  // namespace trellis
