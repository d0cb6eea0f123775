#pragma once

#include "support/BitmapInfoHeader.h"
#include "support/RgbColour.h"

#include <cstddef>
#include <cstdint>

class CPaintTarget;

// A small in-memory palette bitmap in the packed device-independent layout: the 40-byte header,
// the colour table (blue, green, red, 0 per entry), then the pixel rows bottom row first, each
// padded to a multiple of 4 bytes. The dialog paints its background from it.
class CBackgroundBitmap
{
public:
    CBackgroundBitmap();
    virtual ~CBackgroundBitmap();
    CBackgroundBitmap(const CBackgroundBitmap&) = delete;
    CBackgroundBitmap& operator=(const CBackgroundBitmap&) = delete;

    // Drops the image; every operation but Create then does nothing.
    void Free();
    // A new image with an uninitialised colour table and pixels. Null (and no image) when the
    // block cannot be allocated or the size is not positive.
    uint8_t* Create(int width, int height, int bitsPerPixel);

    void SetPaletteEntry(uint8_t index, uint8_t red, uint8_t green, uint8_t blue);
    // Moves every colour-table entry `percentage` percent (0 to 100) towards `colour`, a packed
    // colour value with red in bits 0-7, green in 8-15 and blue in 16-23.
    void Tint(uint32_t colour, int percentage);
    // Sets every image byte, row padding included.
    void Fill(uint8_t value);
    // `y` counts from the top of the image; points outside the image are ignored.
    void PutPixel(int x, int y, uint8_t value);

    // The first row in memory (the bottom row of the image), or null without an image.
    uint8_t* GetPixels() const;
    int GetStride() const { return m_stride; }
    void Draw(CPaintTarget& target, int x, int y) const;

    int GetWidth() const { return m_header.width; }
    int GetHeight() const { return m_header.height; }
    int GetColourCount() const { return m_colourCount; }
    // The colour-table entry, or black when there is no such entry.
    SRgbColour GetPaletteEntry(int index) const;
    // The whole packed block (header, colour table, pixels) and its size, for inspection.
    const uint8_t* GetBlock() const { return m_block; }
    size_t GetBlockSize() const;

private:
    uint8_t* ColourTable() const;

    uint8_t* m_block = nullptr;
    SBitmapInfoHeader m_header;
    int32_t m_stride = 0;
    uint16_t m_colourCount = 0;
};
