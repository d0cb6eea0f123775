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

FileHandle OpenFileForAppending(const char* path)
{
    if (path == nullptr || *path == '\0')
        return InvalidFile;
    // Appending access alone: the system puts every write at the file's end.
    const HANDLE file =
        CreateFileW(WideText(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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

bool MoveFileReplacing(const char* from, const char* to)
{
    if (from == nullptr || to == nullptr || *from == '\0' || *to == '\0')
        return false;
    return MoveFileExW(WideText(from).c_str(), WideText(to).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

int64_t QueryFileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path == nullptr || *path == '\0' ||
        !GetFileAttributesExW(WideText(path).c_str(), GetFileExInfoStandard, &data))
        return -1;
    return static_cast<int64_t>((static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow);
}

bool MakeDirectory(const char* path)
{
    if (path == nullptr || *path == '\0')
        return false;
    return CreateDirectoryW(WideText(path).c_str(), nullptr) != FALSE ||
           QueryPathKind(path) == EPathKind::Directory;
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
