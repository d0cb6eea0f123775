#include "loopback_peer.h"

#include "net/ReceiveAssembler.h"
#include "support/AllocationWatch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{
using loopback::Bytes;

// An answer (Ack 1) carrying `data`; DataLen its length unless `dataLen` says otherwise.
Bytes Packet(uint16_t target, uint16_t com, const std::string& data, std::optional<int32_t> dataLen = {})
{
    return loopback::PacketBytes(target, com, 0, 0, Bytes(data.begin(), data.end()), 1, dataLen);
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

constexpr int32_t kChunk = 16384;

// Reads up to `count` bytes as the connection's receive loop does, each read as large as PrepareRead
// allows; stops early when it allows none. Returns the capacities the buffer had after each read.
std::vector<int32_t> ReadAsTheConnectionDoes(CReceiveAssembler& assembler, int32_t count)
{
    std::vector<int32_t> capacities;
    CByteBuffer& buffer = assembler.Buffer();
    while (count > 0)
    {
        int32_t size = 0;
        EXPECT_TRUE(assembler.PrepareRead(kChunk, size));
        size = std::min(size, count);
        if (size <= 0)
            break;
        std::memset(buffer.End(), 'f', static_cast<size_t>(size));
        buffer.Grow(size);
        count -= size;
        capacities.push_back(buffer.Capacity());
    }
    return capacities;
}
} // namespace

TEST(ReceiveAssembler, ClaimedLengthCostsOnlyWhatArrives)
{
    CReceiveAssembler assembler;
    Receive(assembler, Packet(4, 6, "", 0x7FFFFFF0));
    EXPECT_FALSE(assembler.HasComplete());
    ASSERT_TRUE(assembler.Extend(0)); // the file answer's extension reserves nothing either
    EXPECT_LT(assembler.Buffer().Capacity(), kChunk);

    const std::vector<int32_t> capacities = ReadAsTheConnectionDoes(assembler, 1 << 20);
    int32_t arrived = 0;
    for (int32_t capacity : capacities)
    {
        arrived = std::min(arrived + kChunk, 1 << 20);
        EXPECT_LE(capacity, 2 * arrived + kChunk) << "after " << arrived << " bytes";
    }
    EXPECT_EQ(assembler.BufferedBytes(), 1 << 20);
}

TEST(ReceiveAssembler, RoomDoublesUpToThePacketsEndAndNoFurther)
{
    CReceiveAssembler assembler;
    const int32_t dataLength = 1000000;
    Receive(assembler, Packet(4, 6, "", dataLength));
    ASSERT_FALSE(assembler.HasComplete());

    const std::vector<int32_t> capacities = ReadAsTheConnectionDoes(assembler, dataLength + kChunk);
    ASSERT_TRUE(assembler.HasComplete());
    EXPECT_EQ(assembler.BufferedBytes(), dataLength) << "the next packet's bytes wait in the socket";
    EXPECT_EQ(assembler.Buffer().Capacity(), dataLength);
    int growths = 0;
    for (size_t i = 1; i < capacities.size(); ++i)
        growths += capacities[i] != capacities[i - 1] ? 1 : 0;
    EXPECT_LE(growths, 8) << "doubling, not a reallocation per read";

    // Once the packet is gone, reads take whole chunks again, and its room is given back.
    assembler.DropCurrent();
    EXPECT_LE(assembler.Buffer().Capacity(), CReceiveAssembler::RetainedCapacity);
    int32_t size = 0;
    ASSERT_TRUE(assembler.PrepareRead(kChunk, size));
    EXPECT_EQ(size, kChunk);
}

TEST(ReceiveAssembler, TakenPacketLeavesItsBlockAndKeepsTheNextPacket)
{
    CReceiveAssembler assembler;
    Receive(assembler, Packet(4, 6, "file") + Packet(4, 1, "next"));
    ASSERT_TRUE(assembler.HasComplete());
    {
        CAllocationWatch watch;
        watch.FailRequestNumber(1);
        CByteBuffer refused;
        EXPECT_FALSE(assembler.TakeCurrent(refused)) << "the next packet's bytes need a block of their own";
        EXPECT_EQ(PayloadText(assembler), "file");
    }

    CByteBuffer block;
    ASSERT_TRUE(assembler.TakeCurrent(block));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.Data()), 4), "file");
    EXPECT_EQ(assembler.Payload(), nullptr);
    EXPECT_EQ(assembler.PayloadLength(), 4);
    EXPECT_EQ(assembler.BufferedBytes(), 4 + 18 + 4) << "the taken bytes still count as received";
    EXPECT_TRUE(assembler.HasComplete());
    EXPECT_FALSE(assembler.Extend(1));
    CByteBuffer again;
    EXPECT_FALSE(assembler.TakeCurrent(again));

    assembler.DropCurrent();
    ASSERT_TRUE(assembler.HasComplete());
    EXPECT_EQ(assembler.Header()->Com(), 1);
    EXPECT_EQ(PayloadText(assembler), "next");
}

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
