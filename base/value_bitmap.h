// An RGBA image in memory (4 bytes a pixel, rows in order) that owns its
// pixel array.
#pragma once

#include <cstdint>
#include <string>

#include "base/serializable.h"

class cGraphicsTextures;

class cBitmap : public cSerializable {
public:
    cBitmap() = default;
    cBitmap(const cBitmap& other);
    cBitmap& operator=(const cBitmap& other);
    virtual ~cBitmap();

    int serialize(void* out) const override;
    // Replaces the pixel array by one of the incoming size.
    int deserialize(const void* in) override;
    int serialized_size() const override;

    // Reads an image file through the graphics module; a failed read leaves
    // an empty bitmap. True when pixels were read.
    bool load(const std::string& path);

    // Loads the image file into a new texture (appended, no completion
    // callback); -1 without creating one when the file cannot be read.
    static int load_texture(cGraphicsTextures* textures, const std::string& path, bool linear, bool mipmaps,
                            bool clamp);

    uint16_t width = 0;
    uint16_t height = 0;
    uint8_t* pixels = nullptr;  // new[]; null when the bitmap is empty

private:
    size_t pixel_bytes() const { return size_t(width) * height * 4; }
    void assign(uint16_t new_width, uint16_t new_height, const uint8_t* source);
};
