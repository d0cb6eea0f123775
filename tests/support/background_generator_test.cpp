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

// Shadow at entry 0, face at 128, highlight at 255, each channel on its own.
TEST(BackgroundGeneratorTest, ColourRampRunsFromShadowOverFaceToHighlight)
{
    CBackgroundBitmap bitmap;
    ASSERT_NE(bitmap.Create(4, 4, 8), nullptr);
    CBackgroundGenerator::FillColourRamp(bitmap, ClassicGrey);
    const int entries[] = {0, 64, 127, 128, 255};
    const uint8_t greys[] = {128, 160, 191, 192, 255};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(bitmap.GetPaletteEntry(entries[i]), (SRgbColour{greys[i], greys[i], greys[i]}))
            << entries[i];

    CBackgroundGenerator::FillColourRamp(bitmap, {{10, 20, 30}, {100, 110, 120}, {200, 210, 220}});
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
}

// Whole images, generated twice each: the same bytes every time. The large noise makes the shading
// step (255 - 510 - 40) / 2 = -147, its quotients truncate towards zero, and the byte sums wrap.
TEST(BackgroundGeneratorTest, MatchesTheReferenceImages)
{
    struct SCase
    {
        int width;
        int height;
        CBackgroundGenerator::SColours colours;
        uint8_t noise;
        int tintPercentage;
        uint32_t tintColour;
        uint64_t hash;
    };
    const SCase cases[] = {
        {HeadlessWidth, HeadlessHeight, HeadlessColours, 8, 1, 0x640000, 0x2eb03577f0544111ull},
        {37, 23, ClassicGrey, 8, 0, 0, 0xf5b0f8ae0e5bc1f8ull},
        {64, 48, ClassicGrey, 255, 1, 0x640000, 0x4132637695815943ull},
    };
    for (const SCase& c : cases)
    {
        for (int run = 0; run < 2; ++run)
        {
            CBackgroundBitmap bitmap;
            ASSERT_TRUE(CBackgroundGenerator::Generate(bitmap, c.width, c.height, c.colours, c.noise,
                                                       c.tintPercentage, c.tintColour));
            EXPECT_EQ(Fnv1a(bitmap.GetBlock(), bitmap.GetBlockSize()), c.hash) << c.width << "x" << c.height;
        }
    }
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

} // namespace
