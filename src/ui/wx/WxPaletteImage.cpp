#include "ui/wx/WxPaletteImage.h"

#include <wx/image.h>

const wxBitmap& CWxPaletteImage::Bitmap(const SBitmapInfoHeader& header, const uint8_t* colourTable,
                                        const uint8_t* pixels)
{
    if (m_converter.Convert(header, colourTable, pixels))
    {
        // The image only lends the converted rows to the bitmap, which copies them.
        wxImage image(m_converter.Width(), m_converter.Height(),
                      const_cast<unsigned char*>(m_converter.Rgb().data()), true);
        m_bitmap = wxBitmap(image);
    }
    else if (!m_converter.HasImage())
    {
        m_bitmap = wxBitmap();
    }
    return m_bitmap;
}
