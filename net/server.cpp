// Server mode: one listening socket and up to 64 client slots. Nothing here
// waits for a peer: accepts and readiness checks use a zero timeout, a
// receive refreshes the slot's readiness so the next one cannot block, and a
// send takes only what the peer's connection has room for.
#include <SDL.h>

#include <cstdio>

#include "net/os/socket_mode.h"
#include "net/slots.h"
#include "net/wirelink_state.h"

namespace wirelink {

static bool in_server_mode()
{
    if (state().mode == kServer) return true;
    warn("Interface is not in server mode");
    return false;
}

static void free_server_set()
{
    State& net = state();
    SDLNet_FreeSocketSet(net.server_set);
    net.server_set = nullptr;
}

uint16_t net_start_server()
{
    State& net = state();
    if (net.mode != kIdle) {
        warn("Interface is already active");
        return 1;
    }
    for (ClientSlot& slot : net.clients) slot = ClientSlot();
    net.server_set = SDLNet_AllocSocketSet(kMaxClients);
    if (!net.server_set) {
        warn("Unable to properly create socketSet");
        return 2;
    }
    if (SDLNet_ResolveHost(&net.listen_address, nullptr, net.port) != 0) {
        free_server_set();
        warn("Unable to resolve server IP");
        return 3;
    }
    net.listener = SDLNet_TCP_Open(&net.listen_address);
    if (!net.listener) {
        free_server_set();
        warn("Unable to open listening port");
        return 4;
    }
    net.mode = kServer;
    return 0;
}

uint16_t net_stop_server()
{
    if (!in_server_mode()) return 0;
    State& net = state();
    for (ClientSlot& slot : net.clients) {
        if (slot.active) SDLNet_TCP_Close(slot.socket);
        slot = ClientSlot();
    }
    free_server_set();
    SDLNet_TCP_Close(net.listener);
    net.listener = nullptr;
    net.mode = kIdle;
    return 0;
}

bool net_drop_client(uint16_t client)
{
    State& net = state();
    if (net.mode != kServer) {
        set_last_error("Interface is not in server mode");
        return false;
    }
    if (client >= kMaxClients) {
        set_last_error("Invalid Client Id %i", int(client));
        return false;
    }
    ClientSlot& slot = net.clients[client];
    if (!slot.active) {
        set_last_error("Client ID does not point to active client %i", int(client));
        return false;
    }
    SDLNet_TCP_DelSocket(net.server_set, slot.socket);
    SDLNet_TCP_Close(slot.socket);
    slot = ClientSlot();
    return true;
}

static int send_to_slot(uint16_t client, const void* data, int length)
{
    ClientSlot& slot = state().clients[client];
    if (!slot.active) {
        set_last_error("Recipient ID does not point to active client");
        return 0;
    }
    return length > 0 ? SDLNet_TCP_Send(slot.socket, data, length) : 0;
}

int net_server_send(uint16_t client, const void* data, int length)
{
    if (!in_server_mode()) return 0;
    if (client >= kMaxClients && client != kEveryClient) {
        set_last_error("Invalid Recipient Id");
        return 0;
    }
    length = send_length(data, length);
    if (client != kEveryClient) return send_to_slot(client, data, length);
    int total = 0;
    for (uint16_t id = 0; id < kMaxClients; ++id)
        if (state().clients[id].active) total += send_to_slot(id, data, length);
    return total;
}

static int active_count()
{
    int count = 0;
    for (const ClientSlot& slot : state().clients) count += slot.active;
    return count;
}

int net_client_count()
{
    return in_server_mode() ? active_count() : 0;
}

uint16_t net_free_client_id()
{
    if (!in_server_mode()) return 0;
    for (uint16_t id = 0; id < kMaxClients; ++id)
        if (!state().clients[id].active) return id;
    warn("Could not find free client Id");
    return 0;
}

uint16_t net_nth_client_id(int n)
{
    if (!in_server_mode()) return 0;
    int seen = 0;
    for (uint16_t id = 0; id < kMaxClients; ++id)
        if (state().clients[id].active && seen++ == n) return id;
    printf("Could not find adjacent client Id %i", n);
    return 0;
}

bool net_is_client_active(uint16_t client)
{
    if (!in_server_mode()) return false;
    if (client >= kMaxClients) {
        set_last_error("Invalid Client Id");
        return false;
    }
    return state().clients[client].active;
}

uint32_t net_client_host(uint16_t client)
{
    if (!in_server_mode()) return 0;
    if (client >= kMaxClients) {
        set_last_error("Invalid Client Id");
        return 0;
    }
    const ClientSlot& slot = state().clients[client];
    if (!slot.active) {
        warn("Client ID does not point to active client");
        return 0;
    }
    return slot.peer.host;
}

bool net_is_client_ready(uint16_t client)
{
    if (!in_server_mode()) return false;
    if (client >= kMaxClients) {
        set_last_error("Invalid Client Id %i", int(client));
        return false;
    }
    const ClientSlot& slot = state().clients[client];
    if (!slot.active) {
        printf("Client ID does not point to active client %i", int(client));
        return false;
    }
    return slot.ready;
}

// Whether bytes (or the end of the stream) are waiting on the slot right now.
static bool slot_has_data(ClientSlot& slot)
{
    return SDLNet_CheckSockets(state().server_set, 0) > 0 && SDLNet_SocketReady(slot.socket);
}

int net_server_receive(uint16_t client, void* buffer, int max)
{
    if (!in_server_mode()) return 0;
    if (client >= kMaxClients) {
        set_last_error("Invalid Client Id");
        return 0;
    }
    ClientSlot& slot = state().clients[client];
    if (!slot.active) {
        warn("Client ID does not point to active client");
        return 0;
    }
    if (!slot.ready) {
        warn("Client ID is not sending");
        return 0;
    }
    int limit = receive_limit(max);
    if (!buffer || limit == 0) return 0;
    int received = SDLNet_TCP_Recv(slot.socket, buffer, limit);
    slot.ready = slot_has_data(slot);
    return received;
}

// A connection whose peer address cannot be read is closed, never kept half-known.
static void take_client(TCPsocket socket)
{
    State& net = state();
    IPaddress* peer = SDLNet_TCP_GetPeerAddress(socket);
    if (!peer) {
        printf("WARNING: SDLNet_TCP_GetPeerAddress: %s\n", SDL_GetError());
        SDLNet_TCP_Close(socket);
        return;
    }
    char dotted[16];
    net_format_address(peer->host, dotted);
    printf("Server - accepting new client %s:%d\n", dotted, int(peer->port));
    if (!make_sends_return_at_once(socket)) warn("Sends to the new client may wait for it to read");
    for (ClientSlot& slot : net.clients) {
        if (slot.active) continue;
        slot.socket = socket;
        slot.peer = *peer;
        slot.active = true;
        slot.ready = false;
        SDLNet_TCP_AddSocket(net.server_set, socket);
        return;
    }
    SDLNet_TCP_Close(socket);
}

bool poll_server()
{
    State& net = state();
    if (active_count() < kMaxClients) {
        TCPsocket socket = SDLNet_TCP_Accept(net.listener);
        if (socket) take_client(socket);
    }
    for (ClientSlot& slot : net.clients) slot.ready = false;
    int activity = SDLNet_CheckSockets(net.server_set, 0);
    if (activity == -1) {
        set_last_error("%s", SDL_GetError());
        return false;
    }
    if (activity > 0)
        for (ClientSlot& slot : net.clients)
            if (slot.active) slot.ready = SDLNet_SocketReady(slot.socket);
    return true;
}

}  // namespace wirelink
