// Colours with float channels 0..1; packed as one byte a channel.
#pragma once

#include "base/keel.h"
#include "base/serializable.h"

class cColor : public cSerializable {
public:
    cColor() : r(0), g(0), b(0), a(0) {}
    cColor(float r, float g, float b, float a) : r(r), g(g), b(b), a(a) {}
    cColor(const cColor&) = default;
    cColor& operator=(const cColor&) = default;
    virtual ~cColor() = default;

    // Each channel clamped to 0..1, times 255, truncated.
    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;

    // Channel 0..3 (r, g, b, a); any other index gives a zero that writes cannot keep.
    float& operator[](int i);

    float r, g, b, a;
};

// A fully bright, opaque colour of hue 0..1 and the given saturation.
KEEL_API cColor* __nsColor_hue_function(cColor* out, const float* hue, const float* saturation);
// Up to four '#'-ended numbers into r, g, b, a; channels without one keep their value.
KEEL_API void __nsColor_color_from_string(cColor* out, const char* text);
