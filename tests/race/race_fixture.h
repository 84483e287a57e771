// A hosted race over the fake tables: the host in slot 0, optional clients
// on their own transport ids, carts spawned on a real track.
#pragma once

#include <cmath>

#include "base/matrix.h"
#include "base/random.h"
#include "game/projectile.h"
#include "game/race.h"
#include "game/track.h"
#include "game/world_step.h"
#include "tests/game_play/game_fixture.h"
#include "tests/track/track_top.h"

class RaceFixture : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        raceClock = RaceClock();
    }
    void TearDown() override
    {
        clear_projectiles();
        projectileTypes.clear();
        HostFixture::TearDown();
    }

    // A client in slot index, reached on transport id.
    void seat(int index, uint16_t id)
    {
        slot(index).state = kSlotInUse;
        slot(index).link.connection_id = id;
        slot(index).link.send_id = id;
    }

    // Carts for the seated players on the track of a fixed seed, in the host race.
    void start(int16_t seed = 1234)
    {
        __mRandom_srand(uint32_t(seed));
        spawn_carts(game.get());
        game->program_state = kStateHostRace;
        fake_game().sends.clear();
    }

    czrCar* cart_of(int index) { return cartRegistry.find(slot(index).car_sync_id); }

    // The centre of the ribbon's top face at fraction f, its up and side.
    cVector3D top_at(double f, cVector3D* up = nullptr, cVector3D* side = nullptr) const
    {
        return track_top_at(*game->track, f, up, side);
    }

    double half_width_at(double f) const { return game->track->frame_at(f).scale.x; }
};

// A point on the ring at angle a from the x axis, counted toward -z: the
// direction the race runs.
inline cVector3D ring_point(double a, double radius = 100)
{
    return cVector3D(std::cos(a) * radius, 0, -std::sin(a) * radius);
}
