#include "base/bitmap.h"

#include <vector>

#include "base/color.h"
#include "base/modules.h"
#include "base/trigonometry.h"
#include "base/vector.h"

void __cBitmap_load(std::string path, uint16_t* width, uint16_t* height, uint8_t** pixels)
{
    *width = 0;
    *height = 0;
    *pixels = nullptr;
    modGraphics* graphics = __mGraphics_instance();
    if (!graphics->interface_table) return;
    graphics->load_image_file(path.c_str(), width, height, pixels);
    if (!*pixels) *width = *height = 0;
}

bool __cBitmap_save(std::string path, uint16_t width, uint16_t height, uint8_t* pixels)
{
    modGraphics* graphics = __mGraphics_instance();
    return graphics->interface_table && graphics->save_image_file(path.c_str(), width, height, pixels);
}

static uint8_t clamped_byte(double value)
{
    if (!(value > 0)) return 0;
    return value >= 255 ? 255 : uint8_t(value);
}

void __cBitmap_init(int16_t width, int16_t height, uint8_t** pixels)
{
    const size_t count = width > 0 && height > 0 ? size_t(width) * size_t(height) : 0;
    *pixels = new uint8_t[count * 4];
    for (size_t i = 0; i < count; ++i) {
        uint8_t* pixel = *pixels + 4 * i;
        pixel[0] = pixel[1] = pixel[2] = 0;
        pixel[3] = 255;
    }
}

void __cBitmap_get_pixel(cColor* out, uint8_t* pixels, int index)
{
    const uint8_t* pixel = pixels + 4 * size_t(index);
    *out = cColor(pixel[0] / 255.0f, pixel[1] / 255.0f, pixel[2] / 255.0f, pixel[3] / 255.0f);
}

void __cBitmap_set_pixel(cColor* color, uint8_t* pixels, int index)
{
    uint8_t* pixel = pixels + 4 * size_t(index);
    pixel[0] = uint8_t(color->r * 255);
    pixel[1] = uint8_t(color->g * 255);
    pixel[2] = uint8_t(color->b * 255);
    pixel[3] = uint8_t(color->a * 255);
}

void __cBitmap_set_to_color(cColor* color, uint8_t* pixels, int count)
{
    for (int i = 0; i < count; ++i) __cBitmap_set_pixel(color, pixels, i);
}

void __cBitmap_gauss_brush(cColor* color, uint8_t* pixels, int cx, int cy, int width, int height, float* radius,
                           float* sigma)
{
    const float channels[4] = {color->r, color->g, color->b, color->a};
    const float reach = 4 * *sigma * *sigma;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const float d = float((x - cx) * (x - cx) + (y - cy) * (y - cy)) - *radius * *radius;
            const double weight = d <= 0 ? 1.0 : (d < reach ? gauss_near_zero_taylor7(d, *sigma) : 0.0);
            uint8_t* pixel = pixels + 4 * (size_t(y) * size_t(width) + size_t(x));
            for (int c = 0; c < 4; ++c) pixel[c] = clamped_byte(pixel[c] + channels[c] * weight * 255);
        }
    }
}

static double height_at(const std::vector<double>& heights, int width, int height, int x, int y)
{
    x = (x % width + width) % width;
    y = (y % height + height) % height;
    return heights[size_t(y) * size_t(width) + size_t(x)];
}

void __cBitmap_bump_map_to_normal_map(uint8_t* pixels, int width, int height, float strength)
{
    if (width <= 0 || height <= 0) return;
    const size_t count = size_t(width) * size_t(height);
    std::vector<double> heights(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* pixel = pixels + 4 * i;
        heights[i] = (pixel[0] + pixel[1] + pixel[2]) / 3.0 * (pixel[3] / 65536.0);
    }
    std::vector<cVector3D> normals(count);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            auto h = [&](int dx, int dy) { return height_at(heights, width, height, x + dx, y + dy); };
            const double nx = -strength * ((h(0, -1) - h(-1, -1)) / 4 + (h(1, -1) - h(0, -1)) / 4 +
                                           (h(0, 0) - h(-1, 0)) / 8 + (h(1, 0) - h(0, 0)) / 8 +
                                           (h(0, 1) - h(-1, 1)) / 8 + (h(1, 1) - h(0, 1)) / 8);
            const double ny = -strength * ((h(-1, 0) - h(-1, -1)) / 4 + (h(-1, 1) - h(-1, 0)) / 4 +
                                           (h(0, 0) - h(0, -1)) / 8 + (h(0, 1) - h(0, 0)) / 8 +
                                           (h(1, 0) - h(1, -1)) / 8 + (h(1, 1) - h(1, 0)) / 8);
            cVector3D normal(nx, ny, 1);
            normal.normalize();
            normals[size_t(y) * size_t(width) + size_t(x)] = normal;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        uint8_t* pixel = pixels + 4 * i;
        pixel[0] = clamped_byte((normals[i].x + 1) * 128);
        pixel[1] = clamped_byte((normals[i].y + 1) * 128);
        pixel[2] = clamped_byte((normals[i].z + 1) * 128);
        pixel[3] = 255;
    }
}

void __cBitmap_color_key_mask(cColor* key, uint8_t* pixels, int count)
{
    const uint8_t r = uint8_t(key->r * 255), g = uint8_t(key->g * 255), b = uint8_t(key->b * 255);
    for (int i = 0; i < count; ++i) {
        uint8_t* pixel = pixels + 4 * size_t(i);
        const uint8_t value = pixel[0] == r && pixel[1] == g && pixel[2] == b ? 0 : 255;
        pixel[0] = pixel[1] = pixel[2] = value;
        pixel[3] = 255;
    }
}

// A channel past the four would read the next pixel's bytes.
void __cBitmap_monochrome_saturate_by_channel(uint8_t channel, uint8_t* pixels, int count)
{
    if (channel > 3) return;
    for (int i = 0; i < count; ++i) {
        uint8_t* pixel = pixels + 4 * size_t(i);
        pixel[0] = pixel[1] = pixel[2] = pixel[channel];
        pixel[3] = 255;
    }
}

void __cBitmap_multiply(float factor, uint8_t* pixels, int count)
{
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) pixels[4 * size_t(i) + c] = clamped_byte(pixels[4 * size_t(i) + c] * factor);
}

void __cBitmap_darken(uint8_t amount, uint8_t* pixels, int count)
{
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) {
            uint8_t& byte = pixels[4 * size_t(i) + c];
            byte = byte > amount ? uint8_t(byte - amount) : 0;
        }
}

void __cBitmap_brighten(uint8_t amount, uint8_t* pixels, int count)
{
    for (int i = 0; i < count; ++i)
        for (int c = 0; c < 3; ++c) {
            uint8_t& byte = pixels[4 * size_t(i) + c];
            byte = 255 - byte < amount ? 255 : uint8_t(byte + amount);
        }
}
