// The packed forms of bodies and synced bodies, byte by byte, and what their
// readers refuse from a peer.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "../math/packed_bytes.h"
#include "scene/synced_physics_object.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes u32_bytes(uint32_t value)
{
    return {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

// Every field a different value, each exact in float32.
template <class Body>
void fill(Body& body)
{
    body.position = cVector3D(1, 2, 3);
    body.rotation = cQuaternion(0, 0.6, 0, 0.8);
    body.radius = 4;
    body.velocity = cVector3D(5, 6, 7);
    body.motion_a = cVector3D(8, 9, 10);
    body.motion_b = cVector3D(11, 12, 13);
    body.motion_c = cVector3D(14, 15, 16);
    body.mass = 17;
}

const Bytes kBodyBytes = float_bytes({1, 2, 3, 0, 0.6f, 0, 0.8f, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17});
// No radius, no mass; the rotation after motion_a.
const Bytes kStateBytes = float_bytes({1, 2, 3, 5, 6, 7, 8, 9, 10, 0, 0.6f, 0, 0.8f, 11, 12, 13, 14, 15, 16});

// The body forms of two bodies, synced or not.
void expect_same_body(const ctPhysicsObject& a, const ctPhysicsObject& b)
{
    EXPECT_EQ(packed(ctPhysicsObject(a)), packed(ctPhysicsObject(b)));
}

TEST(BodyForm, Is84BytesOfFloat32InFieldOrder)
{
    ctPhysicsObject body;
    fill(body);
    const Bytes bytes = packed(body);
    ASSERT_EQ(bytes.size(), 84u);
    EXPECT_EQ(body.serialized_size(), 84);
    EXPECT_EQ(bytes, kBodyBytes);
    // 1.0f little-endian leads the form.
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), (Bytes{0x00, 0x00, 0x80, 0x3F}));
}

TEST(BodyForm, ReadsBackAndNormalisesTheRotation)
{
    Bytes bytes = kBodyBytes;
    const Bytes doubled = float_bytes({0, 1.2f, 0, 1.6f});
    std::copy(doubled.begin(), doubled.end(), bytes.begin() + 12);
    ctPhysicsObject body;
    EXPECT_EQ(body.deserialize(bytes.data()), 84);
    EXPECT_NEAR(body.rotation.y, 0.6, 1e-7);
    EXPECT_NEAR(body.rotation.w, 0.8, 1e-7);
    EXPECT_EQ(body.mass, 17);
    EXPECT_EQ(body.motion_c.z, 16);
}

TEST(BodyForm, AZeroRotationStaysZero)
{
    Bytes bytes = kBodyBytes;
    std::fill(bytes.begin() + 12, bytes.begin() + 28, 0);
    ctPhysicsObject body;
    ASSERT_EQ(body.deserialize(bytes.data()), 84);
    EXPECT_EQ(body.rotation.x, 0);
    EXPECT_EQ(body.rotation.y, 0);
    EXPECT_EQ(body.rotation.z, 0);
    EXPECT_EQ(body.rotation.w, 0);
}

TEST(BodyForm, CopiesCarryTheWholePhysicalState)
{
    ctPhysicsObject source;
    fill(source);
    ctPhysicsObject copy(source);
    expect_same_body(copy, source);
    ctPhysicsObject assigned;
    assigned = source;
    expect_same_body(assigned, source);
}

TEST(SyncState, Is76BytesWithTheRotationAfterMotionA)
{
    cVantorSyncedPhysicsObject body;
    fill(body);
    Bytes bytes(80, 0xEE);
    EXPECT_EQ(body.write_sync_state(bytes.data(), bytes.size()), 76);
    EXPECT_EQ(body.sync_state_size(), 76);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 76), kStateBytes);
    EXPECT_EQ(bytes[76], 0xEE);
}

TEST(SyncState, ReadKeepsTheRotationAsSentAndFillsTheSnapshot)
{
    Bytes bytes = kStateBytes;
    const Bytes doubled = float_bytes({0, 1.2f, 0, 1.6f});
    std::copy(doubled.begin(), doubled.end(), bytes.begin() + 36);
    cVantorSyncedPhysicsObject body(cVector3D(), cQuaternion(), 2.5f, 9, 0);
    EXPECT_EQ(body.read_sync_state(bytes.data(), bytes.size(), 3.5f), 76);
    EXPECT_EQ(body.sync_time, 3.5f);
    EXPECT_FLOAT_EQ(float(body.rotation.w), 1.6f);
    EXPECT_EQ(body.velocity.x, 5);
    EXPECT_EQ(body.motion_c.z, 16);
    // Radius and mass do not travel in the state.
    EXPECT_EQ(body.radius, 2.5f);
    EXPECT_EQ(body.mass, 9);
    EXPECT_EQ(body.snapshot->position.z, 3);
    EXPECT_FLOAT_EQ(float(body.snapshot->rotation.w), 1.6f);
    EXPECT_EQ(body.snapshot->motion_b.y, 12);
}

TEST(SyncRecord, Writes88ReportsAndZeroes92)
{
    cVantorSyncedPhysicsObject body;
    fill(body);
    body.sync_id = 0x01020304;
    Bytes bytes(96, 0xAA);
    EXPECT_EQ(body.write_sync_record(bytes.data(), bytes.size()), 88);
    EXPECT_EQ(body.sync_record_size(), 92);
    EXPECT_EQ(body.serialized_size(), 92);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 88), concat({kBodyBytes, Bytes{0x04, 0x03, 0x02, 0x01}}));
    EXPECT_EQ(Bytes(bytes.begin() + 88, bytes.begin() + 92), Bytes(4, 0));
    EXPECT_EQ(bytes[92], 0xAA);  // nothing past the reserved size

    Bytes through_serialize(92, 0xAA);
    EXPECT_EQ(body.serialize(through_serialize.data()), 88);
    EXPECT_EQ(through_serialize, Bytes(bytes.begin(), bytes.begin() + 92));
}

TEST(SyncRecord, RecordsPackedBackToBackReadByTheirWrittenCount)
{
    cVantorSyncedPhysicsObject first, second;
    fill(first);
    fill(second);
    first.sync_id = 1;
    second.sync_id = 2;
    second.position = cVector3D(-1, -2, -3);

    // Exactly what was written, no reserve: the second record starts at byte 88.
    Bytes stream(176, 0xAA);
    const int a = first.write_sync_record(stream.data(), stream.size());
    ASSERT_EQ(a, 88);
    const int b = second.write_sync_record(stream.data() + a, stream.size() - size_t(a));
    ASSERT_EQ(b, 88);

    cVantorSyncedPhysicsObject read_first, read_second;
    const int c = read_first.read_sync_record(stream.data(), stream.size());
    ASSERT_EQ(c, 88);
    EXPECT_EQ(read_second.read_sync_record(stream.data() + c, stream.size() - size_t(c)), 88);
    EXPECT_EQ(read_first.sync_id, 1u);
    EXPECT_EQ(read_second.sync_id, 2u);
    expect_same_body(read_second, second);
    expect_same_body(*read_second.snapshot, second);
}

TEST(SyncRecord, ReadNormalisesTheRotationAndFillsTheSnapshot)
{
    Bytes bytes = concat({kBodyBytes, u32_bytes(77)});
    const Bytes doubled = float_bytes({0, 1.2f, 0, 1.6f});
    std::copy(doubled.begin(), doubled.end(), bytes.begin() + 12);
    cVantorSyncedPhysicsObject body;
    EXPECT_EQ(body.deserialize(bytes.data()), 88);
    EXPECT_EQ(body.sync_id, 77u);
    EXPECT_NEAR(body.rotation.w, 0.8, 1e-7);
    expect_same_body(*body.snapshot, body);
}

TEST(SyncRecord, ACopyOwnsItsOwnSnapshot)
{
    cVantorSyncedPhysicsObject source(cVector3D(1, 1, 1), cQuaternion(), 1, 2, 0.5f);
    source.sync_id = 9;
    cVantorSyncedPhysicsObject copy(source);
    EXPECT_NE(copy.snapshot.get(), source.snapshot.get());
    EXPECT_EQ(copy.sync_id, 9u);
    EXPECT_EQ(copy.sync_time, 0.5f);
    source.snapshot->position.x = 42;
    EXPECT_EQ(copy.snapshot->position.x, 1);
}

TEST(SyncedBase, WritesNoStateAndOnlyTheIdAsItsRecord)
{
    struct Plain : _cVantorSyncedObjectBase {};
    Plain plain;
    plain.sync_id = 0xA1B2C3D4;
    Bytes bytes(8, 0xEE);
    EXPECT_EQ(plain.write_sync_state(bytes.data(), bytes.size()), 0);
    EXPECT_EQ(plain.sync_state_size(), 0);
    EXPECT_EQ(plain.read_sync_state(bytes.data(), 0, 2.0f), 0);
    EXPECT_EQ(plain.sync_time, 2.0f);
    EXPECT_EQ(plain.write_sync_record(bytes.data(), bytes.size()), 4);
    EXPECT_EQ(plain.sync_record_size(), 4);
    EXPECT_EQ(bytes, (Bytes{0xD4, 0xC3, 0xB2, 0xA1, 0xEE, 0xEE, 0xEE, 0xEE}));
    Plain other;
    EXPECT_EQ(other.read_sync_record(bytes.data(), 4), 4);
    EXPECT_EQ(other.sync_id, 0xA1B2C3D4);
}

// What one reader makes of the bytes given to it; -1 when it refuses.
struct ReaderCase {
    const char* name;
    Bytes good;  // a valid image
    int (*read)(cVantorSyncedPhysicsObject& body, const Bytes& bytes, size_t size);
    // Offsets of the float fields a peer could forge.
    size_t first_float, float_count;
};

int read_state(cVantorSyncedPhysicsObject& body, const Bytes& bytes, size_t size)
{
    return body.read_sync_state(bytes.data(), size, 1.0f);
}

int read_record(cVantorSyncedPhysicsObject& body, const Bytes& bytes, size_t size)
{
    return body.read_sync_record(bytes.data(), size);
}

int read_body(cVantorSyncedPhysicsObject& body, const Bytes& bytes, size_t size)
{
    // The body form is read from a span of its full size only.
    if (size < 84) return -2;
    return body.ctPhysicsObject::deserialize(bytes.data());
}

const ReaderCase kReaders[] = {
    {"sync state", kStateBytes, read_state, 0, 19},
    {"sync record", concat({kBodyBytes, u32_bytes(5)}), read_record, 0, 21},
    {"body form", kBodyBytes, read_body, 0, 21},
};

cVantorSyncedPhysicsObject untouched()
{
    cVantorSyncedPhysicsObject body(cVector3D(-7, -7, -7), cQuaternion(), 3, 4, 0.25f);
    body.sync_id = 99;
    body.velocity = cVector3D(-1, 0, 0);
    return body;
}

void expect_untouched(const cVantorSyncedPhysicsObject& body, const char* name)
{
    const cVantorSyncedPhysicsObject reference = untouched();
    EXPECT_EQ(packed(body), packed(reference)) << name;
    EXPECT_EQ(packed(*body.snapshot), packed(*reference.snapshot)) << name;
    EXPECT_EQ(body.sync_time, reference.sync_time) << name;
}

TEST(SyncedReaders, AcceptTheirWholeImage)
{
    for (const ReaderCase& reader : kReaders) {
        cVantorSyncedPhysicsObject body = untouched();
        EXPECT_EQ(reader.read(body, reader.good, reader.good.size()), int(reader.good.size())) << reader.name;
    }
}

TEST(SyncedReaders, RefuseShortInputAndChangeNothing)
{
    for (const ReaderCase& reader : kReaders) {
        if (reader.read == read_body) continue;  // no length to be short of
        for (size_t size : {size_t(0), size_t(4), reader.good.size() - 1}) {
            cVantorSyncedPhysicsObject body = untouched();
            EXPECT_EQ(reader.read(body, reader.good, size), -1) << reader.name << " given " << size;
            expect_untouched(body, reader.name);
        }
    }
    cVantorSyncedPhysicsObject body = untouched();
    EXPECT_EQ(body.read_sync_record(nullptr, 0), -1);
    EXPECT_EQ(body.read_sync_state(nullptr, 0, 1.0f), -1);
    expect_untouched(body, "null buffer");
}

TEST(SyncedReaders, RefuseANonFiniteNumberInAnyFieldAndChangeNothing)
{
    const float forged[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity()};
    for (const ReaderCase& reader : kReaders) {
        for (size_t field = 0; field < reader.float_count; ++field) {
            for (float value : forged) {
                Bytes bytes = reader.good;
                const Bytes image = float_bytes({value});
                std::copy(image.begin(), image.end(), bytes.begin() + long(reader.first_float + 4 * field));
                cVantorSyncedPhysicsObject body = untouched();
                EXPECT_EQ(reader.read(body, bytes, bytes.size()), -1) << reader.name << " field " << field;
                expect_untouched(body, reader.name);
            }
        }
    }
}

TEST(SyncedReaders, RefuseANonFiniteTimeStamp)
{
    cVantorSyncedPhysicsObject body = untouched();
    EXPECT_EQ(body.read_sync_state(kStateBytes.data(), kStateBytes.size(), std::nanf("")), -1);
    expect_untouched(body, "state time");
}

TEST(SyncedWriters, RefuseTooLittleRoomAndWriteNothing)
{
    cVantorSyncedPhysicsObject body;
    fill(body);
    Bytes bytes(96, 0xAA);
    EXPECT_EQ(body.write_sync_state(bytes.data(), 75), -1);
    EXPECT_EQ(body.write_sync_record(bytes.data(), 87), -1);
    EXPECT_EQ(bytes, Bytes(96, 0xAA));
    // Room for exactly what is written: no spare bytes are touched.
    EXPECT_EQ(body.write_sync_record(bytes.data(), 88), 88);
    EXPECT_EQ(bytes[88], 0xAA);
}

}  // namespace
