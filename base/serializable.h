// The common base of the value types: each has a fixed packed form that
// travels in packets and across the plug-in tables, written field by field in
// little-endian order so that every peer reads the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/bytes.h"

class cSerializable {
public:
    // Writes the packed form to out; returns its byte count.
    virtual int serialize(void* out) const = 0;
    // Reads the packed form from in; returns its byte count.
    virtual int deserialize(const void* in) = 0;
    virtual int serialized_size() const = 0;

protected:
    // Value types are never destroyed through this base, so it has no
    // destructor slot of its own.
    ~cSerializable() = default;
};

// A packed form is written into, and read from, a span of exactly its size
// through the engine's one byte writer and reader; these add the byte counts
// the value types return and reads that hand back the value.
class cPackedWriter : public ByteWriter {
public:
    cPackedWriter(void* out, size_t size) : ByteWriter(static_cast<uint8_t*>(out), size) {}
    int written() const { return int(size()); }
};

class cPackedReader : public ByteReader {
public:
    cPackedReader(const void* in, size_t size) : ByteReader(static_cast<const uint8_t*>(in), size) {}
    uint8_t next_u8() { return next<uint8_t>(&ByteReader::u8); }
    uint16_t next_u16() { return next<uint16_t>(&ByteReader::u16); }
    int32_t next_i32() { return next<int32_t>(&ByteReader::i32); }
    float next_f32() { return next<float>(&ByteReader::f32); }
    double next_f64() { return next<double>(&ByteReader::f64); }
    int consumed() const { return int(position()); }

private:
    template <class T>
    T next(bool (ByteReader::*read)(T&))
    {
        T value{};
        (this->*read)(value);
        return value;
    }
};
