#pragma once

#include "ui/PaintContext.h"

#include "ui/win32/Win32Api.h"

class CWin32IconCache;
class CWin32PaletteImage;

// A paint context over a device context of the dialog or of one of its labels. Palette images are
// drawn through the window's `paletteImage`, which keeps the last one converted.
class CWin32PaintContext : public CPaintContext
{
public:
    CWin32PaintContext(HDC dc, const SRect& clientRect, CWin32IconCache& icons, int systemIconSize,
                       CWin32PaletteImage& paletteImage);

    SRect GetClientRect() const override { return m_clientRect; }
    SFontHandle SelectFont(SFontHandle font) override;
    void SetTransparentBackground(bool transparent) override;
    void DrawText(const std::string& text, const SRect& rect) override;
    void FillRect(const SRect& rect, SRgbColour colour) override;
    void DrawIcon(int x, int y, const SIconResource& icon) override;
    void DrawPaletteImage(int x, int y, const SBitmapInfoHeader& header, const uint8_t* colourTable,
                          const uint8_t* pixels) override;

private:
    HDC m_dc;
    SRect m_clientRect;
    CWin32IconCache& m_icons;
    int m_systemIconSize;
    CWin32PaletteImage& m_paletteImage;
};
