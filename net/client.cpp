// Client mode: one socket to the server. Receives refresh readiness, so a
// second receive with nothing waiting returns at once, and a send takes only
// what the connection has room for.
#include <SDL.h>

#include "net/os/socket_mode.h"
#include "net/slots.h"
#include "net/wirelink_state.h"

namespace wirelink {

static bool in_client_mode()
{
    if (state().mode == kClient) return true;
    warn("Interface is not in client mode");
    return false;
}

static void free_client_set()
{
    State& net = state();
    SDLNet_FreeSocketSet(net.client_set);
    net.client_set = nullptr;
}

uint16_t net_start_client(const char* host)
{
    State& net = state();
    if (net.mode != kIdle) {
        warn("Interface is already active");
        return 1;
    }
    net.client_set = SDLNet_AllocSocketSet(1);
    if (!net.client_set) {
        warn("Unable to properly create socketSet");
        return 2;
    }
    if (!host || SDLNet_ResolveHost(&net.server_address, host, net.port) != 0) {
        free_client_set();
        warn("Unable to resolve server IP");
        return 3;
    }
    net.server = SDLNet_TCP_Open(&net.server_address);
    if (!net.server) {
        free_client_set();
        warn("Unable to open server port");
        return 4;
    }
    if (!make_sends_return_at_once(net.server)) warn("Sends to the server may wait for it to read");
    SDLNet_TCP_AddSocket(net.client_set, net.server);
    net.server_ready = false;
    net.mode = kClient;
    return 0;
}

uint16_t net_stop_client()
{
    if (!in_client_mode()) return 0;
    State& net = state();
    free_client_set();
    SDLNet_TCP_Close(net.server);
    net.server = nullptr;
    net.server_ready = false;
    net.mode = kIdle;
    return 0;
}

int net_client_send(const void* data, int length)
{
    if (!in_client_mode()) return 0;
    length = send_length(data, length);
    return length > 0 ? SDLNet_TCP_Send(state().server, data, length) : 0;
}

uint32_t net_server_host()
{
    return in_client_mode() ? state().server_address.host : 0;
}

bool net_is_server_ready()
{
    return in_client_mode() && state().server_ready;
}

static bool server_has_data()
{
    State& net = state();
    return SDLNet_CheckSockets(net.client_set, 0) > 0 && SDLNet_SocketReady(net.server);
}

int net_client_receive(void* buffer, int max)
{
    if (!in_client_mode()) return 0;
    State& net = state();
    if (!net.server_ready) {
        warn("Server is not sending");
        return 0;
    }
    int limit = receive_limit(max);
    if (!buffer || limit == 0) return 0;
    int received = SDLNet_TCP_Recv(net.server, buffer, limit);
    net.server_ready = server_has_data();
    return received;
}

bool poll_client()
{
    State& net = state();
    net.server_ready = false;
    int activity = SDLNet_CheckSockets(net.client_set, 0);
    if (activity == -1) {
        set_last_error("%s", SDL_GetError());
        return false;
    }
    if (activity > 0) net.server_ready = SDLNet_SocketReady(net.server);
    return true;
}

}  // namespace wirelink
