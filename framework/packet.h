// Packets: a 16-byte header (object word, magic, type, two spare bytes,
// length) and a payload, sent as one byte run. The wire image is always
// written field by field with zeros in the object word, the spare bytes and
// every pad byte, so no memory contents ever reach a peer.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <vector>

#include "base/bytes.h"

constexpr uint32_t kPacketMagic = 23467203;
constexpr uint32_t kPacketHeaderSize = 16;
// Largest dynamic image a peer may announce or this side may build; longer
// lengths are forged or corrupt.
constexpr uint32_t kMaxDynamicPacketSize = 65536;

constexpr uint32_t padded_to_word(uint32_t count)
{
    return (count + 3u) & ~3u;
}

constexpr uint32_t fixed_wire_size(uint32_t payload)
{
    return kPacketHeaderSize + padded_to_word(payload);
}

// The header fields a receiver uses; the object word and spare bytes are never read.
struct PacketHeader {
    uint32_t magic = 0;
    uint16_t type = 0;
    uint32_t length = 0;
};

// False when fewer than 16 bytes are given.
bool read_packet_header(const uint8_t* bytes, size_t size, PacketHeader* header);
void write_packet_header(uint8_t out[kPacketHeaderSize], uint32_t magic, uint16_t type, uint32_t length);

// How a type travels: bare (header only), fixed (payload N, padded to a
// word) or dynamic (the header's length covers the whole image).
enum class PacketShape : uint8_t { bare, fixed, dynamic };

struct PacketLayout {
    PacketShape shape = PacketShape::bare;
    uint32_t payload = 0;  // N of a fixed type
};

class __cNetPacketBase {
public:
    __cNetPacketBase(uint32_t magic, uint16_t type, uint32_t length) : magic(magic), type(type), length(length) {}
    virtual ~__cNetPacketBase() = default;
    __cNetPacketBase(const __cNetPacketBase&) = delete;
    __cNetPacketBase& operator=(const __cNetPacketBase&) = delete;

    // The bytes to send, valid until the packet changes; take the size first.
    virtual const uint8_t* get_wire_data() = 0;
    virtual uint32_t get_wire_size() const = 0;
    virtual void destroy() { delete this; }

    uint32_t magic;
    uint16_t type;
    uint32_t length;
};

template <uint32_t Magic>
class cNetPacket : public __cNetPacketBase {
public:
    explicit cNetPacket(uint16_t type) : __cNetPacketBase(Magic, type, 0) {}

    const uint8_t* get_wire_data() override
    {
        write_packet_header(header_image, magic, type, length);
        return header_image;
    }
    uint32_t get_wire_size() const override { return kPacketHeaderSize; }

protected:
    cNetPacket(uint16_t type, uint32_t length) : __cNetPacketBase(Magic, type, length) {}

private:
    uint8_t header_image[kPacketHeaderSize] = {};
};

template <uint32_t Magic, uint32_t N>
class cNetPacketWithData : public cNetPacket<Magic> {
public:
    static constexpr uint32_t kPayloadSize = N;

    explicit cNetPacketWithData(uint16_t type) : cNetPacket<Magic>(type, N) {}
    cNetPacketWithData(uint16_t type, const uint8_t* payload) : cNetPacket<Magic>(type, N)
    {
        std::memcpy(data(), payload, N);
    }

    uint8_t* data() { return image + kPacketHeaderSize; }
    const uint8_t* data() const { return image + kPacketHeaderSize; }
    ByteReader reader() const { return ByteReader(data(), N); }
    ByteWriter writer() { return ByteWriter(data(), N); }

    const uint8_t* get_wire_data() override
    {
        write_packet_header(image, this->magic, this->type, this->length);
        std::memset(image + kPacketHeaderSize + N, 0, sizeof image - kPacketHeaderSize - N);
        return image;
    }
    uint32_t get_wire_size() const override { return fixed_wire_size(N); }

private:
    uint8_t image[fixed_wire_size(N)] = {};
};

template <uint32_t Magic>
class cNetPacketDynamic : public cNetPacket<Magic> {
public:
    // For sending: the header alone, room for capacity bytes before the first growth.
    cNetPacketDynamic(uint16_t type, uint32_t capacity)
        : cNetPacket<Magic>(type, kPacketHeaderSize), capacity(capacity < kPacketHeaderSize ? kPacketHeaderSize : capacity)
    {
        if (this->capacity > kMaxDynamicPacketSize) this->capacity = kMaxDynamicPacketSize;
        buffer = new uint8_t[this->capacity]();
        write_packet_header(buffer, this->magic, this->type, this->length);
    }
    // From received bytes: the whole image, read from just after the header.
    cNetPacketDynamic(const PacketHeader& header, const uint8_t* payload, uint32_t payload_size)
        : cNetPacket<Magic>(header.type, kPacketHeaderSize + payload_size), capacity(kPacketHeaderSize + payload_size)
    {
        buffer = new uint8_t[capacity]();
        write_packet_header(buffer, this->magic, this->type, this->length);
        if (payload_size) std::memcpy(buffer + kPacketHeaderSize, payload, payload_size);
    }
    ~cNetPacketDynamic() override { delete[] buffer; }

    const uint8_t* get_wire_data() override
    {
        write_packet_header(buffer, this->magic, this->type, this->length);
        return buffer;
    }
    uint32_t get_wire_size() const override { return this->length; }

    bool write_u8(uint8_t value) { return writer_for(1).u8(value); }
    bool write_u16(uint16_t value) { return writer_for(2).u16(value); }
    bool write_u32(uint32_t value) { return writer_for(4).u32(value); }
    bool write_f32(float value) { return writer_for(4).f32(value); }
    bool write_f64(double value) { return writer_for(8).f64(value); }
    bool write_bytes(const void* data, uint32_t count) { return writer_for(count).bytes(data, count); }
    // Any value type with serialized_size and serialize (the packed forms).
    template <class T>
    bool write_object(T& object)
    {
        int size = object.serialized_size();
        if (size < 0 || !grow_for(uint32_t(size))) return false;
        int written = object.serialize(buffer + this->length);
        if (written < 0 || written > size) written = size;
        this->length += uint32_t(written);
        return true;
    }

    bool read_u8(uint8_t& out) { return read_with([&](ByteReader& in) { return in.u8(out); }); }
    bool read_u16(uint16_t& out) { return read_with([&](ByteReader& in) { return in.u16(out); }); }
    bool read_u32(uint32_t& out) { return read_with([&](ByteReader& in) { return in.u32(out); }); }
    bool read_f32(float& out) { return read_with([&](ByteReader& in) { return in.f32(out); }); }
    bool read_f64(double& out) { return read_with([&](ByteReader& in) { return in.f64(out); }); }
    bool read_bytes(void* out, uint32_t count) { return read_with([&](ByteReader& in) { return in.bytes(out, count); }); }
    bool skip(uint32_t count) { return read_with([&](ByteReader& in) { return in.skip(count); }); }
    // The read advances by the count deserialize returns, as writing advanced
    // by the count serialize returned, so a form shorter than its packed size
    // is followed by the next field. A refusal (a negative count) or a count
    // past the bytes left fails the packet. deserialize never reads past the
    // packed size; when fewer bytes than that are left, a copy of the object
    // reads them zero-padded, so a partial form changes nothing.
    template <class T>
    bool read_object(T& object)
    {
        const int size = object.serialized_size();
        if (read_failed || size < 0) return refuse_read();
        const uint32_t left = bytes_left();
        if (left >= uint32_t(size)) return advance_by(object.deserialize(buffer + read_position), left);
        return read_short_form(object, uint32_t(size), left);
    }
    uint32_t bytes_left() const { return read_failed || read_position > this->length ? 0 : this->length - read_position; }
    // Set by the first read that found too few bytes; every later read fails too.
    bool failed() const { return read_failed; }

    uint8_t* buffer = nullptr;
    uint32_t capacity;
    uint32_t read_position = kPacketHeaderSize;

private:
    // Doubles the capacity until count more bytes fit; refuses past the largest image.
    bool grow_for(uint32_t count)
    {
        if (count > kMaxDynamicPacketSize - this->length) {
            printf("ERROR: Packet of type %u would grow past %u bytes\n", unsigned(this->type),
                   unsigned(kMaxDynamicPacketSize));
            return false;
        }
        uint32_t needed = this->length + count;
        if (needed <= capacity) return true;
        uint32_t grown = capacity ? capacity : kPacketHeaderSize;
        while (grown < needed) grown *= 2;
        uint8_t* larger = new uint8_t[grown]();
        std::memcpy(larger, buffer, capacity);
        delete[] buffer;
        buffer = larger;
        capacity = grown;
        return true;
    }
    // A span writer over exactly count bytes at the end of the data.
    ByteWriter writer_for(uint32_t count)
    {
        if (!grow_for(count)) return ByteWriter(nullptr, 0);
        uint8_t* at = buffer + this->length;
        this->length += count;
        return ByteWriter(at, count);
    }
    template <class T>
    bool read_short_form(T& object, uint32_t size, uint32_t left)
    {
        if constexpr (std::is_copy_constructible_v<T> && std::is_copy_assignable_v<T>) {
            std::vector<uint8_t> padded(size, 0);
            if (left) std::memcpy(padded.data(), buffer + read_position, left);
            T copy(object);
            if (!advance_by(copy.deserialize(padded.data()), left)) return false;
            object = copy;
            return true;
        } else {
            return refuse_read();
        }
    }
    bool advance_by(int count, uint32_t left)
    {
        if (count < 0 || uint32_t(count) > left) return refuse_read();
        read_position += uint32_t(count);
        return true;
    }
    bool refuse_read()
    {
        read_failed = true;
        return false;
    }
    template <class Read>
    bool read_with(Read read)
    {
        ByteReader in(buffer, this->length, read_position);
        if (read_failed || !read(in)) {
            read_failed = true;
            return false;
        }
        read_position = uint32_t(in.position());
        return true;
    }

    bool read_failed = false;
};

template <uint32_t Magic>
class cVantorPacketDynamic : public cNetPacketDynamic<Magic> {
public:
    using cNetPacketDynamic<Magic>::cNetPacketDynamic;
};

// Turns a received header and its complete payload into a packet.
class cNetPacketFactoryBase {
public:
    virtual ~cNetPacketFactoryBase() = default;
    // How the type travels, so the cutter waits for its whole wire size;
    // false when this factory builds no packet of the type. The cutter asks
    // once per received header and then drops an unknown one, so a factory
    // that reports unknown types does it here.
    virtual bool packet_layout(uint16_t type, PacketLayout* layout) = 0;
    // payload holds payload_size bytes: the padded N of a fixed type, the
    // header's length less 16 of a dynamic one. Null for an unknown type.
    virtual __cNetPacketBase* build_packet(const PacketHeader& header, const uint8_t* payload, uint32_t payload_size) = 0;
};

// A handler's checked conversion to the concrete class of a type (T::kType).
template <class T>
T* packet_cast(__cNetPacketBase* packet)
{
    T* concrete = packet && packet->type == T::kType ? dynamic_cast<T*>(packet) : nullptr;
    if (!concrete) printf("ERROR: %s\n", "Invalid type conversion on packet");
    return concrete;
}
