#include "net/ByteBuffer.h"
#include "protocol/EventQueue.h"
#include "protocol/EventRecords.h"
#include "support/AllocationWatch.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace
{
// The first event; an empty queue fails the test and reads as type -1.
SEventRecord FrontOf(const CEventQueue& queue)
{
    const uint8_t* front = queue.Front();
    EXPECT_NE(front, nullptr);
    return front != nullptr ? CEventQueue::Read(front) : SEventRecord{-1, -1, nullptr, 0};
}

// A block as the receive buffer hands it over: an item list of `listLength` bytes, then the file.
void FillBlock(CByteBuffer& block, int32_t listLength, const std::string& file)
{
    const int32_t length = listLength + static_cast<int32_t>(file.size());
    ASSERT_TRUE(block.Reserve(length));
    std::memset(block.End(), 0xEE, static_cast<size_t>(listLength));
    std::memcpy(block.End() + listLength, file.data(), file.size());
    ASSERT_TRUE(block.Grow(length));
}
} // namespace

// The block grows by exactly what each event takes; emptied, it is kept for the next events until
// released.
TEST(EventQueue, EventsTakeTwelveHeaderBytesPlusPayloadExactly)
{
    CEventQueue queue;
    EXPECT_FALSE(queue.HasEvents());
    EXPECT_EQ(queue.Front(), nullptr);

    ASSERT_TRUE(queue.Post(StatusEvent, 36, 0, nullptr));
    EXPECT_EQ(queue.UsedLength(), 12);
    EXPECT_EQ(queue.Capacity(), 12);
    const auto progress = SProgressRecord{1000, 250, 13441032000000LL}.Encode();
    ASSERT_TRUE(queue.Post(ProgressEvent, 0, SProgressRecord::Size, progress.data()));
    EXPECT_EQ(queue.UsedLength(), 12 + 28);
    EXPECT_EQ(queue.Capacity(), 12 + 28);

    queue.Pop();
    queue.Pop();
    EXPECT_FALSE(queue.HasEvents());
    EXPECT_EQ(queue.UsedLength(), 0);
    queue.Pop();
    EXPECT_EQ(queue.UsedLength(), 0);
    ASSERT_TRUE(queue.Post(StatusEvent, 35, 0, nullptr));
    EXPECT_EQ(queue.Capacity(), 12 + 28);
    queue.Release();
    EXPECT_EQ(queue.Capacity(), 0);
    EXPECT_FALSE(queue.HasEvents());
}

TEST(EventQueue, EventsComeOutInOrderWithTheirPayloads)
{
    CEventQueue queue;
    // An odd-sized first payload puts the second event at an unaligned offset.
    const std::string text = "connection lost";
    ASSERT_TRUE(queue.Post(StatusEvent, 10, static_cast<int32_t>(text.size() + 1), text.c_str()));
    const auto progress = SProgressRecord{100000, 4096, 13441032000123LL}.Encode();
    ASSERT_TRUE(queue.Post(ProgressEvent, 1, SProgressRecord::Size, progress.data()));
    ASSERT_TRUE(queue.Post(StatusEvent, 39, 4, nullptr)); // posted as empty
    ASSERT_TRUE(queue.Post(LoginResultEvent, 3, 0, nullptr));

    SEventRecord event = FrontOf(queue);
    EXPECT_EQ(event.type, StatusEvent);
    EXPECT_EQ(event.code, 10);
    EXPECT_STREQ(reinterpret_cast<const char*>(event.payload), text.c_str());
    queue.Pop();
    event = FrontOf(queue);
    EXPECT_EQ(event.type, ProgressEvent);
    EXPECT_EQ(event.code, 1);
    ASSERT_EQ(event.length, SProgressRecord::Size);
    EXPECT_EQ(std::memcmp(event.payload, progress.data(), progress.size()), 0);
    queue.Pop();
    event = FrontOf(queue);
    EXPECT_EQ(event.code, 39);
    EXPECT_EQ(event.length, 0);
    EXPECT_EQ(event.payload, nullptr);
    queue.Pop();
    event = FrontOf(queue);
    EXPECT_EQ(event.type, LoginResultEvent);
    EXPECT_EQ(event.code, 3);
    EXPECT_EQ(event.payload, nullptr);
}

TEST(EventQueue, RejectedPostsLeaveTheQueueUnchanged)
{
    CEventQueue queue;
    ASSERT_TRUE(queue.Post(StatusEvent, 32, 0, nullptr));
    const uint8_t payload[4] = {1, 2, 3, 4};
    struct Case
    {
        const char* name;
        int32_t type;
        int32_t length;
    };
    // The length is checked before the payload is touched, so a small buffer suffices. An event of
    // the reserved type would be read as the note of a handed-over block, its payload as a pointer.
    const Case cases[] = {{"negative", DataEvent, -1},
                          {"most negative", DataEvent, INT32_MIN},
                          {"block beyond 32 bits", DataEvent, INT32_MAX - 20},
                          {"the queue's own note type", CEventQueue::ReservedType, 4}};
    for (const Case& c : cases)
    {
        EXPECT_FALSE(queue.Post(c.type, 1, c.length, payload)) << c.name;
        EXPECT_EQ(queue.UsedLength(), 12) << c.name;
        EXPECT_EQ(queue.Capacity(), 12) << c.name;
    }
    queue.Pop();
    EXPECT_FALSE(queue.HasEvents());
}

TEST(EventQueue, HandedOverBlockCarriesItsEventBetweenCopiedOnesAndIsFreedWhenPopped)
{
    CEventQueue queue;
    ASSERT_TRUE(queue.Post(StatusEvent, 36, 0, nullptr));
    CByteBuffer block;
    FillBlock(block, 20, "the file's bytes");
    const uint8_t* blockData = block.Data();
    ASSERT_TRUE(queue.PostHandedOver(DataEvent, 1, block, 20, 16));
    EXPECT_EQ(block.Data(), nullptr) << "the queue owns the block now";
    EXPECT_EQ(block.Capacity(), 0);
    const auto progress = SProgressRecord{36, 36, 0}.Encode();
    ASSERT_TRUE(queue.Post(ProgressEvent, 0, SProgressRecord::Size, progress.data()));
    EXPECT_EQ(queue.HeldBytes(), queue.Capacity() + 36);

    queue.Pop();
    const SEventRecord file = FrontOf(queue);
    EXPECT_EQ(file.type, DataEvent);
    EXPECT_EQ(file.code, 1);
    ASSERT_EQ(file.length, 16);
    EXPECT_EQ(file.payload, blockData + 20) << "not copied";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(file.payload), 16), "the file's bytes");

    queue.Pop();
    EXPECT_EQ(queue.HeldBytes(), queue.Capacity());
    EXPECT_EQ(FrontOf(queue).type, ProgressEvent);
    queue.Pop();
    EXPECT_FALSE(queue.HasEvents());

    // Left in the queue, a handed-over block goes with it (the sanitizer build sees a leak).
    CByteBuffer unread;
    FillBlock(unread, 12, "x");
    ASSERT_TRUE(queue.PostHandedOver(DataEvent, 1, unread, 12, 1));
    queue.Release();
    EXPECT_EQ(queue.HeldBytes(), 0);
}

TEST(EventQueue, RefusedHandOverLeavesTheBlockWithItsOwner)
{
    struct Case
    {
        const char* name;
        int32_t type;
        int32_t offset;
        int32_t length;
        bool failAllocation;
    };
    const Case cases[] = {
        {"no room for the header in front", DataEvent, 11, 4, false},
        {"payload past the block's bytes", DataEvent, 12, 5, false},
        {"the queue's own note type", CEventQueue::ReservedType, 12, 4, false},
        {"no memory for the queue's note", DataEvent, 12, 4, true},
    };
    for (const Case& c : cases)
    {
        CEventQueue queue;
        CByteBuffer block;
        FillBlock(block, 12, "file");
        const uint8_t* data = block.Data();
        CAllocationWatch watch;
        if (c.failAllocation)
            watch.FailRequestNumber(1);
        EXPECT_FALSE(queue.PostHandedOver(c.type, 1, block, c.offset, c.length)) << c.name;
        EXPECT_EQ(block.Data(), data) << c.name;
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(block.Data()) + 12, 4), "file") << c.name;
        EXPECT_FALSE(queue.HasEvents()) << c.name;
        EXPECT_EQ(queue.HeldBytes(), 0) << c.name;
    }
}

TEST(EventQueue, EmptiedQueueGivesBackABlockThatHeldACopiedFile)
{
    CEventQueue queue;
    const std::string file(100000, 'f');
    ASSERT_TRUE(queue.Post(DataEvent, 1, static_cast<int32_t>(file.size()), file.data()));
    ASSERT_TRUE(queue.Post(StatusEvent, 36, 0, nullptr));
    queue.Pop();
    EXPECT_GT(queue.Capacity(), CEventQueue::RetainedCapacity) << "an event is still queued behind it";
    queue.Pop();
    EXPECT_EQ(queue.HeldBytes(), 0);
    ASSERT_TRUE(queue.Post(StatusEvent, 35, 0, nullptr));
    EXPECT_EQ(queue.Capacity(), 12);
}
