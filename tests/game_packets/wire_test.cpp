// The bytes every game packet puts on the wire: header, payload in field
// order, and zeros in every spare, pad and unused byte.
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "game_packet_support.h"

namespace {

void put_f32s(ByteWriter& out, std::initializer_list<double> values)
{
    for (double value : values) out.f32(float(value));
}

// The body form, spelled out field by field.
void put_body(ByteWriter& out, const ctPhysicsObject& b)
{
    put_f32s(out, {b.position.x, b.position.y, b.position.z});
    put_f32s(out, {b.rotation.x, b.rotation.y, b.rotation.z, b.rotation.w});
    out.f32(b.radius);
    put_f32s(out, {b.velocity.x, b.velocity.y, b.velocity.z});
    put_f32s(out, {b.motion_a.x, b.motion_a.y, b.motion_a.z});
    put_f32s(out, {b.motion_b.x, b.motion_b.y, b.motion_b.z});
    put_f32s(out, {b.motion_c.x, b.motion_c.y, b.motion_c.z});
    out.f32(b.mass);
}

// The sync state: rotation after motion_a, no radius, no mass.
void put_state(ByteWriter& out, const ctPhysicsObject& s)
{
    put_f32s(out, {s.position.x, s.position.y, s.position.z});
    put_f32s(out, {s.velocity.x, s.velocity.y, s.velocity.z});
    put_f32s(out, {s.motion_a.x, s.motion_a.y, s.motion_a.z});
    put_f32s(out, {s.rotation.x, s.rotation.y, s.rotation.z, s.rotation.w});
    put_f32s(out, {s.motion_b.x, s.motion_b.y, s.motion_b.z});
    put_f32s(out, {s.motion_c.x, s.motion_c.y, s.motion_c.z});
}

void put_name(ByteWriter& out, const std::string& name)
{
    out.bytes(name.data(), name.size());
    out.zeros(32 - name.size());
}

struct WireCase {
    const char* name;
    std::function<__cNetPacketBase*()> make;
    std::function<void(ByteWriter&)> expected;
};

czrRosterEntry sample_entry()
{
    czrRosterEntry entry;
    entry.state = 2;
    copy_player_name(entry.name, "Zed");
    entry.car_sync_id = 9;
    entry.species = 1;
    entry.progress = 0.5;
    entry.laps = 3;
    entry.section = 4;
    entry.rank = 1;
    return entry;
}

std::unique_ptr<czrCar> sample_cart(uint8_t owner, uint32_t sync_id)
{
    return sample_cart_of(owner, 1, sample_body(owner), sync_id);
}

TrackLoadRecord sample_track()
{
    TrackLoadRecord track;
    track.node_count = 20;
    track.carried[0] = 6;
    track.carried[1] = 3;
    track.carried[2] = 1;
    track.carried[3] = 1;
    track.seed = 1234;
    return track;
}

TEST(GamePacketWire, EveryPacketWritesItsExactBytes)
{
    const ctPhysicsObject body = sample_body(1);
    const WireCase cases[] = {
        {"20001 join: name, zeros to byte 31, species, three pad bytes",
         [] { return new czrpRequestJoin("Ann", 1); },
         [](ByteWriter& out) {
             put_header(out, 20001, 33);
             put_name(out, "Ann");
             out.u8(1);
             out.zeros(3);
         }},
        {"20001 join: a long name keeps 31 characters; the species word gives its low byte",
         [] { return new czrpRequestJoin(std::string(40, 'L').c_str(), 0x0102); },
         [](ByteWriter& out) {
             put_header(out, 20001, 33);
             put_name(out, std::string(31, 'L'));
             out.u8(2);
             out.zeros(3);
         }},
        {"20002 request reset: bare", [] { return new czrpBare(kPacketRequestReset); },
         [](ByteWriter& out) { put_header(out, 20002, 0); }},
        {"20003 request action: u16 then u32, two pad bytes",
         [] { return new czrpRequestAction(0x1234, 0xA0B0C0D0u); },
         [](ByteWriter& out) {
             put_header(out, 20003, 6);
             out.u16(0x1234);
             out.u32(0xA0B0C0D0u);
             out.zeros(2);
         }},
        {"20004 post movement: the body form", [&] { return new czrpPostMovement(body); },
         [&](ByteWriter& out) {
             put_header(out, 20004, 100);
             put_body(out, body);
         }},
        {"30001 welcome: three words", [] { return new czrpWelcome({7, 3, 0}); },
         [](ByteWriter& out) {
             put_header(out, 30001, 22);
             out.u16(7);
             out.u16(3);
             out.u16(0);
         }},
        {"30002 racetrack load: track words, count, species and cart record per cart",
         [] {
             auto* load = new czrpRacetrackLoad(sample_track(), 2);
             load->append_cart(*sample_cart(0, 1));
             load->append_cart(*sample_cart(kNoOwner, 2));
             return load;
         },
         [](ByteWriter& out) {
             put_header(out, 30002, 214);
             for (uint16_t word : {20, 6, 3, 1, 1, 1234}) out.u16(word);
             out.u32(2);
             for (uint8_t owner : {uint8_t(0), kNoOwner}) {
                 out.u8(1);
                 out.u8(owner);
                 out.u8(1);
                 put_body(out, sample_body(owner));
                 out.u32(owner == 0 ? 1 : 2);
             }
         }},
        {"30003 next lap: one byte, three pad bytes", [] { return new czrpNextLap(uint8_t(4)); },
         [](ByteWriter& out) {
             put_header(out, 30003, 1);
             out.u8(4);
             out.zeros(3);
         }},
        {"30004 unused: bare", [] { return new czrpBare(kPacketUnused4); },
         [](ByteWriter& out) { put_header(out, 30004, 0); }},
        {"30005 unused: bare", [] { return new czrpBare(kPacketUnused5); },
         [](ByteWriter& out) { put_header(out, 30005, 0); }},
        {"30006 back to lobby: bare", [] { return new czrpBare(kPacketBackToLobby); },
         [](ByteWriter& out) { put_header(out, 30006, 0); }},
        {"30007 projectile spawn: the projectile record",
         [&] {
             czrProjectile projectile;
             projectile.kind = 5;
             projectile.param_a = 6;
             projectile.param_b = 7;
             projectile.param_c = 8.5f;
             ctPhysicsObject::copy_physics_state(projectile, body);
             projectile.sync_id = 11;
             return new czrpProjectileSpawn(projectile);
         },
         [&](ByteWriter& out) {
             put_header(out, 30007, 121);
             out.u8(5);
             out.u32(6);
             out.u32(7);
             out.f32(8.5f);
             out.f32(1.0f);
             put_body(out, body);
             out.u32(11);
         }},
        {"30008 projectile delete: the sync id", [] { return new czrpProjectileDelete(0x01020304u); },
         [](ByteWriter& out) {
             put_header(out, 30008, 4);
             out.u32(0x01020304u);
         }},
        {"30009 blast: the header alone", [] { return new czrpBlastSpawn(); },
         [](ByteWriter& out) { put_header(out, 30009, 16); }},
        {"30010 roster: sixteen 64-byte entries with zeros in the spare bytes",
         [] {
             czrRosterEntry entries[kPlayerSlots];
             entries[2] = sample_entry();
             return new czrpRoster(entries);
         },
         [](ByteWriter& out) {
             put_header(out, 30010, 1024);
             out.zeros(2 * 64);
             out.u16(2);
             put_name(out, "Zed");
             out.u16(0);
             out.u32(9);
             out.u8(1);
             out.zeros(7);
             out.f64(0.5);
             out.u8(3);
             out.u8(4);
             out.u8(1);
             out.zeros(5);
             out.zeros(13 * 64);
         }},
        {"30011 car teleport: sync id, vector image, rotation image",
         [] { return new czrpCarTeleport({42, cVector3D(1.5, -2, 3), cQuaternion(0, 0, 0.6, 0.8)}); },
         [](ByteWriter& out) {
             put_header(out, 30011, 76);
             out.u32(42);
             out.zeros(8);
             for (double v : {1.5, -2.0, 3.0}) out.f64(v);
             out.zeros(8);
             for (double v : {0.0, 0.0, 0.6, 0.8}) out.f64(v);
         }},
        {"30012 update cars: counts, cart entries, projectile entries, ranks",
         [] {
             auto* update = new czrpUpdateCars(1, 1);
             std::unique_ptr<czrCar> cart = sample_cart_of(0, 0, sample_state(1), 3);
             update->append_cart(*cart);
             czrProjectile projectile;
             projectile.param_b = 9;
             projectile.param_c = 0.25f;
             ctPhysicsObject::copy_physics_state(projectile, sample_state(2));
             projectile.sync_id = 4;
             update->append_projectile(projectile);
             uint8_t ranks[kPlayerSlots] = {1, 0, 2};
             update->append_ranks(ranks);
             return update;
         },
         [](ByteWriter& out) {
             put_header(out, 30012, 36 + 80 + 88);
             out.u16(1);
             out.u16(1);
             out.u32(3);
             put_state(out, sample_state(1));
             out.u32(4);
             out.u32(9);
             out.f32(0.25f);
             put_state(out, sample_state(2));
             out.u8(1);
             out.u8(0);
             out.u8(2);
             out.zeros(13);
         }},
        {"30013 impulse: a vector image", [] { return new czrpImpulse(cVector3D(-1, 0.5, 2)); },
         [](ByteWriter& out) {
             put_header(out, 30013, 32);
             out.zeros(8);
             for (double v : {-1.0, 0.5, 2.0}) out.f64(v);
         }},
    };
    for (const WireCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<__cNetPacketBase> packet(c.make());
        Bytes expected;
        ByteWriter out(expected);
        c.expected(out);
        EXPECT_EQ(wire_of(*packet), expected);
    }
}

TEST(GamePacketWire, SizesAndLengthFieldsAreThoseOfTheProtocol)
{
    czrpRequestJoin join("Ann", 0);
    czrRosterEntry entries[kPlayerSlots];
    czrpRoster roster(entries);
    czrpCarTeleport teleport({1, cVector3D(), cQuaternion()});
    czrpImpulse impulse(cVector3D(1, 2, 3));
    czrpUpdateCars empty_update(0, 0);
    uint8_t ranks[kPlayerSlots] = {};
    empty_update.append_ranks(ranks);
    czrpRacetrackLoad load(sample_track(), 2);
    load.append_cart(*sample_cart(0, 1));
    load.append_cart(*sample_cart(1, 2));

    struct SizeCase {
        const char* name;
        __cNetPacketBase* packet;
        uint32_t wire_size;
        uint32_t length;
    };
    const SizeCase cases[] = {
        {"20001", &join, 52, 33},          {"30010", &roster, 1040, 1024}, {"30011", &teleport, 92, 76},
        {"30013", &impulse, 48, 32},       {"empty 30012", &empty_update, 36, 36},
        {"30002 with two carts", &load, 214, 214},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.packet->get_wire_size(), c.wire_size);
        EXPECT_EQ(wire_of(*c.packet).size(), c.wire_size);
        EXPECT_EQ(c.packet->length, c.length);
    }
}

TEST(GamePacketWire, TheHeaderCarriesTheMagicLittleEndian)
{
    czrpRequestJoin join("Ann", 1);
    const Bytes header = {0, 0, 0, 0, 0xC3, 0x14, 0x66, 0x01, 0x21, 0x4E, 0, 0, 33, 0, 0, 0};
    Bytes wire = wire_of(join);
    EXPECT_EQ(Bytes(wire.begin(), wire.begin() + 16), header);
}

TEST(GamePacketWire, BodyFormReadsBackWithItsRotationNormalised)
{
    ctPhysicsObject body = sample_body(1);
    body.rotation = cQuaternion(0, 3, 0, 4);
    uint8_t image[ctPhysicsObject::kSerializedSize];
    ASSERT_EQ(body.serialize(image), 84);
    ctPhysicsObject read;
    ASSERT_EQ(read.deserialize(image), 84);
    EXPECT_NEAR(read.rotation.y, 0.6, 1e-12);
    EXPECT_NEAR(read.rotation.w, 0.8, 1e-12);
    EXPECT_FLOAT_EQ(read.mass, 6.0f);

    ctPhysicsObject zero_rotation;
    zero_rotation.rotation = cQuaternion(0, 0, 0, 0);
    zero_rotation.serialize(image);
    read.deserialize(image);
    EXPECT_EQ(read.rotation.w, 0.0);
}

}  // namespace
