// The peer-to-peer program: the server browser menu, hosting or joining, a
// lobby and a race for either role, the chat console, and the start-up
// reading of the rules file and the server list. The game supplies the hooks.
#pragma once

#include <cstdint>
#include <string>

#include "base/containers.h"
#include "base/light.h"
#include "framework/chat_console.h"
#include "framework/engine.h"
#include "framework/particles.h"

class cArbData;
class cVantorMenu;

// program_state values.
enum : uint16_t {
    kStateMenu = 0,
    kStateHostLobby = 1,
    kStateHostRace = 2,
    kStateClientLobby = 3,
    kStateClientRace = 4,
};

class cVantorProgramP2P : public cEngineProc3dMulti {
public:
    cVantorProgramP2P();
    ~cVantorProgramP2P() override;

    void update_program(float* frame_seconds) override;
    void render_view_scene() override;
    void render_view_effects(cViewReference* view) override;
    void render_overlay(cViewReference* view) override;
    void render_extra_overlay() override {}
    // The first local address the network module found at start-up.
    virtual std::string get_network_name();

    // The game's hooks.
    virtual void add_menu_options() = 0;
    virtual void load_game_resources() = 0;
    virtual void on_client_joined() = 0;
    virtual void on_client_leave() = 0;
    virtual void on_host_started() = 0;
    virtual void on_host_stop() = 0;
    virtual void update_lobby(float dt, bool am_server) = 0;
    virtual void update_race(float dt, bool am_server) = 0;
    virtual void render_race_scene() = 0;
    virtual void render_race_effects(cViewReference* view, bool am_server) = 0;
    virtual void render_race_hud(cViewReference* view, bool am_server) = 0;
    virtual void render_lobby_screen(cViewReference* view, bool am_server) = 0;
    virtual void send_join_request() = 0;

    // Copies the rules file into "local/" once, parses it and fills the menu's
    // server list from the servers file, or from the rules when there is none.
    void program_startup(std::string local_rules_name, std::string source_rules_path, std::string servers_file);
    // Writes the menu's servers unless the list is empty; leaves a joined server.
    void save_servers_file();
    void host_server();
    void join_server(uint16_t index);
    void leave_as_client();
    void stop_hosting();
    void add_chat_line(std::string text);
    // Ages the chat lines and runs the typing line; the finished line or "".
    std::string chat_console_input(float dt);

    std::string servers_file_name;
    bool dont_load_textures = false;
    uint16_t program_state = kStateMenu;
    cArbData* rules = nullptr;
    uint16_t welcome_word = 0;  // the first word of the server's welcome
    std::string joined_host;  // the server of the last join attempt
    uint16_t join_phase = 0;  // 0 waiting for the welcome, 1 welcomed
    cVantorMenu* menu;
    chat_console chat;
    DSParray<cLight> lights{false};
    cVantorParticleSystem particles;

private:
    bool am_server() const;
    void reset_camera();
    // The first of views, or the default view while there is none.
    cUserView* first_view() const;
    void read_servers(const std::string& servers_path);
};
