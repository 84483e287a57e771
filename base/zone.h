// Axis-aligned boxes given by their minimum and maximum corners.
#pragma once

#include "base/keel.h"
#include "base/serializable.h"
#include "base/vector.h"

class cZone3D : public cSerializable {
public:
    cZone3D() = default;
    // The box of half-extents |a|, |b|, |c| around the origin.
    cZone3D(double a, double b, double c);
    cZone3D(const cZone3D&) = default;
    cZone3D& operator=(const cZone3D&) = default;
    virtual ~cZone3D() = default;

    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;

    cVector3D minimum, maximum;
};

// Up to six '#'-ended numbers: minimum x, y, z, then maximum x, y, z;
// returns the '#' count.
KEEL_API int16_t __cZone3d_zone_from_string(cZone3D* zone, const char* text);
// Grows the zone to hold p.
KEEL_API void __cZone3d_expand_to_contain(cZone3D* zone, const cVector3D* p);
