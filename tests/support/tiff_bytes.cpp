#include "tests/support/tiff_bytes.h"

#include <algorithm>

#include "base/bytes.h"

uint32_t tiff_data_offset(size_t field_count)
{
    return uint32_t(8 + 2 + field_count * 12 + 4);
}

std::string tiff_bytes(std::vector<TiffField> fields, const std::string& data)
{
    std::stable_sort(fields.begin(), fields.end(),
                     [](const TiffField& a, const TiffField& b) { return a.tag < b.tag; });
    std::vector<uint8_t> bytes;
    ByteWriter out(bytes);
    out.bytes("II", 2);
    out.u16(42);
    out.u32(8);
    out.u16(uint16_t(fields.size()));
    for (const TiffField& field : fields) {
        out.u16(field.tag);
        out.u16(field.type);
        out.u32(1);
        if (field.type == kTiffShort) {
            out.u16(uint16_t(field.value));
            out.u16(0);
        } else {
            out.u32(field.value);
        }
    }
    out.u32(0);
    out.bytes(data.data(), data.size());
    return std::string(bytes.begin(), bytes.end());
}

std::string tiff_grey_2x2(uint32_t strip_at)
{
    return tiff_bytes({{256, kTiffShort, 2},
                       {257, kTiffShort, 2},
                       {258, kTiffShort, 8},
                       {259, kTiffShort, 1},
                       {262, kTiffShort, 1},
                       {273, kTiffLong, strip_at},
                       {277, kTiffShort, 1},
                       {278, kTiffShort, 2},
                       {279, kTiffLong, 4}},
                      std::string("\x00\x55\xAA\xFF", 4));
}

std::string tiff_grey_273_samples()
{
    return tiff_bytes({{256, kTiffShort, 590},
                       {257, kTiffShort, 58882},
                       {258, kTiffShort, 8},
                       {259, kTiffShort, 50000},
                       {262, kTiffShort, 1},
                       {273, kTiffLong, tiff_data_offset(9)},
                       {277, kTiffShort, 273},
                       {278, kTiffShort, 58882},
                       {284, kTiffShort, 1}},
                      std::string("\x00\x55\xAA\xFF", 4));
}

std::vector<TiffField> tiff_rgb_fields(uint32_t width, uint32_t height, uint16_t compression, uint16_t samples)
{
    return {{256, kTiffLong, width},       {257, kTiffLong, height}, {258, kTiffShort, 8},
            {259, kTiffShort, compression}, {262, kTiffShort, 2},    {277, kTiffShort, samples}};
}

std::string tiff_one_strip(std::vector<TiffField> fields, uint32_t byte_count, const std::string& data)
{
    fields.push_back({273, kTiffLong, tiff_data_offset(fields.size() + 2)});
    fields.push_back({279, kTiffLong, byte_count});
    return tiff_bytes(fields, data);
}

std::string tiff_one_tile(std::vector<TiffField> fields, uint32_t side, uint32_t byte_count, const std::string& data)
{
    fields.push_back({322, kTiffLong, side});
    fields.push_back({323, kTiffLong, side});
    fields.push_back({324, kTiffLong, tiff_data_offset(fields.size() + 2)});
    fields.push_back({325, kTiffLong, byte_count});
    return tiff_bytes(fields, data);
}
