#include "ScratchDirectory.h"

#include "os/Paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

CScratchDirectory::CScratchDirectory()
{
    // A name nobody else uses: the process id and a counter, retried while taken.
    static unsigned s_counter = 0;
    std::random_device seed;
    const std::filesystem::path base = std::filesystem::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt)
    {
        const std::filesystem::path candidate =
            base / ("quorvel-app-" + std::to_string(seed()) + "-" + std::to_string(++s_counter));
        std::error_code error;
        if (std::filesystem::create_directory(candidate, error))
        {
            // Canonical, so that it compares equal to what a started program reports as its directory.
            m_path = std::filesystem::canonical(candidate).string();
            return;
        }
    }
    ADD_FAILURE() << "cannot make a scratch directory";
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
    return m_path + os::PathSeparator() + relative;
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
