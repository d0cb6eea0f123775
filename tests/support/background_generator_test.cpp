#include "support/BackgroundBitmap.h"
#include "support/BackgroundGenerator.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace
{

const CBackgroundGenerator::SColours ClassicGrey{{128, 128, 128}, {192, 192, 192}, {255, 255, 255}};
// The headless backend's colours and window size (the main dialog's 320 x 165 units plus frame).
const CBackgroundGenerator::SColours HeadlessColours{{160, 160, 160}, {240, 240, 240}, {255, 255, 255}};
constexpr int HeadlessWidth = 486;
constexpr int HeadlessHeight = 293;

uint64_t Fnv1a(const uint8_t* data, size_t length)
{
    uint64_t hash = 0xcbf29ce484222325ull;
    for (size_t index = 0; index < length; ++index)
    {
        hash ^= data[index];
        hash *= 0x100000001b3ull;
    }
    return hash;
}

uint8_t PixelAt(const CBackgroundBitmap& bitmap, int x, int y)
{
    return bitmap.GetPixels()[static_cast<size_t>(bitmap.GetHeight() - 1 - y) * bitmap.GetStride() + x];
}

TEST(BackgroundGeneratorTest, ColourRampRunsFromShadowOverFaceToHighlight)
{
    CBackgroundBitmap bitmap;
    ASSERT_NE(bitmap.Create(4, 4, 8), nullptr);
    CBackgroundGenerator::FillColourRamp(bitmap, ClassicGrey);
    struct SCase
    {
        int entry;
        uint8_t grey;
    };
    const SCase cases[] = {{0, 128}, {64, 160}, {127, 191}, {128, 192}, {255, 255}};
    for (const SCase& c : cases)
        EXPECT_EQ(bitmap.GetPaletteEntry(c.entry), (SRgbColour{c.grey, c.grey, c.grey}))
            << "entry " << c.entry;
}

TEST(BackgroundGeneratorTest, RampKeepsTheChannelsApart)
{
    CBackgroundBitmap bitmap;
    ASSERT_NE(bitmap.Create(4, 4, 8), nullptr);
    const CBackgroundGenerator::SColours colours{{10, 20, 30}, {100, 110, 120}, {200, 210, 220}};
    CBackgroundGenerator::FillColourRamp(bitmap, colours);
    EXPECT_EQ(bitmap.GetPaletteEntry(0), (SRgbColour{10, 20, 30}));
    EXPECT_EQ(bitmap.GetPaletteEntry(255), (SRgbColour{200, 210, 220}));
    // (10*64 + 100*64)/128 and likewise.
    EXPECT_EQ(bitmap.GetPaletteEntry(64), (SRgbColour{55, 65, 75}));
}

TEST(BackgroundGeneratorTest, DialogColoursAreTintedSlightlyTowardsBlue)
{
    CBackgroundBitmap bitmap;
    ASSERT_TRUE(CBackgroundGenerator::Generate(bitmap, 50, 40, HeadlessColours, 8, 1, 0x640000));
    // 160 * 99 / 100 for red and green; blue gains one percent of 100.
    EXPECT_EQ(bitmap.GetPaletteEntry(0), (SRgbColour{158, 158, 159}));
    EXPECT_EQ(bitmap.GetPaletteEntry(255), (SRgbColour{252, 252, 253}));
}

TEST(BackgroundGeneratorTest, TwoRunsGiveByteIdenticalImages)
{
    CBackgroundBitmap first;
    CBackgroundBitmap second;
    ASSERT_TRUE(CBackgroundGenerator::Generate(first, 123, 77, ClassicGrey, 8, 1, 0x640000));
    ASSERT_TRUE(CBackgroundGenerator::Generate(second, 123, 77, ClassicGrey, 8, 1, 0x640000));
    ASSERT_EQ(first.GetBlockSize(), second.GetBlockSize());
    EXPECT_EQ(std::memcmp(first.GetBlock(), second.GetBlock(), first.GetBlockSize()), 0);
}

TEST(BackgroundGeneratorTest, MatchesTheReferenceImageOfTheHeadlessDialog)
{
    CBackgroundBitmap bitmap;
    ASSERT_TRUE(CBackgroundGenerator::Generate(bitmap, HeadlessWidth, HeadlessHeight, HeadlessColours, 8, 1,
                                               0x640000));
    // Spot checks, worked out by hand from the rules: shading 99 at the top left falls to 0 at
    // the bottom right, plus a noise draw of 0 to 16 (and a stroke where one passes).
    EXPECT_EQ(PixelAt(bitmap, 0, 0), 198);
    EXPECT_EQ(PixelAt(bitmap, HeadlessWidth - 1, HeadlessHeight - 1), 4);
    EXPECT_EQ(PixelAt(bitmap, 100, 50), 159);
    EXPECT_EQ(PixelAt(bitmap, 243, 146), 103);
    EXPECT_EQ(PixelAt(bitmap, 0, HeadlessHeight - 1), 101);
    EXPECT_EQ(PixelAt(bitmap, HeadlessWidth - 1, 0), 101);
    EXPECT_EQ(Fnv1a(bitmap.GetBlock(), bitmap.GetBlockSize()), 0x2eb03577f0544111ull);
}

TEST(BackgroundGeneratorTest, MatchesTheReferenceImageOfASmallUntintedWindow)
{
    CBackgroundBitmap bitmap;
    ASSERT_TRUE(CBackgroundGenerator::Generate(bitmap, 37, 23, ClassicGrey, 8, 0, 0));
    EXPECT_EQ(Fnv1a(bitmap.GetBlock(), bitmap.GetBlockSize()), 0xf5b0f8ae0e5bc1f8ull);
}

TEST(BackgroundGeneratorTest, ShadingIsLightestTopLeftAndDarkestBottomRight)
{
    CBackgroundBitmap bitmap;
    ASSERT_TRUE(CBackgroundGenerator::Generate(bitmap, 300, 200, ClassicGrey, 8, 1, 0x640000));
    // Average over corner blocks, so that noise and strokes do not decide.
    auto average = [&bitmap](int left, int top)
    {
        int sum = 0;
        for (int y = top; y < top + 20; ++y)
            for (int x = left; x < left + 20; ++x)
                sum += PixelAt(bitmap, x, y);
        return sum / 400;
    };
    const int topLeft = average(0, 0);
    const int bottomRight = average(280, 180);
    EXPECT_GT(topLeft, 170);
    EXPECT_LT(bottomRight, 30);
    EXPECT_GT(average(280, 0), bottomRight);
    EXPECT_LT(average(280, 0), topLeft);
}

TEST(BackgroundGeneratorTest, WindowSizesOutsideTheGeneratorsRangeAreRefused)
{
    const int sizes[][2] = {{0, 10}, {10, 0}, {-5, 10}, {32768, 10}, {10, 32768}};
    for (const auto& size : sizes)
    {
        CBackgroundBitmap bitmap;
        ASSERT_NE(bitmap.Create(2, 2, 8), nullptr);
        EXPECT_FALSE(CBackgroundGenerator::Generate(bitmap, size[0], size[1], ClassicGrey, 8, 1, 0x640000))
            << size[0] << "x" << size[1];
        EXPECT_EQ(bitmap.GetPixels(), nullptr) << "a refused size leaves no stale image";
    }
    CBackgroundBitmap tiny;
    EXPECT_TRUE(CBackgroundGenerator::Generate(tiny, 1, 1, ClassicGrey, 8, 1, 0x640000));
}

TEST(BackgroundGeneratorTest, LargeNoiseMakesTheShadingNegativeAndWraps)
{
    // With N = 255 the shading step is (255 - 510 - 40) / 2 = -147, its quotients truncate
    // towards zero, and the byte sums wrap modulo 256.
    CBackgroundBitmap bitmap;
    ASSERT_TRUE(CBackgroundGenerator::Generate(bitmap, 64, 48, ClassicGrey, 255, 1, 0x640000));
    EXPECT_EQ(Fnv1a(bitmap.GetBlock(), bitmap.GetBlockSize()), 0x4132637695815943ull);
}

} // namespace
