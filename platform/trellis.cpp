// trellis's plug-in exports: the graphics, input and system modules over SDL
// 1.2 and OpenGL. The input table is filled in input.cpp.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "base/containers.h"
#include "base/graphics_interface.h"
#include "base/keel.h"
#include "base/strings.h"
#include "base/system_interface.h"
#include "platform/buffers.h"
#include "platform/drawing.h"
#include "platform/shaders.h"
#include "platform/system.h"
#include "platform/window.h"
#include "platform/x11.h"

namespace {

constexpr Uint32 kSubsystems = SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_AUDIO;
}  // namespace

KEEL_API bool initialize(DSPrefHashMap<void>*)
{
    // The texture loader's context talks to the X server from its own thread.
    if (!trellis::x11_prepare_threads()) printf("WARNING: %s\n", "Xlib cannot be used from two threads");
    // Without this SDL reports Caps and Num Lock down while the lock is on and
    // up when it goes off, so a second press could not flip the toggle back.
    setenv("SDL_DISABLE_LOCK_KEYS", "1", 0);
    if (SDL_Init(kSubsystems) < 0) {
        // A machine without a sound device still gets its window and pads.
        printf("WARNING: %s%s\n", "SDL_Init: ", SDL_GetError());
        SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK);
    }
    return true;
}

KEEL_API void shutdown()
{
    SDL_Quit();
}

KEEL_API const char* get_plugin_name()
{
    return "MOD-Trellis";
}

KEEL_API const char* get_plugin_purpose()
{
    return "Module";
}

KEEL_API bool get_plugin_compatibility(const char* kind)
{
    if (!kind) return false;
    for (const char* served : {"GRAPHICS", "INPUT", "SYSTEM"})
        if (__mystring_string_equal(kind, served)) return true;
    return false;
}

KEEL_API void get_plugin_prereqs(DSParray<std::string>&)
{
}

KEEL_API graphics_interface* connect_graphics_interface(graphics_interface* table)
{
    using namespace trellis;
    *table = graphics_interface{};
    // window and frame
    table->show_splash = show_splash;
    table->shaders_available = shaders_available;
    table->vbos_available = vbos_available;
    table->display_lists_available = display_lists_available;
    table->get_frame_flag = get_frame_flag;
    table->set_frame_flag = set_frame_flag;
    table->open_window = open_window;
    table->close_window = close_window;
    table->set_window_position = set_window_position;
    table->end_frame = end_frame;
    table->set_clear_color = set_clear_color;
    table->set_ambient_light = set_ambient_light;
    table->set_fog = set_fog;
    // textures
    table->create_texture = create_texture;
    table->delete_texture = delete_texture;
    // depth range, points and viewport
    table->set_depth_range = set_depth_range;
    table->get_depth_range = get_depth_range;
    table->project_point = project_point;
    table->unproject_point = unproject_point;
    table->set_viewport = set_viewport;
    // projections
    table->set_perspective = set_perspective;
    table->set_orthographic = set_orthographic;
    connect_drawing_slots(table);
    connect_shader_slots(table);
    connect_buffer_slots(table);
    return table;
}

KEEL_API system_interface* connect_system_interface(system_interface* table)
{
    using namespace trellis;
    table->system_init = system_init;
    table->system_shutdown = system_shutdown;
    table->tick_frame = tick_frame;
    table->get_caption = get_caption;
    // threads and mutexes
    table->create_thread = create_thread;
    table->kill_thread = kill_thread;
    table->wait_thread = wait_thread;
    table->create_mutex = create_mutex;
    table->lock_mutex = lock_mutex;
    table->unlock_mutex = unlock_mutex;
    table->destroy_mutex = destroy_mutex;
    table->sleep_seconds = sleep_seconds;
    table->yield_thread = yield_thread;
    // frame rate
    table->set_fps_cap = set_fps_cap;
    table->run_time = run_time;
    table->last_frame_seconds = last_frame_seconds;
    table->current_fps = current_fps;
    table->average_fps = average_fps;
    table->last_throttle_wait = last_throttle_wait;
    // profiles and messages
    table->begin_profile = begin_profile;
    table->end_profile = end_profile;
    table->profile_fraction = profile_fraction;
    table->profile_seconds = profile_seconds;
    table->print_message = print_message;
    return table;
}
