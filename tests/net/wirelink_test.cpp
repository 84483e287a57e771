// wirelink loaded as the game loads it, driven through its network table
// against raw sockets on 127.0.0.1. Every test takes a port that is free when
// it starts, and every wait is a bounded loop.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/containers.h"
#include "base/modules.h"
#include "base/network_interface.h"
#include "framework/connection.h"
#include "framework/framework_packets.h"
#include "loopback_peer.h"
#include "sdl_net_faults.h"
#include "tests/support/printed.h"

namespace {

void* plugin_library()
{
    static void* library = dlopen(ZR_GAME_DIR "/plugin/wirelink.so", RTLD_NOW);
    return library;
}

template <class Function>
Function plugin_export(const char* name)
{
    return reinterpret_cast<Function>(dlsym(plugin_library(), name));
}

network_interface* plugin_table()
{
    static network_interface table = {};
    static bool connected = false;
    if (!connected) {
        auto connect = plugin_export<network_interface* (*)(network_interface*)>("connect_network_interface");
        if (!connect) return nullptr;
        connect(&table);
        connected = true;
    }
    return &table;
}

class WirelinkTest : public testing::Test {
protected:
    void SetUp() override
    {
        net = plugin_table();
        ASSERT_NE(net, nullptr) << dlerror();
    }
    void TearDown() override
    {
        if (net->net_is_server()) net->net_stop_server();
        if (net->net_is_client()) net->net_stop_client();
        net->net_quit();
        sdl_net_faults() = SdlNetFaults();
    }

    void serve()
    {
        port = free_port();
        ASSERT_NE(port, 0);
        ASSERT_TRUE(net->net_init(port));
        ASSERT_EQ(net->net_start_server(), 0);
    }

    // Polls until done() holds, at most about two seconds.
    bool poll_until(const std::function<bool()>& done)
    {
        for (int i = 0; i < 2000; ++i) {
            if (!net->net_poll()) return false;
            if (done()) return true;
            usleep(1000);
        }
        return false;
    }

    // Connects peers one at a time, each accepted before the next, so peer i has slot i.
    void connect_peers(std::vector<std::unique_ptr<LoopbackPeer>>& peers, int count)
    {
        for (int i = 0; i < count; ++i) {
            peers.push_back(std::make_unique<LoopbackPeer>());
            ASSERT_TRUE(peers.back()->connect_to(port));
            int before = int(peers.size()) - 1;
            printed([&] { ASSERT_TRUE(poll_until([&] { return net->net_client_count() > before; })); });
        }
    }

    network_interface* net = nullptr;
    uint16_t port = 0;
};

TEST(WirelinkPlugin, ExportsNameKindAndPrerequisite)
{
    ASSERT_NE(plugin_library(), nullptr) << dlerror();
    EXPECT_STREQ(plugin_export<const char* (*)()>("get_plugin_name")(), "MOD-Wirelink");
    EXPECT_STREQ(plugin_export<const char* (*)()>("get_plugin_purpose")(), "Module");
    EXPECT_TRUE(plugin_export<bool (*)(DSPrefHashMap<void>*)>("initialize")(nullptr));
    ASSERT_NE(plugin_export<void (*)()>("shutdown"), nullptr);

    auto compatible = plugin_export<bool (*)(const char*)>("get_plugin_compatibility");
    struct Kind {
        const char* text;
        bool accepted;
    };
    for (const Kind& kind : {Kind{"NET", true}, Kind{"net", true}, Kind{"Net", true}, Kind{"GRAPHICS", false},
                             Kind{"NETWORK", false}, Kind{"", false}, Kind{"NET_AND_A_VERY_LONG_KIND_TEXT", false}})
        EXPECT_EQ(compatible(kind.text), kind.accepted) << kind.text;

    DSParray<std::string> names;
    plugin_export<void (*)(DSParray<std::string>&)>("get_plugin_prereqs")(names);
    ASSERT_EQ(names.count(), 1u);
    EXPECT_EQ(*names.get(0), "MOD-Trellis");
}

TEST(WirelinkPlugin, ConnectFillsEverySlot)
{
    ASSERT_NE(plugin_library(), nullptr) << dlerror();
    network_interface table;
    std::memset(&table, 0, sizeof table);
    auto connect = plugin_export<network_interface* (*)(network_interface*)>("connect_network_interface");
    ASSERT_EQ(connect(&table), &table);
    void* slots[26];
    std::memcpy(slots, &table, sizeof slots);
    for (int i = 0; i < 26; ++i) EXPECT_NE(slots[i], nullptr) << "slot " << i;
}

TEST_F(WirelinkTest, InitFailsWhenSdlNetCannotStart)
{
    sdl_net_faults().init = true;
    EXPECT_FALSE(net->net_init(23500));
    EXPECT_STREQ(net->net_last_error(), "injected start-up failure");
    EXPECT_TRUE(net->net_init(23500));
    EXPECT_TRUE(net->net_poll());
}

struct StartCase {
    const char* name;
    // Prepares the situation; returns a raw listening socket to release, or -1.
    std::function<int(network_interface*, uint16_t)> before;
    bool server;
    const char* host;
    uint16_t code;
    const char* line;
};

TEST_F(WirelinkTest, StartCodesAndTheirLines)
{
    auto nothing = [](network_interface*, uint16_t) { return -1; };
    auto listener = [](network_interface*, uint16_t port) { return occupy_port(port); };
    const StartCase cases[] = {
        {"server starts", nothing, true, nullptr, 0, ""},
        {"server twice", [](network_interface* net, uint16_t) { net->net_start_server(); return -1; }, true, nullptr,
         1, "WARNING: Interface is already active\n"},
        {"server while client",
         [](network_interface* net, uint16_t port) {
             int fd = occupy_port(port);
             net->net_start_client("127.0.0.1");
             return fd;
         },
         true, nullptr, 1, "WARNING: Interface is already active\n"},
        {"server without a socket set",
         [](network_interface*, uint16_t) {
             sdl_net_faults().alloc_socket_set = true;
             return -1;
         },
         true, nullptr, 2, "WARNING: Unable to properly create socketSet\n"},
        {"server address not resolved",
         [](network_interface*, uint16_t) {
             sdl_net_faults().resolve_host = true;
             return -1;
         },
         true, nullptr, 3, "WARNING: Unable to resolve server IP\n"},
        {"server port taken", listener, true, nullptr, 4, "WARNING: Unable to open listening port\n"},
        {"client connects", listener, false, "127.0.0.1", 0, ""},
        {"client while server", [](network_interface* net, uint16_t) { net->net_start_server(); return -1; }, false,
         "127.0.0.1", 1, "WARNING: Interface is already active\n"},
        {"client without a socket set",
         [](network_interface*, uint16_t) {
             sdl_net_faults().alloc_socket_set = true;
             return -1;
         },
         false, "127.0.0.1", 2, "WARNING: Unable to properly create socketSet\n"},
        {"client host unknown", nothing, false, "no-such-host.invalid", 3, "WARNING: Unable to resolve server IP\n"},
        {"client without a host", nothing, false, nullptr, 3, "WARNING: Unable to resolve server IP\n"},
        {"client to a closed port", nothing, false, "127.0.0.1", 4, "WARNING: Unable to open server port\n"},
    };
    for (const StartCase& c : cases) {
        SCOPED_TRACE(c.name);
        port = free_port();
        ASSERT_NE(port, 0);
        ASSERT_TRUE(net->net_init(port));
        int held = c.before(net, port);
        uint16_t code = 0xFFFF;
        std::string line = printed([&] { code = c.server ? net->net_start_server() : net->net_start_client(c.host); });
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(line, c.line);
        if (code >= 2) {
            EXPECT_FALSE(net->net_is_server());
            EXPECT_FALSE(net->net_is_client());
        }
        if (code == 0) {
            EXPECT_TRUE(c.server ? net->net_is_server() : net->net_is_client());
        }
        TearDown();
        release_port(held);
    }
}

TEST_F(WirelinkTest, FailedStartLeavesTheInterfaceReusable)
{
    port = free_port();
    ASSERT_TRUE(net->net_init(port));
    int held = occupy_port(port);
    printed([&] { EXPECT_EQ(net->net_start_server(), 4); });
    release_port(held);
    EXPECT_EQ(net->net_start_server(), 0);
    net->net_stop_server();
    printed([&] { EXPECT_EQ(net->net_start_client("127.0.0.1"), 4); });
    held = occupy_port(port);
    EXPECT_EQ(net->net_start_client("127.0.0.1"), 0);
    net->net_stop_client();
    release_port(held);
}

TEST_F(WirelinkTest, SixtyFourClientsThenTheLowestFreeSlotRefills)
{
    serve();
    std::vector<std::unique_ptr<LoopbackPeer>> peers;
    connect_peers(peers, 64);
    ASSERT_EQ(net->net_client_count(), 64);
    EXPECT_EQ(printed([&] { EXPECT_EQ(net->net_free_client_id(), 0); }), "WARNING: Could not find free client Id\n");

    LoopbackPeer late;
    ASSERT_TRUE(late.connect_to(port));
    for (int i = 0; i < 50; ++i) ASSERT_TRUE(net->net_poll());
    EXPECT_EQ(net->net_client_count(), 64);

    ASSERT_TRUE(net->net_drop_client(40));
    ASSERT_TRUE(net->net_drop_client(7));
    EXPECT_TRUE(peers[7]->sees_close(1000));
    EXPECT_EQ(net->net_free_client_id(), 7);
    std::string accepted = printed([&] { EXPECT_TRUE(poll_until([&] { return net->net_client_count() == 63; })); });
    EXPECT_EQ(accepted.rfind("Server - accepting new client 127.0.0.1:", 0), 0u) << accepted;
    EXPECT_TRUE(net->net_is_client_active(7));
    EXPECT_FALSE(net->net_is_client_active(40));

    ASSERT_TRUE(late.send_bytes("late", 4));
    ASSERT_TRUE(poll_until([&] { return net->net_is_client_ready(7); }));
    char bytes[16] = {};
    EXPECT_EQ(net->net_server_receive(7, bytes, sizeof bytes), 4);
    EXPECT_STREQ(bytes, "late");
    EXPECT_EQ(net->net_client_host(7), 0x0100007Fu);
}

TEST_F(WirelinkTest, NthClientCountsActiveSlotsInOrder)
{
    serve();
    std::vector<std::unique_ptr<LoopbackPeer>> peers;
    connect_peers(peers, 10);
    for (uint16_t id : {1, 2, 3, 4, 6, 7, 8}) ASSERT_TRUE(net->net_drop_client(id));
    EXPECT_EQ(net->net_nth_client_id(0), 0);
    EXPECT_EQ(net->net_nth_client_id(1), 5);
    EXPECT_EQ(net->net_nth_client_id(2), 9);
    EXPECT_EQ(printed([&] { EXPECT_EQ(net->net_nth_client_id(3), 0); }), "Could not find adjacent client Id 3");
}

TEST_F(WirelinkTest, BroadcastOfTextSendsItsTerminatorToEveryPeer)
{
    serve();
    std::vector<std::unique_ptr<LoopbackPeer>> peers;
    connect_peers(peers, 3);
    EXPECT_EQ(net->net_server_send(0xFFFF, "hello", -1), 3 * 6);
    for (auto& peer : peers) EXPECT_EQ(peer->receive(6, 1000), std::string("hello", 6));

    EXPECT_EQ(net->net_server_send(64, "x", 1), 0);
    EXPECT_STREQ(net->net_last_error(), "Invalid Recipient Id");
    EXPECT_EQ(net->net_server_send(5, "x", 1), 0);
    EXPECT_STREQ(net->net_last_error(), "Recipient ID does not point to active client");
    EXPECT_EQ(net->net_server_send(1, "x", -7), 0);
    EXPECT_EQ(net->net_server_send(1, nullptr, 4), 0);
}

// A regression would block inside the receive; the alarm ends the test then.
class NoWait {
public:
    NoWait() { alarm(20); }
    ~NoWait() { alarm(0); }
};

double seconds_taken(const std::function<void()>& action)
{
    auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

TEST_F(WirelinkTest, ServerReceiveWithNothingWaitingReturnsAtOnce)
{
    NoWait guard;
    serve();
    std::vector<std::unique_ptr<LoopbackPeer>> peers;
    connect_peers(peers, 1);
    ASSERT_TRUE(peers[0]->send_bytes("0123456789", 10));
    ASSERT_TRUE(poll_until([&] { return net->net_is_client_ready(0); }));
    char bytes[512];
    EXPECT_EQ(net->net_server_receive(0, bytes, sizeof bytes), 10);
    EXPECT_FALSE(net->net_is_client_ready(0));
    std::string line;
    double seconds = seconds_taken([&] {
        line = printed([&] { EXPECT_EQ(net->net_server_receive(0, bytes, sizeof bytes), 0); });
    });
    EXPECT_LT(seconds, 0.5);
    EXPECT_EQ(line, "WARNING: Client ID is not sending\n");
}

TEST_F(WirelinkTest, ClientReceiveWithNothingWaitingReturnsAtOnce)
{
    NoWait guard;
    port = free_port();
    int listener = occupy_port(port);
    ASSERT_GE(listener, 0);
    ASSERT_TRUE(net->net_init(port));
    ASSERT_EQ(net->net_start_client("localhost"), 0);
    EXPECT_EQ(net->net_server_host(), 0x0100007Fu);
    LoopbackPeer host;
    ASSERT_TRUE(host.accept_from(listener, 1000));
    ASSERT_TRUE(host.send_bytes("abc", 3));
    ASSERT_TRUE(poll_until([&] { return net->net_is_server_ready(); }));
    char bytes[512];
    EXPECT_EQ(net->net_client_receive(bytes, sizeof bytes), 3);
    EXPECT_FALSE(net->net_is_server_ready());
    std::string line;
    double seconds = seconds_taken([&] { line = printed([&] { EXPECT_EQ(net->net_client_receive(bytes, 512), 0); }); });
    EXPECT_LT(seconds, 0.5);
    EXPECT_EQ(line, "WARNING: Server is not sending\n");

    EXPECT_EQ(net->net_client_send("hi", -1), 3);
    EXPECT_EQ(host.receive(3, 1000), std::string("hi", 3));
    release_port(listener);
}

TEST_F(WirelinkTest, ReceiveLimitIsClampedNotWrapped)
{
    serve();
    std::vector<std::unique_ptr<LoopbackPeer>> peers;
    connect_peers(peers, 1);
    std::vector<char> bytes(70000, 'z');
    ASSERT_TRUE(peers[0]->send_bytes(bytes.data(), 6000));
    usleep(50000);
    ASSERT_TRUE(poll_until([&] { return net->net_is_client_ready(0); }));
    EXPECT_EQ(net->net_server_receive(0, bytes.data(), -5), 0);
    EXPECT_EQ(net->net_server_receive(0, bytes.data(), 70000), 6000);
}

TEST_F(WirelinkTest, SendingToAVanishedPeerDoesNotEndTheProcess)
{
    serve();
    std::vector<std::unique_ptr<LoopbackPeer>> peers;
    connect_peers(peers, 1);
    peers[0]->close();
    usleep(20000);
    std::vector<char> block(1000, 'q');
    int shortest = 1000;
    for (int i = 0; i < 20; ++i) {
        int sent = net->net_server_send(0, block.data(), int(block.size()));
        if (sent < shortest) shortest = sent;
    }
    EXPECT_LT(shortest, 1000);
    EXPECT_TRUE(net->net_is_client_active(0));
}

// Blocks of 16 KiB sent at a peer that reads nothing, until one is taken
// only in part: every send returns at once, and the rest were taken whole.
int send_until_full(const std::function<int(const char*, int)>& send)
{
    const std::string block(16384, 'f');
    int total = 0;
    for (int i = 0; i < 256; ++i) {
        int sent = -1;
        EXPECT_LT(seconds_taken([&] { sent = send(block.data(), int(block.size())); }), 0.5);
        EXPECT_GE(sent, 0);
        if (sent < 0) break;
        total += sent;
        if (sent < int(block.size())) break;
    }
    return total;
}

TEST_F(WirelinkTest, SendsToAPeerThatReadsNothingTakeWhatFitsAndReturnAtOnce)
{
    NoWait guard;
    serve();
    LoopbackPeer reader;
    ASSERT_TRUE(reader.connect_to(port, true));
    ASSERT_TRUE(poll_until([&] { return net->net_client_count() == 1; }));
    const int taken =
        send_until_full([&](const char* data, int length) { return net->net_server_send(0, data, length); });
    EXPECT_GT(taken, 0);
    EXPECT_LT(taken, 256 * 16384) << "the connection never filled";
    EXPECT_EQ(net->net_server_send(0xFFFF, "more", 4), 0) << "a full connection takes nothing";
    EXPECT_EQ(reader.receive(size_t(taken), 5000), std::string(size_t(taken), 'f'));
    EXPECT_TRUE(poll_until([&] { return net->net_server_send(0, "more", 4) == 4; })) << "read, it takes again";
}

TEST_F(WirelinkTest, SendsToAServerThatReadsNothingTakeWhatFitsAndReturnAtOnce)
{
    NoWait guard;
    port = free_port();
    const int listener = occupy_port(port, true);
    ASSERT_GE(listener, 0);
    ASSERT_TRUE(net->net_init(port));
    ASSERT_EQ(net->net_start_client("127.0.0.1"), 0);
    LoopbackPeer host;
    ASSERT_TRUE(host.accept_from(listener, 1000));
    const int taken = send_until_full([&](const char* data, int length) { return net->net_client_send(data, length); });
    EXPECT_GT(taken, 0);
    EXPECT_LT(taken, 256 * 16384) << "the connection never filled";
    EXPECT_EQ(net->net_client_send("more", 4), 0);
    EXPECT_EQ(host.receive(size_t(taken), 5000), std::string(size_t(taken), 'f'));
    release_port(listener);
}

TEST_F(WirelinkTest, ConnectionWithoutPeerAddressIsClosed)
{
    serve();
    sdl_net_faults().peer_address = true;
    LoopbackPeer peer;
    ASSERT_TRUE(peer.connect_to(port));
    std::string line = printed([&] {
        for (int i = 0; i < 200 && sdl_net_faults().peer_address; ++i) {
            net->net_poll();
            usleep(1000);
        }
    });
    EXPECT_EQ(line, "WARNING: SDLNet_TCP_GetPeerAddress: injected missing peer\n");
    EXPECT_EQ(net->net_client_count(), 0);
    EXPECT_TRUE(peer.sees_close(1000));
}

struct MisuseCase {
    const char* name;
    std::function<long(network_interface*)> call;
    long result;
    const char* line;
    const char* last_error;
};

void expect_misuse(network_interface* net, const MisuseCase& c)
{
    SCOPED_TRACE(c.name);
    long result = -12345;
    EXPECT_EQ(printed([&] { result = c.call(net); }), c.line);
    EXPECT_EQ(result, c.result);
    if (c.last_error) {
        EXPECT_STREQ(net->net_last_error(), c.last_error);
    }
}

TEST_F(WirelinkTest, SlotsUsedInTheWrongModeWarnAndGiveNothing)
{
    ASSERT_TRUE(net->net_init(23528));
    const char* server_line = "WARNING: Interface is not in server mode\n";
    const char* client_line = "WARNING: Interface is not in client mode\n";
    char buffer[8];
    const MisuseCase cases[] = {
        {"stop server", [](network_interface* n) { return long(n->net_stop_server()); }, 0, server_line, nullptr},
        {"client count", [](network_interface* n) { return long(n->net_client_count()); }, 0, server_line, nullptr},
        {"free id", [](network_interface* n) { return long(n->net_free_client_id()); }, 0, server_line, nullptr},
        {"nth id", [](network_interface* n) { return long(n->net_nth_client_id(0)); }, 0, server_line, nullptr},
        {"active", [](network_interface* n) { return long(n->net_is_client_active(0)); }, 0, server_line, nullptr},
        {"host", [](network_interface* n) { return long(n->net_client_host(0)); }, 0, server_line, nullptr},
        {"ready", [](network_interface* n) { return long(n->net_is_client_ready(0)); }, 0, server_line, nullptr},
        {"server send", [](network_interface* n) { return long(n->net_server_send(0, "x", 1)); }, 0, server_line,
         nullptr},
        {"server receive", [&](network_interface* n) { return long(n->net_server_receive(0, buffer, 8)); }, 0,
         server_line, nullptr},
        {"drop", [](network_interface* n) { return long(n->net_drop_client(0)); }, 0, "",
         "Interface is not in server mode"},
        {"stop client", [](network_interface* n) { return long(n->net_stop_client()); }, 0, client_line, nullptr},
        {"client send", [](network_interface* n) { return long(n->net_client_send("x", 1)); }, 0, client_line,
         nullptr},
        {"server host", [](network_interface* n) { return long(n->net_server_host()); }, 0, client_line, nullptr},
        {"server ready", [](network_interface* n) { return long(n->net_is_server_ready()); }, 0, client_line, nullptr},
        {"client receive", [&](network_interface* n) { return long(n->net_client_receive(buffer, 8)); }, 0,
         client_line, nullptr},
    };
    for (const MisuseCase& c : cases) expect_misuse(net, c);
}

TEST_F(WirelinkTest, BadClientIdsAreReported)
{
    serve();
    char buffer[8];
    const MisuseCase cases[] = {
        {"drop past the slots", [](network_interface* n) { return long(n->net_drop_client(64)); }, 0, "",
         "Invalid Client Id 64"},
        {"drop inactive", [](network_interface* n) { return long(n->net_drop_client(3)); }, 0, "",
         "Client ID does not point to active client 3"},
        {"active past the slots", [](network_interface* n) { return long(n->net_is_client_active(64)); }, 0, "",
         "Invalid Client Id"},
        {"ready past the slots", [](network_interface* n) { return long(n->net_is_client_ready(70)); }, 0, "",
         "Invalid Client Id 70"},
        {"ready inactive", [](network_interface* n) { return long(n->net_is_client_ready(3)); }, 0,
         "Client ID does not point to active client 3", nullptr},
        {"host past the slots", [](network_interface* n) { return long(n->net_client_host(64)); }, 0, "",
         "Invalid Client Id"},
        {"host inactive", [](network_interface* n) { return long(n->net_client_host(3)); }, 0,
         "WARNING: Client ID does not point to active client\n", nullptr},
        {"receive past the slots", [&](network_interface* n) { return long(n->net_server_receive(64, buffer, 8)); }, 0,
         "", "Invalid Client Id"},
        {"receive inactive", [&](network_interface* n) { return long(n->net_server_receive(3, buffer, 8)); }, 0,
         "WARNING: Client ID does not point to active client\n", nullptr},
    };
    for (const MisuseCase& c : cases) {
        net->net_server_send(64, "x", 1);
        expect_misuse(net, c);
    }
}

TEST_F(WirelinkTest, AddressesFormatLowestByteFirstAndParseTopByteFirst)
{
    struct Formatted {
        uint32_t address;
        const char* text;
    };
    for (const Formatted& f : {Formatted{0x0100007F, "127.0.0.1"}, Formatted{0, "0.0.0.0"},
                               Formatted{0xFFFFFFFF, "255.255.255.255"}, Formatted{0x1400A8C0, "192.168.0.20"}}) {
        char out[32];
        std::memset(out, 'x', sizeof out);
        EXPECT_EQ(net->net_format_address(f.address, out), int(strlen(f.text)));
        EXPECT_STREQ(out, f.text);
    }

    std::string long_text = "1.2.3.4";
    while (long_text.size() < 600) long_text += ".5";
    struct Parsed {
        std::string text;
        uint32_t address;
    };
    for (const Parsed& p : {Parsed{"10.0.0.1", 0x0A000001}, Parsed{"192.168.1.20", 0xC0A80114},
                            Parsed{"1.2", 0x01020000}, Parsed{"", 0}, Parsed{"10..1", 0x0A010000},
                            Parsed{"300.1.1.1", 0x2C010101}, Parsed{"1.70000.0.0", 0x12700000},
                            Parsed{"0.0.65535.0", 0x00FFFF00}, Parsed{long_text, 0x01020304},
                            Parsed{"99999999999.0.0.7", 0xFF000007}})
        EXPECT_EQ(net->net_parse_address(p.text.c_str()), p.address) << p.text;
    EXPECT_EQ(net->net_parse_address(nullptr), 0u);
}


// The packet framework over the real transport: bytes a raw peer sends are
// cut into packets by this side's connection, and send_packet reaches it.
class PacketsOverLoopback : public WirelinkTest {
protected:
    void SetUp() override
    {
        WirelinkTest::SetUp();
        __mNetwork_instance()->interface_table = net;
    }
    // The module would free the table at exit; this one belongs to the test.
    void TearDown() override
    {
        __mNetwork_instance()->interface_table = nullptr;
        WirelinkTest::TearDown();
    }

    // Frames of poll and update until done() holds or about two seconds
    // passed; gathers the bytes read and the packets' types and chat texts.
    void run_frames(cVantorNetConnection& connection, const std::function<bool()>& done)
    {
        for (int frame = 0; frame < 2000 && !done(); ++frame) {
            ASSERT_TRUE(net->net_poll());
            float dt = 0.001f;
            bytes_read += connection.update(&dt, connection.connection_id);
            for (uint32_t i = 0; i < connection.received.count(); ++i) {
                __cNetPacketBase* packet = connection.received.get(i);
                types.push_back(packet->type);
                if (packet->type == kPacketChat)
                    texts.push_back(static_cast<cVantorChatPacket<kPacketMagic>*>(packet)->text());
                packet->destroy();
            }
            connection.received.clear();
            usleep(1000);
        }
    }

    int bytes_read = 0;
    std::vector<uint16_t> types;
    std::vector<std::string> texts;
};

std::string wire_text(__cNetPacketBase& packet)
{
    uint32_t size = packet.get_wire_size();
    return std::string(reinterpret_cast<const char*>(packet.get_wire_data()), size);
}

TEST_F(PacketsOverLoopback, HostCutsWhatAClientSendsAndAnswersIt)
{
    NoWait guard;
    serve();
    std::vector<std::unique_ptr<LoopbackPeer>> peers;
    connect_peers(peers, 1);
    cVantorNetConnection connection(new cVantorPacketFactory<kPacketMagic>, 5.0f);
    connection.connection_id = 0;
    connection.send_id = 0;

    cVantorChatPacket<kPacketMagic> chat("hello over tcp");
    cNetPacket<kPacketMagic> quit(kPacketClientQuit);
    std::string stream = "xyz" + wire_text(chat) + wire_text(quit);
    ASSERT_TRUE(peers[0]->send_bytes(stream.data(), 40));
    run_frames(connection, [&] { return bytes_read == 40; });
    EXPECT_TRUE(types.empty()) << "the chat packet is not whole yet";
    ASSERT_TRUE(peers[0]->send_bytes(stream.data() + 40, stream.size() - 40));
    run_frames(connection, [&] { return types.size() == 2; });
    EXPECT_EQ(types, (std::vector<uint16_t>{kPacketChat, kPacketClientQuit}));
    EXPECT_EQ(texts, std::vector<std::string>{"hello over tcp"});
    EXPECT_EQ(bytes_read, int(stream.size()));

    cNetPacket<kPacketMagic> booted(kPacketBooted);
    std::string expected = wire_text(booted);
    EXPECT_EQ(send_packet(0xFFFF, &connection, &booted), 16);
    EXPECT_EQ(peers[0]->receive(16, 1000), expected);
}

TEST_F(PacketsOverLoopback, ClientDrainsMoreThanAChunkAndCutsOnePacketAFrame)
{
    NoWait guard;
    port = free_port();
    int listener = occupy_port(port);
    ASSERT_GE(listener, 0);
    ASSERT_TRUE(net->net_init(port));
    ASSERT_EQ(net->net_start_client("127.0.0.1"), 0);
    LoopbackPeer host;
    ASSERT_TRUE(host.accept_from(listener, 1000));
    cVantorNetConnection connection(new cVantorPacketFactory<kPacketMagic>, 5.0f);

    cNetPacket<kPacketMagic> keep_alive(kPacketKeepAlive);
    std::string stream;
    for (int i = 0; i < 40; ++i) stream += wire_text(keep_alive);
    ASSERT_TRUE(host.send_bytes(stream.data(), stream.size()));
    run_frames(connection, [&] { return types.size() == 40; });
    EXPECT_EQ(types, std::vector<uint16_t>(40, kPacketKeepAlive));
    EXPECT_EQ(bytes_read, 640);
    EXPECT_TRUE(connection.stream.empty());

    cVantorChatPacket<kPacketMagic> chat("to the host");
    std::string expected = wire_text(chat);
    EXPECT_EQ(send_packet(0xFFFF, &connection, &chat), 112);
    EXPECT_EQ(host.receive(112, 1000), expected);
    release_port(listener);
}

}  // namespace
