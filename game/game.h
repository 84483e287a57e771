// The race game's program object: the one instance that main drives.
#pragma once

#include "framework/program.h"

class cGame : public cVantorProgramP2P {
public:
    void add_menu_options() override {}
    void load_game_resources() override {}
    void on_client_joined() override {}
    void on_client_leave() override {}
    void on_host_started() override {}
    void on_host_stop() override {}
    void update_lobby(float, bool) override {}
    void update_race(float, bool) override {}
    void render_race_scene() override {}
    void render_race_effects(cViewReference*, bool) override {}
    void render_race_hud(cViewReference*, bool) override {}
    void render_lobby_screen(cViewReference*, bool) override {}
    void send_join_request() override {}
    virtual void game_init();
    virtual void game_shutdown();

    char player_name[32] = {};  // edited in place by the menu
};
