#include "framework/packet.h"

bool read_packet_header(const uint8_t* bytes, size_t size, PacketHeader* header)
{
    ByteReader in(bytes, size);
    PacketHeader read;
    uint16_t spare;
    in.skip(4);
    in.u32(read.magic);
    in.u16(read.type);
    in.u16(spare);
    in.u32(read.length);
    if (!in.ok()) return false;
    *header = read;
    return true;
}

void write_packet_header(uint8_t out[kPacketHeaderSize], uint32_t magic, uint16_t type, uint32_t length)
{
    ByteWriter header(out, kPacketHeaderSize);
    header.u32(0);
    header.u32(magic);
    header.u16(type);
    header.u16(0);
    header.u32(length);
}
