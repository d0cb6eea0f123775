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

std::vector<HWND> OtherWindowsOfThisThread(HWND except)
{
    std::vector<HWND> found{except};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM parameter) -> BOOL
        {
            auto& windows = *reinterpret_cast<std::vector<HWND>*>(parameter);
            if (window != windows.front() && IsWindowVisible(window))
                windows.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return std::vector<HWND>(found.begin() + 1, found.end());
}

CDialogRulesBackend::SPixels ClientPixels(HWND window)
{
    CDialogRulesBackend::SPixels pixels;
    RECT client{};
    if (!GetClientRect(window, &client) || client.right <= 0 || client.bottom <= 0)
        return pixels;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = client.right;
    info.bmiHeader.biHeight = -client.bottom;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(window);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC memory = CreateCompatibleDC(screen);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    const bool copied = BitBlt(memory, 0, 0, client.right, client.bottom, screen, 0, 0, SRCCOPY) != FALSE;
    GdiFlush();
    // Blue, green, red, unused; top row first.
    const auto* pixel = static_cast<const uint8_t*>(bits);
    for (int index = 0; copied && pixel != nullptr && index < client.right * client.bottom;
         ++index, pixel += 4)
        pixels.rgb.push_back(SRgbColour{pixel[2], pixel[1], pixel[0]});
    pixels.width = pixels.rgb.empty() ? 0 : client.right;
    pixels.height = pixels.rgb.empty() ? 0 : client.bottom;
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(window, screen);
    return pixels;
}
