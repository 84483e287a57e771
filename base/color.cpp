#include "base/color.h"

#include "base/text_fields.h"

static uint8_t channel_byte(float value)
{
    if (!(value > 0)) return 0;
    if (value >= 1) return 255;
    return uint8_t(value * 255);
}

int cColor::serialize(void* out) const
{
    cPackedWriter writer(out, 4);
    writer.u8(channel_byte(r));
    writer.u8(channel_byte(g));
    writer.u8(channel_byte(b));
    writer.u8(channel_byte(a));
    return writer.written();
}

int cColor::deserialize(const void* in)
{
    cPackedReader reader(in, 4);
    r = reader.next_u8() / 255.0f;
    g = reader.next_u8() / 255.0f;
    b = reader.next_u8() / 255.0f;
    a = reader.next_u8() / 255.0f;
    return reader.consumed();
}

int cColor::serialized_size() const
{
    return 4;
}

float& cColor::operator[](int i)
{
    static float scratch;
    if (i == 0) return r;
    if (i == 1) return g;
    if (i == 2) return b;
    if (i == 3) return a;
    scratch = 0;
    return scratch;
}

// One sixth of the hue circle, in single precision.
static constexpr float kHueSector = 0.16666667f;

cColor* __nsColor_hue_function(cColor* out, const float* hue, const float* saturation)
{
    const float u = 1 - *saturation;
    const float h = *hue;
    int sector = 0;
    while (sector < 5 && !(h < (sector + 1) * kHueSector)) ++sector;
    const float x = 6 * (h - sector * kHueSector);
    switch (sector) {
    case 0: *out = cColor(1, x + (1 - x) * u, u, 1); break;
    case 1: *out = cColor(1 - x + u * x, 1, u, 1); break;
    case 2: *out = cColor(u, 1, x + (1 - x) * u, 1); break;
    case 3: *out = cColor(u, 1 - x + x * u, 1, 1); break;
    case 4: *out = cColor(x + (1 - x) * u, u, 1, 1); break;
    default: *out = cColor(1, u, 1 - x + x * u, 1); break;
    }
    return out;
}

void __nsColor_color_from_string(cColor* out, const char* text)
{
    double values[4] = {out->r, out->g, out->b, out->a};
    read_hash_ended_numbers(text, values, 4);
    *out = cColor(float(values[0]), float(values[1]), float(values[2]), float(values[3]));
}
