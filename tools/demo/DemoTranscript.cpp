#include "DemoTranscript.h"

#include <chrono>
#include <cstdio>

namespace
{

double SecondsNow()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

CDemoTranscript::CDemoTranscript() : m_start(SecondsNow()) {}

void CDemoTranscript::Line(const std::string& kind, const std::string& text)
{
    // Multi-line texts (message boxes) keep their shape, indented under their first line.
    std::string indented;
    for (char character : text)
    {
        indented += character;
        if (character == '\n')
            indented += "                         ";
    }
    std::printf("[%7.3f] %-14s %s\n", SecondsNow() - m_start, kind.c_str(), indented.c_str());
    std::fflush(stdout);
}

void CDemoTranscript::Problem(const std::string& text)
{
    ++m_problems;
    Line("PROBLEM", text);
}
