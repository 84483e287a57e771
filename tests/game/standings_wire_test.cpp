// A leader that leaves the track keeps first place, and the cart still on
// the grid is second, on the wire too: a real host under X and a raw peer on
// 127.0.0.1 in its race. The peer puts its cart on the ribbon ahead of the
// grid, then lifts it well above, and reads the ranks of the cart updates
// and rosters the host sends meanwhile.
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

class StandingsWireTest : public RawPeerTest {
protected:
    // The peer's cart as the racetrack load has it; null when there is none.
    static czrCar* peer_cart(const czrRacetrack& racetrack)
    {
        for (const auto& cart : racetrack.carts)
            if (cart->owner_slot == kPeerSlot) return cart.get();
        return nullptr;
    }

    // Posts the body as the peer's movement every kPostMs and hands take
    // every packet the host sends, until take is satisfied or timeout_ms is up.
    template <class Take>
    bool post_until(const ctPhysicsObject& body, int timeout_ms, Take take)
    {
        using Clock = std::chrono::steady_clock;
        czrpPostMovement movement(body);
        const auto end = Clock::now() + std::chrono::milliseconds(timeout_ms);
        while (Clock::now() < end) {
            if (!peer.send_bytes(movement.get_wire_data(), movement.get_wire_size())) return false;
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

    LoopbackPeer peer;
    HostStream stream{peer};
};

}  // namespace

TEST_F(StandingsWireTest, ALeaderOffTheTrackKeepsFirstPlaceAndTheHostOnTheGridIsSentSecond)
{
    write_file(host / "local/zorblitrally.prf", settings_for("Hosty", kRosterQuarters));
    Window window = 0;
    czrRacetrack racetrack;
    start_race_with_peer(host, peer, stream, &window, &racetrack);
    ASSERT_FALSE(HasFatalFailure());
    // Every peer builds the race's track from the words alone.
    const std::unique_ptr<czrTrack> track = czrTrack::create(racetrack.track);
    ASSERT_TRUE(track);
    czrCar* cart = peer_cart(racetrack);
    ASSERT_NE(cart, nullptr);

    ctPhysicsObject body;
    cVector3D up;
    body.position = track_top_at(*track, kAhead, &up);
    body.rotation = track->frame_at(kAhead).rotation;
    cart->position = body.position;
    ASSERT_TRUE(hold_to_track(*track, cart)) << "the lead is taken on the ribbon";
    ASSERT_TRUE(post_until(body, kProgramWaitMs, [](__cNetPacketBase& packet) {
        czrCarsUpdate update;
        return read_update(packet, &update) && update.ranks[kPeerSlot] == 0 && update.ranks[kHostSlot] == 1;
    })) << "the peer never led\n" << host.output();

    body.position = body.position + up * kAboveTheRibbon;
    cart->position = body.position;
    ASSERT_FALSE(hold_to_track(*track, cart)) << "no ribbon holds the cart up there";
    OffTrackStandings seen;
    const bool enough = post_until(body, kProgramWaitMs / 2, [&](__cNetPacketBase& packet) {
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
