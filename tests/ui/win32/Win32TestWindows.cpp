#include "Win32TestWindows.h"

#include "ui/Dialog.h"
#include "ui/win32/Win32Backend.h"
#include "ui/win32/Win32DialogWindow.h"

#include <gtest/gtest.h>

CWin32Backend& StartedBackend()
{
    static CWin32Backend backend;
    static const bool started = backend.Start();
    EXPECT_TRUE(started) << "the common controls could not start";
    return backend;
}

HWND ShownWindowOf(const CDialog& dialog)
{
    auto* window = dynamic_cast<CWin32DialogWindow*>(dialog.GetWindow());
    const HWND handle = window != nullptr ? window->GetHandle() : nullptr;
    return handle != nullptr && IsWindowVisible(handle) ? handle : nullptr;
}

namespace
{

struct SSearch
{
    HWND except;
    std::vector<HWND> found;
};

BOOL CALLBACK NoteWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<SSearch*>(parameter);
    if (window != search->except && IsWindowVisible(window))
        search->found.push_back(window);
    return TRUE;
}

} // namespace

std::vector<HWND> OtherWindowsOfThisThread(HWND except)
{
    SSearch search{except, {}};
    EnumThreadWindows(GetCurrentThreadId(), NoteWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

CClientPixels::CClientPixels(HWND window)
{
    RECT client{};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return;
    m_width = client.right;
    m_height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(window);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, m_width, m_height, screen, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    if (copied && bits != nullptr)
    {
        const auto* first = static_cast<const uint8_t*>(bits);
        m_pixels.assign(first, first + static_cast<size_t>(m_width) * static_cast<size_t>(m_height) * 4);
    }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(window, screen);
}

SRgbColour CClientPixels::At(int x, int y) const
{
    const uint8_t* pixel =
        m_pixels.data() +
        (static_cast<size_t>(y) * static_cast<size_t>(m_width) + static_cast<size_t>(x)) * 4;
    return SRgbColour{pixel[2], pixel[1], pixel[0]};
}
