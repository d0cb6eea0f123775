#pragma once

#include "ui/PaintContext.h"

#include <wx/dc.h>

class CWxPaletteImage;

// A paint context over a toolkit drawing context. Palette images are drawn through the window's
// `paletteImage`, which keeps the last one converted.
class CWxPaintContext : public CPaintContext
{
public:
    CWxPaintContext(wxDC& dc, const SRect& clientRect, SFontHandle font, int systemIconSize,
                    CWxPaletteImage& paletteImage);

    SRect GetClientRect() const override { return m_clientRect; }
    SFontHandle SelectFont(SFontHandle font) override;
    void SetTransparentBackground(bool transparent) override;
    void DrawText(const std::string& text, const SRect& rect) override;
    void FillRect(const SRect& rect, SRgbColour colour) override;
    void DrawIcon(int x, int y, const SIconResource& icon) override;
    void DrawPaletteImage(int x, int y, const SBitmapInfoHeader& header, const uint8_t* colourTable,
                          const uint8_t* pixels) override;

private:
    wxDC& m_dc;
    SRect m_clientRect;
    SFontHandle m_font;
    int m_systemIconSize;
    CWxPaletteImage& m_paletteImage;
};
