// A raw TCP peer on 127.0.0.1 for driving the transport from the other end.
// Every wait is bounded by a timeout, so a test ends even when the transport
// misbehaves.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class LoopbackPeer {
public:
    LoopbackPeer() = default;
    ~LoopbackPeer() { close(); }
    LoopbackPeer(const LoopbackPeer&) = delete;
    LoopbackPeer& operator=(const LoopbackPeer&) = delete;

    // With a small window the peer's side holds only a few KiB it has not
    // read, and the sender's side sizes its own room from the small segments.
    bool connect_to(uint16_t port, bool small_window = false);
    // Takes the next connection waiting on a listening socket.
    bool accept_from(int listener, int timeout_ms);
    bool send_bytes(const void* data, size_t count);
    // Sends what the connection takes right now; the count, 0 when full.
    size_t offer_bytes(const void* data, size_t count);
    // Collects up to count bytes, waiting at most timeout_ms in all.
    std::string receive(size_t count, int timeout_ms);
    // True when the other end closed the connection within timeout_ms.
    bool sees_close(int timeout_ms);
    void close();
    // This end's port and the other end's, 0 when not connected.
    uint16_t local_port() const;
    uint16_t remote_port() const;

private:
    int fd = -1;
};

// A port nothing uses right now, so tests running at the same time (other
// builds, other checkouts) never meet on one; 0 when none could be found.
uint16_t free_port();
// A plain listening socket, so a port is taken; -1 on failure. The
// connections it accepts have the small window of connect_to when asked.
int occupy_port(uint16_t port, bool small_window = false);
void release_port(int fd);
