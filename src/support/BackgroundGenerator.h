#pragma once

#include "support/RgbColour.h"

#include <cstdint>

class CBackgroundBitmap;

// Paints the dialog's shaded background into a bitmap: a colour ramp from the button colours,
// a tint, 200 short diagonal strokes, then a diagonal shading with faint noise. The result depends
// only on the arguments, so the same window size and colours give the same picture everywhere.
class CBackgroundGenerator
{
public:
    // The largest width or height the generator's random scaling can cover.
    static constexpr int MaxDimension = 32767;

    struct SColours
    {
        SRgbColour shadow;
        SRgbColour face;
        SRgbColour highlight;
    };

    // False (and no image) when the size is outside 1..MaxDimension or memory cannot be had.
    static bool Generate(CBackgroundBitmap& bitmap, int width, int height, const SColours& colours,
                         uint8_t noiseAmplitude, int tintPercentage, uint32_t tintColour);

    // The colour table before tinting: shadow to face over entries 0..127, face to highlight over
    // 128..255.
    static void FillColourRamp(CBackgroundBitmap& bitmap, const SColours& colours);
};
