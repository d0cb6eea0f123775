#pragma once

#include "support/BitmapInfoHeader.h"

#include <cstdint>
#include <vector>

// Turns an 8-bit palette image (rows bottom row first, each padded to a multiple of 4 bytes, as
// CBackgroundBitmap keeps it) into top-down rows of red, green and blue bytes, the form in which
// toolkits without palette images draw, and keeps the result: a repaint of an unchanged image
// reuses it. A change of size, colours or pixels converts again.
class CPaletteImageConverter
{
public:
    // True when the image was converted now; false when the kept result still shows it, or when
    // it cannot be converted (not 8 bits per pixel, or no pixels), which leaves nothing kept.
    bool Convert(const SBitmapInfoHeader& header, const uint8_t* colourTable, const uint8_t* pixels);

    bool HasImage() const { return !m_rgb.empty(); }
    int Width() const { return m_header.width; }
    int Height() const { return m_header.height; }
    // Width × height × 3 bytes, top row first; empty without an image.
    const std::vector<uint8_t>& Rgb() const { return m_rgb; }
    // How often an image was converted (for tests).
    unsigned ConversionCount() const { return m_conversions; }

private:
    bool IsKept(const SBitmapInfoHeader& header, const uint8_t* colourTable, const uint8_t* pixels) const;

    SBitmapInfoHeader m_header;
    // The source of the kept result: its colour table, then its pixel rows.
    std::vector<uint8_t> m_source;
    std::vector<uint8_t> m_rgb;
    unsigned m_conversions = 0;
};
