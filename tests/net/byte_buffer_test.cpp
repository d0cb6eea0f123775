#include "net/ByteBuffer.h"

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
