#include "wire/ItemListReader.h"
#include "wire/ItemListWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

Bytes Copy(const CItemListWriter& writer)
{
    return Bytes(writer.Data(), writer.Data() + writer.Length());
}

const uint16_t DeviceInfoTags[] = {1, 2, 3, 4};
} // namespace

TEST(ItemListWriter, FirstItemIsFollowedByOneEndMarker)
{
    CItemListWriter writer;
    ASSERT_TRUE(writer.Add(1, 4, "abc"));
    const Bytes expected = {0x04, 0x00, 0x01, 0x00, 'a', 'b', 'c', 0x00, 0x00, 0x00, 0xFF, 0xFF};
    EXPECT_EQ(Copy(writer), expected);

    const uint16_t on = 1;
    ASSERT_TRUE(writer.Add(2, 2, &on));
    const Bytes twoItems = {0x04, 0x00, 0x01, 0x00, 'a',  'b',  'c',  0x00, 0x02,
                            0x00, 0x02, 0x00, 0x01, 0x00, 0x00, 0x00, 0xFF, 0xFF};
    EXPECT_EQ(Copy(writer), twoItems);
}

TEST(ItemList, ManyLargeItemsRoundTrip)
{
    CItemListWriter writer;
    for (int i = 0; i < 100; ++i)
    {
        const std::string value(200 + i, static_cast<char>('a' + i % 26));
        ASSERT_TRUE(writer.Add(static_cast<uint16_t>(1 + i % 4), static_cast<uint16_t>(value.size() + 1),
                               value.c_str()));
    }
    const Bytes block = Copy(writer);
    CItemListReader reader;
    ASSERT_TRUE(reader.Open(block.data(), static_cast<int32_t>(block.size()), DeviceInfoTags, 4));
    EXPECT_EQ(reader.ValueItemCount(), 100);
    EXPECT_EQ(reader.ItemCount(), 101);
    int index = 0;
    while (reader.Tag() != CItemListReader::EndTag)
    {
        EXPECT_EQ(reader.Tag(), 1 + index % 4);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(reader.Value())),
                  std::string(200 + index, static_cast<char>('a' + index % 26)));
        reader.Next();
        ++index;
    }
    EXPECT_EQ(index, 100);
    EXPECT_FALSE(reader.Next());
    EXPECT_EQ(reader.Offset(), static_cast<int32_t>(block.size()));
}

TEST(ItemListReader, OpenChecksTheLeadingTags)
{
    struct Case
    {
        const char* name;
        Bytes block;
        bool opens;
        int32_t items;
    };
    const Case cases[] = {
        {"known tags", {2, 0, 1, 0, 'a', 0, 1, 0, 3, 0, 'b', 0, 0, 0xFF, 0xFF}, true, 3},
        {"unknown first tag", {2, 0, 9, 0, 'a', 0, 0, 0, 0xFF, 0xFF}, false, 0},
        {"unknown second tag", {2, 0, 1, 0, 'a', 0, 2, 0, 9, 0, 'b', 0, 0, 0, 0xFF, 0xFF}, true, 1},
        // A length that runs past the block hides neither the tag nor the item from the check.
        {"unknown first tag, value past the end", {200, 0, 9, 0, 'a', 'b'}, false, 0},
        {"known first tag, value past the end", {200, 0, 1, 0, 'a', 'b'}, true, 1},
        {"end marker only", {0, 0, 0xFF, 0xFF}, true, 1},
        {"empty block", {}, true, 1},
    };
    for (const Case& c : cases)
    {
        CItemListReader reader;
        EXPECT_EQ(reader.Open(c.block.data(), static_cast<int32_t>(c.block.size()), DeviceInfoTags, 4),
                  c.opens)
            << c.name;
        EXPECT_EQ(reader.ItemCount(), c.items) << c.name;
        EXPECT_EQ(reader.Offset(), 0) << c.name;
    }
}

TEST(ItemListReader, OffsetAfterTheEndMarkerPointsAtTrailingData)
{
    // A file answer: the list announces the size, the file's bytes follow the end marker.
    const Bytes block = {4, 0, 2, 0, 3, 0, 0, 0, 0, 0, 0xFF, 0xFF, 'F', 'I', 'L'};
    const uint16_t fileTags[] = {1, 2};
    CItemListReader reader;
    ASSERT_TRUE(reader.Open(block.data(), static_cast<int32_t>(block.size()), fileTags, 2));
    int32_t size = -1;
    while (reader.Tag() != CItemListReader::EndTag)
    {
        if (reader.Tag() == 2 && reader.Length() == 4)
            std::memcpy(&size, reader.Value(), 4);
        reader.Next();
    }
    EXPECT_EQ(size, 3);
    EXPECT_TRUE(reader.Next());
    EXPECT_EQ(reader.Offset(), 12);
    reader.Close();
    EXPECT_EQ(reader.Tag(), CItemListReader::EndTag);
    EXPECT_EQ(reader.Value(), nullptr);
}

// Malformed blocks sit in heap storage of exactly their size, so that AddressSanitizer reports any
// read beyond them.
TEST(ItemListReader, MalformedBlocksEndTheListInsideTheBlock)
{
    struct Case
    {
        const char* name;
        Bytes block;
        int valueItemsWalked;
    };
    const Case cases[] = {
        {"value runs past the end", {200, 0, 1, 0, 'a', 'b'}, 0},
        {"second value runs past the end", {1, 0, 1, 0, 'a', 0xFF, 0xFF, 3, 0, 'b'}, 1},
        {"length exactly one byte too long", {3, 0, 1, 0, 'a', 'b'}, 0},
        {"cut inside the item header", {1, 0, 1, 0, 'a', 4, 0}, 1},
        {"four bytes only", {9, 0, 1, 0}, 0},
        {"no end marker", {1, 0, 1, 0, 'a'}, 1},
    };
    for (const Case& c : cases)
    {
        std::unique_ptr<uint8_t[]> exact(new uint8_t[c.block.size()]);
        std::memcpy(exact.get(), c.block.data(), c.block.size());
        const int32_t total = static_cast<int32_t>(c.block.size());

        CItemListReader reader;
        reader.Open(exact.get(), total, nullptr, 0);
        int walked = 0;
        for (int guard = 0; guard < 10 && reader.Tag() != CItemListReader::EndTag; ++guard)
        {
            ASSERT_NE(reader.Value(), nullptr) << c.name;
            EXPECT_LE(reader.Offset() + 4 + reader.Length(), total) << c.name;
            ++walked;
            reader.Next();
        }
        EXPECT_EQ(walked, c.valueItemsWalked) << c.name;
        EXPECT_EQ(reader.Length(), 0) << c.name;
        EXPECT_EQ(reader.Value(), nullptr) << c.name;
        reader.Next();
        EXPECT_LE(reader.Offset(), total) << c.name;
    }
}
