// Sends that never wait for the peer. SDL_net sends on a blocking socket, so
// one peer that stops reading would hold the caller until it reads again.
#pragma once

#include <SDL_net.h>

// Puts the connection's descriptor in non-blocking mode: from then on
// SDLNet_TCP_Send takes only what the connection has room for and returns
// that count at once. False, leaving the socket as it was, when the
// descriptor cannot be found.
bool make_sends_return_at_once(TCPsocket socket);
