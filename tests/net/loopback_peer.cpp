#include "loopback_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

static sockaddr_in loopback(uint16_t port)
{
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// Set before the connection is made: the window and segment size are told in
// the handshake, and the sender sizes its send room by the segments. The
// kernel raises the asked receive buffer to its own least.
static void shrink_window(int fd)
{
    int least = 1;
    int segment = 300;
    setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &least, sizeof least);
    setsockopt(fd, IPPROTO_TCP, TCP_MAXSEG, &segment, sizeof segment);
}

bool LoopbackPeer::connect_to(uint16_t port, bool small_window)
{
    close();
    fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd >= 0 && small_window) shrink_window(fd);
    sockaddr_in address = loopback(port);
    if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close();
        return false;
    }
    return true;
}

bool LoopbackPeer::accept_from(int listener, int timeout_ms)
{
    close();
    pollfd wait = {listener, POLLIN, 0};
    if (poll(&wait, 1, timeout_ms) <= 0) return false;
    fd = accept(listener, nullptr, nullptr);
    return fd >= 0;
}

bool LoopbackPeer::send_bytes(const void* data, size_t count)
{
    return fd >= 0 && send(fd, data, count, MSG_NOSIGNAL) == ssize_t(count);
}

size_t LoopbackPeer::offer_bytes(const void* data, size_t count)
{
    if (fd < 0) return 0;
    const ssize_t sent = send(fd, data, count, MSG_NOSIGNAL | MSG_DONTWAIT);
    return sent > 0 ? size_t(sent) : 0;
}

static int milliseconds_left(std::chrono::steady_clock::time_point end)
{
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now()).count();
    return left > 0 ? int(left) : 0;
}

std::string LoopbackPeer::receive(size_t count, int timeout_ms)
{
    std::string bytes;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (fd >= 0 && bytes.size() < count) {
        pollfd wait = {fd, POLLIN, 0};
        if (poll(&wait, 1, milliseconds_left(end)) <= 0) break;
        char chunk[4096];
        size_t want = count - bytes.size() < sizeof chunk ? count - bytes.size() : sizeof chunk;
        ssize_t got = recv(fd, chunk, want, 0);
        if (got <= 0) break;
        bytes.append(chunk, size_t(got));
    }
    return bytes;
}

bool LoopbackPeer::sees_close(int timeout_ms)
{
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
    while (fd >= 0) {
        pollfd wait = {fd, POLLIN, 0};
        if (poll(&wait, 1, milliseconds_left(end)) <= 0) return false;
        char chunk[256];
        ssize_t got = recv(fd, chunk, sizeof chunk, 0);
        if (got <= 0) return true;
    }
    return false;
}

void LoopbackPeer::close()
{
    if (fd >= 0) ::close(fd);
    fd = -1;
}

uint16_t LoopbackPeer::local_port() const
{
    sockaddr_in address = {};
    socklen_t size = sizeof address;
    if (fd < 0 || getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
    return ntohs(address.sin_port);
}

uint16_t LoopbackPeer::remote_port() const
{
    sockaddr_in address = {};
    socklen_t size = sizeof address;
    if (fd < 0 || getpeername(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) return 0;
    return ntohs(address.sin_port);
}

// A socket bound to the port on every address; with SO_REUSEADDR the bind
// succeeds while old connections of an earlier run linger in TIME_WAIT, and
// still fails while anything listens there.
static int bound_socket(uint16_t port)
{
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) return -1;
    int on = 1;
    setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = loopback(port);
    address.sin_addr.s_addr = htonl(INADDR_ANY);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

int occupy_port(uint16_t port, bool small_window)
{
    int fd = bound_socket(port);
    if (fd >= 0 && small_window) shrink_window(fd);
    if (fd >= 0 && listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

uint16_t free_port()
{
    int fd = bound_socket(0);
    sockaddr_in address = {};
    socklen_t size = sizeof address;
    bool named = fd >= 0 && getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0;
    if (fd >= 0) ::close(fd);
    return named ? ntohs(address.sin_port) : 0;
}

void release_port(int fd)
{
    if (fd >= 0) ::close(fd);
}
