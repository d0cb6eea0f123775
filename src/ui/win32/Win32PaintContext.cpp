#include "ui/win32/Win32PaintContext.h"

#include "os/win32/WideText.h"
#include "ui/win32/Win32IconCache.h"
#include "ui/win32/Win32PaletteImage.h"

namespace
{

RECT ToRect(const SRect& rect)
{
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

} // namespace

CWin32PaintContext::CWin32PaintContext(HDC dc, const SRect& clientRect, CWin32IconCache& icons,
                                       int systemIconSize, CWin32PaletteImage& paletteImage)
    : m_dc(dc), m_clientRect(clientRect), m_icons(icons), m_systemIconSize(systemIconSize),
      m_paletteImage(paletteImage)
{
}

SFontHandle CWin32PaintContext::SelectFont(SFontHandle font)
{
    if (font.native == nullptr)
        return SFontHandle{GetCurrentObject(m_dc, OBJ_FONT)};
    return SFontHandle{SelectObject(m_dc, static_cast<HGDIOBJ>(const_cast<void*>(font.native)))};
}

void CWin32PaintContext::SetTransparentBackground(bool transparent)
{
    SetBkMode(m_dc, transparent ? TRANSPARENT : OPAQUE);
}

void CWin32PaintContext::DrawText(const std::string& text, const SRect& rect)
{
    RECT area = ToRect(rect);
    // Format 0: left- and top-aligned, line breaks start new lines.
    DrawTextW(m_dc, os::WideText(text.c_str()).c_str(), -1, &area, 0);
}

void CWin32PaintContext::FillRect(const SRect& rect, SRgbColour colour)
{
    const HBRUSH brush = CreateSolidBrush(RGB(colour.red, colour.green, colour.blue));
    if (brush == nullptr)
        return;
    const RECT area = ToRect(rect);
    ::FillRect(m_dc, &area, brush);
    DeleteObject(brush);
}

void CWin32PaintContext::DrawIcon(int x, int y, const SIconResource& icon)
{
    const HICON handle = m_icons.Get(icon, m_systemIconSize);
    if (handle != nullptr)
        DrawIconEx(m_dc, x, y, handle, m_systemIconSize, m_systemIconSize, 0, nullptr, DI_NORMAL);
}

void CWin32PaintContext::DrawPaletteImage(int x, int y, const SBitmapInfoHeader& header,
                                          const uint8_t* colourTable, const uint8_t* pixels)
{
    m_paletteImage.Draw(m_dc, x, y, header, colourTable, pixels);
}
