#include "net/ByteBuffer.h"
#include "support/AllocationWatch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
void Write(CByteBuffer& buffer, const std::string& bytes)
{
    const int32_t count = static_cast<int32_t>(bytes.size());
    ASSERT_TRUE(buffer.Reserve(count));
    std::memcpy(buffer.End(), bytes.data(), bytes.size());
    ASSERT_TRUE(buffer.Grow(count));
}

std::string Contents(const CByteBuffer& buffer)
{
    if (!buffer.Data())
        return std::string();
    return std::string(reinterpret_cast<const char*>(buffer.Data()), static_cast<size_t>(buffer.Length()));
}
} // namespace

TEST(ByteBuffer, GrowthIsExactOrRoundedToTheGranularity)
{
    CByteBuffer exact;
    EXPECT_TRUE(exact.Reserve(0));
    EXPECT_EQ(exact.Data(), nullptr);
    Write(exact, "0123456789");
    EXPECT_EQ(exact.Capacity(), 10);
    ASSERT_TRUE(exact.Reserve(5));
    EXPECT_EQ(exact.Capacity(), 15);
    ASSERT_TRUE(exact.Reserve(5)); // already room: nothing changes
    EXPECT_EQ(exact.Capacity(), 15);
    EXPECT_EQ(Contents(exact), "0123456789");

    CByteBuffer rounded(8);
    ASSERT_TRUE(rounded.Reserve(9));
    EXPECT_EQ(rounded.Capacity(), 16);
}

TEST(ByteBuffer, DoublingGrowthStaysBetweenWhatIsNeededAndTheLimit)
{
    struct Case
    {
        const char* name;
        int32_t count;
        int32_t limit;
        int32_t capacity; // after 10 bytes were written into a block of exactly 10
    };
    const Case cases[] = {
        {"doubles", 5, 1000, 20},
        {"doubling capped at the limit", 5, 16, 16},
        {"more than doubling when the count needs it", 50, 1000, 60},
        {"the count wins over the limit", 50, 16, 60},
        {"room already there", 0, 1000, 10},
    };
    for (const Case& c : cases)
    {
        CByteBuffer buffer;
        Write(buffer, "0123456789");
        ASSERT_TRUE(buffer.ReserveDoubling(c.count, c.limit)) << c.name;
        EXPECT_EQ(buffer.Capacity(), c.capacity) << c.name;
        EXPECT_EQ(Contents(buffer), "0123456789") << c.name;
    }

    CByteBuffer buffer;
    Write(buffer, "abc");
    CAllocationWatch watch;
    watch.FailAbove(3);
    EXPECT_FALSE(buffer.ReserveDoubling(1, 100));
    EXPECT_FALSE(buffer.Reserve(1));
    EXPECT_EQ(Contents(buffer), "abc");
    EXPECT_EQ(buffer.Capacity(), 3);
}

TEST(ByteBuffer, ImpossibleRequestsChangeNothing)
{
    CByteBuffer buffer;
    Write(buffer, "abc");
    EXPECT_FALSE(buffer.Reserve(INT32_MAX));
    EXPECT_FALSE(buffer.Grow(1)); // no room was reserved behind the three bytes
    EXPECT_FALSE(buffer.Grow(-1));
    EXPECT_EQ(Contents(buffer), "abc");
    EXPECT_EQ(buffer.Capacity(), 3);
}

TEST(ByteBuffer, RemoveFrontMovesTheRestOrEmpties)
{
    struct Case
    {
        int32_t count;
        const char* remaining;
    };
    const Case cases[] = {{0, "abcdef"}, {2, "cdef"}, {5, "f"}, {6, ""}, {7, ""}, {-1, ""}};
    for (const Case& c : cases)
    {
        CByteBuffer buffer;
        Write(buffer, "abcdef");
        buffer.RemoveFront(c.count);
        EXPECT_EQ(Contents(buffer), c.remaining) << c.count;
        EXPECT_EQ(buffer.Capacity(), 6) << c.count;
    }
}

TEST(ByteBuffer, ShrinkToFitKeepsTheBytesAndGivesBackTheRoom)
{
    CByteBuffer buffer;
    Write(buffer, "abcdef");
    ASSERT_TRUE(buffer.Reserve(100));
    buffer.RemoveFront(2);
    ASSERT_TRUE(buffer.ShrinkToFit());
    EXPECT_EQ(buffer.Capacity(), 4);
    EXPECT_EQ(Contents(buffer), "cdef");

    buffer.RemoveFront(4);
    ASSERT_TRUE(buffer.ShrinkToFit());
    EXPECT_EQ(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Capacity(), 0);
}
