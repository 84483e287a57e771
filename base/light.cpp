#include "base/light.h"

#include <initializer_list>

cLight::cLight()
    : diffuse(1, 1, 1, 1), specular(1, 1, 1, 1), ambient(0, 0, 0, 1), position(0, 0, 0),
      direction(position.normalized()), spot_cutoff(180), spot_exponent(0), constant_attenuation(1),
      linear_attenuation(0), quadratic_attenuation(0), intensity(1), enabled(1)
{
}

int cLight::serialize(void* out) const
{
    uint8_t* const start = static_cast<uint8_t*>(out);
    uint8_t* bytes = start;
    bytes += diffuse.serialize(bytes);
    bytes += specular.serialize(bytes);
    bytes += ambient.serialize(bytes);
    bytes += position.serialize(bytes);
    bytes += direction.serialize(bytes);
    cPackedWriter writer(bytes, 6 * 4 + 1);
    for (float value : {spot_cutoff, spot_exponent, constant_attenuation, linear_attenuation, quadratic_attenuation,
                        intensity})
        writer.f32(value);
    writer.u8(enabled);
    return int(bytes - start) + writer.written();
}

int cLight::deserialize(const void* in)
{
    const uint8_t* const start = static_cast<const uint8_t*>(in);
    const uint8_t* bytes = start;
    bytes += diffuse.deserialize(bytes);
    bytes += specular.deserialize(bytes);
    bytes += ambient.deserialize(bytes);
    bytes += position.deserialize(bytes);
    bytes += direction.deserialize(bytes);
    cPackedReader reader(bytes, 6 * 4 + 1);
    for (float* value : {&spot_cutoff, &spot_exponent, &constant_attenuation, &linear_attenuation,
                         &quadratic_attenuation, &intensity})
        *value = reader.next_f32();
    enabled = reader.next_u8();
    return int(bytes - start) + reader.consumed();
}

int cLight::serialized_size() const
{
    return 3 * 4 + 2 * 12 + 6 * 4 + 1;
}

cMaterial::cMaterial()
    : cMaterial(cColor(1, 1, 1, 1), cColor(1, 1, 1, 1), cColor(0, 0, 0, 1), cColor(0, 0, 0, 1), 0)
{
}

cMaterial::cMaterial(const cColor& ambient, const cColor& diffuse, const cColor& specular, const cColor& emission,
                     float shininess)
    : ambient(ambient), diffuse(diffuse), specular(specular), emission(emission), shininess(shininess)
{
}

int cMaterial::serialize(void* out) const
{
    uint8_t* const start = static_cast<uint8_t*>(out);
    uint8_t* bytes = start;
    for (const cColor* color : {&ambient, &diffuse, &specular, &emission}) bytes += color->serialize(bytes);
    cPackedWriter writer(bytes, 4);
    writer.f32(shininess);
    return int(bytes - start) + writer.written();
}

int cMaterial::deserialize(const void* in)
{
    const uint8_t* const start = static_cast<const uint8_t*>(in);
    const uint8_t* bytes = start;
    for (cColor* color : {&ambient, &diffuse, &specular, &emission}) bytes += color->deserialize(bytes);
    cPackedReader reader(bytes, 4);
    shininess = reader.next_f32();
    return int(bytes - start) + reader.consumed();
}

int cMaterial::serialized_size() const
{
    return 4 * 4 + 4;
}

static void opaquify(cColor* color)
{
    color->r *= color->a;
    color->g *= color->a;
    color->b *= color->a;
    color->a = 1;
}

void __mMaterial_opaquify(cMaterial* material)
{
    for (cColor* color : {&material->ambient, &material->diffuse, &material->specular, &material->emission})
        opaquify(color);
}
