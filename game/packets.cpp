#include "game/packets.h"

#include <cmath>
#include <cstdio>

namespace {

struct GameType {
    uint16_t type;
    PacketLayout layout;
};

const GameType gameTypes[] = {
    {kPacketRequestJoin, {PacketShape::fixed, kRequestJoinPayloadSize}},
    {kPacketRequestReset, {PacketShape::bare, 0}},
    {kPacketRequestAction, {PacketShape::fixed, 6}},
    {kPacketPostMovement, {PacketShape::dynamic, 0}},
    {kPacketWelcome, {PacketShape::dynamic, 0}},
    {kPacketRacetrackLoad, {PacketShape::dynamic, 0}},
    {kPacketNextLap, {PacketShape::fixed, 1}},
    {kPacketUnused4, {PacketShape::bare, 0}},
    {kPacketUnused5, {PacketShape::bare, 0}},
    {kPacketBackToLobby, {PacketShape::bare, 0}},
    {kPacketProjectileSpawn, {PacketShape::dynamic, 0}},
    {kPacketProjectileDelete, {PacketShape::fixed, 4}},
    {kPacketBlastSpawn, {PacketShape::dynamic, 0}},
    {kPacketRoster, {PacketShape::fixed, kPlayerSlots * czrRosterEntry::kSize}},
    {kPacketCarTeleport, {PacketShape::fixed, 76}},
    {kPacketUpdateCars, {PacketShape::dynamic, 0}},
    {kPacketImpulse, {PacketShape::fixed, 32}},
};

// Capacities the builders start with; the buffers double when a packet outgrows them.
constexpr uint32_t kPostMovementCapacity = 48;
constexpr uint32_t kSmallDynamicCapacity = 176;

// A vector or quaternion as it lies in memory: an object word and a pad
// (zeros on the wire), then the components as doubles.
void write_vector_image(ByteWriter& out, const cVector3D& v)
{
    out.zeros(8);
    out.f64(v.x);
    out.f64(v.y);
    out.f64(v.z);
}

void write_rotation_image(ByteWriter& out, const cQuaternion& q)
{
    out.zeros(8);
    out.f64(q.x);
    out.f64(q.y);
    out.f64(q.z);
    out.f64(q.w);
}

void read_vector_image(ByteReader& in, cVector3D* v)
{
    in.skip(8);
    in.f64(v->x);
    in.f64(v->y);
    in.f64(v->z);
}

void read_rotation_image(ByteReader& in, cQuaternion* q)
{
    in.skip(8);
    in.f64(q->x);
    in.f64(q->y);
    in.f64(q->z);
    in.f64(q->w);
}

czrJoinRequest join_request_from(const uint8_t* payload)
{
    czrJoinRequest request;
    char field[kPlayerNameSize];
    std::memcpy(field, payload, kPlayerNameSize);
    field[kPlayerNameSize - 1] = 0;
    copy_player_name(request.name, field);
    request.species = checked_species(payload[kPlayerNameSize]);
    return request;
}

}  // namespace

void refuse_packet(uint16_t type, const char* reason)
{
    printf("ERROR: Dropped packet of Type %u: %s\n", unsigned(type), reason);
}

czrpRequestJoin::czrpRequestJoin(const char* name, uint16_t species) : cNetPacketWithData(kType)
{
    copy_player_name(reinterpret_cast<char*>(data()), name);
    data()[kPlayerNameSize] = uint8_t(species);
}

czrJoinRequest czrpRequestJoin::request() const
{
    return join_request_from(data());
}

bool starts_with_join_header(const uint8_t* bytes, size_t count)
{
    PacketHeader header;
    return read_packet_header(bytes, count, &header) && header.magic == kPacketMagic &&
           header.type == kPacketRequestJoin;
}

bool read_join_request(const uint8_t* bytes, size_t count, czrJoinRequest* request)
{
    if (!starts_with_join_header(bytes, count)) return false;
    if (count < kRequestJoinWireSize) {
        refuse_packet(kPacketRequestJoin, "too short");
        return false;
    }
    *request = join_request_from(bytes + kPacketHeaderSize);
    return true;
}

czrpRequestAction::czrpRequestAction(uint16_t word, uint32_t value) : cNetPacketWithData(kType)
{
    ByteWriter out = writer();
    out.u16(word);
    out.u32(value);
}

czrpRoster::czrpRoster(const czrRosterEntry entries[kPlayerSlots]) : cNetPacketWithData(kType)
{
    ByteWriter out = writer();
    for (int slot = 0; slot < kPlayerSlots; ++slot) write_record(out, entries[slot]);
}

czrRosterEntry czrpRoster::entry(int slot) const
{
    czrRosterEntry entry;
    if (slot < 0 || slot >= kPlayerSlots) return entry;
    entry.deserialize(data() + slot * czrRosterEntry::kSize);
    return entry;
}

czrpCarTeleport::czrpCarTeleport(const czrTeleport& teleport) : cNetPacketWithData(kType)
{
    ByteWriter out = writer();
    out.u32(teleport.sync_id);
    write_vector_image(out, teleport.position);
    write_rotation_image(out, teleport.rotation);
}

bool czrpCarTeleport::read(czrTeleport* teleport) const
{
    ByteReader in = reader();
    czrTeleport read;
    in.u32(read.sync_id);
    read_vector_image(in, &read.position);
    read_rotation_image(in, &read.rotation);
    if (!is_finite(read.position) || !is_finite(read.rotation)) {
        refuse_packet(kType, "value not finite");
        return false;
    }
    *teleport = read;
    return true;
}

czrpImpulse::czrpImpulse(const cVector3D& impulse) : cNetPacketWithData(kType)
{
    ByteWriter out = writer();
    write_vector_image(out, impulse);
}

bool czrpImpulse::read(cVector3D* impulse) const
{
    ByteReader in = reader();
    cVector3D read;
    read_vector_image(in, &read);
    if (!is_finite(read)) {
        refuse_packet(kType, "value not finite");
        return false;
    }
    *impulse = read;
    return true;
}

bool czrpDynamic::holds_at_least(uint32_t minimum) const
{
    if (length >= minimum) return true;
    refuse_packet(type, "too short");
    return false;
}

czrpPostMovement::czrpPostMovement(const ctPhysicsObject& body) : czrpDynamic(kType, kPostMovementCapacity)
{
    uint8_t form[ctPhysicsObject::kSerializedSize];
    const int written = body.serialize(form);
    if (written > 0) write_bytes(form, uint32_t(written));
}

bool czrpPostMovement::read(ctPhysicsObject* body) const
{
    if (!holds_at_least(kMinimumLength)) return false;
    if (body->deserialize(buffer + kPacketHeaderSize) != ctPhysicsObject::kSerializedSize) {
        refuse_packet(kType, "value not finite");
        return false;
    }
    return true;
}

czrpWelcome::czrpWelcome(const czrWelcome& welcome) : czrpDynamic(kType, kSmallDynamicCapacity)
{
    write_u16(welcome.welcome_word);
    write_u16(welcome.slot);
    write_u16(welcome.host_slot);
}

bool czrpWelcome::read(czrWelcome* welcome) const
{
    if (!holds_at_least(kMinimumLength)) return false;
    ByteReader in = payload();
    in.u16(welcome->welcome_word);
    in.u16(welcome->slot);
    in.u16(welcome->host_slot);
    return true;
}

czrpRacetrackLoad::czrpRacetrackLoad(const TrackLoadRecord& track, uint32_t cart_count)
    : czrpDynamic(kType, kSmallDynamicCapacity)
{
    uint8_t words[TrackLoadRecord::kSize];
    ByteWriter out(words, sizeof words);
    write_track_load_record(out, track);
    write_bytes(words, sizeof words);
    write_u32(cart_count);
}

void czrpRacetrackLoad::append_cart(const czrCar& car)
{
    write_u8(car.species);
    write_object(car);
}

bool czrpRacetrackLoad::read(czrRacetrack* racetrack) const
{
    if (!holds_at_least(kCartsOffset)) return false;
    ByteReader in = payload();
    czrRacetrack read;
    uint32_t count = 0;
    read_track_load_record(in, &read.track);
    in.u32(count);
    uint32_t fits = (length - kCartsOffset) / kCartSize;
    if (count > uint32_t(kPlayerSlots) || count > fits) {
        refuse_packet(kType, "cart count does not fit");
        return false;
    }
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t species = 0;
        in.u8(species);
        std::unique_ptr<czrCar> car(new czrCar(cVector3D(), cQuaternion(), kNoCartOwner, checked_species(species)));
        const uint8_t* record = in.take(czrCar::kRecordSize);
        if (!record || car->read_sync_record(record, czrCar::kRecordSize) != czrCar::kRecordSize) {
            refuse_packet(kType, "value not finite");
            return false;
        }
        read.carts.push_back(std::move(car));
    }
    *racetrack = std::move(read);
    return true;
}

czrpProjectileSpawn::czrpProjectileSpawn(const czrProjectile& projectile) : czrpDynamic(kType, kSmallDynamicCapacity)
{
    uint8_t record[czrProjectile::kRecordSize];
    const int written = projectile.write_sync_record(record, sizeof record);
    if (written > 0) write_bytes(record, uint32_t(written));
}

bool czrpProjectileSpawn::read(czrProjectile* projectile) const
{
    if (!holds_at_least(kMinimumLength)) return false;
    if (projectile->read_sync_record(buffer + kPacketHeaderSize, length - kPacketHeaderSize) !=
        czrProjectile::kRecordWritten) {
        refuse_packet(kType, "value not finite");
        return false;
    }
    return true;
}

czrpBlastSpawn::czrpBlastSpawn() : czrpDynamic(kType, kPacketHeaderSize) {}

czrpUpdateCars::czrpUpdateCars(uint16_t cart_count, uint16_t projectile_count)
    : czrpDynamic(kType, kSmallDynamicCapacity)
{
    write_u16(cart_count);
    write_u16(projectile_count);
}

// Advances by what the object wrote, which may be less than the room its
// class reserves.
template <class Object>
static void append_sync_state(czrpDynamic* packet, const Object& object, uint8_t* room, size_t size)
{
    const int written = object.write_sync_state(room, size);
    if (written > 0) packet->write_bytes(room, uint32_t(written));
}

void czrpUpdateCars::append_cart(const czrCar& car)
{
    uint8_t state[cVantorSyncedPhysicsObject::kSyncStateSize];
    write_u32(car.sync_id);
    append_sync_state(this, car, state, sizeof state);
}

void czrpUpdateCars::append_projectile(const czrProjectile& projectile)
{
    uint8_t state[czrProjectile::kStateSize];
    write_u32(projectile.sync_id);
    append_sync_state(this, projectile, state, sizeof state);
}

void czrpUpdateCars::append_ranks(const uint8_t ranks[kPlayerSlots])
{
    write_bytes(ranks, kPlayerSlots);
}

template <class Scratch>
static bool read_entries(ByteReader& in, std::vector<czrSyncEntry>& entries, int state_size)
{
    Scratch scratch;
    bool finite = true;
    for (czrSyncEntry& entry : entries) {
        in.u32(entry.sync_id);
        entry.state = in.take(size_t(state_size));
        finite = finite && entry.state && scratch.read_sync_state(entry.state, size_t(state_size), 0.0f) == state_size;
    }
    return finite;
}

bool czrpUpdateCars::read(czrCarsUpdate* update) const
{
    ByteReader in = payload();
    czrCarsUpdate read;
    uint16_t carts = 0;
    uint16_t projectiles = 0;
    in.u16(carts);
    in.u16(projectiles);
    const uint64_t entries = uint64_t(carts) * (4 + kCartStateSize) + uint64_t(projectiles) * (4 + kProjectileStateSize);
    if (!in.ok() || entries + kPlayerSlots > in.remaining()) {
        refuse_packet(kType, "too short");
        return false;
    }
    read.carts.resize(carts);
    read.projectiles.resize(projectiles);
    const bool finite = read_entries<cVantorSyncedPhysicsObject>(in, read.carts, kCartStateSize) &&
                        read_entries<czrProjectile>(in, read.projectiles, kProjectileStateSize);
    in.bytes(read.ranks, kPlayerSlots);
    if (!finite) {
        refuse_packet(kType, "value not finite");
        return false;
    }
    *update = std::move(read);
    return true;
}

bool czrPacketFactory::game_layout(uint16_t type, PacketLayout* layout)
{
    for (const GameType& known : gameTypes)
        if (known.type == type) {
            *layout = known.layout;
            return true;
        }
    return false;
}

bool czrPacketFactory::packet_layout(uint16_t type, PacketLayout* layout)
{
    if (cVantorPacketFactory::packet_layout(type, layout) || game_layout(type, layout)) return true;
    printf("ERROR: Invalid Net-Message Type %u\n", unsigned(type));
    return false;
}

__cNetPacketBase* czrPacketFactory::build_packet(const PacketHeader& header, const uint8_t* payload,
                                                 uint32_t payload_size)
{
    PacketLayout layout;
    if (cVantorPacketFactory::packet_layout(header.type, &layout))
        return cVantorPacketFactory::build_packet(header, payload, payload_size);
    if (!game_layout(header.type, &layout)) {
        printf("ERROR: Invalid Net-Message Type %u\n", unsigned(header.type));
        return nullptr;
    }
    switch (layout.shape) {
    case PacketShape::bare: return new czrpBare(header.type);
    case PacketShape::fixed: return payload_size >= layout.payload ? build_fixed(header.type, payload) : nullptr;
    case PacketShape::dynamic: return build_dynamic(header, payload, payload_size);
    }
    return nullptr;
}

__cNetPacketBase* czrPacketFactory::build_fixed(uint16_t type, const uint8_t* payload)
{
    switch (type) {
    case kPacketRequestJoin: return new czrpRequestJoin(payload);
    case kPacketRequestAction: return new czrpRequestAction(payload);
    case kPacketNextLap: return new czrpNextLap(payload);
    case kPacketProjectileDelete: return new czrpProjectileDelete(payload);
    case kPacketRoster: return new czrpRoster(payload);
    case kPacketCarTeleport: return new czrpCarTeleport(payload);
    case kPacketImpulse: return new czrpImpulse(payload);
    default: return nullptr;
    }
}

__cNetPacketBase* czrPacketFactory::build_dynamic(const PacketHeader& header, const uint8_t* payload, uint32_t size)
{
    switch (header.type) {
    case kPacketPostMovement: return new czrpPostMovement(header, payload, size);
    case kPacketWelcome: return new czrpWelcome(header, payload, size);
    case kPacketRacetrackLoad: return new czrpRacetrackLoad(header, payload, size);
    case kPacketProjectileSpawn: return new czrpProjectileSpawn(header, payload, size);
    case kPacketBlastSpawn: return new czrpBlastSpawn(header, payload, size);
    case kPacketUpdateCars: return new czrpUpdateCars(header, payload, size);
    default: return nullptr;
    }
}
