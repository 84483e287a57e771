// A cart's record by bytes, what a peer's record may not do to it, and the
// dynamics step in doubles.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "base/bytes.h"
#include "game/cart.h"

namespace {

const double kStep = double(0.01f);

std::vector<uint8_t> record_of(const czrCar& car)
{
    std::vector<uint8_t> bytes(czrCar::kRecordRoom, 0xAA);
    EXPECT_EQ(car.write_sync_record(bytes.data(), bytes.size()), czrCar::kRecordSize);
    return bytes;
}

float f32_at(const std::vector<uint8_t>& bytes, size_t at)
{
    float value;
    ByteReader(bytes.data() + at, 4).f32(value);
    return value;
}

bool finite(const cVector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

TEST(Cart, IsBuiltAtRestWithItsRadiusAndMass)
{
    czrCar car(cVector3D(96, 0.5, 2), cQuaternion(), 4, 1);
    EXPECT_FLOAT_EQ(car.radius, 0.65f);
    EXPECT_FLOAT_EQ(car.mass, 6.0f);
    EXPECT_EQ(car.owner_slot, 4);
    EXPECT_EQ(car.species, 1);
    EXPECT_EQ(car.sync_id, 0u);
    EXPECT_EQ(car.controller, nullptr);
    EXPECT_DOUBLE_EQ(car.position.x, 96);
    EXPECT_DOUBLE_EQ(car.velocity.length(), 0);
}

TEST(Cart, RecordIsOwnerSpeciesBodyAndIdIn90Bytes)
{
    czrCar car(cVector3D(1, 2, 3), cQuaternion(), 3, 1);
    car.velocity = cVector3D(4, 5, 6);
    car.sync_id = 0x01020304;
    const std::vector<uint8_t> bytes = record_of(car);
    EXPECT_EQ(bytes[0], 3);
    EXPECT_EQ(bytes[1], 1);
    EXPECT_FLOAT_EQ(f32_at(bytes, 2), 1);
    EXPECT_FLOAT_EQ(f32_at(bytes, 10), 3);
    EXPECT_FLOAT_EQ(f32_at(bytes, 2 + 12 + 12), 1) << "rotation w";
    EXPECT_FLOAT_EQ(f32_at(bytes, 2 + 28), 0.65f) << "radius";
    EXPECT_FLOAT_EQ(f32_at(bytes, 2 + 32), 4) << "velocity x";
    EXPECT_FLOAT_EQ(f32_at(bytes, 2 + 80), 6) << "mass";
    EXPECT_EQ(bytes[86], 4);
    EXPECT_EQ(bytes[89], 1);
    EXPECT_EQ(bytes[90], 0xAA) << "nothing written past the record";
    EXPECT_EQ(car.sync_record_size(), 94);
    EXPECT_EQ(car.serialized_size(), 94);

    czrCar copy(cVector3D(), cQuaternion(), kNoCartOwner, 0);
    ASSERT_EQ(copy.read_sync_record(bytes.data(), czrCar::kRecordSize), 90);
    EXPECT_EQ(copy.owner_slot, 3);
    EXPECT_EQ(copy.species, 1);
    EXPECT_EQ(copy.sync_id, 0x01020304u);
    EXPECT_DOUBLE_EQ(copy.velocity.z, 6);
    EXPECT_DOUBLE_EQ(copy.snapshot->velocity.z, 6) << "the snapshot follows the record";

    czrCar ownerless(cVector3D(), cQuaternion(), kNoCartOwner, 0);
    EXPECT_EQ(record_of(ownerless)[0], 0xFF);
}

TEST(Cart, RecordFromAPeerIsCheckedBeforeAnythingChanges)
{
    czrCar source(cVector3D(1, 2, 3), cQuaternion(), 2, 0);
    source.sync_id = 9;
    const std::vector<uint8_t> good = record_of(source);
    struct Case {
        const char* what;
        size_t size;
        size_t at;
        std::vector<uint8_t> patch;
        int result;
        int8_t owner;
        uint8_t species;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    std::vector<uint8_t> nan_bytes(4);
    memcpy(nan_bytes.data(), &nan, 4);
    const Case cases[] = {
        {"short", 89, 0, {}, -1, 7, 1},
        {"non-finite position", 90, 2, nan_bytes, -1, 7, 1},
        {"non-finite mass", 90, 82, nan_bytes, -1, 7, 1},
        {"owner past the slots", 90, 0, {16}, 90, kNoCartOwner, 0},
        {"species past the list", 90, 1, {9}, 90, 2, 0},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = good;
        std::copy(c.patch.begin(), c.patch.end(), bytes.begin() + long(c.at));
        czrCar car(cVector3D(7, 7, 7), cQuaternion(), 7, 1);
        EXPECT_EQ(car.read_sync_record(bytes.data(), c.size), c.result) << c.what;
        EXPECT_EQ(car.owner_slot, c.owner) << c.what;
        EXPECT_EQ(car.species, c.species) << c.what;
        EXPECT_DOUBLE_EQ(car.position.x, c.result < 0 ? 7 : 1) << c.what;
    }
}

TEST(CartDynamics, AtRestTheDriveAndThenThePushOfTheNewSpeedAct)
{
    // Identity rotation: the front is -z; accelerating points motion_a there.
    czrCar car(cVector3D(), cQuaternion(), 0, 0);
    car.motion_a = cVector3D(0, 0, -1);
    const float dt = 0.01f;
    cart_dynamics_step(&car, &dt, true);
    const double driven = 1.0 * 8.0 * 6.0 * (kStep / 6.0);          // step d from rest
    const double pushed = driven + 1.0 * (10.0 * driven) * (kStep / 6.0);  // step e at that speed
    EXPECT_DOUBLE_EQ(car.velocity.z, -pushed);
    EXPECT_DOUBLE_EQ(car.velocity.x, 0);
    EXPECT_DOUBLE_EQ(car.position.z, -pushed * kStep);
}

TEST(CartDynamics, StepTable)
{
    const float dt = 0.01f;
    const struct {
        const char* what;
        cVector3D velocity;
        cVector3D motion_a;
        bool on_track;
        cVector3D expected;
    } cases[] = {
        {"off the track the velocity is kept", cVector3D(1, 2, -3), cVector3D(0, 0, -1), false, cVector3D(1, 2, -3)},
        {"sideways and vertical parts are dropped, then drag", cVector3D(5, 5, 0), cVector3D(), true,
         cVector3D(0, 0, 0)},
        {"accelerate and brake together: drag alone", cVector3D(0, 0, -2), cVector3D(), true,
         cVector3D(0, 0, -2 + 2 * 10.0 * (kStep / 6.0))},
        {"past 35 the push stops and drag still acts", cVector3D(0, 0, -40), cVector3D(0, 0, -1), true,
         cVector3D(0, 0, -40 + (-8.0 * 6.0 + 40 * 10.0) * (kStep / 6.0))},
        {"braking does not push", cVector3D(0, 0, -1), cVector3D(0, 0, 1), true,
         cVector3D(0, 0, -1 + (8.0 * 6.0 + 10.0) * (kStep / 6.0))},
    };
    for (const auto& c : cases) {
        czrCar car(cVector3D(), cQuaternion(), 0, 0);
        car.velocity = c.velocity;
        car.motion_a = c.motion_a;
        cart_dynamics_step(&car, &dt, c.on_track);
        EXPECT_NEAR(car.velocity.x, c.expected.x, 1e-12) << c.what;
        EXPECT_NEAR(car.velocity.y, c.expected.y, 1e-12) << c.what;
        EXPECT_NEAR(car.velocity.z, c.expected.z, 1e-12) << c.what;
        EXPECT_NEAR(car.position.z, c.expected.z * kStep, 1e-12) << c.what;
    }
}

TEST(CartDynamics, TurnsByMotionBAndAMasslessBodyNeverGoesNaN)
{
    czrCar car(cVector3D(), cQuaternion(), 0, 0);
    car.motion_b = cVector3D(0, 2, 0);
    const float dt = 0.5f;
    cart_dynamics_step(&car, &dt, true);
    cVector3D forward;
    car.get_forward_vector(forward);
    // The forward vector turns +z, the cart's back: it faces -z, its right
    // is +x, and a positive yaw (what Right gives) swings the front there.
    EXPECT_NEAR(-forward.x, std::sin(1.0), 1e-3) << "a yaw of 2 rad/s for half a second, to the right";

    car.mass = 0;
    car.motion_a = cVector3D(0, 0, -1);
    cart_dynamics_step(&car, &dt, true);
    apply_impulse(&car, cVector3D(1, 0, 0));
    EXPECT_TRUE(finite(car.velocity));
    EXPECT_TRUE(finite(car.position));
}

TEST(CartDynamics, ImpulseDividesByMass)
{
    czrCar car(cVector3D(), cQuaternion(), 0, 0);
    apply_impulse(&car, cVector3D(12, 0, -6));
    EXPECT_DOUBLE_EQ(car.velocity.x, 2);
    EXPECT_DOUBLE_EQ(car.velocity.z, -1);
}
