#include "base/value_bitmap.h"

#include <algorithm>

#include "base/bitmap.h"
#include "base/graphics_interface.h"
#include "base/modules.h"

cBitmap::cBitmap(const cBitmap& other) : cSerializable()
{
    assign(other.width, other.height, other.pixels);
}

cBitmap& cBitmap::operator=(const cBitmap& other)
{
    if (&other != this) assign(other.width, other.height, other.pixels);
    return *this;
}

cBitmap::~cBitmap()
{
    delete[] pixels;
}

void cBitmap::assign(uint16_t new_width, uint16_t new_height, const uint8_t* source)
{
    delete[] pixels;
    width = new_width;
    height = new_height;
    pixels = nullptr;
    if (pixel_bytes() == 0) return;
    pixels = new uint8_t[pixel_bytes()];
    if (source)
        std::copy(source, source + pixel_bytes(), pixels);
    else
        std::fill(pixels, pixels + pixel_bytes(), uint8_t(0));
}

int cBitmap::serialize(void* out) const
{
    cPackedWriter writer(out, size_t(serialized_size()));
    writer.u16(width);
    writer.u16(height);
    if (pixels)
        writer.bytes(pixels, pixel_bytes());
    else
        writer.zeros(pixel_bytes());
    return writer.written();
}

int cBitmap::deserialize(const void* in)
{
    cPackedReader header(in, 4);
    const uint16_t new_width = header.next_u16();
    const uint16_t new_height = header.next_u16();
    assign(new_width, new_height, nullptr);
    cPackedReader body(static_cast<const uint8_t*>(in) + header.consumed(), pixel_bytes());
    if (pixels) body.bytes(pixels, pixel_bytes());
    return header.consumed() + body.consumed();
}

int cBitmap::serialized_size() const
{
    return int(pixel_bytes() + 4);
}

bool cBitmap::load(const std::string& path)
{
    assign(0, 0, nullptr);
    __cBitmap_load(path, &width, &height, &pixels);
    return pixels != nullptr;
}

int cBitmap::load_texture(cGraphicsTextures* textures, const std::string& path, bool linear, bool mipmaps, bool clamp)
{
    cBitmap bitmap;
    if (!bitmap.load(path) || bitmap.pixel_bytes() == 0 || !*textures->table) return -1;
    return (*textures->table)->create_texture(&bitmap.width, &bitmap.height, bitmap.pixels, linear, mipmaps, clamp,
                                              -1, nullptr);
}
