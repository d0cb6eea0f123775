#include "wire/CommandPacket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace
{
using HeaderBytes = std::array<uint8_t, 18>;

HeaderBytes WireBytes(const CCommandPacket& packet)
{
    HeaderBytes bytes{};
    packet.WriteTo(bytes.data());
    return bytes;
}

// A header as it goes out: fields set, checksum computed by CopyTo.
CCommandPacket Checked(uint16_t target, uint16_t com, uint16_t ident, int32_t lParam, int32_t dataLen,
                       uint16_t ack = 0)
{
    CCommandPacket fields;
    fields.Set(target, com, ident, lParam, dataLen, ack);
    CCommandPacket checked;
    fields.CopyTo(checked);
    return checked;
}
} // namespace

TEST(CommandPacket, VersionRequestHasTheDocumentedBytes)
{
    const HeaderBytes expected = {0x04, 0x00, 0x02, 0x00, 0x02, 0x00, 0x00, 0x00, 0x04,
                                  0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x00};
    EXPECT_EQ(WireBytes(Checked(4, 2, 2, 4, 0)), expected);
    EXPECT_EQ(CCommandPacket::HeaderSize(), 18);
}

TEST(CommandPacket, ChecksumIsTheByteSumOfTheFirst16Bytes)
{
    EXPECT_EQ(Checked(1, 6, 11, 0, 0).Checksum(), 0x0012);
    EXPECT_EQ(Checked(0, 0, 0, 0, 0).Checksum(), 0);

    // Bytes above 0x7F count as unsigned and the sum wraps at 16 bits.
    uint8_t bytes[18];
    std::memset(bytes, 0xFF, sizeof bytes);
    EXPECT_EQ(ComputeChecksum(bytes), 16 * 0xFF);

    HeaderBytes original = WireBytes(Checked(4, 6, 0, -2, 1234));
    HeaderBytes permuted = original;
    std::reverse(permuted.begin(), permuted.begin() + 16);
    EXPECT_EQ(ComputeChecksum(original.data()), ComputeChecksum(permuted.data()));
}

TEST(CommandPacket, FieldsAreLittleEndianAtFixedOffsets)
{
    const HeaderBytes bytes = WireBytes(Checked(0x0102, 0x0304, 0x0506, -2, 0x0A0B0C0D, 0x0708));
    const HeaderBytes expected = {0x02, 0x01, 0x04, 0x03, 0x06, 0x05, 0x08, 0x07, 0xFE,
                                  0xFF, 0xFF, 0xFF, 0x0D, 0x0C, 0x0B, 0x0A, 0x00, 0x00};
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(bytes[i], expected[i]) << "offset " << i;

    CCommandPacket read;
    EXPECT_TRUE(read.ReadFrom(bytes.data()));
    EXPECT_EQ(read.Target(), 0x0102);
    EXPECT_EQ(read.Com(), 0x0304);
    EXPECT_EQ(read.Ident(), 0x0506);
    EXPECT_EQ(read.Ack(), 0x0708);
    EXPECT_EQ(read.LParam(), -2);
    EXPECT_EQ(read.DataLen(), 0x0A0B0C0D);
}

TEST(CommandPacket, AnyChangedByteFailsTheCheck)
{
    const HeaderBytes good = WireBytes(Checked(4, 1, 0, 0, 9));
    for (size_t i = 0; i < good.size(); ++i)
    {
        HeaderBytes bad = good;
        bad[i] ^= 0x01;
        CCommandPacket read;
        EXPECT_FALSE(read.ReadFrom(bad.data())) << "byte " << i;
        EXPECT_FALSE(read.IsValid());
    }
}

TEST(CommandPacket, SetClearsTheChecksumAndCopyFromReportsValidity)
{
    CCommandPacket packet = Checked(4, 2, 1, 3, 0);
    ASSERT_NE(packet.Checksum(), 0);
    packet.Set(4, 2, 1, 3, 0, 1);
    EXPECT_EQ(packet.Checksum(), 0);
    EXPECT_EQ(packet.Ack(), 1);

    CCommandPacket copy;
    EXPECT_FALSE(copy.CopyFrom(packet));
    EXPECT_EQ(copy.Ack(), 1);
    EXPECT_TRUE(copy.CopyFrom(Checked(4, 2, 1, 3, 0, 1)));

    CCommandPacket destination;
    const uint16_t checksum = packet.CopyTo(destination);
    EXPECT_EQ(checksum, destination.Checksum());
    EXPECT_TRUE(destination.IsValid());
    EXPECT_EQ(packet.Checksum(), 0); // the source is not changed
}
