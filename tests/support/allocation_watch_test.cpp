#include "support/AllocationWatch.h"
#include "support/MemoryBlock.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(AllocationWatch, FailsTheChosenRequestsAndCountsWhatWasAsked)
{
    struct Case
    {
        const char* name;
        int64_t failNumber;
        size_t failAbove;
        // Whether each of four requests, for 10, 100, 1000 and 10 bytes, is granted.
        bool granted[4];
    };
    const Case cases[] = {
        {"nothing fails", 0, SIZE_MAX, {true, true, true, true}},
        {"the second request", 2, SIZE_MAX, {true, false, true, true}},
        {"above 100 bytes", 0, 100, {true, true, false, true}},
        {"both rules", 4, 100, {true, true, false, false}},
    };
    const size_t sizes[] = {10, 100, 1000, 10};
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CAllocationWatch watch;
        watch.FailRequestNumber(c.failNumber);
        watch.FailAbove(c.failAbove);
        int64_t failures = 0;
        for (int i = 0; i < 4; ++i)
        {
            void* block = ResizeBlock(nullptr, sizes[i]);
            EXPECT_EQ(block != nullptr, c.granted[i]) << "request " << i + 1;
            failures += block == nullptr ? 1 : 0;
            FreeBlock(block);
        }
        EXPECT_EQ(watch.Requests(), 4);
        EXPECT_EQ(watch.Failures(), failures);
        EXPECT_EQ(watch.LargestRequest(), 1000u);
    }
}

TEST(AllocationWatch, FailedResizeKeepsTheBlockAndPeakCountsWhatWasHeldAtOnce)
{
    const int64_t before = LiveBlockBytes();
    CAllocationWatch watch;
    auto* block = static_cast<char*>(ResizeBlock(nullptr, 100));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "kept", 5);
    watch.FailAbove(1000);
    EXPECT_EQ(ResizeBlock(block, 5000), nullptr);
    EXPECT_STREQ(block, "kept");
    block = static_cast<char*>(ResizeBlock(block, 800));
    ASSERT_NE(block, nullptr);
    EXPECT_STREQ(block, "kept");
    EXPECT_EQ(LiveBlockBytes() - before, 800);
    FreeBlock(block);
    EXPECT_EQ(LiveBlockBytes(), before);
    EXPECT_EQ(watch.PeakGrowth(), 800);

    {
        // The innermost watch sees the requests; the outer one is back afterwards.
        CAllocationWatch inner;
        inner.FailRequestNumber(1);
        EXPECT_EQ(ResizeBlock(nullptr, 1), nullptr);
    }
    EXPECT_EQ(watch.Requests(), 3);
    void* small = ResizeBlock(nullptr, 1);
    EXPECT_NE(small, nullptr);
    FreeBlock(small);
}
