#pragma once

#include <string>

// The terminal a command-line program may be run from: whether its streams go there, writing text
// that reads right there, and reading a secret from it.
namespace os
{

enum class EStandardStream
{
    Input,
    Output,
    Error,
};

// Whether the stream is connected to a terminal (a console window on Windows).
bool IsTerminal(EStandardStream stream);

// Writes UTF-8 text on standard output or error, at once. A Windows console gets it as UTF-16
// (its code page may be any); anything else, a POSIX terminal included, gets the bytes as they are.
void WriteStandardText(EStandardStream stream, const std::string& text);

// Shows `prompt` on standard error and reads one line typed on the terminal of standard input
// without showing it; the line end is not kept. Echo comes back on even when the program is
// interrupted meanwhile. False when standard input is no terminal or ends first.
bool ReadLineWithoutEcho(const char* prompt, std::string& line);

} // namespace os
