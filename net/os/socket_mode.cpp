#include "net/os/socket_mode.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

// SDL_net 1.2 gives no call for a socket's descriptor. Its socket record
// starts with the public ready flag (SDLNet_GenericSocket) and keeps the
// descriptor right after it; the descriptor is trusted only when it is
// connected to the very peer SDL_net reports for the socket.
struct SocketRecordStart {
    int ready;
    int descriptor;
};

int descriptor_of(TCPsocket socket)
{
    IPaddress* peer = socket ? SDLNet_TCP_GetPeerAddress(socket) : nullptr;
    if (!peer) return -1;
    const int descriptor = reinterpret_cast<const SocketRecordStart*>(socket)->descriptor;
    sockaddr_in address = {};
    socklen_t size = sizeof address;
    if (descriptor < 0 || getpeername(descriptor, reinterpret_cast<sockaddr*>(&address), &size) != 0) return -1;
    const bool same_peer = address.sin_family == AF_INET && address.sin_addr.s_addr == peer->host &&
                           address.sin_port == peer->port;
    return same_peer ? descriptor : -1;
}

}  // namespace

bool make_sends_return_at_once(TCPsocket socket)
{
    const int descriptor = descriptor_of(socket);
    if (descriptor < 0) return false;
    const int flags = fcntl(descriptor, F_GETFL, 0);
    return flags != -1 && fcntl(descriptor, F_SETFL, flags | O_NONBLOCK) == 0;
}
