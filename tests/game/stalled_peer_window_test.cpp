// Real programs under X against raw peers on 127.0.0.1 that stop reading. A
// host with one honest client and one joined peer that floods chat lines but
// never reads, in the lobby and in the race: the host's frames keep coming,
// the honest client keeps hearing it, the flooder is booted. A client whose
// host stops reading keeps drawing, and leaves on Escape or by itself.
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>
#include <vector>

#include "game/packets.h"
#include "tests/game/two_programs.h"
#include "tests/net/loopback_peer.h"

// After gtest: X11's macros would clash with its names.
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

using Clock = std::chrono::steady_clock;

constexpr uint16_t kGamePort = 2052;
// The host's keep-alives (lobby) and cart updates (race) go out every
// 0.0625 s with an update interval of 1; a gap longer than this is a stall.
constexpr double kLongestGap = 0.25;

// Other runs on this machine may hold the game's port for a while: a
// listening socket on it once it is free, -1 when it stays taken for a minute.
int listen_on_game_port_when_free(bool small_window)
{
    for (int step = 0; step < 300; ++step) {
        const int listener = occupy_port(kGamePort, small_window);
        if (listener >= 0) return listener;
        usleep(200000);
    }
    return -1;
}

double seconds_between(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double>(to - from).count();
}

double seconds_since(Clock::time_point from)
{
    return seconds_between(from, Clock::now());
}

std::string wire_of(__cNetPacketBase& packet)
{
    const uint32_t size = packet.get_wire_size();
    return std::string(reinterpret_cast<const char*>(packet.get_wire_data()), size);
}

std::string join_bytes(const char* name)
{
    czrpRequestJoin join(name, 0);
    return wire_of(join);
}

std::string keep_alive_bytes()
{
    czrpBare keep_alive(kPacketKeepAlive);
    return wire_of(keep_alive);
}

// Bytes the sender on 127.0.0.1:from has put on its connection to
// 127.0.0.1:to that the other end has not taken: the established
// connection's send queue as /proc/net/tcp shows it; -1 when there is none.
long bytes_held(uint16_t from, uint16_t to)
{
    char local[16], remote[16];
    snprintf(local, sizeof local, "0100007F:%04X", unsigned(from));
    snprintf(remote, sizeof remote, "0100007F:%04X", unsigned(to));
    std::ifstream table("/proc/net/tcp");
    std::string line;
    std::getline(table, line);
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, at, peer, state, queues;
        fields >> slot >> at >> peer >> state >> queues;
        if (at == local && peer == remote && state == "01")
            return std::stol(queues.substr(0, queues.find(':')), nullptr, 16);
    }
    return -1;
}

// Watches a connection's send queue while it fills: the most it held and
// when it last grew.
struct FillWatch {
    long most = 0;
    Clock::time_point last_growth = Clock::now();

    void look(uint16_t from, uint16_t to)
    {
        const long held = bytes_held(from, to);
        if (held <= most) return;
        most = held;
        last_growth = Clock::now();
    }
};

// A client on a raw socket that joins, reads everything the host sends on a
// thread of its own, answers with a keep-alive every second and notes when
// each of the host's packets came, cut by the game's own packet layouts.
class HonestClient {
public:
    ~HonestClient() { stop(); }

    bool join(const char* name)
    {
        const std::string request = join_bytes(name);
        return peer.connect_to(kGamePort) && peer.send_bytes(request.data(), request.size());
    }
    void start()
    {
        running = true;
        worker = std::thread([this] { run(); });
    }
    void stop()
    {
        running = false;
        if (worker.joinable()) worker.join();
    }
    // When packets of the type came, in order.
    std::vector<Clock::time_point> arrivals_of(uint16_t type) const
    {
        std::lock_guard<std::mutex> hold(lock);
        std::vector<Clock::time_point> times;
        for (const auto& arrival : arrivals)
            if (arrival.second == type) times.push_back(arrival.first);
        return times;
    }
    bool stream_broken() const { return broken; }

private:
    void run()
    {
        const std::string keep_alive = keep_alive_bytes();
        Clock::time_point last_sent = Clock::now();
        while (running) {
            stream += peer.receive(1 << 16, 5);
            cut();
            if (seconds_since(last_sent) < 1.0) continue;
            peer.send_bytes(keep_alive.data(), keep_alive.size());
            last_sent = Clock::now();
        }
    }
    uint32_t wire_size(const PacketHeader& header)
    {
        PacketLayout layout;
        if (header.magic != kPacketMagic || !factory.packet_layout(header.type, &layout)) return 0;
        if (layout.shape == PacketShape::bare) return kPacketHeaderSize;
        if (layout.shape == PacketShape::fixed) return fixed_wire_size(layout.payload);
        return header.length >= kPacketHeaderSize ? header.length : 0;
    }
    void cut()
    {
        while (!broken && stream.size() >= kPacketHeaderSize) {
            PacketHeader header;
            read_packet_header(reinterpret_cast<const uint8_t*>(stream.data()), stream.size(), &header);
            const uint32_t size = wire_size(header);
            broken = size == 0;
            if (broken || stream.size() < size) return;
            std::lock_guard<std::mutex> hold(lock);
            arrivals.emplace_back(Clock::now(), header.type);
            stream.erase(0, size);
        }
    }

    LoopbackPeer peer;
    czrPacketFactory factory;
    std::string stream;
    std::atomic<bool> running{false};
    std::atomic<bool> broken{false};
    std::thread worker;
    mutable std::mutex lock;
    std::vector<std::pair<Clock::time_point, uint16_t>> arrivals;
};

// The longest time between the start, each of the times in it, and the end.
double longest_gap(const std::vector<Clock::time_point>& times, Clock::time_point start, Clock::time_point end)
{
    double longest = 0;
    Clock::time_point previous = start;
    for (Clock::time_point at : times) {
        if (at < start || at > end) continue;
        longest = std::max(longest, seconds_between(previous, at));
        previous = at;
    }
    return std::max(longest, seconds_between(previous, end));
}

class StalledPeerHostTest : public TwoProgramsTest {
protected:
    void SetUp() override
    {
        TwoProgramsTest::SetUp();
        write_file(host / "local/zorblitrally.prf", settings_for("Hosty", 23, 1));
        const int listener = listen_on_game_port_when_free(false);
        ASSERT_GE(listener, 0) << "port 2052 stays taken";
        release_port(listener);
    }

    // A chat line at a time, each sent on from where the last one stopped,
    // for as long as the host takes them; until the host boots the flooder or
    // 40 s have passed. When the boot was printed, -1 without one.
    double flood_until_booted(LoopbackPeer& flooder, FillWatch& fill, Clock::time_point start)
    {
        cVantorChatPacket<kPacketMagic> chat(std::string(80, 'z'));
        const std::string line = wire_of(chat);
        std::string unsent;
        Clock::time_point next_look = start;
        while (seconds_since(start) < 40) {
            if (unsent.empty()) unsent = line;
            unsent.erase(0, flooder.offer_bytes(unsent.data(), unsent.size()));
            fill.look(kGamePort, flooder.local_port());
            if (Clock::now() >= next_look) {
                if (host.output().find("Booting inactive client Flood [") != std::string::npos)
                    return seconds_since(start);
                next_look = Clock::now() + std::chrono::milliseconds(50);
            }
            usleep(1000);
        }
        return -1;
    }

    void flood_the_host(bool race)
    {
        const Window host_window = show(host, 0);
        ASSERT_NE(host_window, 0u) << host.output();
        ASSERT_TRUE(wait_for_pixel(display, host_window, kHostGameX - kLeftOfText, kHostGameY, kButtonBlue))
            << host.output();
        click_window(display, host_window, kHostGameX, kHostGameY);
        ASSERT_TRUE(wait_for_pixel(display, host_window, kHostGameX - kLeftOfText, kHostGameY, kBlack))
            << host.output();

        HonestClient honest;
        ASSERT_TRUE(honest.join("Honest"));
        // Not always slots 1 and 2: clients of other runs on this machine may join too.
        ASSERT_TRUE(host.wait_for_output("Honest joined in slot ")) << host.output();
        honest.start();
        LoopbackPeer flooder;
        ASSERT_TRUE(flooder.connect_to(kGamePort, true));
        const std::string request = join_bytes("Flood");
        ASSERT_TRUE(flooder.send_bytes(request.data(), request.size()));
        ASSERT_TRUE(host.wait_for_output("Flood joined in slot ")) << host.output();
        uint16_t periodic = kPacketKeepAlive;
        if (race) {
            ASSERT_TRUE(wait_for_pixel(display, host_window, kStartX - 126, kStartY, kButtonBlue)) << host.output();
            click_window(display, host_window, kStartX, kStartY);
            for (int step = 0; step < 500 && honest.arrivals_of(kPacketRacetrackLoad).empty(); ++step) usleep(20000);
            ASSERT_EQ(honest.arrivals_of(kPacketRacetrackLoad).size(), 1u) << host.output();
            periodic = kPacketUpdateCars;
        }

        const Clock::time_point start = Clock::now();
        FillWatch fill;
        const double booted = flood_until_booted(flooder, fill, start);
        const Clock::time_point boot = Clock::now();
        const auto heard_since_boot = [&] {
            const std::vector<Clock::time_point> heard = honest.arrivals_of(periodic);
            return std::count_if(heard.begin(), heard.end(), [&](Clock::time_point at) { return at > boot; });
        };
        for (int step = 0; step < 150 && heard_since_boot() < 8; ++step) usleep(20000);
        const Clock::time_point end = Clock::now();
        honest.stop();

        EXPECT_GE(heard_since_boot(), 8) << "the honest client heard little after the boot";
        EXPECT_LE(longest_gap(honest.arrivals_of(periodic), start, end), kLongestGap) << "the host's frames stalled";
        ASSERT_GE(booted, 0) << "the flooder was never booted\n" << host.output().substr(0, 4000);
        EXPECT_GT(fill.most, 8192) << "the host's socket toward the flooder never filled";
        EXPECT_LE(booted - seconds_between(start, fill.last_growth), 10.0) << "booted too long after its socket filled";
        EXPECT_FALSE(honest.stream_broken());
        EXPECT_EQ(count_of(host.output(), "Booting inactive client Honest"), 0);

        host.terminate();
        EXPECT_EQ(host.exit_code(), 0) << host.output().substr(0, 4000);
        EXPECT_EQ(count_of(host.output(), "ERROR"), 0);
    }
};

// The menu's server button joins the raw host on 2052, which welcomes the
// client into slot 1 and from then on only talks, on a thread of its own: a
// keep-alive every quarter second, so the client never times out; nothing the
// client sends is read after its join.
class StalledHostClientTest : public TwoProgramsTest {
protected:
    void SetUp() override
    {
        TwoProgramsTest::SetUp();
        write_file(client / "local/zorblitrally.prf", settings_for("Typist"));
        listener = listen_on_game_port_when_free(true);
        ASSERT_GE(listener, 0) << "port 2052 stays taken";
    }
    void TearDown() override
    {
        talking = false;
        if (talker.joinable()) talker.join();
        release_port(listener);
        TwoProgramsTest::TearDown();
    }

    void join_the_raw_host()
    {
        window = show(client, 0);
        ASSERT_NE(window, 0u) << client.output();
        ASSERT_TRUE(wait_for_pixel(display, window, kServerX - kLeftOfText, kServerY, kButtonBlue)) << client.output();
        click_window(display, window, kServerX, kServerY);
        ASSERT_TRUE(accept_our_client()) << client.output();
        czrpWelcome welcome({0, 1, 0});
        const std::string bytes = wire_of(welcome);
        ASSERT_TRUE(raw_host.send_bytes(bytes.data(), bytes.size()));
        ASSERT_TRUE(client.wait_for_output("Server welcome packet - id 1\n")) << client.output();
        talking = true;
        talker = std::thread([this] { keep_talking(); });
    }

    void keep_talking()
    {
        const std::string keep_alive = keep_alive_bytes();
        while (talking) {
            raw_host.offer_bytes(keep_alive.data(), keep_alive.size());
            usleep(250000);
        }
    }

    // Clients of other runs on this machine may knock on the game's port
    // too; the one that asks to join under this test's name is ours.
    bool accept_our_client()
    {
        const std::string request = join_bytes("Typist");
        for (int knock = 0; knock < 20; ++knock) {
            if (!raw_host.accept_from(listener, kProgramWaitMs)) return false;
            if (raw_host.receive(request.size(), kProgramWaitMs) == request) return true;
        }
        return false;
    }

    // Chat lines typed as fast as the client takes them (Enter opens the
    // line, a letter and Enter send it) until the client's socket toward the
    // host has stopped growing for a second.
    bool type_until_the_socket_is_full()
    {
        const KeyCode enter = XKeysymToKeycode(display, XK_Return);
        const KeyCode letter = XKeysymToKeycode(display, XK_a);
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        FillWatch fill;
        const Clock::time_point start = Clock::now();
        while (seconds_since(start) < 60) {
            for (KeyCode key : {enter, letter}) {
                XTestFakeKeyEvent(display, key, True, 0);
                XTestFakeKeyEvent(display, key, False, 0);
            }
            XSync(display, False);
            usleep(15000);
            fill.look(raw_host.remote_port(), kGamePort);
            if (fill.most > 8192 && seconds_since(fill.last_growth) > 1.0) return true;
        }
        return false;
    }

    // A pixel inside the typing line's dark box, 48 above the bottom of the
    // 480-high window, which Enter shows and hides.
    Rgb typing_box_pixel() { return window_pixel(display, window, 120, 480 - 48); }

    // The typing box once the client has drawn the last keys typed: a frame
    // still on its way could undo the toggle the test looks for.
    Rgb settled_typing_box_pixel()
    {
        Rgb last = typing_box_pixel();
        for (int step = 0; step < kProgramWaitMs / 150; ++step) {
            usleep(150000);
            const Rgb now = typing_box_pixel();
            if (now.r == last.r && now.g == last.g && now.b == last.b) break;
            last = now;
        }
        return last;
    }

    bool typing_box_changes_from(const Rgb& before)
    {
        for (int step = 0; step < kProgramWaitMs / 20; ++step) {
            const Rgb now = typing_box_pixel();
            if (now.r != before.r || now.g != before.g || now.b != before.b) return true;
            usleep(20000);
        }
        return false;
    }

    int listener = -1;
    LoopbackPeer raw_host;
    Window window = 0;
    std::atomic<bool> talking{false};
    std::thread talker;
};

}  // namespace

TEST_F(StalledPeerHostTest, AFlooderThatNeverReadsIsBootedFromTheLobbyWhileTheHostGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(flood_the_host(false));
}

TEST_F(StalledPeerHostTest, AFlooderThatNeverReadsIsBootedFromTheRaceWhileTheHostGoesOn)
{
    ASSERT_NO_FATAL_FAILURE(flood_the_host(true));
}

TEST_F(StalledHostClientTest, AClientWhoseHostStopsReadingKeepsDrawingAndLeavesOnEscape)
{
    ASSERT_NO_FATAL_FAILURE(join_the_raw_host());
    ASSERT_TRUE(type_until_the_socket_is_full()) << client.output();
    const Rgb before = settled_typing_box_pixel();
    press_keys(display, window, {XK_Return});
    EXPECT_TRUE(typing_box_changes_from(before)) << "the window stopped drawing";
    press_keys(display, window, {XK_Escape});
    EXPECT_TRUE(wait_for_pixel(display, window, kServerX - kLeftOfText, kServerY, kButtonBlue))
        << "Escape did not leave\n"
        << client.output();
    EXPECT_EQ(count_of(client.output(), "Server stopped taking data"), 0) << "it left by itself, not on Escape";

    client.terminate();
    EXPECT_EQ(client.exit_code(), 0) << client.output();
    EXPECT_EQ(count_of(client.output(), "ERROR"), 0) << client.output();
}

TEST_F(StalledHostClientTest, AClientWhoseHostStopsReadingLeavesByItselfAfterFiveSeconds)
{
    ASSERT_NO_FATAL_FAILURE(join_the_raw_host());
    ASSERT_TRUE(type_until_the_socket_is_full()) << client.output();
    EXPECT_TRUE(client.wait_for_output("WARNING: Server stopped taking data: leaving\n")) << client.output();
    EXPECT_TRUE(wait_for_pixel(display, window, kServerX - kLeftOfText, kServerY, kButtonBlue)) << client.output();

    client.terminate();
    EXPECT_EQ(client.exit_code(), 0) << client.output();
    EXPECT_EQ(count_of(client.output(), "ERROR"), 0) << client.output();
}
