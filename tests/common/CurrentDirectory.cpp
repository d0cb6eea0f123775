#include "CurrentDirectory.h"

#include <gtest/gtest.h>

#include <unistd.h>

CCurrentDirectory::CCurrentDirectory(const std::string& directory)
{
    char saved[4096];
    if (getcwd(saved, sizeof saved) != nullptr)
        m_saved = saved;
    EXPECT_EQ(chdir(directory.c_str()), 0) << directory;
}

CCurrentDirectory::~CCurrentDirectory()
{
    if (!m_saved.empty())
    {
        EXPECT_EQ(chdir(m_saved.c_str()), 0) << m_saved;
    }
}
