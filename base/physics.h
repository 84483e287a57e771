// The physics module: it owns the trigonometry tables and offers the small 2D
// helpers of the game's simulation. Angles are radians.
#pragma once

#include "base/keel.h"

// Which edges of a moving box met a static box.
struct BoxContacts {
    bool lower;
    bool left;
    bool upper;
    bool right;
};

// Builds the module's tables; true when it is ready.
KEEL_API bool __mPhysics_open();
KEEL_API void __mPhysics_close();

// The unit vector of an angle, from the tables.
KEEL_API void __mPhysics_direction_pos(double angle, double* x, double* y);
// The angle of (x, y) in 0..2pi; straight down for the zero vector.
KEEL_API double __mPhysics_angle_from_vector(double x, double y);
// Turns from toward to by at most step, the short way round. A final step
// that reaches to returns it unwrapped, possibly outside 0..2pi.
KEEL_API double __mPhysics_interpolate_angle(double from, double to, double step);
// Keeps a moving box (centre x, y, size w, h, velocity vx, vy) out of a static
// box by sampling three points along each of its edges (spread by
// sampleScale); stops the velocity into it and, unless noPush, moves the box
// onto its surface.
KEEL_API BoxContacts __mPhysics_collide_staticBox(double* x, double* y, double* vx, double* vy, double* w, double* h,
                                                  double boxX, double boxY, double boxW, double boxH,
                                                  double sampleScale, bool noPush);
