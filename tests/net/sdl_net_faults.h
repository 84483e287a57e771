// One-shot faults in SDL_net, injected by interposing its functions in the
// test program, which the dynamic linker binds the plug-in to before the
// library. Each flag makes the next call of its function fail.
#pragma once

struct SdlNetFaults {
    bool init = false;
    bool alloc_socket_set = false;
    bool resolve_host = false;
    bool peer_address = false;
};

SdlNetFaults& sdl_net_faults();
