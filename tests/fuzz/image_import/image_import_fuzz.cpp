// Image files through the platform's import: the first byte picks the file's
// ending, the rest is the file. What comes back is width x height RGBA.
#include <cstring>

#include "platform/images.h"
#include "tests/fuzz/support/fuzz_support.h"

// Where every pixel byte is read to, so the sanitizer sees each read.
volatile uint8_t pixel_sink;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    quiet_standard_output();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0) return 0;
    const int format = data[0] % trellis::get_image_format_count();
    const std::string path =
        scratch_file(std::string("image.") + trellis::get_image_format_name(format), data + 1, size - 1);
    uint16_t width = 1;
    uint16_t height = 1;
    uint8_t* rgba = nullptr;
    trellis::import_image(path.c_str(), &width, &height, &rgba);
    if (!rgba) {
        if (width != 0 || height != 0) __builtin_trap();
        return 0;
    }
    if (width == 0 || height == 0) __builtin_trap();
    for (size_t i = 0; i < size_t(width) * height * 4; ++i) pixel_sink = rgba[i];
    delete[] rgba;
    return 0;
}
