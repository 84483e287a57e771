#include "game/cart.h"

#include "base/matrix.h"
#include "base/quaternion.h"
#include "game/control_bindings.h"
#include "game/packet_records.h"
#include "scene/renderer.h"

static const float kCartRadius = 0.65f;
static const float kCartMass = 6.0f;
static const double kDriveForce = 8.0;
static const double kDrag = 10.0;
static const double kPushFactor = 10.0;
static const double kPushSpeedLimit = 35.0;

czrCar::czrCar(const cVector3D& position, const cQuaternion& rotation, int8_t owner_slot, uint8_t species)
    : cVantorSyncedPhysicsObject(position, rotation, 0, 0, 0), owner_slot(owner_slot), species(species)
{
    build_renderable();
}

czrCar::~czrCar() = default;

void czrCar::build_renderable()
{
    radius = kCartRadius;
    mass = kCartMass;
    velocity = motion_a = motion_b = motion_c = cVector3D();
    build_cart_renderers(this);
}

int czrCar::write_sync_record(uint8_t* buffer, size_t capacity) const
{
    if (!buffer || capacity < size_t(kRecordSize)) return -1;
    ByteWriter out(buffer, kRecordSize);
    out.u8(uint8_t(owner_slot));
    out.u8(species);
    write_body(out);
    out.u32(sync_id);
    return out.ok() ? kRecordSize : -1;
}

int czrCar::read_sync_record(const uint8_t* buffer, size_t size)
{
    if (!buffer || size < size_t(kRecordSize)) return -1;
    ctPhysicsObject body(*this);
    if (body.deserialize(buffer + 2) != ctPhysicsObject::kSerializedSize) return -1;
    ByteReader id_bytes(buffer + 2 + ctPhysicsObject::kSerializedSize, 4);
    uint32_t id = 0;
    id_bytes.u32(id);
    ctPhysicsObject::copy_physics_state(*this, body);
    owner_slot = buffer[0] < kPlayerSlots ? int8_t(buffer[0]) : kNoCartOwner;
    species = checked_species(buffer[1]);
    sync_id = id;
    if (snapshot) ctPhysicsObject::copy_physics_state(*snapshot, *this);
    return kRecordSize;
}

int czrCar::sync_record_size() const
{
    return kRecordRoom;
}

int czrCar::serialize(void* out) const
{
    return write_sync_record(static_cast<uint8_t*>(out), kRecordSize);
}

int czrCar::deserialize(const void* in)
{
    return read_sync_record(static_cast<const uint8_t*>(in), kRecordSize);
}

int czrCar::serialized_size() const
{
    return kRecordRoom;
}

void set_controller(czrCar* car, czrCarAiController* controller)
{
    car->controller.reset(controller);
    if (controller) controller->car = car;
}

void apply_impulse(czrCar* car, const cVector3D& impulse)
{
    if (car->mass > 0) car->velocity = car->velocity + impulse / double(car->mass);
}

static void turn(czrCar* car, double dt)
{
    double pitch = dt * car->motion_b.x;
    double yaw = dt * car->motion_b.y;
    double roll = dt * car->motion_b.z;
    __cQuaternion_pitch(&car->rotation, &pitch);
    __cQuaternion_yaw(&car->rotation, &yaw);
    __cQuaternion_roll(&car->rotation, &roll);
}

static bool is_zero(const cVector3D& v)
{
    return v.x == 0 && v.y == 0 && v.z == 0;
}

// Without mass the drive has nothing to act on; the cart coasts.
static void drive_on_track(czrCar* car, double dt)
{
    const cVector3D front = -rotation_matrix(car->rotation).column(2);
    const bool pushing = !is_zero(car->motion_a) && dot(car->motion_a, front) > 0;
    car->velocity = front * dot(front, car->velocity);
    if (!(car->mass > 0)) return;
    const double mass = car->mass;
    car->velocity = car->velocity + (car->motion_a * kDriveForce * mass - car->velocity * kDrag) * (dt / mass);
    if (pushing && dot(car->velocity, front) < kPushSpeedLimit)
        car->velocity = car->velocity + car->motion_a * (kPushFactor * car->velocity.length()) * (dt / mass);
}

void cart_dynamics_step(czrCar* car, const float* dt, bool on_track)
{
    const double step = *dt;
    turn(car, step);
    if (on_track) drive_on_track(car, step);
    car->position = car->position + car->velocity * step;
}

void czrCarAiControllerUser::update(float)
{
    if (!car || !input) return;
    car->motion_b = cVector3D(0, 2.0 * turn_value(input), 0);
    const double accelerate = button_down(input, "ACCELERATE") ? 1 : 0;
    const double brake = button_down(input, "BRAKE") ? 1 : 0;
    cVector3D forward;
    car->get_forward_vector(forward);
    car->motion_a = forward * (brake - accelerate);
}
