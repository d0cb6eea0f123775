#include "support/BackgroundGenerator.h"

#include "support/BackgroundBitmap.h"
#include "support/PseudoRandom.h"

#include <algorithm>

namespace
{

constexpr int StrokeCount = 200;
// A stroke's value is one draw scaled into 0..40.
constexpr int StrokeValueDivisor = 819;
constexpr int StrokeValueRange = 40;

uint8_t RampLow(uint8_t shadow, uint8_t face, int k)
{
    return static_cast<uint8_t>((shadow * (128 - k) + face * k) / 128);
}

uint8_t RampHigh(uint8_t face, uint8_t highlight, int k)
{
    return static_cast<uint8_t>((face * (255 - k) + highlight * (k - 127)) / 128);
}

void DrawStrokes(CBackgroundBitmap& bitmap, CPseudoRandom& random, int width, int height)
{
    const int widthDivisor = CPseudoRandom::MaxValue / width;
    const int heightDivisor = CPseudoRandom::MaxValue / height;
    const int lengthDivisor = CPseudoRandom::MaxValue / std::min(width, height);
    for (int stroke = 0; stroke < StrokeCount; ++stroke)
    {
        const int x0 = random.Next() / widthDivisor;
        const int y0 = random.Next() / heightDivisor;
        const int halfLength = (random.Next() / lengthDivisor) / 2;
        const uint8_t value = static_cast<uint8_t>(random.Next() / StrokeValueDivisor);
        for (int j = 0; j < halfLength; ++j)
        {
            if (x0 - j > 0 && y0 + j < height)
                bitmap.PutPixel(x0 - j, y0 + j, value);
            // The second half starts at the mirrored column; PutPixel drops what falls outside.
            if (x0 + j < width && y0 - j > 0)
                bitmap.PutPixel(width - x0 + j, y0 - j, value);
        }
    }
}

void Shade(CBackgroundBitmap& bitmap, CPseudoRandom& random, int width, int height, int noise)
{
    const int gradient = (255 - 2 * noise - StrokeValueRange) / 2;
    const int noiseDivisor = CPseudoRandom::MaxValue / std::max(2 * noise, 1);
    uint8_t* pixels = bitmap.GetPixels();
    const size_t stride = static_cast<size_t>(bitmap.GetStride());
    for (int row = 0; row < height; ++row)
    {
        uint8_t* line = pixels + static_cast<size_t>(row) * stride;
        for (int x = 0; x < width; ++x)
        {
            // Sums wrap modulo 256, as adding to a byte does.
            int sum = line[x];
            sum += (gradient * row) / height;
            sum += (gradient * (width - x)) / width;
            sum += random.Next() / noiseDivisor;
            line[x] = static_cast<uint8_t>(sum & 0xFF);
        }
    }
}

} // namespace

void CBackgroundGenerator::FillColourRamp(CBackgroundBitmap& bitmap, const SColours& colours)
{
    const SRgbColour& s = colours.shadow;
    const SRgbColour& f = colours.face;
    const SRgbColour& l = colours.highlight;
    for (int k = 0; k < 128; ++k)
        bitmap.SetPaletteEntry(static_cast<uint8_t>(k), RampLow(s.red, f.red, k),
                               RampLow(s.green, f.green, k), RampLow(s.blue, f.blue, k));
    for (int k = 128; k < 256; ++k)
        bitmap.SetPaletteEntry(static_cast<uint8_t>(k), RampHigh(f.red, l.red, k),
                               RampHigh(f.green, l.green, k), RampHigh(f.blue, l.blue, k));
}

bool CBackgroundGenerator::Generate(CBackgroundBitmap& bitmap, int width, int height, const SColours& colours,
                                    uint8_t noiseAmplitude, int tintPercentage, uint32_t tintColour)
{
    // The random scaling divides by the size; outside this range a divisor would be 0.
    if (width < 1 || height < 1 || width > MaxDimension || height > MaxDimension)
    {
        bitmap.Free();
        return false;
    }
    if (bitmap.Create(width, height, 8) == nullptr)
        return false;

    FillColourRamp(bitmap, colours);
    bitmap.Tint(tintColour, tintPercentage);
    bitmap.Fill(0);

    // Unseeded, as the runtime's generator is at program start: the picture is reproducible.
    CPseudoRandom random;
    DrawStrokes(bitmap, random, width, height);
    Shade(bitmap, random, width, height, noiseAmplitude);
    return true;
}
