#include "game/world_step.h"

#include <algorithm>
#include <cmath>

#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/random.h"
#include "base/spline.h"
#include "framework/program.h"
#include "game/game.h"
#include "game/projectile.h"
#include "game/race.h"
#include "game/race_start.h"
#include "game/track.h"

static const double kTwoPi = 6.2831854820251465;  // 2 pi in single precision
static const double kTrailSpeed = 200.0;
static const double kTrailSpread = 100.0;
static const double kLowestAboveFace = -5.0;  // depth is minus the height above the face
static const double kHighestBelowFace = 0.1;

namespace {

cMatrix3D matrix_of(const cQuaternion& rotation)
{
    cMatrix3D m;
    __cMatrix3d_from_quaternion(&m, &rotation);
    return m;
}

cVector3D column(const cMatrix3D& m, int c)
{
    return cVector3D(m.m[c], m.m[3 + c], m.m[6 + c]);
}

// b (a . b) / (b . b); zero when either is zero.
cVector3D projection(const cVector3D& a, const cVector3D& b)
{
    return b * __cVector3d_get_scalar_for_projection_onto(&a, &b);
}

bool is_zero(const cVector3D& v)
{
    return v.x == 0 && v.y == 0 && v.z == 0;
}

// Levels the cart along the face; a nose straight up or down the face's
// normal leaves no forward direction, and the rotation stays.
void level_along(czrCar* car, const cVector3D& up)
{
    const cVector3D back = column(matrix_of(car->rotation), 2);
    const cVector3D forward = back - projection(back, up);
    if (is_zero(forward)) return;
    cMatrix3D m;
    __cMatrix3d_from_forward_and_up(&m, &forward, &up);
    __cQuaternion_from_matrix(&car->rotation, &m);
}

// A cart whose owner is not racing stands still; an owner outside the
// sixteen slots names no one.
bool cart_moves(cGame* game, const czrCar& car)
{
    if (car.owner_slot == kNoCartOwner) return true;
    const player_record* owner = game->player(car.owner_slot);
    return owner && owner->state == kSlotInUse;
}

void add_trail(cGame* game, const czrProjectile& projectile)
{
    const float s = float(__mRandom_rand()) / float(kRandomMax) * 0.5f + 0.5f;
    const cVector3D offset = random_offset() * kTrailSpread;
    const cVector3D velocity =
        offset + (projectile.velocity - column(matrix_of(projectile.rotation), 2) * kTrailSpeed);
    game->particles.add(projectile.position, velocity, cColor(0.5f, 0.5f, 0.5f, 1.0f), 1.0f, s);
}

void step_projectiles(cGame* game, float dt)
{
    for (const auto& entry : projectileRegistry.objects.walk()) {
        czrProjectile* projectile = entry.second;
        const czrProjectileType* type = projectile_type(*projectile);
        if (!type) {
            projectileRegistry.remove(entry.first);
            continue;
        }
        projectile_home(projectile, *type, dt);
        projectile_move(projectile, *type, dt);
        if (type->trail) add_trail(game, *projectile);
        if (!(projectile->param_c > 0)) projectileRegistry.remove(entry.first);
    }
}

void step_carts(cGame* game, float dt)
{
    if (!game->track) return;
    const bool host_race = game->program_state == kStateHostRace;
    for (const auto& entry : cartRegistry.objects.walk()) {
        czrCar* car = entry.second;
        if (!cart_moves(game, *car)) continue;
        const bool on_track = hold_to_track(*game->track, car);
        if (host_race)
            for (const auto& other : cartRegistry.objects.walk())
                if (other.second != car) cart_contact(game, car, other.second);
        if (car->position.length_squared() < kPlanetRadiusSquared) car->position = cVector3D(0, 0, 0);
        cart_dynamics_step(car, &dt, on_track);
    }
}

}  // namespace

bool hold_to_track(const czrTrack& track, czrCar* car)
{
    const cSpline3D& spline = track.positions();
    const double t = __cSpline3d_get_value_closest_to(&spline, &car->position, 0.001, 25);
    car->track_fraction = t / spline.count;
    const czrTrackFrame frame = track.frame_at(car->track_fraction);
    const cMatrix3D m = matrix_of(frame.rotation);
    const cVector3D side = column(m, 0);
    const cVector3D up = column(m, 1);
    const cVector3D centre = frame.position + up * frame.scale.y;
    const cVector3D d = car->position - centre;
    const cVector3D lateral = projection(d, side);
    car->surface_point = car->position - projection(d, up);
    const double depth = dot(car->surface_point - car->position, up);
    const bool on_track =
        depth > kLowestAboveFace && depth < kHighestBelowFace && lateral.length() < frame.scale.x;
    if (!on_track) return false;
    car->position = car->surface_point;
    level_along(car, up);
    car->last_on_track = car->position;
    return true;
}

void projectile_home(czrProjectile* projectile, const czrProjectileType& type, float dt)
{
    if (type.turn_rate == 0) return;
    const czrCar* target = cartRegistry.find(projectile->param_b);
    if (!target) return;
    const cMatrix3D m = matrix_of(projectile->rotation);
    const cVector3D nose = column(m, 2);
    const cVector3D to_target = (target->position - projectile->position).normalized();
    const cVector3D up = column(m, 1);
    cMatrix3D facing;
    __cMatrix3d_from_forward_and_up(&facing, &to_target, &up);
    cQuaternion goal;
    __cQuaternion_from_matrix(&goal, &facing);
    const double a = __cVector3d_get_angle_between(&nose, &to_target);
    const double turn = std::min(std::max(double(type.turn_rate) * dt, 0.0), 1.0) * kTwoPi;
    // At least the angle left: snap, which also covers a = 0 (no division by it).
    if (turn >= a) {
        projectile->rotation = goal;
    } else {
        const cQuaternion from = projectile->rotation;
        __cQuaternion_slerp(&projectile->rotation, &from, &goal, turn / a);
    }
    projectile->velocity = column(matrix_of(projectile->rotation), 2) * projectile->velocity.length();
}

void projectile_move(czrProjectile* projectile, const czrProjectileType& type, float dt)
{
    if (type.thrust != 0 || type.velocity_gain != 0) {
        const cVector3D push = column(matrix_of(projectile->rotation), 2) * double(type.thrust) +
                               projectile->velocity * double(type.velocity_gain);
        projectile->velocity = projectile->velocity + push * double(dt);
    }
    projectile->position = projectile->position + projectile->velocity * double(dt);
    projectile->param_c -= dt;
}

void world_step(cGame* game, float dt)
{
    step_projectiles(game, dt);
    step_carts(game, dt);
}
