#pragma once

#include "ui/win32/Win32Api.h"

#include "support/RgbColour.h"

#include <vector>

class CDialog;
class CWin32Backend;

// The backend, started once per process and shared by every test; a test failure when it cannot
// start.
CWin32Backend& StartedBackend();
// The dialog's window once it is on the screen, else null.
HWND ShownWindowOf(const CDialog& dialog);
// The visible top-level windows of this thread other than `except`: the message boxes and folder
// browsers that a dialog has open.
std::vector<HWND> OtherWindowsOfThisThread(HWND except);

// What the screen shows of a window's client area, read back pixel by pixel.
class CClientPixels
{
public:
    explicit CClientPixels(HWND window);

    bool IsRead() const { return !m_pixels.empty(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    SRgbColour At(int x, int y) const;

private:
    int m_width = 0;
    int m_height = 0;
    // Blue, green, red, unused; top row first.
    std::vector<uint8_t> m_pixels;
};
