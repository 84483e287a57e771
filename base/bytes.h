// The one writer and the one reader of binary records. Files and packets are
// built and taken apart field by field, little-endian, never by copying a
// struct; the reader checks every field against the bytes left, so a short or
// forged record fails as a whole instead of reading past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

inline void store_u16_le(uint8_t* out, uint16_t value)
{
    out[0] = uint8_t(value);
    out[1] = uint8_t(value >> 8);
}

inline void store_u32_le(uint8_t* out, uint32_t value)
{
    for (int i = 0; i < 4; ++i) out[i] = uint8_t(value >> (8 * i));
}

inline void store_u64_le(uint8_t* out, uint64_t value)
{
    for (int i = 0; i < 8; ++i) out[i] = uint8_t(value >> (8 * i));
}

inline uint16_t load_u16_le(const uint8_t* in)
{
    return uint16_t(in[0] | (in[1] << 8));
}

inline uint32_t load_u32_le(const uint8_t* in)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = (value << 8) | in[i];
    return value;
}

inline uint64_t load_u64_le(const uint8_t* in)
{
    uint64_t value = 0;
    for (int i = 7; i >= 0; --i) value = (value << 8) | in[i];
    return value;
}

// Appends fields either to a growing vector or into a fixed span. In a span, a
// field that does not fit writes nothing and fails the writer for good.
class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : grow(&out), start(out.size()) {}
    ByteWriter(uint8_t* data, size_t capacity) : span(data), capacity(capacity) {}

    bool u8(uint8_t value)
    {
        uint8_t* at = reserve(1);
        if (at) *at = value;
        return at;
    }
    bool u16(uint16_t value)
    {
        uint8_t* at = reserve(2);
        if (at) store_u16_le(at, value);
        return at;
    }
    bool i16(int16_t value) { return u16(uint16_t(value)); }
    bool u32(uint32_t value)
    {
        uint8_t* at = reserve(4);
        if (at) store_u32_le(at, value);
        return at;
    }
    bool i32(int32_t value) { return u32(uint32_t(value)); }
    bool u64(uint64_t value)
    {
        uint8_t* at = reserve(8);
        if (at) store_u64_le(at, value);
        return at;
    }
    bool f32(float value)
    {
        uint32_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return u32(bits);
    }
    bool f64(double value)
    {
        uint64_t bits;
        std::memcpy(&bits, &value, sizeof bits);
        return u64(bits);
    }
    bool bytes(const void* data, size_t count)
    {
        uint8_t* at = reserve(count);
        if (at && count) std::memcpy(at, data, count);
        return at;
    }
    bool zeros(size_t count)
    {
        uint8_t* at = reserve(count);
        if (at && count) std::memset(at, 0, count);
        return at;
    }

    // Bytes written through this writer.
    size_t size() const { return grow ? grow->size() - start : written; }
    bool ok() const { return !failed; }

private:
    uint8_t* reserve(size_t count)
    {
        static uint8_t nothing;
        if (failed) return nullptr;
        if (count == 0) return &nothing;
        if (grow) {
            size_t old = grow->size();
            grow->resize(old + count);
            return grow->data() + old;
        }
        if (count > capacity - written) {
            failed = true;
            return nullptr;
        }
        uint8_t* at = span + written;
        written += count;
        return at;
    }

    std::vector<uint8_t>* grow = nullptr;
    size_t start = 0;
    uint8_t* span = nullptr;
    size_t capacity = 0;
    size_t written = 0;
    bool failed = false;
};

// Reads fields from a byte span. A read that would pass the end fails the
// reader: it and every later read yield zero and false.
class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size, size_t position = 0)
        : data(data), size(size), at(position), failed(position > size || (!data && size))
    {
    }

    bool u8(uint8_t& out)
    {
        const uint8_t* in = take(1);
        out = in ? in[0] : 0;
        return in;
    }
    bool u16(uint16_t& out)
    {
        const uint8_t* in = take(2);
        out = in ? load_u16_le(in) : 0;
        return in;
    }
    bool i16(int16_t& out)
    {
        uint16_t raw;
        bool good = u16(raw);
        out = int16_t(raw);
        return good;
    }
    bool u32(uint32_t& out)
    {
        const uint8_t* in = take(4);
        out = in ? load_u32_le(in) : 0;
        return in;
    }
    bool i32(int32_t& out)
    {
        uint32_t raw;
        bool good = u32(raw);
        out = int32_t(raw);
        return good;
    }
    bool u64(uint64_t& out)
    {
        const uint8_t* in = take(8);
        out = in ? load_u64_le(in) : 0;
        return in;
    }
    bool f32(float& out)
    {
        uint32_t bits;
        bool good = u32(bits);
        std::memcpy(&out, &bits, sizeof out);
        return good;
    }
    bool f64(double& out)
    {
        uint64_t bits;
        bool good = u64(bits);
        std::memcpy(&out, &bits, sizeof out);
        return good;
    }
    bool bytes(void* out, size_t count)
    {
        const uint8_t* in = take(count);
        if (count) {
            if (in)
                std::memcpy(out, in, count);
            else
                std::memset(out, 0, count);
        }
        return in;
    }
    bool skip(size_t count) { return take(count); }

    // The next count bytes (never null when they are there), or null and the
    // reader failed when fewer are left.
    const uint8_t* take(size_t count)
    {
        static const uint8_t nothing = 0;
        if (failed || count > size - at) {
            failed = true;
            return nullptr;
        }
        if (count == 0) return &nothing;
        const uint8_t* in = data + at;
        at += count;
        return in;
    }

    size_t position() const { return at; }
    size_t remaining() const { return failed ? 0 : size - at; }
    bool ok() const { return !failed; }

private:
    const uint8_t* data;
    size_t size;
    size_t at;
    bool failed;
};
