#include "support/BackgroundBitmap.h"
#include "support/PaintTarget.h"
#include "ui/PaletteImageConverter.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace
{

// Draws a bitmap the way a backend's paint context does: through the converter.
class CConvertingTarget : public CPaintTarget
{
public:
    void DrawPaletteImage(int, int, const SBitmapInfoHeader& header, const uint8_t* colourTable,
                          const uint8_t* pixels) override
    {
        converted = converter.Convert(header, colourTable, pixels);
    }

    CPaletteImageConverter converter;
    bool converted = false;
};

TEST(PaletteImageConverter, GivesTopDownRgbRowsThroughTheColourTable)
{
    // 3 × 2 pixels: rows padded to 4 bytes, the bottom row first in memory.
    CBackgroundBitmap bitmap;
    ASSERT_NE(bitmap.Create(3, 2, 8), nullptr);
    bitmap.SetPaletteEntry(0, 10, 20, 30);
    bitmap.SetPaletteEntry(1, 40, 50, 60);
    bitmap.SetPaletteEntry(255, 250, 251, 252);
    bitmap.Fill(0xFF);
    bitmap.PutPixel(0, 0, 0);
    bitmap.PutPixel(2, 1, 1);
    CConvertingTarget target;
    bitmap.Draw(target, 0, 0);

    ASSERT_TRUE(target.converted);
    EXPECT_EQ(target.converter.Width(), 3);
    EXPECT_EQ(target.converter.Height(), 2);
    EXPECT_EQ(target.converter.Rgb(), (std::vector<uint8_t>{10, 20, 30, 250, 251, 252, 250, 251, 252, //
                                                            250, 251, 252, 250, 251, 252, 40, 50, 60}));
}

// A 16-colour image cannot be converted: nothing stale is kept for it, nor reused after it.
TEST(PaletteImageConverter, ConvertsOnlyWhenTheImageChanged)
{
    CBackgroundBitmap bitmap;
    ASSERT_NE(bitmap.Create(40, 20, 8), nullptr);
    bitmap.Fill(7);
    CConvertingTarget target;
    struct SStep
    {
        const char* what;
        std::function<void()> change;
        bool converted;
        bool hasImage;
    };
    const SStep steps[] = {
        {"the first drawing", [] {}, true, true},
        {"a repaint of the same image", [] {}, false, true},
        {"another repaint", [] {}, false, true},
        {"a colour changed", [&] { bitmap.SetPaletteEntry(7, 1, 2, 3); }, true, true},
        {"a tint", [&] { bitmap.Tint(0x640000, 50); }, true, true},
        {"a pixel changed", [&] { bitmap.PutPixel(39, 19, 8); }, true, true},
        {"a pixel set to what it was", [&] { bitmap.PutPixel(39, 19, 8); }, false, true},
        {"a new size", [&] { bitmap.Create(41, 20, 8), bitmap.Fill(7); }, true, true},
        {"repainted at the new size", [] {}, false, true},
        {"16 colours", [&] { bitmap.Create(41, 20, 4), bitmap.Fill(1); }, false, false},
        {"8 bits again", [&] { bitmap.Create(41, 20, 8), bitmap.Fill(7); }, true, true},
    };
    unsigned conversions = 0;
    for (const SStep& step : steps)
    {
        step.change();
        bitmap.Draw(target, 0, 0);
        EXPECT_EQ(target.converted, step.converted) << step.what;
        conversions += step.converted ? 1 : 0;
        EXPECT_EQ(target.converter.ConversionCount(), conversions) << step.what;
        EXPECT_EQ(target.converter.HasImage(), step.hasImage) << step.what;
        EXPECT_EQ(target.converter.Rgb().empty(), !step.hasImage) << step.what;
    }
}

} // namespace
