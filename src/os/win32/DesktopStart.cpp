#include "os/DesktopStart.h"

#include "os/win32/WideText.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace os
{

namespace
{

// A relative path is completed against our own current directory, not the started program's.
std::wstring FullPath(const std::wstring& path)
{
    const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return path;
    std::wstring full(static_cast<size_t>(size), L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), size, &full[0], nullptr);
    if (length == 0 || length >= size)
        return path;
    full.resize(static_cast<size_t>(length));
    return full;
}

// ShellExecute reports success by a value above this one.
constexpr INT_PTR LastFailureResult = 32;

bool IsDirectory(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

// ShellExecute answers at once: the outcome is known before the constructor returns.
CDesktopStart::CDesktopStart(const char* path, const char* workingDirectory)
{
    if (path == nullptr || *path == '\0')
        return;
    const std::wstring widePath = FullPath(WideText(path));
    const std::wstring wideDirectory =
        workingDirectory != nullptr ? WideText(workingDirectory) : std::wstring();
    // Windows refuses to start a program in a directory that does not exist; not every
    // implementation of the shell does, so the start fails here alike.
    if (!wideDirectory.empty() && !IsDirectory(wideDirectory))
        return;
    const HINSTANCE result =
        ShellExecuteW(nullptr, L"open", widePath.c_str(), L"",
                      wideDirectory.empty() ? nullptr : wideDirectory.c_str(), SW_SHOWNORMAL);
    m_state = reinterpret_cast<INT_PTR>(result) > LastFailureResult ? EState::Started : EState::Failed;
}

CDesktopStart::~CDesktopStart() = default;

CDesktopStart::EState CDesktopStart::Poll()
{
    return m_state;
}

} // namespace os
