#include "ui/wx/WxPaintContext.h"

#include "ui/wx/WxIconImages.h"
#include "ui/wx/WxPaletteImage.h"

#include <wx/settings.h>

CWxPaintContext::CWxPaintContext(wxDC& dc, const SRect& clientRect, SFontHandle font, int systemIconSize,
                                 CWxPaletteImage& paletteImage)
    : m_dc(dc), m_clientRect(clientRect), m_systemIconSize(systemIconSize), m_paletteImage(paletteImage)
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
    const wxBitmap& bitmap = m_paletteImage.Bitmap(header, colourTable, pixels);
    if (bitmap.IsOk())
        m_dc.DrawBitmap(bitmap, x, y, false);
}
