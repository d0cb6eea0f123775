#pragma once

#include <string>

// The demo's running commentary on standard output, one line per thing that happened, each with
// the seconds since the demo began. Also keeps count of what went wrong, for the exit status.
class CDemoTranscript
{
public:
    CDemoTranscript();

    void Line(const std::string& kind, const std::string& text);
    // A line that also marks the demo as failed.
    void Problem(const std::string& text);
    int ProblemCount() const { return m_problems; }

private:
    double m_start;
    int m_problems = 0;
};
