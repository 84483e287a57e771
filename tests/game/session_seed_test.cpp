// Each start of the program draws other tracks: a player hosts under X, a raw
// peer on 127.0.0.1 joins the lobby, the host starts the race, and the peer
// reads the track words of the racetrack load it is sent. Two starts of the
// program, one after the other, must send two different seeds.
#include <chrono>
#include <memory>

#include "game/packets.h"
#include "tests/game/two_programs.h"
#include "tests/game_packets/game_packet_support.h"
#include "tests/net/loopback_peer.h"

namespace {

constexpr uint16_t kGamePort = 2052;

Bytes bytes_of(const std::string& text)
{
    return Bytes(text.begin(), text.end());
}

// What the host sends, cut into packets by the game's own connection.
class HostStream {
public:
    explicit HostStream(LoopbackPeer& peer) : peer(peer) {}

    // True once the racetrack load has come, within timeout_ms; its words in *words.
    bool track_words(TrackLoadRecord* words, int timeout_ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        while (std::chrono::steady_clock::now() < end)
            for (__cNetPacketBase* packet = receiver.receive(bytes_of(peer.receive(4096, 50))); packet;
                 packet = receiver.receive({}))
                if (racetrack_words(packet, words)) return true;
        return false;
    }

private:
    // Takes the packet.
    static bool racetrack_words(__cNetPacketBase* packet, TrackLoadRecord* words)
    {
        czrRacetrack racetrack;
        const bool found =
            packet->type == kPacketRacetrackLoad && static_cast<czrpRacetrackLoad*>(packet)->read(&racetrack);
        packet->destroy();
        if (found) *words = racetrack.track;
        return found;
    }

    LoopbackPeer& peer;
    Receiver receiver;
};

// A click can land on a window that another test has just opened over ours:
// raise ours and click again until the click has taken, three times at most.
template <class Took>
bool click_until(Display* display, Window window, int x, int y, Took took)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        place_window(display, window, 0, kWindowTop);
        click_window(display, window, x, y);
        if (took()) return true;
    }
    return false;
}

class SessionSeedTest : public TwoProgramsTest {
protected:
    // One start of the program: host, let the peer in, start the race.
    void first_race_words(TrackLoadRecord* words)
    {
        ProgramCopy program({"trellis.so", "wirelink.so", "murmur.so", "meshferry.so"}, k640x480);
        write_file(program / "local/zorblitrally.prf", settings_for("Hosty"));
        const Window window = show(program, 0);
        ASSERT_NE(window, 0u) << program.output();
        ASSERT_TRUE(wait_for_pixel(display, window, kHostGameX - kLeftOfText, kHostGameY, kButtonBlue))
            << program.output();
        ASSERT_TRUE(click_until(display, window, kHostGameX, kHostGameY, [&] {
            return wait_for_pixel(display, window, kStartX - 126, kStartY, kButtonBlue);
        })) << program.output();

        LoopbackPeer peer;
        ASSERT_TRUE(peer.connect_to(kGamePort));
        czrpRequestJoin join("Seeker", 1);
        ASSERT_TRUE(peer.send_bytes(join.get_wire_data(), join.get_wire_size()));
        ASSERT_TRUE(program.wait_for_output("Seeker joined in slot 1\n")) << program.output();
        HostStream stream(peer);
        ASSERT_TRUE(click_until(display, window, kStartX, kStartY,
                                [&] { return stream.track_words(words, kProgramWaitMs / 3); }))
            << program.output();

        program.terminate();
        EXPECT_EQ(program.exit_code(), 0) << program.output();
        EXPECT_EQ(count_of(program.output(), "ERROR"), 0) << program.output();
    }
};

}  // namespace

TEST_F(SessionSeedTest, TwoStartsOfTheProgramHostTwoDifferentFirstTracks)
{
    TrackLoadRecord first, second;
    first_race_words(&first);
    ASSERT_FALSE(HasFatalFailure());
    first_race_words(&second);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(first.node_count, 20);
    EXPECT_EQ(second.node_count, 20);
    EXPECT_NE(first.seed, second.seed) << "both starts sent seed " << first.seed;
}
