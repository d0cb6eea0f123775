#pragma once

#include <string>
#include <vector>

namespace os
{

// The program's command-line arguments as UTF-8 texts, the program's own name first, for main
// functions to read as they read argc and argv. On POSIX they are main's own; on Windows main's
// copies are in the ANSI code page, which cannot hold every path, so they are read again from the
// wide command line.
class CProgramArguments
{
public:
    // `argc` and `argv` as main received them (a program without main passes 0 and null).
    CProgramArguments(int argc, const char* const* argv);
    CProgramArguments(const CProgramArguments&) = delete;
    CProgramArguments& operator=(const CProgramArguments&) = delete;

    int Count() const { return static_cast<int>(m_texts.size()); }
    // Count() texts, then a null pointer.
    const char* const* Values() const { return m_values.data(); }

private:
    // Makes Values() point at the texts.
    void PointAtTexts();

    std::vector<std::string> m_texts;
    std::vector<const char*> m_values;
};

} // namespace os
