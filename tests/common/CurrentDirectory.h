#pragma once

#include <string>

// Makes `directory` the process's current directory for the object's lifetime.
class CCurrentDirectory
{
public:
    explicit CCurrentDirectory(const std::string& directory);
    CCurrentDirectory(const CCurrentDirectory&) = delete;
    CCurrentDirectory& operator=(const CCurrentDirectory&) = delete;
    ~CCurrentDirectory();

private:
    std::string m_saved;
};
