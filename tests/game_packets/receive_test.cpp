// Game packets as a receiver meets them: cut from the byte stream by a
// connection with the game's factory, then read. Honest packets come back
// whole; forged ones are refused with one line, or come back checked.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>

#include "game_packet_support.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

using PacketPtr = std::unique_ptr<__cNetPacketBase, void (*)(__cNetPacketBase*)>;

PacketPtr owned(__cNetPacketBase* packet)
{
    return PacketPtr(packet, [](__cNetPacketBase* p) {
        if (p) p->destroy();
    });
}

// The bytes a record's writer writes (a cart reserves more than it writes).
Bytes image_of(const cSerializable& record)
{
    Bytes bytes(size_t(record.serialized_size()));
    bytes.resize(size_t(record.serialize(bytes.data())));
    return bytes;
}

// The 76 bytes of a body's sync state.
Bytes state_image(const cVantorSyncedPhysicsObject& body)
{
    Bytes bytes(size_t(body.sync_state_size()));
    bytes.resize(size_t(body.write_sync_state(bytes.data(), bytes.size())));
    return bytes;
}

Bytes dynamic_image(uint16_t type, const Bytes& payload)
{
    Bytes bytes;
    ByteWriter out(bytes);
    put_header(out, type, uint32_t(16 + payload.size()));
    out.bytes(payload.data(), payload.size());
    return bytes;
}

Bytes fixed_image(uint16_t type, uint32_t size, Bytes payload)
{
    payload.resize(size);
    Bytes bytes;
    ByteWriter out(bytes);
    put_header(out, type, size);
    out.bytes(payload.data(), payload.size());
    out.zeros(padded_to_word(size) - size);
    return bytes;
}

Bytes join_payload(const std::string& name_field, uint8_t species)
{
    Bytes payload(name_field.begin(), name_field.end());
    payload.resize(32);
    payload.push_back(species);
    return payload;
}

Bytes racetrack_payload(uint32_t count, int carts_present, const czrCar& cart, uint8_t species = 1)
{
    Bytes payload;
    ByteWriter out(payload);
    for (uint16_t word : {20, 6, 3, 1, 1, 77}) out.u16(word);
    out.u32(count);
    Bytes record = image_of(cart);
    for (int i = 0; i < carts_present; ++i) {
        out.u8(species);
        out.bytes(record.data(), record.size());
    }
    return payload;
}

Bytes update_payload(uint16_t carts, uint16_t projectiles, int carts_present, bool ranks,
                     const cVantorSyncedPhysicsObject& state)
{
    Bytes payload;
    ByteWriter out(payload);
    out.u16(carts);
    out.u16(projectiles);
    Bytes image = state_image(state);
    for (int i = 0; i < carts_present; ++i) {
        out.u32(uint32_t(i + 1));
        out.bytes(image.data(), image.size());
    }
    if (ranks) out.zeros(16);
    return payload;
}

std::unique_ptr<czrCar> cart_with(double position_x)
{
    return sample_cart_of(1, 1, sample_body(position_x), 5);
}

template <class T, class Out>
bool read_as(__cNetPacketBase* packet, Out* out)
{
    T* concrete = packet_cast<T>(packet);
    return concrete && concrete->read(out);
}

struct RoundTripCase {
    const char* name;
    std::function<__cNetPacketBase*()> make;
    std::function<void(__cNetPacketBase*)> check;
};

TEST(GamePacketReceive, EveryPacketComesBackWhole)
{
    const ctPhysicsObject body = sample_body(4);
    const RoundTripCase cases[] = {
        {"20001", [] { return new czrpRequestJoin("Ann", 1); },
         [](__cNetPacketBase* p) {
             czrJoinRequest request = packet_cast<czrpRequestJoin>(p)->request();
             EXPECT_STREQ(request.name, "Ann");
             EXPECT_EQ(request.species, 1);
         }},
        {"20002", [] { return new czrpBare(kPacketRequestReset); },
         [](__cNetPacketBase* p) { EXPECT_EQ(p->type, kPacketRequestReset); }},
        {"20003", [] { return new czrpRequestAction(9, 70000); },
         [](__cNetPacketBase* p) {
             auto* action = packet_cast<czrpRequestAction>(p);
             EXPECT_EQ(action->word(), 9);
             EXPECT_EQ(action->value(), 70000u);
         }},
        {"20004", [&] { return new czrpPostMovement(body); },
         [&](__cNetPacketBase* p) {
             ctPhysicsObject read;
             ASSERT_TRUE(read_as<czrpPostMovement>(p, &read));
             EXPECT_EQ(read.position.x, 4);
             EXPECT_FLOAT_EQ(read.radius, 0.65f);
             EXPECT_EQ(read.motion_c.z, 0.125);
             EXPECT_EQ(read.mass, 6);
         }},
        {"30001", [] { return new czrpWelcome({0, 3, 0}); },
         [](__cNetPacketBase* p) {
             czrWelcome welcome;
             ASSERT_TRUE(read_as<czrpWelcome>(p, &welcome));
             EXPECT_EQ(welcome.slot, 3);
             EXPECT_EQ(welcome.host_slot, 0);
         }},
        {"30002", [] {
             TrackLoadRecord track;
             track.node_count = 20;
             track.seed = 31000;
             auto* load = new czrpRacetrackLoad(track, 2);
             auto first = cart_with(1);
             auto second = cart_with(2);
             second->species = 0;
             load->append_cart(*first);
             load->append_cart(*second);
             return load;
         },
         [](__cNetPacketBase* p) {
             czrRacetrack racetrack;
             ASSERT_TRUE(read_as<czrpRacetrackLoad>(p, &racetrack));
             EXPECT_EQ(racetrack.track.node_count, 20);
             EXPECT_EQ(racetrack.track.seed, 31000);
             ASSERT_EQ(racetrack.carts.size(), 2u);
             EXPECT_EQ(racetrack.carts[0]->species, 1);
             EXPECT_EQ(racetrack.carts[1]->species, 0);
             EXPECT_EQ(racetrack.carts[1]->position.x, 2);
             EXPECT_EQ(racetrack.carts[1]->owner_slot, 1);
             EXPECT_EQ(racetrack.carts[1]->sync_id, 5u);
         }},
        {"30003", [] { return new czrpNextLap(uint8_t(2)); },
         [](__cNetPacketBase* p) { EXPECT_EQ(packet_cast<czrpNextLap>(p)->laps(), 2); }},
        {"30004", [] { return new czrpBare(kPacketUnused4); },
         [](__cNetPacketBase* p) {
             EXPECT_EQ(p->type, kPacketUnused4);
             EXPECT_EQ(p->get_wire_size(), 16u);
         }},
        {"30006", [] { return new czrpBare(kPacketBackToLobby); },
         [](__cNetPacketBase* p) { EXPECT_EQ(p->type, kPacketBackToLobby); }},
        {"30007", [&] {
             czrProjectile projectile;
             projectile.kind = 3;
             projectile.param_d = 2.5f;
             ctPhysicsObject::copy_physics_state(projectile, body);
             projectile.sync_id = 12;
             return new czrpProjectileSpawn(projectile);
         },
         [](__cNetPacketBase* p) {
             czrProjectile record;
             ASSERT_TRUE(read_as<czrpProjectileSpawn>(p, &record));
             EXPECT_EQ(record.kind, 3);
             EXPECT_EQ(record.param_d, 2.5f);
             EXPECT_EQ(record.sync_id, 12u);
             EXPECT_EQ(record.position.x, 4);
             EXPECT_EQ(record.snapshot->position.x, 4);
         }},
        {"30008", [] { return new czrpProjectileDelete(77u); },
         [](__cNetPacketBase* p) { EXPECT_EQ(packet_cast<czrpProjectileDelete>(p)->sync_id(), 77u); }},
        {"30009", [] { return new czrpBlastSpawn(); },
         [](__cNetPacketBase* p) { EXPECT_NE(packet_cast<czrpBlastSpawn>(p), nullptr); }},
        {"30010", [] {
             czrRosterEntry entries[kPlayerSlots];
             entries[15].state = 1;
             copy_player_name(entries[15].name, "Last");
             entries[15].progress = 0.75;
             entries[15].rank = 4;
             return new czrpRoster(entries);
         },
         [](__cNetPacketBase* p) {
             czrRosterEntry entry = packet_cast<czrpRoster>(p)->entry(15);
             EXPECT_EQ(entry.state, 1);
             EXPECT_STREQ(entry.name, "Last");
             EXPECT_EQ(entry.progress, 0.75);
             EXPECT_EQ(entry.rank, 4);
         }},
        {"30011", [] { return new czrpCarTeleport({8, cVector3D(0.1, 0.2, 0.3), cQuaternion(0, 0, 0.6, 0.8)}); },
         [](__cNetPacketBase* p) {
             czrTeleport teleport;
             ASSERT_TRUE(read_as<czrpCarTeleport>(p, &teleport));
             EXPECT_EQ(teleport.sync_id, 8u);
             EXPECT_EQ(teleport.position.y, 0.2);
             EXPECT_EQ(teleport.rotation.z, 0.6);
         }},
        {"30012", [] {
             auto* update = new czrpUpdateCars(2, 1);
             update->append_cart(*sample_cart_of(0, 0, sample_state(1), 1));
             update->append_cart(*sample_cart_of(1, 0, sample_state(2), 2));
             czrProjectile projectile;
             projectile.param_b = 4;
             ctPhysicsObject::copy_physics_state(projectile, sample_state(3));
             projectile.sync_id = 9;
             update->append_projectile(projectile);
             uint8_t ranks[kPlayerSlots] = {2, 1, 0};
             update->append_ranks(ranks);
             return update;
         },
         [](__cNetPacketBase* p) {
             czrCarsUpdate update;
             ASSERT_TRUE(read_as<czrpUpdateCars>(p, &update));
             ASSERT_EQ(update.carts.size(), 2u);
             EXPECT_EQ(update.carts[1].sync_id, 2u);
             cVantorSyncedPhysicsObject cart;
             ASSERT_EQ(cart.read_sync_state(update.carts[1].state, 76, 0.0f), 76);
             EXPECT_EQ(cart.position.x, 2);
             EXPECT_EQ(cart.rotation.w, 0.8f);
             ASSERT_EQ(update.projectiles.size(), 1u);
             EXPECT_EQ(update.projectiles[0].sync_id, 9u);
             czrProjectile projectile;
             ASSERT_EQ(projectile.read_sync_state(update.projectiles[0].state, 84, 0.0f), 84);
             EXPECT_EQ(projectile.param_b, 4u);
             EXPECT_EQ(projectile.position.x, 3);
             EXPECT_EQ(update.ranks[0], 2);
             EXPECT_EQ(update.ranks[2], 0);
         }},
        {"30013", [] { return new czrpImpulse(cVector3D(1e-3, -7, 12)); },
         [](__cNetPacketBase* p) {
             cVector3D impulse;
             ASSERT_TRUE(read_as<czrpImpulse>(p, &impulse));
             EXPECT_EQ(impulse.x, 1e-3);
             EXPECT_EQ(impulse.y, -7);
         }},
    };
    for (const RoundTripCase& c : cases) {
        SCOPED_TRACE(c.name);
        Receiver receiver;
        PacketPtr sent = owned(c.make());
        std::string output;
        PacketPtr received = owned(nullptr);
        output = printed([&] { received = owned(receiver.receive(wire_of(*sent))); });
        ASSERT_NE(received, nullptr);
        EXPECT_EQ(received->type, sent->type);
        EXPECT_EQ(received->get_wire_size(), sent->get_wire_size());
        EXPECT_EQ(receiver.stream_left(), 0u);
        c.check(received.get());
        EXPECT_EQ(output, "");
    }
}

TEST(GamePacketReceive, AnUnknownTypeIsReportedOnceAndSkipped)
{
    Receiver receiver;
    Bytes bytes;
    ByteWriter out(bytes);
    put_header(out, 20005, 0);
    put_header(out, kPacketKeepAlive, 0);
    PacketPtr packet = owned(nullptr);
    std::string output = printed([&] { packet = owned(receiver.receive(bytes)); });
    EXPECT_EQ(output, "ERROR: Invalid Net-Message Type 20005\n");
    ASSERT_NE(packet, nullptr);
    EXPECT_EQ(packet->type, kPacketKeepAlive);

    czrPacketFactory factory;
    PacketHeader header;
    header.magic = kPacketMagic;
    header.type = 20005;
    __cNetPacketBase* built = nullptr;
    output = printed([&] { built = factory.build_packet(header, nullptr, 0); });
    EXPECT_EQ(built, nullptr);
    EXPECT_EQ(output, "ERROR: Invalid Net-Message Type 20005\n");
}

TEST(GamePacketReceive, FrameworkTypesStillComeFromTheFrameworkFactory)
{
    Receiver receiver;
    cVantorChatPacket<kPacketMagic> chat(std::string("hello"));
    PacketPtr packet = owned(receiver.receive(wire_of(chat)));
    auto* received = packet_cast<cVantorChatPacket<kPacketMagic>>(packet.get());
    ASSERT_NE(received, nullptr);
    EXPECT_STREQ(received->text(), "hello");
}

struct HostileCase {
    const char* name;
    Bytes bytes;
    std::function<bool(__cNetPacketBase*)> read;
    std::string output;
};

std::function<bool(__cNetPacketBase*)> reads_body()
{
    return [](__cNetPacketBase* p) {
        ctPhysicsObject body;
        return read_as<czrpPostMovement>(p, &body);
    };
}

std::function<bool(__cNetPacketBase*)> reads_racetrack()
{
    return [](__cNetPacketBase* p) {
        czrRacetrack racetrack;
        return read_as<czrpRacetrackLoad>(p, &racetrack);
    };
}

std::function<bool(__cNetPacketBase*)> reads_update()
{
    return [](__cNetPacketBase* p) {
        czrCarsUpdate update;
        return read_as<czrpUpdateCars>(p, &update);
    };
}

std::string dropped(uint16_t type, const char* why)
{
    return "ERROR: Dropped packet of Type " + std::to_string(type) + ": " + why + "\n";
}

TEST(GamePacketReceive, ForgedPacketsAreDroppedWithOneLine)
{
    ctPhysicsObject nan_mass = sample_body(1);
    nan_mass.mass = float(kNaN);
    ctPhysicsObject infinite_position = sample_body(1);
    infinite_position.position.x = kInfinity;
    std::unique_ptr<czrCar> nan_cart = cart_with(kNaN);
    cVantorSyncedPhysicsObject nan_state = sample_state(1);
    nan_state.rotation.w = kNaN;
    Bytes body84 = image_of(sample_body(1));
    Bytes body83(body84.begin(), body84.end() - 1);
    Bytes teleport_nan(76);
    ByteWriter teleport_out(teleport_nan.data(), teleport_nan.size());
    teleport_out.u32(1);
    teleport_out.zeros(8);
    for (double v : {0.0, 0.0, 0.0}) teleport_out.f64(v);
    teleport_out.zeros(8);
    for (double v : {0.0, kNaN, 0.0, 1.0}) teleport_out.f64(v);
    Bytes impulse_inf(32);
    ByteWriter impulse_out(impulse_inf.data(), impulse_inf.size());
    impulse_out.zeros(8);
    for (double v : {0.0, kInfinity, 0.0}) impulse_out.f64(v);

    const HostileCase cases[] = {
        {"20004 one byte short of a body", dynamic_image(20004, body83), reads_body(), dropped(20004, "too short")},
        {"20004 with a body but no bytes", dynamic_image(20004, {}), reads_body(), dropped(20004, "too short")},
        {"20004 with a NaN mass", dynamic_image(20004, image_of(nan_mass)), reads_body(),
         dropped(20004, "value not finite")},
        {"20004 with an infinite position", dynamic_image(20004, image_of(infinite_position)), reads_body(),
         dropped(20004, "value not finite")},
        {"30001 of 21 bytes", dynamic_image(30001, {0, 0, 1, 0, 0}),
         [](__cNetPacketBase* p) {
             czrWelcome welcome;
             return read_as<czrpWelcome>(p, &welcome);
         },
         dropped(30001, "too short")},
        {"30007 of 120 bytes", dynamic_image(30007, Bytes(104, 0)),
         [](__cNetPacketBase* p) {
             czrProjectile projectile;
             return read_as<czrpProjectileSpawn>(p, &projectile);
         },
         dropped(30007, "too short")},
        {"30002 without its count", dynamic_image(30002, Bytes(15, 0)), reads_racetrack(),
         dropped(30002, "too short")},
        {"30002 announcing three carts and holding two", dynamic_image(30002, racetrack_payload(3, 2, *cart_with(1))),
         reads_racetrack(), dropped(30002, "cart count does not fit")},
        {"30002 with seventeen carts", dynamic_image(30002, racetrack_payload(17, 17, *cart_with(1))),
         reads_racetrack(), dropped(30002, "cart count does not fit")},
        {"30002 announcing 2^32 - 1 carts", dynamic_image(30002, racetrack_payload(0xFFFFFFFFu, 1, *cart_with(1))),
         reads_racetrack(), dropped(30002, "cart count does not fit")},
        {"30002 with a NaN cart", dynamic_image(30002, racetrack_payload(1, 1, *nan_cart)), reads_racetrack(),
         dropped(30002, "value not finite")},
        {"30012 without its counts", dynamic_image(30012, {1}), reads_update(), dropped(30012, "too short")},
        {"30012 announcing a cart it lacks", dynamic_image(30012, update_payload(1, 0, 0, true, sample_state(1))),
         reads_update(), dropped(30012, "too short")},
        {"30012 announcing 65535 projectiles",
         dynamic_image(30012, update_payload(1, 0xFFFF, 1, true, sample_state(1))), reads_update(),
         dropped(30012, "too short")},
        {"30012 without its ranks", dynamic_image(30012, update_payload(1, 0, 1, false, sample_state(1))),
         reads_update(), dropped(30012, "too short")},
        {"30012 with a NaN state", dynamic_image(30012, update_payload(1, 0, 1, true, nan_state)), reads_update(),
         dropped(30012, "value not finite")},
        {"30011 with a NaN rotation", fixed_image(30011, 76, teleport_nan),
         [](__cNetPacketBase* p) {
             czrTeleport teleport;
             return read_as<czrpCarTeleport>(p, &teleport);
         },
         dropped(30011, "value not finite")},
        {"30013 with an infinite impulse", fixed_image(30013, 32, impulse_inf),
         [](__cNetPacketBase* p) {
             cVector3D impulse;
             return read_as<czrpImpulse>(p, &impulse);
         },
         dropped(30013, "value not finite")},
    };
    for (const HostileCase& c : cases) {
        SCOPED_TRACE(c.name);
        Receiver receiver;
        PacketPtr packet = owned(receiver.receive(c.bytes));
        ASSERT_NE(packet, nullptr) << "the whole image is cut, so nothing of it is parsed again";
        EXPECT_EQ(receiver.stream_left(), 0u);
        bool read = true;
        std::string output = printed([&] { read = c.read(packet.get()); });
        EXPECT_FALSE(read);
        EXPECT_EQ(output, c.output);
    }
}

TEST(GamePacketReceive, NamesAndSpeciesFromPeersComeBackChecked)
{
    struct JoinCase {
        const char* name;
        Bytes payload;
        std::string expected_name;
        uint8_t expected_species;
    };
    const JoinCase joins[] = {
        {"an unterminated name keeps 31 characters", join_payload(std::string(32, 'x'), 1), std::string(31, 'x'), 1},
        {"species 2 becomes 0", join_payload("Bo", 2), "Bo", 0},
        {"species 255 becomes 0", join_payload("Bo", 255), "Bo", 0},
    };
    for (const JoinCase& c : joins) {
        SCOPED_TRACE(c.name);
        Receiver receiver;
        PacketPtr packet = owned(receiver.receive(fixed_image(20001, 33, c.payload)));
        ASSERT_NE(packet, nullptr);
        czrJoinRequest request = packet_cast<czrpRequestJoin>(packet.get())->request();
        EXPECT_EQ(std::string(request.name), c.expected_name);
        EXPECT_EQ(request.name[31], 0);
        EXPECT_EQ(request.species, c.expected_species);
    }

    Bytes roster(1024, 0);
    for (int i = 0; i < 32; ++i) roster[2 + i] = 'y';
    roster[40] = 7;
    const char tail[] = "ab\0zzzz";
    std::memcpy(&roster[64 + 2], tail, sizeof tail);
    roster[64 + 40] = 1;
    Receiver receiver;
    PacketPtr packet = owned(receiver.receive(fixed_image(30010, 1024, roster)));
    ASSERT_NE(packet, nullptr);
    czrRosterEntry unterminated = packet_cast<czrpRoster>(packet.get())->entry(0);
    EXPECT_EQ(std::string(unterminated.name), std::string(31, 'y'));
    EXPECT_EQ(unterminated.species, 0);
    czrRosterEntry short_name = packet_cast<czrpRoster>(packet.get())->entry(1);
    EXPECT_STREQ(short_name.name, "ab");
    EXPECT_EQ(short_name.name[3], 0) << "bytes after the terminator are not kept";
    EXPECT_EQ(short_name.species, 1);

    std::unique_ptr<czrCar> cart = cart_with(1);
    Bytes payload = racetrack_payload(1, 1, *cart, 2);
    payload[16 + 1] = 16;  // the cart record's owner slot
    payload[16 + 2] = 9;   // and its own species byte
    PacketPtr load = owned(receiver.receive(dynamic_image(30002, payload)));
    czrRacetrack racetrack;
    ASSERT_TRUE(read_as<czrpRacetrackLoad>(load.get(), &racetrack));
    EXPECT_EQ(racetrack.carts[0]->species, 0) << "species 9 is no species";
    EXPECT_EQ(racetrack.carts[0]->owner_slot, kNoCartOwner) << "slot 16 is no slot";
}

// Every peer shows and sorts by the progress it is sent, so a forged one
// must not poison the ranking.
TEST(GamePacketReceive, ANonFiniteRosterProgressComesBackAsZero)
{
    const double sent[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(), 0.25};
    Bytes roster(1024, 0);
    for (size_t i = 0; i < 4; ++i) {
        uint64_t bits;
        std::memcpy(&bits, &sent[i], sizeof bits);
        store_u64_le(&roster[64 * i + 48], bits);
        roster[64 * i + 56] = uint8_t(i + 1);  // laps, right after the progress
    }
    Receiver receiver;
    PacketPtr packet = owned(receiver.receive(fixed_image(30010, 1024, roster)));
    ASSERT_NE(packet, nullptr);
    for (size_t i = 0; i < 4; ++i) {
        const czrRosterEntry entry = packet_cast<czrpRoster>(packet.get())->entry(int(i));
        EXPECT_EQ(entry.progress, i == 3 ? 0.25 : 0.0) << "entry " << i;
        EXPECT_EQ(entry.laps, i + 1) << "entry " << i;
    }
}

TEST(GamePacketReceive, AJoinReadStraightFromTheSocketNeedsAllItsBytes)
{
    czrpRequestJoin join("Cy", 1);
    Bytes whole = wire_of(join);
    czrJoinRequest request;

    std::string output = printed([&] { EXPECT_FALSE(read_join_request(whole.data(), 48, &request)); });
    EXPECT_EQ(output, dropped(20001, "too short"));
    output = printed([&] { EXPECT_TRUE(read_join_request(whole.data(), 49, &request)); });
    EXPECT_EQ(output, "");
    EXPECT_STREQ(request.name, "Cy");
    EXPECT_EQ(request.species, 1);

    czrpBare keep_alive(kPacketKeepAlive);
    Bytes other = wire_of(keep_alive);
    output = printed([&] { EXPECT_FALSE(read_join_request(other.data(), other.size(), &request)); });
    EXPECT_EQ(output, "") << "bytes that are not a join are dropped silently";
    EXPECT_TRUE(starts_with_join_header(whole.data(), 16));
    EXPECT_FALSE(starts_with_join_header(whole.data(), 15));
    EXPECT_FALSE(starts_with_join_header(other.data(), other.size()));
}

}  // namespace
