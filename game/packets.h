// The race game's packet types and the factory that builds them from received
// bytes. Types 20001 to 20004 go from a client to the host, 30001 to 30013
// from the host to clients. Every reader checks the bytes a peer sent before
// it hands anything on: a dynamic packet too short for what it announces, a
// count that does not fit, or a non-finite number in a body, state or vector
// is dropped with one error line, and names and species come back checked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/framework_packets.h"
#include "game/cart.h"
#include "game/packet_records.h"
#include "game/projectile.h"

constexpr uint16_t kPacketRequestJoin = 20001;
constexpr uint16_t kPacketRequestReset = 20002;
constexpr uint16_t kPacketRequestAction = 20003;
constexpr uint16_t kPacketPostMovement = 20004;
constexpr uint16_t kPacketWelcome = 30001;
constexpr uint16_t kPacketRacetrackLoad = 30002;
constexpr uint16_t kPacketNextLap = 30003;
constexpr uint16_t kPacketUnused4 = 30004;
constexpr uint16_t kPacketUnused5 = 30005;
constexpr uint16_t kPacketBackToLobby = 30006;
constexpr uint16_t kPacketProjectileSpawn = 30007;
constexpr uint16_t kPacketProjectileDelete = 30008;
constexpr uint16_t kPacketBlastSpawn = 30009;
constexpr uint16_t kPacketRoster = 30010;
constexpr uint16_t kPacketCarTeleport = 30011;
constexpr uint16_t kPacketUpdateCars = 30012;
constexpr uint16_t kPacketImpulse = 30013;

constexpr uint32_t kRequestJoinPayloadSize = 33;
constexpr uint32_t kRequestJoinWireSize = kPacketHeaderSize + kRequestJoinPayloadSize;

using czrpBare = cNetPacket<kPacketMagic>;

// Prints the one line a dropped packet gets.
void refuse_packet(uint16_t type, const char* reason);

struct czrJoinRequest {
    char name[kPlayerNameSize] = {};
    uint8_t species = 0;
};

// 20001: the joining player's name (byte 31 always 0) and species byte.
class czrpRequestJoin : public cNetPacketWithData<kPacketMagic, kRequestJoinPayloadSize> {
public:
    static constexpr uint16_t kType = kPacketRequestJoin;

    czrpRequestJoin(const char* name, uint16_t species);
    explicit czrpRequestJoin(const uint8_t* payload) : cNetPacketWithData(kType, payload) {}

    czrJoinRequest request() const;
};

// The host reads joins straight from a new peer's socket: true when the
// bytes start with a header of type 20001.
bool starts_with_join_header(const uint8_t* bytes, size_t count);
// The request those bytes carry; false, with an error line, when fewer than
// the 49 bytes of a whole request came.
bool read_join_request(const uint8_t* bytes, size_t count, czrJoinRequest* request);

// 20003: a controller event's u16 and u32.
class czrpRequestAction : public cNetPacketWithData<kPacketMagic, 6> {
public:
    static constexpr uint16_t kType = kPacketRequestAction;

    czrpRequestAction(uint16_t word, uint32_t value);
    explicit czrpRequestAction(const uint8_t* payload) : cNetPacketWithData(kType, payload) {}

    uint16_t word() const { return load_u16_le(data()); }
    uint32_t value() const { return load_u32_le(data() + 2); }
};

// 30003: the laps the receiver has completed.
class czrpNextLap : public cNetPacketWithData<kPacketMagic, 1> {
public:
    static constexpr uint16_t kType = kPacketNextLap;

    explicit czrpNextLap(uint8_t laps) : cNetPacketWithData(kType) { data()[0] = laps; }
    explicit czrpNextLap(const uint8_t* payload) : cNetPacketWithData(kType, payload) {}

    uint8_t laps() const { return data()[0]; }
};

// 30008: the sync id of a projectile to remove.
class czrpProjectileDelete : public cNetPacketWithData<kPacketMagic, 4> {
public:
    static constexpr uint16_t kType = kPacketProjectileDelete;

    explicit czrpProjectileDelete(uint32_t sync_id) : cNetPacketWithData(kType) { store_u32_le(data(), sync_id); }
    explicit czrpProjectileDelete(const uint8_t* payload) : cNetPacketWithData(kType, payload) {}

    uint32_t sync_id() const { return load_u32_le(data()); }
};

// 30010: the 16 roster entries, slot 0 first.
class czrpRoster : public cNetPacketWithData<kPacketMagic, kPlayerSlots * czrRosterEntry::kSize> {
public:
    static constexpr uint16_t kType = kPacketRoster;

    explicit czrpRoster(const czrRosterEntry entries[kPlayerSlots]);
    explicit czrpRoster(const uint8_t* payload) : cNetPacketWithData(kType, payload) {}

    // Entry slot (0..15) with its name terminated and its species checked.
    czrRosterEntry entry(int slot) const;
};

struct czrTeleport {
    uint32_t sync_id = 0;
    cVector3D position;
    cQuaternion rotation;
};

// 30011: a cart's new place, position and rotation as in-memory images.
class czrpCarTeleport : public cNetPacketWithData<kPacketMagic, 76> {
public:
    static constexpr uint16_t kType = kPacketCarTeleport;

    explicit czrpCarTeleport(const czrTeleport& teleport);
    explicit czrpCarTeleport(const uint8_t* payload) : cNetPacketWithData(kType, payload) {}

    // False, with an error line, for a non-finite position or rotation.
    bool read(czrTeleport* teleport) const;
};

// 30013: the impulse a contact gave the receiver's cart, as a vector image.
class czrpImpulse : public cNetPacketWithData<kPacketMagic, 32> {
public:
    static constexpr uint16_t kType = kPacketImpulse;

    explicit czrpImpulse(const cVector3D& impulse);
    explicit czrpImpulse(const uint8_t* payload) : cNetPacketWithData(kType, payload) {}

    // False, with an error line, for a non-finite impulse.
    bool read(cVector3D* impulse) const;
};

// The base of the dynamic game packets: reads start after the header and
// may be repeated.
class czrpDynamic : public cVantorPacketDynamic<kPacketMagic> {
public:
    using cVantorPacketDynamic::cVantorPacketDynamic;

protected:
    ByteReader payload() const { return ByteReader(buffer, length, kPacketHeaderSize); }
    // False, with an error line, when the packet is shorter than minimum.
    bool holds_at_least(uint32_t minimum) const;
};

// 20004: the sender's cart body.
class czrpPostMovement : public czrpDynamic {
public:
    static constexpr uint16_t kType = kPacketPostMovement;
    static constexpr uint32_t kMinimumLength = kPacketHeaderSize + ctPhysicsObject::kSerializedSize;

    explicit czrpPostMovement(const ctPhysicsObject& body);
    czrpPostMovement(const PacketHeader& header, const uint8_t* payload, uint32_t size)
        : czrpDynamic(header, payload, size) {}

    // False, with an error line and the body unchanged, when short or
    // holding a non-finite number.
    bool read(ctPhysicsObject* body) const;
};

struct czrWelcome {
    uint16_t welcome_word = 0;
    uint16_t slot = 0;
    uint16_t host_slot = 0;
};

// 30001: the host's welcome word, the slot it gave the peer and its own slot.
class czrpWelcome : public czrpDynamic {
public:
    static constexpr uint16_t kType = kPacketWelcome;
    static constexpr uint32_t kMinimumLength = kPacketHeaderSize + 6;

    explicit czrpWelcome(const czrWelcome& welcome);
    czrpWelcome(const PacketHeader& header, const uint8_t* payload, uint32_t size)
        : czrpDynamic(header, payload, size) {}

    bool read(czrWelcome* welcome) const;
};

struct czrRacetrack {
    TrackLoadRecord track;
    std::vector<std::unique_ptr<czrCar>> carts;
};

// 30002: the track words, then every cart in ascending sync id.
class czrpRacetrackLoad : public czrpDynamic {
public:
    static constexpr uint16_t kType = kPacketRacetrackLoad;
    static constexpr uint32_t kCartsOffset = kPacketHeaderSize + TrackLoadRecord::kSize + 4;
    static constexpr uint32_t kCartSize = 1 + czrCar::kRecordSize;

    // The track words and the cart count; the caller appends that many carts.
    czrpRacetrackLoad(const TrackLoadRecord& track, uint32_t cart_count);
    czrpRacetrackLoad(const PacketHeader& header, const uint8_t* payload, uint32_t size)
        : czrpDynamic(header, payload, size) {}

    // The cart's species, then its record.
    void append_cart(const czrCar& car);
    // False, with an error line, when the count exceeds 16 or the carts the
    // bytes hold, or a cart body is not finite. Each cart is built of the
    // species sent before its record; the record's own species then holds.
    bool read(czrRacetrack* racetrack) const;
};

// 30007: one projectile record.
class czrpProjectileSpawn : public czrpDynamic {
public:
    static constexpr uint16_t kType = kPacketProjectileSpawn;
    static constexpr uint32_t kMinimumLength = kPacketHeaderSize + czrProjectile::kRecordWritten;

    explicit czrpProjectileSpawn(const czrProjectile& projectile);
    czrpProjectileSpawn(const PacketHeader& header, const uint8_t* payload, uint32_t size)
        : czrpDynamic(header, payload, size) {}

    // False, with an error line and the projectile unchanged, when short or
    // holding a non-finite number.
    bool read(czrProjectile* projectile) const;
};

// 30009: a blast; it has no layout.
class czrpBlastSpawn : public czrpDynamic {
public:
    static constexpr uint16_t kType = kPacketBlastSpawn;

    czrpBlastSpawn();
    czrpBlastSpawn(const PacketHeader& header, const uint8_t* payload, uint32_t size)
        : czrpDynamic(header, payload, size) {}
};

// One object's entry: its id and its sync state, which points into the
// packet and lives as long as the packet does.
struct czrSyncEntry {
    uint32_t sync_id = 0;
    const uint8_t* state = nullptr;
};

struct czrCarsUpdate {
    std::vector<czrSyncEntry> carts;        // 76-byte cart sync states
    std::vector<czrSyncEntry> projectiles;  // 84-byte projectile sync states
    uint8_t ranks[kPlayerSlots] = {};
};

// 30012: the counts, every cart's and projectile's sync state, the 16 ranks.
class czrpUpdateCars : public czrpDynamic {
public:
    static constexpr uint16_t kType = kPacketUpdateCars;
    static constexpr int kCartStateSize = cVantorSyncedPhysicsObject::kSyncStateSize;
    static constexpr int kProjectileStateSize = czrProjectile::kStateWritten;

    // The counts; the caller appends that many carts, then projectiles, then the ranks.
    czrpUpdateCars(uint16_t cart_count, uint16_t projectile_count);
    czrpUpdateCars(const PacketHeader& header, const uint8_t* payload, uint32_t size)
        : czrpDynamic(header, payload, size) {}

    // The object's sync id, then its sync state.
    void append_cart(const czrCar& car);
    void append_projectile(const czrProjectile& projectile);
    void append_ranks(const uint8_t ranks[kPlayerSlots]);
    // False, with an error line, when the bytes do not hold what the counts
    // announce or a state is not finite. Every state is checked by reading it
    // into a scratch body of its class, so what is applied later reads.
    bool read(czrCarsUpdate* update) const;
};

// One per player connection: the framework's types first, then the game's.
class czrPacketFactory : public cVantorPacketFactory<kPacketMagic> {
public:
    // Prints "ERROR: Invalid Net-Message Type " and the type for a type no one knows.
    bool packet_layout(uint16_t type, PacketLayout* layout) override;
    __cNetPacketBase* build_packet(const PacketHeader& header, const uint8_t* payload, uint32_t payload_size) override;

private:
    static bool game_layout(uint16_t type, PacketLayout* layout);
    static __cNetPacketBase* build_fixed(uint16_t type, const uint8_t* payload);
    static __cNetPacketBase* build_dynamic(const PacketHeader& header, const uint8_t* payload, uint32_t size);
};
