// Each start of the program draws other tracks: a player hosts under X, a raw
// peer on 127.0.0.1 joins the lobby, the host starts the race, and the peer
// reads the track words of the racetrack load it is sent. Two starts of the
// program, one after the other, must send two different seeds.
#include "tests/game/raw_peer.h"

namespace {

class SessionSeedTest : public RawPeerTest {
protected:
    // One start of the program: host, let the peer in, start the race.
    void first_race_words(TrackLoadRecord* words)
    {
        ProgramCopy program({"trellis.so", "wirelink.so", "murmur.so", "meshferry.so"}, k640x480);
        write_file(program / "local/zorblitrally.prf", settings_for("Hosty"));
        LoopbackPeer peer;
        HostStream stream(peer);
        Window window = 0;
        czrRacetrack racetrack;
        start_race_with_peer(program, peer, stream, &window, &racetrack);
        if (HasFatalFailure()) return;
        *words = racetrack.track;

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
