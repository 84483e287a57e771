// The connection's reads, silence and stream cutter, fed through a fake
// network table: byte streams as a peer could send them, honest or not.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "base/modules.h"
#include "fake_network.h"
#include "framework/connection.h"
#include "framework/framework_packets.h"
#include "tests/support/printed.h"

namespace {

constexpr uint16_t kJoin = 20001;      // fixed, 33 bytes
constexpr uint16_t kMovement = 20004;  // dynamic

// Stands in for a game factory: asks the framework first, adds one fixed and
// one dynamic type, and reports unknown types the way the game does.
class GameLikeFactory : public cVantorPacketFactory<kPacketMagic> {
public:
    bool packet_layout(uint16_t type, PacketLayout* layout) override
    {
        if (cVantorPacketFactory<kPacketMagic>::packet_layout(type, layout)) return true;
        if (type == kJoin) {
            *layout = {PacketShape::fixed, 33};
            return true;
        }
        if (type == kMovement) {
            *layout = {PacketShape::dynamic, 0};
            return true;
        }
        printf("ERROR: Invalid Net-Message Type %u\n", unsigned(type));
        return false;
    }
    __cNetPacketBase* build_packet(const PacketHeader& header, const uint8_t* payload, uint32_t size) override
    {
        if (__cNetPacketBase* packet = cVantorPacketFactory<kPacketMagic>::build_packet(header, payload, size))
            return packet;
        if (header.type == kJoin) return new cNetPacketWithData<kPacketMagic, 33>(kJoin, payload);
        if (header.type == kMovement) return new cVantorPacketDynamic<kPacketMagic>(header, payload, size);
        return nullptr;
    }
};

std::string header(uint16_t type, uint32_t length)
{
    std::string bytes(16, '\0');
    write_packet_header(reinterpret_cast<uint8_t*>(&bytes[0]), kPacketMagic, type, length);
    return bytes;
}

std::string bare(uint16_t type)
{
    return header(type, 0);
}

std::string join(char fill, uint32_t length_field = 33)
{
    return header(kJoin, length_field) + std::string(33, fill) + std::string(3, '\0');
}

std::string chat(const std::string& text)
{
    std::string payload = text;
    payload.resize(96, '\0');
    return header(kPacketChat, 96) + payload;
}

std::string movement(const std::string& payload)
{
    return header(kMovement, uint32_t(16 + payload.size())) + payload;
}

std::string junk(size_t count, char byte = 'j')
{
    return std::string(count, byte);
}

class ConnectionTest : public testing::Test {
protected:
    void SetUp() override
    {
        install_fake_network();
        fake_network().client = true;
    }
    void TearDown() override
    {
        EXPECT_EQ(fake_network().receives_while_idle, 0) << "a read was made with nothing waiting";
        uninstall_fake_network();
    }

    // One frame: the bytes that arrived since the last one, then update; the
    // packets cut are taken off the queue as the game would.
    int frame(const std::string& arriving = "", float dt = 0.01f)
    {
        fake_network().pending += arriving;
        int read = connection.update(&dt, connection.connection_id);
        for (uint32_t i = 0; i < connection.received.count(); ++i) {
            __cNetPacketBase* packet = connection.received.get(i);
            types.push_back(packet->type);
            lengths.push_back(packet->length);
            packet->destroy();
        }
        connection.received.clear();
        return read;
    }

    cVantorNetConnection connection{new GameLikeFactory, 5.0f};
    std::vector<uint16_t> types;
    std::vector<uint32_t> lengths;
};

struct StreamCase {
    const char* name;
    std::vector<std::string> arrivals;  // one entry per frame
    int extra_frames;
    std::vector<uint16_t> types;
    std::string output;
    size_t stream_left;
};

TEST_F(ConnectionTest, StreamsAreCutIntoWholePackets)
{
    std::string one_by_one = chat("split");
    std::vector<std::string> bytes_apart;
    for (char byte : one_by_one) bytes_apart.push_back(std::string(1, byte));
    std::string no_magic;
    for (int i = 0; i < 5000; ++i) no_magic.push_back(char(i * 7));

    const StreamCase cases[] = {
        {"a bare header alone", {bare(kPacketKeepAlive)}, 0, {103}, "", 0},
        {"a packet split across many reads", bytes_apart, 0, {101}, "", 0},
        {"several packets in one read", {bare(102) + chat("a") + bare(104)}, 2, {102, 101, 104}, "", 0},
        {"three junk bytes before a header", {junk(3) + bare(103)}, 0, {103}, "", 0},
        {"garbage before a magic", {no_magic + chat("after")}, 0, {101}, "", 0},
        {"a short header waits for the rest", {bare(103).substr(0, 10)}, 3, {}, "", 10},
        {"a short header completed later", {bare(103).substr(0, 10), "", bare(103).substr(10)}, 0, {103}, "", 0},
        {"a fixed packet takes its padded size", {join('n') + bare(103)}, 1, {kJoin, 103}, "", 0},
        {"a fixed packet with a wrong length field is still queued", {join('n', 40)}, 0, {kJoin},
         "ERROR: Packet size mismatch on Type 20001: 33 != 40\n", 0},
        {"a dynamic packet", {movement("abcd")}, 0, {kMovement}, "", 0},
        {"a dynamic packet waits for its whole length", {movement("abcdefgh").substr(0, 20)}, 3, {}, "", 20},
        {"a dynamic length below 16", {header(kMovement, 8) + bare(103)}, 0, {103},
         "ERROR: Rejected packet length 8 on Type 20004\n", 0},
        {"a dynamic length above the cap", {header(kMovement, 70000) + junk(40) + bare(103)}, 0, {103},
         "ERROR: Rejected packet length 70000 on Type 20004\n", 0},
        {"an unknown type is reported once", {header(999, 0) + junk(5)}, 20, {},
         "ERROR: Invalid Net-Message Type 999\n", 5},
        {"an unknown type does not block what follows", {header(999, 0) + bare(103)}, 0, {103},
         "ERROR: Invalid Net-Message Type 999\n", 0},
        {"no magic at all keeps fifteen bytes", {no_magic}, 2, {}, "", 15},
    };
    for (const StreamCase& c : cases) {
        SCOPED_TRACE(c.name);
        connection.reset();
        types.clear();
        fake_network().pending.clear();
        std::string output = printed([&] {
            for (const std::string& arrival : c.arrivals) frame(arrival);
            for (int i = 0; i < c.extra_frames; ++i) frame();
        });
        EXPECT_EQ(types, c.types);
        EXPECT_EQ(output, c.output);
        EXPECT_EQ(connection.stream.size(), c.stream_left);
    }
}

TEST_F(ConnectionTest, PacketIsBuiltOnlyOnceItsLastByteArrives)
{
    std::string packet = join('z');
    for (size_t i = 0; i + 1 < packet.size(); ++i) {
        frame(packet.substr(i, 1));
        ASSERT_TRUE(types.empty()) << "built after " << i + 1 << " of " << packet.size() << " bytes";
    }
    frame(packet.substr(packet.size() - 1));
    EXPECT_EQ(types, std::vector<uint16_t>{kJoin});
    EXPECT_EQ(lengths, std::vector<uint32_t>{33});
}

TEST_F(ConnectionTest, TwoPacketsInOneReadAreCutOnConsecutiveFrames)
{
    frame(bare(103) + bare(104));
    EXPECT_EQ(types, std::vector<uint16_t>{103});
    frame();
    EXPECT_EQ(types, (std::vector<uint16_t>{103, 104}));
}

TEST_F(ConnectionTest, ReadsDrainTheSocketInChunksWithoutWaiting)
{
    std::string many;
    while (many.size() < 3 * 512) many += bare(103);
    EXPECT_EQ(frame(many), 3 * 512) << "a whole chunk asks again, and an empty socket is not read";
    EXPECT_EQ(frame(junk(100)), 100);
    EXPECT_EQ(frame(), 0);
}

TEST_F(ConnectionTest, AReadNeverAsksForMoreThanTheBufferHolds)
{
    std::string many;
    while (many.size() < 4 * 512) many += bare(103);
    struct ChunkCase {
        int16_t read_chunk;
        int largest;  // the most one receive may ask for
    };
    const ChunkCase cases[] = {{4096, kReadChunk}, {kReadChunk + 1, kReadChunk}, {0, kReadChunk},
                               {-7, kReadChunk}, {100, 100}};
    for (const ChunkCase& c : cases) {
        SCOPED_TRACE(c.read_chunk);
        connection.reset();
        types.clear();
        fake_network().largest_request = 0;
        connection.read_chunk = c.read_chunk;
        int total = 0;
        for (int i = 0; i < 100 && total < int(many.size()); ++i) total += frame(i == 0 ? many : "");
        EXPECT_EQ(total, int(many.size())) << "every byte is still read";
        EXPECT_EQ(fake_network().largest_request, c.largest);
    }
}

TEST_F(ConnectionTest, AFloodingPeerIsHeldBackNotBuffered)
{
    std::string flood;
    while (flood.size() < 2 * kStreamLimit) flood += bare(103);
    fake_network().pending = flood;
    for (int i = 0; i < 50; ++i) {
        frame("", 1.0f);
        ASSERT_LE(connection.stream.size(), kStreamLimit);
    }
    EXPECT_FALSE(connection.timed_out) << "a peer whose bytes wait in the socket is not silent";
    EXPECT_FALSE(fake_network().pending.empty());
}

TEST_F(ConnectionTest, SilenceTimesOutAndResetsWhenBytesCome)
{
    for (int i = 0; i < 5; ++i) frame("", 1.0f);
    EXPECT_FALSE(connection.timed_out) << "5 s is not more than the timeout";
    frame("", 1.0f);
    EXPECT_TRUE(connection.timed_out);
    frame(bare(103), 1.0f);
    EXPECT_FALSE(connection.timed_out);
    EXPECT_EQ(connection.silence, 0.0f);

    const float bad[] = {-10.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()};
    for (float dt : bad) frame("", dt);
    EXPECT_EQ(connection.silence, 0.0f) << "only a finite, positive frame time counts";
    EXPECT_EQ(connection.update(nullptr, 0xFFFF), 0);
}

TEST_F(ConnectionTest, FailedReceiveCountsAsNothingRead)
{
    fake_network().forced_result = -1;
    EXPECT_EQ(frame("", 1.0f), 0);
    EXPECT_EQ(connection.silence, 1.0f);
    fake_network().forced_result = 0;
}

TEST_F(ConnectionTest, NoReadWhenThePollFailedOrTheMachineIsNeitherSide)
{
    __mNetwork_instance()->poll_failed = true;
    EXPECT_EQ(frame(bare(103)), 0);
    __mNetwork_instance()->poll_failed = false;
    fake_network().client = false;
    std::string line = printed([&] { EXPECT_EQ(frame(), 0); });
    EXPECT_EQ(line, "ERROR: Cannot use \"ALL\" socket on this server command\n");
    fake_network().pending.clear();
}

TEST_F(ConnectionTest, ServerReadsTheNamedPeer)
{
    fake_network().client = false;
    fake_network().server = true;
    fake_network().pending = chat("from peer 3");
    float dt = 0.01f;
    EXPECT_EQ(connection.update(&dt, 3), 112);
    ASSERT_EQ(connection.received.count(), 1u);
    auto* packet = packet_cast<cVantorChatPacket<kPacketMagic>>(connection.received.get(0));
    ASSERT_NE(packet, nullptr);
    EXPECT_STREQ(packet->text(), "from peer 3");
}

TEST_F(ConnectionTest, SendPacketGoesThroughTheSideThisMachineIs)
{
    cNetPacketWithData<kPacketMagic, 33> fixed(kJoin);
    connection.send_id = 9;

    fake_network().client = false;
    EXPECT_EQ(send_packet(0xFFFF, &connection, &fixed), 0);
    EXPECT_TRUE(fake_network().sends.empty());

    fake_network().server = true;
    EXPECT_EQ(send_packet(0xFFFF, &connection, &fixed), 52);
    EXPECT_EQ(send_packet(4, &connection, &fixed), 52);
    fake_network().server = false;
    fake_network().client = true;
    EXPECT_EQ(send_packet(4, &connection, &fixed), 52);

    ASSERT_EQ(fake_network().sends.size(), 3u);
    EXPECT_EQ(fake_network().sends[0].id, 9) << "0xFFFF means the connection's send id";
    EXPECT_EQ(fake_network().sends[1].id, 4);
    EXPECT_EQ(fake_network().sends[2].id, 0xFFFF);
    EXPECT_EQ(fake_network().sends[0].bytes, header(kJoin, 33) + std::string(36, '\0'));
}

// The two sides a connection sends from: a client to its server, a server to
// the peer on transport id 3.
struct SendingSide {
    const char* name;
    bool server;
    uint16_t id;  // the id the transport sees
};
const SendingSide kSides[] = {{"client", false, 0xFFFF}, {"server", true, 3}};

class SendQueueTest : public ConnectionTest {
protected:
    void take_side(const SendingSide& side)
    {
        fake_network().client = !side.server;
        fake_network().server = side.server;
        if (side.server) connection.connection_id = connection.send_id = 3;
    }
    // Everything the socket took for the side's id, in order.
    std::string sent_to(uint16_t id) const
    {
        std::string bytes;
        for (const FakeSend& send : fake_network().sends) bytes += send.id == id ? send.bytes : "";
        return bytes;
    }
};

TEST_F(SendQueueTest, WhatTheSocketDoesNotTakeGoesOutInLaterUpdatesInOrder)
{
    for (const SendingSide& side : kSides) {
        SCOPED_TRACE(side.name);
        connection.reset();
        fake_network().sends.clear();
        take_side(side);
        fake_network().room = 30;
        cNetPacketWithData<kPacketMagic, 33> fixed(kJoin);
        cVantorChatPacket<kPacketMagic> line("queued");
        cNetPacket<kPacketMagic> keep_alive(kPacketKeepAlive);
        EXPECT_EQ(send_packet(0xFFFF, &connection, &fixed), 52) << "accepted, though only 30 bytes went";
        EXPECT_EQ(send_packet(0xFFFF, &connection, &line), 112);
        EXPECT_EQ(send_packet(0xFFFF, &connection, &keep_alive), 16);
        EXPECT_EQ(sent_to(side.id), join('\0').substr(0, 30));
        EXPECT_EQ(connection.outgoing.size(), 52u + 112 + 16 - 30);
        for (int frame = 0; frame < 10; ++frame) {
            fake_network().room += 40;
            this->frame();
        }
        EXPECT_EQ(sent_to(side.id), join('\0') + chat("queued") + bare(kPacketKeepAlive));
        EXPECT_TRUE(connection.outgoing.empty());
        EXPECT_FALSE(connection.send_stalled);
    }
}

TEST_F(SendQueueTest, APeerThatTakesNothingForTheTimeoutHasStalled)
{
    for (const SendingSide& side : kSides) {
        SCOPED_TRACE(side.name);
        connection.reset();
        take_side(side);
        fake_network().room = 0;
        cVantorChatPacket<kPacketMagic> line("waits");
        ASSERT_EQ(send_packet(0xFFFF, &connection, &line), 112);
        for (int second = 0; second < 4; ++second) frame("", 1.0f);
        fake_network().room = 1;
        frame("", 1.0f);
        EXPECT_EQ(connection.outgoing.size(), 111u) << "one byte taken starts the wait again";
        for (int second = 0; second < 5; ++second) frame("", 1.0f);
        EXPECT_FALSE(connection.send_stalled) << "five seconds taking nothing are not yet too long";
        frame(bare(kPacketKeepAlive), 1.0f);
        EXPECT_TRUE(connection.send_stalled) << "a peer that sends but never reads stalls all the same";
        EXPECT_EQ(send_packet(0xFFFF, &connection, &line), 0) << "nothing more is sent to a stalled peer";
        EXPECT_EQ(connection.outgoing.size(), 111u);
        connection.reset();
        EXPECT_FALSE(connection.send_stalled);
        EXPECT_TRUE(connection.outgoing.empty());
    }
}

TEST_F(SendQueueTest, AQueueThatWouldPassItsBoundStallsThePeerAtOnce)
{
    for (const SendingSide& side : kSides) {
        SCOPED_TRACE(side.name);
        connection.reset();
        take_side(side);
        fake_network().room = 0;
        cVantorChatPacket<kPacketMagic> line("piles up");
        size_t accepted = 0;
        for (size_t sends = 0; sends < kSendQueueLimit / 112 + 10 && !connection.send_stalled; ++sends)
            accepted += size_t(send_packet(0xFFFF, &connection, &line));
        EXPECT_TRUE(connection.send_stalled);
        EXPECT_EQ(accepted, kSendQueueLimit / 112 * 112);
        EXPECT_EQ(connection.outgoing.size(), accepted);
    }
}

// A forged stream: random garbage, forged headers with the magic and random
// types and lengths, and honest packets, delivered in random read sizes.
std::string random_stream(std::mt19937& random, std::vector<uint16_t>* honest)
{
    std::string stream;
    int pieces = int(random() % 12);
    for (int p = 0; p < pieces; ++p) {
        switch (random() % 4) {
        case 0:
            for (int i = int(random() % 200); i > 0; --i) stream.push_back(char(random()));
            break;
        case 1: {
            const uint16_t types[] = {101, 102, 103, 104, 105, kJoin, kMovement, 999, 0};
            uint32_t lengths[] = {0, 15, 16, 33, 96, 110, 65536, 65537, uint32_t(random())};
            stream += header(types[random() % 9], lengths[random() % 9]).substr(0, 1 + random() % 16);
            break;
        }
        default: {
            const std::string packets[] = {bare(103), chat("hi"), join('q'), movement("xyz")};
            const uint16_t types[] = {103, 101, kJoin, kMovement};
            int which = int(random() % 4);
            stream += packets[which];
            if (honest) honest->push_back(types[which]);
        }
        }
    }
    return stream;
}

TEST_F(ConnectionTest, RandomStreamsNeverCrashStallOrOverrun)
{
    std::mt19937 random(20520);
    for (int round = 0; round < 400; ++round) {
        connection.reset();
        types.clear();
        fake_network().pending.clear();
        std::string stream = random_stream(random, nullptr);
        printed([&] {
            size_t at = 0;
            int frames = 0;
            while (at < stream.size() && frames < 4000) {
                size_t piece = 1 + random() % 700;
                frame(stream.substr(at, piece));
                at += piece;
                ++frames;
            }
            for (int i = 0; i < 20; ++i) frame();
        });
        ASSERT_TRUE(fake_network().pending.empty());
        ASSERT_LE(connection.stream.size(), kMaxDynamicPacketSize);
        for (uint16_t type : types) {
            PacketLayout layout;
            ASSERT_TRUE(GameLikeFactory().packet_layout(type, &layout));
        }
    }
}

TEST_F(ConnectionTest, HonestPacketsAfterRandomGarbageAreAllFound)
{
    std::mt19937 random(2052);
    for (int round = 0; round < 200; ++round) {
        connection.reset();
        types.clear();
        fake_network().pending.clear();
        std::string garbage;
        for (int i = int(random() % 3000); i > 0; --i) garbage.push_back(char(random()));
        if (garbage.find(header(0, 0).substr(4, 4)) != std::string::npos) continue;
        std::string packets;
        const std::string sequence[] = {chat("one"), bare(102), join('k'), movement("payload"), bare(104)};
        for (const std::string& packet : sequence) packets += packet;
        std::string stream = garbage + packets;
        printed([&] {
            for (size_t at = 0; at < stream.size();) {
                size_t piece = 1 + random() % 300;
                frame(stream.substr(at, piece));
                at += piece;
            }
            for (int i = 0; i < 10; ++i) frame();
        });
        ASSERT_EQ(types, (std::vector<uint16_t>{101, 102, kJoin, kMovement, 104})) << "round " << round;
        ASSERT_TRUE(connection.stream.empty());
    }
}

}  // namespace
