#include "os/Files.h"

#include "os/win32/WideText.h"

#include <windows.h>

#include <string>

namespace os
{

namespace
{

HANDLE ToWindowsHandle(FileHandle file)
{
    return reinterpret_cast<HANDLE>(file);
}

} // namespace

FileHandle CreateFileForWriting(const char* path)
{
    if (path == nullptr || *path == '\0')
        return InvalidFile;
    const std::wstring widePath = WideText(path);
    const HANDLE file = CreateFileW(widePath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return InvalidFile;
    return reinterpret_cast<FileHandle>(file);
}

int64_t WriteToFile(FileHandle file, const void* data, int64_t length)
{
    if (file == InvalidFile || length <= 0 || data == nullptr || length > MAXDWORD)
        return 0;
    DWORD written = 0;
    // A failing write may still have moved some bytes; the count says how many.
    WriteFile(ToWindowsHandle(file), data, static_cast<DWORD>(length), &written, nullptr);
    return static_cast<int64_t>(written);
}

bool CloseFile(FileHandle file)
{
    if (file == InvalidFile)
        return false;
    return CloseHandle(ToWindowsHandle(file)) != FALSE;
}

bool RemoveFile(const char* path)
{
    if (path == nullptr || *path == '\0')
        return false;
    return DeleteFileW(WideText(path).c_str()) != FALSE;
}

EPathKind QueryPathKind(const char* path)
{
    if (path == nullptr || *path == '\0')
        return EPathKind::Missing;
    const DWORD attributes = GetFileAttributesW(WideText(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return EPathKind::Missing;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EPathKind::Directory : EPathKind::NotDirectory;
}

} // namespace os
