// Sphere, ray and contact tests of scene objects and bodies.
#include <gtest/gtest.h>

#include <cmath>

#include "scene/physics_object.h"

namespace {

struct BodySpec {
    cVector3D position;
    cVector3D velocity;
    float mass;
    float radius;
};

ctPhysicsObject make_body(const BodySpec& spec)
{
    ctPhysicsObject body(spec.position, cQuaternion(), spec.radius, spec.mass);
    body.velocity = spec.velocity;
    return body;
}

bool finite(const cVector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

void expect_vector(const cVector3D& actual, const cVector3D& expected, const char* what, const char* name)
{
    EXPECT_NEAR(actual.x, expected.x, 1e-12) << what << " in " << name;
    EXPECT_NEAR(actual.y, expected.y, 1e-12) << what << " in " << name;
    EXPECT_NEAR(actual.z, expected.z, 1e-12) << what << " in " << name;
}

struct ResponseCase {
    const char* name;
    BodySpec a, b;
    cVector3D a_velocity, b_velocity;  // after the response
    cVector3D impulse;                 // given to b
    cVector3D a_position, b_position;  // after, with separate set
};

// Elastic contact along x. Head-on, equal masses: in the centre-of-mass frame
// (c = 0) each velocity is reflected, so they swap; the impulse on b is
// 1 * (1 - (-1)) = 2. With separate: closing speed s = 2, overlap 0.5, so
// t = 0.25; each body goes back by v t and on by its new velocity times t.
// Masses 1 and 3, b at rest: c = 2 / 4 = 0.5, giving -1 and 1 (the textbook
// (m1 - m2) / (m1 + m2) v and 2 m1 / (m1 + m2) v), impulse 3 * 1 = 3; s = 2,
// t = 0.25.
const ResponseCase kResponses[] = {
    {"equal masses head-on", {{0, 0, 0}, {1, 0, 0}, 1, 1}, {{1.5, 0, 0}, {-1, 0, 0}, 1, 1},
     {-1, 0, 0}, {1, 0, 0}, {2, 0, 0}, {-0.5, 0, 0}, {2, 0, 0}},
    {"one to three onto a resting body", {{0, 0, 0}, {2, 0, 0}, 1, 1}, {{1.5, 0, 0}, {0, 0, 0}, 3, 1},
     {-1, 0, 0}, {1, 0, 0}, {3, 0, 0}, {-0.75, 0, 0}, {1.75, 0, 0}},
    {"an overlapping pair at rest", {{0, 0, 0}, {0, 0, 0}, 1, 1}, {{1, 0, 0}, {0, 0, 0}, 1, 1},
     {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 0, 0}},
    {"masses summing to zero", {{0, 0, 0}, {1, 0, 0}, 0, 1}, {{1, 0, 0}, {-1, 0, 0}, 0, 1},
     {1, 0, 0}, {-1, 0, 0}, {0, 0, 0}, {0, 0, 0}, {1, 0, 0}},
    // n is the zero vector: each velocity is kept, so nothing is exchanged.
    {"coincident centres give no direction", {{3, 0, 0}, {1, 0, 0}, 1, 1}, {{3, 0, 0}, {-1, 0, 0}, 1, 1},
     {1, 0, 0}, {-1, 0, 0}, {0, 0, 0}, {3, 0, 0}, {3, 0, 0}},
    {"touching is no contact", {{0, 0, 0}, {1, 0, 0}, 1, 1}, {{2, 0, 0}, {-1, 0, 0}, 1, 1},
     {1, 0, 0}, {-1, 0, 0}, {0, 0, 0}, {0, 0, 0}, {2, 0, 0}},
};

TEST(CollisionResponse, Table)
{
    for (const ResponseCase& c : kResponses) {
        ctPhysicsObject a = make_body(c.a), b = make_body(c.b);
        cVector3D impulse(9, 9, 9);
        a.collision_response(impulse, b, true, true);
        expect_vector(impulse, c.impulse, "impulse", c.name);
        expect_vector(a.velocity, c.a_velocity, "a velocity", c.name);
        expect_vector(b.velocity, c.b_velocity, "b velocity", c.name);
        expect_vector(a.position, c.a_position, "a position", c.name);
        expect_vector(b.position, c.b_position, "b position", c.name);
        EXPECT_TRUE(finite(a.position) && finite(a.velocity) && finite(b.position) && finite(b.velocity)) << c.name;
    }
}

TEST(CollisionResponse, WithoutTheFlagsOnlyTheImpulseIsGiven)
{
    ctPhysicsObject a = make_body(kResponses[0].a), b = make_body(kResponses[0].b);
    cVector3D impulse;
    a.collision_response(impulse, b, false, false);
    expect_vector(impulse, cVector3D(2, 0, 0), "impulse", "no flags");
    expect_vector(a.velocity, cVector3D(1, 0, 0), "a velocity", "no flags");
    expect_vector(b.position, cVector3D(1.5, 0, 0), "b position", "no flags");
}

struct CollideCase {
    const char* name;
    BodySpec a, b;
    bool contact;
    cVector3D a_position, b_position;
};

// Radii 1 and 1, centres 1.5 apart: overlap 0.5, split by the other's mass share.
const CollideCase kCollides[] = {
    {"equal masses move half each", {{0, 0, 0}, {}, 2, 1}, {{1.5, 0, 0}, {}, 2, 1}, true, {-0.25, 0, 0},
     {1.75, 0, 0}},
    {"only the massless body moves", {{0, 0, 0}, {}, 0, 1}, {{1.5, 0, 0}, {}, 5, 1}, true, {-0.5, 0, 0},
     {1.5, 0, 0}},
    {"masses summing to zero", {{0, 0, 0}, {}, 0, 1}, {{1.5, 0, 0}, {}, 0, 1}, false, {0, 0, 0}, {1.5, 0, 0}},
    {"coincident centres", {{1, 2, 3}, {}, 1, 1}, {{1 + 5e-9, 2, 3}, {}, 1, 1}, false, {1, 2, 3},
     {1 + 5e-9, 2, 3}},
    {"apart", {{0, 0, 0}, {}, 1, 1}, {{2.5, 0, 0}, {}, 1, 1}, false, {0, 0, 0}, {2.5, 0, 0}},
};

TEST(CollideWith, Table)
{
    for (const CollideCase& c : kCollides) {
        ctPhysicsObject a = make_body(c.a), b = make_body(c.b);
        EXPECT_EQ(a.collide_with(b), c.contact) << c.name;
        expect_vector(a.position, c.a_position, "a position", c.name);
        expect_vector(b.position, c.b_position, "b position", c.name);
    }
}

TEST(ReflectOff, BouncesOffAnImmovableObject)
{
    // Moving at 2 along x into a wall sphere 1.5 away: overlap 0.5, t = 0.25.
    ctPhysicsObject body = make_body({{0, 0, 0}, {2, 0, 0}, 3, 1});
    const ctPhysicsObject wall(cVector3D(1.5, 0, 0), cQuaternion(), 1, 1);
    cVector3D change;
    body.reflect_off(change, wall, true, true);
    expect_vector(body.velocity, cVector3D(-2, 0, 0), "velocity", "bounce");
    expect_vector(change, cVector3D(-12, 0, 0), "momentum change", "bounce");
    expect_vector(body.position, cVector3D(-1, 0, 0), "position", "bounce");
}

TEST(ReflectOff, AtRestOrTouchingNothingChanges)
{
    ctPhysicsObject resting = make_body({{0, 0, 0}, {0, 0, 0}, 1, 1});
    const ctPhysicsObject near(cVector3D(1, 0, 0), cQuaternion(), 1, 1);
    cVector3D change(5, 5, 5);
    resting.reflect_off(change, near, true, true);
    expect_vector(resting.position, cVector3D(0, 0, 0), "position", "at rest");
    expect_vector(change, cVector3D(0, 0, 0), "momentum change", "at rest");

    ctPhysicsObject moving = make_body({{0, 0, 0}, {1, 0, 0}, 1, 1});
    const ctPhysicsObject touching(cVector3D(2, 0, 0), cQuaternion(), 1, 1);
    moving.reflect_off(change, touching, true, true);
    expect_vector(moving.velocity, cVector3D(1, 0, 0), "velocity", "touching");
    expect_vector(change, cVector3D(0, 0, 0), "momentum change", "touching");
}

TEST(SphereTests, TouchingIntersectsAndSeparationSplitsTheOverlap)
{
    ctPhysicsObject a(cVector3D(0, 0, 0), cQuaternion(), 1, 1), b(cVector3D(0, 2, 0), cQuaternion(), 1, 1);
    EXPECT_TRUE(a.intersects(b));
    b.position.y = 2.0001;
    EXPECT_FALSE(a.intersects(b));
    EXPECT_FALSE(a.separate_from(b));

    b.position.y = 1;
    EXPECT_TRUE(a.separate_from(b));
    expect_vector(a.position, cVector3D(0, -0.5, 0), "a", "separate");
    expect_vector(b.position, cVector3D(0, 1.5, 0), "b", "separate");

    ctPhysicsObject c(cVector3D(4, 4, 4), cQuaternion(), 1, 1), d(cVector3D(4, 4, 4 + 5e-9), cQuaternion(), 1, 1);
    EXPECT_FALSE(c.separate_from(d));
    EXPECT_EQ(d.position.z, 4 + 5e-9);
}

TEST(RayTests, HitsClipToTheEntryPointAndMissesKeepTheRay)
{
    const ctPhysicsObject sphere(cVector3D(0, 0, 10), cQuaternion(), 2, 1);
    ctRay ray;
    ray.direction = cVector3D(0, 0, 1);
    ray.length = 20;
    ray.origin = cVector3D(0, 1, 0);
    EXPECT_TRUE(sphere.intersects_ray(ray));
    // t = 10, |q| = 1: the entry point is 10 - sqrt(3) along.
    EXPECT_TRUE(sphere.clip_ray(ray));
    EXPECT_FLOAT_EQ(ray.length, float(10 - std::sqrt(3.0)));

    ctRay wide;
    wide.direction = cVector3D(0, 0, 1);
    wide.length = 20;
    wide.origin = cVector3D(0, 2, 0);  // grazes: radius^2 - |q|^2 = 0
    EXPECT_FALSE(sphere.intersects_ray(wide));
    EXPECT_FALSE(sphere.clip_ray(wide));
    EXPECT_EQ(wide.length, 20);

    ctRay short_ray;
    short_ray.direction = cVector3D(0, 0, 1);
    short_ray.length = 7.5;  // t = 10 is not below length + radius = 9.5
    EXPECT_FALSE(sphere.intersects_ray(short_ray));
    ctRay behind;
    behind.direction = cVector3D(0, 0, -1);
    behind.length = 100;
    EXPECT_FALSE(sphere.intersects_ray(behind));
}

TEST(ForwardVector, IsTheRotatedZAxis)
{
    ctPhysicsObject object;
    cVector3D forward;
    object.get_forward_vector(forward);
    expect_vector(forward, cVector3D(0, 0, 1), "forward", "identity");
    const double half = std::sqrt(0.5);
    object.rotation = cQuaternion(0, half, 0, half);  // a quarter turn about y
    object.get_forward_vector(forward);
    EXPECT_NEAR(forward.length(), 1, 1e-12);
    EXPECT_NEAR(std::fabs(forward.x), 1, 1e-12);
}

}  // namespace
