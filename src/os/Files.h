#pragma once

#include <cstdint>

// Plain files: what the download needs to save a setup, remove it again and check a directory.
// Paths are UTF-8 texts.
namespace os
{

using FileHandle = intptr_t;
constexpr FileHandle InvalidFile = -1;

// Creates the file, or empties it when it exists, for binary writing; InvalidFile on failure.
FileHandle CreateFileForWriting(const char* path);
// Opens the file for writing at its end, creating it when it is missing; each write lands at the
// end even when another process appends too. InvalidFile on failure.
FileHandle OpenFileForAppending(const char* path);
// One write of `length` bytes; the number of bytes written (fewer when the disk is full, 0 on
// failure). No retry: a short count is the caller's to judge.
int64_t WriteToFile(FileHandle file, const void* data, int64_t length);
// False when the system reports a failure while closing (the data may not have reached the disk).
bool CloseFile(FileHandle file);
bool RemoveFile(const char* path);
// Gives the file `from` the name `to`, replacing a file of that name.
bool MoveFileReplacing(const char* from, const char* to);
// The size of the file in bytes; -1 when it cannot be examined.
int64_t QueryFileSize(const char* path);
// Makes the directory (its parent must exist); also true when it is there already.
bool MakeDirectory(const char* path);

enum class EPathKind
{
    // Nothing there, or the path cannot be examined (an empty path included).
    Missing,
    Directory,
    // Something that exists but is not a directory, such as a plain file.
    NotDirectory,
};

EPathKind QueryPathKind(const char* path);

} // namespace os
