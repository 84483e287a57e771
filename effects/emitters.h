// Emitters: a template particle shed at a steady rate from a ring.
#pragma once

#include "base/vector.h"
#include "effects/particles.h"

class fxEmitter {
public:
    // Sheds what the accumulated time owes, then ages; true once expired.
    bool update(float dt);
    void deactivate() { active = false; }

    bool active = false;
    fxParticle templ;
    cVector2D<double> position;
    cVector2D<double> radius;
    float speed = 0;
    float life = 0;
    float lifetime = 0;
    float accumulator = 0;
    float rate = 0;  // particles a second

private:
    // False when the particle pool had no room.
    bool emit_one();
};
