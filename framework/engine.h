// The engine: opens and closes the modules in their fixed order, asks for or
// loads the window settings, runs one frame at a time and applies the default
// quit rules. cEngineProc3dMulti adds the engine shaders and the 3D views.
#pragma once

#include <cstdint>
#include <string>

#include "base/color.h"
#include "base/containers.h"
#include "base/matrix.h"
#include "base/vector.h"

class modGraphics;

// One 3D view of the window: its viewport, planes, fog and camera.
struct cUserView {
    cUserView(const cVector2D<int32_t>& origin, const float& near_plane, const float& fog_start,
              const float& far_plane, const float& field_of_view, cVector2D<int32_t> size, cColor fog_color,
              cVector3D camera_position, cMatrix3D camera_rotation);

    float near_plane;
    float fog_start;
    float far_plane;  // also where the fog ends
    float field_of_view;  // vertical, degrees
    cColor fog_color;  // also the clear colour
    float fog_density;
    cVector2D<int32_t> origin;  // top-left, window pixels
    cVector2D<int32_t> size;
    cVector3D camera_position;
    cMatrix3D camera_rotation;
};

// A view as the frame hands it to the program; index -1 is the default view.
struct cViewReference {
    int32_t index;
    cUserView* view;
};

struct StartupSettings {
    uint16_t width;
    uint16_t height;
    bool fullscreen;
};

class cEngine {
public:
    cEngine() = default;
    cEngine(const cEngine&) = delete;
    cEngine& operator=(const cEngine&) = delete;

    virtual float frame_time();
    virtual ~cEngine() = default;
    virtual void ask_startup_settings(std::string cfg_path, uint16_t* width, uint16_t* height, bool* fullscreen);
    virtual bool open_modules(int argc, char** argv);
    virtual void close_modules();
    virtual bool run_frame() = 0;
    virtual uint16_t network_port() { return 2052; }
    virtual const char* startup_image_path() { return nullptr; }
    virtual bool disable_shaders() { return false; }
    virtual bool disable_vbos() { return false; }
    virtual bool disable_display_lists() { return false; }
    virtual bool disable_default_quit() { return false; }
    virtual const char* report_file_name() { return nullptr; }
    virtual const char* log_file_name() { return nullptr; }

    std::string base_path;
    std::string profile_path;
    std::string program_name;
    float total_frame_time = 0;
    bool quit = false;

protected:
    // Brackets one stage of the frame; a profile error ends the program.
    void begin_stage(const char* name);
    void end_stage(const char* name);

private:
    bool open_engine_modules(int argc, char** argv);
    void take_paths(const char* program_path);

    DSParray<const char> arguments{false};
};

class cEngineProc3dMulti : public cEngine {
public:
    ~cEngineProc3dMulti() override;
    bool open_modules(int argc, char** argv) override;
    void close_modules() override;
    bool run_frame() override;
    virtual void update_program(float* frame_seconds) = 0;
    virtual void render_view_scene() = 0;
    virtual void render_view_effects(cViewReference* view) = 0;
    virtual void render_overlay(cViewReference* view) = 0;
    virtual void render_extra_overlay() = 0;
    virtual int32_t get_3d_map_program() { return map_3d_program; }
    virtual int32_t get_simple_tex_map_program() { return simple_tex_map_program; }

    // Deletes the default view; main does this before the engine's own close.
    void delete_default_view();

    int32_t simple_tex_map_program = -1;
    int32_t map_3d_program = -1;
    cUserView* default_view = nullptr;
    DSParray<cUserView> views{false};

private:
    void load_engine_shaders();
    void render_view(cViewReference* reference);
    void setup_view_3d(cUserView* view, bool use_camera);
    void setup_view_2d(cUserView* view);
};

// Posts "CloseGraphics" so observers free their GL objects, then closes the window.
void close_graphics(modGraphics* graphics);

// The window settings dialogue on the console: reads answers from in.
StartupSettings ask_console_for_settings(FILE* in);
