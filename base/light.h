// Lights and materials as the platform plug-in receives them.
#pragma once

#include "base/color.h"
#include "base/keel.h"
#include "base/serializable.h"
#include "base/vector.h"

// A spot light when spot_cutoff is neither 180 nor 0, else a point light when
// direction is zero, else a directional light.
class cLight final : public cSerializable {
public:
    cLight();

    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;

    cColor diffuse, specular, ambient;
    cVector3D position, direction;
    float spot_cutoff, spot_exponent;
    float constant_attenuation, linear_attenuation, quadratic_attenuation;
    float intensity;
    uint8_t enabled;
};

class cMaterial final : public cSerializable {
public:
    // The default material: lit white, no highlight, no glow.
    cMaterial();
    cMaterial(const cColor& ambient, const cColor& diffuse, const cColor& specular, const cColor& emission,
              float shininess);

    int serialize(void* out) const override;
    int deserialize(const void* in) override;
    int serialized_size() const override;

    cColor ambient, diffuse, specular, emission;
    float shininess;
};

// Premultiplies r, g and b of each colour by its alpha, then makes it opaque.
KEEL_API void __mMaterial_opaquify(cMaterial* material);
