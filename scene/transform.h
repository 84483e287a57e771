// A placement in the 3D world: position and orientation, applied to the
// graphics module's matrix stack around whatever is drawn in it.
#pragma once

#include "base/quaternion.h"
#include "base/vector.h"

class ctTransform {
public:
    ctTransform() = default;
    ctTransform(const cVector3D& position, const cQuaternion& rotation) : position(position), rotation(rotation) {}
    ctTransform(const ctTransform&) = default;
    ctTransform& operator=(const ctTransform&) = default;

    // Pushes the translation, then the rotation. Nothing is pushed while no
    // graphics module is bound.
    virtual void begin_transform();
    // Pops what begin_transform pushed.
    virtual void end_transform();

    virtual ~ctTransform() = default;

    cVector3D position;
    cQuaternion rotation;
};

class ctScaledTransform : public ctTransform {
public:
    ctScaledTransform() = default;
    ctScaledTransform(const cVector3D& position, const cQuaternion& rotation, const cVector3D& scale)
        : ctTransform(position, rotation), scale(scale) {}

    // Translation, rotation, then scale.
    void begin_transform() override;
    void end_transform() override;

    cVector3D scale{1, 1, 1};
};

// Pushes the rotation matrix of a quaternion onto the graphics matrix stack.
void push_rotation(const cQuaternion& rotation);
