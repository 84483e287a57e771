#include "game/network_play.h"

#include <cstdio>

#include "base/modules.h"
#include "game/game.h"
#include "game/packets.h"
#include "game/projectile.h"
#include "game/race_start.h"
#include "game/settings.h"

static network_interface* network()
{
    return __mNetwork_instance()->interface_table;
}

void send_to_all(cGame* game, __cNetPacketBase* packet)
{
    network_interface* net = network();
    const bool serving = net && net->net_is_server();
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        player_record* record = game->player(slot);
        if (!record->joined_peer(game->own_slot, slot)) continue;
        const cVantorNetConnection& link = record->link;
        const uint16_t id = link.connection_id != kAllConnections ? link.connection_id : link.send_id;
        // On a server the id 0xFFFF would reach every client at once.
        if (serving && id == kAllConnections) continue;
        send_packet(id, &record->link, packet);
    }
}

void send_roster_to_all(cGame* game)
{
    czrRosterEntry entries[kPlayerSlots];
    for (int slot = 0; slot < kPlayerSlots; ++slot) entries[slot] = *game->player(slot);
    czrpRoster roster(entries);
    send_to_all(game, &roster);
}

static void free_slot(player_record* record)
{
    record->state = kSlotLeft;
    record->link.connection_id = kAllConnections;
    record->link.send_id = kAllConnections;
    record->link.reset();
}

void boot_client(cGame* game, int slot, bool quiet)
{
    player_record* record = game->player(slot);
    if (!record || slot == game->own_slot || !record->joined_peer(game->own_slot, slot) ||
        record->link.connection_id == kAllConnections)
        return;
    if (!quiet) {
        czrpBare booted(kPacketBooted);
        send_packet(record->link.send_id, &record->link, &booted);
    }
    network_interface* net = network();
    if (net) net->net_drop_client(record->link.connection_id);
    free_slot(record);
    send_roster_to_all(game);
}

static player_record* record_on(cGame* game, uint16_t id)
{
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        player_record* record = game->player(slot);
        if (record->state != kSlotFree && record->link.connection_id == id) return record;
    }
    return nullptr;
}

static void handle_queued(cGame* game, int slot)
{
    player_record* record = game->player(slot);
    while (record->link.received.count() > 0) {
        __cNetPacketBase* packet = record->link.received.get(0);
        record->link.received.erase(0);
        const bool boot = handle_packet(game, uint16_t(slot), packet);
        packet->destroy();
        if (boot) boot_client(game, slot, false);
    }
}

static void boot_inactive(cGame* game, int slot)
{
    player_record* record = game->player(slot);
    printf("Booting inactive client %s [%i]!\n", record->name, slot);
    network_interface* net = network();
    if (net) net->net_drop_client(record->link.connection_id);
    send_roster_to_all(game);
    free_slot(record);
    send_roster_to_all(game);
}

// To every joined slot but ours, on its own connection.
static void send_to_peers(cGame* game, __cNetPacketBase* packet)
{
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        player_record* record = game->player(slot);
        if (slot != game->own_slot && (record->state == kSlotInUse || record->state == kSlotListed))
            send_packet(record->link.connection_id, &record->link, packet);
    }
}

czrpUpdateCars* build_cart_update(cGame* game)
{
    const auto& carts = cartRegistry.objects.walk();
    const auto& projectiles = projectileRegistry.objects.walk();
    czrpUpdateCars* update = new czrpUpdateCars(uint16_t(carts.size()), uint16_t(projectiles.size()));
    for (const auto& entry : carts) update->append_cart(*entry.second);
    for (const auto& entry : projectiles) update->append_projectile(*entry.second);
    uint8_t ranks[kPlayerSlots];
    for (int slot = 0; slot < kPlayerSlots; ++slot) ranks[slot] = game->player(slot)->rank;
    update->append_ranks(ranks);
    return update;
}

bool server_network_update(cGame* game, float* dt)
{
    for (uint16_t id = 0; id < kTransportIds; ++id) {
        player_record* record = record_on(game, id);
        if (record)
            record->link.update(dt, id);
        else
            check_new_connection(game, id);
    }
    for (int slot = 0; slot < kPlayerSlots; ++slot)
        if (slot != game->own_slot) handle_queued(game, slot);
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        const cVantorNetConnection& link = game->player(slot)->link;
        if (game->player(slot)->joined_peer(game->own_slot, slot) && (link.timed_out || link.send_stalled))
            boot_inactive(game, slot);
    }
    game->roster_timer -= *dt;
    if (game->roster_timer < 0) {
        game->roster_timer = settings_record.roster_interval * kRosterTick;
        send_roster_to_all(game);
    }
    if (game->program_state != kStateHostLobby && game->program_state != kStateHostRace) return false;
    game->update_timer -= *dt;
    if (game->update_timer >= 0) return false;
    game->update_timer = settings_record.update_interval * kUpdateTick;
    if (game->program_state == kStateHostLobby) {
        czrpBare keep_alive(kPacketKeepAlive);
        send_to_peers(game, &keep_alive);
    } else {
        czrpUpdateCars* update = build_cart_update(game);
        send_to_peers(game, update);
        update->destroy();
    }
    return false;
}

void start_joining(cGame* game)
{
    player_record* host = game->player(0);
    host->link.reset();
    host->link.connection_id = kAllConnections;
    host->link.send_id = kAllConnections;
    game->repost_count = 0;
    game->client_keepalive_timer = 0;
}

// Before the welcome a silent host gets the request again, six times, 5 s apart.
static bool repost_join_request(cGame* game)
{
    cVantorNetConnection& link = game->player(0)->link;
    link.silence = 0;
    link.timed_out = false;
    const bool give_up = game->repost_count > kMaxReposts;
    if (give_up)
        printf("Server stopped responding!\n");
    else {
        printf("Reposting join request to server\n");
        game->send_join_request();
    }
    ++game->repost_count;
    return give_up;
}

bool client_network_update(cGame* game, float* dt)
{
    cVantorNetConnection& link = game->player(0)->link;
    if (link.update(dt, kAllConnections) > 0) game->repost_count = 0;
    const bool welcomed = game->join_phase != 0;
    bool leave = false;
    if (!welcomed && link.timed_out) leave = repost_join_request(game);
    if (welcomed) leave = link.timed_out;
    if (link.send_stalled) {
        printf("WARNING: %s\n", "Server stopped taking data: leaving");
        leave = true;
    }
    while (link.received.count() > 0) {
        __cNetPacketBase* packet = link.received.get(0);
        link.received.erase(0);
        if (handle_packet(game, kFromHost, packet)) leave = true;
        packet->destroy();
    }
    if (game->join_phase != 0) {
        game->client_keepalive_timer -= *dt;
        if (game->client_keepalive_timer < 0) {
            game->client_keepalive_timer = kClientKeepAliveSeconds;
            czrpBare keep_alive(kPacketKeepAlive);
            send_packet(kAllConnections, &link, &keep_alive);
        }
    }
    return leave;
}
