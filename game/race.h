// The race: fixed steps of the world, the local cart's control and movement
// posts, the camera behind it, and, on the host, progress, sections, laps,
// ranks, respawns and cart contacts.
#pragma once

#include <cstdint>

class cGame;
class czrCar;
struct player_record;

// The world's fixed step, as single precision gives it (0.009999999776482582).
constexpr float kStepSeconds = 0.01f;
// The most steps one frame runs: about a second, so a long stall is dropped
// instead of frozen in catch-up.
constexpr int kMaxStepsPerFrame = 100;
constexpr float kMovementPostSeconds = 0.125f;

// The race update's statics; they persist across races.
struct RaceClock {
    float step_accumulator = 0;
    float post_timer = 0;
};
extern RaceClock raceClock;

// The race's own part of a frame, after the network: the local cart, the
// fixed steps, the camera, the host's standings and the collection of
// removed carts and projectiles.
void race_frame(cGame* game, float dt);

// Adds the frame to the accumulator and takes off one step while it stays
// above 0; returns the steps to run. A frame of 0.035 s from 0 runs four and
// leaves about -0.005.
int take_fixed_steps(float* accumulator, float dt);

// The local player's record and cart; null while there is none (no slot
// yet, or its cart is not registered).
player_record* own_record(cGame* game);
czrCar* own_cart(cGame* game);

// Puts the cart back on the track at its last on-track place and tells
// every player (host only). Nothing happens for an unknown cart or without a
// track.
void respawn_cart(cGame* game, uint32_t sync_id);
// The host's contact between two distinct carts: the elastic impulse is
// applied to both velocities and sent to the owners of remote carts.
void cart_contact(cGame* game, czrCar* a, czrCar* b);
// The local cart's controller, its movement posts (client) and the respawn key.
void control_own_cart(cGame* game, float dt, player_record* record);

// The ranking order: more laps, then the higher section, then more progress.
bool rank_before(const cGame* game, int a, int b);
// Rank of a below rank of b.
bool rank_less(const cGame* game, int a, int b);
// The host's measure of every on-track cart: progress, section and laps
// (telling the lapping player), then the ranks. A joined player off the
// track keeps his rank; the carts on the track take, in ranking order, the
// places nobody keeps, so no two joined players ever share a rank.
void update_standings(cGame* game);
// The first view behind and above the local cart, while the cart is between
// radius 55 and 210 from the centre.
void place_camera(cGame* game, const czrCar& car);
