// A leader that leaves the track keeps first place, and the cart still on
// the grid is second, on the wire too: a real host under X and a raw peer on
// 127.0.0.1 in its race. The peer puts its cart on the ribbon ahead of the
// grid, then lifts it well above, and reads the ranks of the cart updates
// and rosters the host sends meanwhile. And a race that ended with the peer
// in the last third of its lap leaves no lap behind: the host's Escape ends
// it, the start button starts the next, and the peer reads the laps and
// sections the host sends in that one.
#include <X11/keysym.h>

#include <chrono>
#include <memory>
#include <set>
#include <string>

#include "game/world_step.h"
#include "tests/game/raw_peer.h"
#include "tests/track/track_top.h"

namespace {

constexpr int kHostSlot = 0;
constexpr int kPeerSlot = 1;
// About 20 m past the start line, ahead of every cart on the grid.
constexpr double kAhead = 0.97;
// Halfway round, and five sixths of the way round: sections 1 and 2.
constexpr double kHalfway = 0.5;
constexpr double kLastThird = 1.0 / 6;
// The ribbon holds a cart up to 5 m above its face.
constexpr double kAboveTheRibbon = 10;
// A roster every half second, so a few come while the cart is off the track.
constexpr char kRosterQuarters = 2;
// Well within the 5 s of silence after which the host boots a peer.
constexpr int kPostMs = 50;
constexpr int kUpdatesWanted = 6;
constexpr int kRostersWanted = 2;

// The two players' ranks as the standings show them, from 1.
std::string places(int host_rank, int peer_rank)
{
    return "Hosty " + std::to_string(host_rank + 1) + ", Seeker " + std::to_string(peer_rank + 1);
}

// The two players' laps and sections as a roster has them.
std::string laps_and_sections(int host_laps, int host_section, int peer_laps, int peer_section)
{
    return "Hosty lap " + std::to_string(host_laps) + " section " + std::to_string(host_section) + ", Seeker lap " +
           std::to_string(peer_laps) + " section " + std::to_string(peer_section);
}

std::string laps_and_sections(const czrpRoster& roster)
{
    const czrRosterEntry host = roster.entry(kHostSlot);
    const czrRosterEntry peer = roster.entry(kPeerSlot);
    return laps_and_sections(host.laps, host.section, peer.laps, peer.section);
}

bool read_update(__cNetPacketBase& packet, czrCarsUpdate* update)
{
    return packet.type == kPacketUpdateCars && static_cast<czrpUpdateCars&>(packet).read(update);
}

// Whether the update has the cart within a metre of point.
bool cart_near(const czrCarsUpdate& update, uint32_t sync_id, const cVector3D& point)
{
    for (const czrSyncEntry& entry : update.carts) {
        if (entry.sync_id != sync_id) continue;
        cVantorSyncedPhysicsObject state;
        state.read_sync_state(entry.state, czrpUpdateCars::kCartStateSize, 0.0f);
        return (state.position - point).length() < 1;
    }
    return false;
}

// What the host sent once its cart updates had the peer's cart off the track.
struct OffTrackStandings {
    bool seen_off = false;
    int updates = 0;
    int rosters = 0;
    std::set<std::string> update_places;
    std::set<std::string> roster_places;
};

// What the host sent in the next race once its cart updates had the peer's
// cart where the peer put it.
struct NextRaceLaps {
    bool seen_placed = false;
    int rosters = 0;
    int next_laps = 0;
    std::set<std::string> roster_laps;
};

class StandingsWireTest : public RawPeerTest {
protected:
    // The peer's cart as the racetrack load has it; null when there is none.
    static czrCar* peer_cart(const czrRacetrack& racetrack)
    {
        for (const auto& cart : racetrack.carts)
            if (cart->owner_slot == kPeerSlot) return cart.get();
        return nullptr;
    }

    // Hosts as "Hosty", lets the peer in and starts the race: its load in
    // *racetrack, and the track every peer builds from the words alone.
    std::unique_ptr<czrTrack> start_race(Window* window, czrRacetrack* racetrack)
    {
        write_file(host / "local/zorblitrally.prf", settings_for("Hosty", kRosterQuarters));
        start_race_with_peer(host, peer, stream, window, racetrack);
        return HasFatalFailure() ? nullptr : czrTrack::create(racetrack->track);
    }

    // The body of a cart on the top face at fraction f of the track; the
    // cart is put there too.
    static ctPhysicsObject on_ribbon(const czrTrack& track, double f, czrCar* cart, cVector3D* up = nullptr)
    {
        ctPhysicsObject body;
        body.position = track_top_at(track, f, up);
        body.rotation = track.frame_at(f).rotation;
        cart->position = body.position;
        return body;
    }

    // Sends post every kPostMs and hands take every packet the host sends,
    // until take is satisfied or timeout_ms is up.
    template <class Take>
    bool post_until(__cNetPacketBase& post, int timeout_ms, Take take)
    {
        using Clock = std::chrono::steady_clock;
        const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
        while (Clock::now() < end) {
            if (!peer.send_bytes(post.get_wire_data(), post.get_wire_size())) return false;
            const auto next_post = Clock::now() + std::chrono::milliseconds(kPostMs);
            while (Clock::now() < next_post) {
                __cNetPacketBase* packet = stream.next(10);
                if (!packet) continue;
                const bool done = take(*packet);
                packet->destroy();
                if (done) return true;
            }
        }
        return false;
    }

    // The peer's cart on the ribbon at fraction f, posted until the host's
    // rosters have the peer in section.
    void post_in_section(const czrTrack& track, czrCar* cart, double f, int section)
    {
        czrpPostMovement movement(on_ribbon(track, f, cart));
        ASSERT_TRUE(hold_to_track(track, cart)) << f;
        ASSERT_EQ(track_section_of(cart->position), section) << f;
        ASSERT_TRUE(post_until(movement, kProgramWaitMs, [section](__cNetPacketBase& packet) {
            return packet.type == kPacketRoster && static_cast<czrpRoster&>(packet).entry(kPeerSlot).section == section;
        })) << "the host never had the peer in section " << section << "\n" << host.output();
    }

    // The host's Escape ends the race, its start button starts the next one:
    // the racetrack load of that one in *racetrack. The peer keeps talking.
    void end_and_start_again(Window window, czrRacetrack* racetrack)
    {
        czrpBare keep_alive(kPacketKeepAlive);
        press_keys(display, window, {XK_Escape});
        ASSERT_TRUE(post_until(keep_alive, kProgramWaitMs,
                               [](__cNetPacketBase& packet) { return packet.type == kPacketBackToLobby; }))
            << "Escape did not end the race\n" << host.output();
        ASSERT_TRUE(wait_for_pixel(display, window, kStartX - 126, kStartY, kButtonBlue)) << host.output();
        ASSERT_TRUE(click_until(display, window, kStartX, kStartY, [&] {
            return post_until(keep_alive, kProgramWaitMs / 3, [racetrack](__cNetPacketBase& packet) {
                return packet.type == kPacketRacetrackLoad && static_cast<czrpRacetrackLoad&>(packet).read(racetrack);
            });
        })) << "no second race\n" << host.output();
    }

    LoopbackPeer peer;
    HostStream stream{peer};
};

}  // namespace

TEST_F(StandingsWireTest, ALeaderOffTheTrackKeepsFirstPlaceAndTheHostOnTheGridIsSentSecond)
{
    Window window = 0;
    czrRacetrack racetrack;
    const std::unique_ptr<czrTrack> track = start_race(&window, &racetrack);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(track);
    czrCar* cart = peer_cart(racetrack);
    ASSERT_NE(cart, nullptr);

    cVector3D up;
    ctPhysicsObject body = on_ribbon(*track, kAhead, cart, &up);
    ASSERT_TRUE(hold_to_track(*track, cart)) << "the lead is taken on the ribbon";
    czrpPostMovement on_track(body);
    ASSERT_TRUE(post_until(on_track, kProgramWaitMs, [](__cNetPacketBase& packet) {
        czrCarsUpdate update;
        return read_update(packet, &update) && update.ranks[kPeerSlot] == 0 && update.ranks[kHostSlot] == 1;
    })) << "the peer never led\n" << host.output();

    body.position = body.position + up * kAboveTheRibbon;
    cart->position = body.position;
    ASSERT_FALSE(hold_to_track(*track, cart)) << "no ribbon holds the cart up there";
    OffTrackStandings seen;
    czrpPostMovement off_track(body);
    const bool enough = post_until(off_track, kProgramWaitMs / 2, [&](__cNetPacketBase& packet) {
        czrCarsUpdate update;
        if (read_update(packet, &update)) {
            seen.seen_off = seen.seen_off || cart_near(update, cart->sync_id, body.position);
            if (!seen.seen_off) return false;
            ++seen.updates;
            seen.update_places.insert(places(update.ranks[kHostSlot], update.ranks[kPeerSlot]));
        } else if (seen.seen_off && packet.type == kPacketRoster) {
            const czrpRoster& roster = static_cast<czrpRoster&>(packet);
            ++seen.rosters;
            seen.roster_places.insert(places(roster.entry(kHostSlot).rank, roster.entry(kPeerSlot).rank));
        }
        return seen.updates >= kUpdatesWanted && seen.rosters >= kRostersWanted;
    });
    ASSERT_TRUE(enough) << "cart off the track seen " << seen.seen_off << ", then " << seen.updates
                        << " cart updates and " << seen.rosters << " rosters\n"
                        << host.output();
    const std::set<std::string> leader_kept_first{places(1, 0)};
    EXPECT_EQ(seen.update_places, leader_kept_first) << "in the cart updates";
    EXPECT_EQ(seen.roster_places, leader_kept_first) << "in the rosters";

    host.terminate();
    EXPECT_EQ(host.exit_code(), 0) << host.output();
    EXPECT_EQ(count_of(host.output(), "ERROR"), 0) << host.output();
}

TEST_F(StandingsWireTest, TheRaceAfterOneEndedInTheLastThirdStartsBothPlayersOnTheFirstLap)
{
    Window window = 0;
    czrRacetrack first;
    const std::unique_ptr<czrTrack> first_track = start_race(&window, &first);
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(first_track);
    ASSERT_NE(peer_cart(first), nullptr);
    ASSERT_NO_FATAL_FAILURE(post_in_section(*first_track, peer_cart(first), kHalfway, 1));
    ASSERT_NO_FATAL_FAILURE(post_in_section(*first_track, peer_cart(first), kLastThird, 2));

    czrRacetrack second;
    ASSERT_NO_FATAL_FAILURE(end_and_start_again(window, &second));
    const std::unique_ptr<czrTrack> second_track = czrTrack::create(second.track);
    ASSERT_TRUE(second_track);
    czrCar* cart = peer_cart(second);
    ASSERT_NE(cart, nullptr);
    const ctPhysicsObject body = on_ribbon(*second_track, kAhead, cart);
    ASSERT_TRUE(hold_to_track(*second_track, cart));
    ASSERT_EQ(track_section_of(cart->position), 0);
    czrpPostMovement movement(body);
    NextRaceLaps seen;
    const bool enough = post_until(movement, kProgramWaitMs / 2, [&](__cNetPacketBase& packet) {
        czrCarsUpdate update;
        if (read_update(packet, &update)) {
            seen.seen_placed = seen.seen_placed || cart_near(update, cart->sync_id, body.position);
        } else if (packet.type == kPacketNextLap) {
            ++seen.next_laps;
        } else if (packet.type == kPacketRoster) {
            if (seen.seen_placed) ++seen.rosters;
            seen.roster_laps.insert(laps_and_sections(static_cast<czrpRoster&>(packet)));
        }
        return seen.rosters >= kRostersWanted;
    });
    ASSERT_TRUE(enough) << "cart placed seen " << seen.seen_placed << ", then " << seen.rosters << " rosters\n"
                        << host.output();
    EXPECT_EQ(seen.next_laps, 0) << "a lap counted as the race started";
    EXPECT_EQ(seen.roster_laps, std::set<std::string>{laps_and_sections(0, 0, 0, 0)});

    host.terminate();
    EXPECT_EQ(host.exit_code(), 0) << host.output();
    EXPECT_EQ(count_of(host.output(), "ERROR"), 0) << host.output();
}
