#include "base/zone.h"

#include <algorithm>
#include <cmath>

#include "base/text_fields.h"

cZone3D::cZone3D(double a, double b, double c)
    : minimum(-std::fabs(a), -std::fabs(b), -std::fabs(c)), maximum(std::fabs(a), std::fabs(b), std::fabs(c))
{
}

int cZone3D::serialize(void* out) const
{
    uint8_t* bytes = static_cast<uint8_t*>(out);
    const int written = minimum.serialize(bytes);
    return written + maximum.serialize(bytes + written);
}

int cZone3D::deserialize(const void* in)
{
    const uint8_t* bytes = static_cast<const uint8_t*>(in);
    const int read = minimum.deserialize(bytes);
    return read + maximum.deserialize(bytes + read);
}

int cZone3D::serialized_size() const
{
    return 24;
}

int16_t __cZone3d_zone_from_string(cZone3D* zone, const char* text)
{
    double values[6] = {zone->minimum.x, zone->minimum.y, zone->minimum.z,
                        zone->maximum.x, zone->maximum.y, zone->maximum.z};
    const int fields = read_hash_ended_numbers(text, values, 6);
    zone->minimum = cVector3D(values[0], values[1], values[2]);
    zone->maximum = cVector3D(values[3], values[4], values[5]);
    return int16_t(std::min(fields, 32767));
}

void __cZone3d_expand_to_contain(cZone3D* zone, const cVector3D* p)
{
    cVector3D& lo = zone->minimum;
    cVector3D& hi = zone->maximum;
    lo = cVector3D(std::min(lo.x, p->x), std::min(lo.y, p->y), std::min(lo.z, p->z));
    hi = cVector3D(std::max(hi.x, p->x), std::max(hi.y, p->y), std::max(hi.z, p->z));
}
