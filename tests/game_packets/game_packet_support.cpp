#include "game_packet_support.h"

#include <cstdio>

#include <gtest/gtest.h>

#include "../packets/fake_network.h"
#include "tests/support/printed.h"

void put_header(ByteWriter& out, uint16_t type, uint32_t length)
{
    out.u32(0);
    out.u32(kPacketMagic);
    out.u16(type);
    out.u16(0);
    out.u32(length);
}

Bytes wire_of(__cNetPacketBase& packet)
{
    uint32_t size = packet.get_wire_size();
    const uint8_t* data = packet.get_wire_data();
    return Bytes(data, data + size);
}

ctPhysicsObject sample_body(double seed)
{
    ctPhysicsObject body;
    body.position = cVector3D(seed, seed + 1, seed + 2);
    body.rotation = cQuaternion(0, 0.6, 0, 0.8);
    body.radius = 0.65f;
    body.velocity = cVector3D(3, 4, 5);
    body.motion_a = cVector3D(-1, 0, 0);
    body.motion_b = cVector3D(0, 2, 0);
    body.motion_c = cVector3D(0.5, 0.25, 0.125);
    body.mass = 6.0f;
    return body;
}

std::unique_ptr<czrCar> sample_cart_of(uint8_t owner, uint8_t species, const ctPhysicsObject& body, uint32_t sync_id)
{
    auto cart = std::make_unique<czrCar>(body.position, body.rotation,
                                         owner < kPlayerSlots ? int8_t(owner) : kNoCartOwner, species);
    cart->radius = body.radius;
    cart->velocity = body.velocity;
    cart->motion_a = body.motion_a;
    cart->motion_b = body.motion_b;
    cart->motion_c = body.motion_c;
    cart->mass = body.mass;
    cart->sync_id = sync_id;
    return cart;
}

cVantorSyncedPhysicsObject sample_state(double seed)
{
    cVantorSyncedPhysicsObject state;
    state.position = cVector3D(seed, 2, 3);
    state.velocity = cVector3D(4, 5, 6);
    state.motion_a = cVector3D(7, 8, 9);
    state.rotation = cQuaternion(0, 0, 0.6, 0.8);
    state.motion_b = cVector3D(10, 11, 12);
    state.motion_c = cVector3D(13, 14, 15);
    return state;
}

Receiver::Receiver()
{
    install_fake_network();
    fake_network().client = true;
}

Receiver::~Receiver()
{
    uninstall_fake_network();
}

__cNetPacketBase* Receiver::receive(const Bytes& bytes)
{
    fake_network().pending.append(bytes.begin(), bytes.end());
    for (int frame = 0; frame < 4; ++frame) {
        float dt = 0.01f;
        connection.update(&dt, kAllConnections);
        if (connection.received.count()) {
            __cNetPacketBase* packet = connection.received.get(0);
            connection.received.clear();
            return packet;
        }
    }
    return nullptr;
}
