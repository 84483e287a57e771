#include "framework/program.h"

#include <cstdio>
#include <cstring>

#include "base/fileops.h"
#include "base/input_names.h"
#include "base/modules.h"
#include "framework/arb.h"
#include "framework/menu.h"
#include "framework/server_list.h"
#include "scene/shader_set.h"

static const char* const kLocalFolder = "local";

// The network table, or null when no network module is bound.
static network_interface* server_table()
{
    return *__mNetwork_instance()->server->table;
}

static network_interface* client_table()
{
    return *__mNetwork_instance()->client->table;
}

static std::string local_path(const std::string& name)
{
    return std::string(kLocalFolder) + "/" + name;
}

cVantorProgramP2P::cVantorProgramP2P() : menu(new cVantorMenu) {}

cVantorProgramP2P::~cVantorProgramP2P()
{
    delete menu;
    delete rules;
}

bool cVantorProgramP2P::am_server() const
{
    return program_state == kStateHostLobby || program_state == kStateHostRace;
}

void cVantorProgramP2P::program_startup(std::string local_rules_name, std::string source_rules_path,
                                        std::string servers_file)
{
    servers_file_name = servers_file;
    delete particles.shaders;
    particles.shaders = create_unlit_shader_set();
    __mFileOps_create_directory(kLocalFolder);
    if (!__mFileOps_file_exists(source_rules_path.c_str())) printf("ERROR: %s\n", "there is no source rules.ini");
    const std::string rules_path = local_path(local_rules_name);
    if (!__mFileOps_file_exists(rules_path.c_str()))
        __mFileOps_file_copy(rules_path.c_str(), source_rules_path.c_str());
    delete rules;
    rules = new cArbData(rules_path);
    read_servers(local_path(servers_file_name));
    menu->initialised = true;
    dont_load_textures = get_dont_load_textures(rules) == "YES";
}

// Once written, the servers file wins over the rules' "Servers" list.
void cVantorProgramP2P::read_servers(const std::string& servers_path)
{
    if (__mFileOps_file_exists(servers_path.c_str())) {
        for (const std::string& name : read_server_list(servers_path)) menu->add_server(name);
        return;
    }
    for (const cArbElement* element = rules->field("Servers"); element; element = element->next)
        menu->add_server(element->text);
}

void cVantorProgramP2P::save_servers_file()
{
    if (menu->server_names.count() > 0 && !servers_file_name.empty()) {
        std::vector<std::string> names;
        for (uint32_t i = 0; i < menu->server_names.count(); ++i) names.push_back(*menu->server_names.get(i));
        write_server_list(local_path(servers_file_name), names);
    }
    network_interface* network = client_table();
    if (network && network->net_is_client()) network->net_stop_client();
}

void cVantorProgramP2P::update_program(float* frame_seconds)
{
    switch (program_state) {
    case kStateMenu: {
        if (__mInput_instance()->interface_table->digital_pressed(kInputEscape)) {
            quit = true;
            return;
        }
        const uint16_t choice = menu->update(*frame_seconds);
        if (choice == kMenuHostGame)
            host_server();
        else if (choice != kMenuNothing)
            join_server(choice);
        return;
    }
    case kStateHostLobby:
    case kStateClientLobby:
        update_lobby(*frame_seconds, am_server());
        return;
    case kStateHostRace:
    case kStateClientRace: {
        update_race(*frame_seconds, am_server());
        const cUserView* view = first_view();
        if (view) particles.update(*frame_seconds, view->camera_position, view->camera_rotation);
        return;
    }
    default:
        return;
    }
}

cUserView* cVantorProgramP2P::first_view() const
{
    return views.count() > 0 ? views.get(0) : default_view;
}

void cVantorProgramP2P::reset_camera()
{
    cUserView* view = views.get(0);
    if (!view) return;
    view->camera_position = cVector3D(0, 0, 0);
    view->camera_rotation = cMatrix3D();
}

void cVantorProgramP2P::host_server()
{
    network_interface* network = server_table();
    if (network && network->net_start_server() == 0) {
        program_state = kStateHostLobby;
        on_host_started();
    } else {
        printf("Could not open server...\n");
        quit = true;
    }
    reset_camera();
}

void cVantorProgramP2P::join_server(uint16_t index)
{
    const std::string* server = menu->server_names.get(index);
    if (!server) return;
    joined_host = *server;
    network_interface* network = client_table();
    if (network && network->net_start_client(joined_host.c_str()) == 0) {
        program_state = kStateClientLobby;
        on_client_joined();
        send_join_request();
        menu->server_states.data()[index] = 0;
    } else {
        printf("Could not connect to server - bailing out.\n");
        menu->server_states.data()[index] = 1;
    }
    reset_camera();
}

void cVantorProgramP2P::leave_as_client()
{
    on_client_leave();
    joined_host.clear();
    program_state = kStateMenu;
    network_interface* network = client_table();
    if (network && network->net_is_client()) network->net_stop_client();
    join_phase = 0;
    chat.clear();
    particles.clear();
}

void cVantorProgramP2P::stop_hosting()
{
    on_host_stop();
    program_state = kStateMenu;
    network_interface* network = server_table();
    if (network && network->net_is_server()) network->net_stop_server();
    chat.clear();
    particles.clear();
}

void cVantorProgramP2P::add_chat_line(std::string text)
{
    chat.add_line(text);
}

std::string cVantorProgramP2P::chat_console_input(float dt)
{
    return chat.input(dt, __mInput_instance()->interface_table);
}

std::string cVantorProgramP2P::get_network_name()
{
    const char* address = __mNetwork_instance()->host_addresses[0];
    return std::string(address, strnlen(address, sizeof __mNetwork_instance()->host_addresses[0]));
}

void cVantorProgramP2P::render_view_scene()
{
    if (program_state == kStateHostRace || program_state == kStateClientRace) render_race_scene();
}

void cVantorProgramP2P::render_view_effects(cViewReference* view)
{
    if (program_state != kStateHostRace && program_state != kStateClientRace) return;
    render_race_effects(view, am_server());
    const cUserView* first = first_view();
    if (first) particles.draw(first->camera_rotation, lights.get(0));
}

void cVantorProgramP2P::render_overlay(cViewReference* view)
{
    modGraphics* graphics = __mGraphics_instance();
    switch (program_state) {
    case kStateMenu:
        menu->draw();
        return;
    case kStateHostLobby:
    case kStateClientLobby:
        render_lobby_screen(view, am_server());
        break;
    case kStateHostRace:
    case kStateClientRace:
        render_race_hud(view, am_server());
        break;
    default:
        return;
    }
    chat.draw(graphics->text, graphics->window_width, graphics->window_height);
}
