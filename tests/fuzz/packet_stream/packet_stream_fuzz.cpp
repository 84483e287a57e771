// The bytes a peer sends, through one connection with the game's packet
// factory: every packet cut from them is read as its handler reads it, and
// sent again it must cut into the same packet.
#include <cstring>
#include <utility>

#include "framework/connection.h"
#include "game/packets.h"
#include "tests/fuzz/support/fuzz_support.h"
#include "tests/packets/fake_network.h"

namespace {

const int16_t kReadChunks[8] = {kReadChunk, 1, 3, 16, 100, 511, 0, -1};

void check(bool condition)
{
    if (!condition) __builtin_trap();
}

void check_name(const char* name)
{
    check(memchr(name, 0, kPlayerNameSize) != nullptr);
}

template <class Packet, class Record>
void read_as(__cNetPacketBase* packet)
{
    Record record;
    if (const Packet* concrete = packet_cast<Packet>(packet)) concrete->read(&record);
}

void read_packet(__cNetPacketBase* packet)
{
    switch (packet->type) {
    case kPacketChat: {
        auto* chat = packet_cast<cVantorChatPacket<kPacketMagic>>(packet);
        check(chat && strlen(chat->text()) < kChatPayloadSize);
        break;
    }
    case kPacketParticleBurst: {
        auto* burst = packet_cast<cVantorParticleBurstPacket<kPacketMagic>>(packet);
        const ParticleBurst read = burst->burst();
        const int count = particle_burst_count(read);
        check(count >= 0 && count <= kMaxBurstParticles);
        BurstParticle particle;
        for (int i = 0; i < count; ++i) draw_burst_particle(read, &particle);
        break;
    }
    case kPacketRequestJoin: {
        const czrJoinRequest request = packet_cast<czrpRequestJoin>(packet)->request();
        check_name(request.name);
        check(request.species < kSpeciesCount);
        break;
    }
    case kPacketRoster: {
        const czrpRoster* roster = packet_cast<czrpRoster>(packet);
        for (int slot = 0; slot < kPlayerSlots; ++slot) {
            const czrRosterEntry entry = roster->entry(slot);
            check_name(entry.name);
            check(entry.species < kSpeciesCount);
        }
        break;
    }
    case kPacketRacetrackLoad: {
        czrRacetrack racetrack;
        if (packet_cast<czrpRacetrackLoad>(packet)->read(&racetrack))
            check(racetrack.carts.size() <= size_t(kPlayerSlots));
        break;
    }
    case kPacketCarTeleport: read_as<czrpCarTeleport, czrTeleport>(packet); break;
    case kPacketImpulse: read_as<czrpImpulse, cVector3D>(packet); break;
    case kPacketPostMovement: read_as<czrpPostMovement, ctPhysicsObject>(packet); break;
    case kPacketWelcome: read_as<czrpWelcome, czrWelcome>(packet); break;
    case kPacketProjectileSpawn: read_as<czrpProjectileSpawn, czrProjectile>(packet); break;
    case kPacketUpdateCars: read_as<czrpUpdateCars, czrCarsUpdate>(packet); break;
    default: break;
    }
}

// What this side would send of the packet cuts into one packet of the same
// type and size. The re-cut runs on a network of its own with nothing waiting:
// on the shared one it would read the peer's bytes that are still pending.
void check_resend(__cNetPacketBase* packet)
{
    const uint32_t size = packet->get_wire_size();
    const uint8_t* wire = packet->get_wire_data();
    cVantorNetConnection again(new czrPacketFactory, 5.0f);
    again.stream.assign(wire, wire + size);
    FakeNetwork peer;
    peer.client = fake_network().client;
    peer.server = fake_network().server;
    std::swap(peer, fake_network());
    float dt = 0;
    again.update(&dt, 0);
    std::swap(peer, fake_network());
    check(again.received.count() == 1);
    __cNetPacketBase* copy = again.received.get(0);
    check(copy->type == packet->type && copy->get_wire_size() == size);
    check(memcmp(copy->get_wire_data(), wire, size) == 0);
    check(again.stream.empty());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    const uint8_t setup = input.byte();
    install_fake_network();
    const bool client = setup & 1;
    fake_network().client = client;
    fake_network().server = !client;
    fake_network().pending = input.bytes(size);
    {
        cVantorNetConnection link(new czrPacketFactory, 5.0f);
        link.read_chunk = kReadChunks[(setup >> 1) & 7];
        const uint16_t id = client ? kAllConnections : 3;
        float dt = 0.01f;
        // Each update cuts at most one packet; stop once one neither reads nor cuts.
        for (size_t round = 0; round <= size + 1; ++round) {
            const int read = link.update(&dt, id);
            check(link.stream.size() <= kStreamLimit);
            const bool cut = link.received.count() > 0;
            while (link.received.count() > 0) {
                __cNetPacketBase* packet = link.received.get(0);
                link.received.erase(0);
                read_packet(packet);
                check_resend(packet);
                packet->destroy();
            }
            if (read <= 0 && !cut) break;
        }
    }
    uninstall_fake_network();
    return 0;
}
