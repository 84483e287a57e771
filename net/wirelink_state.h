// wirelink's one state block and its two ways of reporting: a warning line on
// standard output, and the last-error text a caller may ask for.
#pragma once

#include <SDL_net.h>

#include <cstdint>

namespace wirelink {

constexpr int kMaxClients = 64;
constexpr uint16_t kEveryClient = 0xFFFF;

enum Mode : uint16_t { kIdle = 0, kServer = 1, kClient = 2 };

struct ClientSlot {
    TCPsocket socket = nullptr;
    IPaddress peer = {};  // a copy: SDL_net's own record dies with the socket
    bool active = false;
    bool ready = false;
};

struct State {
    IPaddress listen_address = {};
    TCPsocket listener = nullptr;
    SDLNet_SocketSet server_set = nullptr;
    ClientSlot clients[kMaxClients];

    IPaddress server_address = {};
    TCPsocket server = nullptr;
    SDLNet_SocketSet client_set = nullptr;
    bool server_ready = false;

    uint16_t port = 0;
    char last_error[256] = {};
    uint16_t mode = kIdle;
    bool initialised = false;
};

State& state();

void warn(const char* text);
void set_last_error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Byte count of a send: -1 means the text and its terminator; any other
// negative length, or no data, sends nothing.
int send_length(const void* data, int length);
// A receive asks for 0..32767 bytes, whatever the caller passed.
int receive_limit(int max);

}  // namespace wirelink
