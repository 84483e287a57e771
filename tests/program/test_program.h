// A program that supplies the game's hooks by noting each call.
#pragma once

#include <string>
#include <vector>

#include "framework/program.h"

class TestProgram : public cVantorProgramP2P {
public:
    void add_menu_options() override { note("add_menu_options"); }
    void load_game_resources() override { note("load_game_resources"); }
    void on_client_joined() override { note("on_client_joined"); }
    void on_client_leave() override { note("on_client_leave"); }
    void on_host_started() override { note("on_host_started"); }
    void on_host_stop() override { note("on_host_stop"); }
    void update_lobby(float, bool server) override { note("update_lobby", server); }
    void update_race(float, bool server) override { note("update_race", server); }
    void render_race_scene() override { note("render_race_scene"); }
    void render_race_effects(cViewReference*, bool server) override { note("render_race_effects", server); }
    void render_race_hud(cViewReference*, bool server) override { note("render_race_hud", server); }
    void render_lobby_screen(cViewReference*, bool server) override { note("render_lobby_screen", server); }
    void send_join_request() override { note("send_join_request"); }

    std::vector<std::string> hooks;

private:
    void note(const std::string& hook) { hooks.push_back(hook); }
    void note(const std::string& hook, bool server) { hooks.push_back(hook + (server ? " server" : " client")); }
};
