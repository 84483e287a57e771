#include "base/physics.h"

#include <cmath>

#include "base/angles.h"
#include "base/trigonometry.h"

bool __mPhysics_open()
{
    __init_trig_tables();
    return true;
}

void __mPhysics_close()
{
    __clear_trig_tables();
}

void __mPhysics_direction_pos(double angle, double* x, double* y)
{
    *x = cosTR(angle);
    *y = sinTR(angle);
}

double __mPhysics_angle_from_vector(double x, double y)
{
    if (x == 0) return y > 0 ? double(kHalfPi) : 3 * double(kPi) / 2;
    double angle = std::atan(y / x);
    if (x < 0) angle += kPi;
    if (angle < 0) angle += kTwoPi;
    return angle;
}

double __mPhysics_interpolate_angle(double from, double to, double step)
{
    if (to == from) return from;
    const double d0 = to - from;
    const double d1 = to + kTwoPi - from;
    const double d2 = to - kTwoPi - from;
    double d = d0;
    if (std::fabs(d0) > std::fabs(d1))
        d = d1;
    else if (std::fabs(d0) > std::fabs(d2))
        d = d2;
    if (std::fabs(d) < step) return from + d;
    double turned = d > 0 ? from + step : from - step;
    if (turned < 0)
        turned += kTwoPi;
    else if (turned > kTwoPi)
        turned -= kTwoPi;
    return turned;
}

namespace {

struct StaticBox {
    double left, right, bottom, top;

    bool holds(double px, double py) const { return left <= px && px <= right && bottom <= py && py <= top; }
};

struct MovingBox {
    double* x;
    double* y;
    double* vx;
    double* vy;
    double w, h;
};

void resolve_vertical(MovingBox& box, const StaticBox& wall, double sample_x, bool noPush, BoxContacts& contacts)
{
    if (wall.holds(sample_x, *box.y - box.h / 2) && *box.vy <= 0) {
        *box.vy = 0;
        if (!noPush) *box.y = wall.top + box.h / 2;
        contacts.lower = true;
    }
    if (wall.holds(sample_x, *box.y + box.h / 2) && *box.vy >= 0) {
        *box.vy = 0;
        if (!noPush) *box.y = wall.bottom - box.h / 2;
        contacts.upper = true;
    }
}

void resolve_horizontal(MovingBox& box, const StaticBox& wall, double sample_y, bool noPush, BoxContacts& contacts)
{
    if (wall.holds(*box.x - box.w / 2, sample_y) && *box.vx <= 0) {
        *box.vx = 0;
        if (!noPush) *box.x = wall.right + box.w / 2;
        contacts.left = true;
    }
    if (wall.holds(*box.x + box.w / 2, sample_y) && *box.vx >= 0) {
        *box.vx = 0;
        if (!noPush) *box.x = wall.left - box.w / 2;
        contacts.right = true;
    }
}

}  // namespace

BoxContacts __mPhysics_collide_staticBox(double* x, double* y, double* vx, double* vy, double* w, double* h,
                                         double boxX, double boxY, double boxW, double boxH, double sampleScale,
                                         bool noPush)
{
    const StaticBox wall{boxX - boxW / 2, boxX + boxW / 2, boxY - boxH / 2, boxY + boxH / 2};
    MovingBox box{x, y, vx, vy, *w, *h};
    BoxContacts contacts{false, false, false, false};
    for (int i = -1; i <= 1; ++i) resolve_vertical(box, wall, *x + sampleScale * box.w / 2 * i, noPush, contacts);
    for (int j = -1; j <= 1; ++j) resolve_horizontal(box, wall, *y + sampleScale * box.h / 2 * j, noPush, contacts);
    return contacts;
}
