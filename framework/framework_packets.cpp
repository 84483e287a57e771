#include "framework/framework_packets.h"

#include <cmath>

#include "base/random.h"

cVantorChatPacket<kPacketMagic>* send_chat_line(const std::string& line)
{
    return new cVantorChatPacket<kPacketMagic>(line);
}

// The burst embeds a position, a velocity and a colour as they lie in memory;
// their object words and pads carry nothing and go out as zeros.
void write_particle_burst(const ParticleBurst& burst, uint8_t payload[kParticleBurstPayloadSize])
{
    ByteWriter out(payload, kParticleBurstPayloadSize);
    out.zeros(8);
    out.f64(burst.position.x);
    out.f64(burst.position.y);
    out.f64(burst.position.z);
    out.zeros(8);
    out.f64(burst.velocity.x);
    out.f64(burst.velocity.y);
    out.f64(burst.velocity.z);
    out.zeros(4);
    out.f32(burst.colour.r);
    out.f32(burst.colour.g);
    out.f32(burst.colour.b);
    out.f32(burst.colour.a);
    out.f32(burst.speed_min);
    out.f32(burst.speed_range);
    out.f32(burst.size_min);
    out.f32(burst.size_range);
    out.f32(burst.life_min);
    out.f32(burst.life_range);
    out.i16(burst.count);
}

ParticleBurst read_particle_burst(const uint8_t payload[kParticleBurstPayloadSize])
{
    ByteReader in(payload, kParticleBurstPayloadSize);
    ParticleBurst burst;
    in.skip(8);
    in.f64(burst.position.x);
    in.f64(burst.position.y);
    in.f64(burst.position.z);
    in.skip(8);
    in.f64(burst.velocity.x);
    in.f64(burst.velocity.y);
    in.f64(burst.velocity.z);
    in.skip(4);
    in.f32(burst.colour.r);
    in.f32(burst.colour.g);
    in.f32(burst.colour.b);
    in.f32(burst.colour.a);
    in.f32(burst.speed_min);
    in.f32(burst.speed_range);
    in.f32(burst.size_min);
    in.f32(burst.size_range);
    in.f32(burst.life_min);
    in.f32(burst.life_range);
    in.i16(burst.count);
    return burst;
}

int particle_burst_count(const ParticleBurst& burst)
{
    if (burst.count < 0) return 0;
    return burst.count < kMaxBurstParticles ? burst.count : kMaxBurstParticles;
}

static double unit_draw()
{
    return double(__mRandom_rand()) / kRandomMax;
}

static bool finite_vector(const cVector3D& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

static bool finite_colour(const cColor& c)
{
    return std::isfinite(c.r) && std::isfinite(c.g) && std::isfinite(c.b) && std::isfinite(c.a);
}

bool draw_burst_particle(const ParticleBurst& burst, BurstParticle* particle)
{
    BurstParticle drawn;
    drawn.size = float(burst.size_min + unit_draw() * burst.size_range);
    drawn.life = float(burst.life_min + unit_draw() * burst.life_range);
    cVector3D direction;
    __nsVector3d_on_unit_sphere(&direction);
    double speed = burst.speed_min + unit_draw() * burst.speed_range;
    drawn.velocity = cVector3D(burst.velocity.x + direction.x * speed, burst.velocity.y + direction.y * speed,
                               burst.velocity.z + direction.z * speed);
    drawn.position = burst.position;
    drawn.colour = burst.colour;
    if (!std::isfinite(drawn.life) || !(drawn.life > 0) || !std::isfinite(drawn.size)) return false;
    if (!finite_vector(drawn.position) || !finite_vector(drawn.velocity) || !finite_colour(drawn.colour)) return false;
    *particle = drawn;
    return true;
}
