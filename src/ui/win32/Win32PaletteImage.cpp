#include "ui/win32/Win32PaletteImage.h"

CWin32PaletteImage::~CWin32PaletteImage()
{
    Release();
}

void CWin32PaletteImage::Release()
{
    if (m_memory != nullptr)
    {
        SelectObject(m_memory, m_previous);
        DeleteDC(m_memory);
    }
    if (m_bitmap != nullptr)
        DeleteObject(m_bitmap);
    m_memory = nullptr;
    m_bitmap = nullptr;
    m_previous = nullptr;
}

bool CWin32PaletteImage::MakeBitmap()
{
    Release();
    const int width = m_converter.Width();
    const int height = m_converter.Height();
    // 32 bits per pixel, top row first (negative height), so the converted rows go in unpadded.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    m_bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    m_memory = m_bitmap != nullptr ? CreateCompatibleDC(nullptr) : nullptr;
    if (m_memory == nullptr || bits == nullptr)
    {
        Release();
        return false;
    }
    const uint8_t* rgb = m_converter.Rgb().data();
    auto* target = static_cast<uint8_t*>(bits);
    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    for (size_t pixel = 0; pixel < pixelCount; ++pixel)
    {
        // Blue, green, red, unused.
        target[4 * pixel + 0] = rgb[3 * pixel + 2];
        target[4 * pixel + 1] = rgb[3 * pixel + 1];
        target[4 * pixel + 2] = rgb[3 * pixel + 0];
        target[4 * pixel + 3] = 0;
    }
    GdiFlush();
    m_previous = SelectObject(m_memory, m_bitmap);
    return true;
}

void CWin32PaletteImage::Draw(HDC dc, int x, int y, const SBitmapInfoHeader& header,
                              const uint8_t* colourTable, const uint8_t* pixels)
{
    if (m_converter.Convert(header, colourTable, pixels))
        MakeBitmap();
    else if (!m_converter.HasImage())
        Release();
    if (m_memory == nullptr)
        return;
    BitBlt(dc, x, y, m_converter.Width(), m_converter.Height(), m_memory, 0, 0, SRCCOPY);
}
