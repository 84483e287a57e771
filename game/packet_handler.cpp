// What each packet does. The host obeys only what clients may send it: chat,
// quit, keep-alive, boot and their requests; the host's own packet types from
// a client are refused, so no client can rewrite the host's slots or state.
#include <cstdio>
#include <string>

#include "game/game.h"
#include "game/network_play.h"
#include "game/packets.h"
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

static void update_cars(cGame* game, __cNetPacketBase* packet)
{
    const czrpUpdateCars* update = packet_cast<czrpUpdateCars>(packet);
    czrCarsUpdate cars;
    if (!update || !update->read(&cars)) return;
    for (int slot = 0; slot < kPlayerSlots; ++slot) game->player(slot)->rank = cars.ranks[slot];
}

// Race packets whose carts and projectiles the race keeps: read with their
// bounds, so a short or poisoned one is reported and dropped.
template <class Packet, class Record>
static void check_race_packet(__cNetPacketBase* packet)
{
    const Packet* concrete = packet_cast<Packet>(packet);
    Record record;
    if (concrete) concrete->read(&record);
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
    case kPacketProjectileSpawn: check_race_packet<czrpProjectileSpawn, czrProjectileRecord>(packet); return false;
    case kPacketRoster: roster(game, packet); return false;
    case kPacketCarTeleport: check_race_packet<czrpCarTeleport, czrTeleport>(packet); return false;
    case kPacketUpdateCars: update_cars(game, packet); return false;
    case kPacketImpulse: check_race_packet<czrpImpulse, cVector3D>(packet); return false;
    default: return false;
    }
}

static bool host_packet(cGame* game, uint16_t sender_slot, __cNetPacketBase* packet)
{
    switch (packet->type) {
    case kPacketChat: chat_from(game, sender_slot, packet); return false;
    case kPacketClientQuit: client_quit(game, sender_slot); return false;
    case kPacketBooted: wrong_side("Client quit packed recieved in server mode"); return true;
    case kPacketPostMovement:
        if (game->player(sender_slot)->state == kSlotInUse)
            check_race_packet<czrpPostMovement, czrBodyForm>(packet);
        return false;
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
