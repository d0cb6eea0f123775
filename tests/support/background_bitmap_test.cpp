#include "support/BackgroundBitmap.h"
#include "support/PaintTarget.h"
#include "support/PseudoRandom.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include <vector>

namespace
{

TEST(PseudoRandomTest, ProducesTheClassicRuntimeSequenceFromTheUnseededState)
{
    CPseudoRandom random;
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    for (int value : expected)
        EXPECT_EQ(random.Next(), value);

    // Over a long run it covers all of its fifteen bits and no more.
    int smallest = CPseudoRandom::MaxValue;
    int largest = 0;
    for (int draw = 0; draw < 200000; ++draw)
    {
        const int value = random.Next();
        smallest = std::min(smallest, value);
        largest = std::max(largest, value);
    }
    EXPECT_EQ(smallest, 0);
    EXPECT_EQ(largest, CPseudoRandom::MaxValue);
}

// Rows are padded to four bytes, and filling covers the padding too.
TEST(BackgroundBitmapTest, StrideIsPaddedToFourBytes)
{
    struct SCase
    {
        int width;
        int bitsPerPixel;
        int stride;
        int colours;
    };
    const SCase cases[] = {
        {3, 8, 4, 256}, {4, 8, 4, 256}, {5, 8, 8, 256}, {1, 1, 4, 2},
        {33, 1, 8, 2},  {9, 4, 8, 16},  {3, 24, 12, 0},
    };
    for (const SCase& c : cases)
    {
        CBackgroundBitmap bitmap;
        ASSERT_NE(bitmap.Create(c.width, 7, c.bitsPerPixel), nullptr) << c.width << "x" << c.bitsPerPixel;
        EXPECT_EQ(bitmap.GetStride(), c.stride) << c.width << "x" << c.bitsPerPixel;
        EXPECT_EQ(bitmap.GetColourCount(), c.colours) << c.bitsPerPixel;
        EXPECT_EQ(bitmap.GetBlockSize(), 40u + 4u * c.colours + static_cast<size_t>(c.stride) * 7);
        bitmap.Fill(0xAB);
        for (int offset = 0; offset < c.stride * 7; ++offset)
            ASSERT_EQ(bitmap.GetPixels()[offset], 0xAB)
                << c.width << "x" << c.bitsPerPixel << " at " << offset;
    }
}

TEST(BackgroundBitmapTest, BlockStartsWithTheBottomUpHeader)
{
    CBackgroundBitmap bitmap;
    ASSERT_NE(bitmap.Create(3, 5, 8), nullptr);
    SBitmapInfoHeader header;
    std::memcpy(&header, bitmap.GetBlock(), sizeof(header));
    EXPECT_EQ(header.size, 40u);
    EXPECT_EQ(header.width, 3);
    EXPECT_EQ(header.height, 5);
    EXPECT_EQ(header.planes, 1);
    EXPECT_EQ(header.bitsPerPixel, 8);
    EXPECT_EQ(header.compression, 0u);
    EXPECT_EQ(header.imageSize, 20u);
    EXPECT_EQ(header.coloursUsed, 0u);
    EXPECT_EQ(bitmap.GetPixels(), bitmap.GetBlock() + 40 + 4 * 256);
}

TEST(BackgroundBitmapTest, RejectsSizesThatCannotBeDescribed)
{
    const int sizes[][2] = {{0, 5}, {5, 0}, {-1, 5}, {5, -3}, {40000, 60000}};
    for (const auto& size : sizes)
    {
        CBackgroundBitmap bitmap;
        EXPECT_EQ(bitmap.Create(size[0], size[1], 8), nullptr) << size[0] << "x" << size[1];
        EXPECT_EQ(bitmap.GetPixels(), nullptr);
        // Without an image every operation is harmless.
        bitmap.Fill(7);
        bitmap.PutPixel(0, 0, 1);
        bitmap.SetPaletteEntry(0, 1, 2, 3);
        bitmap.Tint(0xFFFFFF, 50);
        EXPECT_EQ(bitmap.GetBlockSize(), 0u);
    }
}

TEST(BackgroundBitmapTest, PutPixelCountsRowsFromTheTopAndDropsPointsOutside)
{
    CBackgroundBitmap bitmap;
    ASSERT_NE(bitmap.Create(3, 4, 8), nullptr);
    bitmap.Fill(0);
    const int stride = bitmap.GetStride();
    const uint8_t* pixels = bitmap.GetPixels();

    struct SCase
    {
        int x;
        int y;
        int memoryOffset; // -1: outside, nothing written
    };
    const SCase cases[] = {
        {0, 0, 3 * stride},     // top-left: first byte of the last row in memory
        {2, 0, 3 * stride + 2}, // top-right
        {0, 3, 0},              // bottom-left: first byte of the block's pixels
        {2, 3, 2},
        {-1, 0, -1},
        {0, -1, -1},
        {3, 0, -1}, // x at the width
        {0, 4, -1}, // y at the height
    };
    uint8_t value = 1;
    for (const SCase& c : cases)
    {
        bitmap.Fill(0);
        bitmap.PutPixel(c.x, c.y, value);
        int written = -1;
        for (int offset = 0; offset < stride * 4; ++offset)
        {
            if (pixels[offset] != 0)
            {
                EXPECT_EQ(written, -1) << "more than one byte changed";
                written = offset;
                EXPECT_EQ(pixels[offset], value);
            }
        }
        EXPECT_EQ(written, c.memoryOffset) << "(" << c.x << ", " << c.y << ")";
        ++value;
    }
}

TEST(BackgroundBitmapTest, PaletteEntriesBeyondTheColourCountAreIgnored)
{
    CBackgroundBitmap full;
    ASSERT_NE(full.Create(2, 2, 8), nullptr);
    full.SetPaletteEntry(255, 10, 20, 30);
    EXPECT_EQ(full.GetPaletteEntry(255), (SRgbColour{10, 20, 30}));
    // Stored as blue, green, red, 0.
    const uint8_t* entry = full.GetBlock() + 40 + 4 * 255;
    EXPECT_EQ(entry[0], 30);
    EXPECT_EQ(entry[1], 20);
    EXPECT_EQ(entry[2], 10);
    EXPECT_EQ(entry[3], 0);

    CBackgroundBitmap sixteen;
    ASSERT_NE(sixteen.Create(2, 2, 4), nullptr);
    sixteen.Fill(0x5A);
    sixteen.SetPaletteEntry(16, 1, 2, 3);
    // Entry 16 would be the first pixel bytes: they must be untouched.
    EXPECT_EQ(sixteen.GetPixels()[0], 0x5A);
    EXPECT_EQ(sixteen.GetPaletteEntry(16), SRgbColour{});
}

TEST(BackgroundBitmapTest, TintBlendsEveryEntryTowardsTheColour)
{
    struct SCase
    {
        int percentage;
        SRgbColour expected;
    };
    // Entry 200, 100, 50 tinted towards red 0, green 0, blue 100 (colour value 0x640000).
    const SCase cases[] = {
        {0, {200, 100, 50}},   {1, {198, 99, 50}}, // (200*99)/100, (100*99)/100, (50*99 + 100)/100
        {50, {100, 50, 75}},   {100, {0, 0, 100}}, {150, {0, 0, 100}}, // taken as 100
        {-20, {200, 100, 50}},
    };
    for (const SCase& c : cases)
    {
        CBackgroundBitmap bitmap;
        ASSERT_NE(bitmap.Create(1, 1, 8), nullptr);
        for (int index = 0; index < 256; ++index)
            bitmap.SetPaletteEntry(static_cast<uint8_t>(index), 200, 100, 50);
        bitmap.Tint(0x640000, c.percentage);
        EXPECT_EQ(bitmap.GetPaletteEntry(0), c.expected) << c.percentage << " %";
        EXPECT_EQ(bitmap.GetPaletteEntry(255), c.expected) << c.percentage << " %";
    }
}

class CRecordingTarget : public CPaintTarget
{
public:
    void DrawPaletteImage(int x, int y, const SBitmapInfoHeader& header, const uint8_t* colourTable,
                          const uint8_t* pixels) override
    {
        ++calls;
        drawnX = x;
        drawnY = y;
        width = header.width;
        height = header.height;
        firstEntryRed = colourTable[2];
        firstPixel = pixels[0];
    }

    int calls = 0;
    int drawnX = 0;
    int drawnY = 0;
    int width = 0;
    int height = 0;
    uint8_t firstEntryRed = 0;
    uint8_t firstPixel = 0;
};

TEST(BackgroundBitmapTest, DrawHandsTheCurrentImageToTheTarget)
{
    CBackgroundBitmap bitmap;
    CRecordingTarget target;
    bitmap.Draw(target, 0, 0);
    EXPECT_EQ(target.calls, 0) << "nothing to draw without an image";

    ASSERT_NE(bitmap.Create(6, 2, 8), nullptr);
    bitmap.SetPaletteEntry(0, 77, 0, 0);
    bitmap.Fill(1);
    bitmap.PutPixel(0, 1, 9);
    bitmap.Draw(target, 4, 5);
    EXPECT_EQ(target.calls, 1);
    EXPECT_EQ(target.drawnX, 4);
    EXPECT_EQ(target.drawnY, 5);
    EXPECT_EQ(target.width, 6);
    EXPECT_EQ(target.height, 2);
    EXPECT_EQ(target.firstEntryRed, 77);
    // Changes show at the next drawing.
    EXPECT_EQ(target.firstPixel, 9);

    bitmap.Free();
    bitmap.Draw(target, 0, 0);
    EXPECT_EQ(target.calls, 1);
}

} // namespace
