// The shared field writer and bounded reader.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "base/bytes.h"

namespace {

TEST(ByteWriter, AppendsEveryWidthLittleEndian)
{
    std::vector<uint8_t> out = {0xEE};
    ByteWriter writer(out);
    writer.u8(0x01);
    writer.u16(0x0302);
    writer.u32(0x07060504);
    writer.u64(0x0F0E0D0C0B0A0908ull);
    writer.i16(-2);
    writer.f32(1.0f);
    writer.f64(-2.0);
    writer.zeros(2);
    const std::vector<uint8_t> expected = {0xEE, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0xFE, 0xFF,
                                           0x00, 0x00, 0x80, 0x3F, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0};
    EXPECT_EQ(out, expected);
    EXPECT_EQ(writer.size(), expected.size() - 1);
}

TEST(ByteWriter, SpanRefusesAFieldThatDoesNotFitAndStaysFailed)
{
    uint8_t span[5] = {9, 9, 9, 9, 9};
    ByteWriter writer(span, sizeof span);
    EXPECT_TRUE(writer.u32(0x44332211));
    EXPECT_FALSE(writer.u16(0xAAAA));
    EXPECT_FALSE(writer.u8(0x55));
    EXPECT_FALSE(writer.ok());
    const uint8_t expected[5] = {0x11, 0x22, 0x33, 0x44, 9};
    EXPECT_EQ(0, memcmp(span, expected, 5));
}

TEST(ByteReader, ShortReadFailsTheWholeRecord)
{
    const uint8_t record[] = {0x34, 0x12, 0x78, 0x56, 0xAA};
    ByteReader reader(record, sizeof record);
    uint16_t first = 0;
    uint32_t second = 1;
    uint8_t third = 1;
    EXPECT_TRUE(reader.u16(first));
    EXPECT_EQ(first, 0x1234);
    EXPECT_FALSE(reader.u32(second));
    EXPECT_EQ(second, 0u);
    EXPECT_FALSE(reader.u8(third)) << "a byte is left, but the record has already failed";
    EXPECT_EQ(third, 0);
    EXPECT_FALSE(reader.ok());
    EXPECT_EQ(reader.remaining(), 0u);
}

TEST(ByteReader, HugeCountsAndBadStartsNeverPassTheEnd)
{
    const uint8_t record[8] = {};
    ByteReader skipping(record, sizeof record);
    EXPECT_FALSE(skipping.skip(SIZE_MAX));
    ByteReader late(record, sizeof record, 9);
    uint8_t byte;
    EXPECT_FALSE(late.u8(byte));
    ByteReader empty(nullptr, 0);
    EXPECT_TRUE(empty.skip(0));
    EXPECT_FALSE(empty.u8(byte));
}

TEST(ByteReader, ReadsBackWhatTheWriterWrote)
{
    std::vector<uint8_t> out;
    ByteWriter writer(out);
    writer.i32(-123456);
    writer.f32(0.25f);
    writer.f64(NAN);
    writer.bytes("abc", 3);
    ByteReader reader(out.data(), out.size());
    int32_t whole;
    float quarter;
    double not_a_number;
    char text[3];
    EXPECT_TRUE(reader.i32(whole) && reader.f32(quarter) && reader.f64(not_a_number) && reader.bytes(text, 3));
    EXPECT_EQ(whole, -123456);
    EXPECT_EQ(quarter, 0.25f);
    EXPECT_TRUE(std::isnan(not_a_number));
    EXPECT_EQ(std::string(text, 3), "abc");
    EXPECT_EQ(reader.remaining(), 0u);
}

}  // namespace
