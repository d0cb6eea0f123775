#include "os/Terminal.h"

#include "os/win32/WideText.h"

#include <windows.h>

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

} // namespace

// Only a console has a console mode; the runtime's own test would also take the null device, a
// character device as well, for a terminal.
bool IsTerminal(EStandardStream stream)
{
    FILE* file = stderr;
    if (stream == EStandardStream::Input)
        file = stdin;
    else if (stream == EStandardStream::Output)
        file = stdout;
    DWORD mode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))), &mode) != FALSE;
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
    std::fputs(prompt, stderr);
    std::fflush(stderr);

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
    std::fputs("\n", stderr);
    DropLineEnd(typed);
    line = Utf8Text(typed.c_str());
    return complete;
}

} // namespace os
