#include <cstdio>

#include "game/game.h"
#include "game/projectile.h"
#include "game/race_start.h"
#include "game/settings.h"

static cGame game;

int main(int argc, char** argv)
{
    // Console lines must reach a pipe at once and in order.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (!game.open_modules(argc, argv)) return 1;
    load_settings(game.profile_path);
    game.game_init();
    while (game.run_frame()) {
    }
    // Their buffers go while the window that holds them is still open.
    delete_track(&game.track);
    clear_carts();
    clear_projectiles();
    game.game_shutdown();
    save_settings();
    game.delete_default_view();
    game.cEngine::close_modules();
    return 0;
}
