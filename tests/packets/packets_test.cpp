// Wire images of the packet classes, the dynamic packet's writers and
// readers, the checked conversion and the framework's own types.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "framework/framework_packets.h"
#include "framework/packet.h"
#include "scene/synced_physics_object.h"
#include "tests/support/printed.h"

namespace {

std::vector<uint8_t> wire_of(__cNetPacketBase& packet)
{
    uint32_t size = packet.get_wire_size();
    const uint8_t* data = packet.get_wire_data();
    return std::vector<uint8_t>(data, data + size);
}

std::vector<uint8_t> header_bytes(uint16_t type, uint32_t length)
{
    return {0,    0, 0, 0, 0xC3, 0x14, 0x66, 0x01, uint8_t(type), uint8_t(type >> 8), 0, 0, uint8_t(length),
            uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24)};
}

TEST(PacketWire, BarePacketIsItsHeaderWithLengthZero)
{
    cNetPacket<kPacketMagic> packet(kPacketKeepAlive);
    EXPECT_EQ(wire_of(packet), header_bytes(103, 0));
}

TEST(PacketWire, FixedPacketIsPaddedToAWordWithZeros)
{
    cNetPacketWithData<kPacketMagic, 33> packet(20001);
    std::memset(packet.data(), 0xAB, 33);
    std::vector<uint8_t> expected = header_bytes(20001, 33);
    expected.insert(expected.end(), 33, 0xAB);
    expected.insert(expected.end(), 3, 0);
    EXPECT_EQ(wire_of(packet), expected);
    EXPECT_EQ(expected.size(), 52u);
}

TEST(PacketWire, FixedSizesRoundUpToFour)
{
    const uint32_t sizes[][2] = {{1, 20}, {4, 20}, {6, 24}, {32, 48}, {33, 52}, {76, 92}, {96, 112}, {110, 128},
                                 {1024, 1040}};
    for (const auto& size : sizes) EXPECT_EQ(fixed_wire_size(size[0]), size[1]) << size[0];
}

TEST(PacketWire, ChatLineIsNinetyFiveCharactersAndZeros)
{
    cVantorChatPacket<kPacketMagic> hello("hello");
    std::vector<uint8_t> expected = header_bytes(101, 96);
    expected.insert(expected.end(), {'h', 'e', 'l', 'l', 'o'});
    expected.resize(112, 0);
    EXPECT_EQ(wire_of(hello), expected);

    std::unique_ptr<cVantorChatPacket<kPacketMagic>> long_line(send_chat_line(std::string(200, 'w')));
    EXPECT_EQ(std::string(long_line->text()), std::string(95, 'w'));
    EXPECT_EQ(wire_of(*long_line)[16 + 95], 0);
}

TEST(PacketWire, ReceivedChatIsCutAtByteNinetyFive)
{
    uint8_t forged[96];
    std::memset(forged, 'A', sizeof forged);
    cVantorPacketFactory<kPacketMagic> factory;
    PacketHeader header{kPacketMagic, kPacketChat, 96};
    std::unique_ptr<__cNetPacketBase> packet(factory.build_packet(header, forged, 96));
    auto* chat = packet_cast<cVantorChatPacket<kPacketMagic>>(packet.get());
    ASSERT_NE(chat, nullptr);
    EXPECT_EQ(std::strlen(chat->text()), 95u);
}

ParticleBurst sample_burst()
{
    ParticleBurst burst;
    burst.position = cVector3D(1.5, -2, 3);
    burst.velocity = cVector3D(0, 10, 0);
    burst.colour = cColor(1, 0.5f, 0.25f, 1);
    burst.speed_min = 1;
    burst.speed_range = 2;
    burst.size_min = 0.5f;
    burst.size_range = 0.25f;
    burst.life_min = 1;
    burst.life_range = 0.5f;
    burst.count = 12;
    return burst;
}

// Places a field's little-endian bytes at its offset in an image of zeros.
void put_f64(std::vector<uint8_t>& image, size_t at, double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, 8);
    store_u64_le(image.data() + at, bits);
}

void put_f32(std::vector<uint8_t>& image, size_t at, float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    store_u32_le(image.data() + at, bits);
}

TEST(PacketWire, ParticleBurstHasEveryFieldAtItsOffsetAndZerosElsewhere)
{
    cVantorParticleBurstPacket<kPacketMagic> packet(sample_burst());
    std::vector<uint8_t> expected = header_bytes(105, 110);
    expected.resize(128, 0);
    const size_t payload = 16;
    const struct {
        size_t at;
        double value;
    } doubles[] = {{8, 1.5}, {16, -2}, {24, 3}, {40, 0}, {48, 10}, {56, 0}};
    for (const auto& field : doubles) put_f64(expected, payload + field.at, field.value);
    const struct {
        size_t at;
        float value;
    } floats[] = {{68, 1},  {72, 0.5f},  {76, 0.25f}, {80, 1},  {84, 1},
                  {88, 2},  {92, 0.5f},  {96, 0.25f}, {100, 1}, {104, 0.5f}};
    for (const auto& field : floats) put_f32(expected, payload + field.at, field.value);
    store_u16_le(expected.data() + payload + 108, 12);
    EXPECT_EQ(wire_of(packet), expected);

    ParticleBurst back = cVantorParticleBurstPacket<kPacketMagic>(expected.data() + payload).burst();
    EXPECT_EQ(back.position.y, -2.0);
    EXPECT_EQ(back.velocity.y, 10.0);
    EXPECT_EQ(back.colour.b, 0.25f);
    EXPECT_EQ(back.speed_range, 2.0f);
    EXPECT_EQ(back.size_range, 0.25f);
    EXPECT_EQ(back.life_range, 0.5f);
    EXPECT_EQ(back.count, 12);
}

TEST(PacketWire, ParticleBurstObjectWordsFromAPeerAreNotRead)
{
    uint8_t payload[112];
    std::memset(payload, 0xEE, sizeof payload);
    cVantorParticleBurstPacket<kPacketMagic> sent(sample_burst());
    const uint8_t* fields = sent.get_wire_data() + 16;
    for (size_t at : {8, 40, 68}) std::memcpy(payload + at, fields + at, at == 68 ? 42 : 24);
    ParticleBurst back = cVantorParticleBurstPacket<kPacketMagic>(payload).burst();
    EXPECT_EQ(back.position.x, 1.5);
    EXPECT_EQ(back.velocity.y, 10.0);
    EXPECT_EQ(back.colour.r, 1.0f);
    EXPECT_EQ(back.count, 12);
}

TEST(ParticleBurst, CountFromAPeerIsNeverNegativeAndCapped)
{
    const int counts[][2] = {{-5, 0}, {-32768, 0}, {0, 0}, {10, 10}, {kMaxBurstParticles, kMaxBurstParticles},
                             {32767, kMaxBurstParticles}};
    for (const auto& count : counts) {
        ParticleBurst burst;
        burst.count = int16_t(count[0]);
        EXPECT_EQ(particle_burst_count(burst), count[1]) << count[0];
    }
}

TEST(ParticleBurst, ParticlesThatCouldNotBeDrawnSafelyAreDropped)
{
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        const char* name;
        std::function<void(ParticleBurst&)> change;
        bool kept;
    };
    const Case cases[] = {
        {"sound burst", [](ParticleBurst&) {}, true},
        {"life zero", [](ParticleBurst& b) { b.life_min = 0, b.life_range = 0; }, false},
        {"life negative", [](ParticleBurst& b) { b.life_min = -3, b.life_range = 1; }, false},
        {"life not a number", [&](ParticleBurst& b) { b.life_min = nan; }, false},
        {"life overflows", [](ParticleBurst& b) { b.life_min = 3e38f, b.life_range = 3e38f; }, false},
        {"position infinite", [](ParticleBurst& b) { b.position.x = HUGE_VAL; }, false},
        {"velocity not a number", [](ParticleBurst& b) { b.velocity.z = NAN; }, false},
        {"speed infinite", [&](ParticleBurst& b) { b.speed_min = inf; }, false},
        {"colour infinite", [&](ParticleBurst& b) { b.colour.g = inf; }, false},
        {"size not a number", [&](ParticleBurst& b) { b.size_range = nan; }, false},
    };
    for (const Case& c : cases) {
        ParticleBurst burst = sample_burst();
        c.change(burst);
        BurstParticle particle;
        particle.life = -99;
        EXPECT_EQ(draw_burst_particle(burst, &particle), c.kept) << c.name;
        if (c.kept) {
            EXPECT_GE(particle.life, 1.0f);
            EXPECT_LE(particle.life, 1.5f);
            EXPECT_EQ(particle.position.x, 1.5);
        } else {
            EXPECT_EQ(particle.life, -99) << c.name << ": a dropped particle leaves the output alone";
        }
    }
}

TEST(DynamicPacket, EmptyPacketIsSixteenBytesWithLengthSixteen)
{
    cVantorPacketDynamic<kPacketMagic> packet(30001, 176);
    EXPECT_EQ(wire_of(packet), header_bytes(30001, 16));
}

// A value type's shape as the writers see it: a packed size and serialize/deserialize.
struct PackedPair {
    uint16_t a = 0x1122, b = 0x3344;
    int serialized_size() const { return 4; }
    int serialize(void* out) const
    {
        uint8_t* bytes = static_cast<uint8_t*>(out);
        store_u16_le(bytes, a);
        store_u16_le(bytes + 2, b);
        return 4;
    }
    int deserialize(const void* in)
    {
        const uint8_t* bytes = static_cast<const uint8_t*>(in);
        a = load_u16_le(bytes);
        b = load_u16_le(bytes + 2);
        return 4;
    }
};

TEST(DynamicPacket, WritersGrowTheBufferAndKeepEarlierFields)
{
    cVantorPacketDynamic<kPacketMagic> packet(30012, 0);
    EXPECT_EQ(packet.capacity, 16u);
    PackedPair pair;
    ASSERT_TRUE(packet.write_u8(0x01));
    ASSERT_TRUE(packet.write_u16(0x0302));
    ASSERT_TRUE(packet.write_u32(0x07060504));
    ASSERT_TRUE(packet.write_object(pair));
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(packet.write_u8(uint8_t(0xF0 + i)));
    EXPECT_EQ(packet.capacity, 64u);
    std::vector<uint8_t> expected = header_bytes(30012, 47);
    expected.insert(expected.end(), {1, 2, 3, 4, 5, 6, 7, 0x22, 0x11, 0x44, 0x33});
    for (int i = 0; i < 20; ++i) expected.push_back(uint8_t(0xF0 + i));
    EXPECT_EQ(wire_of(packet), expected);
}

TEST(DynamicPacket, NeverGrowsPastTheLargestImage)
{
    cVantorPacketDynamic<kPacketMagic> packet(30012, 16);
    std::vector<uint8_t> block(kMaxDynamicPacketSize - 16 - 2, 7);
    ASSERT_TRUE(packet.write_bytes(block.data(), uint32_t(block.size())));
    EXPECT_TRUE(packet.write_u16(1));
    std::string line = printed([&] { EXPECT_FALSE(packet.write_u8(1)); });
    EXPECT_EQ(line, "ERROR: Packet of type 30012 would grow past 65536 bytes\n");
    EXPECT_EQ(packet.get_wire_size(), kMaxDynamicPacketSize);
}

TEST(DynamicPacket, ReadsStopAtTheEndOfAForgedShortPacket)
{
    const uint8_t payload[] = {0x34, 0x12, 0xAA};
    cVantorPacketDynamic<kPacketMagic> packet(PacketHeader{kPacketMagic, 20004, 19}, payload, 3);
    EXPECT_EQ(packet.read_position, 16u);
    uint16_t word = 0;
    uint32_t count = 7;
    uint8_t byte = 7;
    EXPECT_TRUE(packet.read_u16(word));
    EXPECT_EQ(word, 0x1234);
    EXPECT_FALSE(packet.read_u32(count));
    EXPECT_EQ(count, 0u);
    EXPECT_FALSE(packet.read_u8(byte)) << "the packet has failed as a whole";
    EXPECT_TRUE(packet.failed());

    cVantorPacketDynamic<kPacketMagic> short_object(PacketHeader{kPacketMagic, 20004, 19}, payload, 3);
    PackedPair pair;
    EXPECT_FALSE(short_object.read_object(pair));
    EXPECT_EQ(pair.a, 0x1122) << "an object is never read from a partial form";
}

TEST(DynamicPacket, ObjectsReadBackFromAReceivedImage)
{
    const uint8_t payload[] = {0x01, 0x02, 0x03, 0x04, 0x09};
    cVantorPacketDynamic<kPacketMagic> packet(PacketHeader{kPacketMagic, 20004, 21}, payload, 5);
    PackedPair pair;
    uint8_t last = 0;
    EXPECT_TRUE(packet.read_object(pair));
    EXPECT_TRUE(packet.read_u8(last));
    EXPECT_EQ(pair.a, 0x0201);
    EXPECT_EQ(pair.b, 0x0403);
    EXPECT_EQ(last, 9);
    EXPECT_EQ(packet.bytes_left(), 0u);
}

// A received copy of what a packet built for sending holds.
cVantorPacketDynamic<kPacketMagic> received_copy(__cNetPacketBase& sent)
{
    const uint32_t size = sent.get_wire_size();
    const uint8_t* image = sent.get_wire_data();
    return cVantorPacketDynamic<kPacketMagic>(PacketHeader{kPacketMagic, sent.type, size}, image + kPacketHeaderSize,
                                              size - kPacketHeaderSize);
}

cVantorSyncedPhysicsObject synced_body(double x, uint32_t sync_id)
{
    cVantorSyncedPhysicsObject body(cVector3D(x, 2, 3), cQuaternion(), 0.5f, 6.0f, 0);
    body.velocity = cVector3D(x, -1, 0);
    body.sync_id = sync_id;
    return body;
}

// A synced body's packed form is shorter than the room it reserves: reading
// advances by what was read, as writing advanced by what was written.
TEST(DynamicPacket, ObjectsReadBackByTheCountTheyRead)
{
    cVantorPacketDynamic<kPacketMagic> sent(30012, 16);
    cVantorSyncedPhysicsObject first = synced_body(1.5, 7), second = synced_body(-4, 9);
    ASSERT_TRUE(sent.write_object(first));
    ASSERT_TRUE(sent.write_object(second));
    ASSERT_TRUE(sent.write_u8(0x5A));

    cVantorPacketDynamic<kPacketMagic> packet = received_copy(sent);
    cVantorSyncedPhysicsObject read_first, read_second;
    uint8_t last = 0;
    EXPECT_TRUE(packet.read_object(read_first));
    EXPECT_TRUE(packet.read_object(read_second));
    EXPECT_TRUE(packet.read_u8(last));
    EXPECT_EQ(read_first.sync_id, 7u);
    EXPECT_EQ(read_first.position.x, 1.5);
    EXPECT_EQ(read_second.sync_id, 9u);
    EXPECT_EQ(read_second.velocity.x, -4);
    EXPECT_EQ(last, 0x5A);
    EXPECT_FALSE(packet.failed());
    EXPECT_EQ(packet.bytes_left(), 0u);
}

TEST(DynamicPacket, AnObjectThatRefusesItsBytesFailsTheRead)
{
    cVantorPacketDynamic<kPacketMagic> sent(30012, 16);
    cVantorSyncedPhysicsObject body = synced_body(1, 3);
    body.velocity.y = std::numeric_limits<double>::infinity();
    ASSERT_TRUE(sent.write_object(body));
    ASSERT_TRUE(sent.write_f64(1));  // room enough behind it for the whole reserved form

    cVantorPacketDynamic<kPacketMagic> packet = received_copy(sent);
    cVantorSyncedPhysicsObject read;
    double after = 0;
    EXPECT_FALSE(packet.read_object(read));
    EXPECT_TRUE(packet.failed());
    EXPECT_FALSE(packet.read_f64(after)) << "the packet has failed as a whole";
    EXPECT_EQ(read.sync_id, 0u);
}

// The last object of a packet may end short of its reserved room, but never
// short of what it reads.
TEST(DynamicPacket, AnObjectCutShortIsNotRead)
{
    cVantorPacketDynamic<kPacketMagic> sent(30012, 16);
    cVantorSyncedPhysicsObject body = synced_body(1, 3);
    ASSERT_TRUE(sent.write_object(body));
    const uint32_t whole = sent.get_wire_size();
    const uint8_t* image = sent.get_wire_data();
    cVantorPacketDynamic<kPacketMagic> packet(PacketHeader{kPacketMagic, 30012, whole - 1}, image + kPacketHeaderSize,
                                              whole - 1 - kPacketHeaderSize);
    cVantorSyncedPhysicsObject read;
    EXPECT_FALSE(packet.read_object(read));
    EXPECT_TRUE(packet.failed());
}

TEST(PacketCast, WrongTypeOrClassGivesNoPacket)
{
    cVantorChatPacket<kPacketMagic> chat("hi");
    cNetPacket<kPacketMagic> bare_with_chat_type(kPacketChat);
    using Chat = cVantorChatPacket<kPacketMagic>;
    using Burst = cVantorParticleBurstPacket<kPacketMagic>;
    EXPECT_EQ(packet_cast<Chat>(&chat), &chat);
    EXPECT_EQ(printed([&] { EXPECT_EQ(packet_cast<Burst>(&chat), nullptr); }),
              "ERROR: Invalid type conversion on packet\n");
    EXPECT_EQ(printed([&] { EXPECT_EQ(packet_cast<Chat>(&bare_with_chat_type), nullptr); }),
              "ERROR: Invalid type conversion on packet\n");
    EXPECT_EQ(printed([&] { EXPECT_EQ(packet_cast<Chat>(nullptr), nullptr); }),
              "ERROR: Invalid type conversion on packet\n");
}

TEST(FrameworkFactory, BuildsItsFiveTypesAndNothingElse)
{
    cVantorPacketFactory<kPacketMagic> factory;
    uint8_t payload[112] = {};
    struct Type {
        uint16_t type;
        PacketShape shape;
        uint32_t payload;
    };
    for (const Type& t : {Type{101, PacketShape::fixed, 96}, Type{102, PacketShape::bare, 0},
                          Type{103, PacketShape::bare, 0}, Type{104, PacketShape::bare, 0},
                          Type{105, PacketShape::fixed, 110}}) {
        PacketLayout layout;
        ASSERT_TRUE(factory.packet_layout(t.type, &layout));
        EXPECT_EQ(layout.shape, t.shape);
        EXPECT_EQ(layout.payload, t.payload);
        std::unique_ptr<__cNetPacketBase> packet(
            factory.build_packet(PacketHeader{kPacketMagic, t.type, t.payload}, payload, padded_to_word(t.payload)));
        ASSERT_NE(packet, nullptr);
        EXPECT_EQ(packet->type, t.type);
        EXPECT_EQ(packet->length, t.payload);
    }
    PacketLayout layout;
    for (uint16_t unknown : {0, 100, 106, 20001, 65535}) {
        EXPECT_FALSE(factory.packet_layout(unknown, &layout));
        EXPECT_EQ(factory.build_packet(PacketHeader{kPacketMagic, unknown, 0}, payload, 0), nullptr);
    }
    EXPECT_EQ(factory.build_packet(PacketHeader{kPacketMagic, 101, 96}, payload, 40), nullptr)
        << "a short payload is never copied from";
}

}  // namespace
