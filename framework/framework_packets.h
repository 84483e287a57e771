// The framework's own packet types (101 to 105) and the factory that builds
// them from received bytes. Game factories derive from it and ask it first.
#pragma once

#include <string>

#include "base/color.h"
#include "base/vector.h"
#include "framework/packet.h"

constexpr uint16_t kPacketChat = 101;
constexpr uint16_t kPacketClientQuit = 102;
constexpr uint16_t kPacketKeepAlive = 103;
constexpr uint16_t kPacketBooted = 104;
constexpr uint16_t kPacketParticleBurst = 105;

constexpr uint32_t kChatPayloadSize = 96;
constexpr uint32_t kParticleBurstPayloadSize = 110;
// A burst is drawn one quad at a time; a peer's count is capped so one packet cannot stall a frame.
constexpr int kMaxBurstParticles = 256;

// Chat text: at most 95 characters, byte 95 always zero, zeros after the text.
template <uint32_t Magic>
class cVantorChatPacket : public cNetPacketWithData<Magic, kChatPayloadSize> {
public:
    static constexpr uint16_t kType = kPacketChat;

    explicit cVantorChatPacket(const std::string& line) : cNetPacketWithData<Magic, kChatPayloadSize>(kType)
    {
        size_t count = line.size() < kChatPayloadSize - 1 ? line.size() : kChatPayloadSize - 1;
        std::memcpy(this->data(), line.data(), count);
    }
    // Received text is cut at byte 95 whatever the peer put there.
    explicit cVantorChatPacket(const uint8_t* payload) : cNetPacketWithData<Magic, kChatPayloadSize>(kType, payload)
    {
        this->data()[kChatPayloadSize - 1] = 0;
    }

    const char* text() const { return reinterpret_cast<const char*>(this->data()); }
};

// The chat packet of one typed line; the caller destroys it.
cVantorChatPacket<kPacketMagic>* send_chat_line(const std::string& line);

struct ParticleBurst {
    cVector3D position;
    cVector3D velocity;
    cColor colour;
    float speed_min = 0;
    float speed_range = 0;
    float size_min = 0;
    float size_range = 0;
    float life_min = 0;
    float life_range = 0;
    int16_t count = 0;
};

void write_particle_burst(const ParticleBurst& burst, uint8_t payload[kParticleBurstPayloadSize]);
ParticleBurst read_particle_burst(const uint8_t payload[kParticleBurstPayloadSize]);
// The number of particles a receiver adds: none for a negative count, at most kMaxBurstParticles.
int particle_burst_count(const ParticleBurst& burst);

struct BurstParticle {
    cVector3D position;
    cVector3D velocity;
    cColor colour;
    float life = 0;
    float size = 0;
};

// Draws one particle of the burst from the game's random generator. False
// drops it: a life that is not above 0 (its fade would divide by it) or any
// value that is not finite.
bool draw_burst_particle(const ParticleBurst& burst, BurstParticle* particle);

template <uint32_t Magic>
class cVantorParticleBurstPacket : public cNetPacketWithData<Magic, kParticleBurstPayloadSize> {
public:
    static constexpr uint16_t kType = kPacketParticleBurst;

    explicit cVantorParticleBurstPacket(const ParticleBurst& burst)
        : cNetPacketWithData<Magic, kParticleBurstPayloadSize>(kType)
    {
        write_particle_burst(burst, this->data());
    }
    explicit cVantorParticleBurstPacket(const uint8_t* payload)
        : cNetPacketWithData<Magic, kParticleBurstPayloadSize>(kType, payload)
    {
    }

    ParticleBurst burst() const { return read_particle_burst(this->data()); }
};

template <uint32_t Magic>
class cVantorPacketFactory : public cNetPacketFactoryBase {
public:
    bool packet_layout(uint16_t type, PacketLayout* layout) override
    {
        switch (type) {
        case kPacketChat: *layout = {PacketShape::fixed, kChatPayloadSize}; return true;
        case kPacketClientQuit:
        case kPacketKeepAlive:
        case kPacketBooted: *layout = {PacketShape::bare, 0}; return true;
        case kPacketParticleBurst: *layout = {PacketShape::fixed, kParticleBurstPayloadSize}; return true;
        default: return false;
        }
    }

    __cNetPacketBase* build_packet(const PacketHeader& header, const uint8_t* payload, uint32_t payload_size) override
    {
        switch (header.type) {
        case kPacketChat:
            return payload_size >= kChatPayloadSize ? new cVantorChatPacket<Magic>(payload) : nullptr;
        case kPacketClientQuit:
        case kPacketKeepAlive:
        case kPacketBooted: return new cNetPacket<Magic>(header.type);
        case kPacketParticleBurst:
            return payload_size >= kParticleBurstPayloadSize ? new cVantorParticleBurstPacket<Magic>(payload) : nullptr;
        default: return nullptr;
        }
    }
};
