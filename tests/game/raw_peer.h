// A raw peer on 127.0.0.1 in a real host's session: the program hosts under
// X, the peer joins its lobby with a join request of its own, and what the
// host sends is cut into packets by the game's own connection.
#pragma once

#include <chrono>
#include <string>

#include "game/packets.h"
#include "tests/game/two_programs.h"
#include "tests/game_packets/game_packet_support.h"
#include "tests/net/loopback_peer.h"

constexpr uint16_t kGamePort = 2052;

class HostStream {
public:
    explicit HostStream(LoopbackPeer& peer) : peer(peer) {}

    // The next packet, null when none came within timeout_ms. The caller destroys it.
    __cNetPacketBase* next(int timeout_ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        __cNetPacketBase* packet = receiver.receive({});
        while (!packet && std::chrono::steady_clock::now() < end) {
            const std::string bytes = peer.receive(4096, 10);
            packet = receiver.receive(Bytes(bytes.begin(), bytes.end()));
        }
        return packet;
    }

    // True once the racetrack load has come, within timeout_ms; its track
    // and carts in *racetrack.
    bool racetrack(czrRacetrack* racetrack, int timeout_ms)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
        while (std::chrono::steady_clock::now() < end) {
            __cNetPacketBase* packet = next(10);
            if (!packet) continue;
            const bool found =
                packet->type == kPacketRacetrackLoad && static_cast<czrpRacetrackLoad*>(packet)->read(racetrack);
            packet->destroy();
            if (found) return true;
        }
        return false;
    }

private:
    LoopbackPeer& peer;
    Receiver receiver;
};

class RawPeerTest : public TwoProgramsTest {
protected:
    // Starts the program (its settings written), hosts, lets the peer in as
    // "Seeker" in slot 1 and starts the race: the host's window in *window,
    // the racetrack load the peer is sent in *racetrack.
    void start_race_with_peer(ProgramCopy& program, LoopbackPeer& peer, HostStream& stream, Window* window,
                              czrRacetrack* racetrack)
    {
        *window = show(program, 0);
        ASSERT_NE(*window, 0u) << program.output();
        ASSERT_TRUE(wait_for_pixel(display, *window, kHostGameX - kLeftOfText, kHostGameY, kButtonBlue))
            << program.output();
        ASSERT_TRUE(click_until(display, *window, kHostGameX, kHostGameY, [&] {
            return wait_for_pixel(display, *window, kStartX - 126, kStartY, kButtonBlue);
        })) << program.output();

        ASSERT_TRUE(peer.connect_to(kGamePort));
        czrpRequestJoin join("Seeker", 1);
        ASSERT_TRUE(peer.send_bytes(join.get_wire_data(), join.get_wire_size()));
        ASSERT_TRUE(program.wait_for_output("Seeker joined in slot 1\n")) << program.output();
        ASSERT_TRUE(click_until(display, *window, kStartX, kStartY,
                                [&] { return stream.racetrack(racetrack, kProgramWaitMs / 3); }))
            << program.output();
    }
};
