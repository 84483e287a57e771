// The host's side of a join: a transport id no record holds is read straight
// from its socket, and a join request there gets a slot or is refused.
#include <cstdio>
#include <cstring>

#include "base/modules.h"
#include "game/game.h"
#include "game/network_play.h"
#include "game/packets.h"

static const int kJoinReadBytes = 1024;

static int lowest_free_slot(cGame* game)
{
    for (int slot = 0; slot < kPlayerSlots; ++slot)
        if (game->player(slot)->state == kSlotFree) return slot;
    return -1;
}

static int slot_named(cGame* game, const char* name)
{
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        const player_record* record = game->player(slot);
        if (record->state != kSlotFree && strcmp(record->name, name) == 0) return slot;
    }
    return -1;
}

static int highest_reusable_slot(cGame* game)
{
    for (int slot = kPlayerSlots - 1; slot >= 0; --slot) {
        const uint16_t state = game->player(slot)->state;
        if (state == kSlotFree || state == kSlotLeft) return slot;
    }
    return -1;
}

// Straight to the peer's id: a refused peer has no record and no connection.
static void send_booted(uint16_t id)
{
    czrpBare booted(kPacketBooted);
    send_packet(id, nullptr, &booted);
}

static void refuse_join(network_interface* net, uint16_t id)
{
    send_booted(id);
    net->net_drop_client(id);
    printf("booted\n");
}

static void seat_player(cGame* game, int slot, uint16_t id, const czrJoinRequest& request)
{
    player_record* record = game->player(slot);
    record->link.reset();
    record->link.send_id = id;
    record->link.slot_index = uint16_t(slot);
    record->link.connection_id = id;
    record->state = kSlotInUse;
    record->clear_roster(request.name, request.species);
}

static void join(cGame* game, network_interface* net, uint16_t id, const czrJoinRequest& request)
{
    char address[16] = {};
    net->net_format_address(net->net_client_host(id), address);
    address[sizeof address - 1] = 0;
    printf("join request from %s ... ", address);
    int slot = lowest_free_slot(game);
    const int found = slot_named(game, request.name);
    const bool rejoin = found != -1 && game->player(found)->state != kSlotInUse;
    if (rejoin) slot = found;
    if (slot == -1) slot = highest_reusable_slot(game);
    if (slot == -1 || (found != -1 && !rejoin)) {
        if (slot == -1)
            printf("no available slots ... ");
        else
            printf("name %s is already registered ... ", request.name);
        refuse_join(net, id);
        return;
    }
    seat_player(game, slot, id, request);
    printf("%s %s in slot %i\n", request.name, rejoin ? "rejoined" : "joined", slot);
    player_record* record = game->player(slot);
    czrpWelcome welcome({game->welcome_word, uint16_t(slot), uint16_t(game->own_slot)});
    send_packet(id, &record->link, &welcome);
    send_roster_to_all(game);
}

// A peer that has closed or errs reads 0 or less; its id is dropped so that
// refused and closed peers cannot use up the transport's ids. A peer that is
// connected but sends nothing, or no join, keeps its id.
void check_new_connection(cGame* game, uint16_t id)
{
    network_interface* net = __mNetwork_instance()->interface_table;
    if (!net || !net->net_is_client_active(id) || !net->net_is_client_ready(id)) return;
    uint8_t bytes[kJoinReadBytes];
    const int count = net->net_server_receive(id, bytes, kJoinReadBytes);
    if (count <= 0) {
        net->net_drop_client(id);
        return;
    }
    const size_t got = size_t(count < kJoinReadBytes ? count : kJoinReadBytes);
    if (!starts_with_join_header(bytes, got)) return;
    if (game->program_state == kStateHostRace) {
        printf("...game in progress: booted\n");
        send_booted(id);
        return;
    }
    czrJoinRequest request;
    if (game->program_state == kStateHostLobby && read_join_request(bytes, got, &request))
        join(game, net, id, request);
}
