#pragma once

#include "ui/PaletteImageConverter.h"

#include <wx/bitmap.h>

// A window's palette image (its background picture) as the toolkit draws it. The bitmap is made
// again only when the image changed since the last paint; a repaint of a part of the window, as a
// progress or status update causes, just copies that part.
class CWxPaletteImage
{
public:
    // An invalid bitmap when the image cannot be drawn.
    const wxBitmap& Bitmap(const SBitmapInfoHeader& header, const uint8_t* colourTable,
                           const uint8_t* pixels);
    unsigned ConversionCount() const { return m_converter.ConversionCount(); }

private:
    CPaletteImageConverter m_converter;
    wxBitmap m_bitmap;
};
