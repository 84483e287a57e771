// Little-endian TIFF files written field by field, so a test or a seed says
// exactly what the directory holds, forged fields included.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t kTiffShort = 3;
constexpr uint16_t kTiffLong = 4;

// A directory entry of one value.
struct TiffField {
    uint16_t tag;
    uint16_t type;  // kTiffShort or kTiffLong
    uint32_t value;
};

// Where the data after a directory of that many fields starts.
uint32_t tiff_data_offset(size_t field_count);
// The header, one directory of the fields by ascending tag, then the data.
std::string tiff_bytes(std::vector<TiffField> fields, const std::string& data);
// 2 x 2 grey pixels (0, 85, 170, 255) in one uncompressed strip of four bytes
// that the directory says lies at strip_at; by default right after it.
std::string tiff_grey_2x2(uint32_t strip_at = tiff_data_offset(9));
// 126 bytes that once made the import fill a strip of 9.5 GB: grey, 590 x
// 58882 pixels of 273 samples each, a compression nobody knows and no strip
// byte counts.
std::string tiff_grey_273_samples();

// 8-bit RGB images whose pixels lie in one strip or one square tile of side
// pixels, and whose directory says the pixels take byte_count bytes.
std::vector<TiffField> tiff_rgb_fields(uint32_t width, uint32_t height, uint16_t compression = 1,
                                       uint16_t samples = 3);
std::string tiff_one_strip(std::vector<TiffField> fields, uint32_t byte_count, const std::string& data);
std::string tiff_one_tile(std::vector<TiffField> fields, uint32_t side, uint32_t byte_count, const std::string& data);
