#include "net/SendQueue.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{
CCommandPacket Command(uint16_t target, uint16_t com, uint16_t ident = 0, int32_t dataLen = 0)
{
    CCommandPacket packet;
    packet.Set(target, com, ident, 0, dataLen, 0);
    return packet;
}

CCommandPacket Answer(uint16_t target, uint16_t com, uint16_t ident)
{
    CCommandPacket packet;
    packet.Set(target, com, ident, 0, 0, 1);
    return packet;
}

// Sends the whole front entry in one go, as one successful send call would.
void SendAll(CSendQueue& queue)
{
    ASSERT_TRUE(queue.Consume(queue.PendingBytes()));
}

// The first packet bytes of the front entry as they would go to the socket.
CCommandPacket OfferedHeader(const CSendQueue& queue)
{
    CCommandPacket header;
    EXPECT_TRUE(header.ReadFrom(queue.CurrentData()));
    return header;
}
} // namespace

TEST(SendQueue, EntryRecordDescribesThePacket)
{
    struct Case
    {
        const char* name;
        uint16_t target, com, ident;
        std::vector<uint8_t> payload;
        int32_t entryLength;
        uint16_t firstWord;
        bool progress;
    };
    const Case cases[] = {
        {"no payload", 4, 2, 2, {}, 34, 0, false},
        {"one byte", 4, 1, 0, {0xAB}, 35, 0, false},
        {"two bytes", 4, 6, 0, {0x34, 0x12}, 36, 0x1234, false},
        {"marked for progress", 4, 5, 7, {1, 2, 3}, 37, 0x0201, true},
        {"target 4 only", 4, 6, 0, {}, 34, 0, false},
        {"com 5 only", 1, 5, 0, {}, 34, 0, false},
    };
    for (const Case& c : cases)
    {
        CSendQueue queue;
        const CCommandPacket header =
            Command(c.target, c.com, c.ident, static_cast<int32_t>(c.payload.size()));
        ASSERT_TRUE(queue.Append(header, c.payload.data(), static_cast<int32_t>(c.payload.size()))) << c.name;
        EXPECT_EQ(queue.BufferedBytes(), c.entryLength) << c.name;
        EXPECT_EQ(queue.CurrentEntryLength(), c.entryLength) << c.name;
        EXPECT_EQ(queue.PendingBytes(), c.entryLength - 16) << c.name;
        EXPECT_EQ(queue.ProgressFlag(), c.progress) << c.name;

        // The record sits in front of the offered bytes and never goes out itself.
        const uint8_t* record = queue.CurrentData() - 16;
        uint16_t firstWord;
        std::memcpy(&firstWord, record + 4, 2);
        EXPECT_EQ(firstWord, c.firstWord) << c.name;
        EXPECT_EQ(record[8] | record[9] << 8, c.ident) << c.name;
        EXPECT_EQ(OfferedHeader(queue).Target(), c.target) << c.name;
        EXPECT_EQ(std::vector<uint8_t>(queue.CurrentData() + 18, queue.CurrentData() + 18 + c.payload.size()),
                  c.payload)
            << c.name;
    }
}

TEST(SendQueue, SentEntryBlocksTheNextUntilItsAnswerIsSettled)
{
    CSendQueue queue;
    ASSERT_TRUE(queue.Append(Command(4, 2, 2), nullptr, 0));
    ASSERT_TRUE(queue.Append(Command(4, 1, 0), nullptr, 0));
    EXPECT_FALSE(queue.MatchesAnswer(Answer(4, 2, 2)));

    EXPECT_FALSE(queue.Consume(10));
    EXPECT_EQ(queue.PendingBytes(), 8);
    EXPECT_FALSE(queue.MatchesAnswer(Answer(4, 2, 2))); // only partly sent
    EXPECT_TRUE(queue.Consume(8));
    EXPECT_EQ(queue.PendingBytes(), 0);
    EXPECT_EQ(queue.CurrentData(), nullptr);
    EXPECT_FALSE(queue.IsReady());

    EXPECT_TRUE(queue.MatchesAnswer(Answer(4, 2, 99))); // Ident and Ack are not compared
    EXPECT_FALSE(queue.MatchesAnswer(Answer(4, 1, 2)));
    EXPECT_FALSE(queue.MatchesAnswer(Answer(3, 2, 2)));

    queue.FinishCurrent();
    EXPECT_TRUE(queue.IsReady());
    EXPECT_EQ(queue.BufferedBytes(), 34);
    EXPECT_EQ(queue.PendingBytes(), 18);
    EXPECT_EQ(OfferedHeader(queue).Com(), 1);
}

TEST(SendQueue, RewindOffersTheWholeEntryAgain)
{
    CSendQueue queue;
    const uint8_t payload[5] = {'p', 'a', 's', 's', 0};
    ASSERT_TRUE(queue.Append(Command(4, 1, 0, 5), payload, 5));
    SendAll(queue);
    ASSERT_FALSE(queue.IsReady());
    queue.Rewind();
    EXPECT_TRUE(queue.IsReady());
    EXPECT_EQ(queue.PendingBytes(), queue.CurrentEntryLength() - 16);
    EXPECT_EQ(OfferedHeader(queue).Com(), 1);
    EXPECT_EQ(std::memcmp(queue.CurrentData() + 18, payload, 5), 0);
}

TEST(SendQueue, OverlongConsumeStopsAtTheEntryEnd)
{
    CSendQueue queue;
    ASSERT_TRUE(queue.Append(Command(4, 2, 1), nullptr, 0));
    ASSERT_TRUE(queue.Append(Command(1, 6, 11), nullptr, 0));
    EXPECT_TRUE(queue.Consume(1000));
    queue.FinishCurrent();
    EXPECT_EQ(queue.BufferedBytes(), 34);
    EXPECT_EQ(OfferedHeader(queue).Target(), 1);
    EXPECT_EQ(OfferedHeader(queue).Checksum(), 0x0012);
}

TEST(SendQueue, EmptyQueueOffersNothing)
{
    CSendQueue queue;
    EXPECT_EQ(queue.CurrentData(), nullptr);
    EXPECT_FALSE(queue.Consume(18)); // nothing to account: the queue must not start waiting
    EXPECT_TRUE(queue.IsReady());

    ASSERT_TRUE(queue.Append(Command(4, 2, 2), nullptr, 0));
    SendAll(queue);
    queue.Clear();
    EXPECT_TRUE(queue.IsReady());
    EXPECT_EQ(queue.BufferedBytes(), 0);
    EXPECT_FALSE(queue.MatchesAnswer(Answer(4, 2, 2)));
}
