#include "game/race_start.h"

#include <cstdio>
#include <memory>

#include "base/random.h"
#include "game/game.h"
#include "game/network_play.h"
#include "game/packets.h"
#include "game/projectile.h"
#include "game/track.h"

cVantorSyncedManager<czrCar> cartRegistry;

static const int kCartsPerRow = 5;
static const double kCartSpacing = 2.0;
static const double kFirstCartX = 96.0;
static const double kCartHeight = 0.5;

void clear_carts()
{
    cartRegistry.objects.clear();
    cartRegistry.collect();
}

void delete_track(czrTrack** track)
{
    delete *track;
    *track = nullptr;
}

// Ids keep counting across races; 0 is never handed out.
static uint32_t next_sync_id(cGame* game)
{
    const uint32_t id = game->next_car_sync_id;
    if (++game->next_car_sync_id == 0) game->next_car_sync_id = 1;
    return id;
}

static void replace_track(cGame* game)
{
    delete_track(&game->track);
    game->track = czrTrack::create(game->track_params).release();
}

// Where a player stood when the last race ended must not count in this one.
static void start_on_first_lap(cGame* game)
{
    for (player_record& record : game->players)
        if (record.state >= kSlotInUse) record.clear_race();
}

void spawn_carts(cGame* game)
{
    game->track_params = host_track_record(int16_t(uint16_t(__mRandom_rand())));
    clear_carts();
    clear_projectiles();
    int k = 0;
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        player_record& record = game->players[slot];
        if (record.state != kSlotInUse) continue;
        const cVector3D position(kFirstCartX + kCartSpacing * (k % kCartsPerRow), kCartHeight,
                                 kCartSpacing * (k / kCartsPerRow));
        czrCar* car = new czrCar(position, cQuaternion(0, 0, 0, 1), int8_t(slot), record.species);
        if (car->sync_id == 0) car->sync_id = next_sync_id(game);
        record.car_sync_id = cartRegistry.register_object(car)->sync_id;
        ++k;
    }
    replace_track(game);
    start_on_first_lap(game);
}

static void give_user_controller(cGame* game, czrCar* car)
{
    set_controller(car, new czrCarAiControllerUser(&game->controller));
}

czrpRacetrackLoad* build_racetrack_load(cGame* game)
{
    czrpRacetrackLoad* load = new czrpRacetrackLoad(game->track_params, cartRegistry.objects.count());
    for (const auto& entry : cartRegistry.objects.walk()) {
        czrCar* car = entry.second;
        load->append_cart(*car);
        if (game->own_slot != kNoSlot && car->owner_slot == game->own_slot) give_user_controller(game, car);
    }
    return load;
}

void start_race(cGame* game)
{
    spawn_carts(game);
    czrpRacetrackLoad* load = build_racetrack_load(game);
    send_to_all(game, load);
    load->destroy();
    game->program_state = kStateHostRace;
    enter_race(game);
}

// A track that cannot be built (its error line is printed) keeps the client
// out of the race, in the lobby.
bool load_racetrack(cGame* game, const TrackLoadRecord& words, std::vector<std::unique_ptr<czrCar>>& carts)
{
    std::unique_ptr<czrTrack> built = czrTrack::create(words);
    if (!built) {
        if (game->program_state == kStateClientRace) leave_race(game);
        game->program_state = kStateClientLobby;
        return false;
    }
    game->track_params = words;
    start_on_first_lap(game);
    player_record* own = game->player(game->own_slot);
    for (std::unique_ptr<czrCar>& cart : carts) {
        const uint32_t id = cart->sync_id;
        if (cartRegistry.find(id)) continue;
        czrCar* car = cartRegistry.register_object(cart.release());
        printf("Spawning ship: %i\n", int(id));
        if (own && car->owner_slot == game->own_slot) {
            own->car_sync_id = id;
            give_user_controller(game, car);
        }
    }
    delete_track(&game->track);
    game->track = built.release();
    game->program_state = kStateClientRace;
    enter_race(game);
    return true;
}
