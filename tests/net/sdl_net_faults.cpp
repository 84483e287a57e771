#include "sdl_net_faults.h"

#include <SDL.h>
#include <SDL_net.h>
#include <dlfcn.h>

SdlNetFaults& sdl_net_faults()
{
    static SdlNetFaults faults;
    return faults;
}

// The library's own function: the plug-in has loaded SDL_net by the time any is called.
template <class Function>
static Function real(const char* name)
{
    static void* library = dlopen("libSDL_net-1.2.so.0", RTLD_NOW);
    return reinterpret_cast<Function>(dlsym(library, name));
}

static bool take(bool& flag)
{
    bool set = flag;
    flag = false;
    return set;
}

int SDLNet_Init(void)
{
    if (take(sdl_net_faults().init)) {
        SDL_SetError("injected start-up failure");
        return -1;
    }
    return real<int (*)()>("SDLNet_Init")();
}

SDLNet_SocketSet SDLNet_AllocSocketSet(int maxsockets)
{
    if (take(sdl_net_faults().alloc_socket_set)) return nullptr;
    return real<SDLNet_SocketSet (*)(int)>("SDLNet_AllocSocketSet")(maxsockets);
}

int SDLNet_ResolveHost(IPaddress* address, const char* host, Uint16 port)
{
    if (take(sdl_net_faults().resolve_host)) return -1;
    return real<int (*)(IPaddress*, const char*, Uint16)>("SDLNet_ResolveHost")(address, host, port);
}

IPaddress* SDLNet_TCP_GetPeerAddress(TCPsocket socket)
{
    if (take(sdl_net_faults().peer_address)) {
        SDL_SetError("injected missing peer");
        return nullptr;
    }
    return real<IPaddress* (*)(TCPsocket)>("SDLNet_TCP_GetPeerAddress")(socket);
}
