#include "net/ReceiveAssembler.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

Bytes Packet(uint16_t target, uint16_t com, const std::string& data, int32_t dataLen)
{
    CCommandPacket fields;
    fields.Set(target, com, 0, 0, dataLen, 1);
    CCommandPacket checked;
    fields.CopyTo(checked);
    Bytes bytes(18);
    checked.WriteTo(bytes.data());
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

Bytes Packet(uint16_t target, uint16_t com, const std::string& data)
{
    return Packet(target, com, data, static_cast<int32_t>(data.size()));
}

Bytes operator+(Bytes left, const Bytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

// What the connection's receive loop does with one read.
void Receive(CReceiveAssembler& assembler, const Bytes& bytes)
{
    CByteBuffer& buffer = assembler.Buffer();
    const int32_t count = static_cast<int32_t>(bytes.size());
    ASSERT_TRUE(buffer.Reserve(count));
    if (count > 0)
        std::memcpy(buffer.End(), bytes.data(), bytes.size());
    ASSERT_TRUE(buffer.Grow(count));
}

std::string PayloadText(const CReceiveAssembler& assembler)
{
    return std::string(reinterpret_cast<const char*>(assembler.Payload()),
                       static_cast<size_t>(assembler.PayloadLength()));
}
} // namespace

TEST(ReceiveAssembler, SeventeenBytesThenABadEighteenthDropsEverything)
{
    CReceiveAssembler assembler;
    Bytes header = Packet(4, 2, "");
    Receive(assembler, Bytes(header.begin(), header.begin() + 17));
    EXPECT_EQ(assembler.BytesMissing(), 1);
    EXPECT_EQ(assembler.Header(), nullptr);

    Receive(assembler, {static_cast<uint8_t>(header[17] + 1)});
    EXPECT_EQ(assembler.BytesMissing(), 18);
    EXPECT_EQ(assembler.BufferedBytes(), 0);
    EXPECT_FALSE(assembler.HasComplete());
}

TEST(ReceiveAssembler, TwoPacketsInOneReadComeOutInTurn)
{
    CReceiveAssembler assembler;
    Receive(assembler, Packet(4, 2, "first") + Packet(3, 4, "") + Packet(4, 6, "x"));

    ASSERT_TRUE(assembler.HasComplete());
    EXPECT_EQ(assembler.Header()->Com(), 2);
    EXPECT_EQ(PayloadText(assembler), "first");
    assembler.DropCurrent();

    ASSERT_TRUE(assembler.HasComplete()); // DataLen 0: complete as soon as the header is taken
    EXPECT_EQ(assembler.Header()->Target(), 3);
    EXPECT_EQ(assembler.PayloadLength(), 0);
    assembler.DropCurrent();

    ASSERT_TRUE(assembler.HasComplete());
    EXPECT_EQ(PayloadText(assembler), "x");
    assembler.DropCurrent();
    EXPECT_FALSE(assembler.HasComplete());
    EXPECT_EQ(assembler.BufferedBytes(), 0);
}

TEST(ReceiveAssembler, UnusableHeadersDiscardEverythingBuffered)
{
    Bytes badChecksum = Packet(4, 2, "data");
    badChecksum[16] ^= 0x40;
    // Right checksum, but a negative DataLen can never be satisfied.
    const Bytes negativeLength = Packet(4, 6, "", -5);
    const Bytes mostNegative = Packet(4, 6, "", INT32_MIN);
    const Bytes* badHeaders[] = {&badChecksum, &negativeLength, &mostNegative};
    for (const Bytes* bad : badHeaders)
    {
        CReceiveAssembler assembler;
        Receive(assembler, *bad + Packet(4, 1, "good"));
        EXPECT_EQ(assembler.BytesMissing(), 18);
        EXPECT_FALSE(assembler.HasComplete());
        EXPECT_EQ(assembler.Header(), nullptr);
        EXPECT_EQ(assembler.Payload(), nullptr);
        EXPECT_EQ(assembler.BufferedBytes(), 0);

        // Reception goes on with the next bytes that arrive.
        Receive(assembler, Packet(4, 1, "next"));
        ASSERT_TRUE(assembler.HasComplete());
        EXPECT_EQ(PayloadText(assembler), "next");
    }
}

TEST(ReceiveAssembler, ExtendRaisesTheExpectedData)
{
    CReceiveAssembler assembler;
    const Bytes answer = Packet(4, 6, "list") + Bytes{'F', 'I'};
    Receive(assembler, Bytes(answer.begin(), answer.begin() + 20));
    EXPECT_EQ(assembler.BytesMissing(), 2);
    Receive(assembler, Bytes(answer.begin() + 20, answer.end()));
    ASSERT_TRUE(assembler.HasComplete());
    ASSERT_TRUE(assembler.Extend(3));
    EXPECT_EQ(assembler.PayloadLength(), 7);
    EXPECT_EQ(assembler.BytesMissing(), 1);
    EXPECT_FALSE(assembler.HasComplete());
    Receive(assembler, {'L'});
    ASSERT_TRUE(assembler.HasComplete());
    EXPECT_EQ(PayloadText(assembler), "listFIL");
}

TEST(ReceiveAssembler, ImpossibleExtensionsChangeNothing)
{
    CReceiveAssembler empty;
    EXPECT_FALSE(empty.Extend(10));

    CReceiveAssembler assembler;
    Receive(assembler, Packet(4, 6, "0123456789"));
    ASSERT_TRUE(assembler.HasComplete());
    const int32_t capacity = assembler.Buffer().Capacity();
    for (int32_t count : {-1, INT32_MIN, INT32_MAX - 9, INT32_MAX})
    {
        EXPECT_FALSE(assembler.Extend(count)) << count;
        EXPECT_EQ(assembler.PayloadLength(), 10) << count;
        EXPECT_TRUE(assembler.HasComplete()) << count;
        EXPECT_EQ(assembler.Buffer().Capacity(), capacity) << count;
    }
    EXPECT_TRUE(assembler.Extend(0));
    EXPECT_TRUE(assembler.HasComplete());
}

TEST(ReceiveAssembler, DropWithoutHeaderAndClearDiscardAll)
{
    CReceiveAssembler assembler;
    Receive(assembler, {1, 2, 3, 4, 5});
    assembler.DropCurrent();
    EXPECT_EQ(assembler.BufferedBytes(), 0);

    Receive(assembler, Packet(4, 2, "abc", 10));
    EXPECT_FALSE(assembler.HasComplete());
    ASSERT_NE(assembler.Header(), nullptr);
    assembler.Clear();
    EXPECT_EQ(assembler.Header(), nullptr);
    EXPECT_EQ(assembler.BufferedBytes(), 0);
    EXPECT_EQ(assembler.Buffer().Capacity(), 0);
}
