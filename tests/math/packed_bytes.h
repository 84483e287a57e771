// Helpers to look at packed forms byte by byte.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "base/serializable.h"

inline std::vector<uint8_t> packed(const cSerializable& value)
{
    std::vector<uint8_t> bytes(size_t(value.serialized_size()) + 8, 0xEE);
    const int written = value.serialize(bytes.data());
    bytes.resize(size_t(written));
    return bytes;
}

inline std::vector<uint8_t> float_bytes(std::initializer_list<float> values)
{
    std::vector<uint8_t> bytes;
    for (float value : values) {
        uint32_t bits;
        std::memcpy(&bits, &value, 4);
        for (int i = 0; i < 4; ++i) bytes.push_back(uint8_t(bits >> (8 * i)));
    }
    return bytes;
}

inline float float_at(const std::vector<uint8_t>& bytes, size_t offset)
{
    const uint32_t bits = uint32_t(bytes[offset]) | uint32_t(bytes[offset + 1]) << 8 |
                          uint32_t(bytes[offset + 2]) << 16 | uint32_t(bytes[offset + 3]) << 24;
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}
