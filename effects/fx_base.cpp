#include "effects/fx_base.h"

#include <cmath>

#include "base/random.h"

int to_int(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= kCoordinateLimit) return kCoordinateLimit;
    if (value <= -kCoordinateLimit) return -kCoordinateLimit;
    return int(value);
}

float unit_random()
{
    return float(__mRandom_rand()) / float(kRandomMax);
}

int wrap(int value, int count)
{
    const int rest = value % count;
    return rest < 0 ? rest + count : rest;
}

fxKeyBlend blend_over_life(float life, float lifetime, int count)
{
    if (count <= 1) return {0, 0};
    float t = (lifetime - life) * float(count - 1) / lifetime;
    // Past either end of the life the end keys hold; NaN reads the first key.
    if (!(t > 0)) t = 0;
    if (t > float(count - 1)) t = float(count - 1);
    int k = int(t);
    if (k > count - 2) k = count - 2;
    return {k, t - float(k)};
}

int16_t copy_float_keys(float* keys, const float* given, int16_t count)
{
    for (int i = 0; i < kMaxKeys; ++i) keys[i] = given && i < count ? given[i] : 0.0f;
    if (count < 1) return 1;
    return count > kMaxKeys ? int16_t(kMaxKeys) : count;
}

bool fxBase::set_up(float given_life, cColor* const* keys, int16_t count)
{
    if (!(given_life > 0)) return false;
    active = true;
    life = lifetime = given_life;
    for (int i = 0; i < kMaxKeys; ++i)
        colour_keys[i] = keys && i < count && keys[i] ? *keys[i] : cColor();
    key_count = count < 1 ? int16_t(1) : count > kMaxKeys ? int16_t(kMaxKeys) : count;
    return true;
}

cColor fxBase::colour_over_life() const
{
    const fxKeyBlend blend = blend_over_life(life, lifetime, key_count);
    if (key_count <= 1) return colour_keys[0];
    const cColor& from = colour_keys[blend.k];
    const cColor& to = colour_keys[blend.k + 1];
    const float f = blend.f;
    return cColor(f * to.r + (1 - f) * from.r, f * to.g + (1 - f) * from.g, f * to.b + (1 - f) * from.b,
                  f * to.a + (1 - f) * from.a);
}
