// The plain records the game's packets carry: roster entries and the
// track-load words, written and read field by field. Bodies, carts and
// projectiles go on the wire in their own objects' packed forms.
#pragma once

#include <cstdint>

#include "base/quaternion.h"
#include "base/serializable.h"
#include "base/vector.h"

constexpr int kPlayerSlots = 16;
constexpr uint32_t kPlayerNameSize = 32;
// "Fox" and "Ermine"; any other species index from a peer or a file means the first.
constexpr uint8_t kSpeciesCount = 2;
constexpr uint8_t kNoOwner = 0xFF;

inline uint8_t checked_species(uint32_t species)
{
    return species < kSpeciesCount ? uint8_t(species) : 0;
}

// A player slot from a peer: 0..15, or 0xFFFF for none.
inline uint16_t checked_slot(uint32_t slot)
{
    return slot < uint32_t(kPlayerSlots) ? uint16_t(slot) : 0xFFFF;
}

// Copies at most 31 characters of a name into a 32-byte field, zeros after it.
void copy_player_name(char out[kPlayerNameSize], const char* name);

bool is_finite(const cVector3D& v);
bool is_finite(const cQuaternion& q);

// The leading 64 bytes of a player record, as the roster sends them. The
// spare bytes go out as zeros.
class czrRosterEntry : public cSerializable {
public:
    static constexpr int kSize = 64;

    int serialize(void* out) const override;
    // The name is cut at byte 31 and zeroed after its end; the species is checked.
    int deserialize(const void* in) override;
    int serialized_size() const override { return kSize; }

    uint16_t state = 0;
    char name[kPlayerNameSize] = {};
    uint32_t car_sync_id = 0;
    uint8_t species = 0;
    double progress = 0;
    uint8_t laps = 0;
    uint8_t section = 0;
    uint8_t rank = 0;
};

// The six words every peer rebuilds the track from.
struct TrackLoadRecord {
    static constexpr int kSize = 12;

    int16_t node_count = 0;
    uint16_t carried[4] = {};
    int16_t seed = 0;
};

void write_track_load_record(ByteWriter& out, const TrackLoadRecord& record);
bool read_track_load_record(ByteReader& in, TrackLoadRecord* record);

// A record embedded in a larger span; a short span fails the reader or writer.
template <class Record>
bool write_record(ByteWriter& out, const Record& record)
{
    uint8_t image[Record::kSize];
    record.serialize(image);
    return out.bytes(image, sizeof image);
}

template <class Record>
bool read_record(ByteReader& in, Record& record)
{
    const uint8_t* image = in.take(Record::kSize);
    if (image) record.deserialize(image);
    return image;
}
