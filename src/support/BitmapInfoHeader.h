#pragma once

#include <cstdint>

// The 40-byte header of a packed device-independent bitmap, field for field as the platform's
// in-memory bitmap format lays it out (little-endian).
struct SBitmapInfoHeader
{
    uint32_t size = 0;
    int32_t width = 0;
    // Positive: the first row in memory is the bottom row of the image.
    int32_t height = 0;
    uint16_t planes = 0;
    uint16_t bitsPerPixel = 0;
    uint32_t compression = 0;
    uint32_t imageSize = 0;
    int32_t horizontalResolution = 0;
    int32_t verticalResolution = 0;
    uint32_t coloursUsed = 0;
    uint32_t coloursImportant = 0;
};

static_assert(sizeof(SBitmapInfoHeader) == 40, "the packed bitmap header is 40 bytes");
