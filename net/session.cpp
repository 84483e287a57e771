// Bringing SDL_net up and down, the per-frame poll and the mode queries.
#include <SDL.h>

#include "net/os/local_host.h"
#include "net/slots.h"
#include "net/wirelink_state.h"

namespace wirelink {

bool net_init(uint16_t port)
{
    State& net = state();
    if (net.initialised) SDLNet_Quit();
    net.initialised = false;
    net.port = port;
    if (SDLNet_Init() < 0) {
        set_last_error("%s", SDL_GetError());
        return false;
    }
    ignore_broken_pipe_signal();
    net.initialised = true;
    return true;
}

void net_quit()
{
    State& net = state();
    if (!net.initialised) return;
    SDLNet_Quit();
    net.initialised = false;
}

bool net_poll()
{
    switch (state().mode) {
    case kServer: return poll_server();
    case kClient: return poll_client();
    default: return true;
    }
}

bool net_is_server()
{
    return state().mode == kServer;
}

bool net_is_client()
{
    return state().mode == kClient;
}

const char* net_last_error()
{
    return state().last_error;
}

}  // namespace wirelink
