#include "game/race.h"

#include <algorithm>
#include <bitset>
#include <cmath>
#include <string>

#include "base/matrix.h"
#include "base/quaternion.h"
#include "base/spline.h"
#include "game/cart.h"
#include "game/control_bindings.h"
#include "game/game.h"
#include "game/network_play.h"
#include "game/packets.h"
#include "game/race_start.h"
#include "game/track.h"
#include "game/world_step.h"
#include "game/projectile.h"

RaceClock raceClock;

static const double kCameraFarSquared = 44100;  // radius 210
static const double kCameraNearSquared = 3025;  // radius 55, the planet
static const double kCameraTopSpeed = 40;
static const double kCameraPitch = double(-0.15707964f);  // -pi / 20 in single precision
static const double kOffTrackDistance = 1.0;

namespace {

// The spline parameter of the track's centre line nearest to point.
double nearest_parameter(const czrTrack& track, const cVector3D& point)
{
    return __cSpline3d_get_value_closest_to(&track.positions(), &point, 0.001, 25);
}

void tell_lap(cGame* game, int slot)
{
    player_record* record = game->player(slot);
    if (slot == game->own_slot) {
        game->add_chat_line("#C0888LAP " + std::to_string(int(record->laps) + 1));
        return;
    }
    czrpNextLap lap(record->laps);
    send_packet(record->link.connection_id, &record->link, &lap);
}

// The race runs towards falling spline parameter, so 1 - t / N grows from 0
// past the line to 1 at the line again. A cart still in the first third of
// its lap that measures in the last third stands behind the line (on the
// grid, or backed over it): that reading comes from the wrap at the line and
// counts back from the start of the lap, behind every cart past the line.
double counted_from_line(double progress, uint8_t section)
{
    return section == 0 && progress > 2.0 / 3 ? progress - 1 : progress;
}

void measure(cGame* game, int slot, const czrCar& car)
{
    player_record* record = game->player(slot);
    const double t = nearest_parameter(*game->track, car.last_on_track);
    record->progress = 1 - t / game->track->positions().count;
    const int s = track_section_of(car.position);
    if (s == record->section + 1) record->section = uint8_t(s);
    if (s == 0 && record->section >= 2) {
        record->section = 0;
        ++record->laps;
        tell_lap(game, slot);
    }
    record->progress = std::min(counted_from_line(record->progress, record->section), (record->section + 1) / 3.0);
}

// Stable, so equal records keep their slot order.
template <class Before>
void sort_slots(int* slots, int count, Before before)
{
    for (int i = 1; i < count; ++i) {
        const int slot = slots[i];
        int j = i;
        for (; j > 0 && before(slot, slots[j - 1]); --j) slots[j] = slots[j - 1];
        slots[j] = slot;
    }
}

// Every place a rank byte can name; no two joined players share one.
using Places = std::bitset<256>;

size_t first_free_place(const Places& taken, size_t from)
{
    for (size_t k = 0; k < taken.size(); ++k) {
        const size_t place = (from + k) % taken.size();
        if (!taken[place]) return place;
    }
    return from;
}

// Players not measured this step (off the track, or without a cart) keep
// their places. Two that keep one place (not ranked yet) are settled in
// ranking order: the later takes the next free place.
Places hold_kept_places(cGame* game, int* kept, int count)
{
    sort_slots(kept, count, [game](int a, int b) {
        const uint8_t rank_a = game->player(a)->rank;
        const uint8_t rank_b = game->player(b)->rank;
        return rank_a != rank_b ? rank_a < rank_b : rank_before(game, a, b);
    });
    Places taken;
    for (int i = 0; i < count; ++i) {
        player_record* record = game->player(kept[i]);
        record->rank = uint8_t(first_free_place(taken, record->rank));
        taken.set(record->rank);
    }
    return taken;
}

// The measured players, in ranking order, take the places nobody keeps.
void rank_measured(cGame* game, int* measured, int count, const Places& taken)
{
    sort_slots(measured, count, [game](int a, int b) { return rank_before(game, a, b); });
    size_t place = 0;
    for (int i = 0; i < count; ++i) {
        place = first_free_place(taken, place);
        game->player(measured[i])->rank = uint8_t(place++);
    }
}

}  // namespace

int take_fixed_steps(float* accumulator, float dt)
{
    *accumulator = float(float(*accumulator + float(dt + kStepSeconds)) - kStepSeconds);
    int steps = 0;
    while (100 * *accumulator > 0 && steps < kMaxStepsPerFrame) {
        ++steps;
        *accumulator = float(*accumulator - kStepSeconds);
    }
    // What a long stall left over is dropped rather than carried on, and a
    // frame time that is negative or not a number leaves nothing owed.
    if (!(*accumulator <= 0 && *accumulator > -kStepSeconds)) *accumulator = 0;
    return steps;
}

player_record* own_record(cGame* game)
{
    return game->player(game->own_slot);
}

czrCar* own_cart(cGame* game)
{
    const player_record* record = own_record(game);
    return record ? cartRegistry.find(record->car_sync_id) : nullptr;
}

void respawn_cart(cGame* game, uint32_t sync_id)
{
    czrCar* car = cartRegistry.find(sync_id);
    if (!car || !game->track) return;
    const double t = nearest_parameter(*game->track, car->last_on_track);
    const czrTrackFrame frame = game->track->frame_at(t / game->track->positions().count);
    car->position = frame.position + rotation_matrix(frame.rotation).column(1) * frame.scale.y;
    car->rotation = frame.rotation;
    car->velocity = car->motion_a = car->motion_b = car->motion_c = cVector3D();
    czrTeleport teleport;
    teleport.sync_id = sync_id;
    teleport.position = car->position;
    teleport.rotation = car->rotation;
    czrpCarTeleport packet(teleport);
    send_to_all(game, &packet);
}

static void push_owner(cGame* game, const czrCar& car, const cVector3D& impulse)
{
    if (car.owner_slot == kNoCartOwner || car.owner_slot == game->own_slot) return;
    player_record* owner = game->player(car.owner_slot);
    if (!owner) return;
    czrpImpulse packet(impulse);
    send_packet(owner->link.connection_id, &owner->link, &packet);
}

// The response leaves the velocities alone: the impulse alone takes each
// cart to its elastic velocity, and the owner's machine applies the same one.
void cart_contact(cGame* game, czrCar* a, czrCar* b)
{
    if (a == b) return;
    cVector3D impulse;
    b->collision_response(impulse, *a, false, true);
    if (impulse.length() == 0) return;
    push_owner(game, *b, -impulse);
    apply_impulse(b, -impulse);
    push_owner(game, *a, impulse);
    apply_impulse(a, impulse);
}

void control_own_cart(cGame* game, float dt, player_record* record)
{
    czrCar* car = cartRegistry.find(record->car_sync_id);
    if (!car) return;
    const bool typing = game->chat.typing;
    if (!typing && car->controller) car->controller->update(dt);
    if (game->program_state == kStateClientRace) {
        raceClock.post_timer -= dt;
        if (record->state == kSlotInUse && raceClock.post_timer < 0) {
            raceClock.post_timer = kMovementPostSeconds;
            const ctPhysicsObject body(*car);
            czrpPostMovement movement(body);
            send_packet(kAllConnections, &game->player(0)->link, &movement);
        }
    }
    if (typing || !respawn_pressed(&game->controller)) return;
    if (game->program_state == kStateClientRace) {
        czrpBare reset(kPacketRequestReset);
        send_packet(kAllConnections, &game->player(0)->link, &reset);
    } else {
        respawn_cart(game, record->car_sync_id);
    }
}

bool rank_before(const cGame* game, int a, int b)
{
    const player_record& first = game->players[a];
    const player_record& second = game->players[b];
    if (first.laps != second.laps) return first.laps > second.laps;
    if (first.section != second.section) return first.section > second.section;
    return first.progress > second.progress;
}

bool rank_less(const cGame* game, int a, int b)
{
    return game->players[a].rank < game->players[b].rank;
}

void update_standings(cGame* game)
{
    if (!game->track || game->track->positions().count == 0) return;
    int measured[kPlayerSlots];
    int kept[kPlayerSlots];
    int measured_count = 0;
    int kept_count = 0;
    for (int slot = 0; slot < kPlayerSlots; ++slot) {
        const player_record* record = game->player(slot);
        if (record->state < kSlotInUse) continue;
        const czrCar* car = cartRegistry.find(record->car_sync_id);
        if (!car || (car->position - car->last_on_track).length() >= kOffTrackDistance) {
            kept[kept_count++] = slot;
            continue;
        }
        measured[measured_count++] = slot;
        measure(game, slot, *car);
    }
    const Places taken = hold_kept_places(game, kept, kept_count);
    rank_measured(game, measured, measured_count, taken);
}

void place_camera(cGame* game, const czrCar& car)
{
    const double from_centre = car.position.length_squared();
    cUserView* view = game->views.get(0);
    if (!view || !(from_centre < kCameraFarSquared && from_centre > kCameraNearSquared)) return;
    const double speed = std::min(car.velocity.length(), kCameraTopSpeed);
    const double k = std::sqrt(speed / 3) / 3 + 0.5;
    const cMatrix3D m = rotation_matrix(car.rotation);
    view->camera_position = car.position + m.column(2) * (k * 3) + m.column(1) * (k + 1);
    view->camera_rotation = m;
    __cMatrix3d_pitch(&view->camera_rotation, kCameraPitch);
}

// A client that has not been welcomed yet has no cart of its own to drive.
void race_frame(cGame* game, float dt)
{
    const bool welcomed = game->program_state == kStateHostRace || game->join_phase == 1;
    czrCar* car = welcomed ? own_cart(game) : nullptr;
    if (car) {
        player_record* record = own_record(game);
        if (record->state == kSlotInUse)
            control_own_cart(game, dt, record);
        else
            car->motion_a = cVector3D();
    }
    const int steps = take_fixed_steps(&raceClock.step_accumulator, dt);
    for (int i = 0; i < steps; ++i) world_step(game, kStepSeconds);
    car = welcomed ? own_cart(game) : nullptr;
    if (car) place_camera(game, *car);
    if (game->program_state == kStateHostRace) update_standings(game);
    projectileRegistry.collect();
    cartRegistry.collect();
}
