#include "game/game.h"

#include "framework/menu.h"

static const char* const kBuildTag = "dev";

void cGame::game_init()
{
    menu->setup(std::string("Zorblit Rally - ") + kBuildTag, "", player_name, nullptr);
    program_startup("zorblitRally.ini", "data/zorblitRally/rules.ini", "zorblitRally.servers");
    chat.anchor_top = true;
    chat.lines_offset = 80;
}

void cGame::game_shutdown()
{
    save_servers_file();
}
