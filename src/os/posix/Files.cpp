#include "os/Files.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace os
{

FileHandle CreateFileForWriting(const char* path)
{
    if (path == nullptr)
        return InvalidFile;
    int descriptor = -1;
    do
        descriptor = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    while (descriptor < 0 && errno == EINTR);
    return descriptor < 0 ? InvalidFile : static_cast<FileHandle>(descriptor);
}

FileHandle OpenFileForAppending(const char* path)
{
    if (path == nullptr)
        return InvalidFile;
    int descriptor = -1;
    do
        descriptor = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
    while (descriptor < 0 && errno == EINTR);
    return descriptor < 0 ? InvalidFile : static_cast<FileHandle>(descriptor);
}

int64_t WriteToFile(FileHandle file, const void* data, int64_t length)
{
    if (file == InvalidFile || length <= 0 || data == nullptr)
        return 0;
    ssize_t written = -1;
    // An interrupted write that moved no byte is not a short write yet.
    do
        written = write(static_cast<int>(file), data, static_cast<size_t>(length));
    while (written < 0 && errno == EINTR);
    return written < 0 ? 0 : static_cast<int64_t>(written);
}

bool CloseFile(FileHandle file)
{
    if (file == InvalidFile)
        return false;
    // Linux releases the descriptor even when close reports EINTR, so it is never retried.
    return close(static_cast<int>(file)) == 0;
}

bool RemoveFile(const char* path)
{
    return path != nullptr && unlink(path) == 0;
}

bool MoveFileReplacing(const char* from, const char* to)
{
    return from != nullptr && to != nullptr && std::rename(from, to) == 0;
}

int64_t QueryFileSize(const char* path)
{
    struct stat status = {};
    if (path == nullptr || stat(path, &status) != 0)
        return -1;
    return static_cast<int64_t>(status.st_size);
}

bool MakeDirectory(const char* path)
{
    if (path == nullptr || *path == '\0')
        return false;
    return mkdir(path, 0777) == 0 || (errno == EEXIST && QueryPathKind(path) == EPathKind::Directory);
}

EPathKind QueryPathKind(const char* path)
{
    struct stat status = {};
    if (path == nullptr || *path == '\0' || stat(path, &status) != 0)
        return EPathKind::Missing;
    return S_ISDIR(status.st_mode) ? EPathKind::Directory : EPathKind::NotDirectory;
}

} // namespace os
