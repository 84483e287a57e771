#include "tests/race_view/race_stage.h"

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/matrix.h"
#include "base/modules.h"
#include "base/plugin.h"
#include "base/router.h"
#include "base/strings.h"
#include "base/trigonometry.h"
#include "game/game.h"
#include "game/planet.h"
#include "game/race_start.h"
#include "game/settings.h"
#include "game/track.h"
#include "scene/primitives.h"
#include "scene/shader_set.h"
#include "tests/support/scratch.h"

namespace {

const char* const kRivalNames[] = {"Rival", "Zippy", "Mole", "Quill", "Fern", "Brisk", "Tarn", "Moss",
                                   "Sable", "Pike", "Wren", "Dusk", "Flint", "Ash", "Vole"};

void name_player(player_record& record, const char* name, uint8_t species)
{
    record.state = kSlotInUse;
    std::memset(record.name, 0, sizeof record.name);
    std::strncpy(record.name, name, sizeof record.name - 1);
    record.species = species;
}

}  // namespace

RaceStage::RaceStage() = default;

RaceStage::~RaceStage()
{
    close();
}

std::string RaceStage::open(const std::string& folder, uint16_t window_width, uint16_t window_height,
                            int cart_count, int16_t seed)
{
    char here[4096];
    if (!getcwd(here, sizeof here)) return "no working folder";
    home = here;
    make_folder(folder + "/plugin");
    for (const char* plugin : {"trellis.so", "meshferry.so"})
        copy_file(std::string(ZR_GAME_DIR) + "/plugin/" + plugin, folder + "/plugin/" + plugin);
    if (symlink((std::string(ZR_GAME_DIR) + "/data").c_str(), (folder + "/data").c_str()) != 0)
        return "cannot link the data";
    if (chdir(folder.c_str()) != 0) return "cannot enter " + folder;
    __mCore_open();
    __init_trig_tables();
    primitive_registry().open_sets();
    graphics = __mGraphics_instance()->interface_table;
    if (!graphics) return "no graphics module";
    if (!graphics->open_window(window_width, window_height, false, true, true, true)) return "no window";
    opened = true;
    width = window_width;
    height = window_height;
    modGraphics* module = __mGraphics_instance();
    module->window_width = width;
    module->window_height = height;
    const int glyphs = module->textures->load_texture("data/+engine/font.png", false, false, false);
    module->glyph_texture = glyphs;
    module->glyph_mask_texture = glyphs;
    load_engine_programs();

    settings_record = SettingsRecord();
    copy_player_name(settings_record.player_name, "Hosty");
    race = std::make_unique<cGame>();
    race->load_game_resources();
    race->on_host_started();
    for (int slot = 1; slot < std::min(cart_count, int(kPlayerSlots)); ++slot)
        name_player(race->players[slot], kRivalNames[slot - 1], uint8_t(slot % 2));
    spawn_carts(race.get());
    race->track_params = host_track_record(seed);
    delete_track(&race->track);
    race->track = czrTrack::create(race->track_params).release();
    race->program_state = kStateHostRace;
    // The first frame starts from whatever the buffers held: clear them.
    end_frame();
    for (int slot = 0; slot < cart_count; ++slot) race->players[slot].rank = uint8_t(slot);
    return race->track ? "" : "no track";
}

// The two programs the engine draws views and overlays with.
void RaceStage::load_engine_programs()
{
    cGraphicsShaders* shaders = __mGraphics_instance()->shaders;
    const std::string folder = "data/+engine/shader/";
    auto program = [&](const char* name) {
        const int vertex = shaders->load_vertex_shader(folder + name + ".vert", -1);
        const int fragment = shaders->load_fragment_shader(folder + name + ".frag", -1);
        return vertex != -1 && fragment != -1 ? shaders->build_shader_program(vertex, fragment, -1) : -1;
    };
    map_3d_program = program("3dMap");
    overlay_program = program("simpleTexMap");
}

void RaceStage::use_engine_program(int program)
{
    if (graphics->shaders_available() && program != -1) graphics->use_program(program);
}

void RaceStage::close()
{
    if (race) {
        delete_track(&race->track);
        clear_carts();
        delete race->world;
        race->world = nullptr;
        race.reset();
        // The game loads its shader sets once a process; a stage opened
        // after this one loads its own, in its own window.
        cartShaderSets.clear();
        planetShaderSets.clear();
        trackShaderSets.clear();
    }
    if (opened) {
        const RoutedMessage closing = {__mystring_hash("CloseGraphics"), 0, 0};
        __messageRouter_post_message(&__mGraphics_instance()->mailboxes, &closing);
        graphics->close_window();
        opened = false;
    }
    if (graphics) {
        __clear_trig_tables();
        graphics = nullptr;
    }
    if (!home.empty() && chdir(home.c_str()) == 0) home.clear();
}

void RaceStage::look_from(const cVector3D& eye, const cVector3D& target)
{
    cUserView* view = race->views.get(0);
    const cVector3D back = (eye - target).normalized();
    const cVector3D right = cross(cVector3D(0, 1, 0), back).normalized();
    const cVector3D up = cross(back, right);
    view->camera_position = eye;
    __cMatrix3d_from_eigenvectors(&view->camera_rotation, &right, &up, &back);
}

void RaceStage::chase_own_cart()
{
    czrCar* car = cartRegistry.find(race->players[0].car_sync_id);
    if (!car) return;
    cMatrix3D m;
    __cMatrix3d_from_quaternion(&m, &car->rotation);
    const cVector3D back(m.m[2], m.m[5], m.m[8]);
    const cVector3D up(m.m[1], m.m[4], m.m[7]);
    const double k = 0.5;
    cUserView* view = race->views.get(0);
    view->camera_position = car->position + back * (k * 3) + up * (k + 1);
    view->camera_rotation = m;
    __cMatrix3d_pitch(&view->camera_rotation, -0.15707963705062866);
}

// The engine's view set-up: the backdrop around a camera at the origin
// without depth or lights, the world from the camera with both, then 2D.
void RaceStage::draw_race_frame()
{
    cUserView* view = race->views.get(0);
    double fov = view->field_of_view;
    cVector3D origin(0, 0, 0);
    cViewReference reference = {0, view};
    use_engine_program(map_3d_program);
    graphics->set_depth_range(view->near_plane, view->far_plane);
    graphics->set_perspective(0, 0, width, height, &fov, &origin, &view->camera_rotation);
    graphics->set_viewport(0, 0, width, height, width, height, false);
    graphics->set_fog(&view->fog_color, &view->fog_density, &view->fog_start, &view->far_plane);
    graphics->set_depth_test(false);
    graphics->set_lighting(false);
    race->render_view_scene();
    graphics->set_perspective(0, 0, width, height, &fov, &view->camera_position, &view->camera_rotation);
    graphics->set_lighting(true);
    graphics->set_depth_test(true);
    race->render_view_effects(&reference);
    graphics->set_lighting(false);
    graphics->set_depth_test(false);
    graphics->set_orthographic(0, 0, int16_t(width), int16_t(height));
    use_engine_program(overlay_program);
    race->render_overlay(&reference);
}

void RaceStage::draw_empty_frame()
{
    graphics->set_orthographic(0, 0, int16_t(width), int16_t(height));
}

void RaceStage::end_frame()
{
    FrameStatistics stats = {};
    graphics->end_frame(nullptr, &stats);
}

std::vector<uint8_t> RaceStage::screenshot() const
{
    std::vector<uint8_t> bottom_up(size_t(width) * height * 4);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
    std::vector<uint8_t> top_down(bottom_up.size());
    const size_t row = size_t(width) * 4;
    for (size_t y = 0; y < height; ++y) std::copy_n(&bottom_up[(height - 1 - y) * row], row, &top_down[y * row]);
    // What the window shows is opaque, whatever the blending left in alpha.
    for (size_t i = 3; i < top_down.size(); i += 4) top_down[i] = 255;
    return top_down;
}

bool RaceStage::save_png(const std::string& path) const
{
    std::vector<uint8_t> pixels = screenshot();
    return graphics->export_image(path.c_str(), width, height, pixels.data());
}
