#pragma once

#include <cstddef>
#include <ostream>
#include <string>

class CProgressReport;

// What quorvel-fetch tells its operator. The status line (the window's status text and progress) is
// redrawn in place on a terminal, with a bar, and written as one plain line per change otherwise, so
// that a log or a script reads it line by line. Lasting notes go to the output, complaints to the
// error stream, each on a line of its own.
class CFetchOutput
{
public:
    static constexpr int BarWidth = 20;

    CFetchOutput(std::ostream& output, std::ostream& errors, bool terminal);
    CFetchOutput(const CFetchOutput&) = delete;
    CFetchOutput& operator=(const CFetchOutput&) = delete;

    // An empty text only clears the line on a terminal.
    void ShowStatus(const std::string& text);
    void ShowProgress(const CProgressReport& report);
    void Note(const std::string& line);
    // Prefixed with the program's name.
    void Complain(const std::string& line);
    // Leaves the status line, so that the next text starts on a fresh one.
    void EndStatusLine();

private:
    void Redraw(const std::string& text);

    std::ostream& m_output;
    std::ostream& m_errors;
    bool m_terminal;
    // Bytes on the terminal's status line now, to be covered when a shorter text replaces them.
    size_t m_statusWidth = 0;
};
