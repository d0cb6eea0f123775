#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A fresh directory under the system's temporary directory, removed with everything in it when the
// object goes away.
class CScratchDirectory
{
public:
    CScratchDirectory();
    CScratchDirectory(const CScratchDirectory&) = delete;
    CScratchDirectory& operator=(const CScratchDirectory&) = delete;
    ~CScratchDirectory();

    // Absolute, without a trailing separator.
    const std::string& Path() const { return m_path; }
    // Path(), the platform's separator, relative.
    std::string operator/(const std::string& relative) const;

    // Makes a subdirectory (and its parents) and returns its path.
    std::string MakeDirectory(const std::string& relative) const;
    std::string WriteFile(const std::string& relative, const std::vector<uint8_t>& content) const;

private:
    std::string m_path;
};

// The whole content of a file; `exists` tells an empty file from a missing one.
std::vector<uint8_t> ReadWholeFile(const std::string& path, bool* exists = nullptr);
bool FileExists(const std::string& path);
// Deterministic bytes that differ from file to file, for byte-exact comparisons.
std::vector<uint8_t> PatternBytes(size_t size, uint32_t seed);
