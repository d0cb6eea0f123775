#include "protocol/EventRecords.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace
{

std::vector<uint8_t> AsVector(const uint8_t* bytes, size_t size)
{
    return std::vector<uint8_t>(bytes, bytes + size);
}

// The little-endian layouts the dialog and any other reader rely on, and that each reads back.
TEST(EventRecords, LayoutsAreLittleEndianAndReadBack)
{
    const auto value = SValueRecord{-2}.Encode();
    EXPECT_EQ(AsVector(value.data(), value.size()), (std::vector<uint8_t>{0xFE, 0xFF, 0xFF, 0xFF}));
    SValueRecord valueRead;
    ASSERT_TRUE(SValueRecord::Decode(value.data(), SValueRecord::Size, valueRead));
    EXPECT_EQ(valueRead.value, -2);

    const auto time = STimeRecord{0x0102030405060708LL}.Encode();
    EXPECT_EQ(AsVector(time.data(), time.size()), (std::vector<uint8_t>{8, 7, 6, 5, 4, 3, 2, 1}));
    STimeRecord timeRead;
    ASSERT_TRUE(STimeRecord::Decode(time.data(), STimeRecord::Size, timeRead));
    EXPECT_EQ(timeRead.milliseconds, 0x0102030405060708LL);

    const SProgressRecord progress{0x01020304, -1, -0x0102030405060708LL};
    const auto bytes = progress.Encode();
    EXPECT_EQ(AsVector(bytes.data(), bytes.size()),
              (std::vector<uint8_t>{4, 3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF, 0xF8, 0xF8, 0xF9, 0xFA, 0xFB, 0xFC,
                                    0xFD, 0xFE}));
    SProgressRecord progressRead;
    ASSERT_TRUE(SProgressRecord::Decode(bytes.data(), SProgressRecord::Size, progressRead));
    EXPECT_EQ(progressRead.total, progress.total);
    EXPECT_EQ(progressRead.done, progress.done);
    EXPECT_EQ(progressRead.requestTimeMs, progress.requestTimeMs);
}

// Queued events are read straight from the queue's block: a short payload must not be read past.
TEST(EventRecords, ShortPayloadsReadAsAbsentAndLeaveTheRecordAlone)
{
    const uint8_t bytes[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    for (const int32_t length : {-1, 0, 3})
    {
        SValueRecord value{77};
        EXPECT_FALSE(SValueRecord::Decode(bytes, length, value)) << length;
        EXPECT_EQ(value.value, 77);
    }
    STimeRecord time{77};
    EXPECT_FALSE(STimeRecord::Decode(bytes, STimeRecord::Size - 1, time));
    EXPECT_EQ(time.milliseconds, 77);
    SProgressRecord progress{5, 6, 77};
    EXPECT_FALSE(SProgressRecord::Decode(bytes, SProgressRecord::NumbersSize - 1, progress));
    EXPECT_FALSE(SProgressRecord::Decode(nullptr, SProgressRecord::Size, progress));
    EXPECT_EQ(progress.total, 5);

    // Both numbers but not the whole request time: the numbers count, the time stays as it was.
    ASSERT_TRUE(SProgressRecord::Decode(bytes, SProgressRecord::Size - 1, progress));
    EXPECT_EQ(progress.total, 0x04030201);
    EXPECT_EQ(progress.done, 0x08070605);
    EXPECT_EQ(progress.requestTimeMs, 77);
}

} // namespace
