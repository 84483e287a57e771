// A network table over in-memory byte queues, installed in the network
// module for one test. It counts every receive made while it reports nothing
// waiting: the transport would block or warn there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/network_interface.h"

// Bytes waiting in the socket: appended at the back and taken from the front
// without moving what is left on every read, so a megabyte read a byte at a
// time costs a megabyte, not a megabyte a byte.
class PendingBytes {
public:
    PendingBytes& operator=(std::string bytes);
    PendingBytes& operator+=(const std::string& bytes);
    template <class Iterator>
    void append(Iterator first, Iterator last)
    {
        bytes.append(first, last);
    }
    void clear();
    bool empty() const { return front == bytes.size(); }
    // Copies up to max bytes out and drops them; the count copied.
    size_t take(void* out, size_t max);

private:
    std::string bytes;
    size_t front = 0;
};

struct FakeSend {
    uint16_t id;
    std::string bytes;
};

struct FakeNetwork {
    bool server = false;
    bool client = false;
    PendingBytes pending;  // bytes the peer has sent and the socket holds
    int forced_result = 0;  // a non-zero receive result returned instead of bytes
    int receives_while_idle = 0;
    int largest_request = 0;  // the most bytes one receive asked for
    long room = -1;  // bytes the peer's socket still takes; -1 without end
    std::vector<FakeSend> sends;  // what the socket took, one entry per send that took any
};

FakeNetwork& fake_network();
// Puts the fake table into the network module; uninstall before the test ends.
void install_fake_network();
void uninstall_fake_network();
