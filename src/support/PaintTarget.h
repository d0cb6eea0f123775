#pragma once

#include "support/BitmapInfoHeader.h"

#include <cstdint>

// Where a palette image can be copied to. Each window backend implements it over its own drawing
// surface, so the bitmap code stays free of any toolkit.
class CPaintTarget
{
public:
    virtual ~CPaintTarget() = default;

    // Copies the whole image to (x, y), clipped by the target. `colourTable` holds one entry per
    // colour (blue, green, red, 0); `pixels` holds the rows bottom row first, each padded to the
    // stride that the header's width and depth give.
    virtual void DrawPaletteImage(int x, int y, const SBitmapInfoHeader& header, const uint8_t* colourTable,
                                  const uint8_t* pixels) = 0;
};
