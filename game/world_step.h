// One fixed step of the world: projectiles home, fly, leave trails and
// expire; carts are held to the track's top face while on it, pushed apart
// (host race only), parked at the centre inside the planet, and moved.
#pragma once

class cGame;
class czrCar;
class czrProjectile;
class czrTrack;
struct czrProjectileType;

constexpr double kPlanetRadiusSquared = 3025;  // radius 55

void world_step(cGame* game, float dt);

// Finds the cart on the track: its track fraction and surface point, and,
// when it is on the top face, snaps it there, levels it along the face and
// keeps the place as its last on-track one. True when on the track.
bool hold_to_track(const czrTrack& track, czrCar* car);

// Turns the nose toward the target cart at the type's turn rate; the speed
// stays, the velocity follows the nose.
void projectile_home(czrProjectile* projectile, const czrProjectileType& type, float dt);
// Thrust and gain, then the move; the life runs down by dt.
void projectile_move(czrProjectile* projectile, const czrProjectileType& type, float dt);
