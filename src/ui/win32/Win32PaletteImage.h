#pragma once

#include "ui/PaletteImageConverter.h"

#include "ui/win32/Win32Api.h"

// A window's palette image (its background picture) as a bitmap of the screen's own form. The
// bitmap is made again only when the image changed since the last paint; every erase, also of the
// small part behind a label or a progress update, just copies from it.
class CWin32PaletteImage
{
public:
    CWin32PaletteImage() = default;
    CWin32PaletteImage(const CWin32PaletteImage&) = delete;
    CWin32PaletteImage& operator=(const CWin32PaletteImage&) = delete;
    ~CWin32PaletteImage();

    // Copies the image to `dc` with its top-left corner at (x, y); nothing when it cannot be drawn.
    void Draw(HDC dc, int x, int y, const SBitmapInfoHeader& header, const uint8_t* colourTable,
              const uint8_t* pixels);
    unsigned ConversionCount() const { return m_converter.ConversionCount(); }

private:
    bool MakeBitmap();
    void Release();

    CPaletteImageConverter m_converter;
    HDC m_memory = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_previous = nullptr;
};
