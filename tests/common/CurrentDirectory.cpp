#include "CurrentDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>

CCurrentDirectory::CCurrentDirectory(const std::string& directory)
{
    std::error_code error;
    m_saved = std::filesystem::current_path(error).string();
    std::filesystem::current_path(directory, error);
    EXPECT_FALSE(error) << directory;
}

CCurrentDirectory::~CCurrentDirectory()
{
    if (!m_saved.empty())
    {
        std::error_code error;
        std::filesystem::current_path(m_saved, error);
        EXPECT_FALSE(error) << m_saved;
    }
}
