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

// Cuts what the host sends into packets, with the game's own connection,
// until the racetrack load comes or the wait is over.
bool receive_track_words(LoopbackPeer& peer, TrackLoadRecord* words)
{
    Receiver receiver;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(kProgramWaitMs);
    while (std::chrono::steady_clock::now() < end) {
        __cNetPacketBase* packet = receiver.receive(bytes_of(peer.receive(4096, 50)));
        while (packet) {
            czrRacetrack racetrack;
            const bool found = packet->type == kPacketRacetrackLoad &&
                               static_cast<czrpRacetrackLoad*>(packet)->read(&racetrack);
            packet->destroy();
            if (found) {
                *words = racetrack.track;
                return true;
            }
            packet = receiver.receive({});
        }
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
        click_window(display, window, kHostGameX, kHostGameY);
        ASSERT_TRUE(wait_for_pixel(display, window, kStartX - 126, kStartY, kButtonBlue)) << program.output();

        LoopbackPeer peer;
        ASSERT_TRUE(peer.connect_to(kGamePort));
        czrpRequestJoin join("Seeker", 1);
        ASSERT_TRUE(peer.send_bytes(join.get_wire_data(), join.get_wire_size()));
        ASSERT_TRUE(program.wait_for_output("Seeker joined in slot 1\n")) << program.output();
        click_window(display, window, kStartX, kStartY);
        ASSERT_TRUE(receive_track_words(peer, words)) << program.output();

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
