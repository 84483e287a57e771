#include "framework/engine.h"

#include <cstdio>
#include <cstring>

#include "base/fileops.h"
#include "base/modules.h"
#include "base/os/os.h"
#include "base/physics.h"
#include "base/plugin.h"
#include "base/strings.h"
#include "framework/active_file.h"

static const uint16_t kKeyF4 = 55;

static char* copy_argument(const char* argument)
{
    const size_t length = strlen(argument);
    char* copy = new char[length + 1];
    memcpy(copy, argument, length + 1);
    return copy;
}

// The program's name is its file name without the extension, or the whole
// file name when it has none.
static std::string program_name_of(const std::string& program_path)
{
    std::string name = filename_of(program_path);
    if (!name.empty()) return name;
    const size_t separator = program_path.find_last_of("/\\");
    name = separator == std::string::npos ? program_path : program_path.substr(separator + 1);
    return name.substr(0, kMaxNameBytes - 1);
}

void cEngine::take_paths(const char* program_path)
{
    std::string path = program_path ? program_path : "";
    // Started through the search path: the files belong beside the program
    // itself, never at the root of the file system.
    if (path.find_first_of("/\\") == std::string::npos) {
        const std::string own_path = os_program_path();
        if (!own_path.empty()) path = own_path;
    }
    base_path = folder_of(path);
    program_name = program_name_of(path);
    profile_path = base_path + "/local/" + program_name + ".prf";
}

// The loader reports the unbound graphics, input and system modules itself.
static bool fail_unbound_network()
{
    printf("ERROR: %s\n", "No network module successfully bound");
    return false;
}

bool cEngine::open_engine_modules(int argc, char** argv)
{
    for (int i = 0; i < argc; ++i) arguments.insert(copy_argument(argv[i]));
    take_paths(argc > 0 ? argv[0] : nullptr);
    const std::string local = base_path + "/local";
    __mFileOps_create_directory(local.c_str());

    uint16_t width = 0;
    uint16_t height = 0;
    bool fullscreen = false;
    ask_startup_settings(local + "/" + program_name + ".cfg", &width, &height, &fullscreen);

    const std::string report = report_file_name() ? local + "/" + report_file_name() : "";
    const std::string log = log_file_name() ? local + "/" + log_file_name() : "";
    if (!__mCore_open()) return false;

    system_interface* system = __mSystem_instance()->interface_table;
    if (!system) return false;
    if (!system->system_init(program_name.c_str(), report_file_name() ? report.c_str() : nullptr,
                             log_file_name() ? log.c_str() : nullptr))
        return false;

    modGraphics* graphics = __mGraphics_instance();
    if (!graphics->interface_table) return false;
    graphics->window_width = width;
    graphics->window_height = height;
    if (!graphics->interface_table->open_window(width, height, fullscreen, !disable_shaders(), !disable_vbos(),
                                                !disable_display_lists()))
        return false;
    if (startup_image_path()) {
        const int splash = graphics->textures->load_texture(startup_image_path(), false, false, true);
        graphics->interface_table->show_splash(splash, graphics->window_width, graphics->window_height);
    }

    if (!__mPhysics_open()) return false;
    sound_interface* sound = __mAudio_instance()->interface_table;
    if (!sound || !sound->sound_init()) return false;
    input_interface* input = __mInput_instance()->interface_table;
    if (!input) return false;
    if (!input->input_init()) return false;

    modNetwork* network = __mNetwork_instance();
    if (!network->interface_table) return fail_unbound_network();
    network->interface_table->net_local_host_info(network->host_name, network->host_addresses);
    if (!network->interface_table->net_init(network_port())) return false;

    const int glyphs = graphics->textures->load_texture(base_path + "/data/+engine/font.png", false, false, false);
    graphics->glyph_texture = glyphs;
    graphics->glyph_mask_texture = glyphs;
    return true;
}

bool cEngine::open_modules(int argc, char** argv)
{
    if (open_engine_modules(argc, argv)) return true;
    close_modules();
    return false;
}

// Each step tolerates a module that never opened or was never bound.
void cEngine::close_modules()
{
    if (network_interface* network = __mNetwork_instance()->interface_table) network->net_quit();
    if (input_interface* input = __mInput_instance()->interface_table) input->input_close();
    if (sound_interface* sound = __mAudio_instance()->interface_table) sound->sound_shutdown();
    __mPhysics_close();
    close_graphics(__mGraphics_instance());
    if (system_interface* system = __mSystem_instance()->interface_table) system->system_shutdown();
    __mCore_close();
}

void close_graphics(modGraphics* graphics)
{
    const RoutedMessage message = {__mystring_hash("CloseGraphics"), 0, 0};
    __messageRouter_post_message(&graphics->mailboxes, &message);
    if (graphics->interface_table) graphics->interface_table->close_window();
}

static void profile_failed(const char* error, bool* quit)
{
    printf("ERROR: %s\n", error);
    *quit = true;
}

void cEngine::begin_stage(const char* name)
{
    if (const char* error = __mSystem_instance()->interface_table->begin_profile(name)) profile_failed(error, &quit);
}

void cEngine::end_stage(const char* name)
{
    if (const char* error = __mSystem_instance()->interface_table->end_profile(name)) profile_failed(error, &quit);
}

float cEngine::frame_time()
{
    modGraphics* graphics = __mGraphics_instance();
    input_interface* input = __mInput_instance()->interface_table;
    modNetwork* network = __mNetwork_instance();

    float dt = __mSystem_instance()->interface_table->tick_frame();
    total_frame_time += dt;

    begin_stage("Graphics Update");
    graphics->interface_table->end_frame(&dt, &graphics->frame_stats);
    end_stage("Graphics Update");

    begin_stage("Input Update");
    input->update_input(&dt);
    end_stage("Input Update");

    begin_stage("Audio Update");
    end_stage("Audio Update");

    begin_stage("Net Update");
    network->poll_failed = !network->interface_table->net_poll();
    end_stage("Net Update");

    if (!disable_default_quit()) {
        if (input->alt_down() && input->digital_pressed(kKeyF4)) quit = true;
        if (input->quit_requested()) quit = true;
    }
    return dt;
}
