// Byte images of packets as a peer would send them, and a connection that
// receives them through the fake network table.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "framework/connection.h"
#include "game/packets.h"
#include "tests/support/printed.h"

using Bytes = std::vector<uint8_t>;

// Appends a header: zero object word, the magic, the type, zero spare bytes, the length.
void put_header(ByteWriter& out, uint16_t type, uint32_t length);
Bytes wire_of(__cNetPacketBase& packet);

ctPhysicsObject sample_body(double seed);
// A synced body whose sync state is the sample's; radius and mass stay 0.
cVantorSyncedPhysicsObject sample_state(double seed);
// A cart whose body is the form's; owner 0xFF is none.
std::unique_ptr<czrCar> sample_cart_of(uint8_t owner, uint8_t species, const ctPhysicsObject& body, uint32_t sync_id);

// A client-side connection with the game's factory over the fake network.
class Receiver {
public:
    Receiver();
    ~Receiver();
    // Delivers the bytes and runs frames until one packet is cut (null when
    // none comes within a few frames). The caller destroys the packet.
    __cNetPacketBase* receive(const Bytes& bytes);
    size_t stream_left() const { return connection.stream.size(); }

private:
    cVantorNetConnection connection{new czrPacketFactory, 5.0f};
};
