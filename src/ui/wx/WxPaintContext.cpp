#include "ui/wx/WxPaintContext.h"

#include "ui/wx/WxIconImages.h"

#include <wx/image.h>
#include <wx/settings.h>

CWxPaintContext::CWxPaintContext(wxDC& dc, const SRect& clientRect, SFontHandle font, int systemIconSize)
    : m_dc(dc), m_clientRect(clientRect), m_systemIconSize(systemIconSize)
{
    SelectFont(font);
    m_dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    SetTransparentBackground(false);
}

SFontHandle CWxPaintContext::SelectFont(SFontHandle font)
{
    const SFontHandle previous = m_font;
    if (font.native != nullptr)
        m_dc.SetFont(*static_cast<const wxFont*>(font.native));
    m_font = font;
    return previous;
}

void CWxPaintContext::SetTransparentBackground(bool transparent)
{
    m_dc.SetBackgroundMode(transparent ? wxBRUSHSTYLE_TRANSPARENT : wxBRUSHSTYLE_SOLID);
    m_dc.SetTextBackground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
}

void CWxPaintContext::DrawText(const std::string& text, const SRect& rect)
{
    m_dc.DrawLabel(wxString::FromUTF8(text.c_str()), wxRect(rect.left, rect.top, rect.Width(), rect.Height()),
                   wxALIGN_LEFT | wxALIGN_TOP);
}

void CWxPaintContext::FillRect(const SRect& rect, SRgbColour colour)
{
    const wxColour fill(colour.red, colour.green, colour.blue);
    m_dc.SetPen(*wxTRANSPARENT_PEN);
    m_dc.SetBrush(wxBrush(fill));
    m_dc.DrawRectangle(rect.left, rect.top, rect.Width(), rect.Height());
}

void CWxPaintContext::DrawIcon(int x, int y, const SIconResource& icon)
{
    const wxBitmap bitmap = CWxIconImages::Bitmap(icon, m_systemIconSize);
    if (bitmap.IsOk())
        m_dc.DrawBitmap(bitmap, x, y, true);
}

void CWxPaintContext::DrawPaletteImage(int x, int y, const SBitmapInfoHeader& header,
                                       const uint8_t* colourTable, const uint8_t* pixels)
{
    // The background is the only palette image; it always has 8 bits per pixel.
    if (header.bitsPerPixel != 8 || header.width <= 0 || header.height <= 0)
        return;
    const int width = header.width;
    const int height = header.height;
    const size_t stride = ((static_cast<size_t>(width) * 8 + 31) / 32) * 4;
    wxImage image(width, height, false);
    unsigned char* rgb = image.GetData();
    for (int row = 0; row < height; ++row)
    {
        // Rows are stored bottom row first.
        const uint8_t* source = pixels + static_cast<size_t>(height - 1 - row) * stride;
        unsigned char* target = rgb + static_cast<size_t>(row) * width * 3;
        for (int column = 0; column < width; ++column)
        {
            const uint8_t* entry = colourTable + 4 * source[column];
            target[3 * column + 0] = entry[2];
            target[3 * column + 1] = entry[1];
            target[3 * column + 2] = entry[0];
        }
    }
    m_dc.DrawBitmap(wxBitmap(image), x, y, false);
}
