#include "os/Terminal.h"

#include "os/win32/WideText.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <io.h>
#include <string>

namespace os
{

namespace
{

// The mode to restore, for the Ctrl+C handler too.
HANDLE g_input = INVALID_HANDLE_VALUE;
DWORD g_savedMode = 0;

// Echo back on; FALSE lets the usual handling end the program.
BOOL WINAPI RestoreOnInterrupt(DWORD)
{
    SetConsoleMode(g_input, g_savedMode);
    return FALSE;
}

// The console's line ends carry a carriage return.
void DropLineEnd(std::wstring& text)
{
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r'))
        text.pop_back();
}

FILE* RuntimeStream(EStandardStream stream)
{
    switch (stream)
    {
    case EStandardStream::Input:
        return stdin;
    case EStandardStream::Output:
        return stdout;
    case EStandardStream::Error:
        break;
    }
    return stderr;
}

// The runtime's own, so that a stream the program pointed elsewhere (freopen, _dup2) counts.
HANDLE HandleOf(EStandardStream stream)
{
    return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(RuntimeStream(stream))));
}

} // namespace

// Only a console has a console mode; the runtime's own test would also take the null device, a
// character device as well, for a terminal.
bool IsTerminal(EStandardStream stream)
{
    DWORD mode = 0;
    return GetConsoleMode(HandleOf(stream), &mode) != FALSE;
}

void WriteStandardText(EStandardStream stream, const std::string& text)
{
    FILE* file = RuntimeStream(stream);
    if (!IsTerminal(stream))
    {
        // Pipes and files get UTF-8, with the runtime's line ends (CR LF).
        std::fwrite(text.data(), 1, text.size(), file);
        std::fflush(file);
        return;
    }
    // What the runtime still holds goes first.
    std::fflush(file);
    const std::wstring wide = WideText(text.c_str());
    const HANDLE console = HandleOf(stream);
    for (size_t done = 0; done < wide.size();)
    {
        // Older consoles refuse very long writes; a piece at a time.
        size_t piece = std::min<size_t>(wide.size() - done, 8192);
        if (piece < wide.size() - done && IS_HIGH_SURROGATE(wide[done + piece - 1]))
            --piece;
        DWORD written = 0;
        if (!WriteConsoleW(console, wide.data() + done, static_cast<DWORD>(piece), &written, nullptr) ||
            written == 0)
            return;
        done += written;
    }
}

bool ReadLineWithoutEcho(const char* prompt, std::string& line)
{
    line.clear();
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD savedMode = 0;
    if (input == INVALID_HANDLE_VALUE || !GetConsoleMode(input, &savedMode))
        return false;
    g_input = input;
    g_savedMode = savedMode;
    SetConsoleCtrlHandler(RestoreOnInterrupt, TRUE);
    SetConsoleMode(input, (savedMode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) | ENABLE_LINE_INPUT);
    WriteStandardText(EStandardStream::Error, prompt);

    std::wstring typed;
    bool complete = false;
    for (;;)
    {
        wchar_t buffer[256];
        DWORD received = 0;
        if (!ReadConsoleW(input, buffer, sizeof buffer / sizeof buffer[0], &received, nullptr) ||
            received == 0)
            break;
        typed.append(buffer, received);
        if (typed.back() == L'\n')
        {
            complete = true;
            break;
        }
    }
    SetConsoleMode(input, savedMode);
    SetConsoleCtrlHandler(RestoreOnInterrupt, FALSE);
    WriteStandardText(EStandardStream::Error, "\n");
    DropLineEnd(typed);
    line = Utf8Text(typed.c_str());
    return complete;
}

} // namespace os
