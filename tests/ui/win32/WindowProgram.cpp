#include "WindowProgram.h"

#include "OperatorInput.h"

#include <cstdio>

namespace
{

struct SWindowSearch
{
    DWORD processId;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM parameter)
{
    auto* search = reinterpret_cast<SWindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window) ||
        CWindowProgram::TextOf(window) != *search->caption)
        return TRUE;
    search->found = window;
    return FALSE;
}

} // namespace

HWND CWindowProgram::FindWindowTitled(const std::wstring& caption) const
{
    SWindowSearch search{static_cast<DWORD>(Id()), &caption, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND CWindowProgram::WaitForWindow(const std::wstring& caption, int timeoutMs) const
{
    HWND window = nullptr;
    COperatorInput::WaitFor([&] { return (window = FindWindowTitled(caption)) != nullptr; }, timeoutMs);
    if (window != nullptr)
    {
        SetForegroundWindow(window);
        COperatorInput::WaitFor([&] { return GetForegroundWindow() == window; }, 2000);
    }
    return window;
}

int CWindowProgram::FocusId() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(ThreadId(), &info) || info.hwndFocus == nullptr)
        return 0;
    return GetDlgCtrlID(info.hwndFocus);
}

std::wstring CWindowProgram::TextOf(HWND window)
{
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return text;
}

std::wstring CWindowProgram::ClassOf(HWND window)
{
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return name;
}

std::vector<HWND> CWindowProgram::ChildrenOf(HWND dialog)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::wstring CWindowProgram::MessageOf(HWND box)
{
    std::wstring message;
    for (HWND child : ChildrenOf(box))
    {
        if (ClassOf(child) != L"Static" && ClassOf(child) != L"STATIC")
            continue;
        const std::wstring text = TextOf(child);
        if (!text.empty())
            message += (message.empty() ? L"" : L"\n") + text;
    }
    return message;
}

bool CWindowProgram::SaveScreenshot(HWND window, const std::wstring& path)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const int stride = (width * 3 + 3) & ~3;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * height);
    std::string pixels(header.biSizeImage, '\0');

    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    const HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, previous);
    const int rows = GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), &pixels[0],
                               reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (rows != height)
        return false;

    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42; // "BM"
    fileHeader.bfOffBits = sizeof fileHeader + sizeof header;
    fileHeader.bfSize = fileHeader.bfOffBits + header.biSizeImage;
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (file == nullptr)
        return false;
    const bool written = std::fwrite(&fileHeader, sizeof fileHeader, 1, file) == 1 &&
                         std::fwrite(&header, sizeof header, 1, file) == 1 &&
                         std::fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();
    return std::fclose(file) == 0 && written;
}
