#include "ScratchDirectory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

CScratchDirectory::CScratchDirectory()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quorvel-app-XXXXXX").string();
    if (mkdtemp(&pattern[0]) == nullptr)
    {
        ADD_FAILURE() << "cannot make a scratch directory";
        return;
    }
    // Canonical, so that it compares equal to what a started program reports as its directory.
    m_path = std::filesystem::canonical(pattern).string();
}

CScratchDirectory::~CScratchDirectory()
{
    if (m_path.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string CScratchDirectory::operator/(const std::string& relative) const
{
    return m_path + "/" + relative;
}

std::string CScratchDirectory::MakeDirectory(const std::string& relative) const
{
    const std::string path = *this / relative;
    std::filesystem::create_directories(path);
    return path;
}

std::string CScratchDirectory::WriteFile(const std::string& relative,
                                         const std::vector<uint8_t>& content) const
{
    const std::string path = *this / relative;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
    return path;
}

std::vector<uint8_t> ReadWholeFile(const std::string& path, bool* exists)
{
    std::ifstream file(path, std::ios::binary);
    if (exists != nullptr)
        *exists = static_cast<bool>(file);
    if (!file)
        return {};
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

bool FileExists(const std::string& path)
{
    std::error_code ignored;
    return std::filesystem::exists(path, ignored);
}

std::vector<uint8_t> PatternBytes(size_t size, uint32_t seed)
{
    std::vector<uint8_t> bytes(size);
    uint32_t state = seed * 2654435761u + 1;
    for (uint8_t& byte : bytes)
    {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<uint8_t>(state >> 24);
    }
    return bytes;
}
