#include <chrono>
#include <cstdio>

#include "base/random.h"
#include "game/game.h"
#include "game/projectile.h"
#include "game/race_start.h"
#include "game/settings.h"

static cGame game;

// Every session hosts other tracks: each peer rebuilds a track from the seed
// it is sent, so only the host's draws of the seeds change with the clock.
static uint32_t clock_seed()
{
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    const uint64_t microseconds = uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(now).count());
    return uint32_t(microseconds ^ (microseconds >> 32));
}

int main(int argc, char** argv)
{
    // Console lines must reach a pipe at once and in order.
    setvbuf(stdout, nullptr, _IOLBF, 0);
    __mRandom_srand(clock_seed());
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
