// quorvel-console-probe REPORT TEXT: started in a console of its own (a test cannot share a console
// with the program it tries), it types TEXT and Enter on its console's keyboard, reads them with
// os::ReadLineWithoutEcho, writes a German line with os::WriteStandardText on a console whose code
// page is CP850, and writes what happened into the file REPORT, one "name=value" line each: the line
// read, whether the read succeeded, whether its streams are terminals, whether the console's input
// mode came back, and the screen's rows (trailing blanks dropped, joined by '|').
#include "os/ProgramArguments.h"
#include "os/Terminal.h"
#include "os/win32/WideText.h"

#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace
{

HANDLE OpenConsole(const wchar_t* name)
{
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, 0, nullptr);
}

// The standard streams are the console's, whatever the probe was handed when it started (a console
// program may be given its starter's redirected streams even in a console of its own).
void UseTheConsoleForTheStandardStreams()
{
    const DWORD standardHandles[] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
    for (int stream = 0; stream < 3; ++stream)
    {
        const HANDLE console = OpenConsole(stream == 0 ? L"CONIN$" : L"CONOUT$");
        SetStdHandle(standardHandles[stream], console);
        const int descriptor =
            _open_osfhandle(reinterpret_cast<intptr_t>(console), stream == 0 ? _O_RDONLY : 0);
        _dup2(descriptor, stream);
        _close(descriptor);
    }
}

void TypeOnTheKeyboard(HANDLE input, const std::wstring& text)
{
    std::vector<INPUT_RECORD> records;
    for (const wchar_t character : text + L"\r")
    {
        for (const BOOL down : {TRUE, FALSE})
        {
            INPUT_RECORD record{};
            record.EventType = KEY_EVENT;
            record.Event.KeyEvent.bKeyDown = down;
            record.Event.KeyEvent.wRepeatCount = 1;
            record.Event.KeyEvent.wVirtualKeyCode = character == L'\r' ? VK_RETURN : 0;
            record.Event.KeyEvent.uChar.UnicodeChar = character;
            records.push_back(record);
        }
    }
    DWORD written = 0;
    WriteConsoleInputW(input, records.data(), static_cast<DWORD>(records.size()), &written);
}

std::string ScreenRows(HANDLE screen)
{
    CONSOLE_SCREEN_BUFFER_INFO info{};
    GetConsoleScreenBufferInfo(screen, &info);
    std::string rows;
    for (SHORT row = 0; row <= info.dwCursorPosition.Y; ++row)
    {
        std::wstring text(static_cast<size_t>(info.dwSize.X), L' ');
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, &text[0], static_cast<DWORD>(text.size()), COORD{0, row}, &read);
        text.resize(text.find_last_not_of(L' ') + 1);
        rows += (row == 0 ? "" : "|") + os::Utf8Text(text.c_str());
    }
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    const os::CProgramArguments arguments(argc, argv);
    if (arguments.Count() != 3)
        return 2;
    UseTheConsoleForTheStandardStreams();
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD modeBefore = 0;
    GetConsoleMode(input, &modeBefore);
    TypeOnTheKeyboard(input, os::WideText(arguments.Values()[2]));

    std::string line;
    const bool read = os::ReadLineWithoutEcho("Password: ", line);

    DWORD modeAfter = 0;
    GetConsoleMode(input, &modeAfter);
    // A German Windows console's code page, in which UTF-8 bytes would show garbled.
    SetConsoleOutputCP(850);
    os::WriteStandardText(os::EStandardStream::Output, "Die Ger\xc3\xa4tedaten werden ermittelt.\n");
    FILE* report = _wfopen(os::WideText(arguments.Values()[1]).c_str(), L"wb");
    if (report == nullptr)
        return 1;
    std::fprintf(report, "line=%s\nread=%d\nterminals=%d%d%d\nmode-restored=%d\nscreen=%s\n", line.c_str(),
                 read ? 1 : 0, os::IsTerminal(os::EStandardStream::Input) ? 1 : 0,
                 os::IsTerminal(os::EStandardStream::Output) ? 1 : 0,
                 os::IsTerminal(os::EStandardStream::Error) ? 1 : 0, modeAfter == modeBefore ? 1 : 0,
                 ScreenRows(GetStdHandle(STD_OUTPUT_HANDLE)).c_str());
    return std::fclose(report) == 0 ? 0 : 1;
}
