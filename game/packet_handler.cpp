// What each packet does. The host obeys only what clients may send it: chat,
// quit, keep-alive, boot and their requests; the host's own packet types from
// a client are refused, so no client can rewrite the host's slots or state.
#include <cstdio>
#include <memory>
#include <string>

#include "game/game.h"
#include "game/network_play.h"
#include "game/packets.h"
#include "game/projectile.h"
#include "game/race.h"
#include "game/race_start.h"

static void wrong_side(const char* line)
{
    printf("ERROR: %s\n", line);
}

static void chat_from(cGame* game, uint16_t sender_slot, __cNetPacketBase* packet)
{
    const cVantorChatPacket<kPacketMagic>* chat = packet_cast<cVantorChatPacket<kPacketMagic>>(packet);
    if (!chat) return;
    if (sender_slot == kFromHost) {
        game->add_chat_line(chat->text());
        return;
    }
    const player_record* sender = game->player(sender_slot);
    if (!sender) return;
    const std::string line = std::string("#C6668") + sender->name + "#C4448: #C8888" + chat->text();
    cVantorChatPacket<kPacketMagic>* forward = send_chat_line(line);
    printf("forwarding chat: %s\n", line.c_str());
    send_to_all(game, forward);
    forward->destroy();
    game->add_chat_line(line);
}

static void client_quit(cGame* game, uint16_t sender_slot)
{
    const player_record* sender = game->player(sender_slot);
    if (!sender) return;
    printf("Client %s [%i] Quit!\n", sender->name, int(sender_slot));
    boot_client(game, sender_slot, true);
    send_roster_to_all(game);
}

static void welcome(cGame* game, __cNetPacketBase* packet)
{
    const czrpWelcome* welcome = packet_cast<czrpWelcome>(packet);
    czrWelcome words;
    if (!welcome || !welcome->read(&words)) return;
    game->welcome_word = words.welcome_word;
    game->own_slot = int16_t(checked_slot(words.slot));
    game->host_slot = int16_t(checked_slot(words.host_slot));
    printf("Server welcome packet - id %i\n", int(game->own_slot));
    if (game->own_slot == kNoSlot) printf("ERROR: %s\n", "Could not find our user name in the list");
    if (game->join_phase == 0) game->join_phase = 1;
}

static void racetrack_load(cGame* game, __cNetPacketBase* packet)
{
    const czrpRacetrackLoad* load = packet_cast<czrpRacetrackLoad>(packet);
    czrRacetrack racetrack;
    if (!load || !load->read(&racetrack)) return;
    load_racetrack(game, racetrack.track, racetrack.carts);
}

static void next_lap(cGame* game, __cNetPacketBase* packet)
{
    const czrpNextLap* lap = packet_cast<czrpNextLap>(packet);
    if (lap) game->add_chat_line("#C0888LAP " + std::to_string(int(lap->laps()) + 1));
}

static void back_to_lobby(cGame* game)
{
    clear_carts();
    clear_projectiles();
    delete_track(&game->track);
    game->program_state = kStateClientLobby;
    leave_race(game);
}

static void roster(cGame* game, __cNetPacketBase* packet)
{
    const czrpRoster* roster = packet_cast<czrpRoster>(packet);
    if (!roster) return;
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        player_record* record = game->player(slot);
        static_cast<czrRosterEntry&>(*record) = roster->entry(slot);
    }
}

// Our own cart follows the host only in its snapshot and sync time: its
// body stays as this machine drives it.
static void apply_cart_state(cGame* game, const czrSyncEntry& entry)
{
    czrCar* car = cartRegistry.find(entry.sync_id);
    if (!car) return;
    const player_record* own = own_record(game);
    if (!own || own->car_sync_id != entry.sync_id) {
        car->read_sync_state(entry.state, czrpUpdateCars::kCartStateSize, 0.0f);
        return;
    }
    const ctPhysicsObject driven(*car);
    car->read_sync_state(entry.state, czrpUpdateCars::kCartStateSize, 0.0f);
    ctPhysicsObject::copy_physics_state(*car, driven);
}

static void update_cars(cGame* game, __cNetPacketBase* packet)
{
    const czrpUpdateCars* update = packet_cast<czrpUpdateCars>(packet);
    czrCarsUpdate cars;
    if (!update || !update->read(&cars)) return;
    for (const czrSyncEntry& entry : cars.carts) apply_cart_state(game, entry);
    for (const czrSyncEntry& entry : cars.projectiles) {
        czrProjectile* projectile = projectileRegistry.find(entry.sync_id);
        if (projectile) projectile->read_sync_state(entry.state, czrpUpdateCars::kProjectileStateSize, 0.0f);
    }
    for (int slot = 0; slot < kPlayerSlots; ++slot) game->player(slot)->rank = cars.ranks[slot];
}

static void car_teleport(__cNetPacketBase* packet)
{
    const czrpCarTeleport* concrete = packet_cast<czrpCarTeleport>(packet);
    czrTeleport teleport;
    if (!concrete || !concrete->read(&teleport)) return;
    czrCar* car = cartRegistry.find(teleport.sync_id);
    if (!car) return;
    car->position = teleport.position;
    car->rotation = teleport.rotation;
    car->velocity = car->motion_a = car->motion_b = car->motion_c = cVector3D();
}

static void impulse(cGame* game, __cNetPacketBase* packet)
{
    const czrpImpulse* concrete = packet_cast<czrpImpulse>(packet);
    cVector3D push;
    if (!concrete || !concrete->read(&push) || game->join_phase == 0) return;
    czrCar* car = own_cart(game);
    if (car) apply_impulse(car, push);
}

// A kind without a type could be neither stepped nor drawn, and an id
// already held (or none) keeps what is registered.
static void projectile_spawn(__cNetPacketBase* packet)
{
    const czrpProjectileSpawn* spawn = packet_cast<czrpProjectileSpawn>(packet);
    std::unique_ptr<czrProjectile> projectile(new czrProjectile);
    if (!spawn || !spawn->read(projectile.get())) return;
    if (!projectile_type(*projectile)) {
        refuse_packet(kPacketProjectileSpawn, "unknown projectile kind");
        return;
    }
    if (projectile->sync_id == 0 || projectileRegistry.find(projectile->sync_id)) return;
    projectileRegistry.register_object(projectile.release());
}

static void projectile_delete(__cNetPacketBase* packet)
{
    const czrpProjectileDelete* remove = packet_cast<czrpProjectileDelete>(packet);
    if (remove) projectileRegistry.remove(remove->sync_id());
}

static void particle_burst(cGame* game, __cNetPacketBase* packet)
{
    const cVantorParticleBurstPacket<kPacketMagic>* concrete =
        packet_cast<cVantorParticleBurstPacket<kPacketMagic>>(packet);
    if (!concrete) return;
    const ParticleBurst burst = concrete->burst();
    const int count = particle_burst_count(burst);
    for (int i = 0; i < count; ++i) {
        BurstParticle particle;
        if (draw_burst_particle(burst, &particle))
            game->particles.add(particle.position, particle.velocity, particle.colour, particle.life, particle.size);
    }
}

// The sender's cart takes where it drove and how it moves; a body that does
// not read leaves the cart as it was. Its radius and mass stay the host's:
// contacts divide by the mass and reach as far as the radius.
static void post_movement(cGame* game, uint16_t sender_slot, __cNetPacketBase* packet)
{
    const player_record* sender = game->player(sender_slot);
    const czrpPostMovement* movement = packet_cast<czrpPostMovement>(packet);
    if (!movement || sender->state != kSlotInUse) return;
    ctPhysicsObject body;
    if (!movement->read(&body)) return;
    czrCar* car = cartRegistry.find(sender->car_sync_id);
    if (car) ctPhysicsObject::copy_motion_state(*car, body);
}

static void request_reset(cGame* game, uint16_t sender_slot)
{
    respawn_cart(game, game->player(sender_slot)->car_sync_id);
}

static bool client_packet(cGame* game, __cNetPacketBase* packet)
{
    switch (packet->type) {
    case kPacketChat: chat_from(game, kFromHost, packet); return false;
    case kPacketClientQuit: wrong_side("Client quit packed recieved in client mode"); return false;
    case kPacketBooted: printf("Booted by Server!\n"); return true;
    case kPacketRequestReset: wrong_side("Request Reset packed recieved in client mode"); return false;
    case kPacketPostMovement: wrong_side("Post Movement packed recieved in client mode"); return false;
    case kPacketWelcome: welcome(game, packet); return false;
    case kPacketRacetrackLoad: racetrack_load(game, packet); return false;
    case kPacketNextLap: next_lap(game, packet); return false;
    case kPacketBackToLobby: back_to_lobby(game); return false;
    case kPacketParticleBurst: particle_burst(game, packet); return false;
    case kPacketProjectileSpawn: projectile_spawn(packet); return false;
    case kPacketProjectileDelete: projectile_delete(packet); return false;
    case kPacketRoster: roster(game, packet); return false;
    case kPacketCarTeleport: car_teleport(packet); return false;
    case kPacketUpdateCars: update_cars(game, packet); return false;
    case kPacketImpulse: impulse(game, packet); return false;
    default: return false;
    }
}

static bool host_packet(cGame* game, uint16_t sender_slot, __cNetPacketBase* packet)
{
    switch (packet->type) {
    case kPacketChat: chat_from(game, sender_slot, packet); return false;
    case kPacketClientQuit: client_quit(game, sender_slot); return false;
    case kPacketBooted: wrong_side("Client quit packed recieved in server mode"); return true;
    case kPacketParticleBurst: particle_burst(game, packet); return false;
    case kPacketRequestReset: request_reset(game, sender_slot); return false;
    case kPacketPostMovement: post_movement(game, sender_slot, packet); return false;
    case kPacketWelcome: wrong_side("Welcome packed recieved in server mode"); return false;
    case kPacketNextLap: wrong_side("Next Lap recieved in server mode"); return false;
    default: return false;
    }
}

bool handle_packet(cGame* game, uint16_t sender_slot, __cNetPacketBase* packet)
{
    if (!packet) return false;
    if (sender_slot == kFromHost) return client_packet(game, packet);
    if (!game->player(sender_slot)) return false;
    return host_packet(game, sender_slot, packet);
}
