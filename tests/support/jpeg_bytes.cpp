#include "tests/support/jpeg_bytes.h"

#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

std::string jpeg_bytes(int width, int height, int quality,
                       const std::function<void(int y, std::vector<uint8_t>& row)>& fill_row)
{
    jpeg_compress_struct info;
    jpeg_error_mgr errors;
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* memory = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &memory, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(size_t(width) * 3);
    for (int y = 0; y < height; ++y) {
        fill_row(y, row);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::string bytes(reinterpret_cast<const char*>(memory), size);
    free(memory);
    return bytes;
}
