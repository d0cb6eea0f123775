#pragma once

#include <cstdint>

// One colour as three 8-bit channels.
struct SRgbColour
{
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;

    // The packed colour value used by tinting: red in bits 0-7, green in 8-15, blue in 16-23.
    static SRgbColour FromColourValue(uint32_t value)
    {
        return SRgbColour{static_cast<uint8_t>(value & 0xFF), static_cast<uint8_t>((value >> 8) & 0xFF),
                          static_cast<uint8_t>((value >> 16) & 0xFF)};
    }

    bool operator==(const SRgbColour& other) const
    {
        return red == other.red && green == other.green && blue == other.blue;
    }
    bool operator!=(const SRgbColour& other) const { return !(*this == other); }
};
