// The host's race update for sixteen carts driving round the track: fixed
// steps with every contact pair, the standings and the cart-update packet,
// one frame at 60 fps against that frame's budget.
#include <cstdio>

#include "base/physics.h"
#include "base/random.h"
#include "bench/support/timing.h"
#include "framework/packet.h"
#include "game/game.h"
#include "game/network_play.h"
#include "game/packets.h"
#include "game/race.h"
#include "game/race_start.h"
#include "game/track.h"

static const int kCarts = 16;
static const int kFramesPerRun = 60;

// Every cart on the track at its own sixteenth of the ring, driving forward.
static void start_race_of_sixteen(cGame* game)
{
    game->on_host_started();
    for (int slot = 1; slot < kCarts; ++slot) game->players[slot].state = kSlotInUse;
    __mRandom_srand(99);
    spawn_carts(game);
    game->program_state = kStateHostRace;
    game->views.insert(new cUserView(cVector2D<int32_t>(0, 0), 0.15f, 3000.0f, 4000.0f, 45.0f,
                                     cVector2D<int32_t>(800, 600), cColor(0, 0, 0, 1), cVector3D(), cMatrix3D()));
    for (int slot = 0; slot < kCarts; ++slot) {
        czrCar* car = cartRegistry.find(game->players[slot].car_sync_id);
        car->last_on_track = game->track->position_at(slot / double(kCarts));
        respawn_cart(game, car->sync_id);
    }
}

static void drive(cGame* game)
{
    for (const auto& entry : cartRegistry.objects.walk()) {
        czrCar* car = entry.second;
        cVector3D forward;
        car->get_forward_vector(forward);
        car->motion_a = -forward;
        if ((car->position - car->last_on_track).length() > 1) respawn_cart(game, car->sync_id);
    }
}

int main()
{
    __mPhysics_open();
    static cGame game;
    start_race_of_sixteen(&game);
    const float dt = float(kFrameBudgetSeconds);
    const double seconds = median_seconds([&] {
        for (int frame = 0; frame < kFramesPerRun; ++frame) {
            drive(&game);
            race_frame(&game, dt);
            build_cart_update(&game)->destroy();
        }
    });
    print_ratio("host race update, 16 carts, per frame", seconds / kFramesPerRun, "s", kFrameBudgetSeconds,
                "s (frame at 60 fps)");
    const bool all_there = cartRegistry.objects.count() == kCarts;
    clear_carts();
    __mPhysics_close();
    return all_there ? 0 : 1;
}
